// Tab 24: PPPoE accounts, one by hand or in random batches.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <regex>

#include "support.h"

namespace rosgen::test {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

constexpr const char* kA = "选择框_添加PPPOE帐号_数字";
constexpr const char* kB = "选择框_添加PPPOE帐号_英文";
constexpr const char* kC = "选择框_添加PPPOE密码_数字一";
constexpr const char* kD = "选择框_添加PPPOE密码_英文一";
constexpr const char* kE = "选择框_添加PPPOE帐号_密码帐号一致";
constexpr const char* kExport = "选择框_添加PPPOE帐号_是否导出";
constexpr const char* kAD = "编辑框_添加PPPOE帐号_帐号数字";
constexpr const char* kAL = "编辑框_添加PPPOE帐号_帐号英文";
constexpr const char* kPD = "编辑框_添加PPPOE帐号_密码数字";
constexpr const char* kPL = "编辑框_添加PPPOE帐号_密码英文";
constexpr const char* kLA = "编辑框_添加PPPOE帐号_随机帐号长度";
constexpr const char* kLP = "编辑框_添加PPPOE帐号_随机密码长度";
constexpr const char* kN = "编辑框_添加PPPOE帐号_每次生成";
constexpr const char* kLog = "/opt/rosgen/log/log.TXT";
constexpr const char* kUserLog = "/home/user/.local/share/rosgen/log/log.TXT";

const Shown kChooseBoth{"信息：", "必须选择帐号和密码各一项!\r\n否则无法生成!!"};

std::string secret(const std::string& name, const std::string& password, const std::string& profile = "PPPoE_Profile") {
  return "/ ppp secret add name=\"" + name + "\" password=\"" + password + "\" service=pppoe profile=" + profile +
         "\r\n";
}

std::array<bool, 4> switches(const Session& s) {
  return {s.form->checked(kA), s.form->checked(kB), s.form->checked(kC), s.form->checked(kD)};
}

TEST(PppoeAccounts, SingleAccount) {
  const std::string head = "/ ppp secret add name=\"KETROVA5\" password=\"pass12345678\" service=pppoe";
  struct Case {
    const char* name;
    Values values;
    bool bind;
    Outcome outcome;
    std::string expected;  // the output box; "old" when untouched
    std::vector<Shown> messages;
  } cases[] = {
      {"defaults, box off", {}, false, Outcome::Done, head + " profile=PPPoE_Profile", {}},
      {"box off: an empty MAC is not checked",
       {{"编辑框_添加PPPOE帐号_MAC", ""}},
       false,
       Outcome::Done,
       head + " profile=PPPoE_Profile",
       {}},
      {"bound MAC, trimmed",
       {{"编辑框_添加PPPOE帐号_MAC", " 00-11-22-33-44-55　"}},
       true,
       Outcome::Done,
       head + " caller-id=00-11-22-33-44-55 profile=PPPoE_Profile",
       {}},
      {"blanks pass the untrimmed check and give an empty caller id",
       {{"编辑框_添加PPPOE帐号_MAC", "   "}},
       true,
       Outcome::Done,
       head + " caller-id= profile=PPPoE_Profile",
       {}},
      {"the zero MAC with a blank passes the untrimmed check",
       {{"编辑框_添加PPPOE帐号_MAC", "00-00-00-00-00 "}},
       true,
       Outcome::Done,
       head + " caller-id=00-00-00-00-00 profile=PPPoE_Profile",
       {}},
      {"empty MAC refused",
       {{"编辑框_添加PPPOE帐号_MAC", ""}},
       true,
       Outcome::Refused,
       "old",
       {{"信息：", "绑定的MAC不能为不能为空!"}}},
      {"default MAC refused", {}, true, Outcome::Refused, "old", {{"信息：", "绑定的MAC不能为:00-00-00-00-00"}}},
      {"fields trimmed, quotes kept",
       {{"编辑框_添加PPPOE帐号_用户名", "　a\"b "},
        {"编辑框_添加PPPOE帐号_密码", " p w "},
        {"编辑框_添加PPPOE帐号_模板标识", " 默认 "}},
       false,
       Outcome::Done,
       "/ ppp secret add name=\"a\"b\" password=\"p w\" service=pppoe profile=默认",
       {}},
  };
  for (const auto& c : cases) {
    for (const char* button : {"single-2x", "按钮_tcp_自定义脚本生成2x15"}) {
      Session s("pppoe-accounts");
      s.set_output("old");
      std::vector<std::string> check;
      if (c.bind) check.push_back("选择框_添加PPPOE帐号_绑定MAC");
      EXPECT_EQ(s.press(button, c.values, check), c.outcome) << c.name << " / " << button;
      EXPECT_EQ(s.output(), c.expected) << c.name << " / " << button;
      EXPECT_EQ(s.env.messages, c.messages) << c.name << " / " << button;
      EXPECT_TRUE(s.env.files.empty()) << c.name;
    }
  }
}

// Exact batches from a fixed random sequence: which lists are used, in which
// order, how the boxes are adjusted, and how lists are split.
TEST(PppoeAccounts, BatchFromFixedSequence) {
  // Small lists so every pick is visible: account alphabet digits then letters.
  const Values small = {{kAD, "1,2"}, {kAL, "X,Y"}, {kPD, "7,8"}, {kPL, "P,Q"}, {kLA, "2"}, {kLP, "3"}, {kN, "2"}};
  auto with = [&](Values extra) {
    Values v = small;
    v.insert(v.end(), extra.begin(), extra.end());
    return v;
  };
  struct Case {
    const char* name;
    Values values;
    std::vector<std::string> uncheck;  // of the five switches and the two affix boxes
    std::vector<std::string> check;
    std::vector<std::uint32_t> randoms;
    std::string expected;
    bool adjusted;              // the "choose both" message was shown
    std::array<bool, 4> after;  // A, B, C, D after the press
  } cases[] = {
      {"all lists on: digits before letters",
       small,
       {},
       {},
       {0, 3, 1, 2, 3, 2, 1, 0, 0, 1},
       secret("KETROVA51Y@example.net", "8PQ") + secret("KETROVA5X2@example.net", "778"),
       false,
       {true, true, true, true}},
      {"all five off: letters both sides",
       small,
       {kA, kB, kC, kD},
       {},
       {0, 1, 1, 0, 1},
       secret("KETROVA5XY@example.net", "QPQ") + secret("KETROVA5XY@example.net", "QPQ"),
       true,
       {false, true, false, true}},
      {"only account digits: password digits ticked",
       small,
       {kB, kC, kD},
       {},
       {0, 1, 1, 0, 1},
       secret("KETROVA512@example.net", "878") + secret("KETROVA512@example.net", "878"),
       true,
       {true, false, true, false}},
      {"only account letters",
       small,
       {kA, kC, kD},
       {},
       {1, 0, 0, 0, 1},
       secret("KETROVA5YX@example.net", "PPQ") + secret("KETROVA5YX@example.net", "PPQ"),
       true,
       {false, true, false, true}},
      {"both account lists, no password list: letters ticked",
       small,
       {kC, kD},
       {},
       {0, 3, 1, 0, 1},
       secret("KETROVA51Y@example.net", "QPQ") + secret("KETROVA51Y@example.net", "QPQ"),
       true,
       {true, true, false, true}},
      {"both password lists, no account list",
       small,
       {kA, kB},
       {},
       {1, 0, 3, 2, 1},
       secret("KETROVA5YX@example.net", "QP8") + secret("KETROVA5YX@example.net", "QP8"),
       true,
       {false, true, true, true}},
      {"only password letters",
       small,
       {kA, kB, kC},
       {},
       {1, 0, 0, 1, 1},
       secret("KETROVA5YX@example.net", "PQQ") + secret("KETROVA5YX@example.net", "PQQ"),
       true,
       {false, true, false, true}},
      {"only password digits: digits then the ticked letters",
       small,
       {kA, kB, kD},
       {},
       {0, 1, 3, 2, 1},
       secret("KETROVA5XY@example.net", "QP8") + secret("KETROVA5XY@example.net", "QP8"),
       true,
       {false, true, true, true}},
      {"account letters and password digits need no adjustment",
       small,
       {kA, kD},
       {},
       {1, 0, 1, 0, 1},
       secret("KETROVA5YX@example.net", "878") + secret("KETROVA5YX@example.net", "878"),
       false,
       {false, true, true, false}},
      {"password like account: all ticked, account length, drawn on its own",
       with({{kLP, "5"}}),
       {kA, kB, kC, kD},
       {kE},
       {0, 3, 1, 2},
       secret("KETROVA51Y@example.net", "8P") + secret("KETROVA51Y@example.net", "8P"),
       false,
       {true, true, true, true}},
      {"empty element shortens the random part",
       with({{kAD, "1,,2"}, {kN, "1"}}),
       {kB},
       {},
       {1, 2, 0, 0, 0},
       secret("KETROVA52@example.net", "777"),
       false,
       {true, false, true, true}},
      {"blanks after commas stay; the list as a whole is trimmed",
       with({{kAD, " 0, 1 "}, {kPD, "9, 8 "}, {kN, "1"}}),
       {kB, kD},
       {},
       {1, 1, 0, 1, 1},
       secret("KETROVA5 1 1@example.net", "9 8 8"),
       false,
       {true, false, true, false}},
      {"leading comma is an element, trailing comma is not",
       with({{kAD, ",5,"}, {kPD, "6,"}, {kN, "1"}}),
       {kB, kD},
       {},
       {1, 4, 1, 1, 1},
       secret("KETROVA55@example.net", "666"),
       false,
       {true, false, true, false}},
      {"elements are copied whole",
       with({{kAL, "ab,中文"}, {kN, "1"}}),
       {kA},
       {},
       {1, 0, 0, 0, 0},
       secret("KETROVA5中文ab@example.net", "777"),
       false,
       {false, true, true, true}},
      {"an empty list gives an empty part and draws nothing",
       with({{kAD, "  "}, {kN, "1"}}),
       {kB, kD},
       {},
       {1, 0, 1},
       secret("KETROVA5@example.net", "878"),
       false,
       {true, false, true, false}},
      {"prefix and suffix off",
       with({{kN, "1"}}),
       {"选择框_添加PPPOE帐号_帐号前秦", "选择框_添加PPPOE帐号_帐号后缀"},
       {},
       {2, 3, 0, 0, 0},
       secret("XY", "777"),
       false,
       {true, true, true, true}},
      {"prefix, suffix and profile trimmed",
       with({{"编辑框_添加PPPOE帐号_帐号前秦", " pre　"},
             {"编辑框_添加PPPOE帐号_帐号后缀", "　@isp.cn "},
             {"编辑框_添加PPPOE帐号_模板标识二", " gold "},
             {kN, "1"}}),
       {},
       {},
       {0, 0, 0, 0, 0},
       secret("pre11@isp.cn", "777", "gold"),
       false,
       {true, true, true, true}},
      {"numbers lose their fraction; full-width digits count",
       with({{kN, "１.9"}, {kLA, " 1.9"}, {kLP, "2.99"}}),
       {},
       {},
       {3, 1, 2},
       secret("KETROVA5Y@example.net", "8P"),
       false,
       {true, true, true, true}},
      {"negative lengths give empty parts",
       with({{kLA, "-2"}, {kLP, "-1"}, {kN, "1"}}),
       {},
       {},
       {},
       secret("KETROVA5@example.net", ""),
       false,
       {true, true, true, true}},
  };
  for (const auto& c : cases) {
    for (const char* button : {"batch-2x", "按钮_添加PPPOE帐号_自定义脚本生成3x"}) {
      Session s("pppoe-accounts");
      s.set_output("old");
      s.env.randoms = c.randoms;
      EXPECT_EQ(s.press(button, c.values, c.check, c.uncheck), Outcome::Done) << c.name;
      EXPECT_EQ(s.output(), c.expected) << c.name << " / " << button;
      EXPECT_EQ(s.env.messages, c.adjusted ? std::vector<Shown>{kChooseBoth} : std::vector<Shown>{}) << c.name;
      EXPECT_EQ(switches(s), c.after) << c.name;
      // The export (on by default) holds exactly this press.
      EXPECT_EQ(s.env.files[kLog], to_gbk(c.expected).bytes()) << c.name;
    }
  }
}

TEST(PppoeAccounts, BatchShape) {
  const std::string alnum = "[0-9A-Z]";
  struct Case {
    const char* name;
    std::vector<std::string> check;
    std::vector<std::string> uncheck;
    std::string pattern;
  } cases[] = {
      {"defaults", {}, {}, "KETROVA5" + alnum + "{6}@example\\.net\" password=\"" + alnum + "{8}"},
      {"password like account has the account length",
       {kE},
       {},
       "KETROVA5" + alnum + "{6}@example\\.net\" password=\"" + alnum + "{6}"},
      {"all off: letters only", {}, {kA, kB, kC, kD}, "KETROVA5[A-Z]{6}@example\\.net\" password=\"[A-Z]{8}"},
      {"account letters, password digits", {}, {kA, kD}, "KETROVA5[A-Z]{6}@example\\.net\" password=\"[0-9]{8}"},
  };
  for (const auto& c : cases) {
    Session s("pppoe-accounts");
    ASSERT_EQ(s.press("batch-3x", {}, c.check, c.uncheck), Outcome::Done);
    const std::regex line("/ ppp secret add name=\"" + c.pattern + "\" service=pppoe profile=PPPoE_Profile\r\n");
    std::string out = s.output();
    std::vector<std::string> accounts;
    for (std::sregex_iterator it(out.begin(), out.end(), line), end; it != end; ++it) {
      EXPECT_EQ(it->position(), static_cast<long>(accounts.size() * it->length())) << c.name;
      accounts.push_back(it->str());
    }
    EXPECT_EQ(accounts.size(), 10u) << c.name << "\n" << out;
    EXPECT_EQ(accounts.size() * (accounts.empty() ? 0 : accounts[0].size()), out.size()) << c.name;
  }
}

TEST(PppoeAccounts, BatchCountsThatGiveNothing) {
  for (const char* count : {"0", "abc", "-3", "", "　"}) {
    Session s("pppoe-accounts");
    s.set_output("old");
    EXPECT_EQ(s.press("batch-2x", {{kN, count}}), Outcome::Done) << count;
    EXPECT_EQ(s.output(), "") << count;
    EXPECT_TRUE(s.env.files.empty()) << "no lines, nothing written: " << count;
    EXPECT_TRUE(s.env.messages.empty()) << count;
  }
}

TEST(PppoeAccounts, ExportAppendsEveryBatch) {
  struct Case {
    const char* name;
    std::vector<std::string> unwritable;
    bool export_on;
    const char* file;  // where both batches end up; null for nowhere
  } cases[] = {
      {"beside the program", {}, true, kLog},
      {"program folder refused: per-user folder", {"/opt/rosgen"}, true, kUserLog},
      {"both refused: silently nowhere", {"/opt/rosgen", "/home/user"}, true, nullptr},
      {"export off", {}, false, nullptr},
  };
  for (const auto& c : cases) {
    Session s("pppoe-accounts");
    s.env.unwritable = c.unwritable;
    s.env.files[kLog] = "earlier\r\n";  // never truncated
    std::vector<std::string> uncheck;
    if (!c.export_on) uncheck.push_back(kExport);
    ASSERT_EQ(s.press("batch-2x", {{kN, "2"}}, {}, uncheck), Outcome::Done) << c.name;
    std::string first = s.form->output().bytes();
    ASSERT_EQ(s.press("batch-3x", {{kN, "3"}}, {}, uncheck), Outcome::Done) << c.name;
    std::string second = s.form->output().bytes();
    EXPECT_NE(first, second);
    EXPECT_EQ(std::count(second.begin(), second.end(), '\n'), 3) << "the box holds only the last batch";
    EXPECT_TRUE(s.env.messages.empty()) << c.name;

    std::map<std::string, std::string> expected{{kLog, "earlier\r\n"}};
    if (c.file) expected[c.file] += first + second;
    EXPECT_EQ(s.env.files, expected) << c.name;
  }
}

TEST(PppoeAccounts, OversizedBatchRefusedUntouched) {
  struct Case {
    const char* name;
    Values values;
  } cases[] = {
      {"a billion accounts", {{kN, "1e9"}}},
      {"huge account length", {{kLA, "99999999"}}},
      {"huge password length", {{kLP, "2147483647"}}},
      {"many picks of empty elements", {{kAD, ","}, {kLA, "20000000"}, {kN, "1"}}},
      {"long elements", {{kAD, std::string(65536, 'L')}, {kN, "50"}}},
  };
  for (const auto& c : cases) {
    Session s("pppoe-accounts");
    s.set_output("old");
    EXPECT_EQ(s.press("batch-2x", c.values, {}, {kB, kC, kD}), Outcome::Refused) << c.name;
    EXPECT_EQ(s.output(), "old") << c.name;
    ASSERT_EQ(s.env.messages.size(), 1u) << c.name;
    EXPECT_EQ(s.env.messages[0].text, "生成的脚本超过16MB,请减少帐号数量或随机帐号、密码的长度!");
    EXPECT_EQ(switches(s), (std::array<bool, 4>{true, false, false, false})) << "no box ticked: " << c.name;
    EXPECT_TRUE(s.env.files.empty()) << c.name;
  }
  // Long lengths over an empty list draw nothing and finish at once.
  Session s("pppoe-accounts");
  EXPECT_EQ(s.press("batch-2x", {{kAD, ""}, {kLA, "2000000000"}, {kN, "2"}}, {}, {kB, kE}), Outcome::Done);
  EXPECT_EQ(s.output().rfind("/ ppp secret add name=\"KETROVA5@example.net\" password=\"", 0), 0u);
}

// A front end that shows less holds batches to its own limit, for every dialect, and says which.
TEST(PppoeAccounts, BatchHeldToTheFrontEndsLimit) {
  for (const char* button : {"batch-2x", "batch-3x", "batch-7x"}) {
    for (const auto& [count, refused] : {std::pair{"9000", false}, std::pair{"11000", true}}) {
      Session s("pppoe-accounts");
      s.env.limit = std::size_t{1} << 20;
      s.set_output("old");
      EXPECT_EQ(s.press(button, {{kN, count}}), refused ? Outcome::Refused : Outcome::Done) << button << ' ' << count;
      if (!refused) continue;
      EXPECT_EQ(s.output(), "old");
      ASSERT_EQ(s.env.messages.size(), 1u);
      EXPECT_EQ(s.env.messages[0].text, "生成的脚本超过1MB,请减少帐号数量或随机帐号、密码的长度!");
    }
  }
}

TEST(PppoeAccounts, HostileValuesNeverCrash) {
  const std::string big = "3," + std::string(64 * 1024, 'x') + ",\"'\\";
  const std::vector<std::string> hostile = {big, std::string("\x81\x20\xFF\xA1", 4), "\"; /system reset", ",,,,", "　"};
  for (const std::string& value : hostile) {
    for (const char* button : {"single-2x", "single-3x", "batch-2x", "batch-3x"}) {
      Session s("pppoe-accounts");
      walk(s.page.items, [&](const Item& item, const std::string&) {
        if (const auto* f = std::get_if<Field>(&item.v); f && f->kind == FieldKind::Edit) {
          s.form->set_text(f->id, Gbk::from_bytes(value));
        }
      });
      s.form->set_checked("选择框_添加PPPOE帐号_绑定MAC", true);
      Outcome o = s.press(button);
      EXPECT_TRUE(o == Outcome::Done || o == Outcome::Refused) << button;
      if (value == big && std::string(button).starts_with("batch")) {
        EXPECT_EQ(std::count(s.form->output().bytes().begin(), s.form->output().bytes().end(), '\n'), 3);
      }
    }
  }
}

}  // namespace
}  // namespace rosgen::test
