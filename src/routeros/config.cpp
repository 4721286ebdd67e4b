#include "routeros/config.h"

#include <algorithm>
#include <array>

#include "routeros/interpreter.h"

namespace rosgen::ros7::model {
namespace {

#include "defconf_rsc.inc"

constexpr std::string_view kInterfaceMenus[] = {
    "/interface/ethernet",     "/interface/bridge",      "/interface/vlan",        "/interface/bonding",
    "/interface/pppoe-client", "/interface/pptp-client", "/interface/l2tp-client", "/interface/sstp-client",
    "/interface/ovpn-client",  "/interface/wireguard",   "/interface/gre",         "/interface/gre6",
    "/interface/eoip",         "/interface/eoipv6",      "/interface/ipip",        "/interface/ipipv6",
    "/interface/6to4",         "/interface/vrrp",        "/interface/macvlan",     "/interface/veth",
    "/interface/vxlan",        "/interface/lte",         "/interface/wifi",        "/interface/wireless",
    "/interface/pppoe-server", "/interface/pptp-server", "/interface/l2tp-server", "/interface/sstp-server",
    "/interface/ovpn-server",  "/interface/l2tp-ether",
};

void add(Config& c, std::string_view path, std::vector<std::pair<std::string, std::string>> props) {
  Item item;
  item.serial = c.next_serial++;
  item.props = std::move(props);
  c.menu(path).items.push_back(std::move(item));
}

}  // namespace

std::optional<std::uint32_t> parse_ipv4(std::string_view s) {
  std::uint32_t value = 0;
  int octets = 0;
  std::size_t i = 0;
  while (octets < 4) {
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return std::nullopt;
    unsigned octet = 0;
    int digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      octet = octet * 10 + static_cast<unsigned>(s[i] - '0');
      if (++digits > 3 || octet > 255) return std::nullopt;
      ++i;
    }
    value = (value << 8) | octet;
    if (++octets < 4) {
      if (i >= s.size() || s[i] != '.') return std::nullopt;
      ++i;
    }
  }
  if (i != s.size()) return std::nullopt;
  return value;
}

std::optional<Net> parse_net(std::string_view s) {
  const std::size_t slash = s.find('/');
  auto address = parse_ipv4(s.substr(0, slash));
  if (!address) return std::nullopt;
  Net net{*address, 32};
  if (slash != std::string_view::npos) {
    std::string_view p = s.substr(slash + 1);
    if (p.empty() || p.size() > 2 || !std::all_of(p.begin(), p.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return std::nullopt;
    net.prefix = std::stoi(std::string(p));
    if (net.prefix > 32) return std::nullopt;
  }
  return net;
}

std::vector<std::string_view> split_list(std::string_view s) {
  std::vector<std::string_view> out;
  for (;;) {
    const std::size_t comma = s.find(',');
    out.push_back(s.substr(0, comma));
    if (comma == std::string_view::npos) return out;
    s.remove_prefix(comma + 1);
  }
}

bool is_interface_menu(std::string_view path) {
  return std::find(std::begin(kInterfaceMenus), std::end(kInterfaceMenus), path) != std::end(kInterfaceMenus);
}

bool is_interface_wildcard(std::string_view name) {
  return name == "all" || name == "none" || name == "lo" || name == "dynamic" || name == "static" ||
         name.starts_with("all-");
}

Config empty_router() {
  Config c;
  for (int i = 1; i <= 5; ++i) {
    const std::string name = "ether" + std::to_string(i);
    add(c, "/interface/ethernet", {{"name", name}, {"default-name", name}});
  }
  for (const char* list : {"all", "none", "dynamic", "static"})
    add(c, "/interface/list", {{"name", list}, {"builtin", "yes"}});
  add(c, "/routing/table", {{"name", "main"}, {"fib", ""}});
  add(c, "/ppp/profile", {{"name", "default"}, {"default", "yes"}});
  add(c, "/ppp/profile", {{"name", "default-encryption"}, {"default", "yes"}, {"use-encryption", "yes"}});
  for (const char* type : {"default", "ethernet-default", "wireless-default", "synchronous-default", "hotspot-default",
                           "only-hardware-queue", "multi-queue-ethernet-default", "default-small"}) {
    add(c, "/queue/type", {{"name", type}, {"default", "yes"}});
  }
  add(c, "/queue/type", {{"name", "pcq-upload-default"}, {"kind", "pcq"}, {"pcq-classifier", "src-address"}});
  add(c, "/queue/type", {{"name", "pcq-download-default"}, {"kind", "pcq"}, {"pcq-classifier", "dst-address"}});
  for (const char* group : {"read", "write", "full"}) add(c, "/user/group", {{"name", group}});
  add(c, "/user", {{"name", "admin"}, {"group", "full"}});
  for (const char* service : {"telnet", "ftp", "www", "ssh", "www-ssl", "api", "winbox", "api-ssl"}) {
    add(c, "/ip/service", {{"name", service}});
  }
  add(c, "/ip/ipsec/profile", {{"name", "default"}, {"default", "yes"}});
  add(c, "/ip/ipsec/proposal", {{"name", "default"}, {"default", "yes"}});
  add(c, "/ip/ipsec/policy/group", {{"name", "default"}, {"default", "yes"}});
  return c;
}

const Config& default_configuration() {
  static const Config config = [] {
    Config c = empty_router();
    apply(c, kDefconfScript, true);
    c.defconf = true;
    return c;
  }();
  return config;
}

}  // namespace rosgen::ros7::model
