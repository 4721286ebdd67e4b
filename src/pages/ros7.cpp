#include "pages/ros7.h"

#include <cstdint>
#include <cstdio>

#include "script/text.h"

namespace rosgen {

Gbk quoted7(const Gbk& value) {
  std::string out = "\"";
  const std::string& in = value.bytes();
  for (size_t i = 0; i < in.size(); ++i) {
    const char ch = in[i];
    const auto u = static_cast<unsigned char>(ch);
    // A double-byte character stays whole: its second byte may look like a backslash.
    if (u >= 0x81 && u <= 0xFE && i + 1 < in.size()) {
      out += ch;
      out += in[++i];
      continue;
    }
    switch (ch) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '$': out += "\\$"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default:
        if (u < 0x20 || u == 0x7f) {
          char hex[4];
          std::snprintf(hex, sizeof hex, "\\%02X", u);
          out += hex;
        } else {
          out += ch;
        }
    }
  }
  out += '"';
  return Gbk::from_bytes(std::move(out));
}

Gbk word7(const Gbk& value) {
  if (value.empty()) return quoted7(value);
  for (char ch : value.bytes()) {
    const bool plain = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
                       std::string_view("._:/,+-@!").find(ch) != std::string_view::npos;
    if (!plain) return quoted7(value);
  }
  // A leading ! would negate the value.
  if (value.bytes()[0] == '!') return quoted7(value);
  return value;
}

namespace {

// The four octets of a dotted quad, or false.
bool parse_quad(const std::string& s, std::uint32_t& out) {
  std::uint32_t value = 0;
  int octets = 0;
  size_t i = 0;
  while (octets < 4) {
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
    unsigned octet = 0;
    int digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      octet = octet * 10 + static_cast<unsigned>(s[i] - '0');
      if (++digits > 3 || octet > 255) return false;
      ++i;
    }
    value = (value << 8) | octet;
    if (++octets < 4) {
      if (i >= s.size() || s[i] != '.') return false;
      ++i;
    }
  }
  if (i != s.size()) return false;
  out = value;
  return true;
}

}  // namespace

Gbk prefix_length7(const Gbk& mask) {
  std::uint32_t m = 0;
  if (!parse_quad(mask.bytes(), m)) return mask;
  int len = 0;
  while (len < 32 && (m & (0x80000000u >> len)) != 0) ++len;
  // Not contiguous: leave it for the router to judge.
  if (len < 32 && (m << len) != 0) return mask;
  return number_text(len);
}

Gbk cidr7(const Gbk& address, const Gbk& mask) { return address + "/"_a + prefix_length7(mask); }

Gbk iso_date7(const Date& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return Gbk::from_bytes(text);
}

Outcome refuse7(Ctx& c, const std::string& what) {
  return c.refuse("RouterOS 7 没有" + what + "，无法生成7.X系列脚本。");
}

namespace {

// `port` off the default bridge, without a DHCP client, in `list` and no other.
Gbk port_in_list7(const Gbk& port, Ascii list) {
  const Gbk p = word7(port);
  Gbk s = "/interface bridge port remove [find interface="_a + p + "]\r\n"_a;
  s += "/ip dhcp-client remove [find interface="_a + p + "]\r\n"_a;
  s += "/interface list member remove [find interface="_a + p + "]\r\n"_a;
  s += "/interface list member add list="_a + Gbk(list) + " interface="_a + p + "\r\n"_a;
  return s;
}

}  // namespace

Gbk uplink_port7(const Gbk& port) { return port_in_list7(port, "WAN"_a); }

Gbk lan_port7(const Gbk& port) { return port_in_list7(port, "LAN"_a); }

Gbk wan_member7(const Gbk& interface) {
  const Gbk i = word7(interface);
  return "/interface list member remove [find list=WAN interface="_a + i +
         "]\r\n/interface list member add list=WAN interface="_a + i + "\r\n"_a;
}

Gbk fasttrack_spare_marked7() {
  return "/ip firewall filter set [find comment=\"defconf: fasttrack\"] connection-mark=no-mark\r\n"_a;
}

Gbk fasttrack_off7() { return "/ip firewall filter disable [find comment=\"defconf: fasttrack\"]\r\n"_a; }

Gbk before_defconf7(const char* comment) {
  return " place-before=[find comment=\""_a + Gbk::from_bytes(comment) + "\"]"_a;
}

Gbk unless_found7(const Gbk& find, const Gbk& command) {
  return ":if ([:len ["_a + find + "]] = 0) do={"_a + command + "}"_a;
}

Gbk routing_table7(const Gbk& name) {
  return unless_found7("/routing table find name="_a + name, "/routing table add name="_a + name + " fib"_a) + "\r\n"_a;
}

Gbk remove_named7(const char* menu, const Gbk& name) {
  return Gbk::from_bytes(menu) + " remove [find name="_a + name + "]\r\n"_a;
}

Gbk add_or_set7(const char* menu, const Gbk& name, const Gbk& args) {
  const Gbk m = Gbk::from_bytes(menu);
  return ":if ([:len ["_a + m + " find name="_a + name + "]] = 0) do={"_a + m + " add name="_a + name + args +
         "} else={"_a + m + " set [find name="_a + name + "]"_a + args + "}\r\n"_a;
}

}  // namespace rosgen
