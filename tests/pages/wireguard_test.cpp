// Tab 26: the WireGuard page. What it refuses, and that the router's script and every
// client's file describe the same tunnel: addresses and preshared keys agree, and each
// client's traffic goes where the page says. The key pairs themselves are held against
// `wg pubkey` by the command line's and the web edition's tests.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>

#include "routeros/model.h"
#include "support.h"

namespace rosgen::test {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

// `key = value` of a client file's line, or what `key=value` or `key="value"` holds in a script line.
std::string value_of(const std::string& text, const std::string& key) {
  std::smatch m;
  if (std::regex_search(text, m, std::regex("(^|\n)" + key + " = ([^\n]*)"))) return m[2];
  if (std::regex_search(text, m, std::regex(" " + key + "=\"?([^\" \r\n]*)"))) return m[1];
  return {};
}

struct Pressed {
  Outcome outcome;
  std::string script;
  std::vector<OutputFile> files;
  std::vector<Shown> messages;
  std::uint32_t pairs_made;
};

Pressed press(const std::vector<Cells>& rows, const Values& values = {}, const std::vector<std::string>& check = {}) {
  Session s("wireguard");
  Press p;
  p.button = "gen-7x";
  p.rows = rows;
  for (const auto& [id, v] : values) p.values.emplace_back(id, to_gbk(v));
  p.check = check;
  const Outcome outcome = s.press(p);
  return {outcome, s.output(), s.form->files(), s.env.messages, s.env.pairs_made};
}

Cells row(std::string name, std::string address = "", std::string key = "") {
  return {to_gbk(name), to_gbk(address), to_gbk(key)};
}

TEST(WireGuard, RefusesWhatCannotMakeAWorkingTunnel) {
  const std::string theirs = "aK7vQ2+PZkRf3i5vJbC2p9TWRkV8k0pAq7dG1xXWv0Q=";
  struct Case {
    std::vector<Cells> rows;
    Values values;
    std::string message;  // its beginning
  } cases[] = {
      {{}, {}, "请先添加至少一个客户端"},
      {{row("phone")}, {{"interface", " "}}, "接口名称不能为空"},
      {{row("phone")}, {{"listen-port", "65536"}}, "监听端口应为1到65535"},
      {{row("phone")}, {{"listen-port", "１３２３１"}}, "监听端口应为1到65535"},
      {{row("phone")}, {{"address", "10.10.10"}}, "路由器隧道地址不是有效的IP地址"},
      {{row("phone")}, {{"prefix", "31"}}, "前缀长度应为8到30"},
      {{row("phone")}, {{"address", "10.10.10.255"}}, "路由器隧道地址不能是网段地址或广播地址"},
      {{row("phone")}, {{"endpoint", ""}}, "请填写路由器的公网地址或域名"},
      {{row("phone")}, {{"dns", "10.10.10.1, dns.example"}}, "客户端DNS不是有效的IP地址:dns.example"},
      {{row("phone")}, {{"keepalive", "-1"}}, "保持连接应为0到65535"},
      {{row("my phone")}, {}, "客户端名称“my phone”只能由"},
      {{row("../etc/x")}, {}, "客户端名称“../etc/x”只能由"},
      {{row("phone-of-a-long-name")}, {}, "客户端名称“phone-of-a-long-name”只能由"},
      {{row("phone"), row("Phone")}, {}, "客户端名称“Phone”重复"},
      {{row("phone", "10.10.11.2")}, {}, "客户端“phone”的隧道地址10.10.11.2无效"},
      {{row("phone", "10.10.10.0")}, {}, "客户端“phone”的隧道地址10.10.10.0无效"},
      {{row("phone", "10.10.10.1")}, {}, "客户端“phone”的隧道地址10.10.10.1已被"},
      {{row("phone", "10.10.10.5"), row("pad", "10.10.10.5")}, {}, "客户端“pad”的隧道地址10.10.10.5已被"},
      {{row("phone", "", theirs.substr(0, 43))}, {}, "客户端“phone”的公钥无效"},
      {{row("phone", "", theirs.substr(0, 42) + "B=")}, {}, "客户端“phone”的公钥无效"},  // bits past the key
      {{row("a"), row("b"), row("c")}, {{"prefix", "30"}}, "隧道网段10.10.10.0/30中没有足够的空闲地址"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    Session s("wireguard");
    s.set_output("before");
    // Straight into the list: the add button refuses a name twice, "modify" does not.
    for (const Cells& r : c.rows) s.form->add_row("超级列表框_WG_客户端", r);
    Press p;
    p.button = "gen-7x";
    for (const auto& [id, v] : c.values) p.values.emplace_back(id, to_gbk(v));
    EXPECT_EQ(s.press(p), Outcome::Refused);
    ASSERT_EQ(s.env.messages.size(), 1u);
    EXPECT_TRUE(s.env.messages[0].text.starts_with(c.message)) << s.env.messages[0].text;
    EXPECT_EQ(s.output(), "before");
    EXPECT_TRUE(s.form->files().empty());
    EXPECT_EQ(s.env.pairs_made, 0u) << "keys made before the form was checked";
  }
  Session keyless("wireguard");
  keyless.env.keyless = true;
  Press p;
  p.button = "gen-7x";
  p.rows = {row("phone")};
  EXPECT_EQ(keyless.press(p), Outcome::Refused);
  EXPECT_EQ(keyless.output(), "");
}

// Every client's file against the router's script, over the page's choices.
TEST(WireGuard, ScriptAndFilesDescribeOneTunnel) {
  const std::string own_public = "aK7vQ2+PZkRf3i5vJbC2p9TWRkV8k0pAq7dG1xXWv0Q=";
  struct Case {
    const char* what;
    std::vector<Cells> rows;
    Values values;
    std::vector<std::string> check;
    std::map<std::string, std::string> addresses;  // client -> its tunnel address
    std::string allowed;                           // every client's AllowedIPs
    std::string dns;
    std::string endpoint;
    std::string keepalive;  // empty: no line
    bool nat;               // the tunnel's network masqueraded by the router
  } cases[] = {
      {"defaults: all traffic through the tunnel, DNS from the router, addresses from the bottom up",
       {row("phone"), row("laptop")},
       {},
       {},
       {{"phone", "10.10.10.2"}, {"laptop", "10.10.10.3"}},
       "0.0.0.0/0",
       "10.10.10.1",
       "203.0.113.10:13231",
       "25",
       true},
      {"LAN only: the tunnel's network and the LAN's, host bits cleared; typed addresses are skipped",
       {row("pad"), row("branch", "172.16.5.2"), row("tv")},
       {{"address", "172.16.5.1"},
        {"prefix", "29"},
        {"lan-networks", "192.168.1.1/24,10.0.0.0/8"},
        {"dns", "114.114.114.114 223.5.5.5"},
        {"keepalive", "0"},
        {"listen-port", "51820"},
        {"endpoint", "vpn.example.net"}},
       {"lan-only"},
       {{"pad", "172.16.5.3"}, {"branch", "172.16.5.2"}, {"tv", "172.16.5.4"}},
       "172.16.5.0/29, 192.168.1.0/24, 10.0.0.0/8",
       "114.114.114.114, 223.5.5.5",
       "vpn.example.net:51820",
       "",
       false},
      {"an IPv6 endpoint in brackets",
       {row("phone")},
       {{"endpoint", "2001:db8::1"}},
       {},
       {{"phone", "10.10.10.2"}},
       "0.0.0.0/0",
       "10.10.10.1",
       "[2001:db8::1]:13231",
       "25",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Pressed r = press(c.rows, c.values, c.check);
    ASSERT_EQ(r.outcome, Outcome::Done) << (r.messages.empty() ? "" : r.messages[0].text);
    EXPECT_TRUE(ros7::check(r.script, ros7::Base::Defconf).empty()) << r.script;
    const std::string router_secret = value_of(r.script, "private-key");
    const std::string router_public = value_of(r.files.at(0).text, "PublicKey");
    ASSERT_EQ(r.files.size(), c.rows.size());
    std::map<std::string, std::string> peer_lines;  // comment -> its line
    std::istringstream lines(r.script);
    for (std::string line; std::getline(lines, line);) {
      if (line.starts_with("/interface wireguard peers add")) peer_lines[value_of(line, "comment")] = line;
    }
    for (const OutputFile& f : r.files) {
      const std::string name = f.name.substr(0, f.name.size() - 5);
      SCOPED_TRACE(f.name);
      EXPECT_TRUE(f.name.ends_with(".conf") && f.secret && f.qr);
      const std::string& peer = peer_lines[name];
      ASSERT_FALSE(peer.empty()) << r.script;
      const std::string secret = value_of(f.text, "PrivateKey");
      for (const OutputFile& g : r.files) EXPECT_TRUE(g.name == f.name || value_of(g.text, "PrivateKey") != secret);
      EXPECT_NE(secret, router_secret);
      EXPECT_EQ(value_of(f.text, "PublicKey"), router_public);
      EXPECT_EQ(value_of(peer, "preshared-key"), value_of(f.text, "PresharedKey"));
      EXPECT_EQ(value_of(peer, "allowed-address"), c.addresses.at(name) + "/32");
      EXPECT_EQ(value_of(f.text, "Address"), c.addresses.at(name) + "/32");
      EXPECT_EQ(value_of(f.text, "AllowedIPs"), c.allowed);
      EXPECT_EQ(value_of(f.text, "DNS"), c.dns);
      EXPECT_EQ(value_of(f.text, "Endpoint"), c.endpoint);
      EXPECT_EQ(value_of(f.text, "PersistentKeepalive"), c.keepalive);
      EXPECT_EQ(f.text.find('\r'), std::string::npos);
    }
    EXPECT_EQ(r.script.find("/ip firewall nat add") != std::string::npos, c.nat);
  }

  // A client that made its own pair: the router takes its public key, no pair is made for it,
  // and its file leaves the private key to it.
  Pressed r = press({row("phone"), row("branch", "", own_public)});
  ASSERT_EQ(r.outcome, Outcome::Done);
  EXPECT_EQ(r.pairs_made, 2u);
  EXPECT_NE(r.script.find("public-key=\"" + own_public + "\""), std::string::npos);
  EXPECT_EQ(value_of(r.files[1].text, "PrivateKey"), "");
  EXPECT_NE(r.files[1].text.find("# PrivateKey = "), std::string::npos);
}

// A client added later means a new press run on the router that ran the last one: it must run
// cleanly, and leave one interface with the new keys, its clients, and each rule once.
TEST(WireGuard, ALaterPressReplacesTheEarlierOne) {
  const Pressed first = press({row("phone"), row("laptop")});
  const Pressed later = press({row("phone"), row("laptop"), row("tv")});
  ASSERT_EQ(first.outcome, Outcome::Done);
  ASSERT_EQ(later.outcome, Outcome::Done);
  std::string probe;
  const std::pair<std::string, int> counts[] = {
      {"/interface wireguard find name=wireguard1", 1},
      {"/interface wireguard find private-key=\"" + value_of(later.script, "private-key") + "\"", 1},
      {"/interface wireguard peers find interface=wireguard1", 3},
      {"/ip address find interface=wireguard1", 1},
      {"/interface list member find interface=wireguard1", 1},
      {"/ip firewall filter find comment=wireguard", 1},
      {"/ip firewall nat find comment=wireguard", 1},
  };
  for (const auto& [find, n] : counts) probe += count_probe(find, n);
  for (const ros7::Finding& f : ros7::check_meaning(first.script + later.script + probe, ros7::Base::Defconf)) {
    ADD_FAILURE() << f.line << ": [" << f.rule << "] " << f.message;
  }
}

}  // namespace
}  // namespace rosgen::test
