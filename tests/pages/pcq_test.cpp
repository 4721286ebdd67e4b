// Tabs 12 and 13: dynamic and whole PCQ rate limits.
#include <gtest/gtest.h>

#include <algorithm>

#include "support.h"

namespace rosgen::test {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

// What one script carries in its variable places.
struct Expect {
  std::string up = "640000", down = "640000", nic = "ether1";
  std::string i1 = "ether1", i2 = "ether1", i3 = "ether1", i4 = "ether1";
  std::string t1 = "80000", t2 = "60000", t3 = "80000", t4 = "60000";
};

std::string type_up(const Expect& e) {
  return "/ queue type add name=\"PCQ-up\" kind=pcq pcq-rate=" + e.up +
         " pcq-limit=50 pcq-classifier=src-address pcq-total-limit=2000";
}
std::string type_down(const Expect& e) {
  return "/ queue type add name=\"PCQ-down\" kind=pcq pcq-rate=" + e.down +
         " pcq-limit=50 pcq-classifier=dst-address pcq-total-limit=2000";
}
const std::string kMangle =
    "/ ip firewall mangle add chain=prerouting action=mark-packet new-packet-mark=all-mark passthrough=yes";
std::string tree_down(const Expect& e) {
  return "/ queue tree add name=\"PCQdown\" parent=" + e.nic + " queue=PCQ-down packet-mark=all-mark";
}
std::string tree_up(const std::string& parent) {
  return "/ queue tree add name=\"PCQup\" parent=" + parent + " queue=PCQ-up packet-mark=all-mark";
}
std::string monitor(const std::string& name, const std::string& nic, const std::string& traffic,
                    const std::string& trigger, const std::string& threshold, const std::string& event) {
  return "add name=\"" + name + "\" interface=" + nic + " traffic=" + traffic + " trigger=" + trigger +
         " threshold=" + threshold + " on-event=" + event + " comment=\"\" disabled=no";
}

std::string dynamic_3x(const Expect& e) {
  const std::string policy = " policy=ftp,password,read,reboot,sniff,telnet,web,write,local,policy,ssh,test,winbox";
  return crlf(
      {
          type_up(e),
          type_down(e),
          kMangle,
          tree_down(e),
          tree_up("ether1"),
          "/ tool traffic-monitor " + monitor("PCQdownon", e.i1, "received", "above", e.t1, "downon"),
          "/ tool traffic-monitor " + monitor("PCQdownoff", e.i2, "received", "below", e.t2, "downoff"),
          "/ tool traffic-monitor " + monitor("PCQupon", e.i3, "transmitted", "above", e.t3, "upon"),
          "/ tool traffic-monitor " + monitor("PCQupoff", e.i4, "transmitted", "below", e.t4, "upoff"),
          "/ system script add name=\"upon\" source=\":if ([/queue tree get [/queue tree find  name=\\\"PCQup\\\"] "
          "disable ]=true ) do={/queue tree enable PCQup}\"" +
              policy,
          "/ system script add name=\"upoff\" source=\":if ([/queue tree get [/queue tree find  name=\\\"PCQup\\\"] "
          "disable ]=false ) do={/queue tree disable PCQup}\"" +
              policy,
          "/ system script add name=\"downon\" source=\":if ([/queue tree get [/queue tree find  "
          "name=\\\"PCQdown\\\"] disable ]=true ) do={/queue tree enable PCQdown}\"" +
              policy,
          "/ system script add name=\"downoff\" source=\":if ([/queue tree get [/queue tree find  "
          "name=\\\"PCQdown\\\"] disable ]=false ) do={/queue tree disable PCQdown}\"" +
              policy,
      },
      false);
}

std::string dynamic_2x(const Expect& e) {
  const std::string policy = "    policy=ftp,reboot,read,write,policy,test,winbox,password";
  const std::string head = R"(source=":if \(\[ /queue tree get \[/queue tree find \)";
  return crlf(
      {
          type_up(e),
          type_down(e),
          kMangle,
          tree_down(e),
          tree_up("ether1"),
          "/ tool traffic-monitor",
          monitor("PCQdownon", e.i1, "received", "above", e.t1, "downon"),
          monitor("PCQdownoff", e.i2, "received", "below", e.t2, "downoff"),
          monitor("PCQupon", e.i3, "transmitted", "above", e.t3, "upon"),
          monitor("PCQupoff", e.i4, "transmitted", "below", e.t4, "upoff"),
          "/ system script",
          "add name=\"upon\" " + head,
          R"(    name=\"PCQup\"\] disable \]=true \) do={/queue tree enable PCQup}" \)",
          policy,
          "add name=\"upoff\" " + head,
          R"(    name=\"PCQup\"\] disable \]=false \) do={/queue tree disable PCQup}" \)",
          policy,
          "add name=\"downon\" " + head,
          R"(    name=\"PCQdown\"\] disable \]=true \) do={/queue tree enable PCQdown}" \)",
          policy,
          "add name=\"downoff\" " + head,
          R"(    name=\"PCQdown\"\] disable \]=false \) do={/queue tree disable PCQdown}" \)",
          policy,
      },
      false);
}

std::string whole(const Expect& e) {
  return crlf({type_up(e), type_down(e), kMangle, tree_down(e), tree_up(e.nic)}, true);
}

size_t line_ends(const std::string& s) {
  size_t n = 0;
  for (size_t at = s.find("\r\n"); at != std::string::npos; at = s.find("\r\n", at + 2)) ++n;
  return n;
}

TEST(PcqDynamic, DefaultsWrite13And23Lines) {
  Session s3("pcq-dynamic");
  EXPECT_EQ(s3.press("gen-3x"), Outcome::Done);
  const std::string out3 = s3.output();
  EXPECT_EQ(out3.substr(0, out3.find("\r\n")),
            "/ queue type add name=\"PCQ-up\" kind=pcq pcq-rate=640000 pcq-limit=50 pcq-classifier=src-address "
            "pcq-total-limit=2000");
  EXPECT_EQ(line_ends(out3), 12u);
  EXPECT_FALSE(out3.ends_with("\r\n"));
  EXPECT_NE(out3.find("\r\n/ tool traffic-monitor add name=\"PCQdownon\" interface=ether1 traffic=received "
                      "trigger=above threshold=80000 on-event=downon"),
            std::string::npos);
  EXPECT_EQ(out3, dynamic_3x({}));

  Session s2("pcq-dynamic");
  EXPECT_EQ(s2.press("gen-2x"), Outcome::Done);
  EXPECT_EQ(line_ends(s2.output()), 22u);
  EXPECT_FALSE(s2.output().ends_with("\r\n"));
  EXPECT_EQ(s2.output(), dynamic_2x({}));
  // No stray LF or CR outside the CR LF pairs.
  for (const std::string& out : {out3, s2.output()}) {
    EXPECT_EQ(static_cast<size_t>(std::count(out.begin(), out.end(), '\n')), line_ends(out));
    EXPECT_EQ(static_cast<size_t>(std::count(out.begin(), out.end(), '\r')), line_ends(out));
  }
}

TEST(PcqDynamic, FieldsTakeTheirPlaces) {
  struct Case {
    const char* name;
    Values values;
    Expect expect;
  } cases[] = {
      {"interface moves only the download tree", {{"编辑框_pcq选择针对网卡", " ether2 "}}, {.nic = "ether2"}},
      {"rates", {{"编辑框_pcq上传", "12.5"}, {"编辑框_pcq下载", "１００"}}, {.up = "100000", .down = "800000"}},
      {"rates that are no number", {{"编辑框_pcq上传", "abc"}, {"编辑框_pcq下载", ""}}, {.up = "0", .down = "0"}},
      {"thresholds times ten thousand",
       {{"编辑框_pcq高于1", "0.5"}, {"编辑框_pcq高于2", ""}, {"编辑框_pcq高于3", "x"}, {"编辑框_pcq高于4", "　100 "}},
       {.t1 = "5000", .t2 = "0", .t3 = "0", .t4 = "1000000"}},
      {"huge threshold", {{"编辑框_pcq高于1", "1e9"}}, {.t1 = "1e+13"}},
      {"monitor interfaces",
       {{"编辑框_pcq网卡1", "wan1"},
        {"编辑框_pcq网卡2", " wan2"},
        {"编辑框_pcq网卡3", ""},
        {"编辑框_pcq网卡4", "p\"x"}},
       {.i1 = "wan1", .i2 = "wan2", .i3 = "", .i4 = "p\"x"}},
      {"empty interface", {{"编辑框_pcq选择针对网卡", ""}}, {.nic = ""}},
  };
  for (const auto& c : cases) {
    Session s("pcq-dynamic");
    s.set_output("old");
    EXPECT_EQ(s.press("gen-3x", c.values), Outcome::Done);
    EXPECT_EQ(s.output(), dynamic_3x(c.expect)) << c.name;
    s.press("gen-2x", c.values);
    EXPECT_EQ(s.output(), dynamic_2x(c.expect)) << c.name;
    EXPECT_TRUE(s.env.messages.empty());
  }
}

TEST(PcqWhole, FiveLinesBothTreesOnTheInterface) {
  struct Case {
    const char* name;
    Values values;
    Expect expect;
  } cases[] = {
      {"defaults", {}, {}},
      {"interface moves both trees", {{"编辑框_pcq整体网卡名称", "　ether2"}}, {.nic = "ether2"}},
      {"rates", {{"编辑框_pcq整体上传", "0.5"}, {"编辑框_pcq整体下载", "abc"}}, {.up = "4000", .down = "0"}},
      {"empty interface", {{"编辑框_pcq整体网卡名称", " "}}, {.nic = ""}},
  };
  for (const auto& c : cases) {
    Session s("pcq-whole");
    s.set_output("old");
    EXPECT_EQ(s.press("gen", c.values), Outcome::Done);
    EXPECT_EQ(s.output(), whole(c.expect)) << c.name;
    EXPECT_EQ(line_ends(s.output()), 5u);
    EXPECT_TRUE(s.output().ends_with("\r\n"));
  }
  Session s("pcq-whole");
  s.press("gen");
  EXPECT_EQ(s.output(),
            "/ queue type add name=\"PCQ-up\" kind=pcq pcq-rate=640000 pcq-limit=50 pcq-classifier=src-address "
            "pcq-total-limit=2000\r\n"
            "/ queue type add name=\"PCQ-down\" kind=pcq pcq-rate=640000 pcq-limit=50 pcq-classifier=dst-address "
            "pcq-total-limit=2000\r\n"
            "/ ip firewall mangle add chain=prerouting action=mark-packet new-packet-mark=all-mark passthrough=yes\r\n"
            "/ queue tree add name=\"PCQdown\" parent=ether1 queue=PCQ-down packet-mark=all-mark\r\n"
            "/ queue tree add name=\"PCQup\" parent=ether1 queue=PCQ-up packet-mark=all-mark\r\n");
}

}  // namespace
}  // namespace rosgen::test
