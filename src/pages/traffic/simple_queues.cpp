// Tab 11: per-host simple queues. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_simple_queues(Page&) {}

}  // namespace rosgen
