// RouterOS 7 buttons of the multi-line and dual-line WAN pages.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "script/text.h"
#include "support.h"

namespace rosgen::test {
namespace {

Press press_of(const std::string& button, const std::vector<std::string>& rows,
               const std::vector<std::pair<std::string, std::string>>& values = {},
               const std::vector<std::string>& check = {}) {
  Press p;
  p.button = button;
  for (const std::string& r : rows) p.rows.push_back(split(to_gbk(r), "|"_a));
  for (const auto& [id, v] : values) p.values.emplace_back(id, to_gbk(v));
  p.check = check;
  return p;
}

std::vector<std::string> lines_of(const std::string& script) {
  std::vector<std::string> out;
  size_t at = 0;
  for (size_t end; (end = script.find("\r\n", at)) != std::string::npos; at = end + 2) {
    out.push_back(script.substr(at, end - at));
  }
  out.push_back(script.substr(at));
  return out;
}

const std::string kLan = crlf({"/ip address add address=192.168.0.254/24 interface=ether1 comment=lan",
                               "/ip dns set servers=114.114.114.114,223.5.5.5 allow-remote-requests=yes"},
                              true);
const std::string kMasquerade = "/ip firewall nat add chain=srcnat src-address=192.168.0.0/24 action=masquerade\r\n";
const std::string kMss =
    "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=1440\r\n";

std::string pcc(const std::string& mark, const std::string& share) {
  return crlf({"/ip firewall mangle add chain=prerouting in-interface=ether1 connection-state=new "
               "dst-address-type=!local per-connection-classifier=both-addresses:" +
                   share + " action=mark-connection new-connection-mark=" + mark + " passthrough=yes",
               "/ip firewall mangle add chain=prerouting in-interface=ether1 connection-mark=" + mark +
                   " action=mark-routing new-routing-mark=" + mark + " passthrough=no"},
              true);
}

struct ScriptCase {
  const char* name;
  const char* slug;
  Press press;
  std::string expected;
};

TEST(Ros7Wan, Scripts) {
  const ScriptCase cases[] = {
      {"fixed balance: dotted and bare masks become prefix lengths", "multi-fixed-balance",
       press_of("gen-7x", {"203.0.113.2|255.255.255.248|203.0.113.1|ether2", "198.51.100.2|29|198.51.100.1|ether3"}),
       kLan + kMss +
           crlf(
               {"/ip address add address=203.0.113.2/29 interface=ether2 comment=1", "/routing table add name=wan1 fib",
                "/ip route add dst-address=0.0.0.0/0 gateway=203.0.113.1 routing-table=wan1 comment=1"},
               true) +
           pcc("wan1", "2/0") +
           "/ip firewall nat add chain=srcnat connection-mark=wan1 action=src-nat to-addresses=203.0.113.2 "
           "comment=1\r\n" +
           crlf({"/ip address add address=198.51.100.2/29 interface=ether3 comment=2",
                 "/routing table add name=wan2 fib",
                 "/ip route add dst-address=0.0.0.0/0 gateway=198.51.100.1 routing-table=wan2 comment=2"},
                true) +
           pcc("wan2", "2/1") +
           "/ip firewall nat add chain=srcnat connection-mark=wan2 action=src-nat to-addresses=198.51.100.2 "
           "comment=2\r\n"},
      {"fixed split: one masquerade rule, a table per range", "multi-fixed-split",
       press_of("gen-7x", {"203.0.113.2|255.255.255.248|203.0.113.1|ether2|192.168.0.1-192.168.0.100",
                           "198.51.100.2|255.255.255.248|198.51.100.1|ether3|192.168.0.101-192.168.0.200"}),
       kLan + kMasquerade + kMss +
           crlf(
               {"/ip address add address=203.0.113.2/29 interface=ether2 comment=1", "/routing table add name=wan1 fib",
                "/ip firewall mangle add chain=prerouting src-address=192.168.0.1-192.168.0.100 "
                "action=mark-routing new-routing-mark=wan1 comment=1",
                "/ip route add dst-address=0.0.0.0/0 gateway=203.0.113.1 routing-table=wan1 comment=1",
                "/ip address add address=198.51.100.2/29 interface=ether3 comment=2",
                "/routing table add name=wan2 fib",
                "/ip firewall mangle add chain=prerouting src-address=192.168.0.101-192.168.0.200 "
                "action=mark-routing new-routing-mark=wan2 comment=2",
                "/ip route add dst-address=0.0.0.0/0 gateway=198.51.100.1 routing-table=wan2 comment=2"},
               true)},
      {"PPPoE balance: account and interface texts stay one value each", "multi-pppoe-balance",
       press_of("gen-7x", {"adsl1@x.net|p\"a$s\\w|ether2", "user 2|pw|ether 3"}),
       kLan + kMss +
           crlf({"/interface pppoe-client add name=pppoe-out1 interface=ether2 user=\"adsl1@x.net\" "
                 "password=\"p\\\"a\\$s\\\\w\" add-default-route=no disabled=no",
                 "/ip address add address=58.58.58.1/32 interface=pppoe-out1 comment=1",
                 "/routing table add name=adsl1 fib",
                 "/ip route add dst-address=0.0.0.0/0 gateway=pppoe-out1 routing-table=adsl1 comment=1"},
                true) +
           pcc("adsl1", "2/0") +
           "/ip firewall nat add chain=srcnat connection-mark=adsl1 action=src-nat to-addresses=58.58.58.1 "
           "comment=1\r\n" +
           crlf({"/interface pppoe-client add name=pppoe-out2 interface=\"ether 3\" user=\"user 2\" password=\"pw\" "
                 "add-default-route=no disabled=no",
                 "/ip address add address=58.58.58.2/32 interface=pppoe-out2 comment=2",
                 "/routing table add name=adsl2 fib",
                 "/ip route add dst-address=0.0.0.0/0 gateway=pppoe-out2 routing-table=adsl2 comment=2"},
                true) +
           pcc("adsl2", "2/1") +
           "/ip firewall nat add chain=srcnat connection-mark=adsl2 action=src-nat to-addresses=58.58.58.2 "
           "comment=2\r\n"},
      {"PPPoE split refresh: three lines, addresses only", "multi-pppoe-split",
       press_of("refresh-7x", {"a|b|r1|ether2", "c|d|r2|ether3", "e|f|r3|ether4"}),
       crlf({":local lines 3", ":for i from=1 to=$lines do={", "    :local iface (\"pppoe-out\" . $i)",
             "    :local tag (\"adsl\" . $i)",
             "    :foreach dyn in=[/ip address find interface=$iface dynamic=yes] do={",
             "        :local newAddress [/ip address get $dyn address]",
             "        :set newAddress [:pick $newAddress 0 [:find $newAddress \"/\"]]",
             "        :foreach own in=[/ip address find comment=$tag dynamic=no] do={",
             "            :local oldAddress [/ip address get $own address]",
             "            :if ([:pick $oldAddress 0 [:find $oldAddress \"/\"]] != $newAddress) do={",
             "                /ip address set $own address=($newAddress . \"/32\") network=$newAddress",
             "            }", "        }", "    }", "}"},
            false)},
      {"dual line, Telecom main", "dual-fixed", press_of("gen-7x", {}),
       crlf({"/ip address add address=192.168.0.254/24 interface=ether3 comment=Lan",
             "/ip address add address=203.0.113.2/29 interface=ether1 comment=Tel",
             "/ip address add address=198.51.100.2/29 interface=ether2 comment=Cnc",
             "/ip firewall nat add chain=srcnat src-address=192.168.0.0/24 action=masquerade",
             "/ip firewall nat add chain=dstnat src-address=192.168.0.0/24 protocol=udp dst-port=53 action=dst-nat "
             "to-addresses=192.168.0.254 to-ports=53",
             "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=1440",
             "/ip dns set servers=114.114.114.114,223.5.5.5 allow-remote-requests=yes cache-size=2048 "
             "cache-max-ttl=1w"},
            false)},
  };
  for (const ScriptCase& c : cases) {
    SCOPED_TRACE(c.name);
    Session s(c.slug);
    ASSERT_EQ(s.press(c.press), Outcome::Done);
    EXPECT_EQ(s.output(), c.expected);
  }
}

// Variants judged by one line of the script.
TEST(Ros7Wan, TellingLines) {
  struct Case {
    const char* name;
    const char* slug;
    Press press;
    size_t line;  // from 0
    std::string expected;
  } cases[] = {
      {"three lines share the classifier in thirds", "multi-fixed-balance",
       press_of("gen-7x", {"1.1.1.2|29|1.1.1.1|e2", "2.2.2.2|29|2.2.2.1|e3", "3.3.3.2|29|3.3.3.1|e4"}), 3 + 6 * 2 + 3,
       "/ip firewall mangle add chain=prerouting in-interface=ether1 connection-state=new dst-address-type=!local "
       "per-connection-classifier=both-addresses:3/2 action=mark-connection new-connection-mark=wan3 passthrough=yes"},
      {"no mask: the address alone", "multi-fixed-split", press_of("gen-7x", {"1.1.1.2||1.1.1.1|e2|r", "2.2.2.2"}), 4,
       "/ip address add address=1.1.1.2 interface=e2 comment=1"},
      {"odd LAN values are quoted", "multi-fixed-balance",
       press_of("gen-7x", {"a", "b"},
                {{"编辑框_多线固定IP负载均衡_内网网卡", "lan port"}, {"编辑框_多线固定IP负载均衡_TCPMSS值", ""}}),
       2, "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=\"\""},
      {"PPPoE split: the range picks line 2's table", "multi-pppoe-split",
       press_of("gen-7x", {"a|b|r1|e2", "c|d|192.168.0.21-192.168.0.40|e3"}), 4 + 5 + 3,
       "/ip firewall mangle add chain=prerouting src-address=192.168.0.21-192.168.0.40 action=mark-routing "
       "new-routing-mark=adsl2 comment=adsl2"},
      {"PPPoE split: the route leaves by the line's own interface", "multi-pppoe-split",
       press_of("gen-7x", {"a|b|r1|e2", "c|d|r2|e3"}), 4 + 4,
       "/ip route add dst-address=0.0.0.0/0 gateway=pppoe-out1 routing-table=adsl1 comment=adsl1"},
      {"one DNS server left", "multi-pppoe-split",
       press_of("gen-7x", {"a", "b"}, {{"编辑框_多线分流PPPOE_首选DNS", ""}}), 1,
       "/ip dns set servers=223.5.5.5 allow-remote-requests=yes"},
      {"balance refresh moves the NAT rule too", "multi-pppoe-balance", press_of("refresh-7x", {}), 11,
       "                /ip firewall nat set [/ip firewall nat find comment=$tag] to-addresses=$newAddress"},
      {"balance refresh finds lines by their bare number", "multi-pppoe-balance", press_of("refresh-7x", {}), 3,
       "    :local tag (\"\" . $i)"},
      {"Netcom main swaps the DNS servers", "dual-fixed", press_of("gen-7x", {}, {}, {"单选框_网通"}), 6,
       "/ip dns set servers=223.5.5.5,114.114.114.114 allow-remote-requests=yes cache-size=2048 cache-max-ttl=1w"},
      {"a blank in the LAN card", "dual-fixed", press_of("gen-7x", {}, {{"编辑框_双线固定IP_内网网卡", "lan 1"}}), 0,
       "/ip address add address=192.168.0.254/24 interface=\"lan 1\" comment=Lan"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session s(c.slug);
    ASSERT_EQ(s.press(c.press), Outcome::Done);
    auto lines = lines_of(s.output());
    ASSERT_LT(c.line, lines.size());
    EXPECT_EQ(lines[c.line], c.expected);
  }
}

TEST(Ros7Wan, CarrierRoutesOneCommandPerLine) {
  struct Case {
    std::vector<std::string> check;
    size_t networks;
    std::string first, last;
  } cases[] = {
      {{},
       134,
       "/ip route add dst-address=59.80.0.0/14 gateway=198.51.100.1 check-gateway=ping distance=1",
       "/ip route add dst-address=0.0.0.0/0 gateway=203.0.113.1 check-gateway=ping distance=2"},
      {{"单选框_网通"},
       247,
       "/ip route add dst-address=58.14.0.0/15 gateway=203.0.113.1 check-gateway=ping distance=1",
       "/ip route add dst-address=0.0.0.0/0 gateway=198.51.100.1 check-gateway=ping distance=2"},
  };
  for (const Case& c : cases) {
    Session s("dual-fixed");
    s.set_output("old");
    ASSERT_EQ(s.press(press_of("routes-7x", {}, {}, c.check)), Outcome::Done);
    EXPECT_EQ(s.env.messages,
              (std::vector<Shown>{{"注意", "请开启Telnet服务,然后用超级终端连接运行此脚本!\r\n\r\n否则会出错!"}}));
    auto lines = lines_of(s.output());
    ASSERT_EQ(lines.size(), c.networks + 1);
    EXPECT_EQ(lines.front(), c.first);
    EXPECT_EQ(lines.back(), c.last);
    std::set<std::string> seen;
    for (const std::string& line : lines) {
      EXPECT_EQ(line.rfind("/ip route add dst-address=", 0), 0u) << line;
      seen.insert(line.substr(0, line.find(' ', 26)));
    }
    EXPECT_EQ(seen.size(), lines.size()) << "a network written twice";
  }
  // A gateway with a blank stays one value on every line.
  Session s("dual-fixed");
  s.press(press_of("routes-7x", {}, {{"编辑框_双线固定IP_外网网通网关", "gw 1"}}));
  for (const std::string& line : lines_of(s.output())) {
    if (line.find("0.0.0.0/0") == std::string::npos) {
      EXPECT_NE(line.find(" gateway=\"gw 1\" "), std::string::npos) << line;
    }
  }
}

// Too few lines: the 2.9.x button's messages, in its order, and the output left alone.
TEST(Ros7Wan, RefusesLikeItsSibling) {
  for (const char* slug : {"multi-fixed-balance", "multi-fixed-split", "multi-pppoe-balance", "multi-pppoe-split"}) {
    for (const std::vector<std::string>& rows : {std::vector<std::string>{}, std::vector<std::string>{"a"}}) {
      SCOPED_TRACE(std::string(slug) + " rows " + std::to_string(rows.size()));
      Session s7(slug), s2(slug);
      s7.set_output("old");
      EXPECT_EQ(s7.press(press_of("gen-7x", rows)), Outcome::Refused);
      EXPECT_EQ(s2.press(press_of("gen-2x", rows)), Outcome::Refused);
      EXPECT_EQ(s7.env.messages, s2.env.messages);
      EXPECT_EQ(s7.output(), "old");
    }
  }
}

// What RouterOS 7 wants of every line these buttons write, whatever the rows:
// no continued lines, no 3.x-only words, and each routing table added before
// a rule or route names it.
TEST(Ros7Wan, RoutingTablesComeFirst) {
  const std::pair<const char*, std::vector<std::string>> pages[] = {
      {"multi-fixed-balance", {"1.1.1.2|29|1.1.1.1|e2", "2.2.2.2|29|2.2.2.1|e3", "3.3.3.2|29|3.3.3.1|e4"}},
      {"multi-fixed-split", {"1.1.1.2|29|1.1.1.1|e2|r1", "2.2.2.2|29|2.2.2.1|e3|r2", "3.3.3.2|29|3.3.3.1|e4|r3"}},
      {"multi-pppoe-balance", {"u1|p1|e2", "u2|p2|e3", "u3|p3|e4"}},
      {"multi-pppoe-split", {"u1|p1|r1|e2", "u2|p2|r2|e3", "u3|p3|r3|e4"}},
  };
  for (const auto& [slug, rows] : pages) {
    SCOPED_TRACE(slug);
    Session s(slug);
    ASSERT_EQ(s.press(press_of("gen-7x", rows)), Outcome::Done);
    std::set<std::string> tables;
    size_t routes = 0;
    for (const std::string& line : lines_of(s.output())) {
      if (line.empty()) continue;
      EXPECT_EQ(line[0], '/') << line;
      EXPECT_NE(line.back(), '\\') << line;
      for (const char* gone : {"primary-dns", " routing-mark=", " nth=", "/ ip"}) {
        EXPECT_EQ(line.find(gone), std::string::npos) << line;
      }
      if (line.rfind("/routing table add name=", 0) == 0) {
        std::istringstream words(line.substr(24));
        std::string name;
        words >> name;
        tables.insert(name);
      }
      for (const char* key : {"new-routing-mark=", "routing-table="}) {
        if (auto at = line.find(key); at != std::string::npos) {
          std::string name = line.substr(at + std::string(key).size());
          name = name.substr(0, name.find(' '));
          EXPECT_TRUE(tables.contains(name)) << line;
          if (std::string(key) == "routing-table=") ++routes;
        }
      }
    }
    EXPECT_EQ(tables.size(), 3u);
    EXPECT_EQ(routes, 3u);
  }
}

}  // namespace
}  // namespace rosgen::test
