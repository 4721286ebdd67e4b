// Tab 25: DDNS update scripts and the provider's sign-up page.
#include <gtest/gtest.h>

#include "script/text.h"
#include "support.h"

namespace rosgen::test {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

struct Filled {
  std::string user, password, host, interface;
};

std::string script_2x(const Filled& v) {
  return crlf(
      {":log info \"DDNS: Begin\"", ":global ddns-user \"" + v.user + "\"", ":global ddns-pass \"" + v.password + "\"",
       ":global ddns-host \"" + v.host + "\"", ":global ddns-interface \"" + v.interface + "\"",
       ":global ddns-system (\"mt-\" . [/system package get [/system package find name=system] version] ) ",
       ":global ddns-ip [ /ip address get [/ip address find interface=$ddns-interface] address ] ",
       ":if ([ :typeof $ddns-lastip ] = nil ) do={ :global ddns-lastip 0.0.0.0/0 } ",
       ":if ([ :typeof $ddns-ip ] = nil ) do={ ",
       ":log info (\"DDNS: No ip address present on \" . $ddns-interface . \", please check.\") } else={ ",
       ":if ($ddns-ip != $ddns-lastip) do={ ", ":log info \"DDNS: Sending UPDATE!\"",
       ":log info [ /tool dns-update name=$ddns-host address=[:pick $ddns-ip 0 [:find $ddns-ip \"/\"] ] "
       "key-name=$ddns-user key=$ddns-pass ]",
       ":global ddns-lastip $ddns-ip } else={ ", ":log info \"DDNS: No change\"", "}", "}", ":log info \"DDNS: End\""},
      false);
}

std::string script_3x(const Filled& v) {
  return crlf({":global ddnsuser \"" + v.user + "\"",
               ":global ddnspass \"" + v.password + "\"",
               ":global ddnshost \"" + v.host + "\"",
               ":global ddnsip",
               ":global ddnsipfn",
               ":global ddnslastip [:tostr [:resolve $ddnshost] ]",
               ":if ([ :typeof $ddnslastip ] = nil ) do={ :global ddnslastip \"0\" }",
               ":global ddnsinterface \"" + v.interface + "\"",
               ":global ddnssystem (\"mt-\" . [/system package get system version] )",
               ":local int",
               ":local ddnsipfn [ /ip address get [/ip address find interface=$ddnsinterface ] address ]",
               ":global ddnsip [:pick $ddnsipfn 0 [:find $ddnsipfn \"/\" ] ]",
               ":if ([ :typeof $ddnsip ] = nil ) do={",
               ":log info (\"DDNS: No ip address present on \" . $ddnsinterface . \", please check.\")",
               "} else={",
               ":if ($ddnsip != $ddnslastip) do={",
               ":log info \"DDNS: Sending UPDATE!\"",
               ":log info [ :put [/tool dns-update name=$ddnshost address=$ddnsip key-name=$ddnsuser key=$ddnspass ] ]",
               ":global ddnslastip $ddnsip",
               "} else={ ",
               ":log info \"DDNS: No update required.\"",
               "}",
               "}"},
              false);
}

const Filled kDefaults{"username", "password1234", "myhost.rosgen.example.org", "pppoe-out1"};

TEST(Ddns, Scripts) {
  struct Case {
    const char* name;
    Values values;
    Filled expected;
  } cases[] = {
      {"defaults", {}, kDefaults},
      {"trimmed values, quotes and Chinese inserted as typed",
       {{"编辑框_DDNS_用户帐号", " me　"},
        {"编辑框_DDNS_用户密码", " pa\"ss "},
        {"编辑框_DDNS_绑定域名", "　路由.example.org"},
        {"编辑框_DDNS_外网网卡", "ether1 "}},
       {"me", "pa\"ss", "路由.example.org", "ether1"}},
      {"empty values",
       {{"编辑框_DDNS_用户帐号", ""}, {"编辑框_DDNS_外网网卡", "  "}},
       {"", "password1234", "myhost.rosgen.example.org", ""}},
  };
  for (const auto& c : cases) {
    using Script = std::string (*)(const Filled&);
    for (const auto& [button, script] : {std::pair<const char*, Script>{"gen-2x", script_2x},
                                         std::pair<const char*, Script>{"按钮_DDNS_生成3x", script_3x}}) {
      Session s("ddns");
      s.set_output("old");
      EXPECT_EQ(s.press(button, c.values), Outcome::Done);
      EXPECT_EQ(s.output(), script(c.expected)) << c.name << " / " << button;
      // A second press gives the same text, not a longer one.
      EXPECT_EQ(s.press(button, c.values), Outcome::Done);
      EXPECT_EQ(s.output(), script(c.expected)) << c.name << " / " << button;
      EXPECT_TRUE(s.env.messages.empty());
      EXPECT_TRUE(s.env.opened.empty());
    }
  }
}

// The interface stands on one line only: line 5 of the 2.9.x script, line 8 of the 3.x one.
TEST(Ddns, InterfaceChangesOneLine) {
  for (const auto& [button, line] :
       {std::pair<const char*, int>{"gen-2x", 4}, std::pair<const char*, int>{"gen-3x", 7}}) {
    Session s("ddns");
    s.press(button);
    std::vector<Gbk> before = split(s.form->output(), "\r\n"_a);
    s.press(button, {{"编辑框_DDNS_外网网卡", "ether9"}});
    std::vector<Gbk> after = split(s.form->output(), "\r\n"_a);
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
      EXPECT_EQ(before[i] == after[i], static_cast<int>(i) != line) << button << " line " << i + 1;
    }
  }
}

TEST(Ddns, SignUpOpensTheProviderAndWritesNothing) {
  Session s("ddns");
  s.set_output("old");
  EXPECT_EQ(s.press("按钮_DDNS_申请帐号", {{"编辑框_DDNS_用户帐号", "x"}}), Outcome::Done);
  EXPECT_EQ(s.env.opened, std::vector<std::string>{"https://rosgen.example.org/signup.asp?"});
  EXPECT_EQ(s.output(), "old");
  EXPECT_TRUE(s.env.messages.empty());
}

TEST(Ddns, HostileValuesNeverCrash) {
  const std::vector<std::string> hostile = {std::string(64 * 1024, '"'), std::string("\x81\x20\xFF\xA1", 4),
                                            "\"; /system reset; \"", ""};
  for (const std::string& value : hostile) {
    for (const char* button : {"signup", "gen-2x", "gen-3x"}) {
      Session s("ddns");
      for (const char* id :
           {"编辑框_DDNS_用户帐号", "编辑框_DDNS_用户密码", "编辑框_DDNS_绑定域名", "编辑框_DDNS_外网网卡"}) {
        s.form->set_text(id, Gbk::from_bytes(value));
      }
      EXPECT_EQ(s.press(button), Outcome::Done) << button;
      if (std::string(button) != "signup") {
        EXPECT_NE(s.form->output().bytes().find(value), std::string::npos) << "inserted whole: " << button;
      }
    }
  }
}

}  // namespace
}  // namespace rosgen::test
