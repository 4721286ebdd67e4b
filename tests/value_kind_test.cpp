// Which values fit which kind, as each dialect writes them: for each kind,
// values that must pass and values that must warn, with the edges where a
// fault would hide; the names warnings give fields; and, over every field of
// every page, the declared writing against what the scripts really do.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <tuple>

#include "script/text.h"
#include "script/value_kind.h"
#include "support.h"

namespace rosgen {
namespace {

struct KindCase {
  ValueRule rule;
  std::vector<const char*> pass;
  std::vector<const char*> warn;
};

ValueRule kind(ValueKind k, std::int64_t min = 0, std::int64_t max = 0) { return ValueRule{k, min, max}; }

TEST(ValueKind, PassAndWarnPerKind) {
  const KindCase cases[] = {
      {kind(ValueKind::Ipv4),
       {"192.168.0.1", "0.0.0.0", "255.255.255.255", " 10.0.0.1　"},
       {"256.1.1.1", "1.2.3", "1.2.3.4.5", "01.2.3.4", "1.2.3.4/24", "", "１.2.3.4", "a.b.c.d", "1..2.3"}},
      {kind(ValueKind::Address),
       {"192.168.0.0/24", "10.0.0.1", "192.168.0.0/255.255.255.0"},
       {"192.168.0.0/33", "192.168.0.0/", "/24", "192.168.0.0/255.0.255.0"}},
      {kind(ValueKind::Netmask),
       {"255.255.255.0", "24", "0", "32", "255.255.255.255", "0.0.0.0", "255.255.255.248"},
       {"33", "255.0.255.0", "255.255.255.1", "", "024"}},
      {kind(ValueKind::Range),
       {"192.168.0.2-192.168.0.254", "10.0.0.1"},
       {"192.168.0.254-192.168.0.2", "192.168.0.2-", "1.2.3.4-5"}},
      {kind(ValueKind::AddressList),
       {"", "1.2.3.4", "1.2.3.4,5.6.7.0/24", "1.2.3.4\r\n5.6.7.8", "1.2.3.4, 5.6.7.8", "1.2.3.4,"},
       {"1.2.3.4，5.6.7.8", "1.2.3.4,x", "1.2.3.4;5.6.7.8"}},
      {kind(ValueKind::Prefix3), {"192.168.0", "10.0.0"}, {"192.168.0.1", "192.168", "192.168.256", ""}},
      {kind(ValueKind::Interface), {"ether1", "pppoe-out1", "wlan_2"}, {"ether 1", "\"ether1\"", "网卡", ""}},
      {kind(ValueKind::Name), {"ketrova5", "PPPoE_Server", "a.b-c"}, {"my svc", "a\"b", "用户", "", "a$b", "a;b"}},
      {kind(ValueKind::Text),
       {"", "ADMIN-KETROVA5", "any text, with blanks"},
       {"say \"hi\"", "中文备注", "two\r\nlines"}},
      {kind(ValueKind::Password), {"", "s3cret", "p w;[x]", "密码"}, {"a\"b", "a\r\nb", "p$x"}},
      {kind(ValueKind::Domain), {"www.example.com", "qq", "sex"}, {"a b", "key\"word", ""}},
      {kind(ValueKind::Rate),
       {"0", "512", "1249999999", "10.5", "1.25"},
       {"10000000000", "1250000000", "inf", "0x10", "-5", "", "1e3", "12.", "abc", "１２"}},
      {kind(ValueKind::Integer, 0, 23), {"0", "23", "05", "7"}, {"24", "-1", "10.5", "", "１２", "7h", " "}},
      {kind(ValueKind::Integer, 1, 8), {"1", "8"}, {"0", "9"}},
      {kind(ValueKind::Integer, 0, 59), {"59", "00"}, {"60"}},
      {kind(ValueKind::Time), {"23:59:59", "00:00:00", "07:05:09"}, {"24:00:00", "7:5:9", "23:60:00", "12:00", ""}},
      {kind(ValueKind::Date),
       {"2012/02/29", "2000/02/29", "2010/03/05", "2010/12/31"},
       {"2011/02/29", "1900/02/29", "2010/3/5", "２０10/03/05", "2010-03-05", "2010/13/01", "2010/04/31", ""}},
      {kind(ValueKind::Mac),
       {"01:23:45:67:89:AB", "01:23:45:67:89:ab"},
       {"01-23-45-67-89-ab", "01:23:45:67:89", "0g:23:45:67:89:AB"}},
      {kind(ValueKind::PortRange),
       {"80", "6881-6889", "65535", "1", "21,80,110", "80,6881-6889"},
       {"0", "65536", "80-", "http", "", "80,", "80;443"}},
  };
  for (const KindCase& c : cases) {
    SCOPED_TRACE(value_kind_name(c.rule.kind));
    for (const char* v : c.pass) EXPECT_EQ(value_problem(c.rule, to_gbk(v)), std::nullopt) << "should pass: " << v;
    for (const char* v : c.warn) EXPECT_NE(value_problem(c.rule, to_gbk(v)), std::nullopt) << "should warn: " << v;
  }
}

// The reason names what would go wrong, so the user knows what to fix.
TEST(ValueKind, ReasonsSayWhatBreaks) {
  const struct {
    ValueRule rule;
    const char* value;
    const char* reason;
  } cases[] = {
      {kind(ValueKind::Ipv4), "", "不能为空"},
      {kind(ValueKind::Ipv4), "1.2.3", "不是有效的IP地址"},
      {kind(ValueKind::Rate), "10000000000", "速率过大，脚本中会写成科学计数法"},
      {kind(ValueKind::Rate), "-5", "速率不能为负数"},
      {kind(ValueKind::Name), "用户", "含有中文字符，RouterOS脚本不支持"},
      {kind(ValueKind::Integer, 0, 23), "１２", "含有全角字符，脚本中会原样写出"},
      {kind(ValueKind::Integer, 0, 59), "60", "应在0到59之间"},
      {kind(ValueKind::Text), "a\"b", "含有双引号，会破坏脚本中的引号"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(value_problem(c.rule, to_gbk(c.value)).value_or(""), c.reason) << c.value;
  }
}

// The same value judged for each dialect as that dialect writes it: a warning
// holds where the script would break or misread the value, and nowhere else.
TEST(ValueKind, EachDialectJudgesItsOwnWriting) {
  auto rule = [](ValueKind k, Writing classic, Writing v7, std::int64_t min = 0, std::int64_t max = 0) {
    return ValueRule{k, min, max, classic, v7};
  };
  const ValueRule password_quoted = rule(ValueKind::Password, Writing::Quoted, Writing::Escaped);
  const ValueRule password_plain = rule(ValueKind::Password, Writing::Plain, Writing::Escaped);
  const ValueRule mac = rule(ValueKind::Mac, Writing::Plain, Writing::Normalised);
  const ValueRule name = rule(ValueKind::Name, Writing::Plain, Writing::Escaped);
  const ValueRule count = rule(ValueKind::Integer, Writing::Number, Writing::Number, 0, 100);
  ValueRule length = rule(ValueKind::Integer, Writing::Number, Writing::Number, 1, 100);
  length.below_min = "为空";
  const struct {
    ValueRule rule;
    const char* value;
    Dialect dialect;
    const char* reason;  // empty: no warning
  } cases[] = {
      {password_quoted, "a\"b", Dialect::Any, "含有双引号，会破坏脚本中的引号（2.9.x/3.x脚本）"},
      {password_quoted, "a b;c", Dialect::Classic, ""},
      {password_quoted, "p$x", Dialect::Classic, "含有“$”，脚本中会被当作变量"},
      {password_quoted, "俓", Dialect::Classic, ""},  // its second GBK byte is a backslash
      {password_plain, "a[b", Dialect::Classic, "含有括号“[”，脚本中这个值没有引号，括号会被当作命令或表达式"},
      {mac, "00-0C-29-AB-CD-EF", Dialect::V7, ""},
      {mac, "00-0C-29-AB-CD", Dialect::V7, "不是有效的MAC地址"},
      {name, "my \"svc\"", Dialect::V7, ""},
      {name, "用户", Dialect::V7, "含有中文字符，RouterOS脚本不支持"},
      {count, "10个", Dialect::V7, "含有中文字符，读取时略去，读作“10”"},
      {count, "１０００", Dialect::Classic, "应在0到100之间"},
      {length, "-3", Dialect::Classic, "为空"},
      {length, "101", Dialect::Classic, "应在1到100之间"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(value_problem(c.rule, to_gbk(c.value), c.dialect).value_or(""), c.reason)
        << c.value << " for " << dialect_name(c.dialect);
  }
}

// A warning names a field the user can find: fields that read alike on a page
// are told apart by the note that starts their part of the line, their group,
// the line's first label, their place in the line, the field above them, or
// their order on the page.
TEST(ValueKind, FieldNamesTellAlikeFieldsApart) {
  const struct {
    const char* page;
    const char* id;
    const char* name;
  } cases[] = {
      {"simple-queues", "编辑框_下载", "下载（普通速度）"},
      {"simple-queues", "编辑框_平均下载", "下载（平均速度）"},
      {"simple-queues", "编辑框_突发极限上传", "上传（突发极限）"},
      {"simple-queues", "编辑框_普通突发下载", "下载（普通突发）"},
      {"simple-queues", "编辑框_机器数量尾", "至（机器数量）"},
      {"simple-queues", "编辑框_结束小时", "至（时间）"},
      {"simple-queues", "编辑框_开始分钟", "时间（第2格）"},
      {"simple-queues", "编辑框_结束秒", "时间（第6格）"},
      {"simple-queues", "编辑框_开始小时", "时间"},
      {"pcq-dynamic", "编辑框_pcq网卡3", "当网卡（页面上第3个）"},
      {"block-ports-ips", "编辑框_封锁IP_子网", "要封锁的IP（第2格，封锁IP地址脚本生成）"},
      {"block-ports-ips", "编辑框_另类封ip列表", "批量添加IP封锁"},
      {"scheduled-reboot", "编辑框_重启_调度名称", "调度名称（定时重启脚本生成）"},
      {"wan-fixed", "编辑框_安装_外网子网掩码", "子网掩码（外网IP）"},
      {"wan-fixed", "编辑框_安装_外网网关ip", "外网网关IP"},
      {"pppoe-accounts", "编辑框_添加PPPOE帐号_MAC", "绑定MAC"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(field_names(*find_page(c.page))[c.id], c.name) << c.page << " " << c.id;
  }
  // Over every page: each text field has a name, and no two read alike.
  for (const Page& page : pages()) {
    std::set<std::string> seen;
    for (const auto& [id, name] : field_names(page)) {
      EXPECT_FALSE(name.empty()) << page.slug << " " << id;
      EXPECT_TRUE(seen.insert(name).second) << page.slug << " " << id << " reads as another field: " << name;
    }
  }
}

// --- Every field of every page, as its dialects' scripts really write it ---

// The words of a script as the router reads them: commands end at line ends
// and ";", words at blanks, quotes and escapes resolved. What only the running
// script would know ("$", brackets, a line break inside quotes, a quote left
// open) stands as a mark. The scripts inside source= and on-event= are read the same way.
std::vector<std::string> words(std::string_view s) {
  constexpr char kMark = '\x01';
  std::vector<std::string> out;
  std::string word;
  bool in_word = false;
  auto end_word = [&] {
    if (!in_word) return;
    in_word = false;
    for (const char* inner : {"source=", "on-event="}) {
      if (!word.starts_with(inner)) continue;
      out.push_back(inner);
      for (std::string& w : words(std::string_view(word).substr(std::strlen(inner)))) out.push_back("{" + w);
      word.clear();
      return;
    }
    out.push_back(std::move(word));
    word.clear();
  };
  auto line_end_at = [&](size_t i) { return s.substr(i).starts_with("\n") || s.substr(i).starts_with("\r\n"); };
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\\' && line_end_at(i + 1)) {  // the line goes on
      i = s.find('\n', i);
      while (i + 1 < s.size() && (s[i + 1] == ' ' || s[i + 1] == '\t')) ++i;
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\r') {
      end_word();
      continue;
    }
    if (c == '\n' || c == ';') {
      end_word();
      out.push_back("\n");
      continue;
    }
    in_word = true;
    if (c != '"') {
      if (std::string_view("$[](){}\\").find(c) != std::string_view::npos) word += kMark;
      word += c;
      continue;
    }
    bool closed = false;
    for (++i; i < s.size(); ++i) {
      c = s[i];
      if (c == '"') {
        closed = true;
        break;
      }
      if (c == '$' || c == '\r' || c == '\n') word += kMark;
      if (c != '\\' || i + 1 >= s.size()) {
        word += c;
        continue;
      }
      if (line_end_at(i + 1)) {
        i = s.find('\n', i);
        continue;
      }
      const char e = s[++i];
      if (std::isxdigit(static_cast<unsigned char>(e)) && i + 1 < s.size() &&
          std::isxdigit(static_cast<unsigned char>(s[i + 1]))) {
        word += static_cast<char>(std::stoi(std::string(s.substr(i, 2)), nullptr, 16));
        ++i;
      } else {
        word += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e == '_' ? ' ' : e;
      }
    }
    if (!closed) word += std::string(1, kMark) + "unclosed";
  }
  end_word();
  return out;
}

// A URL's query carries a value percent-encoded (RFC 3986): that keeps it whole too.
std::string percent_encoded(const std::string& text) {
  std::string out;
  for (char ch : text) {
    if (std::isalnum(static_cast<unsigned char>(ch)) || std::string_view("-._~").find(ch) != std::string_view::npos) {
      out += ch;
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(ch));
      out += hex;
    }
  }
  return out;
}

// Whether `got` is `want` with `value` (as it is, or percent-encoded) wherever `benign` stood.
bool keeps(const std::string& want, const std::string& got, const std::string& benign, const std::string& value) {
  const size_t at = want.find(benign);
  if (at == std::string::npos) return want == got;
  if (got.compare(0, at, want, 0, at) != 0) return false;
  const std::string rest = want.substr(at + benign.size());
  for (const std::string& form : {value, percent_encoded(value)}) {
    if (got.compare(at, form.size(), form) == 0 && keeps(rest, got.substr(at + form.size()), benign, value))
      return true;
  }
  return false;
}

// Whether the script with `value` reads as the one with `benign`, the value kept whole where it stood.
bool kept_whole(const std::string& benign_script, const std::string& script, const std::string& benign,
                const std::string& value) {
  const std::vector<std::string> want = words(benign_script);
  const std::vector<std::string> got = words(script);
  if (want.size() != got.size()) return false;
  for (size_t i = 0; i < want.size(); ++i) {
    if (!keeps(want[i], got[i], benign, value)) return false;
  }
  return true;
}

struct Probe {
  Outcome outcome = Outcome::Refused;
  std::string output;
  std::vector<FieldWarning> warnings;  // of the press that took the value
  bool warned(const std::string& id) const {
    for (const FieldWarning& w : warnings)
      if (w.id == id) return true;
    return false;
  }
};

// One field of a page, in one dialect: what its buttons did with the probes.
struct Seen {
  bool written = false;  // a button wrote the typed text
  bool read_as_number = false;
  std::set<std::string> broke;  // hazards some button's script did not keep whole
  std::set<std::string> kept;   // hazards a button's script kept whole
  bool mac_colons = false, mac_as_typed = false;
};

const char* const kBenign = "zqkw9";
const char* const kHazards[] = {" ", ";", "\"", "$", "[", "(", "{", "\\", "\n"};

// Every text field of every page, with each character that may end or break a
// value, through every button that writes a script (through the line list for
// its columns): where the script does not keep the value whole the press
// warns, and each field's declared writing per dialect is exactly what its
// buttons do: what breaks there, quoted or not, or read as a number.
TEST(ValueKind, DeclaredWritingIsWhatTheScriptsDo) {
  std::map<std::tuple<std::string, std::string, Dialect>, Seen> seen;
  std::map<std::string, const Field*> decl;
  for (const Page& page : pages()) {
    if (!page.built()) continue;
    const LineList* list = nullptr;
    std::vector<const Field*> fields;
    std::vector<const Button*> buttons;
    walk(page.items, [&](const Item& item, const std::string&) {
      if (const auto* l = std::get_if<LineList>(&item.v)) list = l;
      if (const auto* b = std::get_if<Button>(&item.v); b && dialect_of(page, *b) != Dialect::Any) buttons.push_back(b);
      if (const auto* f = std::get_if<Field>(&item.v);
          f && (f->kind == FieldKind::Edit || f->kind == FieldKind::Multiline)) {
        fields.push_back(f);
        decl[page.slug + " " + f->id] = f;
      }
    });
    auto in_list = [&](const std::string& id) {
      if (!list) return false;
      for (const Column& c : list->columns)
        if (c.field == id) return true;
      return false;
    };
    for (const bool ticked : {false, true}) {
      for (const Button* b : buttons) {
        for (const Field* f : fields) {
          const bool via_list = in_list(f->id);
          // Where the page refuses its defaults, each combo takes its last item and each empty field a value.
          bool filled = false;
          auto press_with = [&](const std::string& value) {
            test::Session s(page.slug);
            walk(page.items, [&](const Item& item, const std::string&) {
              const auto* c = std::get_if<Field>(&item.v);
              if (!c) return;
              if (ticked && c->kind == FieldKind::Check) toggle(*s.form, c->id, true);
              if (filled && c->kind == FieldKind::Combo)
                s.form->set_index(c->id, static_cast<int>(c->items.size()) - 1);
              if (filled && c->kind == FieldKind::Edit && s.form->text(c->id).empty())
                s.form->set_text(c->id, to_gbk("s3cret"));
            });
            Probe p;
            if (!s.form->enabled(f->id)) return p;
            if (list) {
              // Two lines, the second one (the probe's, when it goes through the list) told apart by its first cell.
              const Button& add = *find_button(page, list->add_button);
              press_button(*s.form, s.env, add);
              const std::string& first = list->columns.front().field;
              s.form->set_text(first, s.form->text(first) + Gbk("0"_a));
              if (!via_list) press_button(*s.form, s.env, add);
            }
            s.form->set_text(f->id, to_gbk(value));
            if (via_list) p.warnings = press_button(*s.form, s.env, *find_button(page, list->add_button)).warnings;
            PressReport r = press_button(*s.form, s.env, *b);
            p.outcome = r.outcome;
            p.output = to_utf8(s.form->output());
            if (!via_list) p.warnings = std::move(r.warnings);
            return p;
          };
          Probe benign = press_with(kBenign);
          if (benign.outcome != Outcome::Done) {
            filled = true;
            benign = press_with(kBenign);
          }
          if (benign.outcome != Outcome::Done) continue;
          Seen& it = seen[{page.slug, f->id, dialect_of(page, *b)}];
          const std::string where = page.slug + " " + b->id + " " + f->id + (ticked ? " (all boxes ticked)" : "");
          if (benign.output.find(kBenign) == std::string::npos) {
            // Not written as typed: read as a number when its value still tells in the script.
            const Probe a = press_with("１２");
            const Probe b2 = press_with("１３");
            if (a.outcome != Outcome::Done || b2.outcome != Outcome::Done || a.output == b2.output) continue;
            (a.output.find("１２") == std::string::npos ? it.read_as_number : it.written) = true;
            continue;
          }
          it.written = true;
          if (f->value.kind == ValueKind::Mac) {
            const Probe mac = press_with("01-23-45-67-89-AB");
            if (mac.output.find("01:23:45:67:89:AB") != std::string::npos) it.mac_colons = true;
            if (mac.output.find("01-23-45-67-89-AB") != std::string::npos) it.mac_as_typed = true;
          }
          for (const char* h : kHazards) {
            const std::string value = std::string("zq") + h + "w9";
            const Probe p = press_with(value);
            if (p.outcome != Outcome::Done) continue;
            if (kept_whole(benign.output, p.output, kBenign, value)) {
              it.kept.insert(h);
              continue;
            }
            it.broke.insert(h);
            EXPECT_TRUE(p.warned(f->id)) << where << ": no warning, yet the script breaks the value at '" << h << "':\n"
                                         << p.output;
          }
        }
      }
    }
  }
  for (const auto& [key, it] : seen) {
    const auto& [slug, id, dialect] = key;
    const ValueRule& rule = decl[slug + " " + id]->value;
    const Writing w = rule.writing(dialect);
    const std::string where = slug + " " + id + " in " + dialect_name(dialect) + ", declared " + writing_name(w);
    if (it.read_as_number && !it.written) {
      EXPECT_EQ(w, Writing::Number) << where << ": only read as a number";
    }
    if (it.written) {
      EXPECT_NE(w, Writing::Number) << where << ": written as typed";
    }
    for (const std::string& h : it.broke) {
      if (!it.written) break;
      EXPECT_NE(writing_problem(w, to_gbk("zq" + h + "w9")), std::nullopt) << where << ": '" << h << "' breaks";
    }
    for (const std::string& h : it.kept) {
      if (it.broke.count(h)) continue;
      EXPECT_EQ(writing_problem(w, to_gbk("zq" + h + "w9")), std::nullopt) << where << ": '" << h << "' is kept";
    }
    if (it.mac_colons || it.mac_as_typed) {
      EXPECT_EQ(w == Writing::Normalised, it.mac_colons && !it.mac_as_typed) << where << ": a MAC with dashes";
    }
  }
}

}  // namespace
}  // namespace rosgen
