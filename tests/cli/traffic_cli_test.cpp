// The traffic-control pages through the rosgen program: simple queues, PCQ, TCP limits.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>

#include "cli_support.h"

namespace rosgen::test {
namespace {

const std::string kQueueHead3x =
    ":for ketrova5 from=1 to=253 do={queue simple add name=(\"ketrova5\" . $ketrova5) "
    "dst-address=(\"192.168.0.\". $ketrova5) ";
const std::string kPcqSetup =
    "/ queue type add name=\"PCQ-up\" kind=pcq pcq-rate=640000 pcq-limit=50 pcq-classifier=src-address "
    "pcq-total-limit=2000\r\n"
    "/ queue type add name=\"PCQ-down\" kind=pcq pcq-rate=640000 pcq-limit=50 pcq-classifier=dst-address "
    "pcq-total-limit=2000\r\n"
    "/ ip firewall mangle add chain=prerouting action=mark-packet new-packet-mark=all-mark passthrough=yes\r\n";
const std::string kTcpRule =
    "/ ip firewall filter add chain=forward src-address=192.168.0.0/255.255.255.0 src-address-list=!ketrova5TcpList "
    "protocol=tcp connection-limit=200,32 action=drop "
    "comment=\"TCP\\C1\\AC\\BD\\D3\\CA\\FD\\CF\\DE\\D6\\C6\\CE\\AA:200\"";

TEST(TrafficCli, RunWritesTheScripts) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {"simple queues, 3.x plain",
       {"run", "simple-queues", "gen-3x"},
       kQueueHead3x + "max-limit=800000/800000 interface=all disabled=no}"},
      {"simple queues, 2.9.x plain",
       {"run", "11", "gen-2x"},
       ":for ketrova5 from 1 to 253 do={/queue simple add name=(ketrova5 . $ketrova5) dst-address=(192.168.0. . "
       "$ketrova5) max-limit=800000/800000 interface=all disabled=no}"},
      {"simple queues, professional with time window",
       {"run", "11", "gen-3x", "--check", "选择框_专业限速", "--check", "选择框_是否分时间段限速"},
       kQueueHead3x +
           "limit-at=640000/640000 max-limit=800000/800000 interface=all parent=none priority=8 "
           "queue=default/default burst-limit=1600000/1600000 burst-threshold=800000/800000 burst-time=3s/3s "
           "total-queue=default target-address=0.0.0.0/0 time=0h0m0s-0h0m0s,sun,mon,tue,wed,thu,fri,sat disabled=no}"},
      {"simple queues, average with a time window and two days",
       {"run",
        "11",
        "gen-3x",
        "--check",
        "选择框_平均速度",
        "--check",
        "选择框_是否分时间段限速",
        "--uncheck",
        "选择框_星期天",
        "--uncheck",
        "选择框_星期二",
        "--uncheck",
        "选择框_星期三",
        "--uncheck",
        "选择框_星期四",
        "--uncheck",
        "选择框_星期六",
        "编辑框_开始小时=8",
        "编辑框_开始分钟=05",
        "编辑框_结束小时=123",
        "编辑框_下载=abc"},
       kQueueHead3x + "limit-at=640000/640000 max-limit=0/800000 interface=all time=8h5m0s-23h0m0s,mon,fri "
                      "disabled=no}"},
      {"simple queues, removal",
       {"run", "11", "remove", "编辑框_机器数量尾=9"},
       ":for ketrova5 from=1 to=253 do={queue simple remove (\"ketrova5\" . $ketrova5)}"},
      {"whole PCQ",
       {"run", "pcq-whole", "gen", "编辑框_pcq整体网卡名称=ether2"},
       kPcqSetup + "/ queue tree add name=\"PCQdown\" parent=ether2 queue=PCQ-down packet-mark=all-mark\r\n"
                   "/ queue tree add name=\"PCQup\" parent=ether2 queue=PCQ-up packet-mark=all-mark\r\n"},
      {"TCP per host",
       {"run", "tcp-limit", "host-2x", "编辑框_tcp_结束数量=50"},
       ":for ketrova5 from=1 to=50 do={/ip firewall filter add chain=forward src-address=(\"192.168.0.\" . "
       "$ketrova5) protocol=tcp connection-limit=200,32 action=drop}"},
      {"TCP per network",
       {"run", "16", "net-3x"},
       "/ ip firewall address-list add address=192.168.0.250 list=ketrova5TcpList disabled=no\r\n"
       "/ ip firewall address-list add address=192.168.0.252 list=ketrova5TcpList disabled=no\r\n" +
           kTcpRule},
      {"TCP per network, one address and a comma",
       {"run", "16", "net-2x", "编辑框_tcp_排除ip=192.168.0.250,"},
       "/ ip firewall address-list add address=192.168.0.250 list=ketrova5TcpList disabled=no\r\n" + kTcpRule},
  };
  for (const auto& c : cases) {
    Result r = rosgen(c.args);
    EXPECT_EQ(r.code, 0) << c.name << "\n" << r.err;
    EXPECT_EQ(r.out, c.out) << c.name;
    EXPECT_EQ(without_warnings(r.err), "") << c.name;
  }
}

TEST(TrafficCli, DynamicPcqLineCounts) {
  struct Case {
    const char* button;
    long lines;  // CR LF count; the last line has none
    std::string last;
  } cases[] = {
      {"gen-3x", 12,
       "/ system script add name=\"downoff\" source=\":if ([/queue tree get [/queue tree find  name=\\\"PCQdown\\\"] "
       "disable ]=false ) do={/queue tree disable PCQdown}\" "
       "policy=ftp,password,read,reboot,sniff,telnet,web,write,local,policy,ssh,test,winbox"},
      {"gen-2x", 22, "    policy=ftp,reboot,read,write,policy,test,winbox,password"},
  };
  for (const auto& c : cases) {
    Result r = rosgen({"run", "pcq-dynamic", c.button, "编辑框_pcq选择针对网卡=ether2", "编辑框_pcq高于1=0.5"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), c.lines) << c.button;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\r'), c.lines) << c.button;
    EXPECT_TRUE(
        r.out.starts_with(kPcqSetup +
                          "/ queue tree add name=\"PCQdown\" parent=ether2 queue=PCQ-down "
                          "packet-mark=all-mark\r\n"
                          "/ queue tree add name=\"PCQup\" parent=ether1 queue=PCQ-up packet-mark=all-mark\r\n"))
        << c.button;
    EXPECT_NE(r.out.find("add name=\"PCQdownon\" interface=ether1 traffic=received trigger=above threshold=5000 "),
              std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.rfind("\r\n") + 2), c.last) << c.button;
  }
}

TEST(TrafficCli, HostileValues) {
  // Invalid GBK bytes, quotes and a 64 KB value go through whole.
  Result raw = rosgen({"run", "11", "remove", "编辑框_机器名=\"\x81\xFF\\", "--encoding", "gbk"});
  EXPECT_EQ(raw.code, 0);
  EXPECT_EQ(raw.out, ":for ketrova5 from=1 to=253 do={queue simple remove (\"\"\x81\xFF\\\" . $ketrova5)}");
  std::string big(64 * 1024, ',');
  Result commas = rosgen({"run", "16", "net-2x", "编辑框_tcp_排除ip=" + big});
  EXPECT_EQ(commas.code, 0);
  EXPECT_EQ(std::count(commas.out.begin(), commas.out.end(), '\n'), 64 * 1024);
  EXPECT_TRUE(commas.out.ends_with(kTcpRule));
  Result huge = rosgen({"run", "pcq-whole", "gen", "编辑框_pcq整体网卡名称=" + std::string(64 * 1024, 'e')});
  EXPECT_EQ(huge.code, 0);
  std::string expected = rosgen({"run", "pcq-whole", "gen"}).out;
  for (size_t at = expected.find("parent=ether1"); at != std::string::npos; at = expected.find("parent=ether1", at)) {
    expected.replace(at + 7, 6, std::string(64 * 1024, 'e'));
  }
  EXPECT_EQ(huge.out, expected);
  // A text typed into a check box is a usage error.
  Result usage = rosgen({"run", "11", "gen-3x", "选择框_专业限速=1"});
  EXPECT_EQ(usage.code, 2);
  EXPECT_EQ(usage.err, "rosgen: 选择框_专业限速 takes no text; use --check, --uncheck or --select\n");
}

// The 7.x scripts, written to a file by `run -o` and read back by `check --base defconf`: no
// finding of the command tree or of the default configuration's run.
TEST(TrafficCli, RouterOs7ScriptsPassTheCheckOnTheDefaultConfiguration) {
  const std::string file =
      (std::filesystem::temp_directory_path() / ("rosgen-traffic-" + std::to_string(getpid()) + ".rsc")).string();
  for (const std::vector<std::string>& run : std::vector<std::vector<std::string>>{
           {"simple-queues", "gen-7x", "--check", "选择框_专业限速"},
           {"pcq-whole", "gen-7x"},
           {"pcq-dynamic", "gen-7x"},
           {"tcp-limit", "host-7x"},
           {"tcp-limit", "net-7x"},
       }) {
    std::vector<std::string> args{"run"};
    args.insert(args.end(), run.begin(), run.end());
    args.insert(args.end(), {"-o", file});
    ASSERT_EQ(rosgen(args).code, 0) << run[0];
    Result r = rosgen({"check", "--base", "defconf", "--strict", "--encoding", "gbk", file});
    EXPECT_EQ(r.code, 0) << run[0] << " " << run[1] << "\n" << r.out << r.err;
    EXPECT_EQ(r.out, "") << run[0] << " " << run[1];
  }
  std::filesystem::remove(file);
}

std::vector<std::string> ids(const nlohmann::json& items) {
  std::vector<std::string> out;
  for (const auto& i : items) out.push_back(i["id"]);
  return out;
}

std::vector<std::string> groups(const nlohmann::json& items) {
  std::vector<std::string> out;
  for (const auto& i : items) out.push_back(i["group"]);
  return out;
}

TEST(TrafficCli, ShowListsFieldsAndButtonsInPageOrder) {
  Result r = rosgen({"show", "simple-queues", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto q = nlohmann::json::parse(r.out);
  EXPECT_EQ(q["index"], 11);
  EXPECT_EQ(q["caption"], "专业限速脚本----让网吧更稳定");
  EXPECT_EQ(q["output"], "编辑框_输出");
  EXPECT_EQ(ids(q["fields"]),
            (std::vector<std::string>{
                "编辑框_IP",           "编辑框_网卡",         "编辑框_机器名",       "编辑框_机器数量首",
                "编辑框_机器数量尾",   "编辑框_下载",         "编辑框_上传",         "选择框_平均速度",
                "编辑框_平均下载",     "编辑框_平均上传",     "选择框_专业限速",     "编辑框_突发下载时间",
                "编辑框_突发上传时间", "编辑框_突发极限下载", "编辑框_突发极限上传", "编辑框_普通突发下载",
                "编辑框_普通突发上传", "编辑框_数据包优先极", "编辑框_限制IP范围",   "选择框_是否分时间段限速",
                "选择框_星期天",       "选择框_星期一",       "选择框_星期二",       "选择框_星期三",
                "选择框_星期四",       "选择框_星期五",       "选择框_星期六",       "编辑框_开始小时",
                "编辑框_开始分钟",     "编辑框_开始秒",       "编辑框_结束小时",     "编辑框_结束分钟",
                "编辑框_结束秒"}));
  std::vector<std::string> disabled;
  for (const auto& f : q["fields"]) {
    if (!f["enabled"].get<bool>()) disabled.push_back(f["id"]);
  }
  EXPECT_EQ(disabled.size(), 23u);
  EXPECT_EQ(disabled.front(), "编辑框_平均下载");
  EXPECT_EQ(disabled.back(), "编辑框_结束秒");
  EXPECT_EQ(q["fields"][0]["label"], "IP前秦：");
  EXPECT_EQ(q["fields"][0]["default"], "192.168.0");
  EXPECT_EQ(q["fields"][20]["default"], true);
  EXPECT_EQ(q["fields"][7]["default"], false);
  EXPECT_EQ(ids(q["buttons"]), (std::vector<std::string>{"gen-2x", "gen-3x", "gen-7x", "remove", "remove-7x"}));
  EXPECT_EQ(q["buttons"][3]["caption"], "2.9.X/3.X系列删除限速脚本生成");
  EXPECT_EQ(groups(q["buttons"]),
            (std::vector<std::string>{"专业限速脚本----让网吧更稳定", "专业限速脚本----让网吧更稳定",
                                      "专业限速脚本----让网吧更稳定", "", ""}));

  auto d = nlohmann::json::parse(rosgen({"show", "12", "--json"}).out);
  EXPECT_EQ(d["caption"], "PCQ动态限速脚本生成");
  EXPECT_EQ(ids(d["fields"]),
            (std::vector<std::string>{"编辑框_pcq上传", "编辑框_pcq下载", "编辑框_pcq选择针对网卡", "编辑框_pcq网卡1",
                                      "编辑框_pcq高于1", "编辑框_pcq网卡2", "编辑框_pcq高于2", "编辑框_pcq网卡3",
                                      "编辑框_pcq高于3", "编辑框_pcq网卡4", "编辑框_pcq高于4"}));
  EXPECT_EQ(d["fields"][6]["default"], "6");
  EXPECT_EQ(d["fields"][8]["hint"], "Mbps时开启上行限制 (建议设置监视外网网卡流量)");
  EXPECT_EQ(ids(d["buttons"]), (std::vector<std::string>{"gen-2x", "gen-3x", "gen-7x"}));
  EXPECT_EQ(d["buttons"][0]["caption"], "生成2.9.X系列脚本");

  auto w = nlohmann::json::parse(rosgen({"show", "pcq-whole", "--json"}).out);
  EXPECT_EQ(w["caption"], "PCQ整体限速脚本生成");
  EXPECT_EQ(ids(w["fields"]),
            (std::vector<std::string>{"编辑框_pcq整体上传", "编辑框_pcq整体下载", "编辑框_pcq整体网卡名称"}));
  EXPECT_EQ(w["fields"][2]["label"], "选择针对限速的网卡名称：");
  ASSERT_EQ(w["buttons"].size(), 2u);
  EXPECT_EQ(w["buttons"][0]["caption"], "生成2.9.X/3.X系列脚本");

  auto t = nlohmann::json::parse(rosgen({"show", "tcp-limit", "--json"}).out);
  const std::string lower = "指定网段TCP线程(连接数)限制生成";
  const std::string upper = "TCP线程(连接数)限制脚本生成";
  EXPECT_EQ(t["caption"], upper);
  EXPECT_EQ(ids(t["fields"]),
            (std::vector<std::string>{"编辑框_tcp_IP", "编辑框_tcp_机器开始数量", "编辑框_tcp_结束数量",
                                      "编辑框_tcp_连接数", "编辑框_tcp_内网ip", "编辑框_tcp_子网掩码",
                                      "编辑框_tcp_连接数1", "编辑框_tcp_排除ip"}));
  EXPECT_EQ(groups(t["fields"]), (std::vector<std::string>{upper, upper, upper, upper, lower, lower, lower, lower}));
  EXPECT_EQ(t["fields"][7]["default"], "192.168.0.250,192.168.0.252");
  EXPECT_EQ(ids(t["buttons"]),
            (std::vector<std::string>{"host-2x", "host-3x", "host-7x", "net-2x", "net-3x", "net-7x"}));
  EXPECT_EQ(groups(t["buttons"]), (std::vector<std::string>{upper, upper, upper, lower, lower, lower}));
}

}  // namespace
}  // namespace rosgen::test
