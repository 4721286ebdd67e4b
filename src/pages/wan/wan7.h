// RouterOS 7 lines shared by the WAN pages: uplinks with failover and their own
// routing tables, the marks that send a connection back the way it came, NAT per
// uplink and an MSS clamp that never raises a smaller MSS.
#pragma once

#include <vector>

#include "pages/ros7.h"
#include "script/gbk.h"

namespace rosgen {

// The default configuration's DHCP client (on ether1) goes: its default route would make a
// line the page does not name. Ends in CR LF.
Gbk drop_default_uplink7();

// The LAN port's address `address` (as "address=" takes it), added unless the port has it
// already: a session pasting the script over the LAN keeps its address. Ends in CR LF.
Gbk lan_address7(const Gbk& address, const Gbk& port, const Gbk& comment);

// `script` run again on the router that ran it: every address, route, NAT and mangle rule it
// adds has a comment of the page's own (a line's name, wan, mss, ...), and what carries that
// comment in that menu goes first, so no old gateway, mark or address of an earlier form stays.
Gbk replacing7(const Gbk& script);

// "servers=" value: the non-empty servers, comma-separated, as one word; empty when both are.
Gbk dns_list7(const Gbk& primary, const Gbk& secondary);

// "address=" value: the address with the mask as a prefix length; the address alone when no
// mask is given.
Gbk address_cidr7(const Gbk& address, const Gbk& mask);

// The network an address and mask stand in ("203.0.113.2", "29" -> "203.0.113.0/29"); empty
// unless both are a plain IPv4 address and a netmask or prefix length.
Gbk network7(const Gbk& address, const Gbk& mask);

// Clamps the MSS of forwarded SYNs to `mss` when theirs is larger; a smaller one stays. A
// field that is not a number from 1 to 65534 clamps to the path MTU instead. Ends in CR LF.
Gbk mss_clamp7(const Gbk& mss);

// Masquerades what leaves by `out`; only traffic from `source` when it is given. Ends in CR LF.
Gbk masquerade7(const Gbk& out, const Gbk& source, const Gbk& comment);

// One uplink of a script with two or more.
struct Uplink7 {
  Gbk name;          // its routing table, connection mark and comment: wan1, adsl2, telecom
  Gbk interface;     // where its traffic leaves and arrives: ether2, pppoe-out1
  Gbk gateway;       // its next hop, checked by ping; unused on a PPP line
  bool ppp = false;  // a PPP client: the interface itself is the next hop, gone when the line is
};

// The line's default route in `main` at `distance`, checked by ping. Ends in CR LF.
Gbk main_route7(const Uplink7& line, int distance);

// The line's own routing table: its default route, and `backup`'s at distance 2 for when the
// line is down. Ends in CR LF.
Gbk line_table7(const Uplink7& line, const Uplink7& backup);

// Every line's table (line k backed up by line k + 1, the last by the first) and, but for PPP
// lines, its checked default route in `main` at distance k. A PPP line's default route in
// `main` comes from its client.
Gbk uplink_routes7(const std::vector<Uplink7>& lines);

// Connections that arrive on the line get its connection mark, so they are answered through it.
Gbk reply_mark7(const Uplink7& line);

// Every packet of a connection with the line's mark takes the line's table: from the LAN side
// and from the router itself. Stands after every rule that gives connection marks.
Gbk route_marks7(const Uplink7& line);

// --- IPv6 ---

// The caption of the check box that asks a page's 7.x script for IPv6.
inline constexpr const char* kIpv6Caption = "启用IPv6(仅7.X脚本)";

// The pool a line's delegated prefix goes into: "wan-v6", "adsl2-v6".
Gbk ipv6_pool7(const Gbk& line);

// IPv6 behind `lines` (their names and interfaces): each line's DHCPv6 client asks the carrier
// for a prefix into the line's pool and adds a default route, line k at distance k when there
// are several; `lan` takes its address from the first line's pool and advertises it, with DNS,
// to its hosts. The default IPv6 firewall stays as it is; a router without it gets its
// essential rules. Ends in CR LF.
Gbk ipv6_7(const Gbk& lan, const std::vector<Uplink7>& lines);

}  // namespace rosgen
