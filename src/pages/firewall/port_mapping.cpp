// Tab 18: a destination-NAT rule forwarding a router port to a LAN host, for a
// fixed public address or for a PPPoE line whose address changes.
#include "pages/builders.h"
#include "pages/firewall/firewall7.h"
#include "pages/ros7.h"
#include "script/form.h"

namespace rosgen {
namespace {

Outcome fixed(Ctx& c) {
  c.write("/ip firewall nat add chain=dstnat dst-address="_a + c.trimmed("编辑框_映射_固定外网IP") + " protocol="_a +
          c.trimmed("编辑框_映射_固定外网协议") + " dst-port="_a + c.trimmed("编辑框_映射_固定外网端口") +
          " action=dst-nat to-addresses="_a + c.trimmed("编辑框_映射_固定内网IP") + " to-ports="_a +
          c.trimmed("编辑框_映射_固定内网端口") + " comment=\""_a + c.trimmed("编辑框_映射_固定备注") + "\""_a);
  return Outcome::Done;
}

// The public address is unknown, so the rule takes every destination but the
// LAN gateway, from every source outside the LAN.
Outcome pppoe(Ctx& c) {
  c.write("/ip firewall nat add chain=dstnat src-address=!"_a + c.trimmed("编辑框_映射_PPOE_内网网段") + "/"_a +
          c.trimmed("编辑框_映射_PPOE_内网子网掩码") + " dst-address=!"_a + c.trimmed("编辑框_映射_PPOE_内网网关") +
          " protocol="_a + c.trimmed("编辑框_映射_PPOE_内网协议") + " dst-port="_a +
          c.trimmed("编辑框_映射_PPOE_外网端口") + " action=dst-nat to-addresses="_a +
          c.trimmed("编辑框_映射_PPOE_映射主机ip") + " to-ports="_a + c.trimmed("编辑框_映射_PPOE_内网端口") +
          " comment=\""_a + c.trimmed("编辑框_映射_PPOE_备注") + "\""_a);
  return Outcome::Done;
}

// --- RouterOS 7 ---
// The dst-nat takes only traffic for the router's public address, and a second rule masquerades
// LAN hosts that reach the mapped server by that address (hairpin NAT): without it the server
// answers them directly, from an address they did not call, and the connection fails.
// Each value is kept one word; a netmask becomes a prefix length.
struct Mapping7 {
  Gbk match;     // what selects the public side: " dst-address=..." and the like
  Gbk same;      // what finds an earlier mapping of the same public side, to be replaced
  Gbk protocol;  // as typed
  Gbk wan_port;
  Gbk host;
  Gbk lan_port;
  Gbk lan;  // the LAN network, A.B.C.D/N
  Gbk comment;
};

Gbk mapping7(const Mapping7& m) {
  const Gbk protocol = arg7("protocol", m.protocol);
  // One public port maps to one host: an earlier mapping of it goes.
  return "/ip firewall nat remove [find chain=dstnat"_a + m.same + protocol + arg7("dst-port", m.wan_port) +
         " action=dst-nat]\r\n/ip firewall nat add chain=dstnat"_a + m.match + protocol + arg7("dst-port", m.wan_port) +
         " action=dst-nat"_a + arg7("to-addresses", m.host) + arg7("to-ports", m.lan_port) +
         arg7("comment", m.comment) + "\r\n/ip firewall nat add chain=srcnat"_a + arg7("src-address", m.lan) +
         arg7("dst-address", m.host) + protocol + arg7("dst-port", m.lan_port) + " action=masquerade"_a +
         arg7("comment", m.comment + " hairpin"_a);
}

// The public address is fixed: the rule takes traffic for it from anywhere, the LAN included.
// Without it the rule would take the port of every host on the internet; the script says so.
Outcome fixed_7x(Ctx& c) {
  const Gbk wan_ip = c.trimmed("编辑框_映射_固定外网IP");
  if (wan_ip.empty()) {
    c.write(to_gbk("# 外网IP为空：映射只能取发往路由器外网地址的连接，未生成规则"));
    return Outcome::Done;
  }
  c.write(mapping7({arg7("dst-address", wan_ip), arg7("dst-address", wan_ip), c.trimmed("编辑框_映射_固定外网协议"),
                    c.trimmed("编辑框_映射_固定外网端口"), c.trimmed("编辑框_映射_固定内网IP"),
                    c.trimmed("编辑框_映射_固定内网端口"), c.trimmed("编辑框_映射_固定内网网段"),
                    c.trimmed("编辑框_映射_固定备注")}));
  return Outcome::Done;
}

// The PPPoE address changes, so the rule takes traffic for any address of the router's own
// (dst-address-type=local) but its LAN gateway, whose own services stay reachable. Traffic of
// LAN, VPN and PPPoE clients to other hosts passes untouched.
Outcome pppoe_7x(Ctx& c) {
  c.write(mapping7({" dst-address-type=local"_a + not_arg7("dst-address", c.trimmed("编辑框_映射_PPOE_内网网关")),
                    " dst-address-type=local"_a, c.trimmed("编辑框_映射_PPOE_内网协议"),
                    c.trimmed("编辑框_映射_PPOE_外网端口"), c.trimmed("编辑框_映射_PPOE_映射主机ip"),
                    c.trimmed("编辑框_映射_PPOE_内网端口"),
                    cidr7(c.trimmed("编辑框_映射_PPOE_内网网段"), c.trimmed("编辑框_映射_PPOE_内网子网掩码")),
                    c.trimmed("编辑框_映射_PPOE_备注")}));
  return Outcome::Done;
}

constexpr const char* kRangeNote = "注:本规则支持连续端口,如:21-80";

}  // namespace

void build_port_mapping(Page& page) {
  page.caption = "端口映射脚本生成";
  page.items = {
      row({
          group("固定IP端口映射脚本生成",
                {
                    edit({"编辑框_映射_固定外网IP", "wan-ip"}, "外网IP:", v::ipv4("203.0.113.2")),
                    edit({"编辑框_映射_固定外网端口", "wan-port"}, "外网端口:", v::ports("80")),
                    below(edit({"编辑框_映射_固定外网协议", "protocol"}, "使用协议:", v::name("tcp"), kRangeNote)),
                    edit({"编辑框_映射_固定内网IP", "lan-ip"}, "内网IP:", v::ipv4("192.168.0.1")),
                    edit({"编辑框_映射_固定内网端口", "lan-port"}, "内网端口:", v::ports("80")),
                    edit({"编辑框_映射_固定内网网段", "lan-network"}, "内网网段:", v::address("192.168.0.0/24"),
                         "(7.X回流用)"),
                    edit({"编辑框_映射_固定备注", "comment"}, "备注:", v::text("WEB SERVER"), "(不支持中文)"),
                    row({
                        button("fixed-2x", "", "生成2.9.X系列脚本", fixed),
                        button("fixed-3x", "", "生成3.X系列脚本", fixed),
                        button7("fixed-7x", "生成7.X系列脚本", fixed_7x),
                    }),
                }),
          group(
              "PPPoE动态IP映口映射",
              {
                  row({
                      edit({"编辑框_映射_PPOE_内网网段", "pppoe-lan-network"}, "内网网段:", v::ipv4("192.168.0.0")),
                      edit({"编辑框_映射_PPOE_内网子网掩码", "pppoe-lan-mask"}, "/", v::netmask("255.255.255.0")),
                  }),
                  edit({"编辑框_映射_PPOE_外网端口", "pppoe-wan-port"}, "外网端口:", v::ports("80")),
                  below(edit({"编辑框_映射_PPOE_内网协议", "pppoe-protocol"}, "使用协议:", v::name("tcp"), kRangeNote)),
                  edit({"编辑框_映射_PPOE_内网网关", "pppoe-lan-gateway"}, "内网网关:", v::ipv4("192.168.0.254")),
                  edit({"编辑框_映射_PPOE_内网端口", "pppoe-lan-port"}, "内网端口:", v::ports("80")),
                  edit({"编辑框_映射_PPOE_备注", "pppoe-comment"}, "备注:", v::text("WEB SERVER"), "(不支持中文)"),
                  edit({"编辑框_映射_PPOE_映射主机ip", "pppoe-host-ip"},
                       "需要映射的主机IP地址:", v::ipv4("192.168.0.253")),
                  row({
                      button("pppoe-2x", "", "生成2.9.X系列脚本", pppoe),
                      button("pppoe-3x", "", "生成3.X系列脚本", pppoe),
                      button7("pppoe-7x", "生成7.X系列脚本", pppoe_7x),
                  }),
              }),
      }),
  };
}

}  // namespace rosgen
