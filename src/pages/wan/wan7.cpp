#include "pages/wan/wan7.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <string_view>
#include <string>

#include "script/text.h"

namespace rosgen {
namespace {

// A whole decimal number up to `max`, or nothing.
std::optional<std::uint32_t> whole_number(const std::string& s, std::uint32_t max) {
  if (s.empty() || s.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (char ch : s) {
    if (ch < '0' || ch > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(ch - '0');
  }
  if (value > max) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::optional<std::uint32_t> quad(const std::string& s) {
  std::uint32_t value = 0;
  size_t at = 0;
  for (int octet = 0; octet < 4; ++octet) {
    const size_t end = octet < 3 ? s.find('.', at) : s.size();
    if (end == std::string::npos) return std::nullopt;
    const std::string part = s.substr(at, end - at);
    if (part.size() > 3) return std::nullopt;
    auto n = whole_number(part, 255);
    if (!n) return std::nullopt;
    value = (value << 8) | *n;
    at = end + 1;
  }
  return value;
}

std::string quad_text(std::uint32_t v) {
  return std::to_string(v >> 24) + "." + std::to_string((v >> 16) & 255) + "." + std::to_string((v >> 8) & 255) + "." +
         std::to_string(v & 255);
}

// A PPP interface goes down with its session; an address has to be pinged. From a table of its
// own an address is looked up in `main`, where the line's network is.
Gbk gateway_of(const Uplink7& line, bool other_table = false) {
  if (line.ppp) return word7(line.interface);
  const Gbk gateway = other_table && !line.gateway.empty() ? line.gateway + "@main"_a : line.gateway;
  return word7(gateway) + " check-gateway=ping"_a;
}

}  // namespace

Gbk drop_default_uplink7() { return "/ip dhcp-client remove [find comment=defconf]\r\n"_a; }

Gbk dns_list7(const Gbk& primary, const Gbk& secondary) {
  Gbk list = primary;
  if (!list.empty() && !secondary.empty()) list += ","_a;
  list += secondary;
  return list.empty() ? list : word7(list);
}

Gbk address_cidr7(const Gbk& address, const Gbk& mask) { return word7(mask.empty() ? address : cidr7(address, mask)); }

Gbk network7(const Gbk& address, const Gbk& mask) {
  const auto a = quad(address.bytes());
  auto bits = whole_number(prefix_length7(mask).bytes(), 32);
  if (!a || !bits) return Gbk();
  const std::uint32_t keep = *bits == 0 ? 0 : 0xFFFFFFFFu << (32 - *bits);
  return Gbk::from_bytes(quad_text(*a & keep) + "/" + std::to_string(*bits));
}

// A fixed new-mss alone would also raise the MSS of hosts on smaller links; tcp-mss limits the
// rule to SYNs that announce more.
Gbk mss_clamp7(const Gbk& mss) {
  Gbk s = "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn"_a;
  if (auto n = whole_number(mss.bytes(), 65534); n && *n > 0) {
    s += " tcp-mss="_a + number_text(static_cast<std::int64_t>(*n) + 1) + "-65535 action=change-mss new-mss="_a +
         number_text(static_cast<std::int64_t>(*n));
  } else {
    s += " action=change-mss new-mss=clamp-to-pmtu"_a;
  }
  return s + " passthrough=yes comment=mss\r\n"_a;
}

Gbk masquerade7(const Gbk& out, const Gbk& source, const Gbk& comment) {
  Gbk s = "/ip firewall nat add chain=srcnat out-interface="_a + word7(out);
  if (!source.empty()) s += " src-address="_a + word7(source);
  return s + " action=masquerade comment="_a + word7(comment) + "\r\n"_a;
}

Gbk main_route7(const Uplink7& line, int distance) {
  return "/ip route add dst-address=0.0.0.0/0 gateway="_a + gateway_of(line) + " distance="_a + number_text(distance) +
         " comment="_a + word7(line.name) + "\r\n"_a;
}

Gbk line_table7(const Uplink7& line, const Uplink7& backup) {
  const Gbk table = word7(line.name);
  Gbk s = routing_table7(table);
  s += "/ip route add dst-address=0.0.0.0/0 gateway="_a + gateway_of(line, true) + " routing-table="_a + table +
       " comment="_a + table + "\r\n"_a;
  s += "/ip route add dst-address=0.0.0.0/0 gateway="_a + gateway_of(backup, true) + " distance=2 routing-table="_a +
       table + " comment="_a + table + "\r\n"_a;
  return s;
}

Gbk uplink_routes7(const std::vector<Uplink7>& lines) {
  Gbk s;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].ppp) s += main_route7(lines[i], static_cast<int>(i) + 1);
    s += line_table7(lines[i], lines[(i + 1) % lines.size()]);
  }
  return s;
}

// connection-mark=no-mark: a connection the LAN opened keeps the mark it was given.
Gbk reply_mark7(const Uplink7& line) {
  const Gbk mark = word7(line.name);
  return "/ip firewall mangle add chain=prerouting in-interface="_a + word7(line.interface) +
         " connection-mark=no-mark action=mark-connection new-connection-mark="_a + mark +
         " passthrough=yes comment="_a + mark + "\r\n"_a;
}

// From the LAN side by the LAN list, so replies of hosts on any LAN port find their way back.
Gbk route_marks7(const Uplink7& line) {
  const Gbk mark = word7(line.name);
  Gbk s = "/ip firewall mangle add chain=prerouting in-interface-list=LAN connection-mark="_a + mark +
          " action=mark-routing new-routing-mark="_a + mark + " passthrough=no comment="_a + mark + "\r\n"_a;
  s += "/ip firewall mangle add chain=output connection-mark="_a + mark + " action=mark-routing new-routing-mark="_a +
       mark + " passthrough=no comment="_a + mark + "\r\n"_a;
  return s;
}

namespace {

// The rules of the default IPv6 firewall that keep the LAN's public addresses closed to the
// internet, with the default comments, for a router that lacks them.
constexpr const char* kIpv6Firewall[] = {
    "chain=input action=accept connection-state=established,related,untracked"
    " comment=\"defconf: accept established,related,untracked\"",
    "chain=input action=drop connection-state=invalid comment=\"defconf: drop invalid\"",
    "chain=input action=accept protocol=icmpv6 comment=\"defconf: accept ICMPv6\"",
    "chain=input action=accept protocol=udp dst-port=546 src-address=fe80::/10"
    " comment=\"defconf: accept DHCPv6-Client prefix delegation.\"",
    "chain=input action=drop in-interface-list=!LAN comment=\"defconf: drop everything else not coming from LAN\"",
    "chain=forward action=accept connection-state=established,related,untracked"
    " comment=\"defconf: accept established,related,untracked\"",
    "chain=forward action=drop connection-state=invalid comment=\"defconf: drop invalid\"",
    "chain=forward action=accept protocol=icmpv6 comment=\"defconf: accept ICMPv6\"",
    "chain=forward action=drop in-interface-list=!LAN comment=\"defconf: drop everything else not coming from LAN\"",
};

}  // namespace

Gbk lan_address7(const Gbk& address, const Gbk& port, const Gbk& comment) {
  const Gbk where = " address="_a + address + " interface="_a + word7(port);
  return unless_found7("/ip address find"_a + where, "/ip address add"_a + where + " comment="_a + comment) + "\r\n"_a;
}

Gbk replacing7(const Gbk& script) {
  static constexpr std::string_view kMenus[] = {"/ip address", "/ip route", "/ip firewall nat", "/ip firewall mangle"};
  std::set<std::string> seen;
  std::string removals;
  std::string_view rest = script.bytes();
  while (!rest.empty()) {
    const std::size_t end = rest.find("\r\n");
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
    for (std::string_view menu : kMenus) {
      if (!line.starts_with(menu) || !line.substr(menu.size()).starts_with(" add ")) continue;
      // The comment stands after the typed values, which may hold anything.
      const std::size_t at = line.rfind(" comment=");
      if (at == std::string_view::npos) break;
      std::string_view value = line.substr(at + 9);
      if (value.starts_with('"')) {
        // Up to the closing quote; a backslash keeps the character after it.
        std::size_t i = 1;
        while (i < value.size() && value[i] != '"') i += value[i] == '\\' ? 2 : 1;
        value = value.substr(0, std::min(i + 1, value.size()));
      } else {
        value = value.substr(0, value.find(' '));
      }
      std::string removal = std::string(menu) + " remove [find comment=" + std::string(value) + "]\r\n";
      if (seen.insert(removal).second) removals += removal;
      break;
    }
  }
  return Gbk::from_bytes(removals) + script;
}

Gbk ipv6_pool7(const Gbk& line) { return word7(line + "-v6"_a); }

// Only the prefix is asked for: the LAN's addresses come from it, and the uplink routes by its
// link-local address. The carrier's IPv6 DNS servers join the router's, which the LAN's router
// advertisements pass on.
Gbk ipv6_7(const Gbk& lan, const std::vector<Uplink7>& lines) {
  if (lines.empty()) return Gbk();
  Gbk s;
  std::set<std::string> served;
  for (size_t i = 0; i < lines.size(); ++i) {
    const Gbk iface = word7(lines[i].interface);
    // One client per interface: the router takes no second one.
    if (!served.insert(iface.bytes()).second) continue;
    s += "/ipv6 dhcp-client remove [find interface="_a + iface + "]\r\n"_a;
    s += "/ipv6 dhcp-client add interface="_a + iface + " request=prefix pool-name="_a + ipv6_pool7(lines[i].name) +
         " pool-prefix-length=64 add-default-route=yes"_a;
    if (lines.size() > 1) s += " default-route-distance="_a + number_text(static_cast<int>(i) + 1);
    s += " use-peer-dns=yes comment="_a + word7(lines[i].name) + "\r\n"_a;
  }
  const Gbk port = word7(lan);
  // ::1 in the first /64 of the prefix; advertised, so the hosts make their own addresses in it.
  s += "/ipv6 address remove [find comment=lan]\r\n"_a;
  s += "/ipv6 address add address=::1/64 from-pool="_a + ipv6_pool7(lines.front().name) + " interface="_a + port +
       " advertise=yes comment=lan\r\n"_a;
  // Router advertisements on the LAN itself, whatever the default entry for all interfaces says.
  s += "/ipv6 nd remove [find interface="_a + port + "]\r\n"_a;
  s += "/ipv6 nd add interface="_a + port + " advertise-dns=yes comment=lan\r\n"_a;
  s += ":if ([:len [/ipv6 firewall filter find comment=\"defconf: drop everything else not coming from LAN\"]] = 0)"
       " do={\r\n"_a;
  for (const char* rule : kIpv6Firewall) s += "    /ipv6 firewall filter add "_a + Gbk::from_bytes(rule) + "\r\n"_a;
  s += "}\r\n"_a;
  return s;
}

}  // namespace rosgen
