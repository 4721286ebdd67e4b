// Tab 9: several PPPoE uplinks, each serving its own range of LAN hosts, on
// placeholder addresses the refresh script moves to the lines' real ones.
#include "pages/builders.h"
#include "pages/ros7.h"
#include "pages/wan/multi_line.h"
#include "script/form.h"
#include "script/line_list.h"
#include "script/text.h"

namespace rosgen {
namespace {

constexpr const char* kList = "超级列表框_多线分流PPPOE";
constexpr LanFields kLan = {
    .nic = "编辑框_多线分流PPPOE_内网网卡",
    .ip = "编辑框_多线分流PPPOE_内网IP",
    .mask = "编辑框_多线分流PPPOE_子网掩码",
    .primary_dns = "编辑框_多线分流PPPOE_首选DNS",
    .secondary_dns = "编辑框_多线分流PPPOE_备份DNS",
    .mss = "编辑框_多线分流PPPOE_TCPMSS",
    .network = "编辑框_多线分流PPPOE_内网网段",
    .ipv6 = "选择框_多线分流PPPOE_IPv6",
};

// Routing mark and comments of line k are "adsl" k; the masquerade rule gives
// each connection the address of the line it leaves by.
Outcome generate(Ctx& c) {
  if (!start_lines(c, kList, kLan)) return Outcome::Refused;

  const auto& lines = c.form.rows(kList);
  for (size_t i = 0; i < lines.size(); ++i) {
    const Cells& line = lines[i];
    Gbk k = number_text(static_cast<int>(i) + 1);
    Gbk placeholder = placeholder_address(k);
    Gbk mark = "adsl"_a + k;
    Gbk block = pppoe_client(line, cell(line, 3), k, mark);
    block += "/ip firewall mangle add chain=prerouting src-address="_a + cell(line, 2) +
             " action=mark-routing new-routing-mark="_a + mark + " comment="_a + mark + "\r\n"_a;
    block += "/ip route add gateway="_a + placeholder + " routing-mark="_a + mark + " comment="_a + mark + "\r\n"_a;
    c.append(block);
  }
  return Outcome::Done;
}

// Run by the router's scheduler: moves line i's address and route (found by
// comment "adsl" i) to the address pppoe-out i was given.
Outcome refresh(Ctx& c) {
  Gbk s;
  s += ":local assign-address\r\n"_a;
  s += ":local new-address\r\n"_a;
  s += ":local status\r\n"_a;
  s += ":local x\r\n"_a;
  s += ":set x "_a + refresh_bound(c.form, kList) + "\r\n"_a;
  s += ":for i from=1 to=$x do={\r\n"_a;
  s += ":set status [/interface get [/interface find  name=(\"pppoe-out\" . $i)] running] \r\n"_a;
  s += ":if ($status=true) do={\r\n"_a;
  s += ":set new-address [/ip address get [/ip address find dynamic=yes interface=(\"pppoe-out\" . $i)] address]\r\n"_a;
  s += ":set new-address [:pick $new-address 0 [:find $new-address \"/\"]]\r\n"_a;
  s += ":set assign-address [/ip address get [/ip address find dynamic=no interface=(\"pppoe-out\" ."
       " $i)] address]\r\n"_a;
  s += ":set assign-address [:pick $assign-address 0 [:find $assign-address \"/\"]]\r\n"_a;
  s += ":if ($assign-address != $new-address) do={\r\n"_a;
  s += "/ip address set [/ip address find comment=(\"adsl\" . $i)] address=$new-address"
       " network=$new-address broadcast=$new-address\r\n"_a;
  s += "/ip route set [/ip route find comment=(\"adsl\" . $i)] gateway=$new-address\r\n"_a;
  s += "}\r\n"_a;
  s += "}\r\n"_a;
  // No line end after the last line.
  s += "}"_a;
  c.write(std::move(s));
  return Outcome::Done;
}

// RouterOS 7: connections from line k's range take routing table adsl<k>, which routes
// through pppoe-out<k> itself (backed up by the next line); each client adds its default
// route to `main`, NAT masquerades on the interface, and connections that arrive on a line
// are answered through it. Nothing waits for a refresh.
Outcome generate7(Ctx& c) {
  if (!enough_lines(c, kList)) return Outcome::Refused;
  const Gbk lan_net = network7(c.trimmed(kLan.network), c.trimmed(kLan.mask));
  const bool peer_dns = dns_list7(c.trimmed(kLan.primary_dns), c.trimmed(kLan.secondary_dns)).empty();
  const auto& rows = c.form.rows(kList);

  std::vector<Line7> lines;
  for (size_t i = 0; i < rows.size(); ++i) {
    const Cells& row = rows[i];
    const int k = static_cast<int>(i) + 1;
    const Gbk name = "adsl"_a + number_text(k);
    lines.push_back({{name, "pppoe-out"_a + number_text(k), Gbk(), true},
                     pppoe_line7(row, cell(row, 3), k, name, lan_net, peer_dns),
                     Gbk(),
                     split_rule7(cell(row, 2), name)});
  }
  c.write(multi_script7(c, kLan, lines));
  return Outcome::Done;
}

// RouterOS 7: nothing to refresh; logs the lines that are down.
Outcome refresh7(Ctx& c) {
  c.write(pppoe_refresh7(refresh_bound(c.form, kList)));
  return Outcome::Done;
}

}  // namespace

void build_multi_pppoe_split(Page& page) {
  page.caption = "多线PPPoE分流安装设置脚本(注意:ROS系统不支持中文脚本)";
  page.items = {
      edit({"编辑框_多线分流PPPOE_内网网卡", "lan-nic"}, "内网网卡:", v::iface("ether1"),
           "(建议使用最好性能的网卡为内网网卡,一般情况下电脑PCI插槽靠近CPU的网卡或主板自带网卡为ether1,不能修改)"),
      edit({"编辑框_多线分流PPPOE_内网IP", "lan-ip"}, "内网IP:", v::ipv4("192.168.0.254"),
           "(这里设置您将要作为内网网关的IP)"),
      edit({"编辑框_多线分流PPPOE_子网掩码", "lan-mask"}, "子网掩码:", v::netmask("255.255.255.0"),
           "(例如内网子网掩码为：255.255.255.0 同时也可以设置为24位) (不支持中文)"),
      edit({"编辑框_多线分流PPPOE_内网网段", "lan-network"}, "内网网段:", v::ipv4("192.168.0.0"),
           "(设置局域网内网网段)"),
      row({
          edit({"编辑框_多线分流PPPOE_TCPMSS", "mss"}, "TCP MSS值:", v::integer(1, 65535, "1440")),
          edit({"编辑框_多线分流PPPOE_首选DNS", "dns1"}, "首选DNS:", v::ipv4("114.114.114.114")),
          edit({"编辑框_多线分流PPPOE_备份DNS", "dns2"}, "备用DNS:", v::ipv4("223.5.5.5")),
      }),
      group(
          "当前配置PPPoE帐号",
          {
              row({
                  LineList{kList,
                           {{"     帐号", 120, "编辑框_多线分流PPPOE_ADSL帐号"},
                            {"密码", 120, "编辑框_多线分流PPPOE_ADSL密码"},
                            {"分流IP段", 160, "编辑框_多线分流PPPOE_分流IP段"},
                            {"网卡", 120, "编辑框_多线分流PPPOE_连接网卡"}},
                           "add",
                           {},
                           3},
                  line_editor_buttons(kList, kDuplicateAccount, true),
              }),
              row({
                  edit({"编辑框_多线分流PPPOE_ADSL帐号", "pppoe-user"}, "ADSL帐号：", v::text("adsl0001@example.net")),
                  edit({"编辑框_多线分流PPPOE_ADSL密码", "pppoe-password"}, "ADSL密码：",
                       v::password("adslpass12345678")),
              }),
              row({
                  edit({"编辑框_多线分流PPPOE_分流IP段", "split-range"}, "分流IP段：",
                       v::range("192.168.0.1-192.168.0.20")),
                  edit({"编辑框_多线分流PPPOE_连接网卡", "wan-nic"}, "连接网卡：", v::iface("ether2")),
              }),
          }),
      row({
          column({
              button("gen-2x", "按钮_多线分流PPPOE_2x生成", "2.9.X系列脚本生成", generate),
              button7("gen-7x", "生成7.X系列脚本", generate7),
              // A row of its own keeps the column as narrow as its buttons.
              row({check({"选择框_多线分流PPPOE_IPv6", "ipv6"}, kIpv6Caption, false)}),
          }),
          group("注意事项",
                {
                    row({
                        column({
                            button("refresh-2x", "按钮_多线分流PPPOE_2x动态刷新网关", "2.9.X动态刷新网关脚本", refresh),
                            button7("refresh-7x", "7.X动态刷新网关脚本", refresh7),
                        }),
                        note(kSchedulerNote),
                    }),
                }),
      }),
  };
}

}  // namespace rosgen
