// The two carriers' route tables: static routes for every network of China
// Netcom or China Telecom, used by the dual-line, PPTP and L2TP pages.
#pragma once

#include <cstddef>

#include "script/gbk.h"

namespace rosgen {

enum class Carrier { Netcom, Telecom };

// How many networks a carrier's table holds.
std::size_t route_count(Carrier carrier);

// The table with every gateway slot empty: the "/ ip route " header line, one
// two-line entry per network, no line end after the last entry.
Gbk route_table(Carrier carrier);

// The table with `gateway` in every entry's gateway slot, followed by CR LF.
Gbk fill_gateway(Carrier carrier, const Gbk& gateway);

// The default route through `gateway` at distance 2, two lines, no line end.
Gbk backup_default_route(const Gbk& gateway);

// RouterOS 7: one "/ip route add" line per network through `gateway`, each
// ending in CR LF, no header and no line split.
Gbk route_table7(Carrier carrier, const Gbk& gateway);

// RouterOS 7: the default route through `gateway` at distance 2, no line end.
Gbk backup_default_route7(const Gbk& gateway);

// The stand-in next hop of carrier_routes7(), from a block kept for documentation, so no
// real destination is ever sent to it.
inline constexpr const char* kCarrierHop = "192.0.2.1";

// RouterOS 7: the carrier's networks through `gateway` while it answers pings. Only one route
// is checked, kCarrierHop's through `gateway`; the networks resolve through that hop, so a
// gateway that stops answering takes them all out of use at once and their traffic falls back
// to the default route. Routes with `comment` from an earlier run go first. Each line ends in
// CR LF.
Gbk carrier_routes7(Carrier carrier, const Gbk& gateway, const Gbk& comment);

}  // namespace rosgen
