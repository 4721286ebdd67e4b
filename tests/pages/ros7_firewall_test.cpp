// RouterOS 7 buttons of the firewall pages (tabs 17 to 20) and of the DDNS page (tab 25).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support.h"

namespace rosgen::test {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

struct Case {
  const char* name;
  const char* slug;
  const char* button;
  Values values;
  std::vector<std::string> check;
  std::string expected;
};

TEST(Firewall7, Scripts) {
  const Case cases[] = {
      {"fixed mapping, defaults",
       "port-mapping",
       "fixed-7x",
       {},
       {},
       "/ip firewall nat add chain=dstnat dst-address=203.0.113.2 protocol=tcp dst-port=80 action=dst-nat "
       "to-addresses=192.168.0.1 to-ports=80 comment=\"WEB SERVER\""},
      {"fixed mapping, a port range and a comment that needs escapes",
       "port-mapping",
       "fixed-7x",
       {{"编辑框_映射_固定外网端口", "21-80"}, {"编辑框_映射_固定备注", "say \"hi\" $x \\"}},
       {},
       "/ip firewall nat add chain=dstnat dst-address=203.0.113.2 protocol=tcp dst-port=21-80 action=dst-nat "
       "to-addresses=192.168.0.1 to-ports=80 comment=\"say \\\"hi\\\" \\$x \\\\\""},
      {"pppoe mapping, defaults: netmask as prefix length, negations",
       "port-mapping",
       "pppoe-7x",
       {},
       {},
       "/ip firewall nat add chain=dstnat src-address=!192.168.0.0/24 dst-address=!192.168.0.254 protocol=tcp "
       "dst-port=80 action=dst-nat to-addresses=192.168.0.253 to-ports=80 comment=\"WEB SERVER\""},
      {"pppoe mapping, empty gateway and port keep their place",
       "port-mapping",
       "pppoe-7x",
       {{"编辑框_映射_PPOE_内网子网掩码", "255.255.240.0"},
        {"编辑框_映射_PPOE_内网网关", ""},
        {"编辑框_映射_PPOE_内网端口", " "},
        {"编辑框_映射_PPOE_备注", "web"}},
       {},
       "/ip firewall nat add chain=dstnat src-address=!192.168.0.0/20 dst-address=\"!\" protocol=tcp dst-port=80 "
       "action=dst-nat to-addresses=192.168.0.253 to-ports=\"\" comment=web"},
      {"port, defaults",
       "block-ports-ips",
       "port-7x",
       {},
       {},
       "/ip firewall filter add chain=output protocol=tcp dst-port=21 action=drop comment=\"Blockade FTP\""},
      {"port list, empty comment",
       "block-ports-ips",
       "port-7x",
       {{"编辑框_封锁_端口号", "21,80,110"}, {"编辑框_封锁_备注", ""}},
       {},
       "/ip firewall filter add chain=output protocol=tcp dst-port=21,80,110 action=drop comment=\"\""},
      {"address, defaults",
       "block-ports-ips",
       "address-7x",
       {},
       {},
       "/ip firewall filter add chain=forward dst-address=198.51.100.10/32 action=drop "
       "comment=\"Blockade www.example.com\""},
      {"address, netmask typed",
       "block-ports-ips",
       "address-7x",
       {{"编辑框_封锁IP_子网", "255.255.255.0"}, {"编辑框_封锁IP_备注", "net"}},
       {},
       "/ip firewall filter add chain=forward dst-address=198.51.100.10/24 action=drop comment=net"},
      {"list entry, defaults",
       "block-ports-ips",
       "list-7x",
       {},
       {},
       "/ip firewall address-list add list=ketrova5lmList address=198.51.100.20/32 "
       "comment=\"Blockade www.example.net\""},
      {"list entry, a list name with a blank",
       "block-ports-ips",
       "list-7x",
       {{"编辑框_另类封ip_IP列表名称", "bad sites"}},
       {},
       "/ip firewall address-list add list=\"bad sites\" address=198.51.100.20/32 "
       "comment=\"Blockade www.example.net\""},
      {"batch, own list name; rows trimmed, empty ones skipped",
       "block-ports-ips",
       "batch-7x",
       {{"编辑框_另类封ip列表", "192.168.1.4\n\n 10.0.0.0/8 \nx;y\n"}, {"编辑框_另类封ip_IP列表定议名称", "mine"}},
       {"选择框_另类封ip_是否"},
       crlf({"/ip firewall address-list add list=mine address=192.168.1.4",
             "/ip firewall address-list add list=mine address=10.0.0.0/8",
             "/ip firewall address-list add list=mine address=\"x;y\""},
            true)},
      {"batch, empty box", "block-ports-ips", "batch-7x", {{"编辑框_另类封ip列表", " \n "}}, {}, ""},
      {"keyword, defaults",
       "block-keywords",
       "gen-7x",
       {},
       {},
       crlf({"/ip firewall filter add chain=forward content=POCO action=drop comment=\"Blockade POCO\"",
             "/ip firewall filter add chain=forward protocol=tcp tls-host=\"*POCO*\" action=drop "
             "comment=\"Blockade POCO\""},
            false)},
      {"keyword, one host, a quote in the keyword",
       "block-keywords",
       "gen-7x",
       {{"编辑框_tcp_IP地址", "10.0.0.1"},
        {"编辑框_tcp_tcp子网", "255.255.255.255"},
        {"编辑框_tcp_关键字域名", "a\"b"}},
       {"选择框_tcp_选择"},
       crlf({"/ip firewall filter add chain=forward src-address=10.0.0.1/32 content=\"a\\\"b\" action=drop "
             "comment=\"Blockade POCO\"",
             "/ip firewall filter add chain=forward src-address=10.0.0.1/32 protocol=tcp tls-host=\"*a\\\"b*\" "
             "action=drop comment=\"Blockade POCO\""},
            false)},
      {"keyword, empty: no host rule that would match every https connection",
       "block-keywords",
       "gen-7x",
       {{"编辑框_tcp_关键字域名", ""}, {"编辑框_tcp_备注", ""}},
       {},
       "/ip firewall filter add chain=forward content=\"\" action=drop comment=\"\""},
      {"unfinished preset", "app-block", "pplive-7x", {}, {}, "#最功能暂时未完善"},
  };
  for (const Case& c : cases) {
    Session s(c.slug);
    s.set_output("announcement");
    EXPECT_EQ(s.press(c.button, c.values, c.check), Outcome::Done) << c.name;
    EXPECT_EQ(s.output(), c.expected) << c.name;
    EXPECT_TRUE(s.env.messages.empty()) << c.name;
  }
}

// The 3.x batch resets the list name when its box is unchecked; so does the 7.x one.
TEST(Firewall7, BatchUncheckedRestoresTheListName) {
  Session s("block-ports-ips");
  ASSERT_EQ(s.press("batch-7x", {{"编辑框_另类封ip列表", "1.2.3.4"}, {"编辑框_另类封ip_IP列表定议名称", "other"}}, {},
                    {"选择框_另类封ip_是否"}),
            Outcome::Done);
  EXPECT_EQ(s.output(), "/ip firewall address-list add list=ketrova5lmList address=1.2.3.4\r\n");
  EXPECT_EQ(to_utf8(s.form->text("编辑框_另类封ip_IP列表定议名称")), "ketrova5lmList");
}

// Each server of the data file becomes one address-list line, in order, then the drop rule.
TEST(Firewall7, PresetsFollowTheServerList) {
  struct Preset {
    const char* id;
    const char* list;
    const char* rule;
  } presets[] = {{"xunlei", "BlockadeXunlei", "BlockadeXunlei-091206"},
                 {"xuanfeng", "BlockadeQqXuanFeng", "BlockadeQqXuanFeng"}};
  for (const Preset& p : presets) {
    std::string expected;
    std::ifstream in(std::string(ROSGEN_DATA_DIR) + "/app-block-servers.txt");
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream words(line);
      std::string preset, tag, address;
      if (!(words >> preset >> tag >> address) || preset != p.id) continue;
      expected += "/ip firewall address-list add list=" + std::string(p.list) + " address=" + address;
      if (tag != "-") expected += " comment=" + tag;
      expected += "\r\n";
    }
    ASSERT_FALSE(expected.empty()) << p.id;
    expected += "/ip firewall filter add chain=forward dst-address-list=" + std::string(p.list) +
                " action=drop comment=" + p.rule;
    Session s("app-block");
    ASSERT_EQ(s.press(std::string(p.id) + "-7x"), Outcome::Done);
    EXPECT_EQ(s.output(), expected) << p.id;
  }
}

}  // namespace
}  // namespace rosgen::test
