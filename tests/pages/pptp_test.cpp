// Tab 21: PPTP server, accounts and client.
#include <gtest/gtest.h>

#include "vpn_support.h"

namespace rosgen::test {
namespace {

const VpnPage kPptp = {
    .slug = "pptp",
    .bind = "选择框_PPTP_绑定MAC",
    .mac = "编辑框_PPTP_mac",
    .account_head = "/ ppp secret add name=\"ketrova5\" password=\"q7Vn3Kx9Tb2Wm5Rz\" service=pptp",
    .account_tail = " profile=pptp_profile",
    .server = "编辑框_PPTP_服务器IP",
    .telecom = "编辑框_PPTP_电信网关",
    .netcom = "编辑框_PPTP_网通网关",
    .client_head = "/ interface pptp-client add name=\"ketrova5_pptp_client\" connect-to=",
    .server_default = "198.51.100.10",
    .client_tail = " user=\"KETROVA5\" password=\"Hd4Ls8Pw6Jc2Yf9E\" add-default-route=yes disabled=no",
    .telecom_default = "203.0.113.1",
    .netcom_default = "172.16.254.1",
    .account_button = "按钮_pptp_自定义脚本生成",
    .default_route_button = "按钮_PPTP_生成作为默认路由脚本",
    .telecom_main_button = "按钮_PPTP_生成作为电信为主",
    .netcom_main_button = "按钮_PPTP_生成作为网通为主",
};

const std::string kHead =
    "/ interface pptp-server server set enabled=yes\r\n"
    "/ ip pool add name=\"pptp_pool\" ranges=172.16.254.2-172.16.254.254\r\n"
    "/ ppp profile add name=\"pptp_profile\" local-address=pptp_pool remote-address=172.16.254.1 "
    "use-compression=yes use-vj-compression=yes use-encryption=yes change-tcp-mss=no only-one=yes";
const std::string kDns = " dns-server=114.114.114.114,223.5.5.5\r\n";
const std::string kNat = "/ ip firewall nat add chain=srcnat src-address=172.16.254.2-172.16.254.254 action=masquerade";
const std::string kIdleOn = "选择框_pptp_空闲超时";
const std::string kSessionOn = "选择框_pptp_连接超时";
const std::string kIdle = "编辑框_pptp_空闲超时";
const std::string kSession = "编辑框_pptp_连接超时";

TEST(Pptp, ServerScriptsAndChecks) {
  struct Case {
    const char* name;
    Values values;
    std::vector<std::string> check;
    std::vector<std::string> uncheck;
    std::string output;  // "old" when refused
    std::string message;
  } cases[] = {
      {"defaults", {}, {}, {}, kHead + " rate-limit=800000/800000" + kDns + kNat, ""},
      {"empty rates",
       {{"编辑框_pptp_上传", ""}, {"编辑框_pptp_下载", " "}},
       {},
       {},
       kHead + " rate-limit=0/0" + kDns + kNat,
       ""},
      {"upload first; fractions and full-width digits",
       {{"编辑框_pptp_上传", "12.5"}, {"编辑框_pptp_下载", "２００"}},
       {},
       {},
       kHead + " rate-limit=100000/1600000" + kDns + kNat,
       ""},
      {"both timeouts before the rate limit",
       {{kIdle, " 00:10:00 "}, {kSession, "02:00:00"}},
       {kIdleOn, kSessionOn},
       {},
       kHead + " idle-timeout=00:10:00 session-timeout=02:00:00 rate-limit=800000/800000" + kDns + kNat,
       ""},
      {"session alone",
       {{kSession, "1d"}},
       {kSessionOn},
       {},
       kHead + " session-timeout=1d rate-limit=800000/800000" + kDns + kNat,
       ""},
      {"timeout texts unused when off",
       {{kIdle, ""}, {kSession, "00:00:00"}},
       {},
       {},
       kHead + " rate-limit=800000/800000" + kDns + kNat,
       ""},
      {"only the exact zero time is refused",
       {{kIdle, "0:00:00"}, {kSession, "\t00:00:00"}},
       {kIdleOn, kSessionOn},
       {},
       kHead + " idle-timeout=0:00:00 session-timeout=\t00:00:00 rate-limit=800000/800000" + kDns + kNat,
       ""},
      {"fields trimmed, option boxes flipped",
       {{"编辑框_pptp_IP地址池", " 10.1.1.2-10.1.1.9　"},
        {"编辑框_pptp_IP地址池名称", " p "},
        {"编辑框_pptp_模板标识", "f"},
        {"编辑框_pptp_pptp网关", "10.1.1.1 "},
        {"编辑框_pptp_首选DNS", ""},
        {"编辑框_PPTP_备用DNS", " 8.8.8.8"}},
       {"选择框_PPTP_更改TCPMSS"},
       {"选择框_PPTP_使用压缩", "选择框_PPTP_使用VJ压缩", "选择框_PPTP_使用加密", "选择框_PPTP_帐号权限"},
       "/ interface pptp-server server set enabled=yes\r\n"
       "/ ip pool add name=\"p\" ranges=10.1.1.2-10.1.1.9\r\n"
       "/ ppp profile add name=\"f\" local-address=p remote-address=10.1.1.1 use-compression=no "
       "use-vj-compression=no use-encryption=no change-tcp-mss=yes only-one=no rate-limit=800000/800000 "
       "dns-server=,8.8.8.8\r\n"
       "/ ip firewall nat add chain=srcnat src-address=10.1.1.2-10.1.1.9 action=masquerade",
       ""},
      {"idle on, default text", {}, {kIdleOn}, {}, "old", "空闲超时不能为：00:00:00!"},
      {"idle on, zero time inside blanks",
       {{kIdle, "  00:00:00　"}},
       {kIdleOn},
       {},
       "old",
       "空闲超时不能为：00:00:00!"},
      {"idle on, empty", {{kIdle, ""}}, {kIdleOn}, {}, "old", "空闲超时不能为空!"},
      {"idle on, blanks only", {{kIdle, "   "}}, {kIdleOn}, {}, "old", "空闲超时不能为空!"},
      {"session on, empty", {{kSession, "　"}}, {kSessionOn}, {}, "old", "连接超时不能为空!"},
      {"session on, zero time", {}, {kSessionOn}, {}, "old", "连接超时不能为:00:00:00"},
      {"idle is checked before session",
       {{kSession, ""}},
       {kIdleOn, kSessionOn},
       {},
       "old",
       "空闲超时不能为：00:00:00!"},
      {"good idle, bad session", {{kIdle, "00:05:00"}}, {kIdleOn, kSessionOn}, {}, "old", "连接超时不能为:00:00:00"},
  };
  for (const auto& c : cases) {
    for (const char* button : {"gen-server", "按钮_pptp_自定义脚本生成2x3x"}) {
      Session s("pptp");
      s.set_output("old");
      Press p = make_press(button, c.values, c.check);
      p.uncheck = c.uncheck;
      EXPECT_EQ(s.press(p), c.message.empty() ? Outcome::Done : Outcome::Refused) << c.name;
      EXPECT_EQ(s.output(), c.output) << c.name;
      std::vector<Shown> shown;
      if (!c.message.empty()) shown.push_back({kInfo, c.message});
      EXPECT_EQ(s.env.messages, shown) << c.name;
    }
  }
}

TEST(Pptp, Accounts) { expect_accounts(kPptp); }

TEST(Pptp, ClientAsDefaultRoute) { expect_client_as_default_route(kPptp); }

TEST(Pptp, ClientWithCarrierRoutes) { expect_client_routes(kPptp); }

TEST(Pptp, EachPressReplacesTheOutput) {
  expect_each_press_replaces(kPptp, "/ interface pptp-server server set enabled=yes\r\n");
}

TEST(Pptp, HostileValues) { expect_survives_hostile_values("pptp"); }

}  // namespace
}  // namespace rosgen::test
