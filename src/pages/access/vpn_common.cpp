#include "pages/access/vpn_common.h"

#include <optional>

#include "pages/ros7.h"

namespace rosgen {
namespace {

// The account's " caller-id=MAC" part, empty when binding is off. When it is on,
// an empty MAC or the placeholder MAC is refused (message shown, nothing returned).
std::optional<Gbk> bound_mac(Ctx& c, const VpnFields& f) {
  if (!c.checked(f.bind_mac)) return Gbk();
  // Checked as typed; only the written value is trimmed.
  const Gbk& mac = c.text(f.mac);
  if (mac.empty()) {
    c.message("绑定的MAC不能为不能为空!");
    return std::nullopt;
  }
  if (mac == "00-00-00-00-00"_a) {
    c.message("绑定的MAC不能为:00-00-00-00-00");
    return std::nullopt;
  }
  return " caller-id="_a + c.trimmed(f.mac);
}

// The client's interface name; an empty one takes the name the router would give it.
Gbk client_name7(const Ctx& c, const VpnFields& f) {
  Gbk name = c.trimmed(f.client_name);
  if (name.empty()) name = Gbk(f.protocol) + "-out1"_a;
  return name;
}

// The client never adds a default route of its own: where the tunnel carries
// traffic, the script routes it there. It joins the WAN list, so the default
// firewall guards it like the uplink and the default masquerade covers what
// leaves by it (the far end knows nothing of the LAN's addresses).
Gbk client_lines7(const Ctx& c, const VpnFields& f) {
  const Gbk name = client_name7(c, f);
  // Routes, marks and lists refer to the interface: a second press sets it anew.
  const std::string menu = "/interface " + Gbk(f.protocol).bytes() + "-client";
  Gbk s = add_or_set7(menu.c_str(), word7(name),
                      " connect-to="_a + word7(c.trimmed(f.server)) + " user="_a + word7(c.trimmed(f.server_user)) +
                          " password="_a + word7(c.trimmed(f.server_password)) + " add-default-route=no disabled=no"_a);
  s += wan_member7(name);
  return s;
}

Gbk client_line(const Ctx& c, const VpnFields& f) {
  return "/ interface "_a + f.protocol + "-client add name=\""_a + c.trimmed(f.client_name) + "\" connect-to="_a +
         c.trimmed(f.server) + " user=\""_a + c.trimmed(f.server_user) + "\" password=\""_a +
         c.trimmed(f.server_password) + "\" add-default-route=yes disabled=no"_a;
}

}  // namespace

namespace {

// The default input firewall drops what does not come from the LAN: the
// server's ports are accepted just before that rule.
Gbk accept_input7(Ascii match, Ascii comment) {
  return "/ip firewall filter add chain=input action=accept "_a + match + " comment=\""_a + comment + "\""_a +
         before_defconf7("defconf: drop all not coming from LAN") + "\r\n"_a;
}

// The gateway is the router's end of every tunnel, the pool hands out the
// clients' addresses, and the clients join the LAN list. Their traffic to the
// internet leaves by the WAN ports, where the default masquerade covers it.
Outcome write_vpn_server7(Ctx& c, const VpnFields& f) {
  const Gbk pool = c.trimmed(f.pool);
  Profile7 profile{
      .name = c.trimmed(f.profile),
      .local_address = c.trimmed(f.gateway),
      .remote_address = pool,
      .use_compression = c.yes_no(f.compression),
      .use_encryption = c.yes_no(f.encryption),
      .change_tcp_mss = c.yes_no(f.tcp_mss),
      .only_one = c.yes_no(f.only_one),
      .idle_timeout = c.checked(f.idle_on) ? c.trimmed(f.idle) : Gbk(),
      .session_timeout = c.checked(f.session_on) ? c.trimmed(f.session) : Gbk(),
      .rate_limit = c.rate(f.upload) + "/"_a + c.rate(f.download),
      .interface_list = kClientList,
      .primary_dns = c.trimmed(f.primary_dns),
      .secondary_dns = c.trimmed(f.secondary_dns),
  };
  Gbk s = "/interface "_a + f.protocol + "-server server set enabled=yes"_a;
  // Windows refuses L2TP without IPsec; "required" refuses it too.
  if (f.ipsec_secret) s += " use-ipsec=required ipsec-secret="_a + word7(c.trimmed(f.ipsec_secret));
  s += "\r\n"_a + add_or_set7("/ip pool", word7(pool), " ranges="_a + word7(c.trimmed(f.range)));
  s += ppp_profile7(profile);
  // The accepts of an earlier press go first.
  s += "/ip firewall filter remove [find chain=input comment=\""_a +
       (f.ipsec_secret ? "l2tp/ipsec server"_a : "pptp server"_a) + "\"]\r\n"_a;
  if (f.ipsec_secret) {
    // IKE, IKE behind NAT, L2TP itself; then IPsec's ESP.
    s += accept_input7("protocol=udp dst-port=500,1701,4500"_a, "l2tp/ipsec server"_a);
    s += accept_input7("protocol=ipsec-esp"_a, "l2tp/ipsec server"_a);
  } else {
    s += accept_input7("protocol=tcp dst-port=1723"_a, "pptp server"_a);
    s += accept_input7("protocol=gre"_a, "pptp server"_a);
  }
  c.write(std::move(s));
  return Outcome::Done;
}

}  // namespace

Outcome write_vpn_server(Ctx& c, const VpnFields& f, Syntax syntax) {
  if (syntax == Syntax::V7) return write_vpn_server7(c, f);
  Gbk range = c.trimmed(f.range);
  Gbk pool = c.trimmed(f.pool);
  Gbk idle = c.checked(f.idle_on) ? " idle-timeout="_a + c.trimmed(f.idle) : Gbk();
  Gbk session = c.checked(f.session_on) ? " session-timeout="_a + c.trimmed(f.session) : Gbk();
  Gbk s;
  s += "/ interface "_a + f.protocol + "-server server set enabled=yes\r\n"_a;
  s += "/ ip pool add name=\""_a + pool + "\" ranges="_a + range + "\r\n"_a;
  // The pool is the profile's local address and the gateway its remote one.
  s += "/ ppp profile add name=\""_a + c.trimmed(f.profile) + "\" local-address="_a + pool + " remote-address="_a +
       c.trimmed(f.gateway);
  s += " use-compression="_a + c.yes_no(f.compression);
  s += " use-vj-compression="_a + c.yes_no(f.vj_compression);
  s += " use-encryption="_a + c.yes_no(f.encryption);
  s += " change-tcp-mss="_a + c.yes_no(f.tcp_mss);
  s += " only-one="_a + c.yes_no(f.only_one);
  s += idle + session;
  s += " rate-limit="_a + c.rate(f.rate_first) + "/"_a + c.rate(f.rate_second);
  s += " dns-server="_a + c.trimmed(f.primary_dns) + ","_a + c.trimmed(f.secondary_dns) + "\r\n"_a;
  // The NAT rule ends the script without a line end.
  s += "/ ip firewall nat add chain=srcnat src-address="_a + range + " action=masquerade"_a;
  c.write(std::move(s));
  return Outcome::Done;
}

Outcome write_vpn_account(Ctx& c, const VpnFields& f, Syntax syntax) {
  std::optional<Gbk> mac = bound_mac(c, f);
  if (!mac) return Outcome::Refused;
  if (syntax == Syntax::V7) {
    // The caller id of a PPTP or L2TP session is the address the client calls
    // from: an address typed into the box binds the account to it, a MAC
    // cannot bind it and is left out, said so above the account.
    Gbk s;
    Gbk caller;
    if (c.checked(f.bind_mac)) {
      caller = c.trimmed(f.mac);
      if (!is_ipv4_7(caller)) {
        caller = Gbk();
        s += "# "_a + f.protocol +
             " sees the caller's IP address, not its MAC: the account is not bound to the MAC\r\n"_a;
      }
    }
    const Gbk profile = c.trimmed(f.account_profile);
    s += if_profile7(profile, remove_named7("/ppp secret", quoted7(c.trimmed(f.user))) +
                                  ppp_secret7(c.trimmed(f.user), c.trimmed(f.password), f.protocol, caller, profile) +
                                  "\r\n"_a);
    c.write(std::move(s));
    return Outcome::Done;
  }
  c.write("/ ppp secret add name=\""_a + c.trimmed(f.user) + "\" password=\""_a + c.trimmed(f.password) +
          "\" service="_a + f.protocol + *mac + " profile="_a + c.trimmed(f.account_profile));
  return Outcome::Done;
}

namespace {

// RouterOS 7: the LAN's connections go by the tunnel through a routing table
// of their own, marked per connection so that the default fasttrack rule
// leaves them alone. The router's own traffic, the tunnel's packets to its
// server among them, keeps the uplink's default route in `main`: the tunnel
// never carries itself, and the router's DNS and clock stay reachable.
Outcome write_vpn_client_default_route7(Ctx& c, const VpnFields& f) {
  const Gbk table = word7(client_name7(c, f));
  Gbk s = client_lines7(c, f);
  s += routing_table7(table);
  s += "/ip route add dst-address=0.0.0.0/0 gateway="_a + table + " routing-table="_a + table + "\r\n"_a;
  s += "/ip firewall mangle add chain=prerouting in-interface-list=LAN dst-address-type=!local "
       "connection-mark=no-mark action=mark-connection new-connection-mark="_a +
       table + " passthrough=yes\r\n"_a;
  s += "/ip firewall mangle add chain=prerouting in-interface-list=LAN connection-mark="_a + table +
       " action=mark-routing new-routing-mark="_a + table + " passthrough=no\r\n"_a;
  // What reaches the router by the tunnel (a ping) is answered through it, not by the uplink.
  s += "/ip firewall mangle add chain=prerouting in-interface="_a + table +
       " connection-mark=no-mark action=mark-connection new-connection-mark="_a + table + " passthrough=yes\r\n"_a;
  s += "/ip firewall mangle add chain=output connection-mark="_a + table + " action=mark-routing new-routing-mark="_a +
       table + " passthrough=no\r\n"_a;
  s += fasttrack_spare_marked7();
  c.write(std::move(s));
  return Outcome::Done;
}

}  // namespace

Outcome write_vpn_client_default_route(Ctx& c, const VpnFields& f, Syntax syntax) {
  if (syntax == Syntax::V7) return write_vpn_client_default_route7(c, f);
  c.write(client_line(c, f));
  // Name the server actually typed: the tunnel itself must not go through the
  // default route it adds.
  c.message("如果你设置过默认路由规则\r\n请修改为" + to_utf8(c.trimmed(f.server)) + "走原来默认路由！");
  return Outcome::Done;
}

Outcome write_vpn_client_routes(Ctx& c, const VpnFields& f, Carrier main_line, Syntax syntax) {
  const Gbk telecom_gateway = c.trimmed(f.telecom_gateway);
  const Gbk netcom_gateway = c.trimmed(f.netcom_gateway);
  // The secondary carrier's networks leave through its own gateway, the rest through the main one.
  const bool telecom_main = main_line == Carrier::Telecom;
  if (syntax == Syntax::V7) {
    // The tunnel adds no default route: one that beat the router's own would
    // take every other network off the main line, and carry the tunnel itself.
    // The main line's gateway backs up the router's default route, as in 3.x.
    // A gateway left empty (single-line users need not give them) routes nothing.
    const Gbk& table_gateway = telecom_main ? netcom_gateway : telecom_gateway;
    const Gbk& main_gateway = telecom_main ? telecom_gateway : netcom_gateway;
    Gbk s =
        "# the other carrier's networks go by its gateway; the rest keeps the default route, "
        "backed up by the main line's gateway\r\n"_a;
    s += client_lines7(c, f);
    if (!table_gateway.empty()) s += route_table7(telecom_main ? Carrier::Netcom : Carrier::Telecom, table_gateway);
    if (!main_gateway.empty()) s += backup_default_route7(main_gateway) + "\r\n"_a;
    c.write(std::move(s));
    return Outcome::Done;
  }
  Gbk s;
  s += client_line(c, f) + "\r\n"_a;
  s += telecom_main ? fill_gateway(Carrier::Netcom, netcom_gateway) : fill_gateway(Carrier::Telecom, telecom_gateway);
  s += backup_default_route(telecom_main ? telecom_gateway : netcom_gateway);
  c.write(std::move(s));
  c.message("请开启Telnet服务,然后用超级终端连接运行此脚本!\r\n否则会出错!");
  return Outcome::Done;
}

}  // namespace rosgen
