// Tab 7: several fixed-IP uplinks, split by source range. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_multi_fixed_split(Page&) {}

}  // namespace rosgen
