// Tab 16: TCP connection limits.
#include <gtest/gtest.h>

#include <algorithm>

#include "support.h"

namespace rosgen::test {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

std::string address(const std::string& a) {
  return "/ ip firewall address-list add address=" + a + " list=ketrova5TcpList disabled=no";
}
std::string rule(const std::string& net, const std::string& n) {
  return "/ ip firewall filter add chain=forward src-address=" + net +
         " src-address-list=!ketrova5TcpList protocol=tcp connection-limit=" + n +
         ",32 action=drop comment=\"TCP\\C1\\AC\\BD\\D3\\CA\\FD\\CF\\DE\\D6\\C6\\CE\\AA:" + n + "\"";
}
const std::string kRule = rule("192.168.0.0/255.255.255.0", "200");

TEST(TcpLimit, PerHostLine) {
  struct Case {
    const char* name;
    Values values;
    std::string expected;
  } cases[] = {
      {"defaults",
       {},
       ":for ketrova5 from=1 to=200 do={/ip firewall filter add chain=forward src-address=(\"192.168.0.\" . "
       "$ketrova5) protocol=tcp connection-limit=200,32 action=drop}"},
      {"range kept as typed, trimmed",
       {{"编辑框_tcp_机器开始数量", " 20"},
        {"编辑框_tcp_结束数量", "10　"},
        {"编辑框_tcp_IP", "10.0.1 "},
        {"编辑框_tcp_连接数", "abc"}},
       ":for ketrova5 from=20 to=10 do={/ip firewall filter add chain=forward src-address=(\"10.0.1.\" . "
       "$ketrova5) protocol=tcp connection-limit=abc,32 action=drop}"},
      {"empties",
       {{"编辑框_tcp_机器开始数量", ""}, {"编辑框_tcp_结束数量", ""}, {"编辑框_tcp_IP", ""}, {"编辑框_tcp_连接数", ""}},
       ":for ketrova5 from= to= do={/ip firewall filter add chain=forward src-address=(\".\" . $ketrova5) "
       "protocol=tcp connection-limit=,32 action=drop}"},
      {"network fields are not read",
       {{"编辑框_tcp_连接数1", "9"}, {"编辑框_tcp_排除ip", "x,"}},
       ":for ketrova5 from=1 to=200 do={/ip firewall filter add chain=forward src-address=(\"192.168.0.\" . "
       "$ketrova5) protocol=tcp connection-limit=200,32 action=drop}"},
  };
  for (const auto& c : cases) {
    for (const char* button : {"host-2x", "host-3x"}) {
      Session s("tcp-limit");
      s.set_output("old");
      EXPECT_EQ(s.press(button, c.values), Outcome::Done);
      EXPECT_EQ(s.output(), c.expected) << c.name << " / " << button;
    }
  }
}

TEST(TcpLimit, PerNetworkScript) {
  struct Case {
    const char* name;
    Values values;
    std::string expected;
  } cases[] = {
      {"defaults", {}, crlf({address("192.168.0.250"), address("192.168.0.252"), kRule}, false)},
      {"blank after the comma is kept",
       {{"编辑框_tcp_排除ip", "192.168.0.250, 192.168.0.252"}},
       crlf({address("192.168.0.250"), address(" 192.168.0.252"), kRule}, false)},
      {"two commas in a row",
       {{"编辑框_tcp_排除ip", "10.0.0.1,,10.0.0.3"}},
       crlf({address("10.0.0.1"), address(""), address("10.0.0.3"), kRule}, false)},
      {"trailing comma after two adds nothing",
       {{"编辑框_tcp_排除ip", "10.0.0.1,10.0.0.2,"}},
       crlf({address("10.0.0.1"), address("10.0.0.2"), kRule}, false)},
      {"leading comma is an empty piece",
       {{"编辑框_tcp_排除ip", ",10.0.0.2"}},
       crlf({address(""), address("10.0.0.2"), kRule}, false)},
      {"one address", {{"编辑框_tcp_排除ip", " 10.0.0.9 "}}, crlf({address("10.0.0.9"), kRule}, false)},
      {"empty field", {{"编辑框_tcp_排除ip", "　"}}, crlf({address(""), kRule}, false)},
      // A single address followed by a comma still writes its line and the rule.
      {"one address and a comma",
       {{"编辑框_tcp_排除ip", "192.168.0.250,"}},
       crlf({address("192.168.0.250"), kRule}, false)},
      {"a lone comma", {{"编辑框_tcp_排除ip", ","}}, crlf({address(""), kRule}, false)},
      {"network, mask and limit",
       {{"编辑框_tcp_内网ip", " 10.0.0.0"},
        {"编辑框_tcp_子网掩码", "8 "},
        {"编辑框_tcp_连接数1", " 150 "},
        {"编辑框_tcp_排除ip", "10.0.0.5"}},
       crlf({address("10.0.0.5"), rule("10.0.0.0/8", "150")}, false)},
      {"empties",
       {{"编辑框_tcp_内网ip", ""}, {"编辑框_tcp_子网掩码", ""}, {"编辑框_tcp_连接数1", ""}},
       crlf({address("192.168.0.250"), address("192.168.0.252"), rule("/", "")}, false)},
      {"per-host fields are not read",
       {{"编辑框_tcp_连接数", "9"}, {"编辑框_tcp_IP", "x"}},
       crlf({address("192.168.0.250"), address("192.168.0.252"), kRule}, false)},
  };
  for (const auto& c : cases) {
    for (const char* button : {"net-2x", "net-3x"}) {
      Session s("tcp-limit");
      s.set_output("old");
      EXPECT_EQ(s.press(button, c.values), Outcome::Done);
      EXPECT_EQ(s.output(), c.expected) << c.name << " / " << button;
      EXPECT_TRUE(s.env.messages.empty());
    }
  }
}

TEST(TcpLimit, HostileExemptionsGoThroughWhole) {
  std::string many;
  for (int i = 0; i < 5000; ++i) many += "10.0." + std::to_string(i) + ",";
  Session s("tcp-limit");
  s.form->set_text("编辑框_tcp_排除ip", Gbk::from_bytes(many + "\"\xFF\x81,\xA3"));
  s.form->set_text("编辑框_tcp_内网ip", Gbk::from_bytes(std::string(64 * 1024, 'n')));
  // The box is emptied and filled once, not redrawn per address.
  int output_changes = 0;
  s.form->subscribe([&](const Change& ch) { output_changes += ch.kind == Change::Output; });
  Press p;
  p.button = "net-3x";
  EXPECT_EQ(s.press(p), Outcome::Done);
  EXPECT_LE(output_changes, 2);
  const std::string& out = s.form->output().bytes();
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 5002);
  EXPECT_TRUE(out.starts_with(address("10.0.0") + "\r\n" + address("10.0.1") + "\r\n"));
  EXPECT_NE(out.find("\r\n" + address("\"\xFF\x81") + "\r\n" + address("\xA3") + "\r\n"), std::string::npos);
  EXPECT_NE(out.find("src-address=" + std::string(64 * 1024, 'n') + "/255.255.255.0 "), std::string::npos);
}

}  // namespace
}  // namespace rosgen::test
