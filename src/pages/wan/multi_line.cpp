#include "pages/wan/multi_line.h"

#include <algorithm>
#include <cstdint>

#include "pages/ros7.h"
#include "script/line_list.h"
#include "script/text.h"

namespace rosgen {

Row line_editor_buttons(const std::string& list_id, const std::string& duplicate, bool stacked) {
  std::vector<Item> buttons = {
      button("delete", "", "删除帐号", delete_line_handler(list_id)),
      button("modify", "", "修改帐号", modify_line_handler(list_id)),
      button("add", "", "添加帐号", add_line_handler(list_id, duplicate)),
  };
  if (stacked) return column(std::move(buttons));
  return row(std::move(buttons));
}

bool enough_lines(Ctx& c, const std::string& list_id) {
  const size_t lines = c.form.rows(list_id).size();
  if (lines == 0) {
    c.refuse("您还没有添加帐号,至少添加两个以上帐号!\r\n如果是单线,请选择安装单PPPoE脚本", "错误");
    return false;
  }
  if (lines == 1) {
    c.refuse("您只添加了一个帐号,至少添加两个以上帐号!\r\n如果是单线,请选择安装单PPPoE脚本", "错误");
    return false;
  }
  return true;
}

bool start_lines(Ctx& c, const std::string& list_id, const LanFields& lan) {
  if (!enough_lines(c, list_id)) return false;
  c.write(Gbk());
  c.append(lan_head(c, lan));
  return true;
}

Gbk lan_head(const Ctx& c, const LanFields& f) {
  const Gbk mask = c.trimmed(f.mask);
  Gbk s = "/ip address add address="_a + c.trimmed(f.ip) + "/"_a + mask + " interface="_a + c.trimmed(f.nic) +
          " comment=lan\r\n"_a;
  s += "/ip dns set primary-dns="_a + c.trimmed(f.primary_dns) + " secondary-dns="_a + c.trimmed(f.secondary_dns) +
       " allow-remote-requests=yes\r\n"_a;
  if (f.network != nullptr) {
    s += "/ip firewall nat add action=masquerade chain=srcnat src-address="_a + c.trimmed(f.network) + "/"_a + mask +
         "\r\n"_a;
  }
  s += "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss="_a +
       c.trimmed(f.mss) + "\r\n"_a;
  return s;
}

Gbk balance_rules(const Gbk& lan, std::size_t lines, std::size_t i, const Gbk& address) {
  const Gbk every = number_text(static_cast<int>(lines) - 1);
  const Gbk k = number_text(static_cast<int>(i) + 1);
  Gbk s = "/ip firewall mangle add chain=prerouting in-interface="_a + lan + " connection-state=new nth="_a + every +
          ",1,"_a + number_text(static_cast<int>(i)) + " action=mark-connection new-connection-mark="_a + k +
          " passthrough=yes disabled=no\r\n"_a;
  s += "/ip firewall mangle add chain=prerouting in-interface="_a + lan + " connection-mark="_a + k +
       " action=mark-routing new-routing-mark="_a + k + " passthrough=no disabled=no\r\n"_a;
  s += "/ip firewall nat add chain=srcnat connection-mark="_a + k + " action=src-nat to-addresses="_a + address +
       " to-ports=0-65535 comment=\""_a + k + "\" disabled=no\r\n"_a;
  return s;
}

Gbk pppoe_client(const Cells& line, const Gbk& nic, const Gbk& k, const Gbk& comment) {
  Gbk s = "/interface pppoe-client add name=\"pppoe-out"_a + k + "\" interface="_a + nic + " user=\""_a +
          cell(line, 0) + "\" password=\""_a + cell(line, 1) + "\" add-default-route=no disabled=no\r\n"_a;
  s += "/interface pppoe-client enable pppoe-out"_a + k + "\r\n"_a;
  s += "/ip address add address="_a + placeholder_address(k) + "/32 interface=pppoe-out"_a + k + " comment=\""_a +
       comment + "\"\r\n"_a;
  return s;
}

const char* const kSchedulerNote =
    "将右边所生成的\"动态刷新网关\"脚本复制到ROS的计划任务上,设置30秒钟运行一次!\r\n"
    "打开winbox后进入\"System\"再点击\"Scheduler\",点击窗口上面红色的\"+\"号\r\n"
    "每一步将\"Name\"设置为:adsl\r\n"
    "每二步\"Start Data\"及\"Start Time\"保持默认\r\n"
    "每三步将\"Interval\"这里设置为:00:00:30  (即为30秒运行一次\r\n"
    "第四步将\"动态刷新网关\"脚本粘贴到\"On Event\"里面，这样就完成了!";

// A bound of 2 with three or more lines would leave the later lines on their
// placeholder address for ever.
Gbk refresh_bound(const Form& form, const std::string& list_id) {
  auto lines = static_cast<std::int64_t>(form.rows(list_id).size());
  return number_text(std::max<std::int64_t>(2, lines));
}

Gbk lan_head7(const Ctx& c, const LanFields& f) {
  const Gbk nic = c.trimmed(f.nic);
  Gbk s = lan_port7(nic);
  s += drop_default_uplink7();
  s += lan_address7(address_cidr7(c.trimmed(f.ip), c.trimmed(f.mask)), nic, "lan"_a);
  const Gbk servers = dns_list7(c.trimmed(f.primary_dns), c.trimmed(f.secondary_dns));
  s += "/ip dns set"_a + (servers.empty() ? Gbk() : " servers="_a + servers) + " allow-remote-requests=yes\r\n"_a;
  s += mss_clamp7(c.trimmed(f.mss));
  s += fasttrack_spare_marked7();
  return s;
}

// Routing marks come last: the first packet of a connection must already carry its
// connection mark when they look at it, or it leaves by `main` and the rest by the line.
Gbk lines_script7(const Gbk& head, const std::vector<Line7>& lines) {
  std::vector<Uplink7> uplinks;
  Gbk s = head;
  for (const Line7& line : lines) {
    s += line.setup;
    uplinks.push_back(line.uplink);
  }
  s += uplink_routes7(uplinks);
  for (const Line7& line : lines) s += reply_mark7(line.uplink);
  for (const Line7& line : lines) {
    if (line.network.empty()) continue;
    s += "/ip firewall mangle add chain=prerouting in-interface-list=LAN dst-address="_a + line.network +
         " action=accept comment="_a + word7(line.uplink.name) + "\r\n"_a;
  }
  for (const Line7& line : lines) s += line.classify;
  for (const Line7& line : lines) s += route_marks7(line.uplink);
  return s;
}

Gbk multi_script7(const Ctx& c, const LanFields& f, const std::vector<Line7>& lines) {
  Gbk s = lines_script7(lan_head7(c, f), lines);
  if (f.ipv6 == nullptr || !c.checked(f.ipv6)) return replacing7(s);
  std::vector<Uplink7> uplinks;
  uplinks.reserve(lines.size());
  for (const Line7& line : lines) uplinks.push_back(line.uplink);
  return replacing7(s + ipv6_7(c.trimmed(f.nic), uplinks));
}

Gbk fixed_line7(const Gbk& address, const Gbk& mask, const Gbk& nic, const Gbk& name, const Gbk& source) {
  Gbk s = uplink_port7(nic);
  s += "/ip address add address="_a + address_cidr7(address, mask) + " interface="_a + word7(nic) + " comment="_a +
       word7(name) + "\r\n"_a;
  s += masquerade7(nic, source, name);
  return s;
}

// The client's own default route goes with its session, so a line that drops leaves `main`.
Gbk pppoe_line7(const Cells& line, const Gbk& nic, int k, const Gbk& name, const Gbk& source, bool peer_dns) {
  const Gbk iface = "pppoe-out"_a + number_text(k);
  Gbk s = uplink_port7(nic);
  // Routes, marks and lists refer to the interface: a second press sets it anew.
  s += add_or_set7("/interface pppoe-client", iface,
                   " interface="_a + word7(nic) + " user="_a + quoted7(cell(line, 0)) + " password="_a +
                       quoted7(cell(line, 1)) + " add-default-route=yes default-route-distance="_a + number_text(k) +
                       " use-peer-dns="_a + (peer_dns ? "yes"_a : "no"_a) + " disabled=no comment="_a + word7(name));
  s += wan_member7(iface);
  s += masquerade7(iface, source, name);
  return s;
}

// Traffic for the router itself stays unmarked and is answered from `main`.
Gbk pcc_rule7(const Gbk& lan, std::size_t lines, std::size_t i, const Gbk& mark) {
  const Gbk m = word7(mark);
  return "/ip firewall mangle add chain=prerouting in-interface="_a + word7(lan) +
         " connection-mark=no-mark dst-address-type=!local per-connection-classifier=both-addresses:"_a +
         number_text(static_cast<std::int64_t>(lines)) + "/"_a + number_text(static_cast<std::int64_t>(i)) +
         " action=mark-connection new-connection-mark="_a + m + " passthrough=yes comment="_a + m + "\r\n"_a;
}

Gbk split_rule7(const Gbk& range, const Gbk& mark) {
  const Gbk m = word7(mark);
  return "/ip firewall mangle add chain=prerouting src-address="_a + word7(range) +
         " connection-mark=no-mark dst-address-type=!local action=mark-connection new-connection-mark="_a + m +
         " passthrough=yes comment="_a + m + "\r\n"_a;
}

// Nothing to move: NAT masquerades on each pppoe-out<i> and routes name the interface. What
// is left worth running every 30 seconds is telling the log which line is down.
Gbk pppoe_refresh7(const Gbk& bound) {
  Gbk s =
      "# RouterOS 7 needs no gateway refresh: each line masquerades on its own pppoe-outN and its routes name the "
      "interface, so a new address from the carrier changes nothing. This script only logs the lines that are "
      "down.\r\n"_a;
  s += ":for i from=1 to="_a + bound + " do={\r\n"_a;
  s += "    :local iface (\"pppoe-out\" . $i)\r\n"_a;
  s += "    :foreach id in=[/interface find name=$iface running=no] do={\r\n"_a;
  s += "        :log warning ($iface . \" is down\")\r\n"_a;
  s += "    }\r\n"_a;
  s += "}\r\n"_a;
  return s;
}

}  // namespace rosgen
