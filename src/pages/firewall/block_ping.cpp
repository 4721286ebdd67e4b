// Tab 14: ping blocking. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_block_ping(Page&) {}

}  // namespace rosgen
