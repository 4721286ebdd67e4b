// Tabs 1 and 2: router users and scheduled reboot/shutdown.
#include <gtest/gtest.h>

#include "support.h"

namespace rosgen::test {
namespace {

const std::string kInfo = "信息：";

TEST(RouterUsers, LevelComboStartsOnItemZero) {
  Session s("router-users");
  EXPECT_EQ(s.form->index("组合框_系统_等级"), 0);
}

TEST(RouterUsers, ChecksAndScripts) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> values;
    int level;
    Outcome outcome;
    std::string output;  // "old" when refused
    std::vector<Shown> messages;
  } cases[] = {
      {"full",
       {{"编辑框_系统_密码", "P"}},
       1,
       Outcome::Done,
       "/ user add name=ketrova5 password=P group=full address=0.0.0.0/0 comment=\"ADMIN-KETROVA5\"",
       {}},
      {"write",
       {{"编辑框_系统_密码", "x"}, {"编辑框_系统_备注", "a\"b"}},
       2,
       Outcome::Done,
       "/ user add name=ketrova5 password=x group=write address=0.0.0.0/0 comment=\"a\"b\"",
       {}},
      {"read, empties",
       {{"编辑框_系统_密码", "x"}, {"编辑框_系统_用户名", ""}, {"编辑框_系统_IP地址", " "}},
       3,
       Outcome::Done,
       "/ user add name= password=x group=read address= comment=\"ADMIN-KETROVA5\"",
       {}},
      {"blank password passes and is trimmed",
       {{"编辑框_系统_密码", "   "}},
       1,
       Outcome::Done,
       "/ user add name=ketrova5 password= group=full address=0.0.0.0/0 comment=\"ADMIN-KETROVA5\"",
       {}},
      {"Chinese comment as typed",
       {{"编辑框_系统_密码", "x"}, {"编辑框_系统_备注", "管理员"}},
       1,
       Outcome::Done,
       "/ user add name=ketrova5 password=x group=full address=0.0.0.0/0 comment=\"管理员\"",
       {}},
      {"empty password first", {}, 0, Outcome::Refused, "old", {{kInfo, "密码不能为空!"}}},
      {"empty password, level chosen", {}, 2, Outcome::Refused, "old", {{kInfo, "密码不能为空!"}}},
      {"no level", {{"编辑框_系统_密码", "x"}}, 0, Outcome::Refused, "old", {{kInfo, "请选择用户等级!!"}}},
      {"no item at all", {{"编辑框_系统_密码", "x"}}, -1, Outcome::Refused, "old", {{kInfo, "请选择用户等级!!"}}},
  };
  for (const auto& c : cases) {
    for (const char* button : {"gen-2x", "按钮_系统_3x生成"}) {
      Session s("router-users");
      s.set_output("old");
      Press p;
      p.button = button;
      for (const auto& [id, v] : c.values) p.values.emplace_back(id, to_gbk(v));
      p.select = {{"组合框_系统_等级", c.level}};
      EXPECT_EQ(s.press(p), c.outcome) << c.name;
      EXPECT_EQ(s.output(), c.output) << c.name;
      EXPECT_EQ(s.env.messages, c.messages) << c.name;
    }
  }
}

TEST(ScheduledReboot, StartDateChecksAndScripts) {
  const std::string reboot_head =
      "/ system scheduler add name=\"Timing Shutdown\" on-event=\"/ system reboot\" start-date=";
  const std::string reboot_tail =
      " start-time=\"07:30:00\" interval=\"1d 00:00:00\" comment=\"\\B6\\A8\\CA\\B1\\D6\\D8\\C6\\F4\" disabled=no";
  const std::string wrong_length = "开始日期格式不对，格式应为：\"1970/01/01\"";
  const std::string wrong_parts = "开始日期格式不对,请正确输入开始日期";
  struct Case {
    std::string date;
    Outcome outcome;
    std::string output;
    std::vector<Shown> messages;
  } cases[] = {
      {"1970/01/01", Outcome::Done, reboot_head + "Jan/01/1970" + reboot_tail, {}},
      {" 2010/03/05　", Outcome::Done, reboot_head + "Mar/05/2010" + reboot_tail, {}},
      {"05/03/2010", Outcome::Done, reboot_head + "Mar/2010/05" + reboot_tail, {}},
      {"2010/13/05", Outcome::Done, reboot_head + "/05/2010" + reboot_tail, {}},
      {"2010/12/31", Outcome::Done, reboot_head + "Dec/31/2010" + reboot_tail, {}},
      {"201/1/5/99", Outcome::Done, reboot_head + "Jan/5/201" + reboot_tail, {}},
      {"2010/3/5", Outcome::Refused, "old", {{kInfo, wrong_length}}},
      {"", Outcome::Refused, "old", {{kInfo, wrong_length}}},
      {"2010-03-05", Outcome::Refused, "old", {{kInfo, wrong_parts}}},
      {"2010/03-05", Outcome::Refused, "old", {{kInfo, wrong_parts}}},
      {"20100/3/05", Outcome::Done, reboot_head + "Mar/05/20100" + reboot_tail, {}},
      {"2010/03/0/", Outcome::Done, reboot_head + "Mar/0/2010" + reboot_tail, {}},
  };
  for (const auto& c : cases) {
    for (const char* button : {"reboot-2x", "按钮_重启_生成3x"}) {
      Session s("scheduled-reboot");
      s.set_output("old");
      EXPECT_EQ(s.press(button, {{"编辑框_重启_开始日期", c.date}}), c.outcome) << c.date;
      EXPECT_EQ(s.output(), c.output) << c.date;
      EXPECT_EQ(s.env.messages, c.messages) << c.date;
    }
  }
}

TEST(ScheduledReboot, ShutdownUsesItsOwnGroupAndLastPressWins) {
  Session s("scheduled-reboot");
  s.press("shutdown-3x", {{"编辑框_关机_调度名称", " Off "},
                          {"编辑框_关机_运行时间", "23:00:00"},
                          {"编辑框_关机_间隔时间", "7d 00:00:00"},
                          {"编辑框_重启_开始日期", "bad"}});
  EXPECT_EQ(
      s.output(),
      "/ system scheduler add name=\"Off\" on-event=\"/ system shutdown\" start-date=Jan/01/1970 "
      "start-time=\"23:00:00\" interval=\"7d 00:00:00\" comment=\"\\B6\\A8\\CA\\B1\\B9\\D8\\BB\\FA\" disabled=no");
  Session same("scheduled-reboot");
  same.press("按钮_关机_生成2x");
  same.press("reboot-2x");
  EXPECT_NE(same.output().find("/ system reboot"), std::string::npos);
  EXPECT_EQ(same.output().find("/ system shutdown"), std::string::npos);
}

}  // namespace
}  // namespace rosgen::test
