// Tab 23: the router as PPPoE access server (pool, server, profile).
#include "pages/access/ppp7.h"
#include "pages/builders.h"
#include "pages/ros7.h"
#include "script/form.h"

namespace rosgen {
namespace {

// One text for both dialects.
Outcome generate(Ctx& c) {
  Gbk service = c.trimmed("编辑框_pppoe_服务名称");
  Gbk pool = c.trimmed("编辑框_pppoe_IP地址池名称");
  Gbk idle = c.checked("选择框_pppoe_空闲超时") ? " idle-timeout="_a + c.trimmed("编辑框_pppoe_空闲超时") : Gbk();
  Gbk session = c.checked("选择框_pppoe_连接超时") ? " session-timeout="_a + c.trimmed("编辑框_pppoe_连接超时") : Gbk();
  Gbk limit = c.checked("选择框_pppoe_客户端限速")
                  ? " rate-limit="_a + c.rate("编辑框_pppoe_上传") + "/"_a + c.rate("编辑框_pppoe_下载")
                  : Gbk();
  Gbk s;
  s += "/ ip pool add name="_a + pool + " ranges="_a + c.trimmed("编辑框_pppoe_IP地址池") + "\r\n"_a;
  s += "/ interface pppoe-server server add service-name="_a + service + " interface="_a +
       c.trimmed("编辑框_pppoe_拔号网卡") + " one-session-per-host=yes disabled=no\r\n"_a;
  // The profile line ends the script without a line end.
  s += "/ ppp profile add name=\""_a + c.trimmed("编辑框_pppoe_模板标识") + "\" local-address="_a +
       c.trimmed("编辑框_pppoe_网关") + " remote-address="_a + pool;
  s += " use-compression="_a + c.yes_no("选择框_pppoe_使用压缩");
  s += " use-vj-compression="_a + c.yes_no("选择框_pppoe_使用VJ压缩");
  s += " use-encryption="_a + c.yes_no("选择框_pppoe_使用加密");
  s += " change-tcp-mss="_a + c.yes_no("选择框_pppoe_更改TCPMSS");
  s += " only-one="_a + c.yes_no("选择框_pppoe_用户权限选择");
  s += idle + session + limit;
  s += " dns-server="_a + c.trimmed("编辑框_pppoe_首选DNS") + ","_a + c.trimmed("编辑框_pppoe_备用DNS");
  c.write(std::move(s));
  return Outcome::Done;
}

// RouterOS 7: the profile comes before the server so that the server can make
// it its default profile. The same options as the other dialects; a timeout
// switched on with an empty text sets nothing, as its empty value did there.
// The interface field names the port (or bridge) the clients are plugged into.
// A port of a bridge hands its frames to the bridge, where a server on the
// port never sees them: the port leaves the bridge and serves PPPoE alone
// (name the bridge itself to serve the whole LAN); the uplink's port is no
// place for it. The clients join the LAN list, so the default firewall lets
// their DNS queries reach the router and the default masquerade covers their
// traffic to the internet.
Outcome generate7(Ctx& c) {
  const Gbk pool = c.trimmed("编辑框_pppoe_IP地址池名称");
  const Gbk profile_name = c.trimmed("编辑框_pppoe_模板标识");
  const Gbk port = word7(c.trimmed("编辑框_pppoe_拔号网卡"));
  Profile7 profile{
      .name = profile_name,
      .local_address = c.trimmed("编辑框_pppoe_网关"),
      .remote_address = pool,
      .use_compression = c.yes_no("选择框_pppoe_使用压缩"),
      .use_encryption = c.yes_no("选择框_pppoe_使用加密"),
      .change_tcp_mss = c.yes_no("选择框_pppoe_更改TCPMSS"),
      .only_one = c.yes_no("选择框_pppoe_用户权限选择"),
      .idle_timeout = c.checked("选择框_pppoe_空闲超时") ? c.trimmed("编辑框_pppoe_空闲超时") : Gbk(),
      .session_timeout = c.checked("选择框_pppoe_连接超时") ? c.trimmed("编辑框_pppoe_连接超时") : Gbk(),
      .rate_limit = c.checked("选择框_pppoe_客户端限速")
                        ? c.rate("编辑框_pppoe_上传") + "/"_a + c.rate("编辑框_pppoe_下载")
                        : Gbk(),
      .interface_list = kClientList,
      .primary_dns = c.trimmed("编辑框_pppoe_首选DNS"),
      .secondary_dns = c.trimmed("编辑框_pppoe_备用DNS"),
  };
  Gbk s;
  s += add_or_set7("/ip pool", word7(pool), " ranges="_a + word7(c.trimmed("编辑框_pppoe_IP地址池")));
  s += ppp_profile7(profile);
  // An interface that is not there is said so, instead of stopping the script.
  s += ":if ([:len [/interface find name="_a + port + "]] = 0) do={:put "_a +
       quoted7(to_gbk("没有接口") + c.trimmed("编辑框_pppoe_拔号网卡") + to_gbk("，PPPoE服务器未建立")) +
       "} else={\r\n"_a;
  // One server on the port: an earlier press's goes.
  s += "/interface pppoe-server server remove [find interface="_a + port + "]\r\n"_a;
  s += "/interface pppoe-server server add service-name="_a + word7(c.trimmed("编辑框_pppoe_服务名称")) +
       " interface="_a + port + " default-profile="_a + word7(profile_name) +
       " one-session-per-host=yes disabled=no\r\n"_a;
  // Last: a session pasting the script through that port ends here, with all else done.
  s += "/interface bridge port remove [find interface="_a + port + "]\r\n}\r\n"_a;
  c.write(std::move(s));
  return Outcome::Done;
}

}  // namespace

void build_pppoe_server(Page& page) {
  page.caption = "PPPoE服务器设置脚本生成";
  page.items = {group("PPPoE服务器架设",
                      {
                          edit({"编辑框_pppoe_服务名称", "service-name"}, "PPPoE服务名称:", v::name("PPPoE_Server"),
                               "(多个服务器请勿重复)"),
                          edit({"编辑框_pppoe_拔号网卡", "interface"}, "拨号网卡:", v::iface("ether1"),
                               "(设置PPPoE通过拨号服务的网卡)"),
                          edit({"编辑框_pppoe_IP地址池", "pool"}, "IP地址池:", v::range("10.10.10.2-10.10.10.254"),
                               "设置连接此PPPoE服务器的客户端IP地址池(此IP地址池建议不要与局域网IP段一致,否则出错)"),
                          // The gateway may also name a pool (see its hint): judged as a name, not an address.
                          edit({"编辑框_pppoe_网关", "gateway"}, "PPPoE网关:", v::name("10.10.10.1"),
                               "(即PPPoE客户端获取IP时的网关地址,也可以设置为IP地址池的名称,即IP和网关加减1)"),
                          edit({"编辑框_pppoe_首选DNS", "dns1"}, "首选DNS:", v::ipv4("114.114.114.114")),
                          edit({"编辑框_pppoe_备用DNS", "dns2"}, "备用DNS:", v::ipv4("114.114.114.114")),
                          edit({"编辑框_pppoe_IP地址池名称", "pool-name"}, "IP地址池名称:", v::name("PPPoE_Pool"),
                               "(设置多个PPPoE服务时标识不能重复,否则请保持默认)"),
                          edit({"编辑框_pppoe_模板标识", "profile"},
                               "模板标识:", v::name("PPPoE_Profile").written(Writing::Quoted, Writing::Escaped),
                               "(设置多个PPPoE服务时模板标识不能重复,否则请保持默认)"),
                          row({
                              check({"选择框_pppoe_客户端限速", "use-rate-limit"}, "PPPoE客户端限速", false),
                              edit({"编辑框_pppoe_上传", "rate-up"}, "上传:", v::rate("100"), "KByte/s"),
                              edit({"编辑框_pppoe_下载", "rate-down"}, "下载:", v::rate("100"), "KByte/s"),
                          }),
                          row({
                              check({"选择框_pppoe_空闲超时", "use-idle-timeout"}, "空闲超时:", false),
                              edit({"编辑框_pppoe_空闲超时", "idle-timeout"}, "", v::time("00:00:00")),
                              check({"选择框_pppoe_连接超时", "use-session-timeout"}, "连接超时:", false),
                              edit({"编辑框_pppoe_连接超时", "session-timeout"}, "", v::time("00:00:00")),
                          }),
                          row({
                              check({"选择框_pppoe_使用压缩", "use-compression"}, "使用压缩", true),
                              check({"选择框_pppoe_使用VJ压缩", "use-vj-compression"}, "使用VJ压缩", true),
                              check({"选择框_pppoe_使用加密", "use-encryption"}, "使用加密", true),
                              check({"选择框_pppoe_更改TCPMSS", "change-tcp-mss"}, "更改TCP MSS", false),
                              check({"选择框_pppoe_用户权限选择", "only-one"}, "一个帐号只能一个用户登陆", true),
                          }),
                          note("(如果对这些不熟请保持默认)"),
                          row({
                              button("gen-2x", "按钮_PPPOE_自定义脚本生成2x", "生成2.9.X系列脚本", generate),
                              button("gen-3x", "按钮_PPPOE_自定义脚本生成3x", "生成3.X系列脚本", generate),
                              button7("gen-7x", "生成7.X系列脚本", generate7),
                          }),
                      })};
}

}  // namespace rosgen
