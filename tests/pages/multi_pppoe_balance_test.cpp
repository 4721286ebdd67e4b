// Tab 8: PPPoE uplinks, load balanced, and their refresh script.
#include <gtest/gtest.h>

#include "script/text.h"
#include "support.h"

namespace rosgen::test {
namespace {

constexpr const char* kList = "超级列表框_pppoe多线负载均衡_列表";

Press rows_then(const std::string& button, const std::vector<std::string>& rows) {
  Press p;
  p.button = button;
  for (const std::string& r : rows) p.rows.push_back(split(to_gbk(r), "|"_a));
  return p;
}

std::string block(const std::string& k, const std::string& user, const std::string& password, const std::string& iface,
                  const std::string& nth) {
  return crlf({"/interface pppoe-client add name=\"pppoe-out" + k + "\" interface=" + iface + " user=\"" + user +
                   "\" password=\"" + password + "\" add-default-route=no disabled=no",
               "/interface pppoe-client enable pppoe-out" + k,
               "/ip address add address=58.58.58." + k + "/32 interface=pppoe-out" + k + " comment=\"" + k + "\"",
               "/ip route add gateway=58.58.58." + k + " routing-mark=" + k + " comment=\"" + k + "\"",
               "/ip firewall mangle add chain=prerouting in-interface=ether1 connection-state=new nth=" + nth +
                   " action=mark-connection new-connection-mark=" + k + " passthrough=yes disabled=no",
               "/ip firewall mangle add chain=prerouting in-interface=ether1 connection-mark=" + k +
                   " action=mark-routing new-routing-mark=" + k + " passthrough=no disabled=no",
               "/ip firewall nat add chain=srcnat connection-mark=" + k + " action=src-nat to-addresses=58.58.58." + k +
                   " to-ports=0-65535 comment=\"" + k + "\" disabled=no"},
              true);
}

const std::string kHead =
    "/ip address add address=192.168.0.254/255.255.255.0 interface=ether1 comment=lan\r\n"
    "/ip dns set primary-dns=114.114.114.114 secondary-dns=223.5.5.5 allow-remote-requests=yes\r\n"
    "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=1440\r\n";

TEST(MultiPppoeBalance, InstallScripts) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    std::string expected;
  } cases[] = {
      {"two lines",
       {"adsl1@example.net|secret-one|ether2", "adsl2@example.net|secret-two|ether3"},
       kHead + crlf({"/interface pppoe-client add name=\"pppoe-out1\" interface=ether2 user=\"adsl1@example.net\" "
                     "password=\"secret-one\" add-default-route=no disabled=no",
                     "/interface pppoe-client enable pppoe-out1",
                     "/ip address add address=58.58.58.1/32 interface=pppoe-out1 comment=\"1\"",
                     "/ip route add gateway=58.58.58.1 routing-mark=1 comment=\"1\"",
                     "/ip firewall mangle add chain=prerouting in-interface=ether1 connection-state=new nth=1,1,0 "
                     "action=mark-connection new-connection-mark=1 passthrough=yes disabled=no",
                     "/ip firewall mangle add chain=prerouting in-interface=ether1 connection-mark=1 "
                     "action=mark-routing new-routing-mark=1 passthrough=no disabled=no",
                     "/ip firewall nat add chain=srcnat connection-mark=1 action=src-nat to-addresses=58.58.58.1 "
                     "to-ports=0-65535 comment=\"1\" disabled=no",
                     "/interface pppoe-client add name=\"pppoe-out2\" interface=ether3 user=\"adsl2@example.net\" "
                     "password=\"secret-two\" add-default-route=no disabled=no",
                     "/interface pppoe-client enable pppoe-out2",
                     "/ip address add address=58.58.58.2/32 interface=pppoe-out2 comment=\"2\"",
                     "/ip route add gateway=58.58.58.2 routing-mark=2 comment=\"2\"",
                     "/ip firewall mangle add chain=prerouting in-interface=ether1 connection-state=new nth=1,1,1 "
                     "action=mark-connection new-connection-mark=2 passthrough=yes disabled=no",
                     "/ip firewall mangle add chain=prerouting in-interface=ether1 connection-mark=2 "
                     "action=mark-routing new-routing-mark=2 passthrough=no disabled=no",
                     "/ip firewall nat add chain=srcnat connection-mark=2 action=src-nat to-addresses=58.58.58.2 "
                     "to-ports=0-65535 comment=\"2\" disabled=no"},
                    true)},
      {"three lines; a double quote in a password stays as typed; cells trimmed",
       {"a|p\"w|e2", "b| pw2 |e3", "c||e4"},
       kHead + block("1", "a", "p\"w", "e2", "2,1,0") + block("2", "b", "pw2", "e3", "2,1,1") +
           block("3", "c", "", "e4", "2,1,2")},
  };
  for (const auto& c : cases) {
    Session s("multi-pppoe-balance");
    s.set_output("announcement");
    EXPECT_EQ(s.press(rows_then("按钮__pppoe多线负载均衡_2x生成", c.rows)), Outcome::Done) << c.name;
    EXPECT_EQ(s.output(), c.expected) << c.name;
    EXPECT_EQ(s.press("gen-2x"), Outcome::Done);
    EXPECT_EQ(s.output(), c.expected) << c.name;
    EXPECT_TRUE(s.env.messages.empty()) << c.name;
  }
}

std::string refresh(const std::string& bound) {
  return crlf({":local assign-address", ":local new-address", ":local status", ":local x", ":set x " + bound,
               ":for i from=1 to=$x do={",
               "    :set status [/interface get [/interface find  name=(\"pppoe-out\" . $i)] running] ",
               "    :if ($status=true) do={",
               "     :set new-address [/ip address get [/ip address find dynamic=yes interface=(\"pppoe-out\" . $i)] "
               "address]",
               "     :set new-address [:pick $new-address 0 ([:len $new-address] -3)]",
               "     :set assign-address [/ip address get [/ip address find dynamic=no interface=(\"pppoe-out\" . $i)] "
               "address]",
               "     :set assign-address [:pick $assign-address 0 ([:len $assign-address] -3)]",
               "        :if ($assign-address != $new-address) do={ /ip address set [/ip address find comment=$i] "
               "address=$new-address network=$new-address broadcast=$new-address",
               "        /ip route set [/ip route find comment=$i] gateway=$new-address",
               "        /ip fir nat set [/ip fir nat find comment=$i] to-addresses=$new-address",
               "        /ip route set [/ip route find comment=$i] gateway=$new-address", "       } ", "   }", "}"},
              false);
}

TEST(MultiPppoeBalance, RefreshScriptLoopsOverEveryLine) {
  struct Case {
    std::vector<std::string> rows;
    std::string bound;
  } cases[] = {
      {{}, "2"},
      {{"a"}, "2"},
      {{"a", "b"}, "2"},
      {{"a", "b", "c"}, "3"},
      {{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"}, "12"},
  };
  for (const auto& c : cases) {
    Session s("multi-pppoe-balance");
    s.set_output("announcement");
    EXPECT_EQ(s.press(rows_then("refresh-2x", c.rows)), Outcome::Done);
    EXPECT_EQ(s.output(), refresh(c.bound)) << c.rows.size() << " lines";
    EXPECT_EQ(s.press("按钮__pppoe多线负载均衡_动态刷新网关2X"), Outcome::Done);
    EXPECT_EQ(s.output(), refresh(c.bound));
    EXPECT_TRUE(s.env.messages.empty());
  }
}

TEST(MultiPppoeBalance, ScriptsReplaceEachOther) {
  Session s("multi-pppoe-balance");
  s.press(rows_then("gen-2x", {"a|1|e2", "b|2|e3"}));
  std::string install = s.output();
  s.press("refresh-2x");
  EXPECT_EQ(s.output(), refresh("2"));
  s.press("gen-2x");
  EXPECT_EQ(s.output(), install);
}

TEST(MultiPppoeBalance, EditorAndChecks) {
  const Shown no_line{"错误", "您还没有添加帐号,至少添加两个以上帐号!\r\n如果是单线,请选择安装单PPPoE脚本"};
  const Shown one_line{"错误", "您只添加了一个帐号,至少添加两个以上帐号!\r\n如果是单线,请选择安装单PPPoE脚本"};
  const Shown duplicate{"重复记录!", "不能重复添加帐号！\r\n您可以使用修改功能进行修改！"};
  Session s("multi-pppoe-balance");
  s.set_output("announcement");
  EXPECT_EQ(s.press("gen-2x"), Outcome::Refused);
  EXPECT_EQ(s.press(rows_then("gen-2x", {"User@Example.net|1|e2", " user@example.NET |2|e3"})), Outcome::Refused);
  EXPECT_EQ(s.output(), "announcement");
  EXPECT_EQ(s.env.messages, (std::vector<Shown>{no_line, duplicate, one_line}));

  // A click on this list leaves the fields alone; modify takes what they hold,
  // even when that makes two rows share an account.
  s.press(rows_then("modify", {"second|2|e3"}));
  Press p;
  p.button = "modify";
  p.select = {{kList, 1}};
  EXPECT_EQ(s.press(p), Outcome::Done);
  EXPECT_EQ(to_utf8(s.form->text("编辑框_pppoe多线负载均衡_ADSL帐号")), "second");  // typed by the last --row
  const auto& rows = s.form->rows(kList);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(to_utf8(rows[0][0]), "second");
  EXPECT_EQ(to_utf8(rows[1][0]), "second");

  p.values = {{"编辑框_pppoe多线负载均衡_ADSL帐号", to_gbk(" third ")}};
  s.press(p);
  EXPECT_EQ(to_utf8(rows[0][0]), "third");
  EXPECT_EQ(to_utf8(rows[1][0]), "second");
  EXPECT_EQ(s.env.messages.size(), 3u);
}

}  // namespace
}  // namespace rosgen::test
