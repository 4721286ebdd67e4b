// Tab 17: blocking of well-known applications. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_app_block(Page&) {}

}  // namespace rosgen
