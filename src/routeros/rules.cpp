#include "routeros/rules.h"

#include <algorithm>
#include <map>
#include <set>

namespace rosgen::ros7::model {
namespace {

using Props = std::vector<std::pair<std::string, std::string>>;

// A small decimal number, or `fallback` for anything else.
int number(std::string_view v, int fallback) {
  if (v.empty() || v.size() > 6 || !std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return fallback;
  return std::stoi(std::string(v));
}

bool negated(std::string_view v) { return !v.empty() && v[0] == '!'; }
std::string_view positive(std::string_view v) { return negated(v) ? v.substr(1) : v; }

bool is_mac(std::string_view v) {
  if (v.size() != 17) return false;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const char c = v[i];
    if (i % 3 == 2) {
      if (c != ':' && c != '-') return false;
    } else if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) {
      return false;
    }
  }
  return true;
}

bool has_word(std::string_view list, std::string_view word) {
  for (std::string_view w : split_list(list)) {
    if (w == word) return true;
  }
  return false;
}

// Ports as ranges: "80", "6881-6889", "80,443".
std::vector<std::pair<int, int>> port_ranges(std::string_view v) {
  std::vector<std::pair<int, int>> out;
  for (std::string_view w : split_list(v)) {
    const std::size_t dash = w.find('-');
    auto num = [](std::string_view s) -> int {
      if (s.empty() || s.size() > 5 || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
      return std::stoi(std::string(s));
    };
    const int a = num(w.substr(0, dash));
    const int b = dash == std::string_view::npos ? a : num(w.substr(dash + 1));
    if (a < 0 || b < 0) return {};
    out.emplace_back(a, b);
  }
  return out;
}
bool ports_cover(std::string_view outer, std::string_view inner) {
  auto o = port_ranges(outer), i = port_ranges(inner);
  if (o.empty() || i.empty()) return false;
  return std::all_of(i.begin(), i.end(), [&](auto r) {
    return std::any_of(o.begin(), o.end(), [&](auto s) { return s.first <= r.first && r.second <= s.second; });
  });
}

// Properties that say what a firewall rule does rather than what it matches.
bool is_action_prop(std::string_view key) {
  static const std::set<std::string_view> kKeys = {
      "chain",
      "action",
      "comment",
      "log",
      "log-prefix",
      "passthrough",
      "jump-target",
      "address-list",
      "address-list-timeout",
      "reject-with",
      "hw-offload",
      "to-addresses",
      "to-ports",
      "new-connection-mark",
      "new-packet-mark",
      "new-routing-mark",
      "new-mss",
      "new-ttl",
      "new-dscp",
      "new-priority",
      "route-dst",
      "sniff-id",
      "sniff-target",
      "sniff-target-port",
      "copy-from",
  };
  return kKeys.count(key) > 0;
}
bool is_payload(std::string_view key) { return key == "content" || key == "tls-host" || key == "layer7-protocol"; }

struct Route {
  const Item* item = nullptr;  // the static route, the client that makes it, or null
  std::string table = "main";
  bool is_default = false;
  int distance = 1;
  std::string gateway;
  std::string iface;     // where it leaves
  bool checked = false;  // check-gateway, a client that goes away with its link, or a recursive gateway
  bool vpn = false;
};

struct Uplink {
  std::string iface;
  int anchor = 0;  // the latest script line that made it an uplink
  int col = 1;
};

class Judge {
 public:
  Judge(const Config& c, bool whole) : c_(c), whole_(whole) {
    collect_interfaces();
    collect_routes();
  }

  std::vector<Judgement> run() {
    no_default_route();
    routing_mark_table();
    no_failover();
    fasttrack_bypass();
    unreachable_rules("/ip/firewall/filter");
    unreachable_rules("/ipv6/firewall/filter");
    output_drops();
    dstnat_rules();
    srcnat_dynamic();
    wan_no_nat();
    ppp_rules();
    service_dropped();
    address_lists("/ip/firewall");
    address_lists("/ipv6/firewall");
    queues();
    dns_update();
    mss_raise();
    uplink_rules();
    reply_path();
    vpn_default_route();
    address_on_bridge_port();
    std::stable_sort(out_.begin(), out_.end(), [](const Judgement& a, const Judgement& b) {
      return std::tie(a.line, a.col) < std::tie(b.line, b.col);
    });
    return std::move(out_);
  }

 private:
  void report(int line, int col, const char* rule, std::string detail, bool error = false) {
    if (line <= 0) return;
    out_.push_back({line, col, rule, std::move(detail), error});
  }
  void report(const Item& item, const char* rule, std::string detail, bool error = false) {
    if (!item.from_script()) return;
    const int line = item.anchor();
    report(line, line == item.line ? item.col : 1, rule, std::move(detail), error);
  }
  // A rule's name for a message: its comment, or its chain and action.
  static std::string describe(const Item& rule) {
    if (const std::string* comment = rule.get("comment")) return "\"" + *comment + "\"";
    if (const std::string* name = rule.get("name")) return *name;
    return std::string(rule.value("chain")) + " " + std::string(rule.value("action"));
  }

  // --- what the configuration holds -------------------------------------------------------

  void collect_interfaces() {
    for (const auto& [path, menu] : c_.menus) {
      if (!is_interface_menu(path)) continue;
      for (const Item& i : menu.items) iface_menu_[std::string(i.value("name"))] = path;
    }
    c_.each("/interface/bridge/port", [&](const Item& i) { bridge_port_[std::string(i.value("interface"))] = &i; });
    c_.each("/interface/list/member",
            [&](const Item& i) { members_[std::string(i.value("list"))].insert(std::string(i.value("interface"))); });
    c_.each("/ip/dhcp-client", [&](const Item& i) { dhcp_iface_.insert(std::string(i.value("interface"))); });
  }
  bool is_ppp_client(std::string_view iface) const {
    auto it = iface_menu_.find(std::string(iface));
    if (it == iface_menu_.end()) return false;
    return it->second == "/interface/pppoe-client" || it->second == "/interface/pptp-client" ||
           it->second == "/interface/l2tp-client" || it->second == "/interface/sstp-client" ||
           it->second == "/interface/ovpn-client";
  }
  bool in_list(std::string_view iface, std::string_view list) const {
    if (list == "all") return true;
    if (list == "none") return false;
    if (list == "dynamic") return is_ppp_client(iface);
    auto it = members_.find(std::string(list));
    return it != members_.end() && it->second.count(std::string(iface)) > 0;
  }
  const std::set<std::string>* members(std::string_view list) const {
    auto it = members_.find(std::string(list));
    return it == members_.end() ? nullptr : &it->second;
  }

  // The interface a gateway address is reached through: a connected network, or one step of a
  // route to it (a recursive gateway).
  std::string gateway_iface(std::string_view gw, bool& recursive) const {
    // Many routes share a gateway (a carrier's table): each is looked up once.
    auto cached = gateways_.find(std::string(gw));
    if (cached != gateways_.end()) {
      recursive = cached->second.second;
      return cached->second.first;
    }
    std::string iface = resolve_gateway(gw, recursive);
    gateways_.emplace(std::string(gw), std::make_pair(iface, recursive));
    return iface;
  }
  std::string resolve_gateway(std::string_view gw, bool& recursive) const {
    recursive = false;
    if (const std::size_t pct = gw.find('%'); pct != std::string_view::npos) return std::string(gw.substr(pct + 1));
    auto ip = parse_ipv4(gw);
    if (!ip) return iface_menu_.count(std::string(gw)) || is_interface_wildcard(gw) ? std::string(gw) : std::string();
    std::string found;
    c_.each("/ip/address", [&](const Item& a) {
      auto net = parse_net(a.value("address"));
      if (net && found.empty() && net->contains(*ip)) found = a.value("interface");
    });
    if (!found.empty()) return found;
    c_.each("/ip/route", [&](const Item& r) {
      auto dst = parse_net(r.value("dst-address"));
      if (!dst || dst->prefix == 0 || !found.empty() || !dst->contains(*ip)) return;
      std::string_view next = r.value("gateway");
      if (next.find('%') != std::string_view::npos) {
        found = next.substr(next.find('%') + 1);
      } else if (auto nip = parse_ipv4(next)) {
        c_.each("/ip/address", [&](const Item& a) {
          auto net = parse_net(a.value("address"));
          if (net && found.empty() && net->contains(*nip)) found = a.value("interface");
        });
      } else {
        found = next;
      }
    });
    recursive = !found.empty();
    return found;
  }

  void collect_routes() {
    c_.each("/ip/route", [&](const Item& r) {
      Route route;
      route.item = &r;
      std::string_view dst = r.value("dst-address");
      route.is_default = dst.empty() || dst == "0.0.0.0/0";
      if (r.has("routing-table")) route.table = r.value("routing-table");
      if (r.has("distance")) route.distance = number(r.value("distance"), 1);
      route.gateway = r.value("gateway");
      bool recursive = false;
      route.iface = gateway_iface(route.gateway, recursive);
      std::string_view check = r.value("check-gateway");
      // A route through a PPP client's interface goes out of use with the session.
      route.checked = (!check.empty() && check != "none") || recursive || is_ppp_client(route.iface);
      routes_.push_back(std::move(route));
    });
    c_.each("/ip/dhcp-client", [&](const Item& d) {
      if (d.value("add-default-route") == "no") return;
      Route route;
      route.item = &d;
      route.is_default = true;
      if (d.has("default-route-distance")) route.distance = number(d.value("default-route-distance"), 1);
      route.iface = d.value("interface");
      route.checked = true;
      routes_.push_back(std::move(route));
    });
    for (const char* menu : {"/interface/pppoe-client", "/interface/pptp-client", "/interface/l2tp-client",
                             "/interface/sstp-client", "/interface/ovpn-client"}) {
      c_.each(menu, [&](const Item& p) {
        if (p.value("add-default-route") != "yes") return;
        Route route;
        route.item = &p;
        route.is_default = true;
        if (p.has("default-route-distance")) route.distance = number(p.value("default-route-distance"), 1);
        route.iface = p.value("name");
        route.checked = true;
        route.vpn = std::string_view(menu) != "/interface/pppoe-client";
        routes_.push_back(std::move(route));
      });
    }
    for (const Route& r : routes_) {
      if (!r.is_default || r.vpn || r.iface.empty()) continue;
      Uplink& u = uplinks_[r.iface];
      u.iface = r.iface;
      const int line = r.item ? r.item->anchor() : 0;
      if (line > u.anchor) {
        u.anchor = line;
        u.col = line == r.item->line ? r.item->col : 1;
      }
    }
  }

  // --- the rules --------------------------------------------------------------------------

  void no_default_route() {
    for (const Route& r : routes_) {
      if (r.is_default && r.table == "main") return;
    }
    int line = 0;
    for (const char* menu : {"/ip/route", "/ip/dhcp-client", "/interface/pppoe-client", "/interface/pptp-client",
                             "/interface/l2tp-client", "/interface/sstp-client", "/interface/ovpn-client"}) {
      if (const Menu* m = c_.find_menu(menu)) line = std::max(line, m->last_change);
    }
    // A whole configuration that sets anything needs a default route, wherever it would stand.
    if (line == 0 && whole_ &&
        std::any_of(c_.menus.begin(), c_.menus.end(), [](const auto& m) { return m.second.last_change > 0; })) {
      line = 1;
    }
    report(line, 1, "no-default-route", "main");
  }

  void routing_mark_table() {
    c_.each("/ip/firewall/mangle", [&](const Item& m) {
      if (m.value("action") != "mark-routing" || m.unknown) return;
      const std::string table(m.value("new-routing-mark"));
      if (table.empty() || table == "main") return;
      bool exists = false;
      c_.each("/routing/table", [&](const Item& t) { exists = exists || t.value("name") == table; });
      if (!exists) {
        report(m, "routing-mark-table", table, true);
        return;
      }
      const bool routed = std::any_of(routes_.begin(), routes_.end(), [&](const Route& r) { return r.table == table; });
      if (!routed) report(m, "routing-mark-table", table);
    });
  }

  void no_failover() {
    std::set<std::string> ifaces;
    for (const Route& r : routes_) {
      if (r.is_default && !r.vpn && !r.iface.empty()) ifaces.insert(r.iface);
    }
    if (ifaces.size() < 2) return;
    for (const Route& r : routes_) {
      if (!r.is_default || r.checked || r.vpn || !r.item || r.item->unknown) continue;
      bool watched = false;
      c_.each("/tool/netwatch", [&](const Item& n) { watched = watched || n.value("host") == r.gateway; });
      if (!watched) report(*r.item, "no-failover", r.gateway);
    }
  }

  void fasttrack_bypass() {
    c_.each("/ip/firewall/filter", [&](const Item& f) {
      if (f.value("action") != "fasttrack-connection") return;
      const bool spares = f.has("connection-mark");
      auto latest = [&](const char* menu, auto pred) {
        const Item* found = nullptr;
        c_.each(menu, [&](const Item& i) {
          if (pred(i) && (!found || i.anchor() > found->anchor())) found = &i;
        });
        return found;
      };
      const Item* cause = nullptr;
      if (!spares) cause = latest("/queue/simple", [](const Item&) { return true; });
      if (!cause) {
        cause = latest("/ip/firewall/filter", [](const Item& i) {
          return std::any_of(i.props.begin(), i.props.end(), [](const auto& p) { return is_payload(p.first); });
        });
      }
      if (!cause && !spares) {
        cause = latest("/ip/firewall/mangle", [](const Item& i) {
          std::string_view a = i.value("action");
          return a == "mark-connection" || a == "mark-packet" || a == "mark-routing";
        });
        if (!cause) cause = latest("/queue/tree", [](const Item& i) { return i.value("parent") == "global"; });
      }
      if (!cause) return;
      const Item& anchor = cause->anchor() >= f.anchor() ? *cause : f;
      report(anchor, "fasttrack-bypass", describe(*cause));
    });
  }

  // Whether rule `r`'s matcher set implies `key=value` of an earlier rule.
  bool implies(const Item& r, std::string_view key, std::string_view value) const {
    if (const std::string* same = r.get(key); same && *same == value) return true;
    if (key == "connection-state") {
      const std::string* states = r.get(key);
      if (!states || negated(*states) || negated(value)) return false;
      for (std::string_view s : split_list(*states)) {
        if (!has_word(value, s)) return false;
      }
      return true;
    }
    if (key == "in-interface-list" || key == "out-interface-list") {
      const std::string_view side = key.substr(0, key.find('-'));  // "in" or "out"
      const std::string iface_key = std::string(side) + "-interface";
      const std::string_view list = positive(value);
      if (const std::string* iface = r.get(iface_key); iface && !negated(*iface) && !is_interface_wildcard(*iface)) {
        return in_list(*iface, list) != negated(value);
      }
      if (const std::string* other = r.get(key); other && !negated(*other)) {
        const std::set<std::string>* m = members(*other);
        if (!m || m->empty()) return false;
        return std::all_of(m->begin(), m->end(),
                           [&](const std::string& i) { return in_list(i, list) != negated(value); });
      }
      return false;
    }
    if (key == "src-address" || key == "dst-address") {
      const std::string* mine = r.get(key);
      if (!mine || negated(*mine) || negated(value)) return false;
      auto outer = parse_net(value), inner = parse_net(*mine);
      return outer && inner && outer->covers(*inner);
    }
    if (key == "dst-port" || key == "src-port") {
      const std::string* mine = r.get(key);
      return mine && !negated(*mine) && !negated(value) && ports_cover(value, *mine);
    }
    return false;
  }

  void unreachable_rules(const char* menu) {
    const Menu* m = c_.find_menu(menu);
    if (!m) return;
    for (std::size_t k = 0; k < m->items.size(); ++k) {
      const Item& r = m->items[k];
      if (r.disabled || r.unknown || !r.from_script()) continue;
      const bool payload =
          std::any_of(r.props.begin(), r.props.end(), [](const auto& p) { return is_payload(p.first); });
      for (std::size_t e = 0; e < k; ++e) {
        const Item& earlier = m->items[e];
        if (earlier.disabled || earlier.unknown || earlier.value("chain") != r.value("chain")) continue;
        std::string_view action = earlier.value("action");
        const bool terminal = action == "accept" || action == "drop" || action == "reject" || action == "tarpit";
        const bool fasttrack = action == "fasttrack-connection";
        if (!terminal && !fasttrack) continue;
        bool all = true;
        bool takes_established = false;
        for (const auto& [key, value] : earlier.props) {
          if (is_action_prop(key)) continue;
          if (key == "connection-state" && payload && !r.has("connection-state") && !negated(value) &&
              has_word(value, "established")) {
            takes_established = true;
            continue;
          }
          if (!implies(r, key, value)) {
            all = false;
            break;
          }
        }
        if (!all) continue;
        if (takes_established || (terminal && !fasttrack)) {
          report(r, "unreachable-rule", describe(earlier));
          break;
        }
      }
    }
  }

  void output_drops() {
    c_.each("/ip/firewall/filter", [&](const Item& r) {
      std::string_view action = r.value("action");
      if (r.value("chain") != "output" || (action != "drop" && action != "reject")) return;
      if (r.value("protocol") == "icmp") {
        report(r, "icmp-drop-output", describe(r));
      } else {
        report(r, "output-drop", describe(r));
      }
    });
  }

  bool limited_to_router(const Item& r) const {
    auto positive_has = [&](const char* key) {
      const std::string* v = r.get(key);
      return v && !v->empty() && !negated(*v);
    };
    if (positive_has("dst-address") || positive_has("in-interface") || positive_has("in-interface-list") ||
        positive_has("dst-address-list")) {
      return true;
    }
    const std::string* type = r.get("dst-address-type");
    return type && !negated(*type) && has_word(*type, "local");
  }

  // The LAN networks: addresses on interfaces that are not uplinks.
  std::vector<std::pair<Net, std::string>> lan_networks() const {
    std::vector<std::pair<Net, std::string>> out;
    c_.each("/ip/address", [&](const Item& a) {
      auto net = parse_net(a.value("address"));
      const std::string iface(a.value("interface"));
      if (net && !uplinks_.count(iface) && !is_ppp_client(iface)) out.emplace_back(*net, iface);
    });
    return out;
  }

  void dstnat_rules() {
    const auto lans = lan_networks();
    c_.each("/ip/firewall/nat", [&](const Item& d) {
      std::string_view action = d.value("action");
      if (d.value("chain") != "dstnat" || (action != "dst-nat" && action != "netmap") || d.unknown) return;
      if (!limited_to_router(d)) {
        report(d, "dstnat-unlimited", describe(d));
        return;
      }
      auto host = parse_ipv4(d.value("to-addresses"));
      if (!host) return;
      const std::pair<Net, std::string>* lan = nullptr;
      for (const auto& l : lans) {
        if (l.first.contains(*host)) lan = &l;
      }
      if (!lan) return;
      // Only LAN hosts that reach the rule need the hairpin.
      if (const std::string* in = d.get("in-interface"); in && !negated(*in) && *in != lan->second) return;
      if (const std::string* in = d.get("in-interface-list"); in && !negated(*in) && !in_list(lan->second, *in)) return;
      bool hairpin = false;
      c_.each("/ip/firewall/nat", [&](const Item& s) {
        std::string_view a = s.value("action");
        if (s.value("chain") != "srcnat" || (a != "masquerade" && a != "src-nat")) return;
        if (const std::string* out = s.get("out-interface"); out && *out != lan->second) return;
        if (const std::string* out = s.get("out-interface-list"); out && !in_list(lan->second, *out)) return;
        if (const std::string* dst = s.get("dst-address")) {
          auto n = parse_net(*dst);
          if (!n || negated(*dst) || !n->contains(*host)) return;
        }
        if (const std::string* src = s.get("src-address")) {
          auto n = parse_net(*src);
          if (!n || negated(*src) || !(n->covers(lan->first) || lan->first.covers(*n))) return;
        }
        hairpin = true;
      });
      if (!hairpin) report(d, "no-hairpin", std::string(d.value("to-addresses")));
    });
  }

  void srcnat_dynamic() {
    std::set<std::string> dynamic_ips;
    c_.each("/ip/address", [&](const Item& a) {
      const std::string iface(a.value("interface"));
      if (is_ppp_client(iface) || dhcp_iface_.count(iface)) {
        std::string_view addr = a.value("address");
        dynamic_ips.insert(std::string(addr.substr(0, addr.find('/'))));
      }
    });
    c_.each("/ip/firewall/nat", [&](const Item& n) {
      if (n.value("action") != "src-nat" || n.unknown) return;
      const std::string out(n.value("out-interface"));
      if (dynamic_ips.count(std::string(n.value("to-addresses"))) || is_ppp_client(out) || dhcp_iface_.count(out)) {
        report(n, "srcnat-dynamic", std::string(n.value("to-addresses")));
      }
    });
  }

  void wan_no_nat() {
    for (const auto& entry : uplinks_) {
      const std::string& iface = entry.first;
      const Uplink& uplink = entry.second;
      bool covered = false;
      c_.each("/ip/firewall/nat", [&](const Item& n) {
        std::string_view a = n.value("action");
        if (n.value("chain") != "srcnat" || (a != "masquerade" && a != "src-nat" && a != "same" && a != "netmap"))
          return;
        const std::string* out = n.get("out-interface");
        const std::string* list = n.get("out-interface-list");
        if ((!out && !list) || (out && *out == iface) || (list && !negated(*list) && in_list(iface, *list)))
          covered = true;
      });
      if (covered) continue;
      // Where the script made the line an uplink, or last changed the NAT rules.
      const Menu* nat = c_.find_menu("/ip/firewall/nat");
      if (nat && nat->last_change > uplink.anchor) {
        report(nat->last_change, 1, "wan-no-nat", iface);
      } else {
        report(uplink.anchor, uplink.col, "wan-no-nat", iface);
      }
    }
  }

  void ppp_rules() {
    c_.each("/ppp/profile", [&](const Item& p) {
      std::string_view local = p.value("local-address"), remote = p.value("remote-address");
      if (local.empty() || remote.empty() || parse_net(local)) return;
      auto r = parse_net(remote);
      if (r && r->prefix == 32 && remote.find('-') == std::string_view::npos) {
        report(p, "ppp-profile-reversed", std::string(p.value("name")));
      }
    });
    c_.each("/ppp/secret", [&](const Item& s) {
      std::string_view service = s.value("service");
      if ((service == "pptp" || service == "l2tp") && is_mac(s.value("caller-id"))) {
        report(s, "caller-id-mac", std::string(s.value("name")));
      }
    });
    c_.each("/interface/l2tp-server/server", [&](const Item& s) {
      std::string_view ipsec = s.value("use-ipsec");
      if (s.value("enabled") == "yes" && ipsec != "yes" && ipsec != "required") report(s, "l2tp-no-ipsec", "l2tp");
    });
  }

  // --- the input chain, for a new packet from the WAN to the router ------------------------

  struct Packet {
    std::string protocol;  // "tcp", "udp", "gre", "ipsec-esp"
    int port = 0;
    bool ipsec = false;
    std::string iface;
  };
  static Packet packet(std::string protocol, int port, bool ipsec = false) {
    Packet p;
    p.protocol = std::move(protocol);
    p.port = port;
    p.ipsec = ipsec;
    return p;
  }
  enum class Match { No, Maybe, Yes };

  static bool same_protocol(std::string_view rule, std::string_view packet) {
    static const std::map<std::string_view, std::string_view> kNumbers = {
        {"6", "tcp"}, {"17", "udp"}, {"47", "gre"}, {"50", "ipsec-esp"}, {"1", "icmp"}};
    auto it = kNumbers.find(rule);
    return (it != kNumbers.end() ? it->second : rule) == packet;
  }

  Match matches(const Item& rule, const Packet& p) const {
    Match result = Match::Yes;
    for (const auto& [key, raw] : rule.props) {
      if (is_action_prop(key)) continue;
      const bool neg = negated(raw);
      const std::string_view v = positive(raw);
      std::optional<bool> yes;
      if (key == "connection-state") {
        yes = has_word(v, "new");
      } else if (key == "protocol") {
        yes = same_protocol(v, p.protocol);
      } else if (key == "dst-port" || key == "port") {
        yes = (p.protocol == "tcp" || p.protocol == "udp") && ports_cover(v, std::to_string(p.port));
      } else if (key == "in-interface") {
        yes = v == p.iface;
      } else if (key == "in-interface-list") {
        yes = in_list(p.iface, v);
      } else if (key == "dst-address-type") {
        yes = has_word(v, "local");
      } else if (key == "ipsec-policy") {
        if (v == "in,ipsec") yes = p.ipsec;
        if (v == "in,none") yes = !p.ipsec;
      } else if (key == "connection-nat-state") {
        yes = false;
      } else if (key == "dst-address" && v.starts_with("127.")) {
        yes = false;
      }
      if (!yes) {
        result = Match::Maybe;
        continue;
      }
      if (*yes == neg) return Match::No;
    }
    return result;
  }

  // The input rule that drops `p`, or null when it may pass.
  const Item* dropped_by(const Packet& p) const {
    const Menu* m = c_.find_menu("/ip/firewall/filter");
    if (!m) return nullptr;
    for (const Item& rule : m->items) {
      if (rule.disabled || rule.unknown || rule.value("chain") != "input") continue;
      const Match match = matches(rule, p);
      if (match == Match::No) continue;
      std::string_view action = rule.value("action");
      if (action.empty() || action == "accept") return nullptr;
      if (match == Match::Yes && (action == "drop" || action == "reject" || action == "tarpit")) return &rule;
    }
    return nullptr;
  }

  void service_dropped() {
    std::string wan;
    if (const std::set<std::string>* m = members("WAN"); m && !m->empty()) wan = *m->begin();
    if (wan.empty() && !uplinks_.empty()) wan = uplinks_.begin()->first;
    if (wan.empty()) return;
    auto check = [&](const Item& server, const char* what, std::vector<Packet> packets) {
      for (Packet& p : packets) {
        p.iface = wan;
        if (const Item* rule = dropped_by(p)) {
          const Item& anchor = server.anchor() >= rule->anchor() ? server : *rule;
          report(anchor, "service-dropped",
                 std::string(what) + " " + p.protocol + (p.port ? " " + std::to_string(p.port) : "") + ", " +
                     describe(*rule));
          return;
        }
      }
    };
    auto port_of = [](const Item& i, int fallback) {
      std::string_view v = i.value("port");
      return v.empty() ? fallback : std::atoi(std::string(v).c_str());
    };
    c_.each("/interface/pptp-server/server", [&](const Item& s) {
      if (s.value("enabled") == "yes") check(s, "PPTP", {packet("tcp", 1723), packet("gre", 0)});
    });
    c_.each("/interface/l2tp-server/server", [&](const Item& s) {
      if (s.value("enabled") != "yes") return;
      std::string_view ipsec = s.value("use-ipsec");
      if (ipsec == "yes" || ipsec == "required") {
        check(s, "L2TP/IPsec",
              {packet("udp", 500), packet("udp", 4500), packet("ipsec-esp", 0), packet("udp", 1701, true)});
      } else {
        check(s, "L2TP", {packet("udp", 1701)});
      }
    });
    c_.each("/interface/sstp-server/server", [&](const Item& s) {
      if (s.value("enabled") == "yes") check(s, "SSTP", {packet("tcp", port_of(s, 443))});
    });
    c_.each("/interface/ovpn-server/server", [&](const Item& s) {
      if (s.value("enabled") != "yes") return;
      check(s, "OpenVPN", {packet(s.value("protocol") == "udp" ? "udp" : "tcp", port_of(s, 1194))});
    });
    c_.each("/interface/wireguard", [&](const Item& w) {
      std::string_view port = w.value("listen-port");
      if (!port.empty()) check(w, "WireGuard", {packet("udp", std::atoi(std::string(port).c_str()))});
    });
  }

  void address_lists(const std::string& base) {
    std::map<std::string, const Item*> first;  // list -> its first entry the script added
    std::set<std::string> filled;
    c_.each(base + "/address-list", [&](const Item& a) {
      const std::string list(a.value("list"));
      filled.insert(list);
      if (a.from_script() && !first.count(list)) first[list] = &a;
    });
    std::set<std::string> used;
    std::vector<std::pair<const Item*, std::string>> refs;
    for (const char* table : {"/filter", "/nat", "/mangle", "/raw"}) {
      c_.each(base + table, [&](const Item& r) {
        for (const char* key : {"src-address-list", "dst-address-list"}) {
          if (const std::string* v = r.get(key)) {
            used.insert(std::string(positive(*v)));
            refs.emplace_back(&r, std::string(positive(*v)));
          }
        }
        std::string_view action = r.value("action");
        if (action == "add-src-to-address-list" || action == "add-dst-to-address-list") {
          filled.insert(std::string(r.value("address-list")));
        }
      });
    }
    c_.each("/ip/dns/static", [&](const Item& d) {
      if (d.has("address-list")) filled.insert(std::string(d.value("address-list")));
    });
    for (const auto& [list, item] : first) {
      if (!used.count(list)) report(*item, "address-list-unused", list);
    }
    for (const auto& [rule, list] : refs) {
      if (!filled.count(list) && !list.empty() && !rule->unknown) {
        report(*rule, "unknown-reference", "address list " + list, true);
      }
    }
  }

  void queues() {
    std::map<std::pair<std::string, std::string>, const Item*> seen;
    c_.each("/queue/tree", [&](const Item& q) {
      if (q.unknown) return;
      auto key = std::make_pair(std::string(q.value("parent")), std::string(q.value("packet-mark")));
      if (auto [it, fresh] = seen.emplace(key, &q); !fresh) {
        report(q, "queue-tree-same-mark", std::string(q.value("name")) + ", " + std::string(it->second->value("name")));
      }
      const std::string parent(q.value("parent"));
      if (!uplinks_.count(parent) && !in_list(parent, "WAN")) return;
      c_.each("/queue/type", [&](const Item& t) {
        if (t.value("name") == q.value("queue") && t.value("kind") == "pcq" &&
            has_word(t.value("pcq-classifier"), "src-address")) {
          report(q, "pcq-after-nat", std::string(q.value("name")));
        }
      });
    });
  }

  void dns_update() {
    for (const Ran& r : c_.ran) {
      if (r.path != "/tool/dns-update") continue;
      const bool server =
          std::any_of(r.args.begin(), r.args.end(), [](const auto& a) { return a.first == "dns-server"; });
      if (!server) report(r.line, r.col, "dns-update-no-server", "/tool dns-update");
    }
    for (const Stored& s : c_.stored) {
      for (std::size_t at = s.text.find("dns-update"); at != std::string::npos;
           at = s.text.find("dns-update", at + 1)) {
        const std::size_t end = s.text.find('\n', at);
        const std::string statement = s.text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (statement.find("dns-server=") == std::string::npos) {
          report(s.line, s.col, "dns-update-no-server", "/tool dns-update");
          break;
        }
      }
    }
  }

  void mss_raise() {
    c_.each("/ip/firewall/mangle", [&](const Item& m) {
      if (m.value("action") != "change-mss" || m.unknown || m.has("tcp-mss")) return;
      if (m.value("new-mss") != "clamp-to-pmtu") report(m, "mss-raise", std::string(m.value("new-mss")));
    });
  }

  void uplink_rules() {
    // The default firewall guards what the WAN list holds.
    bool guarded = false;
    c_.each("/ip/firewall/filter", [&](const Item& r) { guarded = guarded || r.value("in-interface-list") == "WAN"; });
    for (const auto& entry : uplinks_) {
      const std::string& iface = entry.first;
      const Uplink& uplink = entry.second;
      if (auto port = bridge_port_.find(iface); port != bridge_port_.end()) {
        const int line = std::max(uplink.anchor, port->second->anchor());
        report(line, line == uplink.anchor ? uplink.col : 1, "uplink-on-bridge", iface);
      }
      if (guarded && !in_list(iface, "WAN")) {
        int line = uplink.anchor, col = uplink.col;
        if (line == 0) {
          const Menu* m = c_.find_menu("/interface/list/member");
          line = m ? m->last_change : 0;
          col = 1;
        }
        report(line, col, "uplink-not-wan", iface);
      }
    }
  }

  void reply_path() {
    if (uplinks_.size() < 2) return;
    std::set<std::string> routed_marks;
    c_.each("/ip/firewall/mangle", [&](const Item& m) {
      if (m.value("action") == "mark-routing" && m.has("connection-mark"))
        routed_marks.insert(std::string(m.value("connection-mark")));
    });
    for (const auto& entry : uplinks_) {
      const std::string& iface = entry.first;
      const Uplink& uplink = entry.second;
      bool marked = false;
      c_.each("/ip/firewall/mangle", [&](const Item& m) {
        if (m.value("action") != "mark-connection" || !routed_marks.count(std::string(m.value("new-connection-mark"))))
          return;
        if (m.value("in-interface") == iface) marked = true;
        if (const std::set<std::string>* l = members(m.value("in-interface-list"));
            l && l->size() == 1 && l->count(iface)) {
          marked = true;
        }
      });
      if (!marked) report(uplink.anchor, uplink.col, "reply-path", iface);
    }
  }

  void vpn_default_route() {
    int best = 256;
    for (const Route& r : routes_) {
      if (r.is_default && !r.vpn && r.table == "main") best = std::min(best, r.distance);
    }
    if (best == 256) return;
    for (const Route& r : routes_) {
      if (!r.vpn || r.distance > best || !r.item) continue;
      auto server = parse_ipv4(r.item->value("connect-to"));
      if (!server) continue;
      bool pinned = false;
      for (const Route& other : routes_) {
        if (other.is_default || !other.item) continue;
        auto dst = parse_net(other.item->value("dst-address"));
        if (dst && dst->contains(*server) && other.iface != r.iface) pinned = true;
      }
      if (!pinned) report(*r.item, "vpn-default-route", r.iface);
    }
  }

  void address_on_bridge_port() {
    c_.each("/ip/address", [&](const Item& a) {
      auto port = bridge_port_.find(std::string(a.value("interface")));
      if (port == bridge_port_.end()) return;
      const Item& anchor = a.anchor() >= port->second->anchor() ? a : *port->second;
      report(anchor, "address-on-bridge-port", std::string(a.value("interface")));
    });
  }

  const Config& c_;
  bool whole_;
  std::vector<Judgement> out_;
  std::map<std::string, std::string> iface_menu_;
  std::map<std::string, const Item*> bridge_port_;
  std::map<std::string, std::set<std::string>> members_;
  std::set<std::string> dhcp_iface_;
  std::vector<Route> routes_;
  std::map<std::string, Uplink> uplinks_;
  mutable std::map<std::string, std::pair<std::string, bool>> gateways_;
};

}  // namespace

std::vector<Judgement> judge(const Config& config, bool whole) { return Judge(config, whole).run(); }

}  // namespace rosgen::ros7::model
