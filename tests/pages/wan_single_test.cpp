// Tabs 4 and 5: single-uplink installs.
#include <gtest/gtest.h>

#include "support.h"

namespace rosgen::test {
namespace {

struct Case {
  const char* name;
  std::vector<std::pair<std::string, std::string>> values;
  std::string expected;
};

const std::string kFixedDefault = crlf(
    {
        "/ip address add address=192.168.0.254/255.255.255.0 interface=ether2",
        "/ip address add address=203.0.113.2/255.255.255.248 interface=ether1",
        "/ip route add gateway=203.0.113.1",
        "/ip firewall nat add chain=srcnat action=masquerade src-address=192.168.0.0/255.255.255.0",
        "/ip dns set primary-dns=114.114.114.114 secondary-dns=223.5.5.5",
        "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=1440",
    },
    false);

TEST(WanFixed, Scripts) {
  const Case cases[] = {
      {"defaults", {}, kFixedDefault},
      {"prefix mask",
       {{"编辑框_安装_子网掩码", "24"}},
       crlf(
           {"/ip address add address=192.168.0.254/24 interface=ether2",
            "/ip address add address=203.0.113.2/255.255.255.248 interface=ether1", "/ip route add gateway=203.0.113.1",
            "/ip firewall nat add chain=srcnat action=masquerade src-address=192.168.0.0/24",
            "/ip dns set primary-dns=114.114.114.114 secondary-dns=223.5.5.5",
            "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=1440"},
           false)},
      {"blanks trimmed around, kept inside; empty places stay empty",
       {{"编辑框_安装_内网网卡", "  ether 3　"}, {"编辑框_安装_外网网关ip", ""}, {"编辑框_安装_TCPMSS值", " "}},
       crlf({"/ip address add address=192.168.0.254/255.255.255.0 interface=ether 3",
             "/ip address add address=203.0.113.2/255.255.255.248 interface=ether1", "/ip route add gateway=",
             "/ip firewall nat add chain=srcnat action=masquerade src-address=192.168.0.0/255.255.255.0",
             "/ip dns set primary-dns=114.114.114.114 secondary-dns=223.5.5.5",
             "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss="},
            false)},
  };
  for (const Case& c : cases) {
    for (const char* button : {"gen-2x", "按钮_安装_生成3x"}) {
      Session s("wan-fixed");
      s.set_output("announcement");
      EXPECT_EQ(s.press(button, c.values), Outcome::Done);
      EXPECT_EQ(s.output(), c.expected) << c.name << " / " << button;
      // A second press replaces the text.
      s.press(button, c.values);
      EXPECT_EQ(s.output(), c.expected) << c.name;
      EXPECT_TRUE(s.env.messages.empty());
    }
  }
}

TEST(WanPppoe, Scripts) {
  const Case cases[] = {
      {"defaults",
       {},
       crlf({"/ip address add address=192.168.0.254/255.255.255.0 interface=ether2 comment=lan",
             "/interface pppoe-client add name=pppoe-out1 interface=ether1 user=adsl0001@example.net "
             "password=pass1234 add-default-route=yes disabled=no",
             "/ip firewall nat add chain=srcnat action=masquerade src-address=192.168.0.0/255.255.255.0",
             "/ip dns set primary-dns=114.114.114.114 secondary-dns=223.5.5.5",
             "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=1440"},
            true)},
      {"password keeps its blanks, account does not",
       {{"编辑框_ppoe_密码", " pw d "}, {"编辑框_ppoe_帐号", " user "}, {"编辑框_ppoe_子网掩码", "24"}},
       crlf({"/ip address add address=192.168.0.254/24 interface=ether2 comment=lan",
             "/interface pppoe-client add name=pppoe-out1 interface=ether1 user=user password= pw d  "
             "add-default-route=yes disabled=no",
             "/ip firewall nat add chain=srcnat action=masquerade src-address=192.168.0.0/24",
             "/ip dns set primary-dns=114.114.114.114 secondary-dns=223.5.5.5",
             "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=1440"},
            true)},
      {"all empty",
       {{"编辑框_ppoe_内网网卡", ""},
        {"编辑框_ppoe_内网ip", ""},
        {"编辑框_ppoe_内网网段", ""},
        {"编辑框_ppoe_子网掩码", ""},
        {"编辑框_ppoe_拔号标志", ""},
        {"编辑框_ppoe_用于拔号的网卡", ""},
        {"编辑框_ppoe_帐号", ""},
        {"编辑框_ppoe_密码", ""},
        {"编辑框_ppoe_首选DNS", ""},
        {"编辑框_ppoe_备用dns", ""},
        {"编辑框_ppoe_tcpmss值", ""}},
       crlf({"/ip address add address=/ interface= comment=lan",
             "/interface pppoe-client add name= interface= user= password= add-default-route=yes disabled=no",
             "/ip firewall nat add chain=srcnat action=masquerade src-address=/",
             "/ip dns set primary-dns= secondary-dns=",
             "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss="},
            true)},
  };
  for (const Case& c : cases) {
    for (const char* button : {"按钮_pppoe_2x生成", "gen-3x"}) {
      Session s("wan-pppoe");
      EXPECT_EQ(s.press(button, c.values), Outcome::Done);
      s.press(button, c.values);
      EXPECT_EQ(s.output(), c.expected) << c.name << " / " << button;
    }
  }
}

}  // namespace
}  // namespace rosgen::test
