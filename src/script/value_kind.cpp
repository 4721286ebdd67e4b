#include "script/value_kind.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "script/text.h"

namespace rosgen {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A decimal number of at most `max_digits` digits, no sign, no leading zero.
bool read_number(std::string_view s, std::int64_t& out, size_t max_digits = 10) {
  if (s.empty() || s.size() > max_digits) return false;
  if (s.size() > 1 && s[0] == '0') return false;
  std::int64_t v = 0;
  for (char c : s) {
    if (!is_digit(c)) return false;
    v = v * 10 + (c - '0');
  }
  out = v;
  return true;
}

std::vector<std::string_view> pieces(std::string_view s, char sep) {
  std::vector<std::string_view> out;
  size_t start = 0;
  while (true) {
    size_t at = s.find(sep, start);
    out.push_back(s.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
    if (at == std::string_view::npos) break;
    start = at + 1;
  }
  return out;
}

bool ipv4(std::string_view s, std::uint32_t* out = nullptr) {
  auto parts = pieces(s, '.');
  if (parts.size() != 4) return false;
  std::uint32_t v = 0;
  for (std::string_view p : parts) {
    std::int64_t octet = 0;
    if (!read_number(p, octet, 3) || octet > 255) return false;
    v = (v << 8) | static_cast<std::uint32_t>(octet);
  }
  if (out) *out = v;
  return true;
}

bool prefix_length(std::string_view s) {
  std::int64_t n = 0;
  return read_number(s, n, 2) && n <= 32;
}

bool netmask(std::string_view s) {
  if (prefix_length(s)) return true;
  std::uint32_t m = 0;
  if (!ipv4(s, &m)) return false;
  // Contiguous ones from the top: the zeros below them, plus one, are a power of two.
  const std::uint32_t low = ~m;
  return (low & (low + 1)) == 0;
}

bool address(std::string_view s) {
  size_t slash = s.find('/');
  if (slash == std::string_view::npos) return ipv4(s);
  return ipv4(s.substr(0, slash)) && netmask(s.substr(slash + 1));
}

bool has_blank_or_quote(std::string_view s) {
  for (char c : s) {
    if (c == ' ' || c == '\t' || c == '"' || c == '\'' || c == '\r' || c == '\n') return true;
  }
  return false;
}

bool identifier(std::string_view s) {
  for (char c : s) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || is_digit(c) ||
                    std::string_view("-_.@:+").find(c) != std::string_view::npos;
    if (!ok) return false;
  }
  return true;
}

bool hex_pair(std::string_view s) {
  if (s.size() != 2) return false;
  for (char c : s) {
    if (!is_digit(c) && !((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

bool port(std::string_view s) {
  std::int64_t n = 0;
  return read_number(s, n, 5) && n >= 1 && n <= 65535;
}

bool leap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Non-ASCII bytes: full-width forms of ASCII characters, or other characters (Chinese).
std::optional<std::string> non_ascii(const std::string& s) {
  bool any = false;
  bool full_width = false;
  for (size_t i = 0; i < s.size(); ++i) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) continue;
    any = true;
    if (i + 1 < s.size() && (c == 0xA3 || (c == 0xA1 && static_cast<unsigned char>(s[i + 1]) == 0xA1))) {
      full_width = true;
    } else {
      return "含有中文字符，RouterOS脚本不支持";
    }
    ++i;
  }
  if (any && full_width) return "含有全角字符，脚本中会原样写出";
  return std::nullopt;
}

}  // namespace

const char* value_kind_name(ValueKind kind) {
  switch (kind) {
    case ValueKind::Unset: return "unset";
    case ValueKind::Flag: return "flag";
    case ValueKind::Choice: return "choice";
    case ValueKind::Ipv4: return "ipv4";
    case ValueKind::Address: return "address";
    case ValueKind::Netmask: return "netmask";
    case ValueKind::Range: return "range";
    case ValueKind::AddressList: return "address-list";
    case ValueKind::Prefix3: return "prefix3";
    case ValueKind::Interface: return "interface";
    case ValueKind::Name: return "name";
    case ValueKind::Text: return "text";
    case ValueKind::Rate: return "rate";
    case ValueKind::Integer: return "integer";
    case ValueKind::Time: return "time";
    case ValueKind::Date: return "date";
    case ValueKind::Mac: return "mac";
    case ValueKind::PortRange: return "port-range";
    case ValueKind::Domain: return "domain";
    case ValueKind::Password: return "password";
  }
  return "unset";
}

std::optional<std::string> value_problem(const ValueRule& rule, const Gbk& value) {
  const std::string v = trim(value).bytes();
  switch (rule.kind) {
    case ValueKind::Unset:
    case ValueKind::Flag:
    case ValueKind::Choice: return std::nullopt;
    case ValueKind::Password:
      if (v.find('"') != std::string::npos || v.find_first_of("\r\n") != std::string::npos) {
        return "含有双引号或换行，会破坏脚本中的引号";
      }
      return std::nullopt;
    case ValueKind::Text:
      if (v.find('"') != std::string::npos) return "含有双引号，会破坏脚本中的引号";
      if (v.find_first_of("\r\n") != std::string::npos) return "含有换行，会把一条命令拆成两行";
      return non_ascii(v);
    default: break;
  }
  if (auto bad = non_ascii(v)) return bad;
  if (v.empty() && rule.kind != ValueKind::AddressList) return "不能为空";
  switch (rule.kind) {
    case ValueKind::Ipv4:
      if (!ipv4(v)) return "不是有效的IP地址";
      break;
    case ValueKind::Address:
      if (!address(v)) return "不是有效的IP地址或网段";
      break;
    case ValueKind::Netmask:
      if (!netmask(v)) return "不是有效的子网掩码或前缀长度";
      break;
    case ValueKind::Range: {
      auto ends = pieces(v, '-');
      std::uint32_t a = 0;
      std::uint32_t b = 0;
      if (ends.size() == 1 ? !ipv4(ends[0]) : ends.size() != 2 || !ipv4(ends[0], &a) || !ipv4(ends[1], &b) || a > b) {
        return "不是有效的IP地址范围";
      }
      break;
    }
    case ValueKind::AddressList: {
      std::string unified = v;
      for (char& c : unified) {
        if (c == '\r' || c == '\n') c = ',';
      }
      for (std::string_view item : pieces(unified, ',')) {
        while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
        while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
        if (item.empty()) continue;
        if (!address(item)) return "含有无效的地址：" + std::string(item);
      }
      break;
    }
    case ValueKind::Prefix3: {
      auto parts = pieces(v, '.');
      std::int64_t n = 0;
      bool ok = parts.size() == 3;
      for (std::string_view p : parts) ok = ok && read_number(p, n, 3) && n <= 255;
      if (!ok) return "不是有效的网段前三段（例如192.168.0）";
      break;
    }
    case ValueKind::Interface:
    case ValueKind::Name:
      if (!identifier(v)) return "含有空格、引号或其它特殊字符";
      break;
    case ValueKind::Domain:
      if (has_blank_or_quote(v)) return "含有空格或引号";
      break;
    case ValueKind::Rate: {
      // The generators multiply by 8000 and print with 13 significant digits.
      std::int64_t whole = 0;
      size_t point = v.find('.');
      std::string_view int_part = std::string_view(v).substr(0, point);
      std::string_view frac = point == std::string::npos ? std::string_view() : std::string_view(v).substr(point + 1);
      if (!int_part.empty() && int_part[0] == '-') return "速率不能为负数";
      bool digits_only = !int_part.empty() && int_part.size() <= 18;
      for (char c : int_part) digits_only = digits_only && is_digit(c);
      for (char c : frac) digits_only = digits_only && is_digit(c);
      if (!digits_only || (point != std::string::npos && frac.empty())) return "不是有效的数字";
      for (char c : int_part) whole = whole * 10 + (c - '0');
      if (whole >= 1'250'000'000) return "速率过大，脚本中会写成科学计数法";
      break;
    }
    case ValueKind::Integer: {
      // Leading zeros are fine here ("05" minutes), unlike in addresses.
      const bool negative = v[0] == '-';
      std::string_view digits = std::string_view(v).substr(negative ? 1 : 0);
      while (digits.size() > 1 && digits[0] == '0') digits.remove_prefix(1);
      std::int64_t n = 0;
      if (!read_number(digits, n, 12)) return "不是整数";
      if (negative) n = -n;
      if (n < rule.min || n > rule.max) {
        return "应在" + std::to_string(rule.min) + "到" + std::to_string(rule.max) + "之间";
      }
      break;
    }
    case ValueKind::Time: {
      auto parts = pieces(v, ':');
      std::int64_t h = 0, m = 0, s = 0;
      auto two = [](std::string_view p, std::int64_t& out) {
        return p.size() == 2 && is_digit(p[0]) && is_digit(p[1]) && ((out = (p[0] - '0') * 10 + (p[1] - '0')), true);
      };
      if (parts.size() != 3 || !two(parts[0], h) || !two(parts[1], m) || !two(parts[2], s) || h > 23 || m > 59 ||
          s > 59) {
        return "不是有效的时间（时:分:秒，例如23:59:59）";
      }
      break;
    }
    case ValueKind::Date: {
      auto parts = pieces(v, '/');
      bool ok = parts.size() == 3 && parts[0].size() == 4 && parts[1].size() == 2 && parts[2].size() == 2;
      std::int64_t y = 0, m = 0, d = 0;
      for (size_t i = 0; ok && i < 3; ++i) {
        for (char c : parts[i]) ok = ok && is_digit(c);
      }
      if (ok) {
        for (char c : parts[0]) y = y * 10 + (c - '0');
        m = (parts[1][0] - '0') * 10 + (parts[1][1] - '0');
        d = (parts[2][0] - '0') * 10 + (parts[2][1] - '0');
        static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        ok = y >= 1970 && m >= 1 && m <= 12 && d >= 1 && d <= kDays[m - 1] + (m == 2 && leap(y) ? 1 : 0);
      }
      if (!ok) return "不是有效的日期（年/月/日，例如2010/03/05）";
      break;
    }
    case ValueKind::Mac: {
      auto parts = pieces(v, ':');
      bool ok = parts.size() == 6;
      for (std::string_view p : parts) ok = ok && hex_pair(p);
      if (!ok) {
        if (pieces(v, '-').size() == 6) return "MAC地址应使用冒号分隔（例如01:23:45:67:89:AB）";
        return "不是有效的MAC地址";
      }
      break;
    }
    case ValueKind::PortRange: {
      // One port, a range, or a comma list of them: RouterOS takes all three.
      bool ok = true;
      for (std::string_view item : pieces(v, ',')) {
        size_t dash = item.find('-');
        ok = ok &&
             (dash == std::string_view::npos ? port(item) : port(item.substr(0, dash)) && port(item.substr(dash + 1)));
      }
      if (!ok) return "不是有效的端口或端口范围（1-65535）";
      break;
    }
    default: break;
  }
  return std::nullopt;
}

}  // namespace rosgen
