// Tab 10: Telecom and Netcom fixed-IP uplinks and their route block.
#include <gtest/gtest.h>

#include <fstream>

#include "support.h"

namespace rosgen::test {
namespace {

std::string install(const std::string& dns) {
  return crlf({"/ ip add add interface=ether3 address=192.168.0.254/255.255.255.0 comment=\"Lan\"",
               "/ ip address add address=203.0.113.2/255.255.255.248 interface=ether1 comment=\"Tel\" disabled=no",
               "/ ip address add address=198.51.100.2/255.255.255.248 interface=ether2 comment=\"Cnc\" disabled=no",
               "/ ip firewall nat add chain=srcnat src-address=192.168.0.0/255.255.255.0 action=masquerade "
               "comment=\"\" disabled=no",
               "/ ip firewall nat add chain=dstnat src-address=192.168.0.0/255.255.255.0 protocol=udp dst-port=53 "
               "action=dst-nat to-addresses=192.168.0.254 to-ports=53 comment=\"\" disabled=no",
               "/ ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=1440",
               "/ ip dns set " + dns + " allow-remote-requests=yes cache-size=2048KiB cache-max-ttl=1w"},
              false);
}

TEST(DualFixed, InstallScript) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<std::string> check;
    std::string expected;
  } cases[] = {
      {"Telecom main", {}, {}, install("primary-dns=114.114.114.114 secondary-dns=223.5.5.5")},
      {"Netcom main swaps only the DNS servers",
       {},
       {"单选框_网通"},
       install("primary-dns=223.5.5.5 secondary-dns=114.114.114.114")},
      {"values trimmed; the LAN mask and network used twice; empty fields leave empty places",
       {{"编辑框_双线固定IP_内网网卡", " ether5 "},
        {"编辑框_双线固定IP_内网ip", "10.1.1.1"},
        {"编辑框_双线固定IP_内网子网", "24"},
        {"编辑框_双线固定IP_内网网段", "10.1.1.0　"},
        {"编辑框_双线固定IP_外网电信ip", ""},
        {"编辑框_双线固定IP_外网电信子网", ""},
        {"编编辑框_双线固定IP_外网网通ip", "198.51.100.9"},
        {"编编辑框_双线固定IP_外网网通子网", "29"},
        {"编辑框_双线固定IP_网通网卡", "ether9"},
        {"编辑框_双线固定IP_电信DNS", ""},
        {"编编辑框_双线固定IP_MSS值", ""}},
       {"单选框_网通"},
       crlf({"/ ip add add interface=ether5 address=10.1.1.1/24 comment=\"Lan\"",
             "/ ip address add address=/ interface=ether1 comment=\"Tel\" disabled=no",
             "/ ip address add address=198.51.100.9/29 interface=ether9 comment=\"Cnc\" disabled=no",
             "/ ip firewall nat add chain=srcnat src-address=10.1.1.0/24 action=masquerade comment=\"\" disabled=no",
             "/ ip firewall nat add chain=dstnat src-address=10.1.1.0/24 protocol=udp dst-port=53 action=dst-nat "
             "to-addresses=10.1.1.1 to-ports=53 comment=\"\" disabled=no",
             "/ ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=",
             "/ ip dns set primary-dns=223.5.5.5 secondary-dns= allow-remote-requests=yes cache-size=2048KiB "
             "cache-max-ttl=1w"},
            false)},
  };
  for (const auto& c : cases) {
    for (const char* button : {"gen-2x", "按钮_电信网通双线_脚本生成3x"}) {
      Session s("dual-fixed");
      s.set_output("announcement");
      EXPECT_EQ(s.press(button, c.values, c.check), Outcome::Done);
      s.press(button, c.values, c.check);
      EXPECT_EQ(s.output(), c.expected) << c.name << " / " << button;
      EXPECT_TRUE(s.env.messages.empty());
    }
  }
}

size_t count(const std::string& s, const std::string& part) {
  size_t n = 0;
  for (size_t p = s.find(part); p != std::string::npos; p = s.find(part, p + 1)) ++n;
  return n;
}

size_t network_bytes(const char* file) {
  std::ifstream in(std::string(ROSGEN_DATA_DIR) + "/carrier-routes/" + file);
  size_t n = 0;
  for (std::string line; std::getline(in, line);) n += line.size();
  return n;
}

const Shown kTelnet{"注意", "请开启Telnet服务,然后用超级终端连接运行此脚本!\r\n\r\n否则会出错!"};

TEST(DualFixed, RouteBlock) {
  const std::string header = "/ ip route \r\n";
  // An entry's bytes besides its network and gateway; every entry ends with CR LF once filled.
  const size_t entry_a = std::string(
                             "add dst-address= gateway= check-gateway=ping\r\n"
                             "distance=1 scope=255 target-scope=10 comment=\"\" disabled=no \r\n")
                             .size();
  const size_t entry_b = std::string(
                             "add dst-address= gateway= distance=1 \r\n"
                             "scope=255 check-gateway=ping target-scope=10 comment=\"\" disabled=no\r\n")
                             .size();
  const size_t backup = std::string(
                            "add dst-address=0.0.0.0/0 gateway= check-gateway=ping distance=2\r\n"
                            "scope=255 target-scope=10 comment=\"\" disabled=no")
                            .size();
  const std::string tg = "203.000.113.101";  // 15 characters
  const std::string cg = "198.051.100.101";
  struct Case {
    const char* name;
    std::vector<std::string> check;
    size_t entries;
    size_t bytes;
    std::string first;
    std::string last;
  } cases[] = {
      {"Telecom main: Netcom networks through the Netcom gateway",
       {},
       134,
       header.size() + network_bytes("netcom.txt") + 134 * (entry_a + 15) - 1 + backup + 15,
       header + "add dst-address=59.80.0.0/14 gateway=" + cg + " check-gateway=ping\r\n" +
           "distance=1 scope=255 target-scope=10 comment=\"\" disabled=no \r\n" +
           "add dst-address=60.0.0.0/13 gateway=" + cg + " check-gateway=ping\r\n",
       "add dst-address=222.208.65.0/24 gateway=" + cg + " check-gateway=ping\r\n" +
           "distance=1 scope=255 target-scope=10 comment=\"\" disabled=no\r\n" + "add dst-address=0.0.0.0/0 gateway=" +
           tg + " check-gateway=ping distance=2\r\n" + "scope=255 target-scope=10 comment=\"\" disabled=no"},
      {"Netcom main: Telecom networks through the Telecom gateway",
       {"单选框_网通"},
       247,
       header.size() + network_bytes("telecom.txt") + 247 * (entry_b + 15) + backup + 15,
       header + "add dst-address=58.14.0.0/15 gateway=" + tg + " distance=1 \r\n" +
           "scope=255 check-gateway=ping target-scope=10 comment=\"\" disabled=no\r\n" +
           "add dst-address=58.24.0.0/15 gateway=" + tg + " distance=1 \r\n",
       "add dst-address=202.100.0.0/15 gateway=" + tg + " distance=1 \r\n" +
           "scope=255 check-gateway=ping target-scope=10 comment=\"\" disabled=no\r\n" +
           "add dst-address=0.0.0.0/0 gateway=" + cg + " check-gateway=ping distance=2\r\n" +
           "scope=255 target-scope=10 comment=\"\" disabled=no"},
  };
  ASSERT_GT(network_bytes("netcom.txt"), 0u);
  for (const auto& c : cases) {
    for (const char* button : {"routes-2x", "按钮_电信网通双线_路由表3x"}) {
      Session s("dual-fixed");
      EXPECT_EQ(
          s.press(button, {{"编辑框_双线固定IP_电信网关", " " + tg + " "}, {"编辑框_双线固定IP_外网网通网关", cg}},
                  c.check),
          Outcome::Done);
      const std::string out = s.output();
      EXPECT_EQ(out.size(), c.bytes) << c.name;
      EXPECT_TRUE(out.starts_with(c.first)) << c.name << "\n" << out.substr(0, 300);
      EXPECT_TRUE(out.ends_with(c.last)) << c.name << "\n" << out.substr(out.size() - 300);
      EXPECT_EQ(count(out, "add dst-address="), c.entries + 1) << c.name;
      EXPECT_EQ(count(out, "/ ip route"), 1u);
      EXPECT_EQ(count(out, "distance=2"), 1u);
      EXPECT_EQ(s.env.messages, std::vector<Shown>{kTelnet}) << c.name;
    }
  }
}

TEST(DualFixed, EmptyGatewaysLeaveTheSlotsEmpty) {
  Session s("dual-fixed");
  s.press("routes-2x", {{"编辑框_双线固定IP_电信网关", ""}, {"编辑框_双线固定IP_外网网通网关", ""}});
  EXPECT_EQ(count(s.output(), " gateway= check-gateway=ping\r\n"), 134u);
  EXPECT_TRUE(
      s.output().ends_with("add dst-address=0.0.0.0/0 gateway= check-gateway=ping distance=2\r\n"
                           "scope=255 target-scope=10 comment=\"\" disabled=no"));
}

// The warning comes first, nothing is written while it is open, and the fields
// are read once it is closed.
class ChangingEnv : public FakeEnv {
 public:
  void message(const std::string& text, const std::string& caption) override {
    FakeEnv::message(text, caption);
    output_while_shown = form->output().bytes();
    form->set_text("编辑框_双线固定IP_外网网通网关", "192.0.2.77"_a);
  }
  Form* form = nullptr;
  std::string output_while_shown;
};

TEST(DualFixed, WarningBeforeAnythingIsWrittenOnEveryPress) {
  auto form = start_form(*find_page("dual-fixed"));
  ChangingEnv env;
  env.form = form.get();
  form->set_output("old"_a);
  Press p;
  p.button = "routes-3x";
  EXPECT_EQ(press(*form, env, p), Outcome::Done);
  EXPECT_EQ(env.output_while_shown, "old");
  EXPECT_NE(form->output().bytes().find("add dst-address=59.80.0.0/14 gateway=192.0.2.77 check-gateway=ping\r\n"),
            std::string::npos);
  press(*form, env, p);
  EXPECT_EQ(env.messages.size(), 2u);
  EXPECT_EQ(env.output_while_shown, form->output().bytes());
}

}  // namespace
}  // namespace rosgen::test
