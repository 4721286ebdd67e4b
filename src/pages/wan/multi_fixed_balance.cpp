// Tab 6: several fixed-IP uplinks; new connections are dealt out to them in turn.
#include "pages/builders.h"
#include "pages/ros7.h"
#include "pages/wan/multi_line.h"
#include "script/form.h"
#include "script/line_list.h"
#include "script/text.h"

namespace rosgen {
namespace {

constexpr const char* kList = "超级列表框_多线固定IP负载发装列表";
constexpr LanFields kLan = {
    .nic = "编辑框_多线固定IP负载均衡_内网网卡",
    .ip = "编辑框_多线固定IP负载均衡_内网ip",
    .mask = "编辑框_多线固定IP负载均衡_子网掩码",
    .primary_dns = "编辑框_多线固定IP负载均衡_首选DNS",
    .secondary_dns = "编辑框_多线固定IP负载均衡_备用DNS",
    .mss = "编辑框_多线固定IP负载均衡_TCPMSS值",
    .ipv6 = "选择框_多线固定IP负载均衡_IPv6",
};

// Line k's address and route carry comment k; its route is taken by the
// connections balance_rules marks k.
Outcome generate(Ctx& c) {
  if (!start_lines(c, kList, kLan)) return Outcome::Refused;
  Gbk lan = c.trimmed(kLan.nic);
  const auto& lines = c.form.rows(kList);

  for (size_t i = 0; i < lines.size(); ++i) {
    const Cells& line = lines[i];
    Gbk ip = cell(line, 0);
    Gbk k = number_text(static_cast<int>(i) + 1);
    Gbk block = "/ip address add address="_a + ip + "/"_a + cell(line, 1) + " interface="_a + cell(line, 3) +
                " comment=\""_a + k + "\"\r\n"_a;
    block += "/ip route add gateway="_a + cell(line, 2) + " routing-mark="_a + k + " comment=\""_a + k + "\"\r\n"_a;
    block += balance_rules(lan, lines.size(), i, ip);
    c.append(block);
  }
  return Outcome::Done;
}

// RouterOS 7: the per-connection classifier deals LAN connections out over the lines; each
// line has a checked default route in `main` and a routing table of its own, backed up by the
// next line, and answers the connections that arrive on it.
Outcome generate7(Ctx& c) {
  if (!enough_lines(c, kList)) return Outcome::Refused;
  const Gbk lan = c.trimmed(kLan.nic);
  const auto& rows = c.form.rows(kList);

  std::vector<Line7> lines;
  for (size_t i = 0; i < rows.size(); ++i) {
    const Cells& row = rows[i];
    const Gbk name = "wan"_a + number_text(static_cast<int>(i) + 1);
    lines.push_back({{name, cell(row, 3), cell(row, 2)},
                     fixed_line7(cell(row, 0), cell(row, 1), cell(row, 3), name, Gbk()),
                     network7(cell(row, 0), cell(row, 1)),
                     pcc_rule7(lan, rows.size(), i, name)});
  }
  c.write(multi_script7(c, kLan, lines));
  return Outcome::Done;
}

}  // namespace

void build_multi_fixed_balance(Page& page) {
  page.caption = "多线固定IP负载均衡安装设置脚本(注意:ROS系统不支持中文脚本)";
  page.items = {
      edit({"编辑框_多线固定IP负载均衡_内网网卡", "lan-nic"}, "内网网卡:", v::iface("ether1"),
           "(建议使用最好性能的网卡为内网网卡,一般情况下电脑PCI插槽靠近CPU的网卡或主板自带网卡为ether1,不能修改)"),
      edit({"编辑框_多线固定IP负载均衡_内网ip", "lan-ip"}, "内网IP:", v::ipv4("192.168.0.254"),
           "(这里设置您将要作为内网网关的IP)"),
      edit({"编辑框_多线固定IP负载均衡_子网掩码", "lan-mask"}, "子网掩码:", v::netmask("255.255.255.0"),
           "(例如内网子网掩码为：255.255.255.0 同时也可以设置为24位) (不支持中文)"),
      row({
          edit({"编辑框_多线固定IP负载均衡_首选DNS", "dns1"}, "首选DNS:", v::ipv4("114.114.114.114")),
          edit({"编辑框_多线固定IP负载均衡_备用DNS", "dns2"}, "备用DNS:", v::ipv4("223.5.5.5")),
          edit({"编辑框_多线固定IP负载均衡_TCPMSS值", "mss"}, "TCP MSS值:", v::integer(1, 65535, "1440")),
      }),
      group("当前配置",
            {
                row({
                    LineList{kList,
                             {{"     IP地址", 120, "编辑框_多线固定IP负载均衡_IP地址"},
                              {"子网掩码", 120, "编辑框_多线固定IP负载均衡_子网掩码帐号用的"},
                              {"网关地址", 120, "编辑框_多线固定IP负载均衡_网关地址"},
                              {"连接网卡", 120, "编辑框_多线固定IP负载均衡_连接网卡"}},
                             "add",
                             fill_fields_handler(kList)},
                    column({
                        edit({"编辑框_多线固定IP负载均衡_IP地址", "wan-ip"}, "  IP地址：", v::ipv4("203.0.113.2")),
                        edit({"编辑框_多线固定IP负载均衡_子网掩码帐号用的", "wan-mask"}, "子网掩码：",
                             v::netmask("255.255.255.248")),
                        edit({"编辑框_多线固定IP负载均衡_网关地址", "gateway"}, "网关地址：", v::ipv4("203.0.113.1")),
                        edit({"编辑框_多线固定IP负载均衡_连接网卡", "wan-nic"}, "连接网卡：", v::iface("ether2")),
                    }),
                }),
                line_editor_buttons(kList, kDuplicateAddress),
            }),
      row({
          button("gen-2x", "按钮_多线固定IP负载均衡_生成2x", "生成2.9.X系列脚本", generate),
          button7("gen-7x", "生成7.X系列脚本", generate7),
          check({"选择框_多线固定IP负载均衡_IPv6", "ipv6"}, kIpv6Caption, false),
          group("注意事项", {note("不同带宽的线路做负载达不到最佳效果！\r\n建议您选择做分流！")}),
      }),
  };
}

}  // namespace rosgen
