// Tab 8: several PPPoE uplinks, load balanced. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_multi_pppoe_balance(Page&) {}

}  // namespace rosgen
