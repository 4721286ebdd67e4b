// Tab 7: fixed-IP uplinks, each serving its own range of LAN hosts.
#include <gtest/gtest.h>

#include "script/text.h"
#include "support.h"

namespace rosgen::test {
namespace {

constexpr const char* kList = "超级列表_分流_列表";

const std::string kHead =
    "/ip address add address=192.168.0.254/255.255.255.0 interface=ether1 comment=lan\r\n"
    "/ip dns set primary-dns=114.114.114.114 secondary-dns=223.5.5.5 allow-remote-requests=yes\r\n"
    "/ip firewall nat add action=masquerade chain=srcnat src-address=192.168.0.0/255.255.255.0\r\n"
    "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=1440\r\n";

Press rows_then(const std::string& button, const std::vector<std::string>& rows) {
  Press p;
  p.button = button;
  for (const std::string& r : rows) p.rows.push_back(split(to_gbk(r), "|"_a));
  return p;
}

TEST(MultiFixedSplit, Scripts) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    std::vector<std::pair<std::string, std::string>> values;
    std::string expected;
  } cases[] = {
      {"two lines, two ranges",
       {"203.0.113.2|255.255.255.248|203.0.113.1|ether2|192.168.0.1-192.168.0.100",
        "198.51.100.2|29|198.51.100.1|ether3|192.168.0.101-192.168.0.200"},
       {},
       kHead + crlf({"/ip address add address=203.0.113.2/255.255.255.248 interface=ether2 comment=\"1\"",
                     "/ip firewall mangle add chain=prerouting src-address=192.168.0.1-192.168.0.100 "
                     "action=mark-routing new-routing-mark=1 comment=1",
                     "/ip route add gateway=203.0.113.1 routing-mark=1 comment=1",
                     "/ip address add address=198.51.100.2/29 interface=ether3 comment=\"2\"",
                     "/ip firewall mangle add chain=prerouting src-address=192.168.0.101-192.168.0.200 "
                     "action=mark-routing new-routing-mark=2 comment=2",
                     "/ip route add gateway=198.51.100.1 routing-mark=2 comment=2"},
                    true)},
      {"overlapping ranges as entered; page fields trimmed, LAN mask used twice",
       {"a|24|g1|e2|192.168.0.0/24", "b|24|g2|e3| 192.168.0.0/25 ", "c|24|g3|e4|"},
       {{"编辑框_分流_内网网卡", " lan "},
        {"编辑框_分流_内网IP", "10.0.0.1"},
        {"编辑框_分流_内网子网掩码", "16"},
        {"编辑框_分流_内网网段", "10.0.0.0"},
        {"编辑框_分流_内网首选DNS", ""},
        {"编辑框_分流_内网备用DNS", "9.9.9.9"},
        {"编辑框_分流_TCPMSS值", "1300"}},
       crlf({"/ip address add address=10.0.0.1/16 interface=lan comment=lan",
             "/ip dns set primary-dns= secondary-dns=9.9.9.9 allow-remote-requests=yes",
             "/ip firewall nat add action=masquerade chain=srcnat src-address=10.0.0.0/16",
             "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=1300",
             "/ip address add address=a/24 interface=e2 comment=\"1\"",
             "/ip firewall mangle add chain=prerouting src-address=192.168.0.0/24 action=mark-routing "
             "new-routing-mark=1 comment=1",
             "/ip route add gateway=g1 routing-mark=1 comment=1",
             "/ip address add address=b/24 interface=e3 comment=\"2\"",
             "/ip firewall mangle add chain=prerouting src-address=192.168.0.0/25 action=mark-routing "
             "new-routing-mark=2 comment=2",
             "/ip route add gateway=g2 routing-mark=2 comment=2",
             "/ip address add address=c/24 interface=e4 comment=\"3\"",
             "/ip firewall mangle add chain=prerouting src-address= action=mark-routing new-routing-mark=3 comment=3",
             "/ip route add gateway=g3 routing-mark=3 comment=3"},
            true)},
  };
  for (const auto& c : cases) {
    Session s("multi-fixed-split");
    s.set_output("announcement");
    Press p = rows_then("按钮_分流_2x生成", c.rows);
    for (const auto& [id, value] : c.values) p.values.emplace_back(id, to_gbk(value));
    EXPECT_EQ(s.press(p), Outcome::Done) << c.name;
    EXPECT_EQ(s.output(), c.expected) << c.name;
    EXPECT_EQ(s.press("gen-2x"), Outcome::Done);
    EXPECT_EQ(s.output(), c.expected) << c.name;
    EXPECT_TRUE(s.env.messages.empty()) << c.name;
  }
}

TEST(MultiFixedSplit, EditorAndChecks) {
  const Shown no_line{"错误", "您还没有添加帐号,至少添加两个以上帐号!\r\n如果是单线,请选择安装单PPPoE脚本"};
  const Shown one_line{"错误", "您只添加了一个帐号,至少添加两个以上帐号!\r\n如果是单线,请选择安装单PPPoE脚本"};
  const Shown duplicate{"重复记录!", "不能重复添加IP地址！\r\n您可以使用修改功能进行修改！"};
  Session s("multi-fixed-split");
  s.set_output("announcement");
  EXPECT_EQ(s.press("gen-2x"), Outcome::Refused);
  EXPECT_EQ(
      s.press(rows_then("gen-2x", {"203.0.113.2|29|203.0.113.1|ether2|192.168.0.1-192.168.0.9", "203.0.113.2|30"})),
      Outcome::Refused);
  EXPECT_EQ(s.output(), "announcement");
  EXPECT_EQ(s.env.messages, (std::vector<Shown>{no_line, duplicate, one_line}));

  // A click copies all five cells into the fields. (Modify without a selection only lets the rows in.)
  s.press(rows_then("modify", {"198.51.100.2|28|198.51.100.1|ether3|192.168.0.10-192.168.0.19",
                               "192.0.2.2|27|192.0.2.1|ether4|192.168.0.20-192.168.0.29"}));
  Press click;
  click.button = "modify";
  click.select = {{kList, 2}};
  EXPECT_EQ(s.press(click), Outcome::Done);
  const char* const fields[] = {"编辑框_分流_外网IP", "编辑框_分流_外网子网掩码", "编辑框_分流_外网网关地址",
                                "编辑框_分流_外网连接网卡", "编辑框_分流_外网分流IP段"};
  const char* const cells[] = {"198.51.100.2", "28", "198.51.100.1", "ether3", "192.168.0.10-192.168.0.19"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(to_utf8(s.form->text(fields[i])), cells[i]) << fields[i];
  EXPECT_EQ(s.env.messages.size(), 3u);

  // Deleting line 1 renumbers the others.
  Press del;
  del.button = "delete";
  del.select = {{kList, 1}};
  EXPECT_EQ(s.press(del), Outcome::Done);
  EXPECT_EQ(s.press("gen-2x"), Outcome::Done);
  Session fresh("multi-fixed-split");
  fresh.press(rows_then("gen-2x", {"198.51.100.2|28|198.51.100.1|ether3|192.168.0.10-192.168.0.19",
                                   "192.0.2.2|27|192.0.2.1|ether4|192.168.0.20-192.168.0.29"}));
  EXPECT_EQ(s.output(), fresh.output());
  EXPECT_NE(s.output().find("\r\n/ip route add gateway=192.0.2.1 routing-mark=2 comment=2\r\n"), std::string::npos);
}

}  // namespace
}  // namespace rosgen::test
