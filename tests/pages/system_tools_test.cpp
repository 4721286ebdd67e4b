// Tab 3: identity, backup and restore, closed-connection clean-up, one-command buttons.
#include <gtest/gtest.h>

#include "script/product.h"
#include "support.h"

namespace rosgen::test {
namespace {

TEST(SystemTools, NameBackupAndRestore) {
  struct Case {
    const char* name;
    const char* button;
    std::vector<std::pair<std::string, std::string>> values;
    bool remove_old;
    std::string expected;
  } cases[] = {
      {"identity", "rename", {}, true, "/ system identity set name=\"ketrova5RouterOS\""},
      {"identity trimmed, Chinese as typed",
       "按钮_修改ROS计算机名",
       {{"编辑框_修改ROS计算机名", " 路由 一 "}},
       true,
       "/ system identity set name=\"路由 一\""},
      {"identity empty", "rename", {{"编辑框_修改ROS计算机名", "　"}}, true, "/ system identity set name=\"\""},
      {"backup with removal",
       "backup-by-name",
       {},
       true,
       "/ file remove ketrova5Bak.backup\r\n/ system backup save name=ketrova5Bak"},
      {"backup without removal", "按钮_备份_为备份名称", {}, false, "/ system backup save name=ketrova5Bak"},
      {"backup name trimmed",
       "backup-by-name",
       {{"编辑框_备份名称", " daily "}},
       true,
       "/ file remove daily.backup\r\n/ system backup save name=daily"},
      {"backup empty name",
       "backup-by-name",
       {{"编辑框_备份名称", ""}},
       true,
       "/ file remove .backup\r\n/ system backup save name="},
      {"restore by name has no leading slash",
       "restore-by-name",
       {{"编辑框_备份名称", " daily "}},
       true,
       "system backup load name=daily"},
      {"restore by name ignores the removal box",
       "按钮_备份_还原_备份名称",
       {},
       false,
       "system backup load name=ketrova5Bak"},
  };
  for (const auto& c : cases) {
    Session s("system-tools");
    s.set_output("announcement");
    std::vector<std::string> check, uncheck;
    (c.remove_old ? check : uncheck).push_back("选择框_备份_是否删除");
    EXPECT_EQ(s.press(c.button, c.values, check, uncheck), Outcome::Done) << c.name;
    EXPECT_EQ(s.output(), c.expected) << c.name;
    EXPECT_TRUE(s.env.messages.empty());
    EXPECT_TRUE(s.env.inputs.empty());
  }
}

TEST(SystemTools, BackupByDate) {
  struct Case {
    Date date;
    bool remove_old;
    std::string expected;
  } cases[] = {
      {{2010, 3, 5}, false, "/ system backup save name=201035"},
      {{2010, 12, 25}, false, "/ system backup save name=20101225"},
      {{2010, 11, 1}, false, "/ system backup save name=2010111"},
      {{2010, 1, 11}, false, "/ system backup save name=2010111"},
      {{2010, 11, 1}, true, "/ file remove 2010111.backup\r\n/ system backup save name=2010111"},
      {{1999, 10, 10}, true, "/ file remove 19991010.backup\r\n/ system backup save name=19991010"},
  };
  for (const auto& c : cases) {
    Session s("system-tools");
    s.env.date = c.date;
    std::vector<std::string> check, uncheck;
    (c.remove_old ? check : uncheck).push_back("选择框_备份_是否删除");
    // The name field plays no part.
    EXPECT_EQ(s.press("按钮_备份_为日期", {{"编辑框_备份名称", "other"}}, check, uncheck), Outcome::Done);
    EXPECT_EQ(s.output(), c.expected) << c.date.year << "-" << c.date.month << "-" << c.date.day;
  }
}

TEST(SystemTools, RestoreByDateAsksWithTodayAsExample) {
  struct Case {
    const char* name;
    Date date;
    std::optional<std::string> answer;
    std::string expected;
  } cases[] = {
      {"confirmed", {2010, 11, 1}, "2010111", "system backup load name=2010111"},
      {"confirmed text is not trimmed", {2010, 3, 5}, " 201034 ", "system backup load name= 201034 "},
      {"cancelled", {2010, 3, 5}, std::nullopt, "system backup load name="},
      {"confirmed empty", {2010, 3, 5}, "", "system backup load name="},
  };
  for (const auto& c : cases) {
    Session s("system-tools");
    s.set_output("announcement");
    s.env.date = c.date;
    if (c.answer) s.env.answer = to_gbk(*c.answer);
    EXPECT_EQ(s.press("restore-by-date", {{"编辑框_备份名称", "not read"}}), Outcome::Done) << c.name;
    EXPECT_EQ(s.output(), c.expected) << c.name;
    ASSERT_EQ(s.env.inputs.size(), 1u) << c.name;
    std::string today = std::to_string(c.date.year) + std::to_string(c.date.month) + std::to_string(c.date.day);
    EXPECT_EQ(s.env.inputs[0].prompt, "请输入您备份时的日期\r\n格式为:年月日\r\n例如:" + today);
    EXPECT_EQ(s.env.inputs[0].title, std::string("请输入日期 ") + product::kWebSite);
    EXPECT_EQ(to_utf8(s.env.inputs[0].initial), today);
  }
}

TEST(SystemTools, ClosedConnectionCleanup) {
  Session s("system-tools");
  s.press("按钮_删除_3xclose");
  EXPECT_EQ(s.output(),
            "/ system scheduler add name=\"del_close\" on-event=\"/ip firewall connection remove [/ip firewall "
            "connection find tcp-state=close]\" start-date=jan/01/1970 start-time=00:00:00 interval=1m comment=\"\" "
            "disabled=no");
  s.press("close-2x");
  EXPECT_EQ(s.output(), crlf({"/ system scheduler add name=\"del_close\" on-event=\"/ip firewall connection remove "
                              "\\[/ip \\",
                              "    firewall connection find tcp-state=close\\]\" start-date=jan/01/1970 \\",
                              "    start-time=00:00:00 interval=1m comment=\"\" disabled=no"},
                             false));
}

TEST(SystemTools, OneCommandButtons) {
  struct Case {
    const char* id;
    const char* designer;
    std::string expected;
  } cases[] = {
      {"monitor", "按钮_其它_监控cpu", "/ system resource monitor"},
      {"reset", "按钮_其它_恢复默认安装", "/  system reset"},
      {"license", "按钮_映射_固定生成2x14", "/ system license print"},
      {"addresses", "按钮_映射_固定生成2x13", "/ ip address print"},
      {"connections", "按钮_其它_查看网络连接", "/ ip firewall connection print"},
      {"clock", "按钮_其它_查看系统时间", "/ system clock print"},
      {"packages", "按钮_其它_查看系统组件包安装情况", "/ system package print"},
      {"interfaces", "按钮_其它_查看网卡情况", "/ interface print"},
      {"reboot", "按钮_其它_路由重启", "/ system reboot"},
      {"resource", "按钮_其它_查看系统常规信息", "/ system resource print"},
      {"users", "按钮_其它_查看系统管理员列表", "/ user print"},
      {"routes", "按钮_其它_查看网关配置情况", "/ ip route print"},
      {"shutdown", "按钮_其它_路由关机", "/ system shutdown"},
      {"pci", "按钮_其它_查看pci", "/ system resource pci print"},
      {"log", "按钮_其它_查看系统日志", "/ log print"},
      {"firewall", "按钮_其它_查看防火墙配置情况", "/ ip firewall filter print"},
  };
  for (const auto& c : cases) {
    for (const char* name : {c.id, c.designer}) {
      Session s("system-tools");
      s.press("backup-by-name");
      EXPECT_EQ(s.press(name), Outcome::Done);
      EXPECT_EQ(s.output(), c.expected) << name;
    }
  }
}

}  // namespace
}  // namespace rosgen::test
