// Tab 11: one simple queue per LAN host, written as a single :for loop.
#include "pages/builders.h"
#include "pages/ros7.h"
#include "script/form.h"
#include "script/text.h"

namespace rosgen {
namespace {

constexpr const char* kAverage = "选择框_平均速度";
constexpr const char* kProfessional = "选择框_专业限速";
constexpr const char* kTimeWindow = "选择框_是否分时间段限速";

const char* const kAverageFields[] = {"编辑框_平均下载", "编辑框_平均上传"};
// Everything the professional switch opens besides the average fields.
const char* const kProfessionalFields[] = {
    "编辑框_突发下载时间", "编辑框_突发上传时间", "编辑框_突发极限下载", "编辑框_突发极限上传",
    "编辑框_普通突发下载", "编辑框_普通突发上传", "编辑框_数据包优先极", "编辑框_限制IP范围",
};
const char* const kTimeFields[] = {
    "选择框_星期天",   "选择框_星期一",   "选择框_星期二",   "选择框_星期三",   "选择框_星期四",
    "选择框_星期五",   "选择框_星期六",   "编辑框_开始小时", "编辑框_开始分钟", "编辑框_开始秒",
    "编辑框_结束小时", "编辑框_结束分钟", "编辑框_结束秒",
};
// The weekday boxes of the time window, Sunday first.
constexpr DayBoxes kDayBoxes = {"选择框_星期天", "选择框_星期一", "选择框_星期二", "选择框_星期三",
                                "选择框_星期四", "选择框_星期五", "选择框_星期六"};

template <std::size_t N>
void enable_all(Form& form, const char* const (&ids)[N], bool on) {
  for (const char* id : ids) form.set_enabled(id, on);
}

void on_average(Form& form) { enable_all(form, kAverageFields, form.checked(kAverage)); }

void on_professional(Form& form) {
  bool on = form.checked(kProfessional);
  enable_all(form, kAverageFields, on);
  enable_all(form, kProfessionalFields, on);
}

void on_time_window(Form& form) { enable_all(form, kTimeFields, form.checked(kTimeWindow)); }

// One or two digits: "08" gives 8, "123" gives 23.
Gbk time_part(const Ctx& c, const char* id) {
  Gbk t = c.trimmed(id);
  return right_part(t, to_integer(t) < 10 ? 1 : 2);
}

Gbk time_clause(const Ctx& c) {
  return time_part(c, "编辑框_开始小时") + "h"_a + time_part(c, "编辑框_开始分钟") + "m"_a +
         time_part(c, "编辑框_开始秒") + "s-"_a + time_part(c, "编辑框_结束小时") + "h"_a +
         time_part(c, "编辑框_结束分钟") + "m"_a + time_part(c, "编辑框_结束秒") + "s,"_a + day_list(c.form, kDayBoxes);
}

Gbk head_3x(const Ctx& c) {
  return ":for ketrova5 from="_a + c.trimmed("编辑框_机器数量首") + " to="_a + c.trimmed("编辑框_机器数量尾") +
         " do={queue simple add name=(\""_a + c.trimmed("编辑框_机器名") + "\" . $ketrova5) dst-address=(\""_a +
         c.trimmed("编辑框_IP") + ".\". $ketrova5) "_a;
}

Gbk head_2x(const Ctx& c) {
  return ":for ketrova5 from "_a + c.trimmed("编辑框_机器数量首") + " to "_a + c.trimmed("编辑框_机器数量尾") +
         " do={/queue simple add name=("_a + c.trimmed("编辑框_机器名") + " . $ketrova5) dst-address=("_a +
         c.trimmed("编辑框_IP") + ". . $ketrova5) "_a;
}

// The same in both dialects. Professional wins over average; the states are
// read whether or not the boxes are enabled.
Gbk tail(const Ctx& c) {
  Gbk max = "max-limit="_a + c.rate("编辑框_下载") + "/"_a + c.rate("编辑框_上传") + " interface=all"_a;
  Gbk limit_at = "limit-at="_a + c.rate("编辑框_平均下载") + "/"_a + c.rate("编辑框_平均上传") + " "_a;
  Gbk time = c.checked(kTimeWindow) ? " time="_a + time_clause(c) : Gbk();
  if (c.checked(kProfessional)) {
    return limit_at + max + " parent=none priority=8 queue=default/default burst-limit="_a +
           c.rate("编辑框_突发极限下载") + "/"_a + c.rate("编辑框_突发极限上传") + " burst-threshold="_a +
           c.rate("编辑框_普通突发下载") + "/"_a + c.rate("编辑框_普通突发上传") + " burst-time="_a +
           c.trimmed("编辑框_突发下载时间") + "s/"_a + c.trimmed("编辑框_突发上传时间") +
           "s total-queue=default target-address="_a + c.trimmed("编辑框_限制IP范围") + time + " disabled=no}"_a;
  }
  if (c.checked(kAverage)) return limit_at + max + time + " disabled=no}"_a;
  return max + time + " disabled=no}"_a;
}

// RouterOS 7 aims a simple queue at its host with target=; the old
// "destination is the host" form is gone. Its pairs are therefore written
// upload first, as seen from the host. The target range becomes dst=, the
// far side of the traffic; an empty range leaves it out.
Gbk head_7x(const Ctx& c) {
  // The host's queue of an earlier press goes first: it would keep its old limits.
  const Gbk name = "("_a + quoted7(c.trimmed("编辑框_机器名")) + " . $ketrova5)"_a;
  return ":for ketrova5 from="_a + word7(c.trimmed("编辑框_机器数量首")) + " to="_a +
         word7(c.trimmed("编辑框_机器数量尾")) + " do={/queue simple remove [find name="_a + name +
         "]; /queue simple add name="_a + name + " target=("_a + quoted7(c.trimmed("编辑框_IP") + "."_a) +
         " . $ketrova5) "_a;
}

// The priority field, 1 (first) to 8, for both directions. Digits out of range are held at the
// nearer end; any other text keeps 8, the priority every queue has unless told.
Gbk priority_7x(const Ctx& c) {
  const Gbk text = c.trimmed("编辑框_数据包优先极");
  const bool digits = !text.empty() && text.bytes().find_first_not_of("0123456789") == std::string::npos;
  const double n = digits ? to_number(text) : 8.0;
  const Gbk p = number_text(n < 1 ? 1 : n > 8 ? 8 : static_cast<int>(n));
  return p + "/"_a + p;
}

Gbk tail_7x(const Ctx& c) {
  Gbk max = "max-limit="_a + c.rate("编辑框_上传") + "/"_a + c.rate("编辑框_下载");
  Gbk limit_at = "limit-at="_a + c.rate("编辑框_平均上传") + "/"_a + c.rate("编辑框_平均下载") + " "_a;
  Gbk time = c.checked(kTimeWindow) ? " time="_a + word7(time_clause(c)) : Gbk();
  if (c.checked(kProfessional)) {
    Gbk range = c.trimmed("编辑框_限制IP范围");
    Gbk dst = range.empty() ? Gbk() : " dst="_a + word7(range);
    return limit_at + max + " parent=none priority="_a + priority_7x(c) + " queue=default/default burst-limit="_a +
           c.rate("编辑框_突发极限上传") + "/"_a + c.rate("编辑框_突发极限下载") + " burst-threshold="_a +
           c.rate("编辑框_普通突发上传") + "/"_a + c.rate("编辑框_普通突发下载") + " burst-time="_a +
           word7(c.trimmed("编辑框_突发上传时间") + "s/"_a + c.trimmed("编辑框_突发下载时间") + "s"_a) +
           " total-queue=default"_a + dst + time + "}"_a;
  }
  if (c.checked(kAverage)) return limit_at + max + time + "}"_a;
  return max + time + "}"_a;
}

// Fasttracked packets skip simple queues, so the default fasttrack rule goes off first; the
// loop is the last line, without a line end, as in the 3.x script.
Outcome generate_7x(Ctx& c) {
  c.write(fasttrack_off7() + head_7x(c) + tail_7x(c));
  return Outcome::Done;
}

Outcome generate_3x(Ctx& c) {
  c.write(head_3x(c) + tail(c));
  return Outcome::Done;
}

Outcome generate_2x(Ctx& c) {
  c.write(head_2x(c) + tail(c));
  return Outcome::Done;
}

// Always 3.x syntax over hosts 1 to 253, whatever the range fields hold.
Outcome generate_removal(Ctx& c) {
  c.write(":for ketrova5 from=1 to=253 do={queue simple remove (\""_a + c.trimmed("编辑框_机器名") +
          "\" . $ketrova5)}"_a);
  return Outcome::Done;
}

// Removes the queues by name; a name that is not there removes nothing.
Outcome generate_removal_7x(Ctx& c) {
  c.write(":for ketrova5 from=1 to=253 do={/queue simple remove [/queue simple find name=("_a +
          quoted7(c.trimmed("编辑框_机器名")) + " . $ketrova5)]}"_a);
  return Outcome::Done;
}

Field switch_box(FieldName name, const char* caption, void (*hook)(Form&)) {
  Field f = check(std::move(name), caption, false);
  f.on_toggle = hook;
  return f;
}

}  // namespace

void build_simple_queues(Page& page) {
  page.caption = "专业限速脚本----让网吧更稳定";
  page.items = {
      edit({"编辑框_IP", "ip-prefix"}, "IP前秦：", v::prefix3("192.168.0"), "(规格如:192.168.0前三位)"),
      edit({"编辑框_网卡", "interface"}, "限制网卡：", v::iface("all"), "(填网卡名,all为限制所有网卡,多线路请设置all)"),
      edit({"编辑框_机器名", "host-name"}, "计算机名：", v::name("ketrova5"),
           "(必须以字母开头,不支持中文及标点符号,添加后winbox显示方式为:机器名+机号)"),
      row({
          edit({"编辑框_机器数量首", "first-host"}, "机器数量：", v::integer(1, 254, "1")),
          edit({"编辑框_机器数量尾", "last-host"}, "至", v::integer(1, 254, "253"),
               "(如要限速的IP段为192.168.0.1-192.168.0.200则需填1至200)"),
      }),
      row({
          note("普通速度："),
          edit({"编辑框_下载", "rate-down"}, "下载", v::rate("100"), "KByte/s"),
          edit({"编辑框_上传", "rate-up"}, "上传", v::rate("100"), "KByte/s"),
          switch_box({kAverage, "use-average"}, "", on_average),
          note("平均速度："),
          edit({"编辑框_平均下载", "average-down"}, "下载", v::rate("80"), "KByte/s"),
          edit({"编辑框_平均上传", "average-up"}, "上传", v::rate("80"), "KByte/s"),
      }),
      switch_box({kProfessional, "use-professional"}, "开启/关闭专业限速功能", on_professional),
      row({
          note("突发时间："),
          edit({"编辑框_突发下载时间", "burst-time-down"}, "下载", v::count("3"), "S"),
          edit({"编辑框_突发上传时间", "burst-time-up"}, "上传", v::count("3"), "S"),
          note("(默认为3秒,即3秒钟后从突发极限减速为普通突发.设置为0时,下面突发速度设置无效)"),
      }),
      row({
          note("突发极限："),
          edit({"编辑框_突发极限下载", "burst-limit-down"}, "下载", v::rate("200"), "KByte/s"),
          edit({"编辑框_突发极限上传", "burst-limit-up"}, "上传", v::rate("200"), "KByte/s"),
          note("普通突发："),
          edit({"编辑框_普通突发下载", "burst-threshold-down"}, "下载", v::rate("100"), "KByte/s"),
          edit({"编辑框_普通突发上传", "burst-threshold-up"}, "上传", v::rate("100"), "KByte/s"),
      }),
      edit({"编辑框_数据包优先极", "priority"}, "数据包优先极：", v::integer(1, 8, "8"),
           "(设置数据包优先传输,数字越小越优先,如游戏区1,大厅区2,液晶区3,最高为8最小为1,默认为8)"),
      edit({"编辑框_限制IP范围", "target-address"}, "限制IP范围：", v::address("0.0.0.0/0"),
           "设置您想限制的目标IP(如果您对脚本没有深刻的了解，请默认此项)"),
      row({
          switch_box({kTimeWindow, "use-time"}, "是否分时间段限速", on_time_window),
          check({"选择框_星期天", "sun"}, "星期天", true),
          check({"选择框_星期一", "mon"}, "星期一", true),
          check({"选择框_星期二", "tue"}, "星期二", true),
          check({"选择框_星期三", "wed"}, "星期三", true),
          check({"选择框_星期四", "thu"}, "星期四", true),
          check({"选择框_星期五", "fri"}, "星期五", true),
          check({"选择框_星期六", "sat"}, "星期六", true),
      }),
      row({
          edit({"编辑框_开始小时", "start-hour"}, "时间：", v::hour("00")),
          edit({"编辑框_开始分钟", "start-minute"}, "：", v::minute("00")),
          edit({"编辑框_开始秒", "start-second"}, "：", v::minute("00")),
          edit({"编辑框_结束小时", "end-hour"}, "至", v::hour("00")),
          edit({"编辑框_结束分钟", "end-minute"}, "：", v::minute("00")),
          edit({"编辑框_结束秒", "end-second"}, "：", v::minute("00"), "内有效 (设置时间段内此限速脚本有效)"),
      }),
      row({
          button("gen-2x", "", "生成2.9.X系列脚本", generate_2x),
          button("gen-3x", "", "生成3.X系列脚本", generate_3x),
          button7("gen-7x", "生成7.X系列脚本", generate_7x),
      }),
      group("", {row({
                     button("remove", "", "2.9.X/3.X系列删除限速脚本生成", generate_removal),
                     button7("remove-7x", "7.X系列删除限速脚本生成", generate_removal_7x),
                 }),
                 note("生成限速脚本时可以同时生成此脚本以便日后删除！此脚本运行时将删除原配置的限速脚本！")}),
  };
  // The advanced fields wait for their switches.
  page.on_startup = [](Form& form) {
    enable_all(form, kAverageFields, false);
    enable_all(form, kProfessionalFields, false);
    enable_all(form, kTimeFields, false);
  };
}

}  // namespace rosgen
