// What a RouterOS 7 script does to a router: the script applied to a model of the router's
// configuration, the errors the router would raise while running it, and rules of meaning
// that judge the configuration it leaves behind.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "routeros/checker.h"

namespace rosgen::ros7 {

// Where the script starts: a router with nothing configured beyond what every router has
// (ether1-ether5, the `main` routing table, the default PPP profiles and queue types, ...),
// or one that runs the default configuration (data/routeros-7/defconf.rsc).
enum class Base { None, Defconf };

// One rule of meaning, or one kind of run-time error.
struct Rule {
  const char* id;       // "no-default-route"
  Severity severity;    // what a finding of this rule is, unless the finding says otherwise
  const char* english;  // the command line's text
  const char* chinese;  // the window's and the web edition's text
};

// Every rule, run-time errors first, in the order findings of one line are listed.
//
// Run-time errors (the router stops the script there):
//   script-error       the script stops itself with :error
//   no-such-item       set, remove, enable, disable or place-before of an item that is not there
//                      (`set [find ...]` with nothing found does nothing and is fine)
//   duplicate-name     an item added under a name its menu already has
//   unknown-reference  an interface, interface list, bridge, pool, PPP profile, routing table or
//                      queue type named but not there
// Rules of meaning (warnings unless marked):
//   no-default-route   no enabled default route in `main` (static, or from a DHCP or PPPoE client)
//   routing-mark-table a routing mark whose table is not there (error), or has no route
//   no-failover        two or more uplinks' default routes, one of them static without
//                      check-gateway, netwatch or a recursive gateway
//   fasttrack-bypass   an enabled fasttrack rule while simple queues exist, or while mangle marks or
//                      queue trees exist and the rule does not spare marked connections
//                      (connection-mark=no-mark)
//   unreachable-rule   a filter or mangle rule after an earlier rule of its chain that takes all its
//                      packets (accept, drop, reject, fasttrack with the same or fewer matchers; a
//                      payload matcher such as content= or tls-host= after an accept of established
//                      connections)
//   icmp-drop-output   ICMP dropped in chain=output: the router's own pings and gateway checks
//   output-drop        a drop in chain=output: it stops the router's own traffic, not the LAN's
//   dstnat-unlimited   a dst-nat rule not limited to traffic for the router (dst-address of its
//                      own, dst-address-type=local, or an in-interface)
//   no-hairpin         a dst-nat to a LAN host that LAN hosts can reach by the public address,
//                      without a masquerade of LAN traffic to that host
//   srcnat-dynamic     src-nat to an address held by a PPPoE or DHCP client interface, which
//                      changes: masquerade instead
//   wan-no-nat         an uplink no srcnat rule covers
//   ppp-profile-reversed  a PPP profile with a pool as local-address and one IP as remote-address
//   caller-id-mac      a MAC as caller-id of a PPTP or L2TP secret (those carry the client's IP)
//   service-dropped    a server enabled (PPTP, L2TP, SSTP, OpenVPN, WireGuard) whose port the
//                      input chain drops from the WAN
//   l2tp-no-ipsec      the L2TP server without IPsec, which Windows clients refuse
//   address-list-unused an address list filled and used by no rule
//   queue-tree-same-mark two queue trees with the same parent and packet mark: only one shapes
//   pcq-after-nat      a PCQ that classifies by source address on an uplink, after source NAT
//   dns-update-no-server /tool dns-update without dns-server=
//   mss-raise          change-mss to a fixed size without tcp-mss= limiting it to larger ones
//   uplink-on-bridge   an uplink that is still a bridge port
//   uplink-not-wan     an uplink outside the WAN list while the default firewall guards that list
//   reply-path         two or more uplinks, and connections that arrive on one are not answered
//                      through it (no mark-connection by in-interface, with a routing mark back)
//   vpn-default-route  a VPN client's default route that takes the place of the uplink's
//   address-on-bridge-port an IP address on a port of a bridge, where it never sees a packet
std::span<const Rule> rules();

// Applies `script` (UTF-8, CR LF or LF) to `base` and judges the result. Findings come in the
// order of the text; each names its rule (`Finding::rule`) and has both texts.
std::vector<Finding> check_meaning(std::string_view script, Base base);

// The command tree first (check_script); when it finds no error, the meaning on `base` too.
// This is what `rosgen check`, the window and the web edition show.
std::vector<Finding> check(std::string_view script, Base base);

}  // namespace rosgen::ros7
