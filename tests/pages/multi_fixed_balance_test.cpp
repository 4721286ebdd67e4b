// Tab 6: fixed-IP uplinks, load balanced, and its line list.
#include <gtest/gtest.h>

#include "script/text.h"
#include "support.h"

namespace rosgen::test {
namespace {

constexpr const char* kList = "超级列表框_多线固定IP负载发装列表";
const Shown kNoLine{"错误", "您还没有添加帐号,至少添加两个以上帐号!\r\n如果是单线,请选择安装单PPPoE脚本"};
const Shown kOneLine{"错误", "您只添加了一个帐号,至少添加两个以上帐号!\r\n如果是单线,请选择安装单PPPoE脚本"};
const Shown kDuplicate{"重复记录!", "不能重复添加IP地址！\r\n您可以使用修改功能进行修改！"};

const std::string kHead =
    "/ip address add address=192.168.0.254/255.255.255.0 interface=ether1 comment=lan\r\n"
    "/ip dns set primary-dns=114.114.114.114 secondary-dns=223.5.5.5 allow-remote-requests=yes\r\n"
    "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=1440\r\n";

Press rows_then(const std::string& button, const std::vector<std::string>& rows) {
  Press p;
  p.button = button;
  for (const std::string& r : rows) p.rows.push_back(split(to_gbk(r), "|"_a));
  return p;
}

TEST(MultiFixedBalance, Scripts) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    std::vector<std::pair<std::string, std::string>> values;
    std::string expected;
  } cases[] = {
      {"two lines",
       {"203.0.113.2|255.255.255.248|203.0.113.1|ether2", "198.51.100.2|29|198.51.100.1|ether3"},
       {},
       kHead + crlf(
                   {
                       "/ip address add address=203.0.113.2/255.255.255.248 interface=ether2 comment=\"1\"",
                       "/ip route add gateway=203.0.113.1 routing-mark=1 comment=\"1\"",
                       "/ip firewall mangle add chain=prerouting in-interface=ether1 connection-state=new nth=1,1,0 "
                       "action=mark-connection new-connection-mark=1 passthrough=yes disabled=no",
                       "/ip firewall mangle add chain=prerouting in-interface=ether1 connection-mark=1 "
                       "action=mark-routing new-routing-mark=1 passthrough=no disabled=no",
                       "/ip firewall nat add chain=srcnat connection-mark=1 action=src-nat to-addresses=203.0.113.2 "
                       "to-ports=0-65535 comment=\"1\" disabled=no",
                       "/ip address add address=198.51.100.2/29 interface=ether3 comment=\"2\"",
                       "/ip route add gateway=198.51.100.1 routing-mark=2 comment=\"2\"",
                       "/ip firewall mangle add chain=prerouting in-interface=ether1 connection-state=new nth=1,1,1 "
                       "action=mark-connection new-connection-mark=2 passthrough=yes disabled=no",
                       "/ip firewall mangle add chain=prerouting in-interface=ether1 connection-mark=2 "
                       "action=mark-routing new-routing-mark=2 passthrough=no disabled=no",
                       "/ip firewall nat add chain=srcnat connection-mark=2 action=src-nat to-addresses=198.51.100.2 "
                       "to-ports=0-65535 comment=\"2\" disabled=no",
                   },
                   true)},
      {"page fields trimmed and used where they belong; empty cells leave empty places",
       {"a|||", "b|||"},
       {{"编辑框_多线固定IP负载均衡_内网网卡", " bridge-lan "},
        {"编辑框_多线固定IP负载均衡_内网ip", "10.0.0.1"},
        {"编辑框_多线固定IP负载均衡_子网掩码", "24"},
        {"编辑框_多线固定IP负载均衡_首选DNS", "1.1.1.1"},
        {"编辑框_多线固定IP负载均衡_备用DNS", ""},
        {"编辑框_多线固定IP负载均衡_TCPMSS值", "1400　"}},
       crlf(
           {
               "/ip address add address=10.0.0.1/24 interface=bridge-lan comment=lan",
               "/ip dns set primary-dns=1.1.1.1 secondary-dns= allow-remote-requests=yes",
               "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=1400",
               "/ip address add address=a/ interface= comment=\"1\"",
               "/ip route add gateway= routing-mark=1 comment=\"1\"",
               "/ip firewall mangle add chain=prerouting in-interface=bridge-lan connection-state=new nth=1,1,0 "
               "action=mark-connection new-connection-mark=1 passthrough=yes disabled=no",
               "/ip firewall mangle add chain=prerouting in-interface=bridge-lan connection-mark=1 "
               "action=mark-routing new-routing-mark=1 passthrough=no disabled=no",
               "/ip firewall nat add chain=srcnat connection-mark=1 action=src-nat to-addresses=a "
               "to-ports=0-65535 comment=\"1\" disabled=no",
               "/ip address add address=b/ interface= comment=\"2\"",
               "/ip route add gateway= routing-mark=2 comment=\"2\"",
               "/ip firewall mangle add chain=prerouting in-interface=bridge-lan connection-state=new nth=1,1,1 "
               "action=mark-connection new-connection-mark=2 passthrough=yes disabled=no",
               "/ip firewall mangle add chain=prerouting in-interface=bridge-lan connection-mark=2 "
               "action=mark-routing new-routing-mark=2 passthrough=no disabled=no",
               "/ip firewall nat add chain=srcnat connection-mark=2 action=src-nat to-addresses=b "
               "to-ports=0-65535 comment=\"2\" disabled=no",
           },
           true)},
  };
  for (const auto& c : cases) {
    Session s("multi-fixed-balance");
    s.set_output("announcement");
    Press p = rows_then("gen-2x", c.rows);
    for (const auto& [id, value] : c.values) p.values.emplace_back(id, to_gbk(value));
    EXPECT_EQ(s.press(p), Outcome::Done) << c.name;
    EXPECT_EQ(s.output(), c.expected) << c.name;
    // A second press by designer name leaves one copy.
    EXPECT_EQ(s.press("按钮_多线固定IP负载均衡_生成2x"), Outcome::Done);
    EXPECT_EQ(s.output(), c.expected) << c.name;
    EXPECT_TRUE(s.env.messages.empty()) << c.name;
  }
}

TEST(MultiFixedBalance, DeleteRenumbersTheLinesBelow) {
  const std::string a = "203.0.113.2|29|203.0.113.1|ether2";
  const std::string b = "203.0.113.10|29|203.0.113.9|ether3";
  const std::string c = "203.0.113.18|29|203.0.113.17|ether4";
  Session s("multi-fixed-balance");
  s.press(rows_then("gen-2x", {a, b, c}));
  for (const char* nth : {"nth=2,1,0 action=mark-connection new-connection-mark=1 ",
                          "nth=2,1,1 action=mark-connection new-connection-mark=2 ",
                          "nth=2,1,2 action=mark-connection new-connection-mark=3 "}) {
    EXPECT_NE(s.output().find(nth), std::string::npos) << nth;
  }

  Press del;
  del.button = "delete";
  del.select = {{kList, 2}};
  EXPECT_EQ(s.press(del), Outcome::Done);
  EXPECT_EQ(s.form->selected(kList), -1);
  ASSERT_EQ(s.press("gen-2x"), Outcome::Done);
  // The old line 3 is now line 2 in every mark, comment and nth rule.
  Session fresh("multi-fixed-balance");
  fresh.press(rows_then("gen-2x", {a, c}));
  EXPECT_EQ(s.output(), fresh.output());
  EXPECT_NE(s.output().find("/ip address add address=203.0.113.18/29 interface=ether4 comment=\"2\"\r\n"),
            std::string::npos);
}

TEST(MultiFixedBalance, TooFewLinesLeaveTheOutput) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    std::vector<Shown> messages;
  } cases[] = {
      {"no line", {}, {kNoLine}},
      {"one line", {"203.0.113.2|29|203.0.113.1|ether2"}, {kOneLine}},
      {"the second line refused as a duplicate",
       {"203.0.113.2|29|203.0.113.1|ether2", " 203.0.113.2 |30"},
       {kDuplicate, kOneLine}},
  };
  for (const auto& c : cases) {
    Session s("multi-fixed-balance");
    s.set_output("announcement");
    EXPECT_EQ(s.press(rows_then("gen-2x", c.rows)), Outcome::Refused) << c.name;
    EXPECT_EQ(s.output(), "announcement") << c.name;
    EXPECT_EQ(s.env.messages, c.messages) << c.name;
  }
}

TEST(MultiFixedBalance, ClickFillsTheFieldsAndModifyChangesTheRow) {
  Session s("multi-fixed-balance");
  Press p = rows_then("modify", {"203.0.113.2|29|203.0.113.1|ether2", "198.51.100.2|28|198.51.100.1|ether3"});
  p.select = {{kList, 2}};
  p.values = {{"编辑框_多线固定IP负载均衡_连接网卡", to_gbk(" ether5 ")}};
  EXPECT_EQ(s.press(p), Outcome::Done);
  // The click copied row 2 into the fields before ether5 was typed.
  EXPECT_EQ(to_utf8(s.form->text("编辑框_多线固定IP负载均衡_IP地址")), "198.51.100.2");
  EXPECT_EQ(to_utf8(s.form->text("编辑框_多线固定IP负载均衡_子网掩码帐号用的")), "28");
  EXPECT_EQ(to_utf8(s.form->text("编辑框_多线固定IP负载均衡_网关地址")), "198.51.100.1");
  const auto& rows = s.form->rows(kList);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(to_utf8(rows[1][3]), "ether5");
  EXPECT_EQ(to_utf8(rows[1][0]), "198.51.100.2");
  EXPECT_EQ(to_utf8(rows[0][3]), "ether2");
  EXPECT_TRUE(s.env.messages.empty());
}

}  // namespace
}  // namespace rosgen::test
