// Tab 21: PPTP server, PPTP accounts and the router as PPTP client. One
// script per button, the same for 2.9.x and 3.x.
#include "pages/access/vpn_common.h"
#include "pages/builders.h"
#include "pages/ros7.h"
#include "script/form.h"

namespace rosgen {
namespace {

constexpr VpnFields kFields = {
    .protocol = "pptp"_a,
    .range = "编辑框_pptp_IP地址池",
    .pool = "编辑框_pptp_IP地址池名称",
    .profile = "编辑框_pptp_模板标识",
    .gateway = "编辑框_pptp_pptp网关",
    .compression = "选择框_PPTP_使用压缩",
    .vj_compression = "选择框_PPTP_使用VJ压缩",
    .encryption = "选择框_PPTP_使用加密",
    .tcp_mss = "选择框_PPTP_更改TCPMSS",
    .only_one = "选择框_PPTP_帐号权限",
    .idle_on = "选择框_pptp_空闲超时",
    .idle = "编辑框_pptp_空闲超时",
    .session_on = "选择框_pptp_连接超时",
    .session = "编辑框_pptp_连接超时",
    .rate_first = "编辑框_pptp_上传",
    .rate_second = "编辑框_pptp_下载",
    .upload = "编辑框_pptp_上传",
    .download = "编辑框_pptp_下载",
    .ipsec_secret = nullptr,
    .primary_dns = "编辑框_pptp_首选DNS",
    .secondary_dns = "编辑框_PPTP_备用DNS",
    .account_profile = "编辑框_PPTP_模板标识二",
    .user = "编辑框_PPTP_用户名",
    .password = "编辑框_PPTP_密码",
    .bind_mac = "选择框_PPTP_绑定MAC",
    .mac = "编辑框_PPTP_mac",
    .client_name = "编辑框_PPTP_连接标识",
    .server = "编辑框_PPTP_服务器IP",
    .server_user = "编辑框_PPTP_服务器用户名",
    .server_password = "编辑框_PPTP_服务器密码",
    .telecom_gateway = "编辑框_PPTP_电信网关",
    .netcom_gateway = "编辑框_PPTP_网通网关",
};

// A timeout that is switched on must be given, and not as zero.
Outcome server(Ctx& c, Syntax syntax) {
  bool idle_on = c.checked(kFields.idle_on);
  bool session_on = c.checked(kFields.session_on);
  Gbk idle = c.trimmed(kFields.idle);
  Gbk session = c.trimmed(kFields.session);
  if (idle_on && idle.empty()) return c.refuse("空闲超时不能为空!");
  if (idle_on && idle == "00:00:00"_a) return c.refuse("空闲超时不能为：00:00:00!");
  if (session_on && session.empty()) return c.refuse("连接超时不能为空!");
  if (session_on && session == "00:00:00"_a) return c.refuse("连接超时不能为:00:00:00");
  return write_vpn_server(c, kFields, syntax);
}

Outcome account(Ctx& c, Syntax syntax) { return write_vpn_account(c, kFields, syntax); }
Outcome client_default_route(Ctx& c, Syntax syntax) { return write_vpn_client_default_route(c, kFields, syntax); }
Outcome routes(Ctx& c, Carrier main_line, Syntax syntax) {
  return write_vpn_client_routes(c, kFields, main_line, syntax);
}

}  // namespace

void build_pptp(Page& page) {
  page.caption = "PPTP服务器及客户端安装设置";
  page.items = {
      group("PPTP服务端安装设置",
            {
                edit({"编辑框_pptp_IP地址池", "pool"}, "IP地址池:", v::range("172.16.254.2-172.16.254.254"),
                     "设置连接此PPTP服务器的客户端IP地址池(此IP地址池建议不要与局域网IP段一致,否则出错)"),
                row({
                    edit({"编辑框_pptp_pptp网关", "gateway"}, "PPTP网关:", v::ipv4("172.16.254.1"),
                         "(即PPTP客户端获取IP时的网关地址)"),
                    edit({"编辑框_pptp_首选DNS", "dns1"}, "首选DNS:", v::ipv4("114.114.114.114")),
                    edit({"编辑框_PPTP_备用DNS", "dns2"}, "备用DNS:", v::ipv4("223.5.5.5")),
                }),
                row({
                    below(edit({"编辑框_pptp_IP地址池名称", "pool-name"}, "IP地址池名称:", v::name("pptp_pool"),
                               "(设置多个PPTP服务时标识不能重复,否则请保持默认)")),
                    below(edit({"编辑框_pptp_模板标识", "profile"},
                               "模板标识:", v::name("pptp_profile").written(Writing::Quoted, Writing::Escaped),
                               "(设置多个PPTP服务时摸板标识不能重复,否则请保持默认)")),
                }),
                row({
                    edit({"编辑框_pptp_上传", "rate-up"}, "PPTP客户端限速 上传:", v::rate("100"), "KByte/s"),
                    edit({"编辑框_pptp_下载", "rate-down"}, "下载:", v::rate("100"), "KByte/s"),
                    check({"选择框_pptp_空闲超时", "use-idle-timeout"}, "空闲超时:", false),
                    edit({"编辑框_pptp_空闲超时", "idle-timeout"}, "", v::time("00:00:00")),
                    check({"选择框_pptp_连接超时", "use-session-timeout"}, "连接超时:", false),
                    edit({"编辑框_pptp_连接超时", "session-timeout"}, "", v::time("00:00:00")),
                }),
                row({
                    check({"选择框_PPTP_使用压缩", "use-compression"}, "使用压缩", true),
                    check({"选择框_PPTP_使用VJ压缩", "use-vj-compression"}, "使用VJ压缩", true),
                    check({"选择框_PPTP_使用加密", "use-encryption"}, "使用加密", true),
                    check({"选择框_PPTP_更改TCPMSS", "change-tcp-mss"}, "更改TCP MSS", false),
                    check({"选择框_PPTP_帐号权限", "only-one"}, "一个帐号只能一个用户登陆", true),
                    note("(如果对这些不熟请保持默认)"),
                }),
                row({
                    button("gen-server", "按钮_pptp_自定义脚本生成2x3x", "生成2.9.X/3.X系列通用脚本",
                           [](Ctx& c) { return server(c, Syntax::Classic); }),
                    button7("gen-server-7x", "生成7.X系列脚本", [](Ctx& c) { return server(c, Syntax::V7); }),
                }),
            }),
      group("添加PPTP帐号(以下脚本2.9.X/3.X系列通用)",
            {
                row({
                    edit({"编辑框_PPTP_模板标识二", "account-profile"},
                         "模板标识(与第二步的模板标识一致):", v::name("pptp_profile")),
                    edit({"编辑框_PPTP_用户名", "user"},
                         "用户名:", v::name("ketrova5").written(Writing::Quoted, Writing::Escaped)),
                    edit({"编辑框_PPTP_密码", "password"}, "密码:", v::password("q7Vn3Kx9Tb2Wm5Rz")),
                }),
                row({
                    check({"选择框_PPTP_绑定MAC", "bind-mac"}, "绑定MAC:", false),
                    edit({"编辑框_PPTP_mac", "mac"}, "", v::mac("00-00-00-00-00"), "(只允许帐号在这个MAC地址上连接)"),
                    button("gen-account", "按钮_pptp_自定义脚本生成", "生成脚本",
                           [](Ctx& c) { return account(c, Syntax::Classic); }),
                    button7("gen-account-7x", "生成7.X脚本", [](Ctx& c) { return account(c, Syntax::V7); }),
                }),
            }),
      group("PPTP客户端安装设置(以下脚本2.9.X/3.X系列通用)",
            {
                row({
                    edit({"编辑框_PPTP_连接标识", "client-name"},
                         "连接标识:", v::iface("ketrova5_pptp_client").written(Writing::Quoted, Writing::Escaped),
                         "(如果非多PPTP连接用户,这里请保持默认)"),
                    edit({"编辑框_PPTP_服务器IP", "server"}, "PPTP服务器器IP:", v::ipv4("198.51.100.10")),
                }),
                row({
                    edit({"编辑框_PPTP_服务器用户名", "server-user"},
                         "用户名:", v::name("KETROVA5").written(Writing::Quoted, Writing::Escaped)),
                    edit({"编辑框_PPTP_服务器密码", "server-password"}, "密码:", v::password("Hd4Ls8Pw6Jc2Yf9E")),
                    edit({"编辑框_PPTP_电信网关", "telecom-gateway"}, "电信网关:", v::ipv4("203.0.113.1"),
                         "(单线用户这里可以不用设置)"),
                }),
                row({
                    edit({"编辑框_PPTP_网通网关", "netcom-gateway"}, "网通网关:", v::ipv4("172.16.254.1"),
                         "(单线用户这里可以不用设置)"),
                    button("client-default-route", "按钮_PPTP_生成作为默认路由脚本", "生成作为默认路由脚本",
                           [](Ctx& c) { return client_default_route(c, Syntax::Classic); }),
                    button7("client-default-route-7x", "生成作为默认路由7.X脚本",
                            [](Ctx& c) { return client_default_route(c, Syntax::V7); }),
                }),
                row({
                    button("routes-telecom-main", "按钮_PPTP_生成作为电信为主", "生成作为电信为主,网通为辅路由表",
                           [](Ctx& c) { return routes(c, Carrier::Telecom, Syntax::Classic); }),
                    button7("routes-telecom-main-7x", "生成作为电信为主,网通为辅7.X路由表",
                            [](Ctx& c) { return routes(c, Carrier::Telecom, Syntax::V7); }),
                }),
                row({
                    button("routes-netcom-main", "按钮_PPTP_生成作为网通为主", "生成作为网通为主,电信为辅路由表",
                           [](Ctx& c) { return routes(c, Carrier::Netcom, Syntax::Classic); }),
                    button7("routes-netcom-main-7x", "生成作为网通为主,电信为辅7.X路由表",
                            [](Ctx& c) { return routes(c, Carrier::Netcom, Syntax::V7); }),
                }),
            }),
  };
}

}  // namespace rosgen
