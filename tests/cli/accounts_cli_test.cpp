// The PPPoE account and DDNS pages through the rosgen program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>

#include "cli_support.h"

namespace rosgen::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNoExport = "选择框_添加PPPOE帐号_是否导出";

std::string read_all(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(AccountsCli, ShowListsThePageInOrder) {
  Result r = rosgen({"show", "pppoe-accounts", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["index"], 24);
  EXPECT_EQ(j["caption"], "添加PPPoE帐号(支持批量添加)");
  EXPECT_EQ(j["output"], "编辑框_输出_添加PPPOE帐号");
  const std::vector<std::pair<std::string, std::string>> fields = {
      {"编辑框_添加PPPOE帐号_模板标识", "添加PPPoE帐号"},
      {"编辑框_添加PPPOE帐号_用户名", "添加PPPoE帐号"},
      {"编辑框_添加PPPOE帐号_密码", "添加PPPoE帐号"},
      {"选择框_添加PPPOE帐号_绑定MAC", "添加PPPoE帐号"},
      {"编辑框_添加PPPOE帐号_MAC", "添加PPPoE帐号"},
      {"选择框_添加PPPOE帐号_帐号前秦", ""},
      {"编辑框_添加PPPOE帐号_帐号前秦", ""},
      {"选择框_添加PPPOE帐号_帐号后缀", ""},
      {"编辑框_添加PPPOE帐号_帐号后缀", ""},
      {"编辑框_添加PPPOE帐号_模板标识二", ""},
      {"编辑框_添加PPPOE帐号_随机密码长度", ""},
      {"编辑框_添加PPPOE帐号_随机帐号长度", ""},
      {"选择框_添加PPPOE帐号_数字", ""},
      {"编辑框_添加PPPOE帐号_帐号数字", ""},
      {"选择框_添加PPPOE帐号_英文", ""},
      {"编辑框_添加PPPOE帐号_帐号英文", ""},
      {"选择框_添加PPPOE密码_数字一", ""},
      {"编辑框_添加PPPOE帐号_密码数字", ""},
      {"选择框_添加PPPOE密码_英文一", ""},
      {"编辑框_添加PPPOE帐号_密码英文", ""},
      {"选择框_添加PPPOE帐号_密码帐号一致", ""},
      {"编辑框_添加PPPOE帐号_每次生成", ""},
      {"选择框_添加PPPOE帐号_是否导出", ""},
  };
  ASSERT_EQ(j["fields"].size(), fields.size());
  for (size_t i = 0; i < fields.size(); ++i) {
    EXPECT_EQ(j["fields"][i]["id"], fields[i].first) << i;
    EXPECT_EQ(j["fields"][i]["group"], fields[i].second) << i;
  }
  EXPECT_EQ(j["fields"][2]["default"].get<std::string>().size(), 12u) << "a 12-character default password";
  EXPECT_EQ(j["fields"][8]["default"].get<std::string>().front(), '@') << "a realm suffix";
  EXPECT_EQ(j["fields"][12]["label"], "帐号中添加数字");
  EXPECT_EQ(j["fields"][13]["default"], "0,1,2,3,4,5,6,7,8,9");
  EXPECT_EQ(j["fields"][20]["default"], false);
  EXPECT_EQ(j["fields"][22]["default"], true);

  const std::vector<std::vector<std::string>> buttons = {
      {"single-2x", "按钮_tcp_自定义脚本生成2x16", "生成2.9.X系列脚本", "添加PPPoE帐号"},
      {"single-3x", "按钮_tcp_自定义脚本生成2x15", "生成3.X系列脚本", "添加PPPoE帐号"},
      {"batch-2x", "按钮_添加PPPOE帐号_自定义脚本生成2x", "生成2.9.X系列脚本", ""},
      {"batch-3x", "按钮_添加PPPOE帐号_自定义脚本生成3x", "生成3.X系列脚本", ""},
  };
  const nlohmann::json listed = classic_buttons(j);
  ASSERT_EQ(listed.size(), buttons.size());
  for (size_t i = 0; i < buttons.size(); ++i) {
    EXPECT_EQ(listed[i]["id"], buttons[i][0]);
    EXPECT_EQ(listed[i]["designer"], buttons[i][1]);
    EXPECT_EQ(listed[i]["caption"], buttons[i][2]);
    EXPECT_EQ(listed[i]["group"], buttons[i][3]);
  }

  Result d = rosgen({"show", "25", "--json"});
  auto dj = nlohmann::json::parse(d.out);
  EXPECT_EQ(dj["caption"], "ROS上绑定DDNS(即绑定动态域名)");
  ASSERT_EQ(dj["fields"].size(), 5u);
  EXPECT_EQ(dj["fields"][3]["id"], "编辑框_DDNS_外网网卡");
  EXPECT_EQ(dj["fields"][3]["default"], "pppoe-out1");
  // The 7.x script's HTTP(S) update address, on the sign-up site.
  EXPECT_EQ(dj["fields"][4]["id"], "编辑框_DDNS_更新地址");
  EXPECT_TRUE(dj["fields"][4]["default"].get<std::string>().starts_with("https://")) << dj["fields"][4];
  ASSERT_EQ(dj["buttons"].size(), 4u);  // sign-up, 2.9.X, 3.X, 7.X
  for (const auto& b : dj["buttons"]) EXPECT_EQ(b["group"], "申请配置生成DDNS脚本");
  EXPECT_EQ(dj["buttons"][0]["caption"], "申请DDNS服务商帐号(点击这里免费申请)");
}

TEST(AccountsCli, Run) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int code;
    std::string out;
    std::string err;
  } cases[] = {
      {"single account",
       {"run", "24", "single-3x", "编辑框_添加PPPOE帐号_用户名=u1", "编辑框_添加PPPOE帐号_密码=p w",
        "编辑框_添加PPPOE帐号_MAC=00-0C-29-00-00-01", "--check", "选择框_添加PPPOE帐号_绑定MAC"},
       0,
       "/ ppp secret add name=\"u1\" password=\"p w\" service=pppoe caller-id=00-0C-29-00-00-01 profile=PPPoE_Profile",
       ""},
      {"zero MAC refused",
       {"run", "pppoe-accounts", "按钮_tcp_自定义脚本生成2x16", "--check", "选择框_添加PPPOE帐号_绑定MAC"},
       1,
       "",
       "[信息：] 绑定的MAC不能为:00-00-00-00-00\n"},
      {"empty MAC refused",
       {"run", "24", "single-2x", "编辑框_添加PPPOE帐号_MAC=", "--check", "选择框_添加PPPOE帐号_绑定MAC"},
       1,
       "",
       "[信息：] 绑定的MAC不能为不能为空!\n"},
      {"no accounts",
       {"run", "24", "batch-3x", "编辑框_添加PPPOE帐号_每次生成=abc", "--uncheck", kNoExport},
       0,
       "",
       ""},
      {"oversized batch refused",
       {"run", "24", "batch-2x", "编辑框_添加PPPOE帐号_每次生成=1e9", "--uncheck", kNoExport},
       1,
       "",
       "[信息：] 生成的脚本超过16MB,请减少帐号数量或随机帐号、密码的长度!\n"},
      {"ddns sign-up", {"run", "25", "signup"}, 0, "", "[open] https://rosgen.example.org/signup.asp?\n"},
  };
  for (const auto& c : cases) {
    Result r = rosgen(c.args);
    EXPECT_EQ(r.code, c.code) << c.name << "\n" << r.err;
    EXPECT_EQ(r.out, c.out) << c.name;
    EXPECT_EQ(without_warnings(r.err), c.err) << c.name;
  }

  // The DDNS scripts: values trimmed, trailing blanks kept, no line end after the last line.
  Result d3 = rosgen({"run", "ddns", "按钮_DDNS_生成3x", "编辑框_DDNS_外网网卡= ether1 "});
  EXPECT_EQ(d3.code, 0);
  EXPECT_NE(d3.out.find("\r\n:global ddnsinterface \"ether1\"\r\n"), std::string::npos) << d3.out;
  EXPECT_TRUE(d3.out.ends_with("\r\n} else={ \r\n:log info \"DDNS: No update required.\"\r\n}\r\n}"));
  EXPECT_EQ(std::count(d3.out.begin(), d3.out.end(), '\n'), 22);
  Result d = rosgen({"run", "ddns", "gen-2x"});
  EXPECT_EQ(d.code, 0);
  EXPECT_TRUE(d.out.starts_with(":log info \"DDNS: Begin\"\r\n:global ddns-user \"username\"\r\n")) << d.out;
  EXPECT_NE(d.out.find("\r\n:if ($ddns-ip != $ddns-lastip) do={ \r\n"), std::string::npos);
  EXPECT_TRUE(d.out.ends_with("\r\n}\r\n}\r\n:log info \"DDNS: End\""));
}

TEST(AccountsCli, BatchAdjustsAndKeepsTheShape) {
  Result r = rosgen({"run", "24", "batch-2x", "编辑框_添加PPPOE帐号_每次生成=3", "--uncheck",
                     "选择框_添加PPPOE帐号_数字", "--uncheck", "选择框_添加PPPOE帐号_英文", "--uncheck",
                     "选择框_添加PPPOE帐号_帐号后缀", "--uncheck", kNoExport});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "[信息：] 必须选择帐号和密码各一项!\\n否则无法生成!!\n");
  const std::regex batch(
      "(/ ppp secret add name=\"KETROVA5[A-Z]{6}\" password=\"[0-9A-Z]{8}\" service=pppoe "
      "profile=PPPoE_Profile\r\n){3}");
  EXPECT_TRUE(std::regex_match(r.out, batch)) << r.out;
}

// A copy of the program in a fresh folder, so its log lands where the test
// can read it, and XDG_DATA_HOME pointed at that folder too.
class AccountsLogExport : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("rosgen-accounts-" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "program");
    program = root / "program" / "rosgen";
    std::error_code ec;
    fs::create_hard_link(ROSGEN_BIN, program, ec);
    if (ec) fs::copy_file(ROSGEN_BIN, program);
    if (const char* old = std::getenv("XDG_DATA_HOME")) saved = old;
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
  }
  void TearDown() override {
    if (saved) {
      setenv("XDG_DATA_HOME", saved->c_str(), 1);
    } else {
      unsetenv("XDG_DATA_HOME");
    }
    fs::remove_all(root);
  }

  // Two batches as GBK bytes; both must end up in the log.
  std::pair<Result, Result> two_batches() {
    Result a = rosgen({"run", "24", "batch-2x", "编辑框_添加PPPOE帐号_每次生成=2", "--encoding", "gbk"}, program);
    Result b = rosgen({"run", "24", "batch-3x", "编辑框_添加PPPOE帐号_每次生成=3", "--encoding", "gbk"}, program);
    return {a, b};
  }

  fs::path root;
  fs::path program;
  std::optional<std::string> saved;
};

TEST_F(AccountsLogExport, BesideTheProgram) {
  auto [a, b] = two_batches();
  ASSERT_EQ(a.code, 0) << a.err;
  ASSERT_EQ(b.code, 0) << b.err;
  EXPECT_EQ(a.err + b.err, "");
  EXPECT_EQ(std::count(a.out.begin(), a.out.end(), '\n'), 2);
  EXPECT_EQ(std::count(b.out.begin(), b.out.end(), '\n'), 3);
  EXPECT_EQ(read_all(root / "program" / "log" / "log.TXT"), a.out + b.out);
  EXPECT_FALSE(fs::exists(root / "data"));
  // Off: nothing more is written.
  Result off = rosgen({"run", "24", "batch-2x", "--uncheck", kNoExport}, program);
  EXPECT_EQ(off.code, 0);
  EXPECT_EQ(read_all(root / "program" / "log" / "log.TXT"), a.out + b.out);
}

TEST_F(AccountsLogExport, PerUserFolderWhenTheProgramFolderRefuses) {
  // A file where the log folder should be: the program folder cannot take the log.
  std::ofstream(root / "program" / "log") << "not a folder";
  auto [a, b] = two_batches();
  ASSERT_EQ(a.code, 0) << a.err;
  EXPECT_EQ(a.err + b.err, "");
  EXPECT_EQ(read_all(root / "data" / "rosgen" / "log" / "log.TXT"), a.out + b.out);
}

TEST_F(AccountsLogExport, SilentWhenNothingCanBeWritten) {
  std::ofstream(root / "program" / "log") << "not a folder";
  std::ofstream(root / "data") << "not a folder either";
  auto [a, b] = two_batches();
  EXPECT_EQ(a.code, 0);
  EXPECT_EQ(b.code, 0);
  EXPECT_EQ(a.err + b.err, "");
  EXPECT_EQ(std::count(b.out.begin(), b.out.end(), '\n'), 3);
}

}  // namespace
}  // namespace rosgen::test
