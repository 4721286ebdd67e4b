// Tab 19: blocking of ports and addresses. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_block_ports_ips(Page&) {}

}  // namespace rosgen
