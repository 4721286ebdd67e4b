// Tab 14: ping blocking.
#include <gtest/gtest.h>

#include "support.h"

namespace rosgen::test {
namespace {

TEST(BlockPing, Rules) {
  struct Case {
    const char* name;
    const char* button;
    std::vector<std::pair<std::string, std::string>> values;
    std::string expected;
  } cases[] = {
      {"LAN, defaults",
       "block-lan",
       {},
       "/ ip firewall filter add chain=output src-address=192.168.0.0/255.255.255.0 protocol=icmp action=drop "
       "comment=\"192.168.0.0 prohibited from the Ping\""},
      {"LAN, network read trimmed in both places",
       "block-lan",
       {{"编辑框_禁内网拼网段", " 10.0.0.0　"}, {"编辑框_禁内子网掩码", "255.0.0.0"}},
       "/ ip firewall filter add chain=output src-address=10.0.0.0/255.0.0.0 protocol=icmp action=drop "
       "comment=\"10.0.0.0 prohibited from the Ping\""},
      {"LAN, empty fields",
       "block-lan",
       {{"编辑框_禁内网拼网段", ""}, {"编辑框_禁内子网掩码", " "}},
       "/ ip firewall filter add chain=output src-address=/ protocol=icmp action=drop "
       "comment=\" prohibited from the Ping\""},
      {"LAN rule ignores the outside fields",
       "block-lan",
       {{"编辑框_禁止外网拼网段", "10.1.0.0"}},
       "/ ip firewall filter add chain=output src-address=192.168.0.0/255.255.255.0 protocol=icmp action=drop "
       "comment=\"192.168.0.0 prohibited from the Ping\""},
      {"outside, defaults: negated network, two blanks before Ping",
       "block-outside",
       {},
       "/ ip firewall filter add chain=output src-address=!192.168.0.0/255.255.255.0 protocol=icmp action=drop "
       "comment=\"Prohibition of the net from outside the  Ping\""},
      {"outside, own fields",
       "block-outside",
       {{"编辑框_禁止外网拼网段", "172.16.0.0 "},
        {"编辑框_禁止外网拼子网掩码", " 255.240.0.0"},
        {"编辑框_禁内网拼网段", "10.0.0.0"}},
       "/ ip firewall filter add chain=output src-address=!172.16.0.0/255.240.0.0 protocol=icmp action=drop "
       "comment=\"Prohibition of the net from outside the  Ping\""},
  };
  for (const auto& c : cases) {
    Session s("block-ping");
    s.set_output("announcement");
    EXPECT_EQ(s.press(c.button, c.values), Outcome::Done) << c.name;
    EXPECT_EQ(s.output(), c.expected) << c.name;
    EXPECT_TRUE(s.env.messages.empty()) << c.name;
  }
}

}  // namespace
}  // namespace rosgen::test
