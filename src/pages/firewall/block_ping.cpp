// Tab 14: output-chain rules that stop the router answering ping.
#include "pages/builders.h"
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

}  // namespace

void build_block_ping(Page& page) {
  page.caption = "";  // the outer box of this page has no caption
  page.items = {
      group("禁止内外网对路由的ICMP数据包(禁止来自内外网的Ping)2.9.X/3.X通用",
            {
                edit("编辑框_禁内网拼网段", "内网网段：", "192.168.0.0", "(这里设置你的内网网段)"),
                edit("编辑框_禁内子网掩码", "子网掩码：", "255.255.255.0", "(这里设置你的内网子网掩码)"),
                button("block-lan", "", "生成禁止内网Ping的脚本", block_lan),
            }),
      group("禁止来自内网或外网的ICMP数据包(禁止来自内网或外网的Ping)2.9.X/3.X通用",
            {
                edit("编辑框_禁止外网拼网段", "内网网段：", "192.168.0.0", "(这里设置你的内网网段)"),
                edit("编辑框_禁止外网拼子网掩码", "子网掩码：", "255.255.255.0", "(这里设置你的内网子网掩码)"),
                button("block-outside", "", "生成禁止外网Ping的脚本", block_outside),
            }),
  };
}

}  // namespace rosgen
