// Tab 25: dynamic-DNS update scripts. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_ddns(Page&) {}

}  // namespace rosgen
