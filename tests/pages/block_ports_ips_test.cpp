// Tab 19: port and address blocking, single entries and the batch list.
#include <gtest/gtest.h>

#include "support.h"

namespace rosgen::test {
namespace {

TEST(BlockPortsIps, SingleRules) {
  struct Case {
    const char* name;
    const char* button;
    std::vector<std::pair<std::string, std::string>> values;
    std::string expected;
  } cases[] = {
      {"port 2.9.x writes port=",
       "port-2x",
       {},
       "/ip firewall filter add chain=output protocol=tcp port=21 action=drop comment=\"Blockade FTP\""},
      {"port 3.x writes dst-port= and two blanks after /ip",
       "port-3x",
       {},
       "/ip  firewall filter add chain=output protocol=tcp dst-port=21 action=drop comment=\"Blockade FTP\""},
      {"port list on 3.x",
       "port-3x",
       {{"编辑框_封锁_端口号", "21,80,110"}},
       "/ip  firewall filter add chain=output protocol=tcp dst-port=21,80,110 action=drop comment=\"Blockade FTP\""},
      {"port range, udp, empty comment, trimmed",
       "port-2x",
       {{"编辑框_封锁_端口号", " 21-80 "}, {"编辑框_封锁_协议", "udp　"}, {"编辑框_封锁_备注", " "}},
       "/ip firewall filter add chain=output protocol=udp port=21-80 action=drop comment=\"\""},
      {"address, defaults",
       "address-2x",
       {},
       "/ip firewall filter add chain=forward dst-address=198.51.100.10/32 action=drop "
       "comment=\"Blockade www.example.com\""},
      {"address, network",
       "address-3x",
       {{"编辑框_封锁IP_IP", "10.0.0.0"}, {"编辑框_封锁IP_子网", " 8"}, {"编辑框_封锁IP_备注", "ten"}},
       "/ip firewall filter add chain=forward dst-address=10.0.0.0/8 action=drop comment=\"ten\""},
      {"address, same text on 2.9.x",
       "address-2x",
       {{"编辑框_封锁IP_IP", "10.0.0.0"}, {"编辑框_封锁IP_子网", " 8"}, {"编辑框_封锁IP_备注", "ten"}},
       "/ip firewall filter add chain=forward dst-address=10.0.0.0/8 action=drop comment=\"ten\""},
      {"list entry, defaults: comment, no disabled=no",
       "list-2x",
       {},
       "/ ip firewall address-list add address=198.51.100.20/32 list=\"ketrova5lmList\" "
       "comment=\"Blockade www.example.net\""},
      {"list entry, own values",
       "list-3x",
       {{"编辑框_另类封ip_IP列表名称", " Bad "},
        {"编辑框_另类封ip_IP", "192.168.5.0"},
        {"编辑框_另类封ip_子网", "24"},
        {"编辑框_另类封ip_备注", ""},
        {"编辑框_另类封ip_IP列表定议名称", "not read"}},
       "/ ip firewall address-list add address=192.168.5.0/24 list=\"Bad\" comment=\"\""},
  };
  for (const auto& c : cases) {
    Session s("block-ports-ips");
    s.set_output("announcement");
    EXPECT_EQ(s.press(c.button, c.values), Outcome::Done) << c.name;
    EXPECT_EQ(s.output(), c.expected) << c.name;
    EXPECT_TRUE(s.env.messages.empty());
  }
}

std::string entry(const std::string& address, const std::string& list = "ketrova5lmList") {
  return "/ ip firewall address-list add address=" + address + " list=\"" + list + "\" disabled=no\r\n";
}

TEST(BlockPortsIps, Batch) {
  struct Case {
    const char* name;
    std::string batch;  // "\n" is typed as a line end
    std::string name_field;
    bool use_name;
    std::string expected;
    std::string name_after;
  } cases[] = {
      {"middle empty row counts", "192.168.1.4\n\n10.0.0.0/8", "ketrova5lmList", false,
       entry("192.168.1.4") + entry("") + entry("10.0.0.0/8"), "ketrova5lmList"},
      {"final line end adds nothing", "1.1.1.1\n2.2.2.2\n", "ketrova5lmList", false,
       entry("1.1.1.1") + entry("2.2.2.2"), "ketrova5lmList"},
      {"one row still ends with a line end", "1.1.1.1", "ketrova5lmList", false, entry("1.1.1.1"), "ketrova5lmList"},
      {"whole text trimmed, rows are not", "  1.1.1.1 \n 2.2.2.2　", "ketrova5lmList", false,
       entry("1.1.1.1 ") + entry(" 2.2.2.2"), "ketrova5lmList"},
      {"two final line ends leave one empty row", "1.1.1.1\n\n", "ketrova5lmList", false, entry("1.1.1.1") + entry(""),
       "ketrova5lmList"},
      {"unchecked resets a typed name", "1.1.1.1", "MyList", false, entry("1.1.1.1"), "ketrova5lmList"},
      {"checked uses the typed name, trimmed", "1.1.1.1\n10.0.0.0/8", " MyList ", true,
       entry("1.1.1.1", "MyList") + entry("10.0.0.0/8", "MyList"), " MyList "},
      {"checked with an empty name", "1.1.1.1", "", true, entry("1.1.1.1", ""), ""},
      {"empty box: output emptied, name kept", "", "MyList", false, "", "MyList"},
      {"only blanks count as empty", "  　 ", "MyList", false, "", "MyList"},
  };
  for (const auto& c : cases) {
    Session s("block-ports-ips");
    s.set_output("announcement");
    std::vector<std::string> check, uncheck;
    (c.use_name ? check : uncheck).push_back("选择框_另类封ip_是否");
    EXPECT_EQ(s.press("batch", {{"编辑框_另类封ip列表", c.batch}, {"编辑框_另类封ip_IP列表定议名称", c.name_field}},
                      check, uncheck),
              Outcome::Done)
        << c.name;
    EXPECT_EQ(s.output(), c.expected) << c.name;
    EXPECT_EQ(to_utf8(s.form->text("编辑框_另类封ip_IP列表定议名称")), c.name_after) << c.name;
    // The list box itself is left as typed.
    std::string typed;
    for (char ch : c.batch) typed += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    EXPECT_EQ(to_utf8(s.form->text("编辑框_另类封ip列表")), typed) << c.name;
  }
}

TEST(BlockPortsIps, BatchReplacesEarlierOutputAndClearEmptiesOnlyTheList) {
  Session s("block-ports-ips");
  s.press("port-2x");
  s.press("batch", {{"编辑框_另类封ip列表", "1.1.1.1\n2.2.2.2"}});
  EXPECT_EQ(s.output(), entry("1.1.1.1") + entry("2.2.2.2"));
  s.press("batch");
  EXPECT_EQ(s.output(), entry("1.1.1.1") + entry("2.2.2.2"));

  EXPECT_EQ(s.press("clear"), Outcome::Done);
  EXPECT_TRUE(s.form->text("编辑框_另类封ip列表").empty());
  EXPECT_EQ(s.output(), entry("1.1.1.1") + entry("2.2.2.2"));
  s.press("batch");
  EXPECT_EQ(s.output(), "");
}

TEST(BlockPortsIps, LargeBatch) {
  std::string rows;
  std::string expected;
  for (int i = 0; i < 5000; ++i) {
    std::string a = "10.0." + std::to_string(i / 256) + "." + std::to_string(i % 256);
    rows += a + "\n";
    expected += entry(a);
  }
  Session s("block-ports-ips");
  s.press("batch", {{"编辑框_另类封ip列表", rows}});
  EXPECT_EQ(s.output(), expected);
}

}  // namespace
}  // namespace rosgen::test
