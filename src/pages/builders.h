// Each page's file fills in its caption, items and start-up states.
#pragma once

#include "script/page.h"

namespace rosgen {

// system
void build_router_users(Page& page);      // tab 1
void build_scheduled_reboot(Page& page);  // tab 2
void build_system_tools(Page& page);      // tab 3
// wan
void build_wan_fixed(Page& page);            // tab 4
void build_wan_pppoe(Page& page);            // tab 5
void build_multi_fixed_balance(Page& page);  // tab 6
void build_multi_fixed_split(Page& page);    // tab 7
void build_multi_pppoe_balance(Page& page);  // tab 8
void build_multi_pppoe_split(Page& page);    // tab 9
void build_dual_fixed(Page& page);           // tab 10
// access
void build_pptp(Page& page);            // tab 21
void build_l2tp(Page& page);            // tab 22
void build_pppoe_server(Page& page);    // tab 23
void build_pppoe_accounts(Page& page);  // tab 24
void build_ddns(Page& page);            // tab 25
void build_wireguard(Page& page);       // tab 26, RouterOS 7 only
// traffic
void build_simple_queues(Page& page);  // tab 11
void build_pcq_dynamic(Page& page);    // tab 12
void build_pcq_whole(Page& page);      // tab 13
void build_tcp_limit(Page& page);      // tab 16
// firewall
void build_block_ping(Page& page);       // tab 14
void build_arp_binding(Page& page);      // tab 15
void build_app_block(Page& page);        // tab 17
void build_port_mapping(Page& page);     // tab 18
void build_block_ports_ips(Page& page);  // tab 19
void build_block_keywords(Page& page);   // tab 20

}  // namespace rosgen
