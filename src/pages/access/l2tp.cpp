// Tab 22: L2TP server and client. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_l2tp(Page&) {}

}  // namespace rosgen
