#include "script/value_kind.h"

#include <cctype>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string_view>
#include <vector>

#include "script/form.h"
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

std::optional<std::string> kind_problem(const ValueRule& rule, const std::string& v, Writing writing) {
  // Text the script escapes keeps any character; one written as typed must be a plain word.
  const bool escaped = writing == Writing::Escaped || writing == Writing::Normalised;
  switch (rule.kind) {
    case ValueKind::Unset:
    case ValueKind::Flag:
    case ValueKind::Choice:
    case ValueKind::Password: return std::nullopt;
    case ValueKind::Text: return non_ascii(v);
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
      if (!escaped && !identifier(v)) return "含有空格、引号或其它特殊字符";
      break;
    case ValueKind::Domain:
      if (v.find_first_of(" \t") != std::string::npos) return "含有空格";
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
      if (n < rule.min && rule.below_min) return rule.below_min;
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
      bool dashes = pieces(v, '-').size() == 6;
      for (std::string_view p : pieces(v, '-')) dashes = dashes && hex_pair(p);
      // A script that turns dashes into colons takes either form.
      if (!ok && !(dashes && writing == Writing::Normalised)) {
        if (dashes) return "MAC地址应使用冒号分隔（例如01:23:45:67:89:AB）";
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

// A value read as a number is judged as the reader sees it; a full-width or
// Chinese character in it is no fault of the script's, but the user learns
// what was read.
std::optional<std::string> number_problem(const ValueRule& rule, const Gbk& value) {
  const std::string typed = trim(value).bytes();
  const std::string read = trim(half_width(trim(value))).bytes();
  if (auto bad = kind_problem(rule, read, Writing::Number)) return bad;
  if (read == typed) return std::nullopt;
  bool chinese = false;
  for (size_t i = 0; i + 1 < typed.size(); ++i) {
    const auto lead = static_cast<unsigned char>(typed[i]);
    if (lead < 0x80) continue;
    if (half_width(Gbk::from_bytes(typed.substr(i, 2))).empty()) chinese = true;
    ++i;
  }
  if (chinese) return "含有中文字符，读取时略去，读作“" + read + "”";
  return "含有全角字符，按半角读作“" + read + "”";
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

const char* dialect_name(Dialect dialect) {
  switch (dialect) {
    case Dialect::Classic: return "2.9.x/3.x";
    case Dialect::V7: return "7.x";
    case Dialect::Any: return "any";
  }
  return "any";
}

const char* writing_name(Writing writing) {
  switch (writing) {
    case Writing::Plain: return "plain";
    case Writing::Quoted: return "quoted";
    case Writing::Escaped: return "escaped";
    case Writing::Normalised: return "normalised";
    case Writing::Number: return "number";
  }
  return "quoted";
}

std::optional<std::string> writing_problem(Writing writing, const Gbk& value) {
  if (writing != Writing::Plain && writing != Writing::Quoted) return std::nullopt;
  const bool plain = writing == Writing::Plain;
  const std::string& s = value.bytes();
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    // A double-byte character is stepped over whole: its trail byte may look like "\" or "[".
    if (static_cast<unsigned char>(c) >= 0x81 && i + 1 < s.size()) {
      ++i;
      continue;
    }
    switch (c) {
      case '"':
        if (plain) return "含有双引号，脚本中这个值没有引号，双引号会被当作引号的开始";
        return "含有双引号，会破坏脚本中的引号";
      case '\r':
      case '\n': return "含有换行，会把一条命令拆成两行";
      case '$': return "含有“$”，脚本中会被当作变量";
      case '\\': return "含有反斜杠“\\”，脚本中会被当作转义符";
      default: break;
    }
    if (!plain) continue;
    if (c == ' ' || c == '\t') return "含有空格，脚本中这个值没有引号，会在空格处断开";
    if (c == ';') return "含有分号，脚本中这个值没有引号，分号会结束这条命令";
    if (std::string_view("[](){}").find(c) != std::string_view::npos) {
      return std::string("含有括号“") + c + "”，脚本中这个值没有引号，括号会被当作命令或表达式";
    }
  }
  return std::nullopt;
}

std::optional<std::string> value_problem(const ValueRule& rule, const Gbk& value) {
  return value_problem(rule, value, Dialect::Any);
}

std::optional<std::string> value_problem(const ValueRule& rule, const Gbk& value, Dialect dialect) {
  if (dialect == Dialect::Any) {
    auto classic = value_problem(rule, value, Dialect::Classic);
    auto v7 = value_problem(rule, value, Dialect::V7);
    if (classic && v7) return classic;
    if (classic) return *classic + "（2.9.x/3.x脚本）";
    if (v7) return *v7 + "（7.x脚本）";
    return std::nullopt;
  }
  const Writing writing = rule.writing(dialect);
  if (writing == Writing::Number) return number_problem(rule, value);
  if (auto bad = kind_problem(rule, trim(value).bytes(), writing)) return bad;
  // A list's items are written one by one, each already judged as an address.
  if (rule.kind == ValueKind::AddressList) return std::nullopt;
  return writing_problem(writing, trim(value));
}

namespace {

// A label as a name: without its colon and blanks; one of punctuation only ("：", "/") names nothing.
std::string own_label(std::string text) {
  auto cut = [&text](std::string_view end) {
    if (!text.ends_with(end)) return false;
    text.resize(text.size() - end.size());
    return true;
  };
  while (cut(" ") || cut(":") || cut("\xEF\xBC\x9A")) {  // a full-width colon too
  }
  const size_t start = text.find_first_not_of(' ');
  text.erase(0, start == std::string::npos ? text.size() : start);
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80 || std::isalnum(static_cast<unsigned char>(c))) return text;
  }
  return {};
}

// One text field and what stands around it.
struct Placed {
  const Field* field;
  std::string base;        // its label, or the text before it on its line
  std::string group;       // the innermost group title there is
  std::string note;        // the latest note on its line before it
  std::string first;       // its line's first label
  int place = 0;           // 1-based among the line's text fields; 0 off a line
  std::string above;       // the base of the text field before it on the page
  bool continues = false;  // no label of its own, right after another box (hh:mm:ss, address / mask)
};

// A line of items side by side, read left to right.
struct Line {
  std::string note;
  std::string first;
  std::string last;  // the latest label or note, for a field without a label of its own
  bool last_is_box = false;
  int fields = 0;
};

struct Placer {
  std::vector<Placed> out;
  std::string last;  // the latest label on the page, for a field off a line without one
  std::string above;

  void visit(const std::vector<Item>& items, const std::string& group, Line* line) {
    for (const Item& item : items) {
      if (const auto* f = std::get_if<Field>(&item.v)) {
        field(*f, group, line);
      } else if (const auto* n = std::get_if<Note>(&item.v)) {
        if (line) {
          line->note = line->last = own_label(n->text);
          line->last_is_box = false;
        }
      } else if (const auto* g = std::get_if<Group>(&item.v)) {
        visit(g->items, g->caption.empty() ? group : g->caption, nullptr);
      } else if (const auto* r = std::get_if<Row>(&item.v)) {
        // A column stacks its items: each is a line of its own.
        Line own;
        visit(r->items, group, r->stacked ? nullptr : &own);
      }
    }
  }

  void field(const Field& f, const std::string& group, Line* line) {
    const std::string label = own_label(f.label);
    const bool text = f.kind == FieldKind::Edit || f.kind == FieldKind::Multiline;
    if (text) {
      Placed p{&f, label, group, {}, {}, 0, above};
      if (line) {
        p.note = line->note;
        p.first = line->first;
        p.place = ++line->fields;
      }
      if (p.base.empty() && line && !line->last.empty()) {
        p.base = line->last;
        p.continues = line->last_is_box;
      }
      // Off a line, a box without a label is the one its group is about.
      if (p.base.empty() && !line) p.base = group;
      if (p.base.empty()) p.base = last.empty() ? f.key : last;
      above = p.base;
      out.push_back(std::move(p));
    }
    if (line && text) line->last_is_box = true;
    if (label.empty()) return;
    last = label;
    if (line) {
      line->last = label;
      line->last_is_box = text;
      if (line->first.empty()) line->first = label;
    }
  }
};

}  // namespace

std::map<std::string, std::string> field_names(const Page& page) {
  Placer placer;
  placer.visit(page.items, page.caption, nullptr);
  std::vector<Placed>& all = placer.out;
  // A box that continues the one before it is named by its line and place; any
  // other by its label. Names that still read alike take, in turn, what tells
  // them apart: the line's note, the group, the line's first label, the place
  // in the line, the field above, and at last their order on the page.
  struct Name {
    std::string core;
    std::vector<std::string> says;
    std::string text() const {
      std::string out = core;
      for (size_t i = 0; i < says.size(); ++i)
        out += (i == 0 ? "（" : "，") + says[i] + (i + 1 == says.size() ? "）" : "");
      return out;
    }
  };
  std::vector<Name> names;
  for (const Placed& p : all) {
    if (p.continues) {
      names.push_back({p.first.empty() ? p.base : p.first, {"第" + std::to_string(p.place) + "格"}});
    } else {
      names.push_back({p.base, {}});
    }
  }
  // The order among the fields of the same core name, for the last resort.
  std::vector<size_t> rank(all.size());
  std::map<std::string, size_t> ranks;
  for (size_t i = 0; i < all.size(); ++i) rank[i] = ++ranks[names[i].core];
  using Telling = std::function<std::string(size_t)>;
  const Telling tellings[] = {
      [&](size_t i) { return all[i].note; },
      [&](size_t i) { return all[i].group; },
      [&](size_t i) { return all[i].first; },
      [&](size_t i) { return all[i].place > 1 ? "第" + std::to_string(all[i].place) + "格" : std::string(); },
      [&](size_t i) { return all[i].above; },
      [&](size_t i) { return "页面上第" + std::to_string(rank[i]) + "个"; },
  };
  for (const Telling& tell : tellings) {
    std::map<std::string, std::vector<size_t>> alike;
    for (size_t i = 0; i < all.size(); ++i) alike[names[i].text()].push_back(i);
    for (const auto& [text, members] : alike) {
      if (members.size() < 2) continue;
      // Only what tells every one of them apart is said.
      std::set<std::string> told;
      for (size_t i : members) told.insert(tell(i));
      if (told.size() < members.size()) continue;
      for (size_t i : members) {
        std::string said = tell(i);
        if (!said.empty() && said != names[i].core) names[i].says.push_back(std::move(said));
      }
    }
  }
  std::map<std::string, std::string> out;
  for (size_t i = 0; i < all.size(); ++i) out[all[i].field->id] = names[i].text();
  return out;
}

std::vector<FieldWarning> field_warnings(const Form& form, const std::set<std::string>* read, Dialect dialect) {
  std::vector<FieldWarning> out;
  std::map<std::string, std::string> names;
  walk(form.page().items, [&](const Item& item, const std::string&) {
    const auto* f = std::get_if<Field>(&item.v);
    if (!f || (f->kind != FieldKind::Edit && f->kind != FieldKind::Multiline)) return;
    if (!form.enabled(f->id) || (read && read->count(f->id) == 0)) return;
    if (auto reason = value_problem(f->value, form.text(f->id), dialect)) {
      if (names.empty()) names = field_names(form.page());
      out.push_back({f->id, names[f->id], *reason});
    }
  });
  return out;
}

}  // namespace rosgen
