// Tab 18: port mapping. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_port_mapping(Page&) {}

}  // namespace rosgen
