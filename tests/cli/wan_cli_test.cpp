// The multi-line and dual-line WAN pages through the rosgen program.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli_support.h"

namespace rosgen::test {
namespace {

const std::string kNoLine = "[错误] 您还没有添加帐号,至少添加两个以上帐号!\\n如果是单线,请选择安装单PPPoE脚本\n";
const std::string kOneLine = "[错误] 您只添加了一个帐号,至少添加两个以上帐号!\\n如果是单线,请选择安装单PPPoE脚本\n";
const std::string kTelnet = "[注意] 请开启Telnet服务,然后用超级终端连接运行此脚本!\\n\\n否则会出错!\n";

TEST(WanCli, RunMultiLinePages) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int code;
    std::vector<std::string> lines;  // each must stand in stdout as a whole line ending in CR LF
    std::string err;
  } cases[] = {
      {"balance: two lines",
       {"run", "multi-fixed-balance", "gen-2x", "--row", "203.0.113.2|255.255.255.248|203.0.113.1|ether2", "--row",
        "198.51.100.2|29|198.51.100.1|ether3"},
       0,
       {"/ip firewall mangle add chain=prerouting in-interface=ether1 connection-state=new nth=1,1,0 "
        "action=mark-connection new-connection-mark=1 passthrough=yes disabled=no",
        "/ip firewall nat add chain=srcnat connection-mark=2 action=src-nat to-addresses=198.51.100.2 "
        "to-ports=0-65535 comment=\"2\" disabled=no"},
       ""},
      {"balance: a duplicate differing by blanks and case is refused, leaving one line",
       {"run", "6", "按钮_多线固定IP负载均衡_生成2x", "--row", "Host.Example|29|g|e2", "--row",
        " host.example |28|g|e3"},
       1,
       {},
       "[重复记录!] 不能重复添加IP地址！\\n您可以使用修改功能进行修改！\n" + kOneLine},
      {"balance: no line", {"run", "6", "gen-2x"}, 1, {}, kNoLine},
      {"balance: delete without a selection",
       {"run", "6", "delete", "--row", "a|b|c|d"},
       1,
       {},
       "[信息：] 请先选择要删除的表项再执行此操作!\n"},
      {"balance: delete the selected line",
       {"run", "6", "delete", "--row", "a|b|c|d", "--select", "超级列表框_多线固定IP负载发装列表=1"},
       0,
       {},
       ""},
      {"split: two ranges",
       {"run", "multi-fixed-split", "按钮_分流_2x生成", "--row",
        "203.0.113.2|29|203.0.113.1|ether2|192.168.0.1-192.168.0.100", "--row",
        "198.51.100.2|29|198.51.100.1|ether3|192.168.0.101-192.168.0.200"},
       0,
       {"/ip firewall mangle add chain=prerouting src-address=192.168.0.1-192.168.0.100 action=mark-routing "
        "new-routing-mark=1 comment=1",
        "/ip firewall mangle add chain=prerouting src-address=192.168.0.101-192.168.0.200 action=mark-routing "
        "new-routing-mark=2 comment=2"},
       ""},
      {"pppoe balance: three lines",
       {"run", "8", "gen-2x", "--row", "u1|p1|ether2", "--row", "u2|p2|ether3", "--row", "u3|p\"3|ether4"},
       0,
       {"/ip firewall mangle add chain=prerouting in-interface=ether1 connection-state=new nth=2,1,2 "
        "action=mark-connection new-connection-mark=3 passthrough=yes disabled=no",
        "/interface pppoe-client add name=\"pppoe-out3\" interface=ether4 user=\"u3\" password=\"p\"3\" "
        "add-default-route=no disabled=no",
        "/ip address add address=58.58.58.3/32 interface=pppoe-out3 comment=\"3\""},
       ""},
      {"pppoe balance: one account", {"run", "8", "gen-2x", "--row", "u1|p1|ether2"}, 1, {}, kOneLine},
      {"pppoe split: two ranges",
       {"run", "multi-pppoe-split", "gen-2x", "--row", "u1|p1|192.168.0.1-192.168.0.20|ether2", "--row",
        "u2|p2|192.168.0.21-192.168.0.40|ether3"},
       0,
       {"/ip firewall mangle add chain=prerouting src-address=192.168.0.21-192.168.0.40 action=mark-routing "
        "new-routing-mark=adsl2 comment=adsl2",
        "/ip route add gateway=58.58.58.2 routing-mark=adsl2 comment=adsl2"},
       ""},
      {"pppoe split: duplicate account",
       {"run", "9", "gen-2x", "--row", "u1|p1|r|e", "--row", "U1|p2|r|e", "--row", "u2|p1|r|e"},
       0,
       {"/ip address add address=58.58.58.2/32 interface=pppoe-out2 comment=\"adsl2\""},
       "[重复记录!] 不能重复添加帐号！\\n您可以使用修改功能进行修改！\n"},
  };
  for (const auto& c : cases) {
    Result r = rosgen(c.args);
    EXPECT_EQ(r.code, c.code) << c.name << "\n" << r.err;
    EXPECT_EQ(r.err, c.err) << c.name;
    if (c.lines.empty()) {
      EXPECT_EQ(r.out, "") << c.name;
    } else {
      EXPECT_TRUE(r.out.ends_with("\r\n")) << c.name;
    }
    for (const std::string& line : c.lines) {
      EXPECT_NE(("\r\n" + r.out).find("\r\n" + line + "\r\n"), std::string::npos) << c.name << "\n" << line;
    }
  }
}

TEST(WanCli, RefreshScripts) {
  Result two = rosgen({"run", "8", "refresh-2x"});
  EXPECT_EQ(two.code, 0);
  EXPECT_TRUE(
      two.out.starts_with(":local assign-address\r\n:local new-address\r\n:local status\r\n:local x\r\n"
                          ":set x 2\r\n:for i from=1 to=$x do={\r\n"));
  EXPECT_TRUE(two.out.ends_with("\r\n       } \r\n   }\r\n}"));
  Result three = rosgen({"run", "9", "按钮_多线分流PPPOE_2x动态刷新网关", "--row", "a", "--row", "b", "--row", "c"});
  EXPECT_EQ(three.code, 0);
  EXPECT_NE(three.out.find("\r\n:set x 3\r\n"), std::string::npos);
  EXPECT_TRUE(three.out.ends_with("gateway=$new-address\r\n}\r\n}\r\n}"));
}

TEST(WanCli, DualLine) {
  Result install = rosgen({"run", "dual-fixed", "按钮_电信网通双线_脚本生成3x", "--check", "单选框_网通"});
  EXPECT_EQ(install.code, 0);
  EXPECT_EQ(install.err, "");
  EXPECT_TRUE(
      install.out.starts_with("/ ip add add interface=ether3 address=192.168.0.254/255.255.255.0 comment=\"Lan\"\r\n"));
  EXPECT_TRUE(
      install.out.ends_with("\r\n/ ip dns set primary-dns=223.5.5.5 secondary-dns=114.114.114.114 "
                            "allow-remote-requests=yes cache-size=2048KiB cache-max-ttl=1w"));

  Result telecom_main = rosgen({"run", "10", "routes-2x"});
  EXPECT_EQ(telecom_main.code, 0);
  EXPECT_EQ(telecom_main.err, kTelnet);
  EXPECT_TRUE(telecom_main.out.starts_with(
      "/ ip route \r\nadd dst-address=59.80.0.0/14 gateway=198.51.100.1 check-gateway=ping\r\n"));
  EXPECT_TRUE(
      telecom_main.out.ends_with("\r\nadd dst-address=0.0.0.0/0 gateway=203.0.113.1 check-gateway=ping distance=2\r\n"
                                 "scope=255 target-scope=10 comment=\"\" disabled=no"));
  EXPECT_GT(telecom_main.out.size(), 16000u);

  Result netcom_main = rosgen({"run", "10", "按钮_电信网通双线_路由表3x", "--check", "单选框_网通",
                               "编辑框_双线固定IP_电信网关= 203.0.113.9 ", "--encoding", "gbk"});
  EXPECT_EQ(netcom_main.code, 0);
  EXPECT_TRUE(
      netcom_main.out.starts_with("/ ip route \r\nadd dst-address=58.14.0.0/15 gateway=203.0.113.9 distance=1 \r\n"));
  EXPECT_TRUE(
      netcom_main.out.ends_with("add dst-address=202.100.0.0/15 gateway=203.0.113.9 distance=1 \r\n"
                                "scope=255 check-gateway=ping target-scope=10 comment=\"\" disabled=no\r\n"
                                "add dst-address=0.0.0.0/0 gateway=198.51.100.1 check-gateway=ping distance=2\r\n"
                                "scope=255 target-scope=10 comment=\"\" disabled=no"));
  EXPECT_GT(netcom_main.out.size(), 30000u);
}

// The RouterOS 7 scripts, written by `rosgen run` and judged by `rosgen check` on a router that
// runs the default configuration: nothing the router would refuse, and where a page's lines all
// have gateway addresses, no rule of meaning either.
TEST(WanCli, RouterOs7ScriptsOnTheDefaultConfiguration) {
  const std::string file =
      (std::filesystem::temp_directory_path() / ("rosgen-wan-" + std::to_string(getpid()) + ".rsc")).string();
  struct Case {
    std::vector<std::string> run;
    bool clean;  // no finding at all
  } cases[] = {
      {{"wan-fixed", "gen-7x"}, true},
      {{"dual-fixed", "routes-7x"}, true},
      {{"multi-fixed-balance", "gen-7x", "--row", "203.0.113.2|29|203.0.113.1|ether2", "--row",
        "198.51.100.2|29|198.51.100.1|ether3", "--row", "10.10.10.2|24|10.10.10.1|ether4"},
       true},
      {{"multi-pppoe-split", "gen-7x", "--row", "u1|p1|192.168.0.1-192.168.0.20|ether2", "--row",
        "u2|p2|192.168.0.21-192.168.0.40|ether3", "--row", "u3|p3|192.168.0.41-192.168.0.60|ether3"},
       false},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"run"};
    args.insert(args.end(), c.run.begin(), c.run.end());
    args.insert(args.end(), {"-o", file});
    const Result written = rosgen(args);
    ASSERT_EQ(written.code, 0) << c.run[0] << " " << c.run[1] << "\n" << written.err;
    const Result judged = rosgen({"check", "--base", "defconf", file});
    EXPECT_EQ(judged.out.find(": error: "), std::string::npos) << c.run[0] << " " << c.run[1] << "\n" << judged.out;
    if (c.clean) {
      EXPECT_EQ(judged.out, "") << c.run[0] << " " << c.run[1];
    }
  }
  std::filesystem::remove(file);
}

TEST(WanCli, UsageErrors) {
  Result cells = rosgen({"run", "8", "gen-2x", "--row", "a|b|c|d"});
  EXPECT_EQ(cells.code, 2);
  EXPECT_EQ(cells.err, "rosgen: --row has 4 cells; the list has 3 columns\n");
  Result list = rosgen({"run", "10", "gen-2x", "--row", "a"});
  EXPECT_EQ(list.code, 2);
  EXPECT_EQ(list.err, "rosgen: page dual-fixed has no line list for --row\n");
}

TEST(WanCli, ShowListsTheLineListAndButtonsInOrder) {
  Result r = rosgen({"show", "multi-pppoe-balance", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["caption"], "多线PPPoE负载均衡安装设置脚本(注意:ROS系统不支持中文脚本)");
  EXPECT_EQ(j["list"]["id"], "超级列表框_pppoe多线负载均衡_列表");
  EXPECT_EQ(j["list"]["add"], "add");
  ASSERT_EQ(j["list"]["columns"].size(), 3u);
  EXPECT_EQ(j["list"]["columns"][0]["title"], "     帐号");
  EXPECT_EQ(j["list"]["columns"][0]["width"], 200);
  EXPECT_EQ(j["list"]["columns"][2]["field"], "编辑框_pppoe多线负载均衡_连接网卡");
  std::vector<std::string> buttons;
  for (const auto& b : classic_buttons(j))
    buttons.push_back(b["id"].get<std::string>() + "@" + b["group"].get<std::string>());
  EXPECT_EQ(buttons, (std::vector<std::string>{
                         "delete@当前配置PPPoE帐号", "modify@当前配置PPPoE帐号", "add@当前配置PPPoE帐号",
                         "gen-2x@多线PPPoE负载均衡安装设置脚本(注意:ROS系统不支持中文脚本)", "refresh-2x@注意事项"}));
  EXPECT_EQ(j["fields"][6]["id"], "编辑框_pppoe多线负载均衡_ADSL帐号");
  EXPECT_EQ(j["fields"][6]["group"], "当前配置PPPoE帐号");

  Result dual = rosgen({"show", "10", "--json"});
  auto d = nlohmann::json::parse(dual.out);
  EXPECT_FALSE(d.contains("list"));
  ASSERT_EQ(d["fields"].size(), 18u);
  EXPECT_EQ(d["fields"][15]["kind"], "radio");
  EXPECT_EQ(d["fields"][15]["default"], true);
  EXPECT_EQ(d["fields"][16]["default"], false);
  EXPECT_EQ(d["fields"][17]["key"], "ipv6");
  EXPECT_EQ(d["fields"][17]["default"], false);
  EXPECT_EQ(classic_buttons(d).size(), 4u);
}

}  // namespace
}  // namespace rosgen::test
