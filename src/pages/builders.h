// Each page's file fills in its caption, items and start-up states.
#pragma once

#include "script/page.h"

namespace rosgen {

// System
void build_router_users(Page& page);      // tab 1
void build_scheduled_reboot(Page& page);  // tab 2
// WAN
void build_wan_fixed(Page& page);  // tab 4
void build_wan_pppoe(Page& page);  // tab 5
// Access servers
void build_pppoe_server(Page& page);  // tab 23

}  // namespace rosgen
