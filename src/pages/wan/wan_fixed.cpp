// Tab 4: first install with one fixed-IP uplink.
#include "pages/builders.h"
#include "pages/ros7.h"
#include "pages/wan/wan7.h"
#include "script/form.h"

namespace rosgen {
namespace {

// Both dialects accept "/ip" without a blank, so both buttons write this.
Outcome generate(Ctx& c) {
  const Gbk lan_mask = c.trimmed("编辑框_安装_子网掩码");
  Gbk s;
  s += "/ip address add address="_a + c.trimmed("编辑框_安装_固定ip") + "/"_a + lan_mask + " interface="_a +
       c.trimmed("编辑框_安装_内网网卡") + "\r\n"_a;
  s += "/ip address add address="_a + c.trimmed("编辑框_安装_外网ip") + "/"_a + c.trimmed("编辑框_安装_外网子网掩码") +
       " interface="_a + c.trimmed("编辑框_安装_外网网卡") + "\r\n"_a;
  s += "/ip route add gateway="_a + c.trimmed("编辑框_安装_外网网关ip") + "\r\n"_a;
  s += "/ip firewall nat add chain=srcnat action=masquerade src-address="_a + c.trimmed("编辑框_安装_内网网段") +
       "/"_a + lan_mask + "\r\n"_a;
  s += "/ip dns set primary-dns="_a + c.trimmed("编辑框_安装_首选DNS") + " secondary-dns="_a +
       c.trimmed("编辑框_安装_备用DNS") + "\r\n"_a;
  // The last line has no line end.
  s += "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss="_a +
       c.trimmed("编辑框_安装_TCPMSS值");
  c.write(std::move(s));
  return Outcome::Done;
}

// RouterOS 7, on its default configuration: the LAN port leaves the default bridge for the
// LAN list, the WAN port becomes an uplink (no bridge, no DHCP client, WAN list) with the
// fixed address and the one default route; NAT masquerades on the WAN port. IPv6 when asked.
Outcome generate_7x(Ctx& c) {
  const Gbk lan = c.trimmed("编辑框_安装_内网网卡");
  const Gbk wan = c.trimmed("编辑框_安装_外网网卡");
  const Gbk lan_mask = c.trimmed("编辑框_安装_子网掩码");
  Gbk s = lan_port7(lan);
  s += drop_default_uplink7();
  s += lan_address7(address_cidr7(c.trimmed("编辑框_安装_固定ip"), lan_mask), lan, "lan"_a);
  s += uplink_port7(wan);
  s += "/ip address add address="_a +
       address_cidr7(c.trimmed("编辑框_安装_外网ip"), c.trimmed("编辑框_安装_外网子网掩码")) + " interface="_a +
       word7(wan) + " comment=wan\r\n"_a;
  s += "/ip route add dst-address=0.0.0.0/0 gateway="_a + word7(c.trimmed("编辑框_安装_外网网关ip")) +
       " comment=wan\r\n"_a;
  s += masquerade7(wan, network7(c.trimmed("编辑框_安装_内网网段"), lan_mask), "wan"_a);
  // No server given: the router keeps the ones it has.
  if (Gbk servers = dns_list7(c.trimmed("编辑框_安装_首选DNS"), c.trimmed("编辑框_安装_备用DNS")); !servers.empty()) {
    s += "/ip dns set servers="_a + servers + "\r\n"_a;
  }
  s += mss_clamp7(c.trimmed("编辑框_安装_TCPMSS值"));
  if (c.checked("选择框_安装_IPv6")) {
    const Uplink7 line{"wan"_a, wan, Gbk()};
    s += ipv6_7(lan, {line});
  }
  c.write(replacing7(s));
  return Outcome::Done;
}

}  // namespace

void build_wan_fixed(Page& page) {
  page.caption = "ROS固定IP上网安装设置脚本(注意:ROS系统不支持中文脚本)";
  page.items = {
      edit({"编辑框_安装_内网网卡", "lan-nic"}, "内网网卡:", v::iface("ether2"),
           "(建议使用最好性能的网卡为内网网卡,一般情况下电脑PCI插槽靠近CPU的网卡或主板自带网卡为ether1)"),
      edit({"编辑框_安装_固定ip", "lan-ip"}, "内网IP:", v::ipv4("192.168.0.254"), "(这里设置您将要作为内网网关的IP)"),
      edit({"编辑框_安装_子网掩码", "lan-mask"}, "子网掩码:", v::netmask("255.255.255.0"),
           "(例如内网子网掩码为：255.255.255.0 同时也可以设置为24位) (不支持中文)"),
      edit({"编辑框_安装_外网网卡", "wan-nic"}, "外网网卡:", v::iface("ether1"),
           "(这里不能和第一步的内网网卡一致,否则会出错,即选择连接外网的网卡)"),
      edit({"编辑框_安装_外网ip", "wan-ip"}, "外网IP:", v::ipv4("203.0.113.2"),
           "(例电信或网通给您提供的可用的外网IP地址)"),
      edit({"编辑框_安装_外网子网掩码", "wan-mask"}, "子网掩码:", v::netmask("255.255.255.248"),
           "(例如外网掩码为：255.255.255.248 同时也可以设置为29位)"),
      edit({"编辑框_安装_外网网关ip", "gateway"}, "外网网关IP:", v::ipv4("203.0.113.1")),
      edit({"编辑框_安装_内网网段", "lan-network"}, "内网网段:", v::ipv4("192.168.0.0")),
      edit({"编辑框_安装_首选DNS", "dns1"}, "首选DNS:", v::ipv4("114.114.114.114")),
      edit({"编辑框_安装_备用DNS", "dns2"}, "备用DNS:", v::ipv4("223.5.5.5")),
      edit({"编辑框_安装_TCPMSS值", "mss"}, "TCP MSS值:", v::integer(1, 65535, "1440")),
      row({
          button("gen-2x", "按钮_安装_生成2x", "2.9.X系列脚本生成", generate),
          button("gen-3x", "按钮_安装_生成3x", "3.X系列脚本生成", generate),
          button7("gen-7x", "生成7.X系列脚本", generate_7x),
          check({"选择框_安装_IPv6", "ipv6"}, kIpv6Caption, false),
      }),
  };
}

}  // namespace rosgen
