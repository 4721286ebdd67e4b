// Tab 20: blocking of keywords and domains. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_block_keywords(Page&) {}

}  // namespace rosgen
