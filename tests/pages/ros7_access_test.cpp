// RouterOS 7 buttons of the access pages: PPTP, L2TP, PPPoE server, PPPoE
// accounts and DDNS.
#include <gtest/gtest.h>

#include "pages/ros7.h"
#include "routeros/checker.h"
#include "routeros/model.h"
#include "pages/wan/carrier_routes.h"
#include "script/text.h"
#include "support.h"

namespace rosgen::test {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;
using Ids = std::vector<std::string>;

const std::string kBeforeDrop = " place-before=[find comment=\"defconf: drop all not coming from LAN\"]";

// Each fragment must stand in `text` after the one before it.
testing::AssertionResult in_order(const std::string& text, const std::vector<std::string>& fragments) {
  size_t at = 0;
  for (const std::string& f : fragments) {
    const size_t found = text.find(f, at);
    if (found == std::string::npos) return testing::AssertionFailure() << "missing, or out of order: " << f;
    at = found + f.size();
  }
  return testing::AssertionSuccess();
}

// What each script must do on a router with the default configuration, one row
// per outcome: fragments that stand in it in this order, and ones that must not.
TEST(Ros7Access, Outcomes) {
  struct Case {
    const char* outcome;
    std::string slug;
    std::string button;
    Values values;
    Ids check;
    std::vector<std::string> present;
    std::vector<std::string> absent;
  } cases[] = {
      {"pptp: the gateway is the router's end of the tunnel, the pool hands out the clients' addresses",
       "pptp",
       "gen-server-7x",
       {},
       {},
       {"/ppp profile add name=pptp_profile local-address=172.16.254.1 remote-address=pptp_pool "},
       {"local-address=pptp_pool"}},
      {"l2tp: likewise",
       "l2tp",
       "gen-server-7x",
       {},
       {},
       {"/ppp profile add name=l2tp_profile local-address=172.16.253.1 remote-address=l2tp_pool "},
       {"local-address=l2tp_pool"}},
      {"pppoe: likewise, and the clients count as LAN for the default firewall",
       "pppoe-server",
       "gen-7x",
       {},
       {},
       {"local-address=10.10.10.1 remote-address=PPPoE_Pool ", " interface-list=LAN "},
       {}},
      {"pptp: rate-limit is rx/tx of the router, the client's upload first",
       "pptp",
       "gen-server-7x",
       {{"编辑框_pptp_上传", "100"}, {"编辑框_pptp_下载", "200"}},
       {},
       {" rate-limit=800000/1600000", " interface-list=LAN "},
       {}},
      {"l2tp: the same order as pptp",
       "l2tp",
       "gen-server-7x",
       {{"编辑框_L2TP_上传", "100"}, {"编辑框_L2TP_下载", "200"}},
       {},
       {" rate-limit=800000/1600000", " interface-list=LAN "},
       {}},
      {"pptp: its port and GRE accepted before the default drop of the input chain",
       "pptp",
       "gen-server-7x",
       {},
       {},
       {"/ip firewall filter add chain=input action=accept protocol=tcp dst-port=1723 ", kBeforeDrop,
        "/ip firewall filter add chain=input action=accept protocol=gre ", kBeforeDrop},
       {}},
      {"l2tp: IPsec required, IKE, NAT-T, L2TP and ESP accepted before the default drop",
       "l2tp",
       "gen-server-7x",
       {},
       {},
       {"/interface l2tp-server server set enabled=yes use-ipsec=required ipsec-secret=Vq8Lc3Ws6Hn2Ty5R\r\n",
        "/ip firewall filter add chain=input action=accept protocol=udp dst-port=500,1701,4500 ", kBeforeDrop,
        "/ip firewall filter add chain=input action=accept protocol=ipsec-esp ", kBeforeDrop},
       {}},
      {"l2tp: any secret stays one value",
       "l2tp",
       "gen-server-7x",
       {{"编辑框_L2TP_IPsec密钥", " a b\"$c "}},
       {},
       {" ipsec-secret=\"a b\\\"\\$c\"\r\n"},
       {}},
      {"pptp: a MAC cannot bind the account (its caller id is an address): said so, not written",
       "pptp",
       "gen-account-7x",
       {{"编辑框_PPTP_mac", "00-0C-29-AB-CD-EF"}},
       {"选择框_PPTP_绑定MAC"},
       {"# pptp sees the caller's IP address, not its MAC", "\r\n/ppp secret add name=\"ketrova5\" "},
       {"caller-id"}},
      {"l2tp: an address typed into the box binds the account to it",
       "l2tp",
       "gen-account-7x",
       {{"编辑框_L2TP_MAC", " 203.0.113.9 "}},
       {"选择框_P2TP_绑定MAC"},
       {"/ppp secret add name=\"KETROVA5\" password=\"Zt5Mq2Xr8Gv4Bn7K\" service=l2tp caller-id=\"203.0.113.9\" "
        "profile=\"l2tp_profile\"\r\n"},
       {"#"}},
      {"pppoe account: the MAC in the colon form the router compares",
       "pppoe-accounts",
       "single-7x",
       {{"编辑框_添加PPPOE帐号_MAC", "00-0c-29-ab-cd-ef"}, {"编辑框_添加PPPOE帐号_用户名", "网吧 1"}},
       {"选择框_添加PPPOE帐号_绑定MAC"},
       {"/ppp secret add name=\"网吧 1\" password=\"pass12345678\" service=pppoe caller-id=\"00:0C:29:AB:CD:EF\" "
        "profile=\"PPPoE_Profile\"\r\n"},
       {}},
      {"pppoe account: an empty profile leaves the server's default, not a profile named \"\"",
       "pppoe-accounts",
       "single-7x",
       {{"编辑框_添加PPPOE帐号_模板标识", " "}},
       {},
       {"service=pppoe"},
       {"profile="}},
      {"pppoe account before its server: said so, nothing added, the script goes on",
       "pppoe-accounts",
       "single-7x",
       {},
       {},
       {":if ([:len [/ppp profile find name=\"PPPoE_Profile\"]] = 0) do={:put \"没有PPP模板PPPoE_Profile",
        "} else={\r\n/ppp secret remove [find name=\"KETROVA5\"]\r\n/ppp secret add name=\"KETROVA5\" ", "\r\n}\r\n"},
       {}},
      {"pppoe server on an interface the router lacks: said so, the script goes on",
       "pppoe-server",
       "gen-7x",
       {{"编辑框_pppoe_拔号网卡", "ether9"}},
       {},
       {":if ([:len [/interface find name=ether9]] = 0) do={:put \"没有接口ether9，PPPoE服务器未建立\"} else={\r\n",
        "/interface pppoe-server server add ", "\r\n}\r\n"},
       {}},
      {"pppoe server: its port leaves the bridge, where the server would never see a frame",
       "pppoe-server",
       "gen-7x",
       {{"编辑框_pppoe_拔号网卡", "ether3"}},
       {},
       {"/interface pppoe-server server add service-name=PPPoE_Server interface=ether3 "
        "default-profile=PPPoE_Profile ",
        "/interface bridge port remove [find interface=ether3]\r\n"},
       {}},
      {"client as default route: the LAN by the tunnel's own table, the router's default route kept",
       "pptp",
       "client-default-route-7x",
       {},
       {},
       {"/interface pptp-client add name=ketrova5_pptp_client connect-to=198.51.100.10 user=KETROVA5 "
        "password=Hd4Ls8Pw6Jc2Yf9E add-default-route=no disabled=no} else={",
        "/interface list member add list=WAN interface=ketrova5_pptp_client\r\n",
        "/routing table add name=ketrova5_pptp_client fib}\r\n",
        "/ip route add dst-address=0.0.0.0/0 gateway=ketrova5_pptp_client routing-table=ketrova5_pptp_client\r\n",
        "in-interface-list=LAN dst-address-type=!local connection-mark=no-mark action=mark-connection",
        "action=mark-routing new-routing-mark=ketrova5_pptp_client ",
        "/ip firewall filter set [find comment=\"defconf: fasttrack\"] connection-mark=no-mark\r\n"},
       {"add-default-route=yes"}},
      {"client with route tables: the tunnel adds no default route to beat the main line's",
       "l2tp",
       "routes-telecom-main-7x",
       {},
       {},
       {"add-default-route=no", "/interface list member add list=WAN interface=ketrova5_l2tp_client"},
       {"add-default-route=yes"}},
      {"ddns: an HTTP(S) update to the provider, the host name percent-encoded into the query",
       "ddns",
       "gen-7x",
       {{"编辑框_DDNS_绑定域名", "a b&c.example"}, {"编辑框_DDNS_更新地址", "https://dyn.example/nic/update?x=1"}},
       {},
       {"/system script add name=ddns ", "https://dyn.example/nic/update?x=1&hostname=a%20b%26c.example&myip=",
        "/tool fetch url=(\\$ddnsupdate . \\$ddnsip) user=\\$ddnsuser password=\\$ddnspass",
        "/system scheduler add name=ddns "},
       {"dns-update"}},
  };
  for (const auto& c : cases) {
    Session s(c.slug);
    EXPECT_EQ(s.press(c.button, c.values, c.check), Outcome::Done) << c.outcome;
    const std::string out = s.output();
    EXPECT_TRUE(in_order(out, c.present)) << c.outcome << "\n" << out;
    for (const std::string& f : c.absent) EXPECT_EQ(out.find(f), std::string::npos) << c.outcome << ": " << f;
    EXPECT_TRUE(s.env.messages.empty()) << c.outcome;
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

// The client, the other carrier's table through that carrier's gateway, and
// the backup default route through the main line's gateway; an empty gateway
// (single-line users leave them) routes nothing.
TEST(Ros7Access, RouteTables) {
  struct Case {
    std::string slug;
    std::string button;
    Values values;
    std::string client;  // the client's interface
    Carrier table;
    std::string gateway;  // of the table, as typed
    std::string backup;   // of the default route, as typed
  } cases[] = {
      {"pptp", "routes-telecom-main-7x", {}, "ketrova5_pptp_client", Carrier::Netcom, "172.16.254.1", "203.0.113.1"},
      {"pptp",
       "routes-netcom-main-7x",
       {{"编辑框_PPTP_电信网关", " 10.9.8.7 "}, {"编辑框_PPTP_网通网关", ""}, {"编辑框_PPTP_连接标识", ""}},
       "pptp-out1",
       Carrier::Telecom,
       "10.9.8.7",
       ""},
      {"l2tp",
       "routes-telecom-main-7x",
       {{"编辑框_L2TP_网通网关", "pppoe out"}},
       "ketrova5_l2tp_client",
       Carrier::Netcom,
       "pppoe out",
       "203.0.113.1"},
      {"l2tp",
       "routes-netcom-main-7x",
       {{"编辑框_L2TP_电信网关", " "}},
       "ketrova5_l2tp_client",
       Carrier::Telecom,
       "",
       "172.16.254.1"},
  };
  for (const auto& c : cases) {
    Session s(c.slug);
    EXPECT_EQ(s.press(c.button, c.values), Outcome::Done) << c.button;
    EXPECT_TRUE(s.env.messages.empty()) << c.button;
    const std::string out = s.output();
    const size_t client = out.find("-client add name=" + c.client + " ");
    const size_t member = out.find("\r\n/interface list member add list=WAN interface=" + c.client + "\r\n");
    ASSERT_TRUE(out.starts_with("# ") && client != std::string::npos && member != std::string::npos) << out;
    std::string routes;
    if (!c.gateway.empty()) routes += to_utf8(route_table7(c.table, to_gbk(c.gateway)));
    if (!c.backup.empty()) routes += to_utf8(backup_default_route7(to_gbk(c.backup))) + "\r\n";
    EXPECT_TRUE(out.ends_with(routes)) << c.button;
    EXPECT_EQ(out.size(), out.find("\r\n", member + 2) + 2 + routes.size()) << "nothing else";
  }
}

// The 7.x batch draws the same accounts as the 3.x one, shows the same
// message, ticks the same boxes and logs the same entry; only the script
// differs, in syntax, and each account is added only where its name is free.
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
      want.push_back(":if ([:len [/ppp secret find name="_a + quoted7(name) + "]] = 0) do={/ppp secret add name="_a +
                     quoted7(name) + " password="_a + quoted7(password) +
                     " service=pppoe profile=\"PPPoE_Profile\"}"_a);
    }
    // Inside one guard: nothing is added where the server's profile is missing.
    std::vector<Gbk> lines = split(v7.form->output(), "\r\n"_a);
    ASSERT_GE(lines.size(), 2u) << c.name;
    EXPECT_TRUE(
        to_utf8(lines.front()).starts_with(":if ([:len [/ppp profile find name=\"PPPoE_Profile\"]] = 0) do={:put "))
        << c.name;
    EXPECT_EQ(to_utf8(lines.back()), "}") << c.name;
    EXPECT_EQ(std::vector<Gbk>(lines.begin() + 1, lines.end() - 1), want) << c.name;
    EXPECT_TRUE(v7.output().ends_with("\r\n")) << c.name;
  }
}

// Scripts pasted one after the other into a router that runs the default
// configuration: the model of the router raises no error and no rule, where
// PPTP's ports dropped, L2TP without IPsec, a reversed profile, a batch pasted
// twice, or a tunnel's default route taking the uplink's place would each
// raise one.
TEST(Ros7Access, OnTheDefaultConfiguration) {
  struct Step {
    std::string slug;
    std::string button;
    Values values;
    Ids check;
  };
  const std::vector<std::vector<Step>> cases = {
      {{"pppoe-server", "gen-7x", {{"编辑框_pppoe_拔号网卡", "ether2"}}, {"选择框_pppoe_客户端限速"}},
       {"pppoe-accounts", "batch-7x", {{"编辑框_添加PPPOE帐号_每次生成", "20"}}, {}},
       {"pppoe-accounts", "batch-7x", {{"编辑框_添加PPPOE帐号_每次生成", "20"}}, {}},
       {"pppoe-accounts",
        "single-7x",
        {{"编辑框_添加PPPOE帐号_MAC", "00-0C-29-AB-CD-EF"}},
        {"选择框_添加PPPOE帐号_绑定MAC"}}},
      {{"pptp", "gen-server-7x", {{"编辑框_pptp_空闲超时", "00:30:00"}}, {"选择框_pptp_空闲超时"}},
       {"pptp", "gen-account-7x", {{"编辑框_PPTP_mac", "00-0C-29-AB-CD-EF"}}, {"选择框_PPTP_绑定MAC"}},
       {"l2tp", "gen-server-7x", {}, {}},
       {"l2tp", "gen-account-7x", {{"编辑框_L2TP_MAC", "203.0.113.9"}}, {"选择框_P2TP_绑定MAC"}}},
      {{"pptp", "routes-telecom-main-7x", {}, {}}},
      {{"pptp", "client-default-route-7x", {}, {}}},
      // Accounts before their server, a server on a port the router lacks: said so, no error.
      {{"pppoe-accounts", "batch-7x", {}, {}}, {"pptp", "gen-account-7x", {}, {}}},
      {{"pppoe-server", "gen-7x", {{"编辑框_pppoe_拔号网卡", "ether9"}}, {}}},
      {{"l2tp", "client-default-route-7x", {{"编辑框_L2TP_连接标识", ""}}, {}}},
      {{"l2tp", "routes-netcom-main-7x", {}, {}}},
      {{"ddns", "gen-7x", {}, {}}, {"ddns", "gen-7x", {}, {}}},
  };
  for (const auto& steps : cases) {
    std::string script;
    for (const Step& step : steps) {
      Session s(step.slug);
      ASSERT_EQ(s.press(step.button, step.values, step.check), Outcome::Done) << step.button;
      script += s.output();
    }
    for (const ros7::Finding& f : ros7::check_meaning(script, ros7::Base::Defconf)) {
      ADD_FAILURE() << steps.front().slug << " " << steps.front().button << " " << f.line << ": " << f.message << " ["
                    << f.rule << "]";
    }
  }
}

// The stored update script, read back out of its quotes as the router does.
std::string stored_source(const std::string& script) {
  const size_t start = script.find("source=\"");
  if (start == std::string::npos) return {};
  std::string body;
  for (size_t i = start + 8; i < script.size() && script[i] != '"'; ++i) {
    if (script[i] != '\\' || i + 1 == script.size()) {
      body += script[i];
      continue;
    }
    const char next = script[++i];
    body += next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : next;
  }
  return body;
}

// The stored script is itself a script RouterOS 7's command tree accepts, and a
// quote, a backslash or a $ in a value stays part of the value, quoted twice.
TEST(Ros7Access, DdnsStoredScript) {
  struct Case {
    Values values;
    std::string line;  // as it stands in the stored script
  } cases[] = {
      {{}, ":local ddnspass \"password1234\"\r\n"},
      {{{"编辑框_DDNS_用户密码", "p\"w\\$x"}}, ":local ddnspass \"p\\\"w\\\\\\$x\"\r\n"},
      {{{"编辑框_DDNS_外网网卡", "pppoe out"}, {"编辑框_DDNS_用户帐号", ""}}, ":local ddnsinterface \"pppoe out\"\r\n"},
  };
  for (const auto& c : cases) {
    Session s("ddns");
    ASSERT_EQ(s.press("gen-7x", c.values), Outcome::Done);
    const std::string body = stored_source(s.output());
    EXPECT_NE(body.find(c.line), std::string::npos) << body;
    for (const ros7::Finding& f : ros7::check_script(body))
      ADD_FAILURE() << f.line << ": " << f.message << "\n" << body;
    EXPECT_TRUE(s.output().ends_with("on-event=\"/system script run ddns\"\r\n"));
  }
}

}  // namespace
}  // namespace rosgen::test
