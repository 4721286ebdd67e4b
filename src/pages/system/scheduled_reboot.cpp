// Tab 2: scheduler entries that shut the router down or reboot it daily.
#include "pages/builders.h"
#include "script/form.h"
#include "script/text.h"

namespace rosgen {
namespace {

struct Kind {
  const char* name_field;
  const char* date_field;
  const char* interval_field;
  const char* time_field;
  Ascii event;    // piece 3
  Ascii comment;  // piece 9
};

const Kind kShutdown{"编辑框_关机_调度名称",
                     "编辑框_关机_开始日期",
                     "编辑框_关机_间隔时间",
                     "编辑框_关机_运行时间",
                     "\" on-event=\"/ system shutdown\" start-date="_a,
                     "\" comment=\"\\B6\\A8\\CA\\B1\\B9\\D8\\BB\\FA\" disabled=no"_a};
const Kind kReboot{"编辑框_重启_调度名称",
                   "编辑框_重启_开始日期",
                   "编辑框_重启_间隔时间",
                   "编辑框_重启_运行时间",
                   "\" on-event=\"/ system reboot\" start-date="_a,
                   "\" comment=\"\\B6\\A8\\CA\\B1\\D6\\D8\\C6\\F4\" disabled=no"_a};

Outcome generate(Ctx& c, const Kind& k) {
  static const Ascii kMonths[] = {"Jan"_a, "Feb"_a, "Mar"_a, "Apr"_a, "May"_a, "Jun"_a,
                                  "Jul"_a, "Aug"_a, "Sep"_a, "Oct"_a, "Nov"_a, "Dec"_a};
  Gbk start = c.trimmed(k.date_field);
  if (start.size() != 10) return c.refuse("开始日期格式不对，格式应为：\"1970/01/01\"");
  std::vector<Gbk> parts = split(start, "/"_a);
  if (parts.size() < 3) return c.refuse("开始日期格式不对,请正确输入开始日期");
  int month = truncate(to_number(parts[1]));
  Gbk month_name = (month >= 1 && month <= 12) ? Gbk(kMonths[month - 1]) : Gbk();
  Gbk date = month_name + "/"_a + parts[2] + "/"_a + parts[0];
  c.write("/ system scheduler add name=\""_a + c.trimmed(k.name_field) + k.event + date + " start-time=\""_a +
          c.trimmed(k.time_field) + "\" interval=\""_a + c.trimmed(k.interval_field) + k.comment);
  return Outcome::Done;
}

Group schedule_group(const char* caption, const Kind& k, const char* time_hint, const char* prefix,
                     const char* designer_prefix) {
  Handler run = [&k](Ctx& c) { return generate(c, k); };
  return group(
      caption,
      {
          edit(k.name_field, "调度名称:", "Timing Shutdown", "(无特殊情况可以不需要修改)"),
          edit(k.date_field, "开始日期:", "1970/01/01",
               "格式:年/月/日 如:1970/01/01 (意思就是说从什么时候开始此脚本生效,以此日期为起始日进行循环)"),
          edit(k.interval_field, "间隔时间:", "1d 00:00:00",
               "格式:天 时:分:秒 如:1d 00:00:00 (即每一天为一个循环,即每一天运行一次)"),
          edit(k.time_field, "运行时间:", "07:30:00", time_hint),
          row({
              button(std::string(prefix) + "-2x", std::string(designer_prefix) + "生成2x", "2.9.X系列脚本生成", run),
              button(std::string(prefix) + "-3x", std::string(designer_prefix) + "生成3x", "3.X系列脚本生成", run),
          }),
      });
}

}  // namespace

void build_scheduled_reboot(Page& page) {
  page.caption = "定时开关机脚本生成";
  page.items = {
      schedule_group("定时关机脚本生成", kShutdown, "格式: 时:分:秒 如:07:30:00 (每天的关机时间)", "shutdown",
                     "按钮_关机_"),
      schedule_group("定时重启脚本生成", kReboot, "格式: 时:分:秒 如:07:30:00 (每天的重启时间)", "reboot",
                     "按钮_重启_"),
  };
}

}  // namespace rosgen
