// Tab 18: port mapping.
#include <gtest/gtest.h>

#include "support.h"

namespace rosgen::test {
namespace {

TEST(PortMapping, BothDialectsWriteTheSameRule) {
  struct Case {
    const char* name;
    const char* form;  // button id without "-2x"/"-3x"
    std::vector<std::pair<std::string, std::string>> values;
    std::string expected;
  } cases[] = {
      {"fixed, defaults",
       "fixed",
       {},
       "/ip firewall nat add chain=dstnat dst-address=203.0.113.2 protocol=tcp dst-port=80 action=dst-nat "
       "to-addresses=192.168.0.1 to-ports=80 comment=\"WEB SERVER\""},
      {"fixed, port range and trimmed values",
       "fixed",
       {{"编辑框_映射_固定外网IP", " 198.51.100.4 "},
        {"编辑框_映射_固定外网端口", "21-80"},
        {"编辑框_映射_固定外网协议", "udp　"},
        {"编辑框_映射_固定内网IP", "10.0.0.5"},
        {"编辑框_映射_固定内网端口", " 2121"},
        {"编辑框_映射_固定备注", " FTP "}},
       "/ip firewall nat add chain=dstnat dst-address=198.51.100.4 protocol=udp dst-port=21-80 action=dst-nat "
       "to-addresses=10.0.0.5 to-ports=2121 comment=\"FTP\""},
      {"fixed, all empty",
       "fixed",
       {{"编辑框_映射_固定外网IP", ""},
        {"编辑框_映射_固定外网端口", ""},
        {"编辑框_映射_固定外网协议", ""},
        {"编辑框_映射_固定内网IP", ""},
        {"编辑框_映射_固定内网端口", ""},
        {"编辑框_映射_固定备注", ""}},
       "/ip firewall nat add chain=dstnat dst-address= protocol= dst-port= action=dst-nat to-addresses= to-ports= "
       "comment=\"\""},
      {"pppoe, defaults",
       "pppoe",
       {},
       "/ip firewall nat add chain=dstnat src-address=!192.168.0.0/255.255.255.0 dst-address=!192.168.0.254 "
       "protocol=tcp dst-port=80 action=dst-nat to-addresses=192.168.0.253 to-ports=80 comment=\"WEB SERVER\""},
      {"pppoe, every field in its place",
       "pppoe",
       {{"编辑框_映射_PPOE_内网网段", "10.1.0.0"},
        {"编辑框_映射_PPOE_内网子网掩码", "255.255.0.0"},
        {"编辑框_映射_PPOE_外网端口", "8080"},
        {"编辑框_映射_PPOE_内网协议", "udp"},
        {"编辑框_映射_PPOE_内网网关", "10.1.0.1"},
        {"编辑框_映射_PPOE_内网端口", "80"},
        {"编辑框_映射_PPOE_备注", "CAM"},
        {"编辑框_映射_PPOE_映射主机ip", " 10.1.0.20 "},
        {"编辑框_映射_固定外网IP", "not read"}},
       "/ip firewall nat add chain=dstnat src-address=!10.1.0.0/255.255.0.0 dst-address=!10.1.0.1 protocol=udp "
       "dst-port=8080 action=dst-nat to-addresses=10.1.0.20 to-ports=80 comment=\"CAM\""},
  };
  for (const auto& c : cases) {
    for (const char* dialect : {"-2x", "-3x"}) {
      Session s("port-mapping");
      s.set_output("announcement");
      EXPECT_EQ(s.press(std::string(c.form) + dialect, c.values), Outcome::Done) << c.name;
      EXPECT_EQ(s.output(), c.expected) << c.name << dialect;
      EXPECT_TRUE(s.env.messages.empty());
    }
  }
}

}  // namespace
}  // namespace rosgen::test
