// RouterOS 7 buttons of tabs 1 to 5: router users, scheduled reboot, system
// tools and the two single-line install pages.
#include <gtest/gtest.h>

#include "routeros/model.h"
#include "support.h"

namespace rosgen::test {
namespace {

const std::string kInfo = "信息：";

struct Case {
  const char* name;
  const char* page;
  const char* button;
  std::vector<std::pair<std::string, std::string>> values;
  std::string output;   // "old" when refused
  std::string message;  // the refusal's message, empty when written
  std::vector<std::string> uncheck = {};
  std::vector<std::pair<std::string, int>> select = {};
};

void run(const Case& c, Session& s) {
  s.set_output("old");
  Press p;
  p.button = c.button;
  for (const auto& [id, v] : c.values) p.values.emplace_back(id, to_gbk(v));
  p.uncheck = c.uncheck;
  p.select = c.select;
  const Outcome outcome = s.press(p);
  EXPECT_EQ(outcome, c.message.empty() ? Outcome::Done : Outcome::Refused) << c.name;
  EXPECT_EQ(s.output(), c.output) << c.name;
  std::vector<Shown> expected;
  if (!c.message.empty()) expected.push_back({kInfo, c.message});
  EXPECT_EQ(s.env.messages, expected) << c.name;
}

TEST(Ros7System, ScriptsAndRefusals) {
  const std::string reboot =
      "/system scheduler remove [find name=\"Timing Shutdown\"]\r\n"
      "/system scheduler add name=\"Timing Shutdown\" on-event=\"/system reboot\" start-date=";
  const std::string reboot_tail =
      " start-time=07:30:00 interval=1d00:00:00 comment=\"\\B6\\A8\\CA\\B1\\D6\\D8\\C6\\F4\" disabled=no";
  const std::string bad_date = "开始日期格式不对,请正确输入开始日期";
  const Case cases[] = {
      // Router users: the 3.x checks first, then values quoted where they would split the command.
      {"user, defaults",
       "router-users",
       "gen-7x",
       {{"编辑框_系统_密码", "P"}},
       ":if ([:len [/user find name=ketrova5]] = 0) do={/user add name=ketrova5 password=P group=full "
       "address=0.0.0.0/0 comment=\"ADMIN-KETROVA5\"} else={/user set [find name=ketrova5] password=P group=full "
       "address=0.0.0.0/0 comment=\"ADMIN-KETROVA5\"}\r\n",
       "",
       {},
       {{"组合框_系统_等级", 1}}},
      {"user, quoting",
       "router-users",
       "gen-7x",
       {{"编辑框_系统_密码", " a b\"c "}, {"编辑框_系统_用户名", ""}, {"编辑框_系统_备注", "x\"$y"}},
       ":if ([:len [/user find name=\"\"]] = 0) do={/user add name=\"\" password=\"a b\\\"c\" group=read "
       "address=0.0.0.0/0 comment=\"x\\\"\\$y\"} else={/user set [find name=\"\"] password=\"a b\\\"c\" "
       "group=read address=0.0.0.0/0 comment=\"x\\\"\\$y\"}\r\n",
       "",
       {},
       {{"组合框_系统_等级", 3}}},
      {"user, password first", "router-users", "gen-7x", {}, "old", "密码不能为空!", {}, {{"组合框_系统_等级", 0}}},
      {"user, level",
       "router-users",
       "gen-7x",
       {{"编辑框_系统_密码", "x"}},
       "old",
       "请选择用户等级!!",
       {},
       {{"组合框_系统_等级", 0}}},
      // Scheduled reboot and shutdown: ISO dates, intervals as RouterOS prints them.
      {"reboot, defaults", "scheduled-reboot", "reboot-7x", {}, reboot + "1970-01-01" + reboot_tail, ""},
      {"shutdown, leap day and quoting",
       "scheduled-reboot",
       "shutdown-7x",
       {{"编辑框_关机_开始日期", "2012/02/29"},
        {"编辑框_关机_调度名称", "a\"b"},
        {"编辑框_关机_运行时间", "9:05:00"},
        {"编辑框_关机_间隔时间", " 1w 2d 12h "}},
       "/system scheduler remove [find name=\"a\\\"b\"]\r\n"
       "/system scheduler add name=\"a\\\"b\" on-event=\"/system shutdown\" start-date=2012-02-29 start-time=9:05:00 "
       "interval=1w2d12h comment=\"\\B6\\A8\\CA\\B1\\B9\\D8\\BB\\FA\" disabled=no",
       ""},
      {"reboot, 3.x length check",
       "scheduled-reboot",
       "reboot-7x",
       {{"编辑框_重启_开始日期", "2010/3/5"}},
       "old",
       "开始日期格式不对，格式应为：\"1970/01/01\""},
      {"reboot, 3.x parts check",
       "scheduled-reboot",
       "reboot-7x",
       {{"编辑框_重启_开始日期", "2010-03-05"}},
       "old",
       bad_date},
      {"reboot, month 13", "scheduled-reboot", "reboot-7x", {{"编辑框_重启_开始日期", "2010/13/05"}}, "old", bad_date},
      {"reboot, day first", "scheduled-reboot", "reboot-7x", {{"编辑框_重启_开始日期", "05/03/2010"}}, "old", bad_date},
      {"reboot, no leap day",
       "scheduled-reboot",
       "reboot-7x",
       {{"编辑框_重启_开始日期", "2100/02/29"}},
       "old",
       bad_date},
      {"reboot, time",
       "scheduled-reboot",
       "reboot-7x",
       {{"编辑框_重启_运行时间", "24:00:00"}},
       "old",
       "运行时间格式不对,格式应为:时:分:秒 如:07:30:00"},
      {"reboot, empty interval",
       "scheduled-reboot",
       "reboot-7x",
       {{"编辑框_重启_间隔时间", ""}},
       "old",
       "间隔时间格式不对,格式应为:天 时:分:秒 如:1d 00:00:00"},
      {"reboot, interval text",
       "scheduled-reboot",
       "reboot-7x",
       {{"编辑框_重启_间隔时间", "1d x"}},
       "old",
       "间隔时间格式不对,格式应为:天 时:分:秒 如:1d 00:00:00"},
      // System tools.
      {"rename",
       "system-tools",
       "rename-7x",
       {{"编辑框_修改ROS计算机名", " my \"gw\" "}},
       "/system identity set name=\"my \\\"gw\\\"\"",
       ""},
      {"backup by name",
       "system-tools",
       "backup-by-name-7x",
       {},
       "/file remove [find name=\"ketrova5Bak.backup\"]\r\n/system backup save name=ketrova5Bak",
       ""},
      {"backup by name, no removal",
       "system-tools",
       "backup-by-name-7x",
       {{"编辑框_备份名称", "a b"}},
       "/system backup save name=\"a b\"",
       "",
       {"选择框_备份_是否删除"}},
      {"backup by date",
       "system-tools",
       "backup-by-date-7x",
       {},
       "/file remove [find name=\"2010-03-05.backup\"]\r\n/system backup save name=2010-03-05",
       ""},
      {"restore by name",
       "system-tools",
       "restore-by-name-7x",
       {{"编辑框_备份名称", "[x]"}},
       "/system backup load name=\"[x]\"",
       ""},
      {"close cleanup",
       "system-tools",
       "close-7x",
       {},
       "/system scheduler remove [find name=del_close]\r\n"
       "/system scheduler add name=del_close on-event=\"/ip firewall connection remove [/ip firewall connection find "
       "tcp-state=close]\" start-date=1970-01-01 start-time=00:00:00 interval=1m comment=\"\" disabled=no",
       ""},
      {"reset moved", "system-tools", "reset-7x", {}, "/system reset-configuration", ""},
      {"pci moved", "system-tools", "pci-7x", {}, "/system resource hardware print", ""},
  };
  for (const Case& c : cases) {
    Session s(c.page);
    run(c, s);
  }
}

TEST(Ros7System, RestoreByDateAsksWithTheIsoDate) {
  for (const auto& [answer, output] : std::vector<std::pair<std::optional<std::string>, std::string>>{
           {"2010-03-05", "/system backup load name=2010-03-05"},
           {"my backup", "/system backup load name=\"my backup\""},
           {std::nullopt, "/system backup load name=\"\""},
       }) {
    Session s("system-tools");
    if (answer) s.env.answer = to_gbk(*answer);
    EXPECT_EQ(s.press("restore-by-date-7x"), Outcome::Done);
    EXPECT_EQ(s.output(), output);
    ASSERT_EQ(s.env.inputs.size(), 1u);
    EXPECT_EQ(s.env.inputs[0].prompt, "请输入您备份时的日期\r\n格式为:年月日\r\n例如:2010-03-05");
    EXPECT_EQ(to_utf8(s.env.inputs[0].initial), "2010-03-05");
  }
}

// Each RouterOS 7 button stands right after the button(s) it is the sibling of,
// and has no designer name.
TEST(Ros7System, SiblingsFollowTheirButtons) {
  for (const char* slug : {"router-users", "scheduled-reboot", "system-tools", "wan-fixed", "wan-pppoe"}) {
    const Page& page = *find_page(slug);
    std::vector<const Button*> buttons;
    walk(page.items, [&](const Item& item, const std::string&) {
      if (const auto* b = std::get_if<Button>(&item.v)) buttons.push_back(b);
    });
    int siblings = 0;
    for (size_t i = 0; i < buttons.size(); ++i) {
      const std::string& id = buttons[i]->id;
      if (id.size() < 3 || id.compare(id.size() - 3, 3, "-7x") != 0) continue;
      ++siblings;
      const std::string base = id.substr(0, id.size() - 3);
      ASSERT_GT(i, 0u) << id;
      const std::string& before = buttons[i - 1]->id;
      EXPECT_TRUE(before == base || before == base + "-3x") << slug << ": " << id << " after " << before;
      EXPECT_TRUE(buttons[i]->designer.empty()) << id;
      EXPECT_NE(buttons[i]->caption.find("7.X"), std::string::npos) << id;
    }
    EXPECT_GT(siblings, 0) << slug;
  }
}

// Every RouterOS 7 button of the system pages, on a filled-in form, run on a router with the
// default configuration: no run-time error and no rule of meaning raised.
TEST(Ros7System, DefaultConfigurationRaisesNothing) {
  for (const char* slug : {"router-users", "scheduled-reboot", "system-tools"}) {
    walk(find_page(slug)->items, [&](const Item& item, const std::string&) {
      const auto* b = std::get_if<Button>(&item.v);
      if (!b || !b->id.ends_with("-7x")) return;
      Session s(slug);
      s.env.answer = to_gbk("2010-03-05");
      Press p;
      p.button = b->id;
      if (std::string(slug) == "router-users") {
        p.values = {{"编辑框_系统_密码", to_gbk("secret")}};
        p.select = {{"组合框_系统_等级", 2}};
      }
      ASSERT_EQ(s.press(p), Outcome::Done) << slug << " " << b->id;
      std::string found;
      for (const auto& f : ros7::check_meaning(s.output(), ros7::Base::Defconf)) {
        found += std::to_string(f.line) + ":" + std::to_string(f.col) + " " + f.message + " [" + f.rule + "]\n";
      }
      EXPECT_EQ(found, "") << slug << " " << b->id << "\n" << s.output();
    });
  }
}

}  // namespace
}  // namespace rosgen::test
