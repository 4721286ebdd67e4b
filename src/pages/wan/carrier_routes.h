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

}  // namespace rosgen
