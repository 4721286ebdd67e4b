// Every RouterOS 7 button of every page, on the default form (as it opens and
// with every check box ticked) and on many randomly filled ones: its script
// passes the checker with no finding at all, applied to a router on the default
// configuration it raises no run-time error and no rule of meaning, run there a
// second time it raises no run-time error, and it refuses exactly when (and with
// what) its 3.x sibling refuses. A page for a
// RouterOS 7 job alone has no siblings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <set>

#include "routeros/checker.h"
#include "routeros/model.h"
#include "script/text.h"
#include "support.h"

namespace rosgen::test {
namespace {

bool is_7x(const std::string& id) { return id == "gen-7x" || id.ends_with("-7x"); }

// The button whose 3.x script the 7.x one stands beside.
const Button* sibling_of(const Page& page, const std::string& id7) {
  const std::string base = id7.substr(0, id7.size() - 3);
  for (const std::string& id : {base + "-3x", base, base + "-2x"}) {
    if (const Button* b = find_button(page, id)) return b;
  }
  return nullptr;
}

std::vector<const Button*> buttons_7x(const Page& page) {
  std::vector<const Button*> out;
  walk(page.items, [&](const Item& item, const std::string&) {
    if (const auto* b = std::get_if<Button>(&item.v); b && is_7x(b->id)) out.push_back(b);
  });
  return out;
}

std::string findings_text(const std::vector<ros7::Finding>& found) {
  std::string out;
  for (const auto& f : found) {
    out += std::to_string(f.line) + ":" + std::to_string(f.col) + ": " + f.message + "\n";
  }
  return out;
}

// Random values that look like what the field takes, judged by its default:
// addresses where an address stands, numbers where a number stands, names
// elsewhere, and now and then an empty field.
class Filler {
 public:
  explicit Filler(unsigned seed) : rng_(seed) {}

  std::string value_like(const Field& f) {
    // A port of the router where the field names one: the script must work with any of them.
    if (f.value.kind == ValueKind::Interface && is_port(f.text)) return "ether" + std::to_string(1 + pick(5));
    // A protocol where the field names one, by name or number: RouterOS refuses any other word.
    if (f.text == "tcp") {
      static const char* const kProtocols[] = {"tcp", "udp", "6", "17", ""};
      return kProtocols[pick(std::size(kProtocols))];
    }
    return value_like(f.text);
  }
  std::string value_like(const std::string& def) {
    if (pick(8) == 0) return "";
    if (looks_like_address(def)) {
      std::string a = address();
      if (def.find('/') != std::string::npos) a += "/" + std::to_string(8 + pick(25));
      return a;
    }
    if (!def.empty() && def.find_first_not_of("0123456789") == std::string::npos) {
      return std::to_string(pick(def.size() > 3 ? 100000 : 1000));
    }
    switch (pick(4)) {
      case 0: return address();
      case 1: return std::to_string(pick(65536));
      default: return name();
    }
  }
  std::string name() {
    static const char kFirst[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static const char kRest[] = "abcdefghijklmnopqrstuvwxyz0123456789-_";
    // Now and then a Chinese character whose second GBK byte is a backslash.
    std::string s = pick(10) == 0 ? "俓" : "";
    s += kFirst[pick(sizeof kFirst - 1)];
    for (unsigned n = pick(10); n > 0; --n) s += kRest[pick(sizeof kRest - 1)];
    return s;
  }
  std::string address() {
    return std::to_string(1 + pick(223)) + "." + std::to_string(pick(256)) + "." + std::to_string(pick(256)) + "." +
           std::to_string(1 + pick(254));
  }
  unsigned pick(size_t n) { return static_cast<unsigned>(rng_() % n); }

 private:
  static bool is_port(const std::string& s) { return s.starts_with("ether") || s == "bridge"; }
  static bool looks_like_address(const std::string& s) {
    int dots = 0;
    for (char ch : s) {
      if (ch == '.')
        ++dots;
      else if ((ch < '0' || ch > '9') && ch != '/')
        return false;
    }
    return dots == 3;
  }
  std::mt19937 rng_;
};

// A whole random form for one press: field values, check states, combo items and list rows.
Press random_press(const Page& page, const std::string& button, Filler& fill) {
  Press p;
  p.button = button;
  const LineList* list = nullptr;
  walk(page.items, [&](const Item& item, const std::string&) {
    if (const auto* l = std::get_if<LineList>(&item.v)) list = l;
    const auto* f = std::get_if<Field>(&item.v);
    if (!f || !f->enabled || f->read_only) return;
    switch (f->kind) {
      case FieldKind::Edit:
      case FieldKind::Multiline: p.values.emplace_back(f->id, to_gbk(fill.value_like(*f))); break;
      case FieldKind::Check: (fill.pick(2) ? p.check : p.uncheck).push_back(f->id); break;
      case FieldKind::Radio:
        if (fill.pick(2)) p.check.push_back(f->id);
        break;
      case FieldKind::Combo:
        if (!f->items.empty()) p.select.emplace_back(f->id, static_cast<int>(fill.pick(f->items.size())));
        break;
    }
  });
  if (list) {
    for (unsigned n = fill.pick(4); n > 0; --n) {
      Cells cells;
      for (const Column& c : list->columns) cells.push_back(to_gbk(fill.value_like(*find_field(page, c.field))));
      p.rows.push_back(std::move(cells));
    }
  }
  return p;
}

// What a line list holds on a realistic form: `n` rows made from the editing fields' defaults,
// each line on its own port, addresses and account.
std::vector<Cells> default_rows(const Page& page, int n) {
  std::vector<Cells> rows;
  const LineList* list = nullptr;
  walk(page.items, [&](const Item& item, const std::string&) {
    if (const auto* l = std::get_if<LineList>(&item.v)) list = l;
  });
  if (!list) return rows;
  for (int k = 0; k < n; ++k) {
    Cells cells;
    for (const Column& c : list->columns) {
      std::string v = find_field(page, c.field)->text;
      if (v.starts_with("ether") && v.size() > 5 && std::isdigit(static_cast<unsigned char>(v[5]))) {
        v = "ether" + std::to_string(std::stoi(v.substr(5)) + k);
      } else if (std::count(v.begin(), v.end(), '.') == 3 && v.find_first_not_of("0123456789./") == std::string::npos) {
        // Another network for every line: the second octet moves.
        const size_t a = v.find('.'), b = v.find('.', a + 1);
        v = v.substr(0, a + 1) + std::to_string((std::stoi(v.substr(a + 1, b - a - 1)) + 10 * k) % 256) + v.substr(b);
      } else if (!v.empty()) {
        v += std::to_string(k + 1);
      }
      cells.push_back(to_gbk(v));
    }
    rows.push_back(std::move(cells));
  }
  return rows;
}

// What a 7.x button's script names that another button's script makes first: the router runs
// that one before, with the field that must agree copied over (by English key).
struct Prerequisite {
  const char* page;
  const char* button;
  const char* before_page;
  const char* before_button;
  const char* field;
  const char* before_field;
};
constexpr Prerequisite kPrerequisites[] = {
    {"pppoe-accounts", "single-7x", "pppoe-server", "gen-7x", "profile", "profile"},
    {"pppoe-accounts", "batch-7x", "pppoe-server", "gen-7x", "batch-profile", "profile"},
    {"pptp", "gen-account-7x", "pptp", "gen-server-7x", "account-profile", "profile"},
    {"l2tp", "gen-account-7x", "l2tp", "gen-server-7x", "account-profile", "profile"},
};

// The value a press leaves in a field: typed, or the default.
Gbk value_in(const Page& page, const Press& p, const std::string& key) {
  const Field* f = find_field_named(page, key);
  if (!f) return Gbk();
  for (const auto& [name, value] : p.values) {
    if (name == f->id || name == f->key) return value;
  }
  return to_gbk(f->text);
}

struct Result {
  Outcome outcome;
  std::string output;
  std::vector<Shown> messages;
};

Result run(const Page& page, const Press& p, bool answer) {
  Session s(page.slug);
  if (answer) s.env.answer = to_gbk("2026-01-31");
  Result r{Outcome::Done, {}, {}};
  try {
    r.outcome = s.press(p);
  } catch (const UsageError& e) {
    ADD_FAILURE() << "the random form named something the page lacks: " << e.what();
  }
  r.output = s.output();
  r.messages = s.env.messages;
  return r;
}

bool refused_for_want_of_7(const Result& r) {
  return r.outcome == Outcome::Refused && !r.messages.empty() &&
         r.messages.back().text.find("RouterOS 7 没有") != std::string::npos;
}

// What the router itself refuses while running a script.
const std::set<std::string> kRunTimeErrors = {"no-such-item", "duplicate-name", "unknown-reference", "script-error"};

// The 7.x button runs its sibling's checks first, so it refuses whatever the
// sibling refuses, with the same messages; after them it may refuse what
// RouterOS 7 would not take. `strict`: where the sibling writes, so does it.
void expect_sound(const Page& page, const Button& b, const Press& p, bool answer, bool strict,
                  const std::string& trace) {
  SCOPED_TRACE(page.slug + " " + b.id + " " + trace);
  const Result r7 = run(page, p, answer);
  if (r7.outcome == Outcome::Done && !r7.output.empty()) {
    const auto found = ros7::check_script(r7.output);
    EXPECT_TRUE(found.empty()) << findings_text(found) << "--- script ---\n" << r7.output;
    std::string script = r7.output;
    for (const Prerequisite& pre : kPrerequisites) {
      if (page.slug != pre.page || b.id != pre.button) continue;
      const Page& before = *find_page(pre.before_page);
      Press first = before.slug == page.slug ? p : Press{};
      first.button = pre.before_button;
      first.values.emplace_back(pre.before_field, value_in(page, p, pre.field));
      // A form the earlier button refuses leaves the router without it, as the script must expect.
      const Result r = run(before, first, answer);
      if (r.outcome == Outcome::Done) script = r.output + "\r\n" + script;
    }
    const auto meaning = ros7::check_meaning(script, ros7::Base::Defconf);
    EXPECT_TRUE(meaning.empty()) << findings_text(meaning) << "--- script on the default configuration ---\n" << script;
    // A changed form is a new press run on the same router: the script runs there a second time.
    std::vector<ros7::Finding> again;
    for (const ros7::Finding& f : ros7::check_meaning(script + "\r\n" + r7.output, ros7::Base::Defconf)) {
      if (kRunTimeErrors.contains(f.rule)) again.push_back(f);
    }
    EXPECT_TRUE(again.empty()) << findings_text(again) << "--- the script run a second time ---\n" << r7.output;
  }
  if (page.ros7_only) return;
  const Button* b3 = sibling_of(page, b.id);
  ASSERT_NE(b3, nullptr) << "no 2.9.x/3.x sibling";
  if (refused_for_want_of_7(r7)) return;
  Press p3 = p;
  p3.button = b3->id;
  const Result r3 = run(page, p3, answer);
  if (r3.outcome == Outcome::Refused) {
    EXPECT_EQ(r7.outcome, Outcome::Refused);
    EXPECT_EQ(r7.messages, r3.messages);
  } else if (strict) {
    EXPECT_EQ(r7.outcome, Outcome::Done) << (r7.messages.empty() ? "" : r7.messages.back().text);
  }
}

TEST(Pages7, EveryPageHasItsRouterOs7Buttons) {
  for (const Page& page : pages()) {
    if (page.index == 0) continue;
    EXPECT_FALSE(buttons_7x(page).empty()) << page.slug;
    for (const Button* b : buttons_7x(page)) {
      EXPECT_NE(b->caption.find("7.X"), std::string::npos) << page.slug << " " << b->id;
      EXPECT_EQ(sibling_of(page, b->id) == nullptr, page.ros7_only) << page.slug << " " << b->id;
    }
  }
}

// The check boxes of a page that are off by default: ticked, each adds its part of the script.
std::vector<std::string> unticked_boxes(const Page& page) {
  std::vector<std::string> out;
  walk(page.items, [&](const Item& item, const std::string&) {
    if (const auto* f = std::get_if<Field>(&item.v); f && f->kind == FieldKind::Check && !f->checked) {
      out.push_back(f->id);
    }
  });
  return out;
}

TEST(Pages7, DefaultFormsPassTheChecker) {
  for (const Page& page : pages()) {
    for (const Button* b : buttons_7x(page)) {
      for (bool ticked : {false, true}) {
        Press p;
        p.button = b->id;
        if (ticked) p.check = unticked_boxes(page);
        if (ticked && p.check.empty()) continue;
        const std::string form = ticked ? "defaults, every box ticked" : "defaults";
        expect_sound(page, *b, p, false, true, form);
        expect_sound(page, *b, p, true, true, form + ", input box answered");
        // A page with a line list writes nothing without lines: two and three lines of defaults.
        for (int lines : {2, 3}) {
          Press with = p;
          with.rows = default_rows(page, lines);
          if (with.rows.empty()) break;
          expect_sound(page, *b, with, false, true, form + ", " + std::to_string(lines) + " lines");
        }
      }
    }
  }
}

TEST(Pages7, RandomFormsPassTheChecker) {
  constexpr int kForms = 40;
  for (const Page& page : pages()) {
    for (const Button* b : buttons_7x(page)) {
      Filler fill(static_cast<unsigned>(std::hash<std::string>{}(page.slug + b->id)));
      for (int i = 0; i < kForms; ++i) {
        const Press p = random_press(page, b->id, fill);
        expect_sound(page, *b, p, i % 2 == 0, false, "random form " + std::to_string(i));
        if (HasFailure()) return;  // one broken form tells enough
      }
    }
  }
}

}  // namespace
}  // namespace rosgen::test
