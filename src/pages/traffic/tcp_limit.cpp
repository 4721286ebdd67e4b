// Tab 16: TCP connection limits. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_tcp_limit(Page&) {}

}  // namespace rosgen
