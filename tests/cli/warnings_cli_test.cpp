// Field warnings on the command line: one stderr line per field, the script
// unchanged, and exit 4 only with --strict; show lists each field's key and kind.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

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
