// Field warnings on the command line: one stderr line per field, the script
// unchanged, and exit 4 only with --strict, judged as the pressed button's dialect
// writes each value; show lists each field's key, kind and writing.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>

#include "cli_support.h"

namespace rosgen::test {
namespace {

TEST(CliWarnings, WarnWithoutChangingTheScript) {
  const struct {
    const char* name;
    std::vector<std::string> args;
    std::string warning;  // the start of the expected stderr line
  } cases[] = {
      {"empty gateway",
       {"run", "wan-fixed", "gen-3x", "编辑框_安装_外网网关ip="},
       "[warning] 编辑框_安装_外网网关ip (外网网关IP): 不能为空\n"},
      {"service name with a blank",
       {"run", "pppoe-server", "gen-3x", "编辑框_pppoe_服务名称=my svc"},
       "[warning] 编辑框_pppoe_服务名称 (PPPoE服务名称): "},
      {"keyword with a quote",
       {"run", "block-keywords", "gen-3x", "编辑框_tcp_关键字域名=a\"b"},
       "[warning] 编辑框_tcp_关键字域名 (要封锁的关键字或域名): "},
      {"Chinese account name",
       {"run", "pppoe-accounts", "single-3x", "编辑框_添加PPPOE帐号_用户名=用户"},
       "[warning] 编辑框_添加PPPOE帐号_用户名 (用户名): 含有中文字符，RouterOS脚本不支持\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Result plain = rosgen(c.args);
    EXPECT_EQ(plain.code, 0) << plain.err;
    EXPECT_NE(plain.err.find(c.warning), std::string::npos) << plain.err;
    EXPECT_FALSE(plain.out.empty());

    std::vector<std::string> strict_args = c.args;
    strict_args.push_back("--strict");
    const Result strict = rosgen(strict_args);
    EXPECT_EQ(strict.code, 4);
    EXPECT_EQ(strict.out, plain.out);
    EXPECT_EQ(strict.err, plain.err);
  }
}

// A warning holds for the dialect of the button pressed, and --strict with it:
// the same value warns where that dialect's script would break it or misread
// it, and nowhere else; the warning names a field the user can tell apart.
TEST(CliWarnings, EachDialectWarnsOfWhatItsScriptDoes) {
  const char* const kNoExport = "--uncheck=export";
  const struct {
    std::vector<std::string> args;
    std::string warning;  // the whole stderr line, or empty for none
  } cases[] = {
      // A MAC typed with dashes: 3.x writes it so, 7.x with colons.
      {{"run", "pppoe-accounts", "single-3x", "--check=bind-mac", "mac=00-0C-29-AB-CD-EF"},
       "[warning] 编辑框_添加PPPOE帐号_MAC (绑定MAC): MAC地址应使用冒号分隔（例如01:23:45:67:89:AB）\n"},
      {{"run", "pppoe-accounts", "single-7x", "--check=bind-mac", "mac=00-0C-29-AB-CD-EF"}, ""},
      // A quote in a password: 3.x puts it between quotes as typed, 7.x escapes it.
      {{"run", "pppoe-accounts", "single-3x", "password=pa\"ss"},
       "[warning] 编辑框_添加PPPOE帐号_密码 (密码): 含有双引号，会破坏脚本中的引号\n"},
      {{"run", "pppoe-accounts", "single-7x", "password=pa\"ss"}, ""},
      {{"run", "pppoe-accounts", "single-3x", "password=pa ss"}, ""},
      // 3.x writes the dial-up password without quotes: a blank ends it there.
      {{"run", "wan-pppoe", "gen-3x", "pppoe-password=ab c"},
       "[warning] 编辑框_ppoe_密码 (PPPoE密码): 含有空格，脚本中这个值没有引号，会在空格处断开\n"},
      {{"run", "wan-pppoe", "gen-3x", "pppoe-password=ab;c"},
       "[warning] 编辑框_ppoe_密码 (PPPoE密码): 含有分号，脚本中这个值没有引号，分号会结束这条命令\n"},
      {{"run", "wan-pppoe", "gen-7x", "pppoe-password=ab c"}, ""},
      // Names the 7.x scripts quote may hold blanks; 3.x writes them as typed.
      {{"run", "pppoe-server", "gen-3x", "service-name=my svc"},
       "[warning] 编辑框_pppoe_服务名称 (PPPoE服务名称): 含有空格、引号或其它特殊字符\n"},
      {{"run", "pppoe-server", "gen-7x", "service-name=my svc"}, ""},
      // A batch whose random part is empty makes one account name over and over.
      {{"run", "pppoe-accounts", "batch-3x", "user-length=0", kNoExport},
       "[warning] 编辑框_添加PPPOE帐号_随机帐号长度 (随机帐号长度): "
       "随机部分不到1个字符，所有帐号同名，只有第一个能添加到路由器\n"},
      {{"run", "pppoe-accounts", "batch-7x", "user-length=-2", kNoExport},
       "[warning] 编辑框_添加PPPOE帐号_随机帐号长度 (随机帐号长度): "
       "随机部分不到1个字符，所有帐号同名，只有第一个能添加到路由器\n"},
      // A count is read, never written: full-width digits are read as ASCII.
      {{"run", "pppoe-accounts", "batch-3x", "count=１０", kNoExport},
       "[warning] 编辑框_添加PPPOE帐号_每次生成 (此次生成帐号数量): 含有全角字符，按半角读作“10”\n"},
      // The MSS is written as typed: there full-width digits stay full-width.
      {{"run", "wan-fixed", "gen-3x", "mss=１４４０"},
       "[warning] 编辑框_安装_TCPMSS值 (TCP MSS值): 含有全角字符，脚本中会原样写出\n"},
      // Five fields read "下载": the note before each on its line tells them apart.
      {{"run", "simple-queues", "gen-3x", "--check=use-average", "average-down=8O"},
       "[warning] 编辑框_平均下载 (下载（平均速度）): 不是有效的数字\n"},
      {{"run", "scheduled-reboot", "reboot-3x", "reboot-name=a\"b"},
       "[warning] 编辑框_重启_调度名称 (调度名称（定时重启脚本生成）): 含有双引号，会破坏脚本中的引号\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back("--strict");
    SCOPED_TRACE(args[1] + " " + args[2] + " " + args[3]);
    const Result r = rosgen(args);
    EXPECT_EQ(r.err, c.warning);
    EXPECT_EQ(r.code, c.warning.empty() ? 0 : 4);
    EXPECT_FALSE(r.out.empty());
  }
}

TEST(CliWarnings, CleanAndRefusedRunsKeepTheirStatus) {
  const Result clean = rosgen({"run", "wan-fixed", "gen-3x", "--strict"});
  EXPECT_EQ(clean.code, 0);
  EXPECT_EQ(clean.err, "");
  // A refusal writes no script, so it has nothing to warn about: still 1.
  const Result refused = rosgen({"run", "router-users", "gen-3x", "编辑框_系统_用户名=用户", "--strict"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.err.find("[warning]"), std::string::npos) << refused.err;
}

TEST(CliWarnings, KeysAndKindsInShowAndRun) {
  const Result show = rosgen({"show", "wan-fixed", "--json"});
  ASSERT_EQ(show.code, 0);
  const auto j = nlohmann::json::parse(show.out);
  for (const auto& f : j["fields"]) {
    EXPECT_TRUE(f["key"].is_string()) << f["id"];
    EXPECT_TRUE(f["value_kind"].is_string()) << f["id"];
  }
  // Each text field says how each dialect writes it; each button, which dialect it writes.
  const auto pppoe = nlohmann::json::parse(rosgen({"show", "wan-pppoe", "--json"}).out);
  nlohmann::json writing;
  for (const auto& f : pppoe["fields"]) {
    if (f["key"] == "pppoe-password") writing = f["writing"];
  }
  EXPECT_EQ(writing, nlohmann::json({{"2.9.x/3.x", "plain"}, {"7.x", "escaped"}}));
  std::map<std::string, std::string> dialects;
  const auto multi = nlohmann::json::parse(rosgen({"show", "multi-pppoe-balance", "--json"}).out);
  for (const auto& b : multi["buttons"]) dialects[b["id"]] = b["dialect"];
  EXPECT_EQ(dialects["gen-2x"], "2.9.x/3.x");
  EXPECT_EQ(dialects["refresh-7x"], "7.x");
  EXPECT_EQ(dialects["add"], "any");

  const auto& first = j["fields"][0];
  const std::string key = first["key"];
  const Result by_key = rosgen({"run", "wan-fixed", "gen-3x", key + "=ether9"});
  const Result by_id = rosgen({"run", "wan-fixed", "gen-3x", first["id"].get<std::string>() + "=ether9"});
  EXPECT_EQ(by_key.code, 0) << by_key.err;
  EXPECT_EQ(by_key.out, by_id.out);
  EXPECT_NE(by_key.out.find("ether9"), std::string::npos);
}

}  // namespace
}  // namespace rosgen::test
