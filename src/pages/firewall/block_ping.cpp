// Tab 14: rules that stop the router answering ping.
#include "pages/builders.h"
#include "pages/ros7.h"
#include "script/form.h"

namespace rosgen {
namespace {

// Pings from the LAN network; the comment names the network.
Outcome block_lan(Ctx& c) {
  Gbk net = c.trimmed("编辑框_禁内网拼网段");
  c.write("/ ip firewall filter add chain=output src-address="_a + net + "/"_a + c.trimmed("编辑框_禁内子网掩码") +
          " protocol=icmp action=drop comment=\""_a + net + " prohibited from the Ping\""_a);
  return Outcome::Done;
}

// Pings from every address outside the LAN network.
Outcome block_outside(Ctx& c) {
  c.write("/ ip firewall filter add chain=output src-address=!"_a + c.trimmed("编辑框_禁止外网拼网段") + "/"_a +
          c.trimmed("编辑框_禁止外网拼子网掩码") +
          " protocol=icmp action=drop comment=\"Prohibition of the net from outside the  Ping\""_a);
  return Outcome::Done;
}

// RouterOS 7: a ping to the router arrives in chain=input (chain=output holds the router's own
// pings and gateway checks). The drop stands before the default "accept ICMP" rule, which would
// take the ping first, and after the accept of established connections, so the replies to the
// router's own pings still arrive. Only echo requests are dropped; the network is a prefix length.
Gbk ping_drop7(const Gbk& source, const Gbk& comment) {
  return "/ip firewall filter add chain=input src-address="_a + source +
         " protocol=icmp icmp-options=8:0 action=drop comment="_a + comment + before_defconf7("defconf: accept ICMP");
}

// The comment is quoted as a whole because the network text goes into it.
Outcome block_lan_7x(Ctx& c) {
  Gbk net = c.trimmed("编辑框_禁内网拼网段");
  c.write(
      ping_drop7(word7(cidr7(net, c.trimmed("编辑框_禁内子网掩码"))), quoted7(net + " prohibited from the Ping"_a)));
  return Outcome::Done;
}

// A negated network: "!" before a plain value; text that needs quotes goes into
// the quotes whole, so the line keeps one value whatever was typed.
Gbk negated7(const Gbk& value) {
  Gbk word = word7(value);
  return word == value ? "!"_a + value : quoted7("!"_a + value);
}

Outcome block_outside_7x(Ctx& c) {
  c.write(ping_drop7(negated7(cidr7(c.trimmed("编辑框_禁止外网拼网段"), c.trimmed("编辑框_禁止外网拼子网掩码"))),
                     "\"Prohibition of the net from outside the  Ping\""_a));
  return Outcome::Done;
}

}  // namespace

void build_block_ping(Page& page) {
  page.caption = "";  // the outer box of this page has no caption
  page.items = {
      group("禁止内外网对路由的ICMP数据包(禁止来自内外网的Ping)2.9.X/3.X通用",
            {
                edit({"编辑框_禁内网拼网段", "lan-network"}, "内网网段：", v::ipv4("192.168.0.0"),
                     "(这里设置你的内网网段)"),
                edit({"编辑框_禁内子网掩码", "lan-mask"}, "子网掩码：", v::netmask("255.255.255.0"),
                     "(这里设置你的内网子网掩码)"),
                row({
                    button("block-lan", "", "生成禁止内网Ping的脚本", block_lan),
                    button7("block-lan-7x", "生成禁止内网Ping的7.X脚本", block_lan_7x),
                }),
            }),
      group("禁止来自内网或外网的ICMP数据包(禁止来自内网或外网的Ping)2.9.X/3.X通用",
            {
                edit({"编辑框_禁止外网拼网段", "outside-lan-network"}, "内网网段：", v::ipv4("192.168.0.0"),
                     "(这里设置你的内网网段)"),
                edit({"编辑框_禁止外网拼子网掩码", "outside-lan-mask"}, "子网掩码：", v::netmask("255.255.255.0"),
                     "(这里设置你的内网子网掩码)"),
                row({
                    button("block-outside", "", "生成禁止外网Ping的脚本", block_outside),
                    button7("block-outside-7x", "生成禁止外网Ping的7.X脚本", block_outside_7x),
                }),
            }),
  };
}

}  // namespace rosgen
