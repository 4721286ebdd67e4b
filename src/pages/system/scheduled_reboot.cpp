// Tab 2: scheduler entries that shut the router down or reboot it daily.
#include <string_view>

#include "pages/builders.h"
#include "pages/ros7.h"
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
  Ascii event7;   // the same command as RouterOS 7 writes it
};

const Kind kShutdown{"编辑框_关机_调度名称",
                     "编辑框_关机_开始日期",
                     "编辑框_关机_间隔时间",
                     "编辑框_关机_运行时间",
                     "\" on-event=\"/ system shutdown\" start-date="_a,
                     "\" comment=\"\\B6\\A8\\CA\\B1\\B9\\D8\\BB\\FA\" disabled=no"_a,
                     "/system shutdown"_a};
const Kind kReboot{"编辑框_重启_调度名称",
                   "编辑框_重启_开始日期",
                   "编辑框_重启_间隔时间",
                   "编辑框_重启_运行时间",
                   "\" on-event=\"/ system reboot\" start-date="_a,
                   "\" comment=\"\\B6\\A8\\CA\\B1\\D6\\D8\\C6\\F4\" disabled=no"_a,
                   "/system reboot"_a};

// Pieces 1 to 9 with the date as "Mon/dd/yyyy"; the parts are taken as typed.
Outcome write_3x(Ctx& c, const Kind& k, const std::vector<Gbk>& parts) {
  static const Ascii kMonths[] = {"Jan"_a, "Feb"_a, "Mar"_a, "Apr"_a, "May"_a, "Jun"_a,
                                  "Jul"_a, "Aug"_a, "Sep"_a, "Oct"_a, "Nov"_a, "Dec"_a};
  int month = truncate(to_number(parts[1]));
  Gbk month_name = (month >= 1 && month <= 12) ? Gbk(kMonths[month - 1]) : Gbk();
  Gbk date = month_name + "/"_a + parts[2] + "/"_a + parts[0];
  c.write("/ system scheduler add name=\""_a + c.trimmed(k.name_field) + k.event + date + " start-time=\""_a +
          c.trimmed(k.time_field) + "\" interval=\""_a + c.trimmed(k.interval_field) + k.comment);
  return Outcome::Done;
}

// Decimal digits only, at most `max_digits` of them; -1 otherwise.
int digits(std::string_view s, size_t max_digits) {
  if (s.empty() || s.size() > max_digits) return -1;
  int value = 0;
  for (char ch : s) {
    if (ch < '0' || ch > '9') return -1;
    value = value * 10 + (ch - '0');
  }
  return value;
}

// A real calendar date from the year, month and day parts, or false.
bool parse_date(const std::vector<Gbk>& parts, Date& out) {
  const int year = digits(parts[0].bytes(), 4);
  const int month = digits(parts[1].bytes(), 2);
  const int day = digits(parts[2].bytes(), 2);
  if (year < 1970 || year > 2099 || month < 1 || month > 12 || day < 1) return false;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  if (day > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) return false;
  out = Date{year, month, day};
  return true;
}

// "h:mm:ss" or "hh:mm:ss" within a day.
bool is_time_of_day(std::string_view s) {
  const size_t colon = s.find(':');
  if (colon == std::string_view::npos || s.size() != colon + 6 || s[colon + 3] != ':') return false;
  const int h = digits(s.substr(0, colon), 2);
  const int m = digits(s.substr(colon + 1, 2), 2);
  const int sec = digits(s.substr(colon + 4, 2), 2);
  return h >= 0 && h < 24 && m >= 0 && m < 60 && sec >= 0 && sec < 60;
}

// A RouterOS time interval ("1d 00:00:00", "12h", "1w2d", "90") in the form
// RouterOS prints it, without blanks; empty when the text is no interval.
Gbk interval7(const Gbk& text) {
  std::string s;
  for (char ch : text.bytes()) {
    if (ch != ' ') s += ch;
  }
  if (digits(s, 9) >= 0) return Gbk::from_bytes(s);
  size_t i = 0;
  while (i < s.size()) {
    const size_t start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    if (i == start) return {};
    if (i < s.size() && s[i] == ':') {
      // A clock part ends the interval.
      if (!is_time_of_day(std::string_view(s).substr(start))) return {};
      return Gbk::from_bytes(s);
    }
    if (s.compare(i, 2, "ms") == 0) {
      i += 2;
    } else if (i < s.size() && std::string_view("wdhms").find(s[i]) != std::string_view::npos) {
      ++i;
    } else {
      return {};
    }
  }
  return Gbk::from_bytes(s);
}

// RouterOS 7 takes the date as yyyy-mm-dd, so it must be a real date; the time
// and interval are checked too, as the router would refuse the entry.
Outcome write_7x(Ctx& c, const Kind& k, const std::vector<Gbk>& parts) {
  Date date;
  if (!parse_date(parts, date)) return c.refuse("开始日期格式不对,请正确输入开始日期");
  const Gbk time = c.trimmed(k.time_field);
  if (!is_time_of_day(time.bytes())) return c.refuse("运行时间格式不对,格式应为:时:分:秒 如:07:30:00");
  const Gbk interval = interval7(c.trimmed(k.interval_field));
  if (interval.empty()) return c.refuse("间隔时间格式不对,格式应为:天 时:分:秒 如:1d 00:00:00");
  // Piece 9 without the quote that closes the 3.x interval.
  const Gbk name = quoted7(c.trimmed(k.name_field));
  c.write(remove_named7("/system scheduler", name) + "/system scheduler add name="_a + name + " on-event="_a +
          quoted7(k.event7) + " start-date="_a + iso_date7(date) + " start-time="_a + time + " interval="_a + interval +
          Gbk::from_bytes(std::string(k.comment.text.substr(1))));
  return Outcome::Done;
}

using Writer = Outcome (*)(Ctx&, const Kind&, const std::vector<Gbk>&);

Outcome generate(Ctx& c, const Kind& k, Writer write) {
  Gbk start = c.trimmed(k.date_field);
  if (start.size() != 10) return c.refuse("开始日期格式不对，格式应为：\"1970/01/01\"");
  std::vector<Gbk> parts = split(start, "/"_a);
  if (parts.size() < 3) return c.refuse("开始日期格式不对,请正确输入开始日期");
  return write(c, k, parts);
}

Group schedule_group(const char* caption, const Kind& k, const char* time_hint, const char* prefix,
                     const char* designer_prefix) {
  Handler run = [&k](Ctx& c) { return generate(c, k, write_3x); };
  Handler run7 = [&k](Ctx& c) { return generate(c, k, write_7x); };
  // Both groups declare the same fields; the keys tell them apart by the prefix.
  auto key = [prefix](const char* suffix) { return std::string(prefix) + suffix; };
  return group(
      caption,
      {
          edit({k.name_field, key("-name")}, "调度名称:", v::text("Timing Shutdown"), "(无特殊情况可以不需要修改)"),
          edit({k.date_field, key("-start-date")}, "开始日期:", v::date("1970/01/01"),
               "格式:年/月/日 如:1970/01/01 (意思就是说从什么时候开始此脚本生效,以此日期为起始日进行循环)"),
          edit({k.interval_field, key("-interval")}, "间隔时间:", v::text("1d 00:00:00"),
               "格式:天 时:分:秒 如:1d 00:00:00 (即每一天为一个循环,即每一天运行一次)"),
          edit({k.time_field, key("-time")},
               "运行时间:", v::time("07:30:00").written(Writing::Quoted, Writing::Escaped), time_hint),
          row({
              button(std::string(prefix) + "-2x", std::string(designer_prefix) + "生成2x", "2.9.X系列脚本生成", run),
              button(std::string(prefix) + "-3x", std::string(designer_prefix) + "生成3x", "3.X系列脚本生成", run),
              button7(std::string(prefix) + "-7x", "生成7.X系列脚本", run7),
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
