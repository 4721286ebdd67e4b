// RouterOS 7 lines shared by the single-line install pages (fixed IP and PPPoE).
#pragma once

#include "pages/ros7.h"
#include "script/gbk.h"

namespace rosgen {

// RouterOS 7 has one server list instead of primary-dns and secondary-dns;
// an empty field leaves no hole in it.
inline Gbk dns_servers7(const Gbk& primary, const Gbk& secondary) {
  Gbk list = primary;
  if (!list.empty() && !secondary.empty()) list += ","_a;
  list += secondary;
  return "/ip dns set servers="_a + word7(list);
}

inline Gbk masquerade7(const Gbk& network, const Gbk& mask) {
  return "/ip firewall nat add chain=srcnat action=masquerade src-address="_a + word7(cidr7(network, mask));
}

inline Gbk mss_clamp7(const Gbk& mss) {
  return "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss="_a + word7(mss);
}

}  // namespace rosgen
