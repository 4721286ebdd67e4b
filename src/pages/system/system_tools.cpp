// Tab 3: backups, restore, identity and inspection commands. Not built yet: the page shows only its tab.
#include "pages/builders.h"

namespace rosgen {

void build_system_tools(Page&) {}

}  // namespace rosgen
