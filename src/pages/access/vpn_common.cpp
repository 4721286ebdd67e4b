#include "pages/access/vpn_common.h"

namespace rosgen {

std::optional<Gbk> bound_mac(Ctx& c, const std::string& bind_box, const std::string& mac_field) {
  if (!c.checked(bind_box)) return Gbk();
  // Checked as typed; only the written value is trimmed.
  const Gbk& mac = c.text(mac_field);
  if (mac.empty()) {
    c.message("绑定的MAC不能为不能为空!");
    return std::nullopt;
  }
  if (mac == "00-00-00-00-00"_a) {
    c.message("绑定的MAC不能为:00-00-00-00-00");
    return std::nullopt;
  }
  return " caller-id="_a + c.trimmed(mac_field);
}

Outcome write_client_default_route(Ctx& c, const Gbk& client_line, const Gbk& server) {
  c.write(client_line);
  // Name the server actually typed: the tunnel itself must not go through the
  // default route it adds.
  c.message("如果你设置过默认路由规则\r\n请修改为" + to_utf8(server) + "走原来默认路由！");
  return Outcome::Done;
}

Outcome write_client_routes(Ctx& c, const Gbk& client_line, Carrier main_line, const Gbk& telecom_gateway,
                            const Gbk& netcom_gateway) {
  // The secondary carrier's networks leave through its own gateway, the rest through the main one.
  const bool telecom_main = main_line == Carrier::Telecom;
  Gbk s;
  s += client_line + "\r\n"_a;
  s += telecom_main ? fill_gateway(Carrier::Netcom, netcom_gateway) : fill_gateway(Carrier::Telecom, telecom_gateway);
  s += backup_default_route(telecom_main ? telecom_gateway : netcom_gateway);
  c.write(std::move(s));
  c.message("请开启Telnet服务,然后用超级终端连接运行此脚本!\r\n否则会出错!");
  return Outcome::Done;
}

}  // namespace rosgen
