// Tab 12: dynamic PCQ rate limits. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_pcq_dynamic(Page&) {}

}  // namespace rosgen
