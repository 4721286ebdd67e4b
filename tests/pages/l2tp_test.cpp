// Tab 22: L2TP server, accounts and client.
#include <gtest/gtest.h>

#include "vpn_support.h"

namespace rosgen::test {
namespace {

const VpnPage kL2tp = {
    .slug = "l2tp",
    .bind = "选择框_P2TP_绑定MAC",
    .mac = "编辑框_L2TP_MAC",
    .account_head = "/ ppp secret add name=\"KETROVA5\" password=\"Zt5Mq2Xr8Gv4Bn7K\" service=l2tp",
    .account_tail = " profile=l2tp_profile",
    .server = "编辑框_L2TP_服务器IP",
    .telecom = "编辑框_L2TP_电信网关",
    .netcom = "编辑框_L2TP_网通网关",
    .client_head = "/ interface l2tp-client add name=\"ketrova5_l2tp_client\" connect-to=",
    .server_default = "198.51.100.20",
    .client_tail = " user=\"KETROVA5\" password=\"Wu3Fk9Ce6Sa2Nh8Dp\" add-default-route=yes disabled=no",
    .telecom_default = "203.0.113.1",
    .netcom_default = "172.16.254.1",
    .account_button = "按钮_P2TP_自定义脚本生成",
    .default_route_button = "按钮_P2TP_生成作为默认路由脚本",
    .telecom_main_button = "按钮_P2TP_生成电信为主",
    .netcom_main_button = "按钮_P2TP_生成网通为主",
};

const std::string kHead =
    "/ interface l2tp-server server set enabled=yes\r\n"
    "/ ip pool add name=\"l2tp_pool\" ranges=172.16.253.2-172.16.253.254\r\n"
    "/ ppp profile add name=\"l2tp_profile\" local-address=l2tp_pool remote-address=172.16.253.1 "
    "use-compression=yes use-vj-compression=yes use-encryption=yes change-tcp-mss=no only-one=yes";
const std::string kDns = " dns-server=114.114.114.114,223.5.5.5\r\n";
const std::string kNat = "/ ip firewall nat add chain=srcnat src-address=172.16.253.2-172.16.253.254 action=masquerade";
const std::string kIdleOn = "选择框_P2TP_空闲超时";
const std::string kSessionOn = "选择框_P2TP_连接超时";
const std::string kIdle = "编辑框_L2TP_空闲超时";
const std::string kSession = "编辑框_L2TP_连接超时";

// The server checks nothing: every case writes.
TEST(L2tp, ServerScripts) {
  struct Case {
    const char* name;
    Values values;
    std::vector<std::string> check;
    std::vector<std::string> uncheck;
    std::string output;
  } cases[] = {
      {"defaults", {}, {}, {}, kHead + " rate-limit=800000/800000" + kDns + kNat},
      {"download first",
       {{"编辑框_L2TP_上传", "100"}, {"编辑框_L2TP_下载", "200"}},
       {},
       {},
       kHead + " rate-limit=1600000/800000" + kDns + kNat},
      {"rates that are no number",
       {{"编辑框_L2TP_上传", "abc"}, {"编辑框_L2TP_下载", ""}},
       {},
       {},
       kHead + " rate-limit=0/0" + kDns + kNat},
      {"idle on and empty is written",
       {{kIdle, " "}},
       {kIdleOn},
       {},
       kHead + " idle-timeout= rate-limit=800000/800000" + kDns + kNat},
      {"zero times are written",
       {},
       {kIdleOn, kSessionOn},
       {},
       kHead + " idle-timeout=00:00:00 session-timeout=00:00:00 rate-limit=800000/800000" + kDns + kNat},
      {"session alone",
       {{kSession, " 02:00:00 "}, {kIdle, ""}},
       {kSessionOn},
       {},
       kHead + " session-timeout=02:00:00 rate-limit=800000/800000" + kDns + kNat},
      {"fields trimmed, option boxes flipped",
       {{"编辑框_L2TP_IP地址池", " 10.1.1.2-10.1.1.9　"},
        {"编辑框_L2TP_IP地址池名称", " p "},
        {"编辑框_L2TP_模板标识", "f"},
        {"编辑框_L2TP_L2TP网关", "10.1.1.1 "},
        {"编辑框_L2TP_道选DNS", "8.8.4.4"},
        {"编辑框_L2TP_备用DNS", ""},
        {"编辑框_L2TP_上传", "12.5"},
        {"编辑框_L2TP_下载", "１"}},
       {"选择框_P2TP_更改TCPMSS"},
       {"选择框_P2TP_使用压缩", "选择框_P2TP_使用VJ压缩", "选择框_P2TP_使用密码", "选择框_P2TP_帐号权限"},
       "/ interface l2tp-server server set enabled=yes\r\n"
       "/ ip pool add name=\"p\" ranges=10.1.1.2-10.1.1.9\r\n"
       "/ ppp profile add name=\"f\" local-address=p remote-address=10.1.1.1 use-compression=no "
       "use-vj-compression=no use-encryption=no change-tcp-mss=yes only-one=no rate-limit=8000/100000 "
       "dns-server=8.8.4.4,\r\n"
       "/ ip firewall nat add chain=srcnat src-address=10.1.1.2-10.1.1.9 action=masquerade"},
  };
  for (const auto& c : cases) {
    for (const char* button : {"gen-server", "按钮_P2TP_自定义脚本生成2x3X"}) {
      Session s("l2tp");
      s.set_output("old");
      Press p = make_press(button, c.values, c.check);
      p.uncheck = c.uncheck;
      EXPECT_EQ(s.press(p), Outcome::Done) << c.name;
      EXPECT_EQ(s.output(), c.output) << c.name;
      EXPECT_TRUE(s.env.messages.empty()) << c.name;
    }
  }
}

TEST(L2tp, Accounts) { expect_accounts(kL2tp); }

TEST(L2tp, ClientAsDefaultRoute) { expect_client_as_default_route(kL2tp); }

TEST(L2tp, ClientWithCarrierRoutes) { expect_client_routes(kL2tp); }

TEST(L2tp, EachPressReplacesTheOutput) {
  expect_each_press_replaces(kL2tp, "/ interface l2tp-server server set enabled=yes\r\n");
}

// The PPTP page's fields are its own: changing them leaves the L2TP scripts alone.
TEST(L2tp, ReadsNothingFromThePptpPage) {
  Session pptp("pptp");
  Session l2tp("l2tp");
  for (const char* button : {"routes-telecom-main", "routes-netcom-main", "client-default-route"}) {
    l2tp.press(button);
    const Gbk before = l2tp.form->output();
    pptp.press(button, {{"编辑框_PPTP_电信网关", "10.0.0.1"},
                        {"编辑框_PPTP_网通网关", "10.0.0.2"},
                        {"编辑框_PPTP_服务器IP", "10.0.0.3"}});
    l2tp.press(button);
    EXPECT_EQ(l2tp.form->output(), before) << button;
    EXPECT_NE(pptp.form->output(), before) << button;
  }
}

TEST(L2tp, HostileValues) { expect_survives_hostile_values("l2tp"); }

}  // namespace
}  // namespace rosgen::test
