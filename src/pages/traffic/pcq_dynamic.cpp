// Tab 12: PCQ rates that traffic monitors switch on when the line is busy and
// off when it is quiet.
#include "pages/builders.h"
#include "pages/ros7.h"
#include "pages/traffic/pcq.h"
#include "script/text.h"

namespace rosgen {
namespace {

// The monitors take Mbps fields; the threshold is the number times 10000.
Gbk threshold(const Ctx& c, const char* id) { return number_text(to_number(c.trimmed(id)) * 10000.0); }

// Lines 1 to 5. The upload tree stays on ether1 whatever the interface field holds.
Gbk setup(const Ctx& c) {
  Gbk s = pcq_setup(c, "编辑框_pcq上传", "编辑框_pcq下载", "编辑框_pcq选择针对网卡");
  s += "/ queue tree add name=\"PCQup\" parent=ether1 queue=PCQ-up packet-mark=all-mark\r\n"_a;
  return s;
}

// The four monitors, each from "add name=" on, without a line end.
struct Monitors {
  Gbk down_on, down_off, up_on, up_off;
};

Monitors monitors(const Ctx& c) {
  return {
      "add name=\"PCQdownon\" interface="_a + c.trimmed("编辑框_pcq网卡1") +
          " traffic=received trigger=above threshold="_a + threshold(c, "编辑框_pcq高于1") +
          " on-event=downon comment=\"\" disabled=no"_a,
      "add name=\"PCQdownoff\" interface="_a + c.trimmed("编辑框_pcq网卡2") +
          " traffic=received trigger=below threshold="_a + threshold(c, "编辑框_pcq高于2") +
          " on-event=downoff comment=\"\" disabled=no"_a,
      "add name=\"PCQupon\" interface="_a + c.trimmed("编辑框_pcq网卡3") +
          " traffic=transmitted trigger=above threshold="_a + threshold(c, "编辑框_pcq高于3") +
          " on-event=upon comment=\"\" disabled=no"_a,
      "add name=\"PCQupoff\" interface="_a + c.trimmed("编辑框_pcq网卡4") +
          " traffic=transmitted trigger=below threshold="_a + threshold(c, "编辑框_pcq高于4") +
          " on-event=upoff comment=\"\" disabled=no"_a,
  };
}

// 13 lines, the last without a line end.
Outcome generate_3x(Ctx& c) {
  const Monitors m = monitors(c);
  Gbk s = setup(c);
  s += "/ tool traffic-monitor "_a + m.down_on + "\r\n"_a;
  s += "/ tool traffic-monitor "_a + m.down_off + "\r\n"_a;
  s += "/ tool traffic-monitor "_a + m.up_on + "\r\n"_a;
  s += "/ tool traffic-monitor "_a + m.up_off + "\r\n"_a;
  s +=
      R"x(/ system script add name="upon" source=":if ([/queue tree get [/queue tree find  name=\"PCQup\"] disable ]=true ) do={/queue tree enable PCQup}" policy=ftp,password,read,reboot,sniff,telnet,web,write,local,policy,ssh,test,winbox)x"
      "\r\n"_a;
  s +=
      R"x(/ system script add name="upoff" source=":if ([/queue tree get [/queue tree find  name=\"PCQup\"] disable ]=false ) do={/queue tree disable PCQup}" policy=ftp,password,read,reboot,sniff,telnet,web,write,local,policy,ssh,test,winbox)x"
      "\r\n"_a;
  s +=
      R"x(/ system script add name="downon" source=":if ([/queue tree get [/queue tree find  name=\"PCQdown\"] disable ]=true ) do={/queue tree enable PCQdown}" policy=ftp,password,read,reboot,sniff,telnet,web,write,local,policy,ssh,test,winbox)x"
      "\r\n"_a;
  s +=
      R"x(/ system script add name="downoff" source=":if ([/queue tree get [/queue tree find  name=\"PCQdown\"] disable ]=false ) do={/queue tree disable PCQdown}" policy=ftp,password,read,reboot,sniff,telnet,web,write,local,policy,ssh,test,winbox)x"_a;
  c.write(std::move(s));
  return Outcome::Done;
}

// 23 lines, the last without a line end: the monitors under one menu line, each
// system script continued over three lines with its brackets escaped.
Outcome generate_2x(Ctx& c) {
  const Monitors m = monitors(c);
  Gbk s = setup(c);
  s += "/ tool traffic-monitor\r\n"_a;
  s += m.down_on + "\r\n"_a;
  s += m.down_off + "\r\n"_a;
  s += m.up_on + "\r\n"_a;
  s += m.up_off + "\r\n"_a;
  s += "/ system script\r\n"_a;
  s += R"x(add name="upon" source=":if \(\[ /queue tree get \[/queue tree find \)x"
       "\r\n"_a;
  s += R"x(    name=\"PCQup\"\] disable \]=true \) do={/queue tree enable PCQup}" \)x"
       "\r\n"_a;
  s += "    policy=ftp,reboot,read,write,policy,test,winbox,password\r\n"_a;
  s += R"x(add name="upoff" source=":if \(\[ /queue tree get \[/queue tree find \)x"
       "\r\n"_a;
  s += R"x(    name=\"PCQup\"\] disable \]=false \) do={/queue tree disable PCQup}" \)x"
       "\r\n"_a;
  s += "    policy=ftp,reboot,read,write,policy,test,winbox,password\r\n"_a;
  s += R"x(add name="downon" source=":if \(\[ /queue tree get \[/queue tree find \)x"
       "\r\n"_a;
  s += R"x(    name=\"PCQdown\"\] disable \]=true \) do={/queue tree enable PCQdown}" \)x"
       "\r\n"_a;
  s += "    policy=ftp,reboot,read,write,policy,test,winbox,password\r\n"_a;
  s += R"x(add name="downoff" source=":if \(\[ /queue tree get \[/queue tree find \)x"
       "\r\n"_a;
  s += R"x(    name=\"PCQdown\"\] disable \]=false \) do={/queue tree disable PCQdown}" \)x"
       "\r\n"_a;
  s += "    policy=ftp,reboot,read,write,policy,test,winbox,password"_a;
  c.write(std::move(s));
  return Outcome::Done;
}

// RouterOS 7 takes the threshold in bit/s, so the Mbps field is multiplied by a million (the 3.x
// factor, 10000, made 8 Mbps a mere 80 kbit/s). A value beyond the monitor's range is held at its
// edge: at the top the monitor never fires, at 0 it always sees traffic above.
Gbk threshold_7x(const Ctx& c, const std::string& id) {
  constexpr double kMax = 4294967295.0;
  const double bits = to_number(c.trimmed(id)) * 1000000.0;
  return number_text(bits < 0 ? 0.0 : bits > kMax ? kMax : bits);
}

Gbk monitor_7x(const Ctx& c, int n, const char* name, const char* traffic, const char* trigger, const char* event) {
  std::string i = std::to_string(n);
  return remove_named7("/tool traffic-monitor", Gbk::from_bytes(name)) + "/tool traffic-monitor add name="_a +
         Gbk::from_bytes(name) + " interface="_a + word7(c.trimmed("编辑框_pcq网卡" + i)) + " traffic="_a +
         Gbk::from_bytes(traffic) + " trigger="_a + Gbk::from_bytes(trigger) + " threshold="_a +
         threshold_7x(c, "编辑框_pcq高于" + i) + " on-event="_a + Gbk::from_bytes(event);
}

// Enabling an enabled tree (or disabling a disabled one) changes nothing, so the scripts need
// no test of the tree's state; reading and writing the configuration is all they may do.
Gbk switch_script_7x(const char* name, const char* verb, const char* tree) {
  return remove_named7("/system script", Gbk::from_bytes(name)) + "/system script add name="_a + Gbk::from_bytes(name) +
         " source=\"/queue tree "_a + Gbk::from_bytes(verb) + " [/queue tree find name="_a + Gbk::from_bytes(tree) +
         "]\" policy=read,write"_a;
}

// The PCQ set-up, then the monitors and the scripts they run, which switch the trees by name;
// the last line has no line end, as in the 3.x script.
Outcome generate_7x(Ctx& c) {
  Gbk s = pcq_setup7(c, "编辑框_pcq上传", "编辑框_pcq下载", "编辑框_pcq选择针对网卡");
  s += monitor_7x(c, 1, "PCQdownon", "received", "above", "downon") + "\r\n"_a;
  s += monitor_7x(c, 2, "PCQdownoff", "received", "below", "downoff") + "\r\n"_a;
  s += monitor_7x(c, 3, "PCQupon", "transmitted", "above", "upon") + "\r\n"_a;
  s += monitor_7x(c, 4, "PCQupoff", "transmitted", "below", "upoff") + "\r\n"_a;
  s += switch_script_7x("upon", "enable", "PCQup") + "\r\n"_a;
  s += switch_script_7x("upoff", "disable", "PCQup") + "\r\n"_a;
  s += switch_script_7x("downon", "enable", "PCQdown") + "\r\n"_a;
  s += switch_script_7x("downoff", "disable", "PCQdown");
  c.write(std::move(s));
  return Outcome::Done;
}

// `role` names the monitor in the fields' keys: down-on, down-off, up-on, up-off.
Row monitor_row(int n, const std::string& role, const char* threshold_text, const char* hint) {
  std::string i = std::to_string(n);
  return row({
      edit({"编辑框_pcq网卡" + i, role + "-interface"}, "当网卡：", v::iface("ether1")),
      edit({"编辑框_pcq高于" + i, role + "-threshold"}, "接收的流量高于：", v::rate(threshold_text), hint),
  });
}

}  // namespace

void build_pcq_dynamic(Page& page) {
  constexpr const char* kDownHint = "Mbps时开启下载限制 (建议设置监视外网网卡流量)";
  constexpr const char* kUpHint = "Mbps时开启上行限制 (建议设置监视外网网卡流量)";
  page.caption = "PCQ动态限速脚本生成";
  page.items = {
      edit({"编辑框_pcq上传", "rate-up"}, "每台机上传为：", v::rate("80"), "Kbyte/s"),
      row({
          edit({"编辑框_pcq下载", "rate-down"}, "每台机下载为：", v::rate("80"), "Kbyte/s"),
          note("(请根据客户机数量及带宽大小自行修改)"),
      }),
      edit({"编辑框_pcq选择针对网卡", "interface"}, "选择针对网卡限速的名称：", v::iface("ether1"),
           "(如无特殊原因请填写您ROS的外网网卡名称)"),
      monitor_row(1, "down-on", "8", kDownHint),
      monitor_row(2, "down-off", "6", kDownHint),
      monitor_row(3, "up-on", "8", kUpHint),
      monitor_row(4, "up-off", "6", kUpHint),
      row({
          button("gen-2x", "", "生成2.9.X系列脚本", generate_2x),
          button("gen-3x", "", "生成3.X系列脚本", generate_3x),
          button7("gen-7x", "生成7.X系列脚本", generate_7x),
      }),
      group("提示", {note("此功能一般适用于宽带比较足的用户")}),
  };
}

}  // namespace rosgen
