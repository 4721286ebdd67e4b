// RouterOS 7 buttons of the traffic pages (simple queues, PCQ, TCP limit); the
// order of the ping blocking and ARP binding pages' buttons.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "routeros/checker.h"
#include "routeros/model.h"
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

const std::string kFasttrackOff = "/ip firewall filter disable [find comment=\"defconf: fasttrack\"]\r\n";
const std::string kQueueHead =
    kFasttrackOff +
    ":for ketrova5 from=1 to=253 do={/queue simple remove [find name=(\"ketrova5\" . $ketrova5)]; "
    "/queue simple add name=(\"ketrova5\" . $ketrova5) "
    "target=(\"192.168.0.\" . $ketrova5) ";
const std::string kTcpDrop = " protocol=tcp connection-state=new connection-limit=200,32 action=drop";
const std::string kBeforeFasttrack = " place-before=[find comment=\"defconf: fasttrack\"]";
const std::string kTcpComment = " comment=\"TCP\\C1\\AC\\BD\\D3\\CA\\FD\\CF\\DE\\D6\\C6\\CE\\AA:";
const std::string kTcpRule =
    "/ip firewall filter add chain=forward src-address=192.168.0.0/24 src-address-list=!ketrova5TcpList" + kTcpDrop +
    kTcpComment;
const std::string kExempt = " list=ketrova5TcpList";
// What finds an earlier press's drop rule, then its list, for the network given.
const std::string kTcpFind = " protocol=tcp connection-state=new action=drop";
std::string tcp_replaced(const std::string& network) {
  return "/ip firewall address-list remove [find list=ketrova5TcpList]\r\n"
         "/ip firewall filter remove [find chain=forward src-address=" +
         network + kTcpFind + "]\r\n";
}

// The PCQ set-up on the uplink that `out` and `in` match.
std::string pcq_setup(const std::string& up, const std::string& down, const std::string& out = "out-interface=ether1",
                      const std::string& in = "in-interface=ether1") {
  const std::string mangle = "/ip firewall mangle add chain=forward action=";
  const std::string type_up =
      "PCQ-up kind=pcq pcq-rate=" + up + " pcq-limit=50 pcq-classifier=src-address pcq-total-limit=2000";
  const std::string type_down =
      "PCQ-down kind=pcq pcq-rate=" + down + " pcq-limit=50 pcq-classifier=dst-address pcq-total-limit=2000";
  // An earlier press's trees and marks go; its types are set anew.
  return "/queue tree remove [find name=PCQdown]\r\n/queue tree remove [find name=PCQup]\r\n"
         "/ip firewall mangle remove [find new-connection-mark=pcq]\r\n"
         "/ip firewall mangle remove [find new-packet-mark=pcq-up]\r\n"
         "/ip firewall mangle remove [find new-packet-mark=pcq-down]\r\n"
         ":if ([:len [/queue type find name=PCQ-up]] = 0) do={/queue type add name=" +
         type_up + "} else={/queue type set [find name=PCQ-up] " + type_up.substr(type_up.find(' ') + 1) + "}\r\n" +
         ":if ([:len [/queue type find name=PCQ-down]] = 0) do={/queue type add name=" + type_down +
         "} else={/queue type set [find name=PCQ-down] " + type_down.substr(type_down.find(' ') + 1) + "}\r\n" +
         mangle + "mark-connection new-connection-mark=pcq connection-mark=no-mark " + out + "\r\n" + mangle +
         "mark-connection new-connection-mark=pcq connection-mark=no-mark " + in + "\r\n" + mangle +
         "mark-packet new-packet-mark=pcq-up " + out + "\r\n" + mangle + "mark-packet new-packet-mark=pcq-down " + in +
         "\r\n"
         "/ip firewall filter set [find comment=\"defconf: fasttrack\"] connection-mark=no-mark\r\n"
         "/queue tree add name=PCQdown parent=global queue=PCQ-down packet-mark=pcq-down\r\n"
         "/queue tree add name=PCQup parent=global queue=PCQ-up packet-mark=pcq-up\r\n";
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
       kFasttrackOff +
           ":for ketrova5 from=\"\" to=253 do={/queue simple remove [find name=(\"pc \\\"\\$a\" . $ketrova5)]; "
           "/queue simple add name=(\"pc \\\"\\$a\" . $ketrova5) "
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
      {"pcq whole, defaults", "pcq-whole", "gen-7x", {}, {}, pcq_setup("640000", "640000")},
      {"pcq whole, the marks follow a quoted interface",
       "pcq-whole",
       "gen-7x",
       {{"编辑框_pcq整体网卡名称", "wan 1"}, {"编辑框_pcq整体上传", "10"}},
       {},
       pcq_setup("80000", "640000", "out-interface=\"wan 1\"", "in-interface=\"wan 1\"")},
      {"pcq whole, no interface: every uplink of the WAN list",
       "pcq-whole",
       "gen-7x",
       {{"编辑框_pcq整体网卡名称", " "}},
       {},
       pcq_setup("640000", "640000", "out-interface-list=WAN", "in-interface-list=WAN")},
      {"pcq dynamic, defaults",
       "pcq-dynamic",
       "gen-7x",
       {},
       {},
       pcq_setup("640000", "640000") + "/tool traffic-monitor remove [find name=PCQdownon]\r\n/tool traffic-monitor "
                                       "add name=PCQdownon interface=ether1 traffic=received trigger=above "
                                       "threshold=8000000 on-event=downon\r\n"
                                       "/tool traffic-monitor remove [find name=PCQdownoff]\r\n/tool traffic-monitor "
                                       "add name=PCQdownoff interface=ether1 traffic=received trigger=below "
                                       "threshold=6000000 on-event=downoff\r\n"
                                       "/tool traffic-monitor remove [find name=PCQupon]\r\n/tool traffic-monitor add "
                                       "name=PCQupon interface=ether1 traffic=transmitted trigger=above "
                                       "threshold=8000000 on-event=upon\r\n"
                                       "/tool traffic-monitor remove [find name=PCQupoff]\r\n/tool traffic-monitor add "
                                       "name=PCQupoff interface=ether1 traffic=transmitted trigger=below "
                                       "threshold=6000000 on-event=upoff\r\n"
                                       "/system script remove [find name=upon]\r\n/system script add name=upon "
                                       "source=\"/queue tree enable [/queue tree find name=PCQup]\" "
                                       "policy=read,write\r\n"
                                       "/system script remove [find name=upoff]\r\n/system script add name=upoff "
                                       "source=\"/queue tree disable [/queue tree find name=PCQup]\" "
                                       "policy=read,write\r\n"
                                       "/system script remove [find name=downon]\r\n/system script add name=downon "
                                       "source=\"/queue tree enable [/queue tree find name=PCQdown]\" "
                                       "policy=read,write\r\n"
                                       "/system script remove [find name=downoff]\r\n/system script add name=downoff "
                                       "source=\"/queue tree disable [/queue tree find name=PCQdown]\" "
                                       "policy=read,write"},
      // TCP limits.
      {"tcp per host, defaults",
       "tcp-limit",
       "host-7x",
       {},
       {},
       ":for ketrova5 from=1 to=200 do={/ip firewall filter remove [find chain=forward src-address=(\"192.168.0.\" . "
       "$ketrova5)" +
           kTcpFind + "]; /ip firewall filter add chain=forward src-address=(\"192.168.0.\" . $ketrova5)" + kTcpDrop +
           kBeforeFasttrack + "}"},
      {"tcp per host, a limit with a blank is quoted whole",
       "tcp-limit",
       "host-7x",
       {{"编辑框_tcp_连接数", "2 00"}, {"编辑框_tcp_IP", "10.1.1"}},
       {},
       ":for ketrova5 from=1 to=200 do={/ip firewall filter remove [find chain=forward src-address=(\"10.1.1.\" . "
       "$ketrova5)" +
           kTcpFind +
           "]; /ip firewall filter add chain=forward src-address=(\"10.1.1.\" . $ketrova5) protocol=tcp "
           "connection-state=new connection-limit=\"2 00,32\" action=drop" +
           kBeforeFasttrack + "}"},
      {"tcp per network, defaults",
       "tcp-limit",
       "net-7x",
       {},
       {},
       tcp_replaced("192.168.0.0/24") + "/ip firewall address-list add address=192.168.0.250" + kExempt +
           "\r\n"
           "/ip firewall address-list add address=192.168.0.252" +
           kExempt + "\r\n" + kTcpRule + "200\"" + kBeforeFasttrack},
      {"tcp per network, blanks cut and empty pieces left out",
       "tcp-limit",
       "net-7x",
       {{"编辑框_tcp_排除ip", "10.0.0.9, ,,10.0.0.8,"}, {"编辑框_tcp_子网掩码", "255.255.0.0"}},
       {},
       tcp_replaced("192.168.0.0/16") + "/ip firewall address-list add address=10.0.0.9" + kExempt +
           "\r\n"
           "/ip firewall address-list add address=10.0.0.8" +
           kExempt +
           "\r\n"
           "/ip firewall filter add chain=forward src-address=192.168.0.0/16 src-address-list=!ketrova5TcpList" +
           kTcpDrop + kTcpComment + "200\"" + kBeforeFasttrack},
      {"tcp per network, no exemption names no list, quoted limit",
       "tcp-limit",
       "net-7x",
       {{"编辑框_tcp_排除ip", ""}, {"编辑框_tcp_连接数1", "1\"0"}},
       {},
       tcp_replaced("192.168.0.0/24") +
           "/ip firewall filter add chain=forward src-address=192.168.0.0/24 protocol=tcp connection-state=new "
           "connection-limit=\"1\\\"0,32\" action=drop" +
           kTcpComment + "1\\\"0\"" + kBeforeFasttrack},
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

// The dynamic page's marks, monitors and thresholds follow the typed values.
TEST(Ros7Traffic, PcqDynamicVariant) {
  Session s("pcq-dynamic");
  ASSERT_EQ(s.press("gen-7x", {{"编辑框_pcq选择针对网卡", "ether2"},
                               {"编辑框_pcq网卡1", ""},
                               {"编辑框_pcq高于1", "99999"},
                               {"编辑框_pcq高于2", "-3"},
                               {"编辑框_pcq高于4", "0.5"},
                               {"编辑框_pcq网卡3", "wan\"1"}}),
            Outcome::Done);
  const std::string out = s.output();
  EXPECT_EQ(findings(out), "");
  for (const std::string& part : {
           pcq_setup("640000", "640000", "out-interface=ether2", "in-interface=ether2"),
           std::string("name=PCQdownon interface=\"\" traffic=received trigger=above threshold=4294967295 "),
           std::string("trigger=below threshold=0 on-event=downoff"),
           std::string("name=PCQupon interface=\"wan\\\"1\" traffic=transmitted"),
           std::string("trigger=below threshold=500000 on-event=upoff\r\n"),
       }) {
    EXPECT_NE(out.find(part), std::string::npos) << part;
  }
}

// The professional queues take the priority field for both directions, held within 1 to 8.
TEST(Ros7Traffic, QueuePriority) {
  for (const auto& [typed, written] : std::vector<std::pair<std::string, std::string>>{
           {"3", "3/3"}, {" 1 ", "1/1"}, {"0", "1/1"}, {"12", "8/8"}, {"abc", "8/8"}, {"", "8/8"}, {"-2", "8/8"}}) {
    Session s("simple-queues");
    ASSERT_EQ(s.press("gen-7x", {{"编辑框_数据包优先极", typed}}, {"选择框_专业限速"}), Outcome::Done);
    EXPECT_NE(s.output().find(" priority=" + written + " "), std::string::npos) << typed << "\n" << s.output();
  }
}

// One `add` of a script: its menu and its arguments (values without blanks).
struct Added {
  std::string menu;
  std::map<std::string, std::string> args;
};

std::vector<Added> added(const std::string& script) {
  std::vector<Added> out;
  std::istringstream lines(script);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = guarded_add(line);
    const std::size_t at = line.find(" add ");
    if (line.empty() || line[0] != '/' || at == std::string::npos) continue;
    Added a{line.substr(0, at), {}};
    std::istringstream words(line.substr(at + 5));
    for (std::string w; words >> w;) {
      const std::size_t eq = w.find('=');
      if (eq != std::string::npos) a.args[w.substr(0, eq)] = w.substr(eq + 1);
    }
    out.push_back(std::move(a));
  }
  return out;
}

// Both PCQ pages shape every host both ways: each tree has a parent and packet mark of its
// own; the tree that tells hosts apart by source address hangs where the source is still the
// host's (not on an interface, after source NAT); each tree's mark is set on the packets of
// its direction across the uplink, in connections that are marked too, and the default
// fasttrack rule spares marked connections.
TEST(Ros7Traffic, PcqShapesEachHostBothWays) {
  const std::string spare = "/ip firewall filter set [find comment=\"defconf: fasttrack\"] connection-mark=no-mark\r\n";
  for (const auto& [page, nic] : std::vector<std::pair<std::string, std::string>>{
           {"pcq-whole", "编辑框_pcq整体网卡名称"}, {"pcq-dynamic", "编辑框_pcq选择针对网卡"}}) {
    for (const std::string uplink : {"ether1", "pppoe-out1", ""}) {
      SCOPED_TRACE(page + " " + uplink);
      Session s(page);
      ASSERT_EQ(s.press("gen-7x", {{nic, uplink}}), Outcome::Done);
      const std::string out = s.output();
      EXPECT_NE(out.find(spare), std::string::npos);
      std::map<std::string, std::string> classifier;        // queue type -> classifier
      std::map<std::string, std::string> marked_by;         // packet mark -> its rule's interface matcher
      std::set<std::string> connection_matchers;            // interface matchers of mark-connection rules
      std::set<std::pair<std::string, std::string>> trees;  // (parent, packet mark)
      std::vector<Added> tree_lines;
      for (const Added& a : added(out)) {
        auto arg = [&](const char* k) { return a.args.count(k) ? a.args.at(k) : std::string(); };
        const std::string matcher = a.args.count("out-interface") || a.args.count("out-interface-list") ? "out" : "in";
        if (a.menu == "/queue type") classifier[arg("name")] = arg("pcq-classifier");
        if (a.menu == "/ip firewall mangle" && arg("action") == "mark-packet")
          marked_by[arg("new-packet-mark")] = matcher;
        if (a.menu == "/ip firewall mangle" && arg("action") == "mark-connection") {
          EXPECT_EQ(arg("connection-mark"), "no-mark");
          connection_matchers.insert(matcher);
        }
        if (a.menu == "/queue tree") {
          EXPECT_TRUE(trees.insert({arg("parent"), arg("packet-mark")}).second) << "two trees on one parent and mark";
          tree_lines.push_back(a);
        }
      }
      ASSERT_EQ(tree_lines.size(), 2u);
      EXPECT_EQ(connection_matchers, (std::set<std::string>{"in", "out"}));
      for (const Added& t : tree_lines) {
        const std::string by = classifier[t.args.at("queue")];
        EXPECT_EQ(t.args.at("parent"), "global") << t.args.at("name");
        ASSERT_TRUE(marked_by.count(t.args.at("packet-mark"))) << t.args.at("name");
        // Upload leaves by the uplink and is told apart by source, download the other way.
        EXPECT_EQ(marked_by[t.args.at("packet-mark")], by == "src-address" ? "out" : "in") << t.args.at("name");
      }
    }
  }
}

// The dynamic page's monitors run scripts that are there, and each script switches the tree of
// its monitor's direction: received traffic the download tree, transmitted the upload tree;
// above switches it on, below off.
TEST(Ros7Traffic, PcqDynamicMonitorsSwitchTheirTrees) {
  Session s("pcq-dynamic");
  ASSERT_EQ(s.press("gen-7x"), Outcome::Done);
  std::map<std::string, std::string> source;  // script name -> source
  std::set<std::string> trees;
  std::vector<Added> monitors;
  for (const Added& a : added(s.output())) {
    if (a.menu == "/queue tree") trees.insert(a.args.at("name"));
    if (a.menu == "/tool traffic-monitor") monitors.push_back(a);
  }
  // Script sources hold blanks: read them whole.
  std::istringstream lines(s.output());
  for (std::string line; std::getline(lines, line);) {
    const std::string head = "/system script add name=";
    if (line.rfind(head, 0) != 0) continue;
    const std::size_t q = line.find(" source=\"");
    source[line.substr(head.size(), q - head.size())] = line.substr(q + 9, line.find('"', q + 9) - q - 9);
  }
  ASSERT_EQ(monitors.size(), 4u);
  for (const Added& m : monitors) {
    const std::string tree = m.args.at("traffic") == "received" ? "PCQdown" : "PCQup";
    const std::string verb = m.args.at("trigger") == "above" ? "enable" : "disable";
    ASSERT_TRUE(source.count(m.args.at("on-event"))) << m.args.at("name");
    EXPECT_EQ(source[m.args.at("on-event")], "/queue tree " + verb + " [/queue tree find name=" + tree + "]");
    EXPECT_TRUE(trees.count(tree)) << tree;
  }
}

// Realistic forms of every traffic button, run on a router with the default configuration:
// no run-time error and no rule of meaning raised (fasttrack-bypass, queue-tree-same-mark,
// pcq-after-nat, unreachable-rule, unknown-reference, ...).
TEST(Ros7Traffic, RealisticFormsRaiseNothingOnTheDefaultConfiguration) {
  const struct {
    const char* page;
    const char* button;
    Values values;
    std::vector<std::string> check;
  } cases[] = {
      {"simple-queues", "gen-7x", {}, {}},
      {"simple-queues", "gen-7x", {{"编辑框_IP", "192.168.88"}, {"编辑框_机器数量首", "10"}}, {"选择框_平均速度"}},
      {"simple-queues",
       "gen-7x",
       {{"编辑框_IP", "192.168.88"}, {"编辑框_数据包优先极", "2"}, {"编辑框_开始小时", "8"}, {"编辑框_结束小时", "23"}},
       {"选择框_专业限速", "选择框_是否分时间段限速"}},
      {"simple-queues", "remove-7x", {}, {}},
      {"pcq-whole", "gen-7x", {}, {}},
      {"pcq-whole", "gen-7x", {{"编辑框_pcq整体网卡名称", ""}, {"编辑框_pcq整体上传", "50"}}, {}},
      {"pcq-dynamic", "gen-7x", {}, {}},
      {"pcq-dynamic",
       "gen-7x",
       {{"编辑框_pcq选择针对网卡", ""}, {"编辑框_pcq高于1", "90"}, {"编辑框_pcq高于2", "70"}},
       {}},
      {"tcp-limit", "host-7x", {{"编辑框_tcp_IP", "192.168.88"}, {"编辑框_tcp_结束数量", "254"}}, {}},
      {"tcp-limit", "net-7x", {{"编辑框_tcp_内网ip", "192.168.88.0"}, {"编辑框_tcp_排除ip", "192.168.88.2"}}, {}},
      {"tcp-limit", "net-7x", {{"编辑框_tcp_排除ip", ""}}, {}},
  };
  for (const auto& c : cases) {
    Session s(c.page);
    ASSERT_EQ(s.press(c.button, c.values, c.check), Outcome::Done) << c.page << " " << c.button;
    std::string found;
    for (const auto& f : ros7::check_meaning(s.output(), ros7::Base::Defconf)) {
      found += std::to_string(f.line) + ":" + std::to_string(f.col) + " " + f.message + " [" + f.rule + "]\n";
    }
    EXPECT_EQ(found, "") << c.page << " " << c.button << "\n" << s.output();
  }
}

}  // namespace
}  // namespace rosgen::test
