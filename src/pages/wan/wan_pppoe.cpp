// Tab 5: first install with one PPPoE dial-up uplink.
#include "pages/builders.h"
#include "pages/ros7.h"
#include "pages/wan/wan7.h"
#include "script/form.h"

namespace rosgen {
namespace {

// The password is taken as typed: blanks may belong to it.
Outcome generate(Ctx& c) {
  const Gbk lan_mask = c.trimmed("编辑框_ppoe_子网掩码");
  Gbk s;
  s += "/ip address add address="_a + c.trimmed("编辑框_ppoe_内网ip") + "/"_a + lan_mask + " interface="_a +
       c.trimmed("编辑框_ppoe_内网网卡") + " comment=lan\r\n"_a;
  s += "/interface pppoe-client add name="_a + c.trimmed("编辑框_ppoe_拔号标志") + " interface="_a +
       c.trimmed("编辑框_ppoe_用于拔号的网卡") + " user="_a + c.trimmed("编辑框_ppoe_帐号") + " password="_a +
       c.text("编辑框_ppoe_密码") + " add-default-route=yes disabled=no\r\n"_a;
  s += "/ip firewall nat add chain=srcnat action=masquerade src-address="_a + c.trimmed("编辑框_ppoe_内网网段") +
       "/"_a + lan_mask + "\r\n"_a;
  s += "/ip dns set primary-dns="_a + c.trimmed("编辑框_ppoe_首选DNS") + " secondary-dns="_a +
       c.trimmed("编辑框_ppoe_备用dns") + "\r\n"_a;
  s += "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss="_a +
       c.trimmed("编辑框_ppoe_tcpmss值") + "\r\n"_a;
  c.write(std::move(s));
  return Outcome::Done;
}

// RouterOS 7, on its default configuration: the LAN port leaves the default bridge for the
// LAN list, the dial-up port becomes an uplink (no bridge, no DHCP client, WAN list), and
// the client joins the WAN list, so the default firewall guards it. Its default route and
// address come with the session; NAT masquerades on the client, whatever address it gets.
// IPv6 when asked.
Outcome generate_7x(Ctx& c) {
  const Gbk lan = c.trimmed("编辑框_ppoe_内网网卡");
  const Gbk client = c.trimmed("编辑框_ppoe_拔号标志");
  const Gbk lan_mask = c.trimmed("编辑框_ppoe_子网掩码");
  const Gbk servers = dns_list7(c.trimmed("编辑框_ppoe_首选DNS"), c.trimmed("编辑框_ppoe_备用dns"));
  Gbk s = lan_port7(lan);
  s += drop_default_uplink7();
  s += lan_address7(address_cidr7(c.trimmed("编辑框_ppoe_内网ip"), lan_mask), lan, "lan"_a);
  const Gbk port = c.trimmed("编辑框_ppoe_用于拔号的网卡");
  s += uplink_port7(port);
  // No server given: the carrier's.
  s += add_or_set7("/interface pppoe-client", word7(client),
                   " interface="_a + word7(port) + " user="_a + word7(c.trimmed("编辑框_ppoe_帐号")) + " password="_a +
                       word7(c.text("编辑框_ppoe_密码")) + " add-default-route=yes use-peer-dns="_a +
                       (servers.empty() ? "yes"_a : "no"_a) + " disabled=no"_a);
  s += wan_member7(client);
  s += masquerade7(client, network7(c.trimmed("编辑框_ppoe_内网网段"), lan_mask), "wan"_a);
  if (!servers.empty()) s += "/ip dns set servers="_a + servers + "\r\n"_a;
  s += mss_clamp7(c.trimmed("编辑框_ppoe_tcpmss值"));
  // IPv6 comes over the PPP session: its client runs on the dial-up interface.
  if (c.checked("选择框_ppoe_IPv6")) {
    const Uplink7 line{"wan"_a, client, Gbk(), true};
    s += ipv6_7(lan, {line});
  }
  c.write(replacing7(s));
  return Outcome::Done;
}

}  // namespace

void build_wan_pppoe(Page& page) {
  page.caption = "单线PPPoE上网安装设置脚本(注意:ROS系统不支持中文脚本)";
  page.items = {
      edit({"编辑框_ppoe_内网网卡", "lan-nic"}, "内网网卡:", v::iface("ether2"),
           "(建议使用最好性能的网卡为内网网卡,一般情况下电脑PCI插槽靠近CPU的网卡或主板自带网卡为ether1)"),
      edit({"编辑框_ppoe_内网ip", "lan-ip"}, "内网IP:", v::ipv4("192.168.0.254"), "(这里设置您将要作为内网网关的IP)"),
      edit({"编辑框_ppoe_内网网段", "lan-network"}, "内网网段:", v::ipv4("192.168.0.0"),
           "(设置局域网内网网段,用于MASQ自动IP伪装)"),
      edit({"编辑框_ppoe_子网掩码", "lan-mask"}, "子网掩码:", v::netmask("255.255.255.0"),
           "(例如内网子网掩码为：255.255.255.0 也可以设置为24位)"),
      edit({"编辑框_ppoe_拔号标志", "pppoe-name"}, "拨号标志(名字):", v::iface("pppoe-out1")),
      edit({"编辑框_ppoe_用于拔号的网卡", "wan-nic"}, "用于拨号的网卡:", v::iface("ether1"),
           "(这里不能和第一步的内网网卡一致,否则会出错)"),
      edit({"编辑框_ppoe_帐号", "pppoe-user"}, "PPPoE帐号:", v::name("adsl0001@example.net")),
      edit({"编辑框_ppoe_密码", "pppoe-password"},
           "PPPoE密码:", v::password("pass1234").written(Writing::Plain, Writing::Escaped)),
      edit({"编辑框_ppoe_首选DNS", "dns1"}, "首选DNS:", v::ipv4("114.114.114.114")),
      edit({"编辑框_ppoe_备用dns", "dns2"}, "备用DNS:", v::ipv4("223.5.5.5")),
      edit({"编辑框_ppoe_tcpmss值", "mss"}, "TCP MSS值:", v::integer(1, 65535, "1440")),
      row({
          button("gen-2x", "按钮_pppoe_2x生成", "2.9.X系列脚本生成", generate),
          button("gen-3x", "按钮_pppoe_3x生成", "3.X系列脚本生成", generate),
          button7("gen-7x", "生成7.X系列脚本", generate_7x),
          check({"选择框_ppoe_IPv6", "ipv6"}, kIpv6Caption, false),
      }),
  };
}

}  // namespace rosgen
