// Tab 22: L2TP server, L2TP accounts and the router as L2TP client. One
// script per button, the same for 2.9.x and 3.x.
#include "pages/access/vpn_common.h"
#include "pages/builders.h"
#include "script/form.h"

namespace rosgen {
namespace {

// Unlike the PPTP server, timeouts are written as typed, and the rate limit
// puts the download rate first.
Outcome server(Ctx& c) {
  Gbk range = c.trimmed("编辑框_L2TP_IP地址池");
  Gbk pool = c.trimmed("编辑框_L2TP_IP地址池名称");
  Gbk idle = c.checked("选择框_P2TP_空闲超时") ? " idle-timeout="_a + c.trimmed("编辑框_L2TP_空闲超时") : Gbk();
  Gbk session = c.checked("选择框_P2TP_连接超时") ? " session-timeout="_a + c.trimmed("编辑框_L2TP_连接超时") : Gbk();
  Gbk s;
  s += "/ interface l2tp-server server set enabled=yes\r\n"_a;
  s += "/ ip pool add name=\""_a + pool + "\" ranges="_a + range + "\r\n"_a;
  // The pool is the profile's local address and the gateway its remote one.
  s += "/ ppp profile add name=\""_a + c.trimmed("编辑框_L2TP_模板标识") + "\" local-address="_a + pool +
       " remote-address="_a + c.trimmed("编辑框_L2TP_L2TP网关");
  s += " use-compression="_a + c.yes_no("选择框_P2TP_使用压缩");
  s += " use-vj-compression="_a + c.yes_no("选择框_P2TP_使用VJ压缩");
  s += " use-encryption="_a + c.yes_no("选择框_P2TP_使用密码");
  s += " change-tcp-mss="_a + c.yes_no("选择框_P2TP_更改TCPMSS");
  s += " only-one="_a + c.yes_no("选择框_P2TP_帐号权限");
  s += idle + session;
  s += " rate-limit="_a + c.rate("编辑框_L2TP_下载") + "/"_a + c.rate("编辑框_L2TP_上传");
  s += " dns-server="_a + c.trimmed("编辑框_L2TP_道选DNS") + ","_a + c.trimmed("编辑框_L2TP_备用DNS") + "\r\n"_a;
  // The NAT rule ends the script without a line end.
  s += "/ ip firewall nat add chain=srcnat src-address="_a + range + " action=masquerade"_a;
  c.write(std::move(s));
  return Outcome::Done;
}

Outcome account(Ctx& c) {
  std::optional<Gbk> mac = bound_mac(c, "选择框_P2TP_绑定MAC", "编辑框_L2TP_MAC");
  if (!mac) return Outcome::Refused;
  c.write("/ ppp secret add name=\""_a + c.trimmed("编辑框_L2TP_用户名") + "\" password=\""_a +
          c.trimmed("编辑框_L2TP_密码") + "\" service=l2tp"_a + *mac + " profile="_a +
          c.trimmed("编辑框_L2TP_模板标识二"));
  return Outcome::Done;
}

Gbk client_line(const Ctx& c) {
  return "/ interface l2tp-client add name=\""_a + c.trimmed("编辑框_L2TP_连接标识") + "\" connect-to="_a +
         c.trimmed("编辑框_L2TP_服务器IP") + " user=\""_a + c.trimmed("编辑框_L2TP_服务器用户名") + "\" password=\""_a +
         c.trimmed("编辑框_L2TP_服务器密码") + "\" add-default-route=yes disabled=no"_a;
}

Outcome client_default_route(Ctx& c) {
  return write_client_default_route(c, client_line(c), c.trimmed("编辑框_L2TP_服务器IP"));
}

Outcome routes(Ctx& c, Carrier main_line) {
  return write_client_routes(c, client_line(c), main_line, c.trimmed("编辑框_L2TP_电信网关"),
                             c.trimmed("编辑框_L2TP_网通网关"));
}

}  // namespace

void build_l2tp(Page& page) {
  page.caption = "L2TP服务器及客户端安装设置";
  page.items = {
      group("L2TP服务端安装设置",
            {
                edit("编辑框_L2TP_IP地址池", "IP地址池:", "172.16.253.2-172.16.253.254",
                     "设置连接此L2TP服务器的客户端IP地址池(此IP地址池建议不要与局域网IP段一致,否则出错)"),
                edit("编辑框_L2TP_L2TP网关", "L2TP网关:", "172.16.253.1", "(即L2TP客户端获取IP时的网关地址)"),
                edit("编辑框_L2TP_道选DNS", "首选DNS:", "114.114.114.114"),
                edit("编辑框_L2TP_备用DNS", "备用DNS:", "223.5.5.5"),
                edit("编辑框_L2TP_IP地址池名称", "IP地址池名称:", "l2tp_pool",
                     "(设置多个L2TP服务时标识不能重复,否则请保持默认)"),
                edit("编辑框_L2TP_模板标识", "模板标识:", "l2tp_profile",
                     "(设置多个L2TP服务时摸板标识不能重复,否则请保持默认)"),
                row({
                    edit("编辑框_L2TP_上传", "L2TP客户端限速 上传:", "100", "KByte/s"),
                    edit("编辑框_L2TP_下载", "下载:", "100", "KByte/s"),
                }),
                row({
                    check("选择框_P2TP_空闲超时", "空闲超时:", false),
                    edit("编辑框_L2TP_空闲超时", "", "00:00:00"),
                    check("选择框_P2TP_连接超时", "连接超时:", false),
                    edit("编辑框_L2TP_连接超时", "", "00:00:00"),
                }),
                row({
                    check("选择框_P2TP_使用压缩", "使用压缩", true),
                    check("选择框_P2TP_使用VJ压缩", "使用VJ压缩", true),
                    check("选择框_P2TP_使用密码", "使用加密", true),
                    check("选择框_P2TP_更改TCPMSS", "更改TCP MSS", false),
                    check("选择框_P2TP_帐号权限", "一个帐号只能一个用户登陆", true),
                }),
                note("(如果对这些不熟请保持默认)"),
                button("gen-server", "按钮_P2TP_自定义脚本生成2x3X", "生成2.9.X/3.X系列通用脚本", server),
            }),
      group("添加L2TP帐号(以下脚本2.9.X/3.X系列通用)",
            {
                edit("编辑框_L2TP_模板标识二", "模板标识(与第二步的模板标识一致):", "l2tp_profile"),
                edit("编辑框_L2TP_用户名", "用户名:", "KETROVA5"),
                edit("编辑框_L2TP_密码", "密码:", "Zt5Mq2Xr8Gv4Bn7K"),
                row({
                    check("选择框_P2TP_绑定MAC", "绑定MAC:", false),
                    edit("编辑框_L2TP_MAC", "", "00-00-00-00-00", "(只允许帐号在这个MAC地址上连接)"),
                }),
                button("gen-account", "按钮_P2TP_自定义脚本生成", "生成脚本", account),
            }),
      group("L2TP客户端安装设置(以下脚本2.9.X/3.X系列通用)",
            {
                edit("编辑框_L2TP_连接标识", "连接标识:", "ketrova5_l2tp_client",
                     "(如果非多L2TP连接用户,这里请保持默认)"),
                edit("编辑框_L2TP_服务器IP", "L2TP服务器器IP:", "198.51.100.20"),
                edit("编辑框_L2TP_服务器用户名", "用户名:", "KETROVA5"),
                edit("编辑框_L2TP_服务器密码", "密码:", "Wu3Fk9Ce6Sa2Nh8Dp"),
                edit("编辑框_L2TP_电信网关", "电信网关:", "203.0.113.1", "(单线用户这里可以不用设置)"),
                edit("编辑框_L2TP_网通网关", "网通网关:", "172.16.254.1", "(单线用户这里可以不用设置)"),
                row({
                    button("client-default-route", "按钮_P2TP_生成作为默认路由脚本", "生成作为默认路由脚本",
                           client_default_route),
                    button("routes-telecom-main", "按钮_P2TP_生成电信为主", "生成作为电信为主,网通为辅路由表",
                           [](Ctx& c) { return routes(c, Carrier::Telecom); }),
                    button("routes-netcom-main", "按钮_P2TP_生成网通为主", "生成作为网通为主,电信为辅路由表",
                           [](Ctx& c) { return routes(c, Carrier::Netcom); }),
                }),
            }),
  };
}

}  // namespace rosgen
