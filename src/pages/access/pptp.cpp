// Tab 21: PPTP server and client. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_pptp(Page&) {}

}  // namespace rosgen
