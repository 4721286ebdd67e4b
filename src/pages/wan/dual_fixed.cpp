// Tab 10: a Telecom and a Netcom fixed-IP uplink; the carrier route tables
// send the secondary carrier's networks through its own line.
#include "pages/builders.h"
#include "pages/ros7.h"
#include "pages/wan/carrier_routes.h"
#include "pages/wan/wan7.h"
#include "script/form.h"

namespace rosgen {
namespace {

constexpr const char* kTelecomMain = "单选框_电信";
constexpr const char* kIpv6 = "选择框_双线固定IP_IPv6";

// One text for both dialects; the DNS order follows the main line.
Outcome generate(Ctx& c) {
  Gbk lan_ip = c.trimmed("编辑框_双线固定IP_内网ip");
  Gbk lan_mask = c.trimmed("编辑框_双线固定IP_内网子网");
  Gbk lan_net = c.trimmed("编辑框_双线固定IP_内网网段");
  Gbk telecom_dns = c.trimmed("编辑框_双线固定IP_电信DNS");
  Gbk netcom_dns = c.trimmed("编辑框_双线固定IP_外网网通DNS");
  bool telecom_main = c.checked(kTelecomMain);

  Gbk s = "/ ip add add interface="_a + c.trimmed("编辑框_双线固定IP_内网网卡") + " address="_a + lan_ip + "/"_a +
          lan_mask + " comment=\"Lan\"\r\n"_a;
  s += "/ ip address add address="_a + c.trimmed("编辑框_双线固定IP_外网电信ip") + "/"_a +
       c.trimmed("编辑框_双线固定IP_外网电信子网") + " interface="_a + c.trimmed("编辑框_双线固定IP_电信网卡") +
       " comment=\"Tel\" disabled=no\r\n"_a;
  s += "/ ip address add address="_a + c.trimmed("编编辑框_双线固定IP_外网网通ip") + "/"_a +
       c.trimmed("编编辑框_双线固定IP_外网网通子网") + " interface="_a + c.trimmed("编辑框_双线固定IP_网通网卡") +
       " comment=\"Cnc\" disabled=no\r\n"_a;
  s += "/ ip firewall nat add chain=srcnat src-address="_a + lan_net + "/"_a + lan_mask +
       " action=masquerade comment=\"\" disabled=no\r\n"_a;
  s += "/ ip firewall nat add chain=dstnat src-address="_a + lan_net + "/"_a + lan_mask +
       " protocol=udp dst-port=53 action=dst-nat to-addresses="_a + lan_ip +
       " to-ports=53 comment=\"\" disabled=no\r\n"_a;
  s += "/ ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss="_a +
       c.trimmed("编编辑框_双线固定IP_MSS值") + "\r\n"_a;
  s += "/ ip dns set primary-dns="_a + (telecom_main ? telecom_dns : netcom_dns) + " secondary-dns="_a +
       (telecom_main ? netcom_dns : telecom_dns) + " allow-remote-requests=yes cache-size=2048KiB cache-max-ttl=1w"_a;
  c.write(s);
  return Outcome::Done;
}

// RouterOS 7, on its default configuration: both lines up as uplinks, the default route
// through the main line with failover to the other (both checked by ping), a routing table
// per line for the connections that arrive on it, NAT per line, and LAN DNS answered by the
// router. The carrier networks come from the route button.
Outcome generate7(Ctx& c) {
  const Gbk lan = c.trimmed("编辑框_双线固定IP_内网网卡");
  const Gbk lan_mask = c.trimmed("编辑框_双线固定IP_内网子网");
  const Gbk lan_net = network7(c.trimmed("编辑框_双线固定IP_内网网段"), lan_mask);
  const Gbk telecom_dns = c.trimmed("编辑框_双线固定IP_电信DNS");
  const Gbk netcom_dns = c.trimmed("编辑框_双线固定IP_外网网通DNS");
  const bool telecom_main = c.checked(kTelecomMain);
  const Uplink7 telecom{"telecom"_a, c.trimmed("编辑框_双线固定IP_电信网卡"), c.trimmed("编辑框_双线固定IP_电信网关")};
  const Uplink7 netcom{"netcom"_a, c.trimmed("编辑框_双线固定IP_网通网卡"),
                       c.trimmed("编辑框_双线固定IP_外网网通网关")};
  const std::vector<Uplink7> main_first =
      telecom_main ? std::vector<Uplink7>{telecom, netcom} : std::vector<Uplink7>{netcom, telecom};

  Gbk s = lan_port7(lan);
  s += drop_default_uplink7();
  s += lan_address7(address_cidr7(c.trimmed("编辑框_双线固定IP_内网ip"), lan_mask), lan, "Lan"_a);
  s += uplink_port7(telecom.interface);
  s += "/ip address add address="_a +
       address_cidr7(c.trimmed("编辑框_双线固定IP_外网电信ip"), c.trimmed("编辑框_双线固定IP_外网电信子网")) +
       " interface="_a + word7(telecom.interface) + " comment=Tel\r\n"_a;
  s += masquerade7(telecom.interface, lan_net, telecom.name);
  s += uplink_port7(netcom.interface);
  s += "/ip address add address="_a +
       address_cidr7(c.trimmed("编编辑框_双线固定IP_外网网通ip"), c.trimmed("编编辑框_双线固定IP_外网网通子网")) +
       " interface="_a + word7(netcom.interface) + " comment=Cnc\r\n"_a;
  s += masquerade7(netcom.interface, lan_net, netcom.name);
  s += uplink_routes7(main_first);
  s += reply_mark7(telecom) + reply_mark7(netcom);
  s += route_marks7(telecom) + route_marks7(netcom);
  s += fasttrack_spare_marked7();
  // Every LAN DNS query goes to the router, whatever server the host asks.
  s += "/ip firewall nat add chain=dstnat in-interface="_a + word7(lan) +
       " protocol=udp dst-port=53 action=redirect to-ports=53 comment=dns\r\n"_a;
  s += mss_clamp7(c.trimmed("编编辑框_双线固定IP_MSS值"));
  const Gbk servers = dns_list7(telecom_main ? telecom_dns : netcom_dns, telecom_main ? netcom_dns : telecom_dns);
  s += "/ip dns set"_a + (servers.empty() ? Gbk() : " servers="_a + servers) +
       " allow-remote-requests=yes cache-size=2048 cache-max-ttl=1w\r\n"_a;
  // The main line's prefix numbers the LAN; the other's waits in its pool.
  if (c.checked(kIpv6)) s += ipv6_7(lan, main_first);
  c.write(replacing7(s));
  return Outcome::Done;
}

// The warning shows before the fields are read, whichever dialect.
void routes_warning(Ctx& c) { c.message("请开启Telnet服务,然后用超级终端连接运行此脚本!\r\n\r\n否则会出错!", "注意"); }

// The secondary carrier's networks through its gateway, then everything else
// through the main gateway. The fields are read only after the warning closes.
Outcome routes(Ctx& c) {
  routes_warning(c);
  Gbk telecom_gw = c.trimmed("编辑框_双线固定IP_电信网关");
  Gbk netcom_gw = c.trimmed("编辑框_双线固定IP_外网网通网关");
  if (c.checked(kTelecomMain)) {
    c.write(fill_gateway(Carrier::Netcom, netcom_gw) + backup_default_route(telecom_gw));
  } else {
    c.write(fill_gateway(Carrier::Telecom, telecom_gw) + backup_default_route(netcom_gw));
  }
  return Outcome::Done;
}

// RouterOS 7: the secondary carrier's networks through its line while its gateway answers;
// the default routes are the install script's.
Outcome routes7(Ctx& c) {
  routes_warning(c);
  const bool telecom_main = c.checked(kTelecomMain);
  const Gbk gateway =
      telecom_main ? c.trimmed("编辑框_双线固定IP_外网网通网关") : c.trimmed("编辑框_双线固定IP_电信网关");
  Gbk s =
      telecom_main
          ? "# Netcom networks through the Netcom line while its gateway answers; run after the 7.X install script.\r\n"_a
          : "# Telecom networks through the Telecom line while its gateway answers; run after the 7.X install script.\r\n"_a;
  s += carrier_routes7(telecom_main ? Carrier::Netcom : Carrier::Telecom, gateway, "carrier"_a);
  c.write(std::move(s));
  return Outcome::Done;
}

}  // namespace

void build_dual_fixed(Page& page) {
  page.caption = "电信网通双线固定IP上网安装设置";
  page.items = {
      edit({"编辑框_双线固定IP_内网网卡", "lan-nic"}, "内网网卡:", v::iface("ether3"),
           "(建议使用最好性能的网卡为内网网卡,一般情况下电脑PCI插槽靠近CPU的网卡或主板自带网卡为ether1)"),
      edit({"编辑框_双线固定IP_内网ip", "lan-ip"}, "内网IP:", v::ipv4("192.168.0.254"),
           "(这里设置您将要作为内网网关的IP)"),
      edit({"编辑框_双线固定IP_内网子网", "lan-mask"}, "子网掩码:", v::netmask("255.255.255.0"),
           "(例如内网子网掩码为：255.255.255.0 同时也可以设置为24位) (不支持中文)"),
      edit({"编辑框_双线固定IP_内网网段", "lan-network"}, "内网网段:", v::ipv4("192.168.0.0"), "(设置局域网内网网段)"),
      row({
          column({
              below(edit({"编辑框_双线固定IP_电信网卡", "telecom-nic"}, "接电信网卡:", v::iface("ether1"),
                         "(如果不熟悉此项请保持默认,作为电信外网网卡)")),
              edit({"编辑框_双线固定IP_外网电信ip", "telecom-ip"}, "外网电信IP:", v::ipv4("203.0.113.2"),
                   "(电信提供的IP地址)"),
              edit({"编辑框_双线固定IP_电信网关", "telecom-gateway"}, "外网电信网关:", v::ipv4("203.0.113.1"),
                   "(电信提供的IP地址)"),
              edit({"编辑框_双线固定IP_外网电信子网", "telecom-mask"},
                   "外网电信子网掩码:", v::netmask("255.255.255.248"), "(电信提供的IP子网掩码)"),
              edit({"编辑框_双线固定IP_电信DNS", "telecom-dns"}, "电信DNS:", v::ipv4("114.114.114.114")),
          }),
          column({
              below(edit({"编辑框_双线固定IP_网通网卡", "netcom-nic"}, "接网通网卡:", v::iface("ether2"),
                         "(如果不熟悉此项请保持默认,作为网通外网网卡)")),
              edit({"编编辑框_双线固定IP_外网网通ip", "netcom-ip"}, "外网网通IP:", v::ipv4("198.51.100.2"),
                   "(网通提供的IP地址)"),
              edit({"编辑框_双线固定IP_外网网通网关", "netcom-gateway"}, "外网网通网关:", v::ipv4("198.51.100.1"),
                   "(网通提供的IP地址)"),
              edit({"编编辑框_双线固定IP_外网网通子网", "netcom-mask"},
                   "外网网通子网掩码:", v::netmask("255.255.255.248"), "(网通提供的IP子网掩码)"),
              edit({"编辑框_双线固定IP_外网网通DNS", "netcom-dns"}, "网通DNS:", v::ipv4("223.5.5.5")),
          }),
      }),
      row({
          edit({"编编辑框_双线固定IP_MSS值", "mss"}, "MSS值:", v::integer(1, 65535, "1440")),
          radio({kTelecomMain, "telecom-main"}, "电信为主网通为辅", "main-line", true),
          radio({"单选框_网通", "netcom-main"}, "网通为主电信为辅", "main-line", false),
          check({kIpv6, "ipv6"}, kIpv6Caption, false),
      }),
      row({
          button("gen-2x", "按钮_电信网通双线_脚本生成2x", "2.9.X系列脚本生成", generate),
          button("gen-3x", "按钮_电信网通双线_脚本生成3x", "3.X系列脚本生成", generate),
          button7("gen-7x", "生成7.X系列脚本", generate7),
          button("routes-2x", "按钮_电信网通双线_路由表2x", "2.9.X路由表生成", routes),
          button("routes-3x", "按钮_电信网通双线_路由表3x", "3.X路由表生成", routes),
          button7("routes-7x", "7.X路由表生成", routes7),
      }),
  };
}

}  // namespace rosgen
