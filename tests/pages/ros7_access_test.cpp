// RouterOS 7 buttons of the access pages: PPTP, L2TP, PPPoE server and PPPoE
// accounts.
#include <gtest/gtest.h>

#include "pages/ros7.h"
#include "pages/wan/carrier_routes.h"
#include "script/text.h"
#include "support.h"

namespace rosgen::test {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;
using Ids = std::vector<std::string>;

const std::string kPppoeServer =
    "/ip pool add name=PPPoE_Pool ranges=10.10.10.2-10.10.10.254\r\n"
    "/ppp profile add name=PPPoE_Profile local-address=10.10.10.1 remote-address=PPPoE_Pool use-compression=yes "
    "use-encryption=yes change-tcp-mss=no only-one=yes";
const std::string kPptpServer =
    "/interface pptp-server server set enabled=yes\r\n"
    "/ip pool add name=pptp_pool ranges=172.16.254.2-172.16.254.254\r\n"
    "/ppp profile add name=pptp_profile local-address=pptp_pool remote-address=172.16.254.1 use-compression=yes "
    "use-encryption=yes change-tcp-mss=no only-one=yes";
const std::string kPptpNat =
    " dns-server=114.114.114.114,223.5.5.5\r\n"
    "/ip firewall nat add chain=srcnat src-address=172.16.254.2-172.16.254.254 action=masquerade";
const std::string kL2tpServer =
    "/interface l2tp-server server set enabled=yes\r\n"
    "/ip pool add name=l2tp_pool ranges=172.16.253.2-172.16.253.254\r\n"
    "/ppp profile add name=l2tp_profile local-address=l2tp_pool remote-address=172.16.253.1 use-compression=yes "
    "use-encryption=yes change-tcp-mss=no only-one=yes";
const std::string kL2tpNat =
    " dns-server=114.114.114.114,223.5.5.5\r\n"
    "/ip firewall nat add chain=srcnat src-address=172.16.253.2-172.16.253.254 action=masquerade";
const std::string kPptpClient =
    "/interface pptp-client add name=ketrova5_pptp_client connect-to=198.51.100.10 user=KETROVA5 "
    "password=Hd4Ls8Pw6Jc2Yf9E add-default-route=yes disabled=no";
const std::string kL2tpClientHead = "/interface l2tp-client add name=ketrova5_l2tp_client connect-to=198.51.100.20 ";

std::string default_route_note(const std::string& server) {
  return "如果你设置过默认路由规则\r\n请修改为" + server + "走原来默认路由！";
}

TEST(Ros7Access, Scripts) {
  struct Case {
    const char* name;
    std::string slug;
    std::string button;
    Values values;
    Ids check;
    std::string expected;
    std::vector<Shown> messages;
  } cases[] = {
      {"pppoe server, defaults",
       "pppoe-server",
       "gen-7x",
       {},
       {},
       kPppoeServer + " dns-server=114.114.114.114,114.114.114.114\r\n" +
           "/interface pppoe-server server add service-name=PPPoE_Server interface=ether1 "
           "default-profile=PPPoE_Profile one-session-per-host=yes disabled=no",
       {}},
      // An empty timeout sets nothing; a name with a blank stays one value.
      {"pppoe server, options and odd values",
       "pppoe-server",
       "gen-7x",
       {{"编辑框_pppoe_服务名称", " my server "},
        {"编辑框_pppoe_空闲超时", " "},
        {"编辑框_pppoe_连接超时", "02:00:00"},
        {"编辑框_pppoe_下载", "200"},
        {"编辑框_pppoe_首选DNS", ""}},
       {"选择框_pppoe_空闲超时", "选择框_pppoe_连接超时", "选择框_pppoe_客户端限速"},
       kPppoeServer + " session-timeout=02:00:00 rate-limit=800000/1600000 dns-server=114.114.114.114\r\n" +
           "/interface pppoe-server server add service-name=\"my server\" interface=ether1 "
           "default-profile=PPPoE_Profile one-session-per-host=yes disabled=no",
       {}},
      {"pptp server, defaults",
       "pptp",
       "gen-server-7x",
       {},
       {},
       kPptpServer + " rate-limit=800000/800000" + kPptpNat,
       {}},
      {"pptp server, timeouts, empty upload",
       "pptp",
       "gen-server-7x",
       {{"编辑框_pptp_空闲超时", "00:10:00"}, {"编辑框_pptp_连接超时", "1d"}, {"编辑框_pptp_上传", ""}},
       {"选择框_pptp_空闲超时", "选择框_pptp_连接超时"},
       kPptpServer + " idle-timeout=00:10:00 session-timeout=1d rate-limit=0/800000" + kPptpNat,
       {}},
      // The page writes its timeouts unchecked; the download rate stands first, as in 3.x.
      {"l2tp server, empty idle timeout, download first",
       "l2tp",
       "gen-server-7x",
       {{"编辑框_L2TP_空闲超时", ""}, {"编辑框_L2TP_下载", "200"}},
       {"选择框_P2TP_空闲超时"},
       kL2tpServer + " rate-limit=1600000/800000" + kL2tpNat,
       {}},
      {"pptp account, defaults",
       "pptp",
       "gen-account-7x",
       {},
       {},
       "/ppp secret add name=ketrova5 password=q7Vn3Kx9Tb2Wm5Rz service=pptp profile=pptp_profile",
       {}},
      {"l2tp account, bound MAC in colon form",
       "l2tp",
       "gen-account-7x",
       {{"编辑框_L2TP_MAC", " 00-0c-29-ab-cd-ef "}},
       {"选择框_P2TP_绑定MAC"},
       "/ppp secret add name=KETROVA5 password=Zt5Mq2Xr8Gv4Bn7K service=l2tp caller-id=00:0C:29:AB:CD:EF "
       "profile=l2tp_profile",
       {}},
      {"pptp client as default route",
       "pptp",
       "client-default-route-7x",
       {},
       {},
       kPptpClient,
       {{"信息：", default_route_note("198.51.100.10")}}},
      {"l2tp client, password that needs quoting",
       "l2tp",
       "client-default-route-7x",
       {{"编辑框_L2TP_服务器密码", "p$ss \"w\""}},
       {},
       kL2tpClientHead + "user=KETROVA5 password=\"p\\$ss \\\"w\\\"\" add-default-route=yes disabled=no",
       {{"信息：", default_route_note("198.51.100.20")}}},
      {"pppoe account, defaults",
       "pppoe-accounts",
       "single-7x",
       {},
       {},
       "/ppp secret add name=KETROVA5 password=pass12345678 service=pppoe profile=PPPoE_Profile",
       {}},
      // Blanks get past the MAC check and bind nothing; a Chinese name is quoted.
      {"pppoe account, blank MAC and Chinese name",
       "pppoe-accounts",
       "single-7x",
       {{"编辑框_添加PPPOE帐号_MAC", "  "}, {"编辑框_添加PPPOE帐号_用户名", "网吧1"}},
       {"选择框_添加PPPOE帐号_绑定MAC"},
       "/ppp secret add name=\"网吧1\" password=pass12345678 service=pppoe profile=PPPoE_Profile",
       {}},
  };
  for (const auto& c : cases) {
    Session s(c.slug);
    s.set_output("old");
    EXPECT_EQ(s.press(c.button, c.values, c.check), Outcome::Done) << c.name;
    EXPECT_EQ(s.output(), c.expected) << c.name;
    EXPECT_EQ(s.env.messages, c.messages) << c.name;
  }
}

// The checks of the other dialect run first, with the same messages.
TEST(Ros7Access, RefusesAsTheOtherDialect) {
  struct Case {
    std::string slug;
    std::string classic;
    std::string v7;
    Values values;
    Ids check;
  } cases[] = {
      {"pptp", "gen-server", "gen-server-7x", {{"编辑框_pptp_空闲超时", " "}}, {"选择框_pptp_空闲超时"}},
      {"pptp", "gen-server", "gen-server-7x", {{"编辑框_pptp_空闲超时", " 00:00:00 "}}, {"选择框_pptp_空闲超时"}},
      {"pptp", "gen-server", "gen-server-7x", {{"编辑框_pptp_连接超时", ""}}, {"选择框_pptp_连接超时"}},
      {"pptp", "gen-server", "gen-server-7x", {}, {"选择框_pptp_连接超时"}},
      {"pptp", "gen-account", "gen-account-7x", {{"编辑框_PPTP_mac", ""}}, {"选择框_PPTP_绑定MAC"}},
      {"l2tp", "gen-account", "gen-account-7x", {}, {"选择框_P2TP_绑定MAC"}},
      {"pppoe-accounts",
       "single-3x",
       "single-7x",
       {{"编辑框_添加PPPOE帐号_MAC", ""}},
       {"选择框_添加PPPOE帐号_绑定MAC"}},
      {"pppoe-accounts", "single-3x", "single-7x", {}, {"选择框_添加PPPOE帐号_绑定MAC"}},
      {"pppoe-accounts", "batch-3x", "batch-7x", {{"编辑框_添加PPPOE帐号_每次生成", "100000000"}}, {}},
  };
  for (const auto& c : cases) {
    std::vector<Shown> shown;
    for (const std::string& button : {c.classic, c.v7}) {
      Session s(c.slug);
      s.set_output("old");
      EXPECT_EQ(s.press(button, c.values, c.check), Outcome::Refused) << button;
      EXPECT_EQ(s.output(), "old") << button;
      EXPECT_TRUE(s.env.files.empty()) << button;
      ASSERT_EQ(s.env.messages.size(), 1u) << button;
      if (shown.empty()) shown = s.env.messages;
      EXPECT_EQ(s.env.messages, shown) << button;
    }
  }
}

// Client line, one route per network of the other carrier through its gateway,
// and the backup default route through the main one; one command per line.
TEST(Ros7Access, RouteTables) {
  struct Case {
    std::string slug;
    std::string button;
    Values values;
    std::string client;
    Carrier table;
    std::string first_network;
    std::string gateway;  // of the table, as written
    std::string backup;   // of the default route, as written
  } cases[] = {
      {"pptp",
       "routes-telecom-main-7x",
       {},
       kPptpClient,
       Carrier::Netcom,
       "59.80.0.0/14",
       "172.16.254.1",
       "203.0.113.1"},
      {"pptp",
       "routes-netcom-main-7x",
       {{"编辑框_PPTP_电信网关", " 10.9.8.7 "}, {"编辑框_PPTP_网通网关", ""}},
       kPptpClient,
       Carrier::Telecom,
       "58.14.0.0/15",
       "10.9.8.7",
       "\"\""},
      {"l2tp",
       "routes-telecom-main-7x",
       {{"编辑框_L2TP_网通网关", "pppoe out"}},
       kL2tpClientHead + "user=KETROVA5 password=Wu3Fk9Ce6Sa2Nh8Dp add-default-route=yes disabled=no",
       Carrier::Netcom,
       "59.80.0.0/14",
       "\"pppoe out\"",
       "203.0.113.1"},
  };
  for (const auto& c : cases) {
    Session s(c.slug);
    EXPECT_EQ(s.press(c.button, c.values), Outcome::Done) << c.button;
    EXPECT_TRUE(s.env.messages.empty()) << c.button;
    const std::vector<Gbk> lines = split(s.form->output(), "\r\n"_a);
    ASSERT_EQ(lines.size(), route_count(c.table) + 2) << c.button;
    EXPECT_EQ(to_utf8(lines.front()), c.client);
    EXPECT_EQ(to_utf8(lines[1]), "/ip route add dst-address=" + c.first_network + " gateway=" + c.gateway +
                                     " check-gateway=ping distance=1");
    const std::string tail = " gateway=" + c.gateway + " check-gateway=ping distance=1";
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
      const std::string line = to_utf8(lines[i]);
      EXPECT_TRUE(line.starts_with("/ip route add dst-address=") && line.ends_with(tail)) << line;
    }
    EXPECT_EQ(to_utf8(lines.back()),
              "/ip route add dst-address=0.0.0.0/0 gateway=" + c.backup + " check-gateway=ping distance=2");
    EXPECT_FALSE(s.output().ends_with("\r\n"));
  }
}

// The 7.x batch draws the same accounts as the 3.x one, shows the same
// message, ticks the same boxes and logs the same entry; only the script
// differs, in syntax.
TEST(Ros7Access, BatchSameAccountsAsClassic) {
  struct Case {
    const char* name;
    Values values;
    Ids check;
    Ids uncheck;
  } cases[] = {
      {"defaults", {}, {}, {}},
      {"prefix with a blank, password like the account",
       {{"编辑框_添加PPPOE帐号_帐号前秦", "net bar "}, {"编辑框_添加PPPOE帐号_每次生成", "3"}},
       {"选择框_添加PPPOE帐号_密码帐号一致"},
       {}},
      {"every list off: adjusted",
       {{"编辑框_添加PPPOE帐号_每次生成", "4"}},
       {},
       {"选择框_添加PPPOE帐号_数字", "选择框_添加PPPOE帐号_英文", "选择框_添加PPPOE密码_数字一",
        "选择框_添加PPPOE密码_英文一", "选择框_添加PPPOE帐号_帐号后缀"}},
  };
  const std::string log = "/opt/rosgen/log/log.TXT";
  for (const auto& c : cases) {
    Session classic("pppoe-accounts");
    Session v7("pppoe-accounts");
    classic.env.randoms = v7.env.randoms = {7, 31, 2, 19, 23, 5, 11, 29};
    ASSERT_EQ(classic.press("batch-3x", c.values, c.check, c.uncheck), Outcome::Done) << c.name;
    ASSERT_EQ(v7.press("batch-7x", c.values, c.check, c.uncheck), Outcome::Done) << c.name;
    EXPECT_EQ(v7.env.messages, classic.env.messages) << c.name;
    EXPECT_EQ(v7.env.files, classic.env.files) << c.name;
    EXPECT_EQ(v7.env.files[log], classic.form->output().bytes()) << c.name;
    EXPECT_EQ(v7.env.random_at, classic.env.random_at) << c.name;
    for (const char* box : {"选择框_添加PPPOE帐号_数字", "选择框_添加PPPOE帐号_英文", "选择框_添加PPPOE密码_数字一",
                            "选择框_添加PPPOE密码_英文一"}) {
      EXPECT_EQ(v7.form->checked(box), classic.form->checked(box)) << c.name << " " << box;
    }
    // Each classic line, rewritten: the same name and password.
    std::vector<Gbk> want;
    for (const Gbk& line : split(classic.form->output(), "\r\n"_a)) {
      const std::string& b = line.bytes();
      const size_t name_at = b.find("name=\"") + 6;
      const size_t password_at = b.find("\" password=\"");
      const size_t service_at = b.find("\" service=");
      ASSERT_NE(password_at, std::string::npos) << b;
      const Gbk name = Gbk::from_bytes(b.substr(name_at, password_at - name_at));
      const Gbk password = Gbk::from_bytes(b.substr(password_at + 12, service_at - password_at - 12));
      want.push_back("/ppp secret add name="_a + word7(name) + " password="_a + word7(password) +
                     " service=pppoe profile=PPPoE_Profile"_a);
    }
    EXPECT_EQ(split(v7.form->output(), "\r\n"_a), want) << c.name;
    EXPECT_TRUE(v7.output().ends_with("\r\n")) << c.name;
  }
}

}  // namespace
}  // namespace rosgen::test
