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

Gbk address_cidr7(const Gbk& address, const Gbk& mask) { return word7(mask.empty() ? address : cidr7(address, mask)); }

Gbk dns_list7(const Gbk& primary, const Gbk& secondary) {
  Gbk list = primary;
  if (!list.empty() && !secondary.empty()) list += ","_a;
  list += secondary;
  return word7(list);
}

Gbk lan_head7(const Ctx& c, const LanFields& f) {
  const Gbk mask = c.trimmed(f.mask);
  Gbk s = "/ip address add address="_a + address_cidr7(c.trimmed(f.ip), mask) + " interface="_a +
          word7(c.trimmed(f.nic)) + " comment=lan\r\n"_a;
  s += "/ip dns set servers="_a + dns_list7(c.trimmed(f.primary_dns), c.trimmed(f.secondary_dns)) +
       " allow-remote-requests=yes\r\n"_a;
  if (f.network != nullptr) {
    s += "/ip firewall nat add chain=srcnat src-address="_a + address_cidr7(c.trimmed(f.network), mask) +
         " action=masquerade\r\n"_a;
  }
  s += "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss="_a +
       word7(c.trimmed(f.mss)) + "\r\n"_a;
  return s;
}

Gbk mark_table7(const Gbk& name) { return "/routing table add name="_a + word7(name) + " fib\r\n"_a; }

// Connections to the router itself stay unmarked, so they are answered from
// the main table.
Gbk balance_rules7(const Gbk& lan, std::size_t lines, std::size_t i, const Gbk& mark, const Gbk& address,
                   const Gbk& comment) {
  const Gbk nic = word7(lan);
  const Gbk m = word7(mark);
  Gbk s = "/ip firewall mangle add chain=prerouting in-interface="_a + nic +
          " connection-state=new dst-address-type=!local per-connection-classifier=both-addresses:"_a +
          number_text(static_cast<std::int64_t>(lines)) + "/"_a + number_text(static_cast<std::int64_t>(i)) +
          " action=mark-connection new-connection-mark="_a + m + " passthrough=yes\r\n"_a;
  s += "/ip firewall mangle add chain=prerouting in-interface="_a + nic + " connection-mark="_a + m +
       " action=mark-routing new-routing-mark="_a + m + " passthrough=no\r\n"_a;
  s += "/ip firewall nat add chain=srcnat connection-mark="_a + m + " action=src-nat to-addresses="_a + word7(address) +
       " comment="_a + word7(comment) + "\r\n"_a;
  return s;
}

Gbk pppoe_line7(const Cells& line, const Gbk& nic, const Gbk& k, const Gbk& comment) {
  Gbk s = "/interface pppoe-client add name=pppoe-out"_a + k + " interface="_a + word7(nic) + " user="_a +
          quoted7(cell(line, 0)) + " password="_a + quoted7(cell(line, 1)) + " add-default-route=no disabled=no\r\n"_a;
  s += "/ip address add address="_a + placeholder_address(k) + "/32 interface=pppoe-out"_a + k + " comment="_a +
       word7(comment) + "\r\n"_a;
  return s;
}

// Variables without hyphens: RouterOS 7 would read $new-address as a subtraction.
Gbk pppoe_refresh7(const Gbk& bound, const char* comment_prefix, bool nat) {
  const Gbk prefix = Gbk::from_bytes(comment_prefix);
  Gbk s = ":local lines "_a + bound + "\r\n"_a;
  s += ":for i from=1 to=$lines do={\r\n"_a;
  s += "    :local iface (\"pppoe-out\" . $i)\r\n"_a;
  s += "    :local tag (\""_a + prefix + "\" . $i)\r\n"_a;
  s += "    :foreach dyn in=[/ip address find interface=$iface dynamic=yes] do={\r\n"_a;
  s += "        :local newAddress [/ip address get $dyn address]\r\n"_a;
  s += "        :set newAddress [:pick $newAddress 0 [:find $newAddress \"/\"]]\r\n"_a;
  s += "        :foreach own in=[/ip address find comment=$tag dynamic=no] do={\r\n"_a;
  s += "            :local oldAddress [/ip address get $own address]\r\n"_a;
  s += "            :if ([:pick $oldAddress 0 [:find $oldAddress \"/\"]] != $newAddress) do={\r\n"_a;
  s += "                /ip address set $own address=($newAddress . \"/32\") network=$newAddress\r\n"_a;
  if (nat) {
    s += "                /ip firewall nat set [/ip firewall nat find comment=$tag] to-addresses=$newAddress\r\n"_a;
  }
  s += "            }\r\n"_a;
  s += "        }\r\n"_a;
  s += "    }\r\n"_a;
  s += "}"_a;
  return s;
}

}  // namespace rosgen
