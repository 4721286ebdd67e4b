// Tab 15: ARP binding.
#include <gtest/gtest.h>

#include "support.h"

namespace rosgen::test {
namespace {

TEST(ArpBinding, BothDialectsWriteTheSameLine) {
  struct Case {
    const char* name;
    const char* pair;  // button id without "-2x"/"-3x"
    std::vector<std::pair<std::string, std::string>> values;
    std::string expected;
  } cases[] = {
      {"custom, defaults",
       "bind",
       {},
       "/ ip arp add address=192.168.0.1 mac-address=00:00:00:00:00:00 interface=ether1"},
      {"custom, trimmed, MAC before interface",
       "bind",
       {{"编辑框_ARP_IP地址", " 10.0.0.9 "}, {"编辑框_ARP_网卡", "　ether2"}, {"编辑框_ARP_MAC", "AA:BB:CC:DD:EE:FF "}},
       "/ ip arp add address=10.0.0.9 mac-address=AA:BB:CC:DD:EE:FF interface=ether2"},
      {"custom, empty MAC",
       "bind",
       {{"编辑框_ARP_MAC", ""}},
       "/ ip arp add address=192.168.0.1 mac-address= interface=ether1"},
      {"connected entries",
       "bind-connected",
       {{"编辑框_ARP_IP地址", "ignored"}},
       ":foreach ketrova5 in=[/ip arp find dynamic=yes ] do={/ip arp add copy-from=$ketrova5}"},
      {"delete all", "delete-all", {}, ":foreach ketrova5 in=[/ip arp find] do={/ip arp remove $ketrova5}"},
      {"reply-only, defaults", "reply-only", {}, "/ interface ethernet set ether1 arp=reply-only"},
      {"reply-only, blanks around",
       "reply-only",
       {{"编辑框_ARP_设置网卡", " ether2 "}},
       "/ interface ethernet set ether2 arp=reply-only"},
      {"reply-only reads its own field",
       "reply-only",
       {{"编辑框_ARP_网卡", "ether9"}},
       "/ interface ethernet set ether1 arp=reply-only"},
      {"unbind", "unbind", {{"编辑框_ARP_设置网卡", "ether3"}}, "/ interface ethernet set ether3 arp=enabled"},
      {"unbind, empty", "unbind", {{"编辑框_ARP_设置网卡", ""}}, "/ interface ethernet set  arp=enabled"},
  };
  for (const auto& c : cases) {
    for (const char* dialect : {"-2x", "-3x"}) {
      Session s("arp-binding");
      s.set_output("announcement");
      EXPECT_EQ(s.press(std::string(c.pair) + dialect, c.values), Outcome::Done) << c.name;
      EXPECT_EQ(s.output(), c.expected) << c.name << dialect;
      EXPECT_TRUE(s.env.messages.empty());
    }
  }
}

}  // namespace
}  // namespace rosgen::test
