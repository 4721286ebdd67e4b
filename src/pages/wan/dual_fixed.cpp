// Tab 10: Telecom and Netcom fixed-IP uplinks with carrier route tables. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_dual_fixed(Page&) {}

}  // namespace rosgen
