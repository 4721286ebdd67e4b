// Tab 3: renaming the router, backups by name or date, a clean-up of closed
// connections and one-command buttons for inspecting and restarting it.
#include <string>

#include "pages/builders.h"
#include "pages/ros7.h"
#include "script/form.h"
#include "script/product.h"
#include "script/text.h"

namespace rosgen {
namespace {

constexpr const char* kBackupName = "编辑框_备份名称";

// Year, month and day without leading zeros or separators: 5 March 2010 is 201035.
Gbk date_text(const Date& d) { return number_text(d.year) + number_text(d.month) + number_text(d.day); }

Outcome rename(Ctx& c) {
  c.write("/ system identity set name=\""_a + c.trimmed("编辑框_修改ROS计算机名") + "\""_a);
  return Outcome::Done;
}

Outcome rename_7x(Ctx& c) {
  c.write("/system identity set name="_a + quoted7(c.trimmed("编辑框_修改ROS计算机名")));
  return Outcome::Done;
}

Gbk backup_script(Ctx& c, const Gbk& name) {
  Gbk s;
  if (c.checked("选择框_备份_是否删除")) s += "/ file remove "_a + name + ".backup\r\n"_a;
  s += "/ system backup save name="_a + name;
  return s;
}

// RouterOS 7 removes the old file only when it is there, so a first backup does
// not stop the script.
Gbk backup_script_7x(Ctx& c, const Gbk& name) {
  Gbk s;
  if (c.checked("选择框_备份_是否删除")) s += "/file remove [find name="_a + quoted7(name + ".backup"_a) + "]\r\n"_a;
  s += "/system backup save name="_a + word7(name);
  return s;
}

Outcome backup_by_name(Ctx& c) {
  c.write(backup_script(c, c.trimmed(kBackupName)));
  return Outcome::Done;
}

Outcome backup_by_date(Ctx& c) {
  c.write(backup_script(c, date_text(c.env.today())));
  return Outcome::Done;
}

Outcome backup_by_name_7x(Ctx& c) {
  c.write(backup_script_7x(c, c.trimmed(kBackupName)));
  return Outcome::Done;
}

// RouterOS 7 names the file by the ISO date, which cannot be read two ways.
Outcome backup_by_date_7x(Ctx& c) {
  c.write(backup_script_7x(c, iso_date7(c.env.today())));
  return Outcome::Done;
}

Outcome restore_by_name(Ctx& c) {
  c.write("system backup load name="_a + c.trimmed(kBackupName));
  return Outcome::Done;
}

Outcome restore_by_name_7x(Ctx& c) {
  c.write("/system backup load name="_a + word7(c.trimmed(kBackupName)));
  return Outcome::Done;
}

// The date is asked for with today's as example; a cancel leaves the name empty.
Gbk ask_backup_date(Ctx& c, const Gbk& today) {
  std::optional<Gbk> answer = c.env.input_box("请输入您备份时的日期\r\n格式为:年月日\r\n例如:" + to_utf8(today),
                                              std::string("请输入日期 ") + product::kWebSite, today);
  return answer.value_or(Gbk());
}

Outcome restore_by_date(Ctx& c) {
  c.write("system backup load name="_a + ask_backup_date(c, date_text(c.env.today())));
  return Outcome::Done;
}

Outcome restore_by_date_7x(Ctx& c) {
  c.write("/system backup load name="_a + word7(ask_backup_date(c, iso_date7(c.env.today()))));
  return Outcome::Done;
}

Outcome close_cleanup_3x(Ctx& c) {
  c.write(
      "/ system scheduler add name=\"del_close\" on-event=\"/ip firewall connection remove "
      "[/ip firewall connection find tcp-state=close]\" start-date=jan/01/1970 start-time=00:00:00 "
      "interval=1m comment=\"\" disabled=no"_a);
  return Outcome::Done;
}

Outcome close_cleanup_7x(Ctx& c) {
  c.write(
      "/system scheduler remove [find name=del_close]\r\n"
      "/system scheduler add name=del_close on-event=\"/ip firewall connection remove "
      "[/ip firewall connection find tcp-state=close]\" start-date=1970-01-01 start-time=00:00:00 "
      "interval=1m comment=\"\" disabled=no"_a);
  return Outcome::Done;
}

// 2.9.x takes the entry in the layout of its own export: escaped brackets, continued lines.
Outcome close_cleanup_2x(Ctx& c) {
  Gbk s;
  s += "/ system scheduler add name=\"del_close\" on-event=\"/ip firewall connection remove \\[/ip \\\r\n"_a;
  s += "    firewall connection find tcp-state=close\\]\" start-date=jan/01/1970 \\\r\n"_a;
  s += "    start-time=00:00:00 interval=1m comment=\"\" disabled=no"_a;
  c.write(std::move(s));
  return Outcome::Done;
}

Handler writes(Ascii text) {
  return [text](Ctx& c) {
    c.write(text);
    return Outcome::Done;
  };
}

// A one-command button and, right after it, its RouterOS 7 sibling.
Row command(const char* id, const char* designer, const char* caption, Ascii text, Ascii text7) {
  return row({
      button(id, designer, caption, writes(text)),
      button7(std::string(id) + "-7x", std::string("7.X") + caption, writes(text7)),
  });
}

}  // namespace

void build_system_tools(Page& page) {
  page.caption = "系统其它优化及设置脚本生成";
  page.items = {
      group("修改ROS计算机名",
            {row({
                below(edit({"编辑框_修改ROS计算机名", "router-name"}, "新计算机名:", v::text("ketrova5RouterOS"),
                           "(不支持中文输入,如想设置为中文可以winbox下手动设置)")),
                button("rename", "按钮_修改ROS计算机名", "2.9.X/3.X通用系列脚本生成", rename),
                button7("rename-7x", "7.X系列脚本生成", rename_7x),
            })}),
      group(
          "备份/还原系统设置",
          {
              row({
                  edit({kBackupName, "backup-name"}, "备份名称:", v::name("ketrova5Bak"),
                       "(不支持中文输入,完成后可以在FTP上看到相应文件)"),
                  check({"选择框_备份_是否删除", "replace-backup"}, "备份时删除与此次备份名称重复的备份文件", true),
              }),
              row({
                  group(
                      "备份脚本生成(2.9.X/3.X系列通用脚本)",
                      {
                          row({
                              button("backup-by-name", "按钮_备份_为备份名称", "备份文件名为备份名称", backup_by_name),
                              button7("backup-by-name-7x", "7.X备份文件名为备份名称", backup_by_name_7x),
                          }),
                          row({
                              button("backup-by-date", "按钮_备份_为日期", "备份文件名为日期", backup_by_date),
                              button7("backup-by-date-7x", "7.X备份文件名为日期", backup_by_date_7x),
                          }),
                      }),
                  group(
                      "还原脚本生成(2.9.X/3.X系列通用脚本)",
                      {
                          row({
                              button("restore-by-name", "按钮_备份_还原_备份名称", "还原文件名为备份名称",
                                     restore_by_name),
                              button7("restore-by-name-7x", "7.X还原文件名为备份名称", restore_by_name_7x),
                          }),
                          row({
                              button("restore-by-date", "按钮_备份_还原_备份日期", "还原文件名为日期", restore_by_date),
                              button7("restore-by-date-7x", "7.X还原文件名为日期", restore_by_date_7x),
                          }),
                      }),
              }),
          }),
      group("自动删除close连接提升系统资源",
            {row({
                button("close-2x", "按钮_删除_2xclose", "2.9.X系列脚本生成", close_cleanup_2x),
                button("close-3x", "按钮_删除_3xclose", "3.X系列脚本生成", close_cleanup_3x),
                button7("close-7x", "7.X系列脚本生成", close_cleanup_7x),
            })}),
      // The inspection buttons, each followed by its RouterOS 7 sibling, as many pairs to a line as fit.
      group("其它2.9.x/3.x通用系列脚本生成",
            {
                flow({
                    command("monitor", "按钮_其它_监控cpu", "监控CPU及内存使用情况", "/ system resource monitor"_a,
                            "/system resource monitor"_a),
                    command("connections", "按钮_其它_查看网络连接", "查看当前所有网络连接",
                            "/ ip firewall connection print"_a, "/ip firewall connection print"_a),
                    command("reboot", "按钮_其它_路由重启", "路由重启脚本", "/ system reboot"_a, "/system reboot"_a),
                    command("shutdown", "按钮_其它_路由关机", "路由关机脚本", "/ system shutdown"_a,
                            "/system shutdown"_a),
                    command("reset", "按钮_其它_恢复默认安装", "ROS恢复安装默认(初始化脚本)", "/  system reset"_a,
                            "/system reset-configuration"_a),
                    command("clock", "按钮_其它_查看系统时间", "查看系统时间", "/ system clock print"_a,
                            "/system clock print"_a),
                    command("resource", "按钮_其它_查看系统常规信息", "查看系统常规信息", "/ system resource print"_a,
                            "/system resource print"_a),
                    command("pci", "按钮_其它_查看pci", "查看系统PCI信息", "/ system resource pci print"_a,
                            "/system resource hardware print"_a),
                    command("license", "按钮_映射_固定生成2x14", "查看ROS版本等级许可", "/ system license print"_a,
                            "/system license print"_a),
                    command("packages", "按钮_其它_查看系统组件包安装情况", "查看系统组件包安装情况",
                            "/ system package print"_a, "/system package print"_a),
                    command("users", "按钮_其它_查看系统管理员列表", "查看系统管理员列表", "/ user print"_a,
                            "/user print"_a),
                    command("log", "按钮_其它_查看系统日志", "查看系统日志", "/ log print"_a, "/log print"_a),
                    command("addresses", "按钮_映射_固定生成2x13", "查看IP配置情况", "/ ip address print"_a,
                            "/ip address print"_a),
                    command("interfaces", "按钮_其它_查看网卡情况", "查看网卡情况", "/ interface print"_a,
                            "/interface print"_a),
                    command("routes", "按钮_其它_查看网关配置情况", "查看网关配置情况", "/ ip route print"_a,
                            "/ip route print"_a),
                    command("firewall", "按钮_其它_查看防火墙配置情况", "查看防火墙配置情况",
                            "/ ip firewall filter print"_a, "/ip firewall filter print"_a),
                }),
            }),
  };
}

}  // namespace rosgen
