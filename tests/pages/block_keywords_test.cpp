// Tab 20: keyword blocking.
#include <gtest/gtest.h>

#include "support.h"

namespace rosgen::test {
namespace {

TEST(BlockKeywords, Rules) {
  struct Case {
    const char* name;
    bool source;
    std::vector<std::pair<std::string, std::string>> values;
    std::string expected;
  } cases[] = {
      {"all sources, defaults",
       false,
       {},
       "/ ip firewall filter add chain=forward content=\"POCO\" action=drop comment=\"Blockade POCO\" disabled=no"},
      {"one network, defaults",
       true,
       {},
       "/ ip firewall filter add chain=forward src-address=192.168.0.0/24 content=\"POCO\" action=drop "
       "comment=\"Blockade POCO\" disabled=no"},
      {"source fields ignored when off",
       false,
       {{"编辑框_tcp_IP地址", "10.0.0.1"}, {"编辑框_tcp_tcp子网", "32"}},
       "/ ip firewall filter add chain=forward content=\"POCO\" action=drop comment=\"Blockade POCO\" disabled=no"},
      {"one host, trimmed",
       true,
       {{"编辑框_tcp_IP地址", " 10.0.0.1"},
        {"编辑框_tcp_tcp子网", "32 "},
        {"编辑框_tcp_关键字域名", " qq.com "},
        {"编辑框_tcp_备注", "　no qq"}},
       "/ ip firewall filter add chain=forward src-address=10.0.0.1/32 content=\"qq.com\" action=drop "
       "comment=\"no qq\" disabled=no"},
      {"quotes not escaped",
       false,
       {{"编辑框_tcp_关键字域名", "a\"b"}, {"编辑框_tcp_备注", "\""}},
       "/ ip firewall filter add chain=forward content=\"a\"b\" action=drop comment=\"\"\" disabled=no"},
      {"empty fields",
       true,
       {{"编辑框_tcp_IP地址", ""}, {"编辑框_tcp_tcp子网", ""}, {"编辑框_tcp_关键字域名", ""}, {"编辑框_tcp_备注", ""}},
       "/ ip firewall filter add chain=forward src-address=/ content=\"\" action=drop comment=\"\" disabled=no"},
  };
  for (const auto& c : cases) {
    for (const char* button : {"gen-2x", "gen-3x"}) {
      Session s("block-keywords");
      s.set_output("announcement");
      std::vector<std::string> check, uncheck;
      (c.source ? check : uncheck).push_back("选择框_tcp_选择");
      EXPECT_EQ(s.press(button, c.values, check, uncheck), Outcome::Done) << c.name;
      EXPECT_EQ(s.output(), c.expected) << c.name << " / " << button;
      EXPECT_TRUE(s.env.messages.empty());
    }
  }
}

}  // namespace
}  // namespace rosgen::test
