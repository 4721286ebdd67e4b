// Tab 9: several PPPoE uplinks, split by source range. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_multi_pppoe_split(Page&) {}

}  // namespace rosgen
