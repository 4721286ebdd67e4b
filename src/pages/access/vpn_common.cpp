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

Gbk client_line7(const Ctx& c, const VpnFields& f) {
  return "/interface "_a + f.protocol + "-client add name="_a + word7(c.trimmed(f.client_name)) + " connect-to="_a +
         word7(c.trimmed(f.server)) + " user="_a + word7(c.trimmed(f.server_user)) + " password="_a +
         word7(c.trimmed(f.server_password)) + " add-default-route=yes disabled=no"_a;
}

Gbk client_line(const Ctx& c, const VpnFields& f) {
  return "/ interface "_a + f.protocol + "-client add name=\""_a + c.trimmed(f.client_name) + "\" connect-to="_a +
         c.trimmed(f.server) + " user=\""_a + c.trimmed(f.server_user) + "\" password=\""_a +
         c.trimmed(f.server_password) + "\" add-default-route=yes disabled=no"_a;
}

}  // namespace

namespace {

Outcome write_vpn_server7(Ctx& c, const VpnFields& f) {
  const Gbk range = word7(c.trimmed(f.range));
  const Gbk pool = c.trimmed(f.pool);
  // The pool is the profile's local address and the gateway its remote one,
  // as in the other dialects; an empty timeout sets nothing.
  Profile7 profile{
      .name = c.trimmed(f.profile),
      .local_address = pool,
      .remote_address = c.trimmed(f.gateway),
      .use_compression = c.yes_no(f.compression),
      .use_encryption = c.yes_no(f.encryption),
      .change_tcp_mss = c.yes_no(f.tcp_mss),
      .only_one = c.yes_no(f.only_one),
      .idle_timeout = c.checked(f.idle_on) ? c.trimmed(f.idle) : Gbk(),
      .session_timeout = c.checked(f.session_on) ? c.trimmed(f.session) : Gbk(),
      .rate_limit = c.rate(f.rate_first) + "/"_a + c.rate(f.rate_second),
      .primary_dns = c.trimmed(f.primary_dns),
      .secondary_dns = c.trimmed(f.secondary_dns),
  };
  Gbk s;
  s += "/interface "_a + f.protocol + "-server server set enabled=yes\r\n"_a;
  s += "/ip pool add name="_a + word7(pool) + " ranges="_a + range + "\r\n"_a;
  s += ppp_profile7(profile) + "\r\n"_a;
  s += "/ip firewall nat add chain=srcnat src-address="_a + range + " action=masquerade"_a;
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
    const Gbk caller = c.checked(f.bind_mac) ? caller_id7(c.trimmed(f.mac)) : Gbk();
    c.write(ppp_secret7(c.trimmed(f.user), c.trimmed(f.password), f.protocol, caller, c.trimmed(f.account_profile)));
    return Outcome::Done;
  }
  c.write("/ ppp secret add name=\""_a + c.trimmed(f.user) + "\" password=\""_a + c.trimmed(f.password) +
          "\" service="_a + f.protocol + *mac + " profile="_a + c.trimmed(f.account_profile));
  return Outcome::Done;
}

Outcome write_vpn_client_default_route(Ctx& c, const VpnFields& f, Syntax syntax) {
  c.write(syntax == Syntax::V7 ? client_line7(c, f) : client_line(c, f));
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
    Gbk s = client_line7(c, f) + "\r\n"_a;
    s += telecom_main ? route_table7(Carrier::Netcom, netcom_gateway) : route_table7(Carrier::Telecom, telecom_gateway);
    // The backup default route ends the script without a line end.
    s += backup_default_route7(telecom_main ? telecom_gateway : netcom_gateway);
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
