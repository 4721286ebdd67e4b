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

// RouterOS 7: the same rules, each value kept one word; a netmask becomes a prefix length.
Gbk nat7(const Gbk& matchers, const Gbk& host, const Gbk& port, const Gbk& comment) {
  return "/ip firewall nat add chain=dstnat"_a + matchers + " action=dst-nat"_a + arg7("to-addresses", host) +
         arg7("to-ports", port) + arg7("comment", comment);
}

Outcome fixed_7x(Ctx& c) {
  c.write(nat7(arg7("dst-address", c.trimmed("编辑框_映射_固定外网IP")) +
                   arg7("protocol", c.trimmed("编辑框_映射_固定外网协议")) +
                   arg7("dst-port", c.trimmed("编辑框_映射_固定外网端口")),
               c.trimmed("编辑框_映射_固定内网IP"), c.trimmed("编辑框_映射_固定内网端口"),
               c.trimmed("编辑框_映射_固定备注")));
  return Outcome::Done;
}

Outcome pppoe_7x(Ctx& c) {
  Gbk lan = cidr7(c.trimmed("编辑框_映射_PPOE_内网网段"), c.trimmed("编辑框_映射_PPOE_内网子网掩码"));
  c.write(nat7(not_arg7("src-address", lan) + not_arg7("dst-address", c.trimmed("编辑框_映射_PPOE_内网网关")) +
                   arg7("protocol", c.trimmed("编辑框_映射_PPOE_内网协议")) +
                   arg7("dst-port", c.trimmed("编辑框_映射_PPOE_外网端口")),
               c.trimmed("编辑框_映射_PPOE_映射主机ip"), c.trimmed("编辑框_映射_PPOE_内网端口"),
               c.trimmed("编辑框_映射_PPOE_备注")));
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
