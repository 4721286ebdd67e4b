// Tab 6: several fixed-IP uplinks, load balanced. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_multi_fixed_balance(Page&) {}

}  // namespace rosgen
