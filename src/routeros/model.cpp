#include "routeros/model.h"

#include <algorithm>
#include <iterator>

#include "routeros/config.h"
#include "routeros/interpreter.h"
#include "routeros/rules.h"

namespace rosgen::ros7 {
namespace {

constexpr Severity E = Severity::Error;
constexpr Severity W = Severity::Warning;

constexpr Rule kRules[] = {
    {"no-such-item", E, "no such item", "没有这一项"},
    {"duplicate-name", E, "an item with this name is already there", "同名的项已经存在"},
    {"unknown-reference", E, "names something that is not there", "引用的对象不存在"},
    {"script-error", E, "the script stops here with :error", "脚本在此处以 :error 中止"},
    {"no-default-route", W,
     "no default route in the main routing table: the router's own traffic and every unmarked host lose the internet",
     "main 路由表中没有默认路由：路由器自身和所有未标记的主机都无法上网"},
    {"routing-mark-table", W, "a routing mark without its routing table, or with no route in it",
     "路由标记没有对应的路由表，或该表中没有路由"},
    {"no-failover", W,
     "default routes over several lines, this one without check-gateway, netwatch or a recursive gateway: a dead line "
     "keeps its share of connections",
     "多条线路的默认路由中，这一条没有 check-gateway、netwatch 或递归网关：线路断开后仍会分到连接"},
    {"fasttrack-bypass", W, "the fasttrack rule lets connections skip queues, mangle marks and content matchers",
     "fasttrack 规则会让连接绕过队列、mangle 标记和内容匹配"},
    {"unreachable-rule", W, "this rule can never match: an earlier rule of its chain already takes its packets",
     "这条规则永远不会匹配：同一链中前面的规则已经处理了它的数据包"},
    {"icmp-drop-output", W, "ICMP dropped in the output chain: the router's own pings and gateway checks fail",
     "在 output 链丢弃 ICMP：路由器自身的 ping 和网关检测都会失败"},
    {"output-drop", W, "a drop in the output chain stops only the router's own traffic, not the LAN's",
     "output 链中的丢弃只拦截路由器自身的流量，不拦截内网的流量"},
    {"dstnat-unlimited", W, "dst-nat not limited to traffic for the router: it also takes traffic passing through",
     "dst-nat 没有限定为发往路由器的流量：经过路由器的其他流量也会被转走"},
    {"no-hairpin", W, "no hairpin NAT: LAN hosts cannot reach the mapped server by the public address",
     "没有回流 NAT：内网主机无法通过公网地址访问映射的服务器"},
    {"srcnat-dynamic", W, "src-nat to the address of a PPPoE or DHCP interface, which changes: use masquerade",
     "src-nat 到 PPPoE 或 DHCP 接口的地址，该地址会变化：应使用 masquerade"},
    {"wan-no-nat", W, "traffic leaving by this uplink is not NATed", "从这条线路出去的流量没有做 NAT"},
    {"ppp-profile-reversed", W,
     "PPP profile with a pool as local-address and one IP as remote-address: every client gets the same address",
     "PPP 配置的本地地址是地址池、远程地址是单个 IP：所有客户端会得到同一个地址"},
    {"caller-id-mac", W,
     "a MAC as caller-id of a PPTP or L2TP account: for those the caller id is the client's IP, so the login always "
     "fails",
     "PPTP 或 L2TP 帐号的 caller-id 是 MAC 地址：这两种连接的 caller-id 是客户端的 IP，登录总会失败"},
    {"service-dropped", W, "the input firewall drops this server's traffic from the WAN",
     "输入防火墙会丢弃来自外网的这个服务的流量"},
    {"l2tp-no-ipsec", W, "L2TP server without IPsec: Windows clients refuse it by default",
     "L2TP 服务器没有启用 IPsec：Windows 客户端默认拒绝连接"},
    {"address-list-unused", W, "an address list that no rule uses: it blocks nothing",
     "地址列表没有被任何规则使用：不起作用"},
    {"queue-tree-same-mark", W, "two queue trees with the same parent and packet mark: only the first one shapes",
     "两个队列树的父级和数据包标记相同：只有第一个起作用"},
    {"pcq-after-nat", W,
     "a PCQ that tells hosts apart by source address on an uplink, after source NAT: every host looks like the WAN "
     "address",
     "在外网接口上按源地址区分主机的 PCQ 位于源地址转换之后：所有主机都显示为外网地址"},
    {"dns-update-no-server", W,
     "/tool dns-update without dns-server=: it updates a DNS server (RFC 2136), not a dynamic-DNS account",
     "/tool dns-update 没有 dns-server=：它只能更新 DNS 服务器（RFC 2136），不能更新动态域名帐号"},
    {"mss-raise", W,
     "change-mss to a fixed size on every SYN also raises a smaller MSS: add tcp-mss= or use clamp-to-pmtu",
     "对所有 SYN 设固定的 MSS 也会把较小的 MSS 调大：应加 tcp-mss= 或使用 clamp-to-pmtu"},
    {"uplink-on-bridge", W, "this uplink is still a bridge port", "这条外网线路仍是网桥的端口"},
    {"uplink-not-wan", W, "this uplink is not in the WAN interface list, so the default firewall does not guard it",
     "这条外网线路不在 WAN 接口列表中，默认防火墙不保护它"},
    {"reply-path", W, "connections that arrive on this uplink are not answered through it",
     "从这条线路进来的连接不会从这条线路回复"},
    {"vpn-default-route", W,
     "the VPN client's default route takes the place of the uplink's, and no route keeps the way to the VPN server",
     "VPN 客户端的默认路由取代了外网线路的默认路由，且没有保留到 VPN 服务器的路由"},
    {"address-on-bridge-port", W, "an IP address on a bridge port, where it never sees a packet",
     "IP 地址设在网桥的端口上，收不到任何数据包"},
};

const Rule* rule_of(std::string_view id) {
  for (const Rule& r : kRules) {
    if (id == r.id) return &r;
  }
  return nullptr;
}

Finding finding(int line, int col, std::string_view id, const std::string& detail, std::optional<Severity> severity) {
  const Rule* r = rule_of(id);
  Finding f;
  f.line = line;
  f.col = col;
  f.severity = severity.value_or(r ? r->severity : Severity::Warning);
  f.rule = std::string(id);
  f.message = r ? r->english : std::string(id);
  f.chinese = r ? r->chinese : std::string(id);
  if (!detail.empty()) {
    f.message += " (" + detail + ")";
    f.chinese += "（" + detail + "）";
  }
  return f;
}

}  // namespace

std::span<const Rule> rules() { return kRules; }

std::vector<Finding> check_meaning(std::string_view script, Base base) {
  model::Config config = base == Base::Defconf ? model::default_configuration() : model::empty_router();
  std::vector<Finding> out;
  for (const model::RunError& e : model::apply(config, script)) {
    out.push_back(finding(e.line, e.col, e.rule, e.detail, std::nullopt));
  }
  for (const model::Judgement& j : model::judge(config, base == Base::None)) {
    out.push_back(finding(j.line, j.col, j.rule, j.detail, j.error ? std::optional(Severity::Error) : std::nullopt));
  }
  std::stable_sort(out.begin(), out.end(), [](const Finding& a, const Finding& b) {
    return std::tie(a.line, a.col) < std::tie(b.line, b.col);
  });
  return out;
}

std::vector<Finding> check(std::string_view script, Base base) {
  std::vector<Finding> out = check_script(script);
  const bool broken =
      std::any_of(out.begin(), out.end(), [](const Finding& f) { return f.severity == Severity::Error; });
  if (broken) return out;
  std::vector<Finding> meaning = check_meaning(script, base);
  out.insert(out.end(), std::make_move_iterator(meaning.begin()), std::make_move_iterator(meaning.end()));
  std::stable_sort(out.begin(), out.end(), [](const Finding& a, const Finding& b) {
    return std::tie(a.line, a.col) < std::tie(b.line, b.col);
  });
  return out;
}

}  // namespace rosgen::ros7
