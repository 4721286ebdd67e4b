// Tab 9: PPPoE uplinks, each serving its own range of LAN hosts, and their refresh script.
#include <gtest/gtest.h>

#include "script/text.h"
#include "support.h"

namespace rosgen::test {
namespace {

constexpr const char* kList = "超级列表框_多线分流PPPOE";

Press rows_then(const std::string& button, const std::vector<std::string>& rows) {
  Press p;
  p.button = button;
  for (const std::string& r : rows) p.rows.push_back(split(to_gbk(r), "|"_a));
  return p;
}

const std::string kHead =
    "/ip address add address=192.168.0.254/255.255.255.0 interface=ether1 comment=lan\r\n"
    "/ip dns set primary-dns=114.114.114.114 secondary-dns=223.5.5.5 allow-remote-requests=yes\r\n"
    "/ip firewall nat add action=masquerade chain=srcnat src-address=192.168.0.0/255.255.255.0\r\n"
    "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=1440\r\n";

TEST(MultiPppoeSplit, InstallScripts) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    std::vector<std::pair<std::string, std::string>> values;
    std::string expected;
  } cases[] = {
      {"two lines, two ranges",
       {"adsl1@example.net|secret-one|192.168.0.1-192.168.0.20|ether2",
        "adsl2@example.net|secret-two|192.168.0.21-192.168.0.40|ether3"},
       {},
       kHead + crlf({"/interface pppoe-client add name=\"pppoe-out1\" interface=ether2 user=\"adsl1@example.net\" "
                     "password=\"secret-one\" add-default-route=no disabled=no",
                     "/interface pppoe-client enable pppoe-out1",
                     "/ip address add address=58.58.58.1/32 interface=pppoe-out1 comment=\"adsl1\"",
                     "/ip firewall mangle add chain=prerouting src-address=192.168.0.1-192.168.0.20 "
                     "action=mark-routing new-routing-mark=adsl1 comment=adsl1",
                     "/ip route add gateway=58.58.58.1 routing-mark=adsl1 comment=adsl1",
                     "/interface pppoe-client add name=\"pppoe-out2\" interface=ether3 user=\"adsl2@example.net\" "
                     "password=\"secret-two\" add-default-route=no disabled=no",
                     "/interface pppoe-client enable pppoe-out2",
                     "/ip address add address=58.58.58.2/32 interface=pppoe-out2 comment=\"adsl2\"",
                     "/ip firewall mangle add chain=prerouting src-address=192.168.0.21-192.168.0.40 "
                     "action=mark-routing new-routing-mark=adsl2 comment=adsl2",
                     "/ip route add gateway=58.58.58.2 routing-mark=adsl2 comment=adsl2"},
                    true)},
      {"three lines; page fields trimmed; quotes in a password kept",
       {"a|\"x\"|r1|e2", "b|y|r2|e3", "c|z||"},
       {{"编辑框_多线分流PPPOE_内网网卡", " bridge1 "},
        {"编辑框_多线分流PPPOE_内网IP", "10.0.0.1"},
        {"编辑框_多线分流PPPOE_子网掩码", "8"},
        {"编辑框_多线分流PPPOE_内网网段", "10.0.0.0"},
        {"编辑框_多线分流PPPOE_TCPMSS", ""},
        {"编辑框_多线分流PPPOE_首选DNS", "1.1.1.1"},
        {"编辑框_多线分流PPPOE_备份DNS", "8.8.8.8"}},
       crlf({"/ip address add address=10.0.0.1/8 interface=bridge1 comment=lan",
             "/ip dns set primary-dns=1.1.1.1 secondary-dns=8.8.8.8 allow-remote-requests=yes",
             "/ip firewall nat add action=masquerade chain=srcnat src-address=10.0.0.0/8",
             "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=",
             "/interface pppoe-client add name=\"pppoe-out1\" interface=e2 user=\"a\" password=\"\"x\"\" "
             "add-default-route=no disabled=no",
             "/interface pppoe-client enable pppoe-out1",
             "/ip address add address=58.58.58.1/32 interface=pppoe-out1 comment=\"adsl1\"",
             "/ip firewall mangle add chain=prerouting src-address=r1 action=mark-routing new-routing-mark=adsl1 "
             "comment=adsl1",
             "/ip route add gateway=58.58.58.1 routing-mark=adsl1 comment=adsl1",
             "/interface pppoe-client add name=\"pppoe-out2\" interface=e3 user=\"b\" password=\"y\" "
             "add-default-route=no disabled=no",
             "/interface pppoe-client enable pppoe-out2",
             "/ip address add address=58.58.58.2/32 interface=pppoe-out2 comment=\"adsl2\"",
             "/ip firewall mangle add chain=prerouting src-address=r2 action=mark-routing new-routing-mark=adsl2 "
             "comment=adsl2",
             "/ip route add gateway=58.58.58.2 routing-mark=adsl2 comment=adsl2",
             "/interface pppoe-client add name=\"pppoe-out3\" interface= user=\"c\" password=\"z\" "
             "add-default-route=no disabled=no",
             "/interface pppoe-client enable pppoe-out3",
             "/ip address add address=58.58.58.3/32 interface=pppoe-out3 comment=\"adsl3\"",
             "/ip firewall mangle add chain=prerouting src-address= action=mark-routing new-routing-mark=adsl3 "
             "comment=adsl3",
             "/ip route add gateway=58.58.58.3 routing-mark=adsl3 comment=adsl3"},
            true)},
  };
  for (const auto& c : cases) {
    Session s("multi-pppoe-split");
    s.set_output("announcement");
    Press p = rows_then("按钮_多线分流PPPOE_2x生成", c.rows);
    for (const auto& [id, value] : c.values) p.values.emplace_back(id, to_gbk(value));
    EXPECT_EQ(s.press(p), Outcome::Done) << c.name;
    EXPECT_EQ(s.output(), c.expected) << c.name;
    EXPECT_EQ(s.press("gen-2x"), Outcome::Done);
    EXPECT_EQ(s.output(), c.expected) << c.name;
    EXPECT_TRUE(s.env.messages.empty()) << c.name;
  }
}

std::string refresh(const std::string& bound) {
  return crlf(
      {":local assign-address", ":local new-address", ":local status", ":local x", ":set x " + bound,
       ":for i from=1 to=$x do={", ":set status [/interface get [/interface find  name=(\"pppoe-out\" . $i)] running] ",
       ":if ($status=true) do={",
       ":set new-address [/ip address get [/ip address find dynamic=yes interface=(\"pppoe-out\" . $i)] "
       "address]",
       ":set new-address [:pick $new-address 0 [:find $new-address \"/\"]]",
       ":set assign-address [/ip address get [/ip address find dynamic=no interface=(\"pppoe-out\" . $i)] "
       "address]",
       ":set assign-address [:pick $assign-address 0 [:find $assign-address \"/\"]]",
       ":if ($assign-address != $new-address) do={",
       "/ip address set [/ip address find comment=(\"adsl\" . $i)] address=$new-address "
       "network=$new-address broadcast=$new-address",
       "/ip route set [/ip route find comment=(\"adsl\" . $i)] gateway=$new-address", "}", "}", "}"},
      false);
}

TEST(MultiPppoeSplit, RefreshScriptLoopsOverEveryLine) {
  struct Case {
    std::vector<std::string> rows;
    std::string bound;
  } cases[] = {
      {{}, "2"},
      {{"a", "b"}, "2"},
      {{"a", "b", "c"}, "3"},
      {{"a", "b", "c", "d"}, "4"},
  };
  for (const auto& c : cases) {
    Session s("multi-pppoe-split");
    EXPECT_EQ(s.press(rows_then("按钮_多线分流PPPOE_2x动态刷新网关", c.rows)), Outcome::Done);
    EXPECT_EQ(s.output(), refresh(c.bound)) << c.rows.size() << " lines";
    s.press("refresh-2x");
    EXPECT_EQ(s.output(), refresh(c.bound));
  }
}

TEST(MultiPppoeSplit, EditorChecksAndReplacement) {
  const Shown no_line{"错误", "您还没有添加帐号,至少添加两个以上帐号!\r\n如果是单线,请选择安装单PPPoE脚本"};
  const Shown one_line{"错误", "您只添加了一个帐号,至少添加两个以上帐号!\r\n如果是单线,请选择安装单PPPoE脚本"};
  const Shown duplicate{"重复记录!", "不能重复添加帐号！\r\n您可以使用修改功能进行修改！"};
  const Shown select_first{"信息：", "请先选择要删除的表项再执行此操作!"};
  Session s("multi-pppoe-split");
  s.set_output("announcement");
  EXPECT_EQ(s.press("gen-2x"), Outcome::Refused);
  EXPECT_EQ(s.press(rows_then("gen-2x", {"ACC|1|r|e", "acc　|2|r|e"})), Outcome::Refused);
  EXPECT_EQ(s.press("delete"), Outcome::Refused);
  EXPECT_EQ(s.output(), "announcement");
  EXPECT_EQ(s.env.messages, (std::vector<Shown>{no_line, duplicate, one_line, select_first}));

  s.press(rows_then("gen-2x", {"second|2|r2|e2"}));
  std::string install = s.output();
  EXPECT_TRUE(install.starts_with(kHead));
  s.press("refresh-2x");
  EXPECT_EQ(s.output(), refresh("2"));
  s.press("gen-2x");
  EXPECT_EQ(s.output(), install);

  // A click on this list leaves the fields alone.
  Press click;
  click.button = "modify";
  click.select = {{kList, 1}};
  s.press(click);
  EXPECT_EQ(to_utf8(s.form->text("编辑框_多线分流PPPOE_ADSL帐号")), "second");
}

}  // namespace
}  // namespace rosgen::test
