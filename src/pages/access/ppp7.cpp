#include "pages/access/ppp7.h"

#include <cctype>

#include "pages/ros7.h"

namespace rosgen {
namespace {

// " key=value", or nothing for an empty value.
Gbk optional_arg(Ascii key, const Gbk& value) {
  if (value.empty()) return Gbk();
  return " "_a + Gbk(key) + "="_a + word7(value);
}

}  // namespace

Gbk ppp_profile7(const Profile7& p) {
  Gbk s = optional_arg("local-address"_a, p.local_address);
  s += optional_arg("remote-address"_a, p.remote_address);
  s += " use-compression="_a + p.use_compression;
  s += " use-encryption="_a + p.use_encryption;
  s += " change-tcp-mss="_a + p.change_tcp_mss;
  s += " only-one="_a + p.only_one;
  s += optional_arg("idle-timeout"_a, p.idle_timeout);
  s += optional_arg("session-timeout"_a, p.session_timeout);
  s += optional_arg("rate-limit"_a, p.rate_limit);
  s += optional_arg("interface-list"_a, p.interface_list);
  // The servers that are given; one empty field does not leave a stray comma.
  Gbk dns = p.primary_dns;
  if (!dns.empty() && !p.secondary_dns.empty()) dns += ","_a;
  dns += p.secondary_dns;
  s += optional_arg("dns-server"_a, dns);
  return add_or_set7("/ppp profile", word7(p.name), s);
}

Gbk ppp_secret7(const Gbk& name, const Gbk& password, Ascii service, const Gbk& caller_id, const Gbk& profile) {
  Gbk s = "/ppp secret add name="_a + quoted7(name) + " password="_a + quoted7(password) + " service="_a + Gbk(service);
  if (!caller_id.empty()) s += " caller-id="_a + quoted7(caller_id);
  if (!profile.empty()) s += " profile="_a + quoted7(profile);
  return s;
}

Gbk if_profile7(const Gbk& profile, const Gbk& lines) {
  if (profile.empty() || lines.empty()) return lines;
  return ":if ([:len [/ppp profile find name="_a + quoted7(profile) + "]] = 0) do={:put "_a +
         quoted7(to_gbk("没有PPP模板") + profile + to_gbk("，请先运行服务器脚本，帐号未添加")) + "} else={\r\n"_a +
         lines + "}\r\n"_a;
}

bool is_ipv4_7(const Gbk& text) {
  const std::string& b = text.bytes();
  int octets = 0;
  std::size_t i = 0;
  while (octets < 4) {
    int value = 0;
    int digits = 0;
    while (i < b.size() && b[i] >= '0' && b[i] <= '9' && digits < 4) {
      value = value * 10 + (b[i] - '0');
      ++digits;
      ++i;
    }
    if (digits == 0 || digits > 3 || value > 255) return false;
    if (++octets < 4) {
      if (i >= b.size() || b[i] != '.') return false;
      ++i;
    }
  }
  return i == b.size();
}

Gbk caller_id7(const Gbk& mac) {
  const std::string& b = mac.bytes();
  if (b.size() != 17) return mac;
  std::string out;
  for (std::size_t i = 0; i < b.size(); ++i) {
    const auto ch = static_cast<unsigned char>(b[i]);
    if (i % 3 == 2) {
      if (ch != '-') return mac;
      out += ':';
    } else {
      if (!std::isxdigit(ch)) return mac;
      out += static_cast<char>(std::toupper(ch));
    }
  }
  return Gbk::from_bytes(std::move(out));
}

}  // namespace rosgen
