// Tab 15: static ARP entries and reply-only interfaces. Every pair of dialect
// buttons writes the same line.
#include "pages/builders.h"
#include "pages/ros7.h"
#include "script/form.h"

namespace rosgen {
namespace {

Outcome bind_one(Ctx& c) {
  c.write("/ ip arp add address="_a + c.trimmed("编辑框_ARP_IP地址") + " mac-address="_a + c.trimmed("编辑框_ARP_MAC") +
          " interface="_a + c.trimmed("编辑框_ARP_网卡"));
  return Outcome::Done;
}

// Copies every dynamic entry as a static one.
Outcome bind_connected(Ctx& c) {
  c.write(":foreach ketrova5 in=[/ip arp find dynamic=yes ] do={/ip arp add copy-from=$ketrova5}"_a);
  return Outcome::Done;
}

Outcome delete_all(Ctx& c) {
  c.write(":foreach ketrova5 in=[/ip arp find] do={/ip arp remove $ketrova5}"_a);
  return Outcome::Done;
}

Outcome reply_only(Ctx& c) {
  c.write("/ interface ethernet set "_a + c.trimmed("编辑框_ARP_设置网卡") + " arp=reply-only"_a);
  return Outcome::Done;
}

Outcome arp_enabled(Ctx& c) {
  c.write("/ interface ethernet set "_a + c.trimmed("编辑框_ARP_设置网卡") + " arp=enabled"_a);
  return Outcome::Done;
}

// RouterOS 7: absolute paths, and every typed value kept one word. A binding replaces the
// static entry the address had, so pressing again with a new MAC rebinds instead of failing.
// An interface that is not there is said so, instead of stopping the script halfway.
Outcome bind_one_7x(Ctx& c) {
  const Gbk address = word7(c.trimmed("编辑框_ARP_IP地址"));
  const Gbk nic = c.trimmed("编辑框_ARP_网卡");
  c.write(":if ([:len [/interface find name="_a + word7(nic) + "]] = 0) do={:put "_a +
          quoted7(to_gbk("没有接口") + nic + to_gbk("，未绑定")) + "} else={/ip arp remove [find address="_a + address +
          " dynamic=no]; /ip arp add address="_a + address + " mac-address="_a + word7(c.trimmed("编辑框_ARP_MAC")) +
          " interface="_a + word7(nic) + "}"_a);
  return Outcome::Done;
}

Outcome bind_connected_7x(Ctx& c) {
  c.write(":foreach ketrova5 in=[/ip arp find dynamic=yes] do={/ip arp add copy-from=$ketrova5}"_a);
  return Outcome::Done;
}

// The bindings are the static entries; dynamic ones come back by themselves.
Outcome delete_all_7x(Ctx& c) {
  c.write("/ip arp remove [find dynamic=no]"_a);
  return Outcome::Done;
}

// The arp setting belongs to the interface's own menu, and the field may name any kind of
// interface: each menu sets it only where the name is found. The address of a LAN lives on
// its bridge, which answers ARP for all its ports, so a port of a bridge sets its bridge.
Gbk arp_mode7(const Gbk& nic, Ascii mode) {
  const Gbk name = word7(nic);
  Gbk s = to_gbk("# ARP由带IP地址的接口应答：网桥端口的设置落在它的网桥上\r\n");
  static constexpr Ascii kMenus[] = {"ethernet"_a, "bridge"_a, "vlan"_a, "bonding"_a};
  for (Ascii menu : kMenus) {
    s += "/interface "_a + Gbk(menu) + " set [find name="_a + name + "] arp="_a + Gbk(mode) + "\r\n"_a;
  }
  s += ":foreach ketrova5 in=[/interface bridge port find interface="_a + name +
       "] do={/interface bridge set [/interface bridge port get $ketrova5 bridge] arp="_a + Gbk(mode) + "}"_a;
  return s;
}

Outcome reply_only_7x(Ctx& c) {
  c.write(arp_mode7(c.trimmed("编辑框_ARP_设置网卡"), "reply-only"_a));
  return Outcome::Done;
}

Outcome arp_enabled_7x(Ctx& c) {
  c.write(arp_mode7(c.trimmed("编辑框_ARP_设置网卡"), "enabled"_a));
  return Outcome::Done;
}

Row pair(const std::string& prefix, const Handler& run, const Handler& run_7x) {
  return row({
      button(prefix + "-2x", "", "生成2.9.X系列脚本", run),
      button(prefix + "-3x", "", "生成3.X系列脚本", run),
      button7(prefix + "-7x", "生成7.X系列脚本", run_7x),
  });
}

}  // namespace

void build_arp_binding(Page& page) {
  page.caption = "ARP绑定(支持批量绑定)";
  page.items = {
      group("自定义ARP绑定",
            {
                edit({"编辑框_ARP_IP地址", "address"}, "IP地址 ：", v::ipv4("192.168.0.1"), "(这里输入您要绑定的IP)"),
                edit({"编辑框_ARP_网卡", "interface"}, "绑定网卡：", v::iface("ether1"),
                     "(内网IP绑定内网网卡,外网IP绑定外网网卡)"),
                edit({"编辑框_ARP_MAC", "mac"}, "MAC地址：", v::mac("00:00:00:00:00:00"),
                     "(这里输入您要绑定IP相对应的MAC地址)"),
                pair("bind", bind_one, bind_one_7x),
            }),
      group("自动绑定已经连接的ARP", {pair("bind-connected", bind_connected, bind_connected_7x)}),
      group("自动删除所有ARP绑定", {pair("delete-all", delete_all, delete_all_7x)}),
      group("将网卡ARP属性置为reply-only,这步才是真正的绑定了列表中的ARP,没绑定的上不了网",
            {
                edit({"编辑框_ARP_设置网卡", "reply-only-interface"}, "需要绑定的网卡：", v::iface("ether1"),
                     "(一般情况下可以只设置内网网卡,也可以所有网卡都设置为reply-only)"),
                row({
                    group("绑定脚本(即置ARP属性为reply-only)", {pair("reply-only", reply_only, reply_only_7x)}),
                    group("解绑脚本(即置ARP属性为enabled)", {pair("unbind", arp_enabled, arp_enabled_7x)}),
                }),
                group("小提示",
                      {note("将网卡ARP属性置为reply-only后,ARP列表里没有的IP或IP与MAC与绑定时不一样的计算机将不能与"
                            "网关通信,也就是说绑定后下面的客户机私自更改IP或私自更改MAC地址将无法与网关通信,"
                            "起到保护路由器免受ARP攻击的作用!")}),
            }),
  };
}

}  // namespace rosgen
