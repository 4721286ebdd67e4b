// Tab 26: a WireGuard server on the router for phones, laptops and branch routers
// (RouterOS 7 only): the router's script, and for every client its configuration
// file as wg-quick reads it, which the window and the web page also show as a QR code.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "pages/builders.h"
#include "pages/ros7.h"
#include "script/form.h"
#include "script/line_list.h"
#include "script/text.h"

namespace rosgen {
namespace {

constexpr const char* kInterface = "编辑框_WG_接口名称";
constexpr const char* kPort = "编辑框_WG_监听端口";
constexpr const char* kAddress = "编辑框_WG_隧道地址";
constexpr const char* kPrefix = "编辑框_WG_前缀长度";
constexpr const char* kEndpoint = "编辑框_WG_公网地址";
constexpr const char* kDns = "编辑框_WG_客户端DNS";
constexpr const char* kAllTraffic = "单选框_WG_全部流量";
constexpr const char* kLanOnly = "单选框_WG_仅局域网";
constexpr const char* kLanNetworks = "编辑框_WG_局域网网段";
constexpr const char* kKeepalive = "编辑框_WG_保持连接";
constexpr const char* kList = "超级列表框_WG_客户端";
constexpr const char* kPeerName = "编辑框_WG_客户端名称";
constexpr const char* kPeerAddress = "编辑框_WG_客户端地址";
constexpr const char* kPeerKey = "编辑框_WG_客户端公钥";

using Key = std::array<std::uint8_t, 32>;

// --- Keys as WireGuard writes them: base64 of 32 bytes ---

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64(const Key& key) {
  std::string out;
  for (std::size_t i = 0; i < key.size(); i += 3) {
    const std::uint32_t n = (std::uint32_t{key[i]} << 16) | (i + 1 < key.size() ? std::uint32_t{key[i + 1]} << 8 : 0) |
                            (i + 2 < key.size() ? key[i + 2] : 0);
    out += kBase64[(n >> 18) & 63];
    out += kBase64[(n >> 12) & 63];
    out += i + 1 < key.size() ? kBase64[(n >> 6) & 63] : '=';
    out += i + 2 < key.size() ? kBase64[n & 63] : '=';
  }
  return out;
}

// A key typed in: 43 base64 characters and "=", the way every WireGuard tool writes one.
std::optional<Key> key_from_base64(const std::string& text) {
  if (text.size() != 44 || text[43] != '=') return std::nullopt;
  std::uint32_t bits = 0;
  int held = 0;
  Key key{};
  std::size_t at = 0;
  for (std::size_t i = 0; i < 43; ++i) {
    const char* p = std::find(kBase64, kBase64 + 64, text[i]);
    if (p == kBase64 + 64) return std::nullopt;
    bits = (bits << 6) | static_cast<std::uint32_t>(p - kBase64);
    held += 6;
    if (held >= 8) {
      held -= 8;
      key[at++] = static_cast<std::uint8_t>(bits >> held);
    }
  }
  // The last character carries two bits that belong to no byte; they are zero in a real key.
  if ((bits & ((1u << held) - 1)) != 0) return std::nullopt;
  return key;
}

// The secret as `wg genkey` writes it (RFC 7748's clamping, which X25519 applies anyway):
// the public key stays the same.
Key clamped(Key secret) {
  secret[0] &= 248;
  secret[31] &= 127;
  secret[31] |= 64;
  return secret;
}

// --- Addresses ---

std::optional<std::uint32_t> ipv4(const std::string& s) {
  std::uint32_t value = 0;
  std::size_t i = 0;
  for (int octet = 0; octet < 4; ++octet) {
    if (octet > 0) {
      if (i >= s.size() || s[i] != '.') return std::nullopt;
      ++i;
    }
    int n = 0;
    int digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < 4) {
      n = n * 10 + (s[i++] - '0');
      ++digits;
    }
    if (digits == 0 || digits > 3 || n > 255 || (digits > 1 && s[i - static_cast<std::size_t>(digits)] == '0')) {
      return std::nullopt;
    }
    value = (value << 8) | static_cast<std::uint32_t>(n);
  }
  if (i != s.size()) return std::nullopt;
  return value;
}

std::string quad(std::uint32_t a) {
  return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 255) + "." + std::to_string((a >> 8) & 255) + "." +
         std::to_string(a & 255);
}

std::uint32_t mask_of(int prefix) { return prefix == 0 ? 0 : ~std::uint32_t{0} << (32 - prefix); }

// A whole number in [min, max] typed in ASCII digits.
std::optional<int> whole(const std::string& s, int min, int max) {
  if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  const int n = std::stoi(s);
  if (n < min || n > max) return std::nullopt;
  return n;
}

// "A.B.C.D" or "A.B.C.D/N" as its network "W.X.Y.Z/N" (host bits cleared); an address alone is one host.
std::optional<std::string> network_of(const std::string& s) {
  const std::size_t slash = s.find('/');
  const auto a = ipv4(s.substr(0, slash));
  if (!a) return std::nullopt;
  int prefix = 32;
  if (slash != std::string::npos) {
    const auto p = whole(s.substr(slash + 1), 0, 32);
    if (!p) return std::nullopt;
    prefix = *p;
  }
  return quad(*a & mask_of(prefix)) + "/" + std::to_string(prefix);
}

// The entries of a list typed with commas, blanks or line breaks between them.
std::vector<std::string> entries(const Gbk& text) {
  std::vector<std::string> out;
  std::string item;
  for (char ch : text.bytes() + ",") {
    if (ch == ',' || ch == ' ' || ch == '\r' || ch == '\n' || ch == '\t') {
      if (!item.empty()) out.push_back(item);
      item.clear();
    } else {
      item += ch;
    }
  }
  return out;
}

// wg-quick takes the interface's name from the file's: a client's name is its file's name.
bool file_name_ok(const std::string& name) {
  if (name.empty() || name.size() > 15) return false;
  return std::all_of(name.begin(), name.end(), [](char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
           std::string_view("_=+.-").find(ch) != std::string_view::npos;
  });
}

std::string lower(std::string s) {
  for (char& ch : s) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  return s;
}

struct Peer {
  std::string name;
  std::uint32_t address = 0;
  std::optional<Key> own_key;  // the peer made its pair itself
  KeyPair pair;                // made here otherwise
  Key psk{};
};

// What the form asks for, checked in the order the page reads; a message for the first fault.
struct Plan {
  Gbk interface;
  int port = 0;
  std::uint32_t router = 0;
  int prefix = 0;
  std::string endpoint;
  std::vector<std::string> dns;
  bool all_traffic = true;
  std::vector<std::string> lan_networks;
  int keepalive = 0;
  std::vector<Peer> peers;

  std::uint32_t network() const { return router & mask_of(prefix); }
  std::string tunnel() const { return quad(network()) + "/" + std::to_string(prefix); }
};

std::string utf8(const Ctx& c, const char* id) { return to_utf8(c.trimmed(id)); }

std::optional<Plan> read_plan(Ctx& c) {
  Plan p;
  const std::vector<Cells>& rows = c.form.rows(kList);
  auto refuse = [&c](const std::string& text) {
    c.refuse(text);
    return std::nullopt;
  };
  if (rows.empty()) return refuse("请先添加至少一个客户端(名称必填,隧道地址可留空)!");
  p.interface = c.trimmed(kInterface);
  if (p.interface.empty()) return refuse("接口名称不能为空!");
  const auto port = whole(utf8(c, kPort), 1, 65535);
  if (!port) return refuse("监听端口应为1到65535之间的整数!");
  p.port = *port;
  const auto router = ipv4(utf8(c, kAddress));
  if (!router) return refuse("路由器隧道地址不是有效的IP地址!");
  const auto prefix = whole(utf8(c, kPrefix), 8, 30);
  if (!prefix) return refuse("前缀长度应为8到30之间的整数!");
  p.router = *router;
  p.prefix = *prefix;
  const std::uint32_t host_bits = ~mask_of(p.prefix);
  if ((p.router & host_bits) == 0 || (p.router & host_bits) == host_bits) {
    return refuse("路由器隧道地址不能是网段地址或广播地址!");
  }
  p.endpoint = utf8(c, kEndpoint);
  if (p.endpoint.empty()) return refuse("请填写路由器的公网地址或域名(客户端连接到这里)!");
  if (p.endpoint.find_first_of(" \t\"'\r\n") != std::string::npos) {
    return refuse("路由器的公网地址或域名不能含有空格或引号!");
  }
  for (const std::string& d : entries(c.trimmed(kDns))) {
    if (!ipv4(d)) return refuse("客户端DNS不是有效的IP地址:" + d);
    p.dns.push_back(d);
  }
  if (p.dns.empty()) p.dns.push_back(quad(p.router));
  p.all_traffic = !c.checked(kLanOnly);
  if (!p.all_traffic) {
    for (const std::string& n : entries(c.trimmed(kLanNetworks))) {
      const auto network = network_of(n);
      if (!network) return refuse("局域网网段无效:" + n);
      p.lan_networks.push_back(*network);
    }
  }
  const auto keepalive = whole(utf8(c, kKeepalive), 0, 65535);
  if (!keepalive) return refuse("保持连接应为0到65535之间的秒数!");
  p.keepalive = *keepalive;

  std::set<std::string> names;
  std::set<std::uint32_t> taken{p.router};
  for (const Cells& row : rows) {
    Peer peer;
    peer.name = to_utf8(row.empty() ? Gbk() : trim(row[0]));
    if (!file_name_ok(peer.name)) {
      return refuse("客户端名称“" + peer.name + "”只能由字母、数字和_=+.-组成,最多15个字符(它也是配置文件的名字)!");
    }
    if (!names.insert(lower(peer.name)).second) return refuse("客户端名称“" + peer.name + "”重复!");
    const std::string address = to_utf8(row.size() > 1 ? trim(row[1]) : Gbk());
    if (!address.empty()) {
      const auto a = ipv4(address);
      if (!a || (*a & mask_of(p.prefix)) != p.network() || (*a & host_bits) == 0 || (*a & host_bits) == host_bits) {
        return refuse("客户端“" + peer.name + "”的隧道地址" + address + "无效:应是隧道网段" + p.tunnel() +
                      "中的一个主机地址!");
      }
      if (!taken.insert(*a).second) {
        return refuse("客户端“" + peer.name + "”的隧道地址" + address + "已被路由器或其它客户端使用!");
      }
      peer.address = *a;
    }
    const std::string key = to_utf8(row.size() > 2 ? trim(row[2]) : Gbk());
    if (!key.empty()) {
      peer.own_key = key_from_base64(key);
      if (!peer.own_key) return refuse("客户端“" + peer.name + "”的公钥无效(应是44个字符的WireGuard公钥)!");
    }
    p.peers.push_back(std::move(peer));
  }
  // Clients without an address take the free ones from the bottom of the network up.
  std::uint32_t next = p.network() + 1;
  const std::uint32_t broadcast = p.network() | host_bits;
  for (Peer& peer : p.peers) {
    if (peer.address != 0) continue;
    while (next < broadcast && taken.count(next)) ++next;
    if (next >= broadcast) return refuse("隧道网段" + p.tunnel() + "中没有足够的空闲地址!");
    peer.address = next;
    taken.insert(next);
  }
  return p;
}

// One client's file as wg-quick and the WireGuard apps read it.
std::string client_file(const Plan& p, const Peer& peer, const Key& router_public) {
  std::string s = "[Interface]\n";
  if (peer.own_key) {
    s += "# PrivateKey = the private key this client made together with its public key\n";
  } else {
    s += "PrivateKey = " + base64(clamped(peer.pair.secret)) + "\n";
  }
  s += "Address = " + quad(peer.address) + "/32\n";
  s += "DNS = ";
  for (std::size_t i = 0; i < p.dns.size(); ++i) s += (i ? ", " : "") + p.dns[i];
  s += "\n\n[Peer]\n";
  s += "PublicKey = " + base64(router_public) + "\n";
  s += "PresharedKey = " + base64(peer.psk) + "\n";
  s += "AllowedIPs = ";
  if (p.all_traffic) {
    s += "0.0.0.0/0";
  } else {
    // The router itself, its DNS among it, is reached through the tunnel's network.
    s += p.tunnel();
    for (const std::string& n : p.lan_networks) {
      if (n != p.tunnel()) s += ", " + n;
    }
  }
  s += "\n";
  // An IPv6 address goes in brackets, so its colons are not taken for the port's.
  const bool v6 = p.endpoint.find(':') != std::string::npos && p.endpoint.front() != '[';
  s += "Endpoint = " + (v6 ? "[" + p.endpoint + "]" : p.endpoint) + ":" + std::to_string(p.port) + "\n";
  if (p.keepalive > 0) s += "PersistentKeepalive = " + std::to_string(p.keepalive) + "\n";
  return s;
}

Gbk key7(const Key& key) { return word7(Gbk::from_bytes(base64(key))); }

// The router: the interface with its key, the tunnel's address, one peer per client limited to
// its own address, UDP to the port accepted before the default input drop, the interface in the
// LAN list (the default firewall then treats clients as the LAN: the router's DNS answers them,
// and their traffic is forwarded), and with all traffic through the tunnel, the tunnel's network
// masqueraded where it leaves by the WAN list.
Gbk router_script(const Plan& p, const KeyPair& router) {
  const Gbk wg = word7(p.interface);
  const Gbk port = number_text(p.port);
  const Gbk tunnel = Gbk::from_bytes(p.tunnel());
  Gbk s = "# WireGuard: new keys on every press; use this script together with the client files made with it\r\n"_a;
  // A new press (a client added, say) is run on the router that ran the last one: what that
  // script made for the interface goes first, so nothing stands twice and no old key stays.
  s += "/interface wireguard peers remove [find interface="_a + wg + "]\r\n"_a;
  s += "/ip address remove [find interface="_a + wg + "]\r\n"_a;
  s += "/interface list member remove [find interface="_a + wg + "]\r\n"_a;
  s += "/ip firewall filter remove [find chain=input protocol=udp dst-port="_a + port + " comment=wireguard]\r\n"_a;
  s += "/ip firewall nat remove [find chain=srcnat src-address="_a + tunnel + " comment=wireguard]\r\n"_a;
  s += "/interface wireguard remove [find name="_a + wg + "]\r\n"_a;
  s += "/interface wireguard add name="_a + wg + " listen-port="_a + port + " private-key="_a +
       key7(clamped(router.secret)) + "\r\n"_a;
  s += "/ip address add address="_a + Gbk::from_bytes(quad(p.router)) + "/"_a + number_text(p.prefix) +
       " interface="_a + wg + " comment=wireguard\r\n"_a;
  for (const Peer& peer : p.peers) {
    s += "/interface wireguard peers add interface="_a + wg + " public-key="_a +
         key7(peer.own_key ? *peer.own_key : peer.pair.public_key) + " preshared-key="_a + key7(peer.psk) +
         " allowed-address="_a + Gbk::from_bytes(quad(peer.address)) + "/32 comment="_a +
         word7(Gbk::from_bytes(peer.name)) + "\r\n"_a;
  }
  s += "/ip firewall filter add chain=input action=accept protocol=udp dst-port="_a + port + " comment=wireguard"_a +
       before_defconf7("defconf: drop all not coming from LAN") + "\r\n"_a;
  s += "/interface list member add list=LAN interface="_a + wg + " comment=wireguard\r\n"_a;
  if (p.all_traffic) {
    s += "/ip firewall nat add chain=srcnat src-address="_a + tunnel +
         " out-interface-list=WAN action=masquerade comment=wireguard\r\n"_a;
  }
  return s;
}

Outcome generate(Ctx& c) {
  std::optional<Plan> plan = read_plan(c);
  if (!plan) return Outcome::Refused;
  std::size_t wanted = 1;
  for (const Peer& peer : plan->peers) wanted += peer.own_key ? 0 : 1;
  std::vector<KeyPair> pairs = c.env.new_key_pairs(wanted);
  if (pairs.size() != wanted) return c.refuse("无法在本机生成WireGuard密钥,没有生成脚本。");
  const KeyPair router = pairs[0];
  std::size_t next = 1;
  for (Peer& peer : plan->peers) {
    if (!peer.own_key) peer.pair = pairs[next++];
    // The preshared key is 32 bytes from the secure random source.
    for (std::uint8_t& byte : peer.psk) byte = static_cast<std::uint8_t>(c.env.random_below(256));
  }
  std::vector<OutputFile> files;
  for (const Peer& peer : plan->peers) {
    files.push_back(OutputFile{peer.name + ".conf", client_file(*plan, peer, router.public_key), true, true});
  }
  c.write(router_script(*plan, router));
  c.form.set_files(std::move(files));
  return Outcome::Done;
}

// A key's 44 characters in view.
Field wide(Field f, int characters) {
  f.width = characters;
  return f;
}

}  // namespace

void build_wireguard(Page& page) {
  page.caption = "WireGuard VPN服务器及客户端配置(仅RouterOS 7)";
  page.ros7_only = true;
  LineList peers;
  peers.id = kList;
  peers.columns = {
      {"客户端名称", 110, kPeerName}, {"隧道地址", 110, kPeerAddress}, {"公钥(客户端自带时)", 330, kPeerKey}};
  peers.add_button = "add";
  peers.on_click = fill_fields_handler(kList);
  peers.lines = 4;
  page.items = {
      group("WireGuard服务器(路由器)",
            {
                row({
                    edit({kInterface, "interface"}, "接口名称:", v::iface("wireguard1")),
                    edit({kPort, "listen-port"}, "监听端口:", v::port("13231"), "(UDP)"),
                    edit({kAddress, "address"}, "隧道地址:", v::ipv4("10.10.10.1")),
                    edit({kPrefix, "prefix"}, "/", v::integer(8, 30, "24")),
                }),
                row({
                    edit({kEndpoint, "endpoint"}, "路由器公网地址或域名:", v::domain("203.0.113.10"),
                         "(客户端连接到这里)"),
                    edit({kKeepalive, "keepalive"}, "保持连接:", v::integer(0, 65535, "25"), "秒(0为不发送)"),
                }),
                row({
                    edit({kDns, "dns"}, "客户端DNS:", v::addresses(""), "(留空则用路由器的隧道地址)"),
                }),
                row({
                    radio({kAllTraffic, "all-traffic"}, "客户端全部流量走隧道", "wg-route", true),
                    radio({kLanOnly, "lan-only"}, "仅访问局域网:", "wg-route", false),
                    edit({kLanNetworks, "lan-networks"}, "", v::addresses("192.168.88.0/24"), "(多个用逗号隔开)"),
                }),
            }),
      group("客户端(每个客户端一个配置文件和二维码)",
            {
                peers,
                row({
                    edit({kPeerName, "peer-name"}, "客户端名称:", v::name("phone")),
                    edit({kPeerAddress, "peer-address"}, "隧道地址:", v::addresses(""), "(留空自动分配)"),
                }),
                row({
                    wide(edit({kPeerKey, "peer-public-key"}, "公钥:", v::text(""), "(客户端自己生成密钥时填写)"), 44),
                }),
                row({
                    button("delete", "", "删除客户端", delete_line_handler(kList)),
                    button("modify", "", "修改客户端", modify_line_handler(kList)),
                    button("add", "", "添加客户端",
                           add_line_handler(kList, "不能重复添加客户端！\r\n您可以使用修改功能进行修改！")),
                }),
            }),
      row({
          button7("gen-7x", "生成7.X系列脚本", generate),
          note("每次生成都使用新的密钥。各客户端的配置文件和二维码见“客户端文件”。"),
      }),
  };
}

}  // namespace rosgen
