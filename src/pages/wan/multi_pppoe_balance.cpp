// Tab 8: several PPPoE uplinks, load balanced. Each line stands on a
// placeholder address until the refresh script moves it to the line's real one.
#include "pages/builders.h"
#include "pages/ros7.h"
#include "pages/wan/multi_line.h"
#include "script/form.h"
#include "script/line_list.h"
#include "script/text.h"

namespace rosgen {
namespace {

constexpr const char* kList = "超级列表框_pppoe多线负载均衡_列表";
constexpr LanFields kLan = {
    .nic = "编辑框_pppoe多线负载均衡_内网网卡",
    .ip = "编辑框_pppoe多线负载均衡_内网IP",
    .mask = "编辑框_pppoe多线负载均衡_子网掩码",
    .primary_dns = "编辑框_pppoe多线负载均衡_首选DNS",
    .secondary_dns = "编辑框_pppoe多线负载均衡_备用DNS",
    .mss = "编辑框_pppoe多线负载均衡_TCPMSS值",
    .ipv6 = "选择框_pppoe多线负载均衡_IPv6",
};

Outcome generate(Ctx& c) {
  if (!start_lines(c, kList, kLan)) return Outcome::Refused;
  Gbk lan = c.trimmed(kLan.nic);
  const auto& lines = c.form.rows(kList);

  for (size_t i = 0; i < lines.size(); ++i) {
    const Cells& line = lines[i];
    Gbk k = number_text(static_cast<int>(i) + 1);
    Gbk placeholder = placeholder_address(k);
    Gbk block = pppoe_client(line, cell(line, 2), k, k);
    block += "/ip route add gateway="_a + placeholder + " routing-mark="_a + k + " comment=\""_a + k + "\"\r\n"_a;
    block += balance_rules(lan, lines.size(), i, placeholder);
    c.append(block);
  }
  return Outcome::Done;
}

// Run by the router's scheduler: moves line i's address, route and NAT rule
// (found by comment i) to the address pppoe-out i was given.
Outcome refresh(Ctx& c) {
  Gbk s;
  s += ":local assign-address\r\n"_a;
  s += ":local new-address\r\n"_a;
  s += ":local status\r\n"_a;
  s += ":local x\r\n"_a;
  s += ":set x "_a + refresh_bound(c.form, kList) + "\r\n"_a;
  s += ":for i from=1 to=$x do={\r\n"_a;
  s += "    :set status [/interface get [/interface find  name=(\"pppoe-out\" . $i)] running] \r\n"_a;
  s += "    :if ($status=true) do={\r\n"_a;
  s += "     :set new-address [/ip address get [/ip address find dynamic=yes interface=(\"pppoe-out\""
       " . $i)] address]\r\n"_a;
  s += "     :set new-address [:pick $new-address 0 ([:len $new-address] -3)]\r\n"_a;
  s += "     :set assign-address [/ip address get [/ip address find dynamic=no"
       " interface=(\"pppoe-out\" . $i)] address]\r\n"_a;
  s += "     :set assign-address [:pick $assign-address 0 ([:len $assign-address] -3)]\r\n"_a;
  s += "        :if ($assign-address != $new-address) do={ /ip address set [/ip address find"
       " comment=$i] address=$new-address network=$new-address broadcast=$new-address\r\n"_a;
  s += "        /ip route set [/ip route find comment=$i] gateway=$new-address\r\n"_a;
  s += "        /ip fir nat set [/ip fir nat find comment=$i] to-addresses=$new-address\r\n"_a;
  s += "        /ip route set [/ip route find comment=$i] gateway=$new-address\r\n"_a;
  s += "       } \r\n"_a;
  s += "   }\r\n"_a;
  // No line end after the last line.
  s += "}"_a;
  c.write(std::move(s));
  return Outcome::Done;
}

// RouterOS 7: the per-connection classifier deals LAN connections out over the lines; each
// line's client adds its default route to `main`, its table routes through pppoe-out<k>
// itself (backed up by the next line), NAT masquerades on the interface, and connections that
// arrive on a line are answered through it. Nothing waits for a refresh.
Outcome generate7(Ctx& c) {
  if (!enough_lines(c, kList)) return Outcome::Refused;
  const Gbk lan = c.trimmed(kLan.nic);
  const bool peer_dns = dns_list7(c.trimmed(kLan.primary_dns), c.trimmed(kLan.secondary_dns)).empty();
  const auto& rows = c.form.rows(kList);

  std::vector<Line7> lines;
  for (size_t i = 0; i < rows.size(); ++i) {
    const Cells& row = rows[i];
    const int k = static_cast<int>(i) + 1;
    const Gbk name = "adsl"_a + number_text(k);
    lines.push_back({{name, "pppoe-out"_a + number_text(k), Gbk(), true},
                     pppoe_line7(row, cell(row, 2), k, name, Gbk(), peer_dns),
                     Gbk(),
                     pcc_rule7(lan, rows.size(), i, name)});
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

void build_multi_pppoe_balance(Page& page) {
  page.caption = "多线PPPoE负载均衡安装设置脚本(注意:ROS系统不支持中文脚本)";
  page.items = {
      edit({"编辑框_pppoe多线负载均衡_内网网卡", "lan-nic"}, "内网网卡:", v::iface("ether1"),
           "(建议使用最好性能的网卡为内网网卡,一般情况下电脑PCI插槽靠近CPU的网卡或主板自带网卡为ether1,不能修改)"),
      edit({"编辑框_pppoe多线负载均衡_内网IP", "lan-ip"}, "内网IP:", v::ipv4("192.168.0.254"),
           "(这里设置您将要作为内网网关的IP)"),
      edit({"编辑框_pppoe多线负载均衡_子网掩码", "lan-mask"}, "子网掩码:", v::netmask("255.255.255.0"),
           "(例如内网子网掩码为：255.255.255.0 同时也可以设置为24位) (不支持中文)"),
      row({
          edit({"编辑框_pppoe多线负载均衡_首选DNS", "dns1"}, "首选DNS:", v::ipv4("114.114.114.114")),
          edit({"编辑框_pppoe多线负载均衡_备用DNS", "dns2"}, "备用DNS:", v::ipv4("223.5.5.5")),
          edit({"编辑框_pppoe多线负载均衡_TCPMSS值", "mss"}, "TCP MSS值:", v::integer(1, 65535, "1440")),
      }),
      group("当前配置PPPoE帐号",
            {
                row({
                    LineList{kList,
                             {{"     帐号", 200, "编辑框_pppoe多线负载均衡_ADSL帐号"},
                              {"密码", 200, "编辑框_pppoe多线负载均衡_ADSL密码"},
                              {"网卡", 150, "编辑框_pppoe多线负载均衡_连接网卡"}},
                             "add",
                             {}},
                    line_editor_buttons(kList, kDuplicateAccount, true),
                }),
                row({
                    edit({"编辑框_pppoe多线负载均衡_ADSL帐号", "pppoe-user"}, "ADSL帐号：",
                         v::text("adsl0001@example.net")),
                    edit({"编辑框_pppoe多线负载均衡_ADSL密码", "pppoe-password"}, "ADSL密码：",
                         v::password("adslpass12345678")),
                    edit({"编辑框_pppoe多线负载均衡_连接网卡", "wan-nic"}, "连接网卡：", v::iface("ether2")),
                }),
            }),
      row({
          column({
              button("gen-2x", "按钮__pppoe多线负载均衡_2x生成", "2.9.X系列脚本生成", generate),
              button7("gen-7x", "生成7.X系列脚本", generate7),
              // A row of its own keeps the column as narrow as its buttons.
              row({check({"选择框_pppoe多线负载均衡_IPv6", "ipv6"}, kIpv6Caption, false)}),
              note("不同带宽的线路做负载达不到最佳效果！建议您选择做分流！"),
          }),
          group("注意事项",
                {
                    row({
                        column({
                            button("refresh-2x", "按钮__pppoe多线负载均衡_动态刷新网关2X", "2.9.X动态刷新网关脚本",
                                   refresh),
                            button7("refresh-7x", "7.X动态刷新网关脚本", refresh7),
                        }),
                        note(kSchedulerNote),
                    }),
                }),
      }),
  };
}

}  // namespace rosgen
