// The firewall pages and the system tools page through the rosgen program.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>

#include "cli_support.h"

namespace rosgen::test {
namespace {

TEST(FirewallCli, Run) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {"ping from the LAN",
       {"run", "14", "block-lan", "编辑框_禁内网拼网段=10.0.0.0", "编辑框_禁内子网掩码=255.0.0.0"},
       "/ ip firewall filter add chain=output src-address=10.0.0.0/255.0.0.0 protocol=icmp action=drop "
       "comment=\"10.0.0.0 prohibited from the Ping\""},
      {"reply-only",
       {"run", "arp-binding", "reply-only-3x", "编辑框_ARP_设置网卡= ether2 "},
       "/ interface ethernet set ether2 arp=reply-only"},
      {"port mapping over PPPoE",
       {"run", "port-mapping", "pppoe-3x"},
       "/ip firewall nat add chain=dstnat src-address=!192.168.0.0/255.255.255.0 dst-address=!192.168.0.254 "
       "protocol=tcp dst-port=80 action=dst-nat to-addresses=192.168.0.253 to-ports=80 comment=\"WEB SERVER\""},
      {"batch, LF typed as line ends, name reset",
       {"run", "19", "batch", "编辑框_另类封ip列表=192.168.1.4\n\n10.0.0.0/8\n", "编辑框_另类封ip_IP列表定议名称=X"},
       "/ ip firewall address-list add address=192.168.1.4 list=\"ketrova5lmList\" disabled=no\r\n"
       "/ ip firewall address-list add address= list=\"ketrova5lmList\" disabled=no\r\n"
       "/ ip firewall address-list add address=10.0.0.0/8 list=\"ketrova5lmList\" disabled=no\r\n"},
      {"batch with own list name",
       {"run", "19", "batch", "编辑框_另类封ip列表=1.1.1.1", "编辑框_另类封ip_IP列表定议名称=X", "--check",
        "选择框_另类封ip_是否"},
       "/ ip firewall address-list add address=1.1.1.1 list=\"X\" disabled=no\r\n"},
      {"batch, empty box", {"run", "19", "batch"}, ""},
      {"keyword for a network",
       {"run", "block-keywords", "gen-3x", "--check", "选择框_tcp_选择"},
       "/ ip firewall filter add chain=forward src-address=192.168.0.0/24 content=\"POCO\" action=drop "
       "comment=\"Blockade POCO\" disabled=no"},
      {"unfinished preset", {"run", "app-block", "pplive-2x"}, "/ ip firewall address-list \r\n#最功能暂时未完善"},
      {"backup by date",
       {"run", "3", "backup-by-date", "--today", "2010-11-01"},
       "/ file remove 2010111.backup\r\n/ system backup save name=2010111"},
      {"backup by date, no removal",
       {"run", "3", "按钮_备份_为日期", "--today", "2010-12-25", "--uncheck", "选择框_备份_是否删除"},
       "/ system backup save name=20101225"},
      {"restore by date, answered",
       {"run", "system-tools", "restore-by-date", "--answer", " 201035"},
       "system backup load name= 201035"},
      {"restore by date, cancelled", {"run", "system-tools", "restore-by-date"}, "system backup load name="},
      {"reset", {"run", "3", "按钮_其它_恢复默认安装"}, "/  system reset"},
  };
  for (const auto& c : cases) {
    Result r = rosgen(c.args);
    EXPECT_EQ(r.code, 0) << c.name << "\n" << r.err;
    EXPECT_EQ(r.out, c.out) << c.name;
    EXPECT_EQ(r.err, "") << c.name;
  }
}

TEST(FirewallCli, PresetsInGbk) {
  Result r = rosgen({"run", "17", "qq-chat-3x", "--encoding", "gbk"});
  EXPECT_EQ(r.out, "/ ip firewall address-list \r\n#\xD7\xEE\xB9\xA6\xC4\xDC\xD4\xDD\xCA\xB1\xCE\xB4\xCD\xEA\xC9\xC6");
  Result xunlei2 = rosgen({"run", "17", "xunlei-2x"});
  Result xunlei3 = rosgen({"run", "17", "xunlei-3x"});
  EXPECT_EQ(xunlei2.code, 0);
  EXPECT_EQ(xunlei2.out, xunlei3.out);
  EXPECT_TRUE(xunlei2.out.starts_with("/ ip firewall address-list \r\nadd list=\"BlockadeXunlei\" address="));
  EXPECT_TRUE(xunlei2.out.ends_with(
      "disabled=no\r\n/ ip firewall filter \r\nadd chain=forward dst-address-list=\"BlockadeXunlei\" action=drop "
      "comment=\"BlockadeXunlei-091206\" disabled=no"));
  Result xuanfeng = rosgen({"run", "17", "xuanfeng-3x"});
  EXPECT_EQ(std::count(xuanfeng.out.begin(), xuanfeng.out.end(), '\n'), 6);
  EXPECT_EQ(std::count(xuanfeng.out.begin(), xuanfeng.out.end(), '\r'), 6);
}

TEST(FirewallCli, HostileValues) {
  // Quotes go through as typed.
  Result quotes = rosgen({"run", "20", "gen-2x", "编辑框_tcp_关键字域名=\"a\" action=accept \"", "编辑框_tcp_备注="});
  EXPECT_EQ(quotes.code, 0);
  EXPECT_EQ(quotes.out,
            "/ ip firewall filter add chain=forward content=\"\"a\" action=accept \"\" action=drop "
            "comment=\"\" disabled=no");
  // A 64 KB batch of one long row and one short row.
  std::string big(64 * 1024, '1');
  Result huge = rosgen({"run", "19", "batch", "编辑框_另类封ip列表=" + big + "\n2.2.2.2"});
  EXPECT_EQ(huge.code, 0);
  EXPECT_EQ(huge.out, "/ ip firewall address-list add address=" + big +
                          " list=\"ketrova5lmList\" disabled=no\r\n"
                          "/ ip firewall address-list add address=2.2.2.2 list=\"ketrova5lmList\" disabled=no\r\n");
  // Invalid GBK bytes come back unchanged; a lone lead byte at the end is no blank.
  Result raw = rosgen({"run", "3", "rename", "编辑框_修改ROS计算机名= \x81\xFF\xA1", "--encoding", "gbk"});
  EXPECT_EQ(raw.code, 0);
  EXPECT_EQ(raw.out, "/ system identity set name=\"\x81\xFF\xA1\"");
  // An answer with a line end in it is written as given.
  Result answer = rosgen({"run", "3", "restore-by-date", "--answer", "a\nb"});
  EXPECT_EQ(answer.out, "system backup load name=a\nb");
}

struct Listed {
  std::vector<std::string> fields;   // "id @ group"
  std::vector<std::string> buttons;  // "id|designer|caption @ group"
};

Listed show(const std::string& page) {
  Result r = rosgen({"show", page, "--json"});
  EXPECT_EQ(r.code, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  Listed l;
  auto str = [](const nlohmann::json& v) { return v.is_null() ? std::string() : v.get<std::string>(); };
  for (const auto& f : j["fields"]) l.fields.push_back(str(f["id"]) + " @ " + str(f["group"]));
  for (const auto& b : classic_buttons(j)) {
    l.buttons.push_back(str(b["id"]) + "|" + str(b["designer"]) + "|" + str(b["caption"]) + " @ " + str(b["group"]));
  }
  return l;
}

TEST(FirewallCli, ShowListsFieldsAndButtonsInPageOrder) {
  const std::string upper = "禁止内外网对路由的ICMP数据包(禁止来自内外网的Ping)2.9.X/3.X通用";
  const std::string lower = "禁止来自内网或外网的ICMP数据包(禁止来自内网或外网的Ping)2.9.X/3.X通用";
  Listed ping = show("block-ping");
  EXPECT_EQ(ping.fields,
            (std::vector<std::string>{"编辑框_禁内网拼网段 @ " + upper, "编辑框_禁内子网掩码 @ " + upper,
                                      "编辑框_禁止外网拼网段 @ " + lower, "编辑框_禁止外网拼子网掩码 @ " + lower}));
  EXPECT_EQ(ping.buttons, (std::vector<std::string>{"block-lan||生成禁止内网Ping的脚本 @ " + upper,
                                                    "block-outside||生成禁止外网Ping的脚本 @ " + lower}));

  Listed arp = show("arp-binding");
  const std::string nic = "将网卡ARP属性置为reply-only,这步才是真正的绑定了列表中的ARP,没绑定的上不了网";
  EXPECT_EQ(arp.fields,
            (std::vector<std::string>{"编辑框_ARP_IP地址 @ 自定义ARP绑定", "编辑框_ARP_网卡 @ 自定义ARP绑定",
                                      "编辑框_ARP_MAC @ 自定义ARP绑定", "编辑框_ARP_设置网卡 @ " + nic}));
  EXPECT_EQ(arp.buttons, (std::vector<std::string>{
                             "bind-2x||生成2.9.X系列脚本 @ 自定义ARP绑定", "bind-3x||生成3.X系列脚本 @ 自定义ARP绑定",
                             "bind-connected-2x||生成2.9.X系列脚本 @ 自动绑定已经连接的ARP",
                             "bind-connected-3x||生成3.X系列脚本 @ 自动绑定已经连接的ARP",
                             "delete-all-2x||生成2.9.X系列脚本 @ 自动删除所有ARP绑定",
                             "delete-all-3x||生成3.X系列脚本 @ 自动删除所有ARP绑定",
                             "reply-only-2x||生成2.9.X系列脚本 @ 绑定脚本(即置ARP属性为reply-only)",
                             "reply-only-3x||生成3.X系列脚本 @ 绑定脚本(即置ARP属性为reply-only)",
                             "unbind-2x||生成2.9.X系列脚本 @ 解绑脚本(即置ARP属性为enabled)",
                             "unbind-3x||生成3.X系列脚本 @ 解绑脚本(即置ARP属性为enabled)"}));

  Listed mapping = show("port-mapping");
  EXPECT_EQ(mapping.fields.size(), 15u);
  EXPECT_EQ(mapping.fields[2], "编辑框_映射_固定外网协议 @ 固定IP端口映射脚本生成");
  EXPECT_EQ(mapping.fields[5], "编辑框_映射_固定内网网段 @ 固定IP端口映射脚本生成");  // read by 7.x only
  EXPECT_EQ(mapping.fields[8], "编辑框_映射_PPOE_内网子网掩码 @ PPPoE动态IP映口映射");
  EXPECT_EQ(mapping.fields[14], "编辑框_映射_PPOE_映射主机ip @ PPPoE动态IP映口映射");
  EXPECT_EQ(mapping.buttons, (std::vector<std::string>{"fixed-2x||生成2.9.X系列脚本 @ 固定IP端口映射脚本生成",
                                                       "fixed-3x||生成3.X系列脚本 @ 固定IP端口映射脚本生成",
                                                       "pppoe-2x||生成2.9.X系列脚本 @ PPPoE动态IP映口映射",
                                                       "pppoe-3x||生成3.X系列脚本 @ PPPoE动态IP映口映射"}));

  Listed ports = show("block-ports-ips");
  const std::string first = "第一次使用此功能请先添加这个脚本,以后不需再次添加!(2.9.x/3.x通用)";
  EXPECT_EQ(ports.fields, (std::vector<std::string>{
                              "编辑框_封锁_端口号 @ 封锁端口号脚本生成", "编辑框_封锁_协议 @ 封锁端口号脚本生成",
                              "编辑框_封锁_备注 @ 封锁端口号脚本生成", "编辑框_封锁IP_IP @ 封锁IP地址脚本生成",
                              "编辑框_封锁IP_子网 @ 封锁IP地址脚本生成", "编辑框_封锁IP_备注 @ 封锁IP地址脚本生成",
                              "编辑框_另类封ip_IP列表名称 @ " + first, "编辑框_另类封ip_IP @ " + first,
                              "编辑框_另类封ip_子网 @ " + first, "编辑框_另类封ip_备注 @ " + first,
                              "编辑框_另类封ip列表 @ 批量添加IP封锁", "选择框_另类封ip_是否 @ 批量添加IP封锁",
                              "编辑框_另类封ip_IP列表定议名称 @ 批量添加IP封锁"}));
  EXPECT_EQ(
      ports.buttons,
      (std::vector<std::string>{
          "port-2x||生成2.9X系列脚本 @ 封锁端口号脚本生成", "port-3x||生成3.X系列脚本 @ 封锁端口号脚本生成",
          "address-2x||生成2.9.X系列脚本 @ 封锁IP地址脚本生成", "address-3x||生成3.X系列脚本 @ 封锁IP地址脚本生成",
          "list-2x||生成2.9.X系列脚本 @ " + first, "list-3x||生成3.X系列脚本 @ " + first,
          "clear||清 空 @ 批量添加IP封锁", "batch||生 成 @ 批量添加IP封锁"}));

  Listed keywords = show("block-keywords");
  EXPECT_EQ(keywords.fields.front(), "选择框_tcp_选择 @ 生成封锁的关键字脚本(慎用)");
  EXPECT_EQ(keywords.fields.size(), 5u);
  EXPECT_EQ(keywords.buttons.size(), 2u);

  Listed apps = show("app-block");
  EXPECT_TRUE(apps.fields.empty());
  ASSERT_EQ(apps.buttons.size(), 12u);
  EXPECT_EQ(apps.buttons[0], "xunlei-2x||生成2.9.X系列脚本 @ 封迅雷多线程下载脚本生成");
  EXPECT_EQ(apps.buttons[3], "xuanfeng-3x||生成3.X系列脚本 @ 封QQ旋风下载脚本生成");
  EXPECT_EQ(apps.buttons[11], "qq-live-3x||生成3.X系列脚本 @ 禁止腾讯QQ直播脚本生成");

  Listed tools = show("system-tools");
  EXPECT_EQ(tools.fields,
            (std::vector<std::string>{"编辑框_修改ROS计算机名 @ 修改ROS计算机名", "编辑框_备份名称 @ 备份/还原系统设置",
                                      "选择框_备份_是否删除 @ 备份/还原系统设置"}));
  ASSERT_EQ(tools.buttons.size(), 23u);
  EXPECT_EQ(tools.buttons[0], "rename|按钮_修改ROS计算机名|2.9.X/3.X通用系列脚本生成 @ 修改ROS计算机名");
  EXPECT_EQ(tools.buttons[4],
            "restore-by-date|按钮_备份_还原_备份日期|还原文件名为日期 @ 还原脚本生成(2.9.X/3.X系列通用脚本)");
  EXPECT_EQ(tools.buttons[6], "close-3x|按钮_删除_3xclose|3.X系列脚本生成 @ 自动删除close连接提升系统资源");
  // The inspection buttons stand in four rows of four, read left to right.
  const char* grid[] = {"monitor",   "connections", "reboot",  "shutdown", "reset", "clock",
                        "resource",  "pci",         "license", "packages", "users", "log",
                        "addresses", "interfaces",  "routes",  "firewall"};
  for (size_t i = 0; i < 16; ++i) {
    EXPECT_TRUE(tools.buttons[7 + i].starts_with(std::string(grid[i]) + "|")) << tools.buttons[7 + i];
    EXPECT_TRUE(tools.buttons[7 + i].ends_with(" @ 其它2.9.x/3.x通用系列脚本生成"));
  }
}

}  // namespace
}  // namespace rosgen::test
