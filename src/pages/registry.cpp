#include "pages/registry.h"

#include "pages/builders.h"

namespace rosgen {
namespace {

struct Entry {
  const char* slug;
  const char* tab;
  const char* output;
  std::array<const char*, 4> panel;  // copy, Winbox, terminal, web site
  void (*build)(Page&);
};

// clang-format off
const Entry kEntries[] = {
    {"start", "初始化界面", "", {"", "", "", ""}, nullptr},
    {"router-users", "添加管理帐号", "编辑框_系统_输出", {"按钮62", "按钮61", "按钮60", "按钮59"}, build_router_users},
    {"scheduled-reboot", "定时重启/关机", "编辑框_定时开关机_输出", {"按钮78", "按钮77", "按钮76", "按钮75"}, build_scheduled_reboot},
    {"system-tools", "其它系统优化/设置", "编辑框_系统优化_输出", {"按钮82", "按钮81", "按钮80", "按钮79"}, build_system_tools},
    {"wan-fixed", "单线固定IP安装设置", "编辑框_固定_安装_输出", {"按钮70", "按钮69", "按钮68", "按钮67"}, build_wan_fixed},
    {"wan-pppoe", "单线PPPOE拔号安装设置", "编辑框_pppoe_生成输出文本", {"按钮74", "按钮73", "按钮72", "按钮71"}, build_wan_pppoe},
    {"multi-fixed-balance", "多线固定IP负载安装设置", "编辑框_多线固定IP负载均衡安装设置_输出", {"按钮66", "按钮65", "按钮64", "按钮63"}, build_multi_fixed_balance},
    {"multi-fixed-split", "多线固定IP分流安装设置", "编辑框_输出_固定IP分流", {"按钮58", "按钮57", "按钮56", "按钮55"}, build_multi_fixed_split},
    {"multi-pppoe-balance", "多线PPPOE负载安装设置", "编辑框_输出__pppoe多线负载均衡", {"按钮54", "按钮53", "按钮52", "按钮51"}, build_multi_pppoe_balance},
    {"multi-pppoe-split", "多线PPPOE分流安装设置", "编辑框_多线分流PPPOE_输出", {"按钮50", "按钮49", "按钮48", "按钮47"}, build_multi_pppoe_split},
    {"dual-fixed", "双线固定IP电信网通安装设置", "编辑框_双线固定IP_输出", {"按钮46", "按钮45", "按钮44", "按钮43"}, build_dual_fixed},
    {"simple-queues", "queues常用限速", "编辑框_输出", {"按钮3", "按钮4", "按钮5", "按钮6"}, build_simple_queues},
    {"pcq-dynamic", "pcq动态限速", "编辑框_pcq输出", {"按钮12", "按钮11", "按钮10", "按钮9"}, build_pcq_dynamic},
    {"pcq-whole", "pcq速体限速", "编辑框_pcq整体限速输出", {"按钮14", "按钮13", "按钮8", "按钮7"}, build_pcq_whole},
    {"block-ping", "禁PING", "编辑框_禁拼", {"按钮18", "按钮17", "按钮16", "按钮15"}, build_block_ping},
    {"arp-binding", "ARP绑定", "编辑框_ARP输出", {"按钮22", "按钮21", "按钮20", "按钮19"}, build_arp_binding},
    {"tcp-limit", "限制线程", "编辑框_tcp输出", {"按钮26", "按钮25", "按钮24", "按钮23"}, build_tcp_limit},
    {"app-block", "封锁软件类", "编辑框_封锁软件输出", {"按钮30", "按钮29", "按钮28", "按钮27"}, build_app_block},
    {"port-mapping", "端口映射", "编辑框_映射_输出", {"按钮34", "按钮33", "按钮32", "按钮31"}, build_port_mapping},
    {"block-ports-ips", "封端口及封IP", "编辑框_另类封ip_输出", {"按钮38", "按钮37", "按钮36", "按钮35"}, build_block_ports_ips},
    {"block-keywords", "封关键字及域名", "编辑框_TCP输出5", {"按钮42", "按钮41", "按钮40", "按钮39"}, build_block_keywords},
    {"pptp", "PPTP设置", "编辑框_输出_PPTP", {"按钮86", "按钮85", "按钮84", "按钮83"}, build_pptp},
    {"l2tp", "L2TP设置", "编辑框_输出_P2TP", {"按钮90", "按钮89", "按钮88", "按钮87"}, build_l2tp},
    {"pppoe-server", "PPPOE设置", "编辑框_输出_pppoe", {"按钮94", "按钮93", "按钮92", "按钮91"}, build_pppoe_server},
    {"pppoe-accounts", "添加PPPOE帐号", "编辑框_输出_添加PPPOE帐号", {"按钮98", "按钮97", "按钮96", "按钮95"}, build_pppoe_accounts},
    {"ddns", "DDNS动态域名服务", "编辑框_DDNS_输出", {"按钮102", "按钮101", "按钮100", "按钮99"}, build_ddns},
    {"wireguard", "WireGuard设置", "编辑框_WG_输出", {"按钮106", "按钮105", "按钮104", "按钮103"}, build_wireguard},
};
// clang-format on

std::vector<Page> build_all() {
  std::vector<Page> all;
  int index = 0;
  for (const Entry& e : kEntries) {
    Page page;
    page.index = index++;
    page.slug = e.slug;
    page.tab = e.tab;
    page.output = e.output;
    for (size_t i = 0; i < 4; ++i) page.panel[i] = e.panel[i];
    if (e.build) e.build(page);
    all.push_back(std::move(page));
  }
  return all;
}

}  // namespace

const std::vector<Page>& pages() {
  static const std::vector<Page> all = build_all();
  return all;
}

const Page* find_page(const std::string& index_or_slug) {
  for (const Page& page : pages()) {
    if (page.slug == index_or_slug || std::to_string(page.index) == index_or_slug) return &page;
  }
  return nullptr;
}

}  // namespace rosgen
