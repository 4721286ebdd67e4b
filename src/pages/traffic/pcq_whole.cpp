// Tab 13: whole-rate PCQ limits. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_pcq_whole(Page&) {}

}  // namespace rosgen
