// The rosgen program itself: arguments, exit codes, stdout and stderr.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "cli_support.h"

namespace rosgen::test {
namespace {

TEST(Cli, ListsTheTwentySevenPages) {
  Result r = rosgen({"list"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out.rfind("0\tstart\t初始化界面\n1\trouter-users\t添加管理帐号\n", 0), 0u);
  EXPECT_NE(r.out.find("\n25\tddns\tDDNS动态域名服务\n26\twireguard\tWireGuard设置\n"), std::string::npos);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 27);
}

TEST(Cli, ShowJsonDescribesThePageInOrder) {
  Result r = rosgen({"show", "pppoe-server", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["index"], 23);
  EXPECT_EQ(j["tab"], "PPPOE设置");
  EXPECT_EQ(j["caption"], "PPPoE服务器设置脚本生成");
  EXPECT_EQ(j["output"], "编辑框_输出_pppoe");
  EXPECT_EQ(j["fields"][0]["id"], "编辑框_pppoe_服务名称");
  EXPECT_EQ(j["fields"][0]["default"], "PPPoE_Server");
  EXPECT_EQ(j["fields"][0]["group"], "PPPoE服务器架设");
  EXPECT_EQ(j["fields"][8]["kind"], "check");
  EXPECT_EQ(j["fields"][8]["default"], false);
  ASSERT_EQ(j["buttons"].size(), 3u);  // 2.9.X, 3.X and 7.X
  EXPECT_EQ(j["buttons"][1]["designer"], "按钮_PPPOE_自定义脚本生成3x");
  EXPECT_EQ(j["buttons"][1]["caption"], "生成3.X系列脚本");
  EXPECT_EQ(j["buttons"][1]["group"], "PPPoE服务器架设");
  EXPECT_FALSE(j.contains("list"));
  // Keys in page order: what the page is, its fields, its list, its buttons.
  size_t last = 0;
  for (const char* key :
       {"\"index\"", "\"slug\"", "\"tab\"", "\"caption\"", "\"output\"", "\"fields\"", "\"buttons\""}) {
    size_t at = r.out.find(key);
    EXPECT_GT(at, last) << key;
    last = at;
  }

  Result users = rosgen({"show", "1", "--json"});
  auto u = nlohmann::json::parse(users.out);
  EXPECT_EQ(u["fields"][2]["kind"], "combo");
  EXPECT_EQ(u["fields"][2]["default"], 0);
  EXPECT_EQ(u["fields"][2]["items"][3], "只读管理员");

  Result plain = rosgen({"show", "wan-fixed"});
  EXPECT_EQ(plain.code, 0);
  EXPECT_NE(plain.out.find("编辑框_安装_内网网卡"), std::string::npos);
}

// The layout is what the web edition renders: every field, button and list of the page once,
// in page order; rows, flows and columns told apart as declared; radio buttons with their group.
TEST(Cli, ShowJsonLayoutHoldsThePageWhole) {
  struct Case {
    const char* page;
    std::set<std::string> boxes;  // kinds of box the layout holds
    std::vector<std::string> radio_groups;
  } cases[] = {
      {"start", {}, {}},
      {"dual-fixed", {"row", "column"}, {"main-line", "main-line"}},
      {"system-tools", {"row", "flow", "group"}, {}},
      {"multi-pppoe-balance", {"row", "column", "group"}, {}},
      {"pppoe-accounts", {"row", "group"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    Result r = rosgen({"show", c.page, "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    std::map<std::string, std::vector<std::string>> placed;  // field, button, list -> ids
    std::set<std::string> boxes;
    std::function<void(const nlohmann::json&)> visit = [&](const nlohmann::json& items) {
      for (const auto& item : items) {
        const std::string type = item["type"];
        if (item.contains("items")) {
          boxes.insert(type);
          visit(item["items"]);
        } else if (type != "note") {
          placed[type].push_back(item["id"]);
        }
      }
    };
    visit(j["layout"]);
    EXPECT_EQ(boxes, c.boxes);
    auto ids = [](const nlohmann::json& all) {
      std::vector<std::string> out;
      for (const auto& x : all) out.push_back(x["id"]);
      return out;
    };
    EXPECT_EQ(placed["field"], ids(j["fields"]));
    EXPECT_EQ(placed["button"], ids(j["buttons"]));
    EXPECT_EQ(placed["list"], ids(j["lists"]));
    std::vector<std::string> groups;
    for (const auto& f : j["fields"]) {
      EXPECT_TRUE(f["visible"].get<bool>() && !f["read_only"].get<bool>()) << f["id"];
      if (f["kind"] == "radio") groups.push_back(f["radio_group"]);
      EXPECT_EQ(f.contains("radio_group"), f["kind"] == "radio") << f["id"];
    }
    EXPECT_EQ(groups, c.radio_groups);
  }
  // A list names the button that overwrites its selected row, so a front end can say it needs one.
  const auto balance = nlohmann::json::parse(rosgen({"show", "multi-fixed-balance", "--json"}).out);
  EXPECT_EQ(balance["lists"][0]["modify"], "modify");
  EXPECT_EQ(balance["list"], balance["lists"][0]);
}

TEST(Cli, RunExitCodesAndStreams) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int code;
    std::string out;
    std::string err;
  } cases[] = {
      {"router user",
       {"run", "1", "gen-3x", "编辑框_系统_密码=P", "--select", "组合框_系统_等级=1"},
       0,
       "/ user add name=ketrova5 password=P group=full address=0.0.0.0/0 comment=\"ADMIN-KETROVA5\"",
       ""},
      {"refused check", {"run", "router-users", "按钮_系统_2x生成"}, 1, "", "[信息：] 密码不能为空!\n"},
      {"scheduled reboot",
       {"run", "scheduled-reboot", "reboot-2x", "编辑框_重启_开始日期=2010/03/05"},
       0,
       "/ system scheduler add name=\"Timing Shutdown\" on-event=\"/ system reboot\" start-date=Mar/05/2010 "
       "start-time=\"07:30:00\" interval=\"1d 00:00:00\" comment=\"\\B6\\A8\\CA\\B1\\D6\\D8\\C6\\F4\" disabled=no",
       ""},
      {"pppoe server checks",
       {"run", "23", "gen-3x", "--check", "选择框_pppoe_客户端限速", "--uncheck", "选择框_pppoe_使用加密",
        "编辑框_pppoe_上传=abc"},
       0,
       "/ ip pool add name=PPPoE_Pool ranges=10.10.10.2-10.10.10.254\r\n"
       "/ interface pppoe-server server add service-name=PPPoE_Server interface=ether1 one-session-per-host=yes "
       "disabled=no\r\n"
       "/ ppp profile add name=\"PPPoE_Profile\" local-address=10.10.10.1 remote-address=PPPoE_Pool "
       "use-compression=yes use-vj-compression=yes use-encryption=no change-tcp-mss=no only-one=yes "
       "rate-limit=0/800000 dns-server=114.114.114.114,114.114.114.114",
       ""},
      {"value with = and leading dash", {"run", "wan-pppoe", "gen-2x", "编辑框_ppoe_密码=-a=b"}, 0, "", ""},
      {"unknown page", {"run", "nowhere", "gen-2x"}, 2, "", "rosgen: no page nowhere (rosgen list shows the pages)\n"},
      {"unknown button", {"run", "4", "nothing"}, 2, "", "rosgen: page wan-fixed has no button nothing\n"},
      {"unknown field", {"run", "4", "gen-2x", "nofield=1"}, 2, "", "rosgen: page wan-fixed has no field nofield\n"},
      {"text into a check box",
       {"run", "23", "gen-2x", "选择框_pppoe_使用加密=1"},
       2,
       "",
       "rosgen: 选择框_pppoe_使用加密 takes no text; use --check, --uncheck or --select\n"},
      {"combo item out of range",
       {"run", "1", "gen-2x", "--select", "组合框_系统_等级=4"},
       2,
       "",
       "rosgen: 组合框_系统_等级 has no item 4\n"},
      // A list's rows exist once added: no row N is a usage error too, before the press.
      {"list row out of range",
       {"run", "6", "delete", "--row", "a|b|c|d", "--select", "超级列表框_多线固定IP负载发装列表=2"},
       2,
       "",
       "rosgen: 超级列表框_多线固定IP负载发装列表 has no row 2 (it has 1)\n"},
      {"list row 0",
       {"run", "6", "delete", "--select", "超级列表框_多线固定IP负载发装列表=0"},
       2,
       "",
       "rosgen: 超级列表框_多线固定IP负载发装列表 has no row 0 (it has 0)\n"},
      {"bad date",
       {"run", "2", "reboot-2x", "--today", "2010-02-30"},
       2,
       "",
       "rosgen: --today must be a date YYYY-MM-DD: 2010-02-30\n"},
      {"empty date",
       {"run", "3", "backup-by-date", "--today", ""},
       2,
       "",
       "rosgen: --today must be a date YYYY-MM-DD: \n"},
      {"row on a page without list",
       {"run", "4", "gen-2x", "--row", "a|b"},
       2,
       "",
       "rosgen: page wan-fixed has no line list for --row\n"},
      {"not built page", {"run", "start", "x"}, 2, "", "rosgen: page start has no button x\n"},
  };
  for (const auto& c : cases) {
    Result r = rosgen(c.args);
    EXPECT_EQ(r.code, c.code) << c.name << "\n" << r.err;
    if (!c.out.empty() || c.code != 0) {
      EXPECT_EQ(r.out, c.out) << c.name;
    }
    EXPECT_EQ(without_warnings(r.err), c.err) << c.name;
  }
}

TEST(Cli, EncodingAndHostileValues) {
  // With gbk, values are taken and given as GBK bytes; names stay UTF-8.
  Result gbk = rosgen({"run", "1", "gen-2x", "编辑框_系统_密码=x", "编辑框_系统_备注=\xB9\xDC\xC0\xED", "--select",
                       "组合框_系统_等级=3", "--encoding", "gbk"});
  EXPECT_EQ(gbk.code, 0);
  EXPECT_NE(gbk.out.find("comment=\"\xB9\xDC\xC0\xED\""), std::string::npos);
  // Invalid UTF-8 becomes "?"; characters outside GBK too.
  Result bad = rosgen({"run", "4", "gen-2x", "编辑框_安装_TCPMSS值=\xFF😀"});
  EXPECT_EQ(bad.code, 0);
  EXPECT_TRUE(bad.out.ends_with("new-mss=??"));
  // Invalid GBK given with --encoding gbk comes back unchanged as bytes.
  Result raw = rosgen({"run", "4", "gen-2x", "编辑框_安装_TCPMSS值=\x81\x20\xFF", "--encoding", "gbk"});
  EXPECT_TRUE(raw.out.ends_with("new-mss=\x81\x20\xFF"));
  // A 100 KB value with control characters goes through whole.
  std::string big(100 * 1024, 'x');
  big[10] = '\x01';
  big[20] = '\t';
  Result huge = rosgen({"run", "4", "gen-3x", "编辑框_安装_TCPMSS值=" + big});
  EXPECT_EQ(huge.code, 0);
  EXPECT_TRUE(huge.out.ends_with(big));
}

// A script that never reached its reader must not be reported as written.
TEST(Cli, OutputThatCannotBeWrittenIsAnError) {
  const std::vector<std::vector<std::string>> commands = {
      {"list"},
      {"show", "wan-fixed"},
      {"show", "pptp", "--json"},
      {"run", "wan-fixed", "gen-2x"},
      {"run", "pptp", "routes-netcom-main"},
  };
  for (const auto& args : commands) {
    Result r = rosgen(args, ROSGEN_BIN, "/dev/full");
    EXPECT_EQ(r.code, 3) << args[0] << " " << (args.size() > 1 ? args[1] : "");
    EXPECT_NE(r.err.find("rosgen: cannot write the output"), std::string::npos) << r.err;
  }
  // A refused check still reports the refusal: it wrote nothing.
  Result refused = rosgen({"run", "router-users", "gen-2x"}, ROSGEN_BIN, "/dev/full");
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.err, "[信息：] 密码不能为空!\n");
}

TEST(Cli, UsageErrorsAreOneLine) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"run"}, {"run", "4"}, {"show"}, {"run", "4", "gen-2x", "--encoding", "latin1"}}) {
    Result r = rosgen(args);
    EXPECT_EQ(r.code, 2) << (args.empty() ? "" : args[0]);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
}  // namespace rosgen::test
