// RouterOS 7 buttons of the traffic pages (simple queues, PCQ, TCP limit); the
// order of the ping blocking and ARP binding pages' buttons.
#include <gtest/gtest.h>

#include "routeros/checker.h"
#include "support.h"

namespace rosgen::test {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

// What RouterOS 7's command tree finds wrong with a script, one finding a line.
std::string findings(const std::string& script) {
  std::string out;
  for (const auto& f : ros7::check_script(script)) {
    out += std::to_string(f.line) + ":" + std::to_string(f.col) + " " + f.message + "\n";
  }
  return out;
}

// Each 7.X button stands right after the button(s) it matches, has no
// designer name, and says 7.X in its caption.
TEST(Ros7Traffic, ButtonsFollowTheirSiblings) {
  const std::pair<const char*, std::vector<std::string>> pages[] = {
      {"simple-queues", {"gen-2x", "gen-3x", "gen-7x", "remove", "remove-7x"}},
      {"pcq-dynamic", {"gen-2x", "gen-3x", "gen-7x"}},
      {"pcq-whole", {"gen", "gen-7x"}},
      {"tcp-limit", {"host-2x", "host-3x", "host-7x", "net-2x", "net-3x", "net-7x"}},
      {"block-ping", {"block-lan", "block-lan-7x", "block-outside", "block-outside-7x"}},
      {"arp-binding",
       {"bind-2x", "bind-3x", "bind-7x", "bind-connected-2x", "bind-connected-3x", "bind-connected-7x", "delete-all-2x",
        "delete-all-3x", "delete-all-7x", "reply-only-2x", "reply-only-3x", "reply-only-7x", "unbind-2x", "unbind-3x",
        "unbind-7x"}},
  };
  for (const auto& [slug, expected] : pages) {
    std::vector<std::string> ids;
    walk(find_page(slug)->items, [&](const Item& item, const std::string&) {
      if (const auto* b = std::get_if<Button>(&item.v)) {
        ids.push_back(b->id);
        if (b->id.ends_with("-7x")) {
          EXPECT_TRUE(b->designer.empty()) << slug << " " << b->id;
          EXPECT_NE(b->caption.find("7.X"), std::string::npos) << slug << " " << b->id;
        }
      }
    });
    EXPECT_EQ(ids, expected) << slug;
  }
}

struct Case {
  const char* name;
  const char* page;
  const char* button;
  Values values;
  std::vector<std::string> check;
  std::string expected;
};

const std::string kQueueHead =
    ":for ketrova5 from=1 to=253 do={/queue simple add name=(\"ketrova5\" . $ketrova5) "
    "target=(\"192.168.0.\" . $ketrova5) ";
const std::string kTcpRule =
    "/ip firewall filter add chain=forward src-address=192.168.0.0/24 src-address-list=!ketrova5TcpList "
    "protocol=tcp connection-limit=200,32 action=drop comment=\"TCP\\C1\\AC\\BD\\D3\\CA\\FD\\CF\\DE\\D6\\C6\\CE\\AA:";
const std::string kExempt = " list=ketrova5TcpList";

std::string pcq_types(const std::string& up, const std::string& down) {
  return "/queue type add name=PCQ-up kind=pcq pcq-rate=" + up +
         " pcq-limit=50 pcq-classifier=src-address pcq-total-limit=2000\r\n"
         "/queue type add name=PCQ-down kind=pcq pcq-rate=" +
         down +
         " pcq-limit=50 pcq-classifier=dst-address pcq-total-limit=2000\r\n"
         "/ip firewall mangle add chain=prerouting action=mark-packet new-packet-mark=all-mark passthrough=yes\r\n";
}
std::string pcq_tree(const std::string& name, const std::string& parent, const std::string& queue) {
  return "/queue tree add name=" + name + " parent=" + parent + " queue=" + queue + " packet-mark=all-mark\r\n";
}

TEST(Ros7Traffic, Scripts) {
  const Case cases[] = {
      // Simple queues: the host is the target, so every pair is upload first.
      {"queues, defaults", "simple-queues", "gen-7x", {}, {}, kQueueHead + "max-limit=800000/800000}"},
      {"queues, upload first",
       "simple-queues",
       "gen-7x",
       {{"编辑框_上传", "50"}, {"编辑框_平均上传", "40"}},
       {"选择框_平均速度"},
       kQueueHead + "limit-at=320000/640000 max-limit=400000/800000}"},
      {"queues, professional with time window",
       "simple-queues",
       "gen-7x",
       {{"编辑框_突发上传时间", "5"}, {"编辑框_开始小时", "8"}},
       {"选择框_专业限速", "选择框_是否分时间段限速"},
       kQueueHead + "limit-at=640000/640000 max-limit=800000/800000 parent=none priority=8/8 queue=default/default "
                    "burst-limit=1600000/1600000 burst-threshold=800000/800000 burst-time=5s/3s total-queue=default "
                    "dst=0.0.0.0/0 time=8h0m0s-0h0m0s,sun,mon,tue,wed,thu,fri,sat}"},
      {"queues, typed text stays one value, empty range leaves dst out",
       "simple-queues",
       "gen-7x",
       {{"编辑框_机器名", "pc \"$a"},
        {"编辑框_IP", "10.0.0"},
        {"编辑框_机器数量首", ""},
        {"编辑框_突发下载时间", "1 0"},
        {"编辑框_限制IP范围", " "}},
       {"选择框_专业限速"},
       ":for ketrova5 from=\"\" to=253 do={/queue simple add name=(\"pc \\\"\\$a\" . $ketrova5) "
       "target=(\"10.0.0.\" . $ketrova5) limit-at=640000/640000 max-limit=800000/800000 parent=none priority=8/8 "
       "queue=default/default burst-limit=1600000/1600000 burst-threshold=800000/800000 "
       "burst-time=\"3s/1 0s\" total-queue=default}"},
      {"queue removal, defaults",
       "simple-queues",
       "remove-7x",
       {{"编辑框_机器数量首", "5"}},
       {},
       ":for ketrova5 from=1 to=253 do={/queue simple remove [/queue simple find name=(\"ketrova5\" . "
       "$ketrova5)]}"},
      {"queue removal, quoted name",
       "simple-queues",
       "remove-7x",
       {{"编辑框_机器名", "a\\b"}},
       {},
       ":for ketrova5 from=1 to=253 do={/queue simple remove [/queue simple find name=(\"a\\\\b\" . $ketrova5)]}"},
      // PCQ.
      {"pcq whole, defaults",
       "pcq-whole",
       "gen-7x",
       {},
       {},
       pcq_types("640000", "640000") + pcq_tree("PCQdown", "ether1", "PCQ-down") +
           pcq_tree("PCQup", "ether1", "PCQ-up")},
      {"pcq whole, both trees follow a quoted interface",
       "pcq-whole",
       "gen-7x",
       {{"编辑框_pcq整体网卡名称", "wan 1"}, {"编辑框_pcq整体上传", "10"}},
       {},
       pcq_types("80000", "640000") + pcq_tree("PCQdown", "\"wan 1\"", "PCQ-down") +
           pcq_tree("PCQup", "\"wan 1\"", "PCQ-up")},
      {"pcq dynamic, defaults",
       "pcq-dynamic",
       "gen-7x",
       {},
       {},
       pcq_types("640000", "640000") + pcq_tree("PCQdown", "ether1", "PCQ-down") +
           pcq_tree("PCQup", "ether1", "PCQ-up") +
           "/tool traffic-monitor add name=PCQdownon interface=ether1 traffic=received trigger=above "
           "threshold=80000 on-event=downon\r\n"
           "/tool traffic-monitor add name=PCQdownoff interface=ether1 traffic=received trigger=below "
           "threshold=60000 on-event=downoff\r\n"
           "/tool traffic-monitor add name=PCQupon interface=ether1 traffic=transmitted trigger=above "
           "threshold=80000 on-event=upon\r\n"
           "/tool traffic-monitor add name=PCQupoff interface=ether1 traffic=transmitted trigger=below "
           "threshold=60000 on-event=upoff\r\n"
           "/system script add name=upon source=\"/queue tree enable [/queue tree find name=PCQup]\" "
           "policy=ftp,reboot,read,write,policy,test,password,sniff,sensitive,romon\r\n"
           "/system script add name=upoff source=\"/queue tree disable [/queue tree find name=PCQup]\" "
           "policy=ftp,reboot,read,write,policy,test,password,sniff,sensitive,romon\r\n"
           "/system script add name=downon source=\"/queue tree enable [/queue tree find name=PCQdown]\" "
           "policy=ftp,reboot,read,write,policy,test,password,sniff,sensitive,romon\r\n"
           "/system script add name=downoff source=\"/queue tree disable [/queue tree find name=PCQdown]\" "
           "policy=ftp,reboot,read,write,policy,test,password,sniff,sensitive,romon"},
      // TCP limits.
      {"tcp per host, defaults",
       "tcp-limit",
       "host-7x",
       {},
       {},
       ":for ketrova5 from=1 to=200 do={/ip firewall filter add chain=forward src-address=(\"192.168.0.\" . "
       "$ketrova5) protocol=tcp connection-limit=200,32 action=drop}"},
      {"tcp per host, a limit with a blank is quoted whole",
       "tcp-limit",
       "host-7x",
       {{"编辑框_tcp_连接数", "2 00"}, {"编辑框_tcp_IP", "10.1.1"}},
       {},
       ":for ketrova5 from=1 to=200 do={/ip firewall filter add chain=forward src-address=(\"10.1.1.\" . "
       "$ketrova5) protocol=tcp connection-limit=\"2 00,32\" action=drop}"},
      {"tcp per network, defaults",
       "tcp-limit",
       "net-7x",
       {},
       {},
       "/ip firewall address-list add address=192.168.0.250" + kExempt +
           "\r\n"
           "/ip firewall address-list add address=192.168.0.252" +
           kExempt + "\r\n" + kTcpRule + "200\""},
      {"tcp per network, blanks cut and empty pieces left out",
       "tcp-limit",
       "net-7x",
       {{"编辑框_tcp_排除ip", "10.0.0.9, ,,10.0.0.8,"}, {"编辑框_tcp_子网掩码", "255.255.0.0"}},
       {},
       "/ip firewall address-list add address=10.0.0.9" + kExempt +
           "\r\n"
           "/ip firewall address-list add address=10.0.0.8" +
           kExempt +
           "\r\n"
           "/ip firewall filter add chain=forward src-address=192.168.0.0/16 src-address-list=!ketrova5TcpList "
           "protocol=tcp connection-limit=200,32 action=drop comment=\"TCP\\C1\\AC\\BD\\D3\\CA\\FD\\CF\\DE\\D6\\C6"
           "\\CE\\AA:200\""},
      {"tcp per network, no exemption, quoted limit",
       "tcp-limit",
       "net-7x",
       {{"编辑框_tcp_排除ip", ""}, {"编辑框_tcp_连接数1", "1\"0"}},
       {},
       "/ip firewall filter add chain=forward src-address=192.168.0.0/24 src-address-list=!ketrova5TcpList "
       "protocol=tcp connection-limit=\"1\\\"0,32\" action=drop comment=\"TCP\\C1\\AC\\BD\\D3\\CA\\FD\\CF\\DE\\D6"
       "\\C6\\CE\\AA:1\\\"0\""},
  };
  for (const auto& c : cases) {
    Session s(c.page);
    s.set_output("announcement");
    EXPECT_EQ(s.press(c.button, c.values, c.check), Outcome::Done) << c.name;
    EXPECT_EQ(s.output(), c.expected) << c.name;
    EXPECT_EQ(findings(s.output()), "") << c.name;
    EXPECT_TRUE(s.env.messages.empty()) << c.name;
  }
}

// The dynamic page's switches hang on typed interfaces and thresholds; the
// upload tree stays on ether1 as in the 3.x script.
TEST(Ros7Traffic, PcqDynamicVariant) {
  Session s("pcq-dynamic");
  ASSERT_EQ(s.press("gen-7x", {{"编辑框_pcq选择针对网卡", "ether2"},
                               {"编辑框_pcq网卡1", ""},
                               {"编辑框_pcq高于4", "0.5"},
                               {"编辑框_pcq网卡3", "wan\"1"}}),
            Outcome::Done);
  const std::string out = s.output();
  EXPECT_EQ(findings(out), "");
  for (const std::string& part : {
           pcq_tree("PCQdown", "ether2", "PCQ-down") + pcq_tree("PCQup", "ether1", "PCQ-up"),
           std::string("name=PCQdownon interface=\"\" traffic=received"),
           std::string("name=PCQupon interface=\"wan\\\"1\" traffic=transmitted"),
           std::string("trigger=below threshold=5000 on-event=upoff\r\n"),
       }) {
    EXPECT_NE(out.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace rosgen::test
