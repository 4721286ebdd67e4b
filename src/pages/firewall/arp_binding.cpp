// Tab 15: ARP binding. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_arp_binding(Page&) {}

}  // namespace rosgen
