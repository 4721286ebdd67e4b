// Tab 24: PPPoE accounts, one by one or in batches. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_pppoe_accounts(Page&) {}

}  // namespace rosgen
