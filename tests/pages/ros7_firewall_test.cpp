// RouterOS 7 buttons of the firewall pages (tabs 14, 15 and 17 to 20) and of the DDNS page (tab 25).
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>

#include "routeros/checker.h"
#include "routeros/model.h"
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

const std::string kBeforeFasttrack = " place-before=[find comment=\"defconf: fasttrack\"]";
const std::string kBeforeIcmp = " place-before=[find comment=\"defconf: accept ICMP\"]";

std::string guarded(const std::string& find, const std::string& command) {
  return ":if ([:len [" + find + "]] = 0) do={" + command + "}";
}
std::string list_drop(const std::string& list) {
  const std::string rule = " chain=forward dst-address-list=" + list + " action=drop";
  return guarded("/ip firewall filter find" + rule,
                 "/ip firewall filter add" + rule + " comment=" + list + kBeforeFasttrack);
}
std::string list_entry(const std::string& args, const std::string& extra = "") {
  return guarded("/ip firewall address-list find" + args, "/ip firewall address-list add" + args + extra);
}
std::string arp_mode(const std::string& name, const std::string& mode) {
  std::string s = "# ARP由带IP地址的接口应答：网桥端口的设置落在它的网桥上\r\n";
  for (const char* menu : {"ethernet", "bridge", "vlan", "bonding"}) {
    s += "/interface " + std::string(menu) + " set [find name=" + name + "] arp=" + mode + "\r\n";
  }
  return s + ":foreach ketrova5 in=[/interface bridge port find interface=" + name +
         "] do={/interface bridge set [/interface bridge port get $ketrova5 bridge] arp=" + mode + "}";
}
const std::string kFasttrackOff =
    "# "
    "关键字规则要看到每个包：已快速转发(fasttrack)的连接不经防火墙，故停用默认的fasttrack规则(路由器CPU负担会加重)\r\n"
    "/ip firewall filter disable [find comment=\"defconf: fasttrack\"]\r\n";

std::string findings(const std::string& script) {
  std::string out;
  for (const auto& f : ros7::check_script(script)) {
    out += std::to_string(f.line) + ":" + std::to_string(f.col) + " " + f.message + "\n";
  }
  return out;
}

TEST(Firewall7, Scripts) {
  const Case cases[] = {
      // Ping: chain=input, before the default accept of ICMP.
      {"ping LAN, defaults",
       "block-ping",
       "block-lan-7x",
       {},
       {},
       "/ip firewall filter add chain=input src-address=192.168.0.0/24 protocol=icmp icmp-options=8:0 action=drop "
       "comment=\"192.168.0.0 prohibited from the Ping\"" +
           kBeforeIcmp},
      {"ping LAN, quoted network and comment",
       "block-ping",
       "block-lan-7x",
       {{"编辑框_禁内网拼网段", "10.0.0.0 \"x"}, {"编辑框_禁内子网掩码", "255.0.0.0"}},
       {},
       "/ip firewall filter add chain=input src-address=\"10.0.0.0 \\\"x/8\" protocol=icmp icmp-options=8:0 "
       "action=drop comment=\"10.0.0.0 \\\"x prohibited from the Ping\"" +
           kBeforeIcmp},
      {"ping outside, defaults",
       "block-ping",
       "block-outside-7x",
       {},
       {},
       "/ip firewall filter add chain=input src-address=!192.168.0.0/24 protocol=icmp icmp-options=8:0 action=drop "
       "comment=\"Prohibition of the net from outside the  Ping\"" +
           kBeforeIcmp},
      {"ping outside, odd text quoted with its !",
       "block-ping",
       "block-outside-7x",
       {{"编辑框_禁止外网拼网段", "a b"}, {"编辑框_禁止外网拼子网掩码", "255.0.255.0"}},
       {},
       "/ip firewall filter add chain=input src-address=\"!a b/255.0.255.0\" protocol=icmp icmp-options=8:0 "
       "action=drop comment=\"Prohibition of the net from outside the  Ping\"" +
           kBeforeIcmp},
      // ARP.
      {"arp bind replaces the address's binding, on an interface that is there",
       "arp-binding",
       "bind-7x",
       {{"编辑框_ARP_MAC", " "}, {"编辑框_ARP_网卡", "lan bridge"}},
       {},
       ":if ([:len [/interface find name=\"lan bridge\"]] = 0) do={:put \"没有接口lan bridge，未绑定\"} "
       "else={/ip arp remove [find address=192.168.0.1 dynamic=no]; "
       "/ip arp add address=192.168.0.1 mac-address=\"\" interface=\"lan bridge\"}"},
      {"arp bind connected",
       "arp-binding",
       "bind-connected-7x",
       {},
       {},
       ":foreach ketrova5 in=[/ip arp find dynamic=yes] do={/ip arp add copy-from=$ketrova5}"},
      {"arp delete the bindings", "arp-binding", "delete-all-7x", {}, {}, "/ip arp remove [find dynamic=no]"},
      {"arp reply-only on a bridge: set in its own menu",
       "arp-binding",
       "reply-only-7x",
       {{"编辑框_ARP_设置网卡", " bridge "}},
       {},
       arp_mode("bridge", "reply-only")},
      {"arp enabled, quoted name",
       "arp-binding",
       "unbind-7x",
       {{"编辑框_ARP_设置网卡", "a;b"}},
       {},
       arp_mode("\"a;b\"", "enabled")},
      // Applications: by name, not by the old addresses.
      {"unfinished preset",
       "app-block",
       "pplive-7x",
       {},
       {},
       "#最功能暂时未完善\r\n"
       "# 此软件没有可查证的服务器域名，本脚本不封锁任何东西。知道其域名时，可在局域网DNS经路由器的前提下这样封锁：\r\n"
       "# /ip dns static add name=域名 type=NXDOMAIN"},
      // Port mapping: limited to the router's addresses, with hairpin NAT.
      {"fixed mapping, defaults",
       "port-mapping",
       "fixed-7x",
       {},
       {},
       "/ip firewall nat remove [find chain=dstnat dst-address=203.0.113.2 protocol=tcp dst-port=80 action=dst-nat]\r\n"
       "/ip firewall nat add chain=dstnat dst-address=203.0.113.2 protocol=tcp dst-port=80 action=dst-nat "
       "to-addresses=192.168.0.1 to-ports=80 comment=\"WEB SERVER\"\r\n"
       "/ip firewall nat add chain=srcnat src-address=192.168.0.0/24 dst-address=192.168.0.1 protocol=tcp "
       "dst-port=80 action=masquerade comment=\"WEB SERVER hairpin\""},
      {"fixed mapping, a port range and a comment that needs escapes",
       "port-mapping",
       "fixed-7x",
       {{"编辑框_映射_固定外网端口", "21-80"}, {"编辑框_映射_固定备注", "say \"hi\" $x \\"}},
       {},
       "/ip firewall nat remove [find chain=dstnat dst-address=203.0.113.2 protocol=tcp dst-port=21-80 "
       "action=dst-nat]\r\n"
       "/ip firewall nat add chain=dstnat dst-address=203.0.113.2 protocol=tcp dst-port=21-80 action=dst-nat "
       "to-addresses=192.168.0.1 to-ports=80 comment=\"say \\\"hi\\\" \\$x \\\\\"\r\n"
       "/ip firewall nat add chain=srcnat src-address=192.168.0.0/24 dst-address=192.168.0.1 protocol=tcp "
       "dst-port=80 action=masquerade comment=\"say \\\"hi\\\" \\$x \\\\ hairpin\""},
      {"fixed mapping, no public address: said, not written",
       "port-mapping",
       "fixed-7x",
       {{"编辑框_映射_固定外网IP", " "}},
       {},
       "# 外网IP为空：映射只能取发往路由器外网地址的连接，未生成规则"},
      {"pppoe mapping, defaults: only the router's addresses but the gateway",
       "port-mapping",
       "pppoe-7x",
       {},
       {},
       "/ip firewall nat remove [find chain=dstnat dst-address-type=local protocol=tcp dst-port=80 action=dst-nat]\r\n"
       "/ip firewall nat add chain=dstnat dst-address-type=local dst-address=!192.168.0.254 protocol=tcp "
       "dst-port=80 action=dst-nat to-addresses=192.168.0.253 to-ports=80 comment=\"WEB SERVER\"\r\n"
       "/ip firewall nat add chain=srcnat src-address=192.168.0.0/24 dst-address=192.168.0.253 protocol=tcp "
       "dst-port=80 action=masquerade comment=\"WEB SERVER hairpin\""},
      {"pppoe mapping, empty gateway and port keep their place",
       "port-mapping",
       "pppoe-7x",
       {{"编辑框_映射_PPOE_内网子网掩码", "255.255.240.0"},
        {"编辑框_映射_PPOE_内网网关", ""},
        {"编辑框_映射_PPOE_内网端口", " "},
        {"编辑框_映射_PPOE_备注", "web"}},
       {},
       "/ip firewall nat remove [find chain=dstnat dst-address-type=local protocol=tcp dst-port=80 action=dst-nat]\r\n"
       "/ip firewall nat add chain=dstnat dst-address-type=local dst-address=\"!\" protocol=tcp dst-port=80 "
       "action=dst-nat to-addresses=192.168.0.253 to-ports=\"\" comment=web\r\n"
       "/ip firewall nat add chain=srcnat src-address=192.168.0.0/20 dst-address=192.168.0.253 protocol=tcp "
       "dst-port=\"\" action=masquerade comment=\"web hairpin\""},
      // Ports and addresses: chain=forward, before the default fasttrack rule.
      {"port, defaults",
       "block-ports-ips",
       "port-7x",
       {},
       {},
       "/ip firewall filter add chain=forward protocol=tcp dst-port=21 action=drop comment=\"Blockade FTP\"" +
           kBeforeFasttrack},
      {"port list, empty comment",
       "block-ports-ips",
       "port-7x",
       {{"编辑框_封锁_端口号", "21,80,110"}, {"编辑框_封锁_备注", ""}},
       {},
       "/ip firewall filter add chain=forward protocol=tcp dst-port=21,80,110 action=drop comment=\"\"" +
           kBeforeFasttrack},
      {"address, netmask typed",
       "block-ports-ips",
       "address-7x",
       {{"编辑框_封锁IP_子网", "255.255.255.0"}, {"编辑框_封锁IP_备注", "net"}},
       {},
       "/ip firewall filter add chain=forward dst-address=198.51.100.10/24 action=drop comment=net" + kBeforeFasttrack},
      {"list entry, defaults: one address as the list keeps it, and the rule that uses the list",
       "block-ports-ips",
       "list-7x",
       {},
       {},
       list_entry(" list=ketrova5lmList address=198.51.100.20", " comment=\"Blockade www.example.net\"") + "\r\n" +
           list_drop("ketrova5lmList")},
      {"list entry, a list name with a blank and a network",
       "block-ports-ips",
       "list-7x",
       {{"编辑框_另类封ip_IP列表名称", "bad sites"}, {"编辑框_另类封ip_子网", "24"}, {"编辑框_另类封ip_备注", ""}},
       {},
       list_entry(" list=\"bad sites\" address=198.51.100.20/24", " comment=\"\"") + "\r\n" +
           list_drop("\"bad sites\"")},
      {"batch, own list name; rows trimmed, empty ones skipped",
       "block-ports-ips",
       "batch-7x",
       {{"编辑框_另类封ip列表", "192.168.1.4\n\n 10.0.0.0/8 \nx;y\n"}, {"编辑框_另类封ip_IP列表定议名称", "mine"}},
       {"选择框_另类封ip_是否"},
       crlf({list_entry(" list=mine address=192.168.1.4"), list_entry(" list=mine address=10.0.0.0/8"),
             list_entry(" list=mine address=\"x;y\""), list_drop("mine")},
            true)},
      {"batch, empty box", "block-ports-ips", "batch-7x", {{"编辑框_另类封ip列表", " \n "}}, {}, ""},
      {"batch, no list name: said, not written",
       "block-ports-ips",
       "batch-7x",
       {{"编辑框_另类封ip列表", "1.2.3.4"}, {"编辑框_另类封ip_IP列表定议名称", " "}},
       {"选择框_另类封ip_是否"},
       "# IP列表名称为空：RouterOS 7 的地址列表必须有名称，未生成规则\r\n"},
      // Keywords: before the fasttrack rule, which is switched off.
      {"keyword, defaults; the host name in lower case",
       "block-keywords",
       "gen-7x",
       {},
       {},
       kFasttrackOff + "/ip firewall filter add chain=forward content=POCO action=drop comment=\"Blockade POCO\"" +
           kBeforeFasttrack +
           "\r\n/ip firewall filter add chain=forward protocol=tcp tls-host=\"*poco*\" action=drop "
           "comment=\"Blockade POCO\"" +
           kBeforeFasttrack},
      {"keyword, one host, a quote in the keyword",
       "block-keywords",
       "gen-7x",
       {{"编辑框_tcp_IP地址", "10.0.0.1"},
        {"编辑框_tcp_tcp子网", "255.255.255.255"},
        {"编辑框_tcp_关键字域名", "a\"B"}},
       {"选择框_tcp_选择"},
       kFasttrackOff +
           "/ip firewall filter add chain=forward src-address=10.0.0.1/32 content=\"a\\\"B\" action=drop "
           "comment=\"Blockade POCO\"" +
           kBeforeFasttrack +
           "\r\n/ip firewall filter add chain=forward src-address=10.0.0.1/32 protocol=tcp tls-host=\"*a\\\"b*\" "
           "action=drop comment=\"Blockade POCO\"" +
           kBeforeFasttrack},
      {"keyword, empty: no host rule that would match every https connection",
       "block-keywords",
       "gen-7x",
       {{"编辑框_tcp_关键字域名", ""}, {"编辑框_tcp_备注", ""}},
       {},
       kFasttrackOff + "/ip firewall filter add chain=forward content=\"\" action=drop comment=\"\"" +
           kBeforeFasttrack},
  };
  for (const Case& c : cases) {
    Session s(c.slug);
    s.set_output("announcement");
    EXPECT_EQ(s.press(c.button, c.values, c.check), Outcome::Done) << c.name;
    EXPECT_EQ(s.output(), c.expected) << c.name;
    EXPECT_EQ(findings(s.output()), "") << c.name;
    EXPECT_TRUE(s.env.messages.empty()) << c.name;
  }
}

// The 3.x batch resets the list name when its box is unchecked; so does the 7.x one.
TEST(Firewall7, BatchUncheckedRestoresTheListName) {
  Session s("block-ports-ips");
  ASSERT_EQ(s.press("batch-7x", {{"编辑框_另类封ip列表", "1.2.3.4"}, {"编辑框_另类封ip_IP列表定议名称", "other"}}, {},
                    {"选择框_另类封ip_是否"}),
            Outcome::Done);
  EXPECT_EQ(s.output(),
            list_entry(" list=ketrova5lmList address=1.2.3.4") + "\r\n" + list_drop("ketrova5lmList") + "\r\n");
  EXPECT_EQ(to_utf8(s.form->text("编辑框_另类封ip_IP列表定议名称")), "ketrova5lmList");
}

// The server addresses of the data file are long gone: the 7.x presets say so first, use none
// of them, and block names instead, with the LAN's DNS queries sent to the router.
TEST(Firewall7, PresetsBlockNamesNotTheOldAddresses) {
  struct Preset {
    const char* id;
    const char* list;
    std::vector<std::string> names;
  } presets[] = {{"xunlei", "BlockadeXunlei", {"hub5idx.shub.sandai.net", "hub5pr.sandai.net"}},
                 {"xuanfeng",
                  "BlockadeQqXuanFeng",
                  {"cloudplayer.xf.qq.com", "xflx.store.cd.qq.com", "fs-hello.qq.com", "fs-conn.qq.com"}}};
  for (const Preset& p : presets) {
    Session s("app-block");
    ASSERT_EQ(s.press(std::string(p.id) + "-7x"), Outcome::Done);
    const std::string out = s.output();
    EXPECT_TRUE(out.starts_with("# 按2009年的服务器IP列表封锁在今天已无效")) << out;
    std::ifstream in(std::string(ROSGEN_DATA_DIR) + "/app-block-servers.txt");
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream words(line);
      std::string preset, tag, address;
      if (words >> preset >> tag >> address && preset == p.id) {
        EXPECT_EQ(out.find(address), std::string::npos) << address;
      }
    }
    std::string expected;
    for (const std::string& name : p.names) {
      expected += guarded("/ip dns static find name=" + name,
                          "/ip dns static add name=" + name + " type=NXDOMAIN comment=" + p.list) +
                  "\r\n";
    }
    for (const char* protocol : {"udp", "tcp"}) {
      const std::string match =
          " chain=dstnat in-interface-list=LAN protocol=" + std::string(protocol) + " dst-port=53 action=redirect";
      expected += guarded("/ip firewall nat find" + match,
                          "/ip firewall nat add" + match + " to-ports=53 comment=\"LAN DNS to router\"") +
                  "\r\n";
    }
    expected += "/ip dns cache flush";
    EXPECT_TRUE(out.ends_with(expected)) << out;
    EXPECT_EQ(findings(out), "") << p.id;
  }
}

// One command of a script: its menu, its verb, the item it names, its arguments as written,
// and whether it stands inside an :if guard.
struct Command {
  std::string path, verb, target;
  std::map<std::string, std::string> args;
  bool guarded = false;
  std::string arg(const std::string& name) const { return args.contains(name) ? args.at(name) : std::string(); }
};

// Words split at blanks outside quotes and brackets.
std::vector<std::string> words_of(const std::string& text) {
  std::vector<std::string> out(1);
  int depth = 0;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (quoted && ch == '\\' && i + 1 < text.size()) {
      out.back() += text.substr(i++, 2);
      continue;
    }
    if (ch == '"') quoted = !quoted;
    if (!quoted && ch == '[') ++depth;
    if (!quoted && ch == ']') --depth;
    if (ch == ' ' && !quoted && depth == 0) {
      if (!out.back().empty()) out.emplace_back();
      continue;
    }
    out.back() += ch;
  }
  if (out.back().empty()) out.pop_back();
  return out;
}

std::vector<Command> commands_of(const std::string& script) {
  std::vector<Command> out;
  std::istringstream lines(script);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    Command c;
    if (line.starts_with(":if ")) {
      const size_t body = line.find(" do={");
      line = line.substr(body + 5, line.size() - body - 6);
      c.guarded = true;
    }
    if (!line.starts_with("/")) continue;
    for (const std::string& w : words_of(line)) {
      const size_t eq = w.find('=');
      if (w.starts_with("[")) {
        c.target = w;
      } else if (eq != std::string::npos) {
        c.args[w.substr(0, eq)] = w.substr(eq + 1);
      } else if (c.verb.empty() && (w == "add" || w == "set" || w == "remove" || w == "disable")) {
        c.verb = w;
      } else if (c.verb.empty()) {
        c.path += (c.path.empty() ? "" : " ") + w;
      }
    }
    out.push_back(c);
  }
  return out;
}

bool has(const std::vector<Command>& all, const std::function<bool(const Command&)>& pred) {
  return std::ranges::any_of(all, pred);
}

// What every firewall script must do on a router with the default configuration, whatever the
// form holds: each check names a fault these pages once had.
void expect_sound_firewall(const std::string& script, const std::string& trace) {
  SCOPED_TRACE(trace + "\n" + script);
  // Applied to the default configuration: no run-time error, no rule of meaning raised.
  for (const ros7::Finding& f : ros7::check_meaning(script, ros7::Base::Defconf)) {
    ADD_FAILURE() << f.line << ":" << f.col << " " << f.message << " [" << f.rule << "]";
  }
  const std::vector<Command> all = commands_of(script);
  bool fasttrack_off = false;
  for (const Command& c : all) {
    if (c.path == "/ip firewall filter" && c.verb == "disable" && c.target == "[find comment=\"defconf: fasttrack\"]") {
      fasttrack_off = true;
    }
    if (c.path == "/ip firewall filter" && c.verb == "add") {
      // The router's own traffic is not the LAN's, and a rule after the default ones never
      // sees the packets they accept.
      EXPECT_NE(c.arg("chain"), "output");
      EXPECT_EQ(" place-before=" + c.arg("place-before"), c.arg("chain") == "input" ? kBeforeIcmp : kBeforeFasttrack);
      // Fasttracked packets skip payload matchers.
      if (c.args.contains("content") || c.args.contains("tls-host")) {
        EXPECT_TRUE(fasttrack_off);
      }
      if (c.args.contains("dst-address-list")) {
        EXPECT_TRUE(c.guarded);
      }
    }
    if (c.path == "/ip firewall address-list" && c.verb == "add") {
      EXPECT_TRUE(c.guarded);
      // A list no rule uses blocks nothing.
      EXPECT_TRUE(has(all, [&](const Command& r) {
        return r.path == "/ip firewall filter" && r.verb == "add" && r.arg("dst-address-list") == c.arg("list");
      }));
    }
    if (c.path == "/ip firewall nat" && c.verb == "add" && c.arg("action") == "dst-nat") {
      // Only traffic for the router: not the web traffic of VPN and PPPoE clients.
      const std::string dst = c.arg("dst-address");
      EXPECT_TRUE(c.arg("dst-address-type") == "local" || (!dst.empty() && dst[0] != '!' && !dst.starts_with("\"!")));
      // LAN hosts reach the server by the public address too.
      EXPECT_TRUE(has(all, [&](const Command& r) {
        return r.path == "/ip firewall nat" && r.arg("action") == "masquerade" && !r.arg("src-address").empty() &&
               r.arg("dst-address") == c.arg("to-addresses") && r.arg("dst-port") == c.arg("to-ports");
      }));
    }
    // An interface setting goes where the interface is found: a name alone fails in every
    // menu but the interface's own.
    if (c.path.starts_with("/interface ") && c.verb == "set") {
      EXPECT_TRUE(c.target.starts_with("[find name=") || c.target.starts_with("[/interface bridge port get "));
    }
  }
}

TEST(Firewall7, EveryScriptTakesEffectOnTheDefaultConfiguration) {
  const char* pages[] = {"block-ping", "arp-binding", "app-block", "port-mapping", "block-ports-ips", "block-keywords"};
  const char* hostile[] = {"",     " ",          "a b",         "x\"y", "$v", "!z",
                           "中文", "10.0.0.0/8", "255.255.0.0", "1-2",  "\\", "1.2.3.4\n5.6.7.8"};
  std::mt19937 rng(17);
  for (const char* slug : pages) {
    std::vector<std::string> buttons, fields, boxes;
    walk(find_page(slug)->items, [&](const Item& item, const std::string&) {
      if (const auto* b = std::get_if<Button>(&item.v); b && b->id.ends_with("-7x")) buttons.push_back(b->id);
      if (const auto* f = std::get_if<Field>(&item.v)) {
        if (f->kind == FieldKind::Check) boxes.push_back(f->id);
        if (f->kind == FieldKind::Edit || f->kind == FieldKind::Multiline) fields.push_back(f->id);
      }
    });
    for (const std::string& button : buttons) {
      for (int form = 0; form < 12; ++form) {
        Values values;
        std::vector<std::string> check;
        for (const std::string& f : fields) {
          if (form > 0 && rng() % 2) values.emplace_back(f, hostile[rng() % std::size(hostile)]);
        }
        for (const std::string& f : boxes) {
          if (rng() % 2) check.push_back(f);
        }
        Session s(slug);
        ASSERT_EQ(s.press(button, values, check), Outcome::Done);
        expect_sound_firewall(s.output(), std::string(slug) + " " + button + " form " + std::to_string(form));
        if (HasFailure()) return;
      }
    }
  }
}

}  // namespace
}  // namespace rosgen::test
