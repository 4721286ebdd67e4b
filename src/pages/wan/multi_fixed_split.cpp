// Tab 7: several fixed-IP uplinks, each serving its own range of LAN hosts.
#include "pages/builders.h"
#include "pages/ros7.h"
#include "pages/wan/multi_line.h"
#include "script/form.h"
#include "script/line_list.h"
#include "script/text.h"

namespace rosgen {
namespace {

constexpr const char* kList = "超级列表_分流_列表";
constexpr LanFields kLan = {
    .nic = "编辑框_分流_内网网卡",
    .ip = "编辑框_分流_内网IP",
    .mask = "编辑框_分流_内网子网掩码",
    .primary_dns = "编辑框_分流_内网首选DNS",
    .secondary_dns = "编辑框_分流_内网备用DNS",
    .mss = "编辑框_分流_TCPMSS值",
    .network = "编辑框_分流_内网网段",
    .ipv6 = "选择框_分流_IPv6",
};

// Line k's range gets routing mark k and a route through line k's gateway;
// one masquerade rule covers the whole LAN.
Outcome generate(Ctx& c) {
  if (!start_lines(c, kList, kLan)) return Outcome::Refused;

  const auto& lines = c.form.rows(kList);
  for (size_t i = 0; i < lines.size(); ++i) {
    const Cells& line = lines[i];
    Gbk k = number_text(static_cast<int>(i) + 1);
    Gbk block = "/ip address add address="_a + cell(line, 0) + "/"_a + cell(line, 1) + " interface="_a + cell(line, 3) +
                " comment=\""_a + k + "\"\r\n"_a;
    block += "/ip firewall mangle add chain=prerouting src-address="_a + cell(line, 4) +
             " action=mark-routing new-routing-mark="_a + k + " comment="_a + k + "\r\n"_a;
    block += "/ip route add gateway="_a + cell(line, 2) + " routing-mark="_a + k + " comment="_a + k + "\r\n"_a;
    c.append(block);
  }
  return Outcome::Done;
}

// RouterOS 7: connections from line k's range take its routing table; each line has a
// checked default route in `main`, a table backed up by the next line, and answers the
// connections that arrive on it. Hosts outside every range use `main`.
Outcome generate7(Ctx& c) {
  if (!enough_lines(c, kList)) return Outcome::Refused;
  const Gbk lan_net = network7(c.trimmed(kLan.network), c.trimmed(kLan.mask));
  const auto& rows = c.form.rows(kList);

  std::vector<Line7> lines;
  for (size_t i = 0; i < rows.size(); ++i) {
    const Cells& row = rows[i];
    const Gbk name = "wan"_a + number_text(static_cast<int>(i) + 1);
    lines.push_back({{name, cell(row, 3), cell(row, 2)},
                     fixed_line7(cell(row, 0), cell(row, 1), cell(row, 3), name, lan_net),
                     network7(cell(row, 0), cell(row, 1)),
                     split_rule7(cell(row, 4), name)});
  }
  c.write(multi_script7(c, kLan, lines));
  return Outcome::Done;
}

}  // namespace

void build_multi_fixed_split(Page& page) {
  page.caption = "多线固定IP分流均衡安装设置脚本(注意:ROS系统不支持中文脚本)";
  page.items = {
      edit({"编辑框_分流_内网网卡", "lan-nic"}, "内网网卡:", v::iface("ether1"),
           "(建议使用最好性能的网卡为内网网卡,一般情况下电脑PCI插槽靠近CPU的网卡或主板自带网卡为ether1,不能修改)"),
      edit({"编辑框_分流_内网IP", "lan-ip"}, "内网IP:", v::ipv4("192.168.0.254"), "(这里设置您将要作为内网网关的IP)"),
      edit({"编辑框_分流_内网子网掩码", "lan-mask"}, "子网掩码:", v::netmask("255.255.255.0"),
           "(例如内网子网掩码为：255.255.255.0 同时也可以设置为24位) (不支持中文)"),
      row({
          edit({"编辑框_分流_内网首选DNS", "dns1"}, "首选DNS:", v::ipv4("114.114.114.114")),
          edit({"编辑框_分流_内网备用DNS", "dns2"}, "备用DNS:", v::ipv4("223.5.5.5")),
          edit({"编辑框_分流_TCPMSS值", "mss"}, "TCP MSS值:", v::integer(1, 65535, "1440")),
          edit({"编辑框_分流_内网网段", "lan-network"}, "内网网段:", v::ipv4("192.168.0.0")),
      }),
      group("当前配置",
            {
                LineList{kList,
                         {{"     IP地址", 100, "编辑框_分流_外网IP"},
                          {"子网掩码", 120, "编辑框_分流_外网子网掩码"},
                          {"网关地址", 100, "编辑框_分流_外网网关地址"},
                          {"连接网卡", 70, "编辑框_分流_外网连接网卡"},
                          {"分流IP段", 200, "编辑框_分流_外网分流IP段"}},
                         "add",
                         fill_fields_handler(kList)},
                row({
                    edit({"编辑框_分流_外网IP", "wan-ip"}, "  IP地址：", v::ipv4("203.0.113.2")),
                    edit({"编辑框_分流_外网子网掩码", "wan-mask"}, "子网掩码：", v::netmask("255.255.255.248")),
                    edit({"编辑框_分流_外网网关地址", "gateway"}, "网关地址：", v::ipv4("203.0.113.1")),
                }),
                row({
                    edit({"编辑框_分流_外网连接网卡", "wan-nic"}, "连接网卡：", v::iface("ether2")),
                    edit({"编辑框_分流_外网分流IP段", "split-range"}, "分流IP段：",
                         v::range("192.168.0.1-192.168.0.100")),
                    line_editor_buttons(kList, kDuplicateAddress),
                }),
            }),
      row({
          button("gen-2x", "按钮_分流_2x生成", "2.9.X系列脚本生成", generate),
          button7("gen-7x", "生成7.X系列脚本", generate7),
          check({"选择框_分流_IPv6", "ipv6"}, kIpv6Caption, false),
      }),
  };
}

}  // namespace rosgen
