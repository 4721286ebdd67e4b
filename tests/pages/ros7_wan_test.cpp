// RouterOS 7 buttons of the WAN pages: each script judged by the configuration model on a
// router that runs the default configuration, and read back command by command for what the
// model does not judge (how lines share the load, the order of the marks, IPv6 behind them).
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "routeros/model.h"
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

// One command line: "/ip route add a=b c=\"d e\"" gives menu "/ip route", verb "add" and the
// arguments with their quotes taken off; a "[find ...]" is an argument of its own, as written.
struct Command {
  std::string menu, verb;
  std::map<std::string, std::string> args;
  std::string arg(const std::string& key) const {
    auto it = args.find(key);
    return it == args.end() ? "" : it->second;
  }
  bool has(const std::string& key) const { return args.contains(key); }
};

std::vector<Command> commands_of(const std::string& script) {
  static const std::set<std::string> verbs = {"add", "set", "remove", "enable", "disable"};
  std::vector<Command> out;
  for (const std::string& whole : lines_of(script)) {
    const std::string line = guarded_add(whole);
    if (line.empty() || line[0] != '/') continue;
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    int brackets = 0;
    for (size_t i = 0; i < line.size(); ++i) {
      const char ch = line[i];
      if (brackets > 0 && ch != '[' && ch != ']') {
        word += ch;  // a [find ...] stays as written
      } else if (quoted && ch == '\\' && i + 1 < line.size()) {
        word += line[++i];
      } else if (ch == '"') {
        quoted = !quoted;
      } else if (!quoted && ch == '[') {
        ++brackets, word += ch;
      } else if (!quoted && ch == ']') {
        --brackets, word += ch;
      } else if (ch == ' ' && !quoted && brackets == 0) {
        if (!word.empty()) words.push_back(word);
        word.clear();
      } else {
        word += ch;
      }
    }
    if (!word.empty()) words.push_back(word);
    Command c;
    size_t i = 0;
    for (; i < words.size() && !verbs.contains(words[i]); ++i) c.menu += (c.menu.empty() ? "" : " ") + words[i];
    if (i < words.size()) c.verb = words[i++];
    for (; i < words.size(); ++i) {
      const size_t eq = words[i].find('=');
      if (eq == std::string::npos || words[i][0] == '[') {
        c.args[words[i]] = "";
      } else {
        c.args[words[i].substr(0, eq)] = words[i].substr(eq + 1);
      }
    }
    out.push_back(std::move(c));
  }
  return out;
}

// Index of the first command for which `pred` holds, or npos.
template <class Pred>
size_t first(const std::vector<Command>& cs, Pred pred) {
  for (size_t i = 0; i < cs.size(); ++i) {
    if (pred(cs[i])) return i;
  }
  return std::string::npos;
}

bool is_default_route(const Command& c) {
  return c.menu == "/ip route" && c.verb == "add" && c.arg("dst-address") == "0.0.0.0/0";
}

// Applied to the default configuration, every script raises no run-time error and no rule: the
// uplinks leave the bridge for the WAN list, the LAN port joins the LAN list, a default route
// in main, failover, NAT per uplink, replies through the line they came in on, the fasttrack
// rule sparing marked connections, and MSS clamps that never raise.
TEST(Ros7Wan, MeaningOnTheDefaultConfiguration) {
  struct Case {
    const char* slug;
    Press press;
  } cases[] = {
      {"wan-fixed", press_of("gen-7x", {})},
      {"wan-fixed", press_of("gen-7x", {}, {{"lan-nic", "ether5"}, {"wan-nic", "ether3"}, {"gateway", "10.9.9.1"}})},
      {"wan-pppoe", press_of("gen-7x", {})},
      {"wan-pppoe", press_of("gen-7x", {}, {{"wan-nic", "ether4"}, {"pppoe-name", "adsl"}, {"mss", "x"}})},
      {"dual-fixed", press_of("gen-7x", {})},
      {"dual-fixed", press_of("gen-7x", {}, {{"lan-nic", "bridge"}}, {"单选框_网通"})},
      {"dual-fixed", press_of("routes-7x", {})},
      {"multi-fixed-balance",
       press_of("gen-7x", {"203.0.113.2|255.255.255.248|203.0.113.1|ether2", "198.51.100.2|29|198.51.100.1|ether3",
                           "10.10.10.2|24|10.10.10.1|ether4"})},
      {"multi-fixed-split", press_of("gen-7x",
                                     {"203.0.113.2|29|203.0.113.1|ether2|192.168.0.1-192.168.0.100",
                                      "198.51.100.2|29|198.51.100.1|ether3|192.168.0.101-192.168.0.200"},
                                     {{"lan-nic", "ether5"}})},
      {"multi-pppoe-balance", press_of("gen-7x", {"u1|p1|ether2", "u2|p2|ether3", "u3|p3|ether3"})},
      {"multi-pppoe-split",
       press_of("gen-7x", {"u1|p1|192.168.0.1-192.168.0.20|ether2", "u2|p2|192.168.0.21-192.168.0.40|ether4"})},
      {"multi-pppoe-split", press_of("refresh-7x", {})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.slug) + " " + c.press.button);
    Session s(c.slug);
    ASSERT_EQ(s.press(c.press), Outcome::Done);
    const std::string script = s.output();
    EXPECT_TRUE(script.ends_with("\r\n")) << "the last command waits for Enter";
    for (const ros7::Finding& f : ros7::check(script, ros7::Base::Defconf)) {
      ADD_FAILURE() << f.line << ": [" << f.rule << "] " << f.message << "\n" << script;
    }
  }
}

// How the lines share the load, which the model does not judge: a default route per line in
// main at a distance rising with its place (PPPoE: the client's), a table per line backed up by
// the next line, the classifier that picks the line's LAN connections, and the routing marks
// after every rule that gives a connection mark, or a connection's first packet misses its table.
TEST(Ros7Wan, LinesShareTheLoad) {
  struct Line {
    std::string gateway;  // empty: PPPoE line k, pppoe-out<k>
    std::string classifier_key, classifier_value;
  };
  struct Case {
    const char* slug;
    std::vector<std::string> rows;
    std::string prefix;
    std::vector<Line> lines;
  } cases[] = {
      {"multi-fixed-balance",
       {"1.1.1.2|29|1.1.1.1|ether2", "2.2.2.2|29|2.2.2.1|ether3", "3.3.3.2|29|3.3.3.1|ether4"},
       "wan",
       {{"1.1.1.1", "per-connection-classifier", "both-addresses:3/0"},
        {"2.2.2.1", "per-connection-classifier", "both-addresses:3/1"},
        {"3.3.3.1", "per-connection-classifier", "both-addresses:3/2"}}},
      {"multi-fixed-split",
       {"1.1.1.2|29|1.1.1.1|ether2|192.168.0.1-192.168.0.100", "2.2.2.2|29|2.2.2.1|ether3|192.168.0.101"},
       "wan",
       {{"1.1.1.1", "src-address", "192.168.0.1-192.168.0.100"}, {"2.2.2.1", "src-address", "192.168.0.101"}}},
      {"multi-pppoe-balance",
       {"u1|p1|ether2", "u2|p2|ether3"},
       "adsl",
       {{"", "per-connection-classifier", "both-addresses:2/0"},
        {"", "per-connection-classifier", "both-addresses:2/1"}}},
      {"multi-pppoe-split",
       {"u1|p1|r1|ether2", "u2|p2|r2|ether3", "u3|p3|r3|ether4"},
       "adsl",
       {{"", "src-address", "r1"}, {"", "src-address", "r2"}, {"", "src-address", "r3"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slug);
    Session s(c.slug);
    ASSERT_EQ(s.press(press_of("gen-7x", c.rows)), Outcome::Done);
    const auto cs = commands_of(s.output());
    size_t last_mark_connection = 0;
    for (size_t i = 0; i < cs.size(); ++i) {
      if (cs[i].arg("action") == "mark-connection") last_mark_connection = i;
    }
    for (size_t k = 1; k <= c.lines.size(); ++k) {
      const std::string name = c.prefix + std::to_string(k);
      SCOPED_TRACE(name);
      const auto next_hop = [&](size_t line) {
        const Line& l = c.lines[line - 1];
        return l.gateway.empty() ? "pppoe-out" + std::to_string(line) : l.gateway + "@main";
      };
      const Line& l = c.lines[k - 1];
      if (l.gateway.empty()) {
        const size_t client = first(cs, [&](const Command& r) { return r.arg("name") == next_hop(k); });
        ASSERT_NE(client, std::string::npos);
        EXPECT_EQ(cs[client].arg("default-route-distance"), std::to_string(k));
      } else {
        EXPECT_NE(first(cs,
                        [&](const Command& r) {
                          return is_default_route(r) && !r.has("routing-table") && r.arg("gateway") == l.gateway &&
                                 r.arg("distance") == std::to_string(k);
                        }),
                  std::string::npos);
      }
      const std::string backup = next_hop(k % c.lines.size() + 1);
      EXPECT_NE(first(cs,
                      [&](const Command& r) {
                        return is_default_route(r) && r.arg("routing-table") == name && r.arg("gateway") == backup &&
                               r.arg("distance") == "2";
                      }),
                std::string::npos)
          << "no backup route through " << backup;
      EXPECT_NE(first(cs,
                      [&](const Command& r) {
                        return r.arg(l.classifier_key) == l.classifier_value && r.arg("new-connection-mark") == name &&
                               r.arg("connection-mark") == "no-mark";
                      }),
                std::string::npos);
      for (const char* chain : {"prerouting", "output"}) {
        const size_t route_mark = first(cs, [&](const Command& r) {
          return r.arg("chain") == chain && r.arg("connection-mark") == name && r.arg("new-routing-mark") == name;
        });
        ASSERT_NE(route_mark, std::string::npos) << chain;
        EXPECT_GT(route_mark, last_mark_connection) << chain << ": the first packet would miss its table";
      }
    }
  }
}

// LAN traffic to a fixed line's own network reaches it directly, before any classifier.
TEST(Ros7Wan, OwnNetworksStayUnmarked) {
  Session s("multi-fixed-balance");
  ASSERT_EQ(s.press(press_of("gen-7x", {"203.0.113.10|255.255.255.248|203.0.113.9|ether2", "10.0.0.2|8|10.0.0.1|e3",
                                        "x|29|y|ether4"})),
            Outcome::Done);
  const auto cs = commands_of(s.output());
  std::vector<std::string> accepted;
  size_t last_accept = 0;
  for (size_t i = 0; i < cs.size(); ++i) {
    if (cs[i].arg("action") == "accept") accepted.push_back(cs[i].arg("dst-address")), last_accept = i;
  }
  EXPECT_EQ(accepted, (std::vector<std::string>{"203.0.113.8/29", "10.0.0.0/8"}));
  EXPECT_LT(last_accept, first(cs, [](const Command& c) { return c.has("per-connection-classifier"); }));
}

// change-mss lowers a larger MSS and leaves a smaller one; a field that is no MSS clamps to
// the path MTU.
TEST(Ros7Wan, MssNeverRaised) {
  const std::map<std::string, std::vector<std::string>> rows = {
      {"multi-fixed-balance", {"a|b|c|d", "e|f|g|h"}},
      {"multi-fixed-split", {"a|b|c|d|e", "f|g|h|i|j"}},
      {"multi-pppoe-balance", {"a|b|c", "d|e|f"}},
      {"multi-pppoe-split", {"a|b|c|d", "e|f|g|h"}},
  };
  struct Case {
    const char* slug;
    std::string field, value, expected;
  } cases[] = {
      {"wan-fixed", "编辑框_安装_TCPMSS值", "1440", "tcp-mss=1441-65535 action=change-mss new-mss=1440"},
      {"wan-pppoe", "编辑框_ppoe_tcpmss值", "1452", "tcp-mss=1453-65535 action=change-mss new-mss=1452"},
      {"dual-fixed", "编编辑框_双线固定IP_MSS值", "01400", "tcp-mss=1401-65535 action=change-mss new-mss=1400"},
      {"multi-fixed-balance", "编辑框_多线固定IP负载均衡_TCPMSS值", "", "action=change-mss new-mss=clamp-to-pmtu"},
      {"multi-fixed-split", "编辑框_分流_TCPMSS值", "abc", "action=change-mss new-mss=clamp-to-pmtu"},
      {"multi-pppoe-balance", "编辑框_pppoe多线负载均衡_TCPMSS值", "65535", "action=change-mss new-mss=clamp-to-pmtu"},
      {"multi-pppoe-split", "编辑框_多线分流PPPOE_TCPMSS", "0", "action=change-mss new-mss=clamp-to-pmtu"},
      {"multi-pppoe-split", "编辑框_多线分流PPPOE_TCPMSS", "65534",
       "tcp-mss=65535-65535 action=change-mss new-mss=65534"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.slug) + " mss '" + c.value + "'");
    Session s(c.slug);
    auto page_rows = rows.find(c.slug);
    ASSERT_EQ(s.press(press_of("gen-7x", page_rows == rows.end() ? std::vector<std::string>{} : page_rows->second,
                               {{c.field, c.value}})),
              Outcome::Done);
    const std::string script = s.output();
    EXPECT_NE(script.find("/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn " + c.expected +
                          " passthrough=yes"),
              std::string::npos)
        << script;
    EXPECT_EQ(script.find("change-mss", script.find("change-mss") + 1), std::string::npos) << "two clamps";
  }
}

// Dual line: the default route through the main line, the other line its backup; the DNS
// servers in the same order; LAN DNS answered by the router.
TEST(Ros7Wan, DualLineFollowsTheMainLine) {
  struct Case {
    std::vector<std::string> check;
    std::string main_gateway, backup_gateway, dns;
  } cases[] = {
      {{}, "203.0.113.1", "198.51.100.1", "114.114.114.114,223.5.5.5"},
      {{"单选框_网通"}, "198.51.100.1", "203.0.113.1", "223.5.5.5,114.114.114.114"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.main_gateway);
    Session s("dual-fixed");
    ASSERT_EQ(s.press(press_of("gen-7x", {}, {}, c.check)), Outcome::Done);
    const auto cs = commands_of(s.output());
    for (const auto& [gateway, distance] : {std::pair{c.main_gateway, "1"}, std::pair{c.backup_gateway, "2"}}) {
      EXPECT_NE(first(cs,
                      [&](const Command& r) {
                        return is_default_route(r) && !r.has("routing-table") && r.arg("gateway") == gateway &&
                               r.arg("check-gateway") == "ping" && r.arg("distance") == distance;
                      }),
                std::string::npos)
          << gateway;
    }
    EXPECT_EQ(cs[first(cs, [](const Command& r) { return r.menu == "/ip dns"; })].arg("servers"), c.dns);
    const size_t dns = first(cs, [](const Command& r) { return r.arg("chain") == "dstnat"; });
    ASSERT_NE(dns, std::string::npos);
    EXPECT_EQ(cs[dns].arg("in-interface"), "ether3") << "DNS redirected for traffic passing through";
  }
}

// The carrier networks resolve through one checked route: thousands of pinged routes would
// cost the router, and a dead secondary line must take them all out of use.
TEST(Ros7Wan, CarrierRoutesThroughOneCheckedHop) {
  struct Case {
    std::vector<std::string> check;
    std::vector<std::pair<std::string, std::string>> values;
    size_t networks;
    std::string gateway, first_network;
  } cases[] = {
      {{}, {}, 134, "198.51.100.1", "59.80.0.0/14"},
      {{"单选框_网通"}, {}, 247, "203.0.113.1", "58.14.0.0/15"},
      {{}, {{"编辑框_双线固定IP_外网网通网关", "gw 1"}}, 134, "gw 1", "59.80.0.0/14"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gateway);
    Session s("dual-fixed");
    s.set_output("old");
    ASSERT_EQ(s.press(press_of("routes-7x", {}, c.values, c.check)), Outcome::Done);
    EXPECT_EQ(s.env.messages,
              (std::vector<Shown>{{"注意", "请开启Telnet服务,然后用超级终端连接运行此脚本!\r\n\r\n否则会出错!"}}));
    const std::string script = s.output();
    EXPECT_TRUE(script.starts_with("# ")) << "the first line says what the routes need";
    const auto cs = commands_of(script);
    ASSERT_EQ(cs.size(), c.networks + 2);
    EXPECT_EQ(cs[0].verb, "remove") << "a second run would add every route twice";
    const Command& hop = cs[1];
    EXPECT_EQ(hop.arg("gateway"), c.gateway);
    EXPECT_EQ(hop.arg("check-gateway"), "ping");
    EXPECT_EQ(hop.arg("scope"), "10");
    const std::string hop_address = hop.arg("dst-address").substr(0, hop.arg("dst-address").find('/'));
    EXPECT_EQ(cs[2].arg("dst-address"), c.first_network);
    std::set<std::string> seen;
    for (size_t i = 2; i < cs.size(); ++i) {
      EXPECT_EQ(cs[i].arg("gateway"), hop_address);
      EXPECT_EQ(cs[i].arg("target-scope"), "11") << "resolvable through a default route when the line is down";
      EXPECT_FALSE(cs[i].has("check-gateway"));
      seen.insert(cs[i].arg("dst-address"));
    }
    EXPECT_EQ(seen.size(), c.networks) << "a network written twice";
  }
}

// The PPPoE lines need no refresh on RouterOS 7, and the script says so first.
TEST(Ros7Wan, RefreshSaysThereIsNothingToRefresh) {
  for (const auto& [slug, rows, bound] :
       {std::tuple{"multi-pppoe-balance", std::vector<std::string>{}, "2"},
        std::tuple{"multi-pppoe-balance", std::vector<std::string>{"a|b|c", "d|e|f", "g|h|i"}, "3"},
        std::tuple{"multi-pppoe-split", std::vector<std::string>{"a|b|c|d", "e|f|g|h", "i|j|k|l"}, "3"}}) {
    {
      SCOPED_TRACE(std::string(slug) + " " + bound);
      Session s(slug);
      ASSERT_EQ(s.press(press_of("refresh-7x", rows)), Outcome::Done);
      const auto lines = lines_of(s.output());
      EXPECT_TRUE(lines[0].starts_with("# RouterOS 7 needs no gateway refresh")) << lines[0];
      EXPECT_EQ(lines[1], ":for i from=1 to=" + std::string(bound) + " do={");
      EXPECT_EQ(s.output().find("/ip address set"), std::string::npos);
      EXPECT_EQ(s.output().find("58.58.58."), std::string::npos);
    }
  }
}

// Field texts stay one value each, whatever they hold; a field left empty leaves no hole.
TEST(Ros7Wan, OddValues) {
  struct Case {
    const char* name;
    const char* slug;
    Press press;
    std::vector<std::string> lines;  // each must stand in the script as a whole line
    std::string absent;              // text the script must not hold
  } cases[] = {
      {"account and password quoted",
       "multi-pppoe-balance",
       press_of("gen-7x", {"adsl1@x.net|p\"a$s\\w|ether 3", "u|p|e"}),
       {"/interface pppoe-client add name=pppoe-out1 interface=\"ether 3\" user=\"adsl1@x.net\" "
        "password=\"p\\\"a\\$s\\\\w\" add-default-route=yes default-route-distance=1 use-peer-dns=no disabled=no "
        "comment=adsl1"},
       ""},
      {"no mask: the address alone, and no network to keep unmarked",
       "multi-fixed-split",
       press_of("gen-7x", {"1.1.1.2||1.1.1.1|e2|r", "2.2.2.2"}),
       {"/ip address add address=1.1.1.2 interface=e2 comment=wan1"},
       "action=accept"},
      {"a blank in the LAN card",
       "dual-fixed",
       press_of("gen-7x", {}, {{"编辑框_双线固定IP_内网网卡", "lan 1"}}),
       {"/ip address add address=192.168.0.254/24 interface=\"lan 1\" comment=Lan",
        "/interface list member add list=LAN interface=\"lan 1\""},
       ""},
      {"one DNS server left",
       "multi-pppoe-split",
       press_of("gen-7x", {"a", "b"}, {{"编辑框_多线分流PPPOE_首选DNS", ""}}),
       {"/ip dns set servers=223.5.5.5 allow-remote-requests=yes"},
       "use-peer-dns=yes"},
      {"no DNS server: the carriers'",
       "multi-pppoe-balance",
       press_of("gen-7x", {"a", "b"},
                {{"编辑框_pppoe多线负载均衡_首选DNS", ""}, {"编辑框_pppoe多线负载均衡_备用DNS", " "}}),
       {"/ip dns set allow-remote-requests=yes"},
       "use-peer-dns=no"},
      {"fixed: prefix length, a blank in the LAN card, one DNS server",
       "wan-fixed",
       press_of("gen-7x", {},
                {{"编辑框_安装_子网掩码", "16"}, {"编辑框_安装_内网网卡", "lan port"}, {"编辑框_安装_首选DNS", ""}}),
       {"/ip address add address=192.168.0.254/16 interface=\"lan port\" comment=lan",
        "/ip firewall nat add chain=srcnat out-interface=ether1 src-address=192.168.0.0/16 action=masquerade "
        "comment=wan",
        "/ip dns set servers=223.5.5.5"},
       ""},
      {"fixed: a mask that is no netmask, no DNS server",
       "wan-fixed",
       press_of("gen-7x", {},
                {{"编辑框_安装_子网掩码", "255.0.255.0"}, {"编辑框_安装_首选DNS", " "}, {"编辑框_安装_备用DNS", ""}}),
       {"/ip address add address=192.168.0.254/255.0.255.0 interface=ether2 comment=lan",
        "/ip firewall nat add chain=srcnat out-interface=ether1 action=masquerade comment=wan"},
       "/ip dns"},
      {"PPPoE: password as typed, account trimmed",
       "wan-pppoe",
       press_of("gen-7x", {},
                {{"编辑框_ppoe_密码", " p;w "}, {"编辑框_ppoe_帐号", " a b "}, {"编辑框_ppoe_备用dns", ""}}),
       {"/interface pppoe-client add name=pppoe-out1 interface=ether1 user=\"a b\" password=\" p;w \" "
        "add-default-route=yes use-peer-dns=no disabled=no",
        "/ip dns set servers=114.114.114.114"},
       ""},
      {"PPPoE: no DNS server, the carrier's",
       "wan-pppoe",
       press_of("gen-7x", {}, {{"编辑框_ppoe_首选DNS", ""}, {"编辑框_ppoe_备用dns", ""}}),
       {"/interface pppoe-client add name=pppoe-out1 interface=ether1 user=adsl0001@example.net password=pass1234 "
        "add-default-route=yes use-peer-dns=yes disabled=no"},
       "/ip dns"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session s(c.slug);
    ASSERT_EQ(s.press(c.press), Outcome::Done);
    const std::string script = s.output();
    for (const std::string& line : c.lines) {
      // A line of its own, or the add made where the name is free.
      const bool whole = ("\r\n" + script).find("\r\n" + line + "\r\n") != std::string::npos;
      EXPECT_TRUE(whole || script.find("do={" + line + "}") != std::string::npos) << line << "\n" << script;
    }
    if (!c.absent.empty()) {
      EXPECT_EQ(script.find(c.absent), std::string::npos) << c.absent;
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

// IPv6 behind the uplinks, which the model does not judge: a DHCPv6 client per uplink asking
// for a prefix into a pool of its own, the first line's default route preferred, the LAN's
// address from the first line's pool, router advertisements with DNS on the LAN. The box only
// adds to the 7.x script, and the 2.9.x/3.x buttons never read it.
TEST(Ros7Wan, Ipv6BehindTheUplinks) {
  struct Case {
    const char* slug;
    std::vector<std::string> rows;
    std::vector<std::pair<std::string, std::string>> values;
    std::string lan;
    std::vector<std::string> clients;  // where the DHCPv6 clients run, first line first
  } cases[] = {
      {"wan-fixed", {}, {}, "ether2", {"ether1"}},
      {"wan-pppoe", {}, {{"pppoe-name", "dsl"}}, "ether2", {"dsl"}},
      {"multi-fixed-balance",
       {"1.1.1.2|29|1.1.1.1|ether2", "2.2.2.2|29|2.2.2.1|ether3", "3.3.3.2|29|3.3.3.1|ether4"},
       {},
       "ether1",
       {"ether2", "ether3", "ether4"}},
      // Two lines on one port: the router takes one client there.
      {"multi-fixed-split",
       {"1.1.1.2|29|1.1.1.1|ether2|192.168.0.1-192.168.0.100", "1.1.1.3|29|1.1.1.1|ether2|192.168.0.101"},
       {{"lan-nic", "ether5"}},
       "ether5",
       {"ether2"}},
      {"multi-pppoe-balance", {"u1|p1|ether2", "u2|p2|ether2"}, {}, "ether1", {"pppoe-out1", "pppoe-out2"}},
      {"multi-pppoe-split",
       {"u1|p1|r1|ether2", "u2|p2|r2|ether3", "u3|p3|r3|ether4"},
       {{"lan-nic", "bridge"}},
       "bridge",
       {"pppoe-out1", "pppoe-out2", "pppoe-out3"}},
      // The main line (Telecom by default) first.
      {"dual-fixed", {}, {}, "ether3", {"ether1", "ether2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.slug) + " " + c.lan);
    const auto output = [&](const std::string& button, bool ipv6) {
      Session s(c.slug);
      EXPECT_EQ(s.press(press_of(button, c.rows, c.values,
                                 ipv6 ? std::vector<std::string>{"ipv6"} : std::vector<std::string>{})),
                Outcome::Done);
      return s.output();
    };
    const std::string without = output("gen-7x", false);
    const std::string script = output("gen-7x", true);
    EXPECT_EQ(without.find("ipv6"), std::string::npos);
    EXPECT_TRUE(script.starts_with(without)) << "IPv6 only adds";
    for (const char* button : {"gen-2x", "gen-3x"}) {
      if (find_button(*find_page(c.slug), button)) {
        EXPECT_EQ(output(button, true), output(button, false)) << button;
      }
    }
    for (const ros7::Finding& f : ros7::check(script, ros7::Base::Defconf)) {
      ADD_FAILURE() << f.line << ": [" << f.rule << "] " << f.message << "\n" << script;
    }

    const auto cs = commands_of(script);
    std::vector<Command> clients, addresses;
    for (const Command& r : cs) {
      if (r.menu == "/ipv6 dhcp-client" && r.verb == "add") clients.push_back(r);
      if (r.menu == "/ipv6 address" && r.verb == "add") addresses.push_back(r);
    }
    ASSERT_EQ(clients.size(), c.clients.size());
    const bool several_lines = c.rows.size() > 1 || c.clients.size() > 1;
    std::set<std::string> pools;
    for (size_t k = 0; k < clients.size(); ++k) {
      EXPECT_EQ(clients[k].arg("interface"), c.clients[k]);
      EXPECT_EQ(clients[k].arg("request"), "prefix");
      EXPECT_EQ(clients[k].arg("add-default-route"), "yes");
      EXPECT_EQ(clients[k].arg("default-route-distance"), several_lines ? std::to_string(k + 1) : "");
      EXPECT_TRUE(pools.insert(clients[k].arg("pool-name")).second) << "two lines share pool " << pools.size();
    }
    ASSERT_EQ(addresses.size(), 1u);
    EXPECT_EQ(addresses[0].arg("interface"), c.lan);
    EXPECT_EQ(addresses[0].arg("from-pool"), clients[0].arg("pool-name")) << "the first line's prefix";
    EXPECT_EQ(addresses[0].arg("address"), "::1/64");
    EXPECT_EQ(addresses[0].arg("advertise"), "yes");
    EXPECT_NE(first(cs,
                    [&](const Command& r) {
                      return r.menu == "/ipv6 nd" && r.verb == "add" && r.arg("interface") == c.lan &&
                             r.arg("advertise-dns") == "yes";
                    }),
              std::string::npos)
        << "no router advertisements with DNS on the LAN";
  }
}

// The LAN's public IPv6 addresses stay behind the input and forward drops of the default IPv6
// firewall: the script keeps them on the default configuration, writes them where they are not,
// and a second run adds none.
TEST(Ros7Wan, Ipv6FirewallOnce) {
  Session s("wan-fixed");
  ASSERT_EQ(s.press(press_of("gen-7x", {}, {}, {"ipv6"})), Outcome::Done);
  std::string probe;
  for (const char* chain : {"input", "forward"}) {
    probe += count_probe(std::string("/ipv6 firewall filter find chain=") + chain +
                             " comment=\"defconf: drop everything else not coming from LAN\"",
                         1);
  }
  for (ros7::Base base : {ros7::Base::Defconf, ros7::Base::None}) {
    // A router without the default configuration has the interface lists the scripts need.
    const std::string lists =
        base == ros7::Base::None ? "/interface list add name=WAN\r\n/interface list add name=LAN\r\n" : "";
    for (const std::string& run : {s.output(), s.output() + s.output()}) {
      for (const ros7::Finding& f : ros7::check_meaning(lists + run + probe, base)) {
        if (f.severity == ros7::Severity::Error) ADD_FAILURE() << f.line << ": [" << f.rule << "] " << f.message;
      }
    }
  }
}

// A changed form run on the router that ran the earlier one: what the earlier script made
// for its lines (address, default route, marks, NAT) gives way to the new form's, and the
// LAN keeps one address; so do a port's mapping and a VPN server's accepts.
TEST(Ros7Wan, AChangedFormReplacesTheEarlierOne) {
  struct Case {
    const char* slug;
    Press before, after;
    std::vector<std::pair<std::string, int>> counts;  // a find in the final configuration, and its count
  } cases[] = {
      {"wan-fixed",
       press_of("gen-7x", {}),
       press_of("gen-7x", {}, {{"wan-ip", "203.0.113.5"}, {"gateway", "203.0.113.6"}}),
       {{"/ip route find dst-address=0.0.0.0/0 gateway=203.0.113.1", 0},
        {"/ip route find dst-address=0.0.0.0/0 gateway=203.0.113.6", 1},
        {"/ip address find interface=ether1", 1},
        {"/ip address find interface=ether2", 1},
        {"/ip firewall nat find comment=wan", 1}}},
      {"multi-fixed-balance",
       press_of("gen-7x", {"1.1.1.2|29|1.1.1.1|ether2", "2.2.2.2|29|2.2.2.1|ether3"}),
       press_of("gen-7x", {"1.1.1.2|29|1.1.1.1|ether2", "3.3.3.2|29|3.3.3.1|ether3"}),
       {{"/ip route find gateway=2.2.2.1", 0},
        {"/ip route find gateway=2.2.2.1@main", 0},
        {"/ip route find gateway=3.3.3.1@main", 2},
        {"/ip route find routing-table=wan2", 2},
        {"/ip firewall mangle find comment=wan2 action=mark-connection", 2},
        {"/routing table find name=wan2", 1}}},
      {"multi-pppoe-balance",
       press_of("gen-7x", {"u1|p1|ether2", "u2|p2|ether3"}),
       press_of("gen-7x", {"u1|p1|ether2", "u9|p9|ether3"}),
       {{"/interface pppoe-client find name=pppoe-out2 user=u9", 1},
        {"/interface pppoe-client find", 2},
        {"/interface list member find list=WAN interface=pppoe-out2", 1}}},
      // Beyond the install pages: a public port maps to one host, a server's ports are accepted once.
      {"port-mapping",
       press_of("fixed-7x", {}),
       press_of("fixed-7x", {}, {{"lan-ip", "192.168.0.9"}}),
       {{"/ip firewall nat find chain=dstnat dst-port=80", 1},
        {"/ip firewall nat find chain=dstnat to-addresses=192.168.0.9", 1}}},
      {"pptp",
       press_of("gen-server-7x", {}),
       press_of("gen-server-7x", {}),
       {{"/ip firewall filter find chain=input comment=\"pptp server\"", 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slug);
    std::string run;
    for (const Press& p : {c.before, c.after}) {
      Session s(c.slug);
      ASSERT_EQ(s.press(p), Outcome::Done);
      run += s.output() + "\r\n";
    }
    for (const auto& [find, n] : c.counts) {
      run += count_probe(find, n);
    }
    for (const ros7::Finding& f : ros7::check_meaning(run, ros7::Base::Defconf)) {
      if (f.severity == ros7::Severity::Error) ADD_FAILURE() << f.line << ": [" << f.rule << "] " << f.message;
    }
  }
}

}  // namespace
}  // namespace rosgen::test
