// The engine's face towards the web page. The module keeps one Form per page
// the page has opened; the page sends what the person did (a text typed, a box
// ticked, a button pressed) and gets back only what changed, with everything
// a press asked of the outside world, in order. Nothing large travels twice:
// the output box is sent only to be saved or checked after it was edited.
//
// Texts cross as UTF-8, as they do between a window's widgets and its Form;
// GBK bytes that must stay exact (a saved script, the account log) cross as
// one character per byte (U+0000..U+00FF).
#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#else
// Also compiled natively, by the static analysis of the ci build, which has no browser.
#include <random>
#define EMSCRIPTEN_KEEPALIVE
#define EM_JS(ret, name, args, ...) \
  ret name() { return std::random_device{}(); }
inline double emscripten_get_now() { return 0; }
#endif

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/describe.h"
#include "engine/driver.h"
#include "pages/registry.h"
#include "routeros/model.h"
#include "script/product.h"
#include "script/text.h"
#include "script/value_kind.h"

using json = nlohmann::ordered_json;

namespace rosgen::web {
namespace {

// --- Bytes as text ---

std::string bytes_as_text(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// A lone LF becomes CR LF, as a multi-line box's text enters the Form. Works on UTF-8 and on
// GBK alike: neither has CR or LF inside a character.
std::string with_crlf(const std::string& s) {
  std::string out;
  out.reserve(s.size() + s.size() / 16);
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) out += '\r';
    out += s[i];
  }
  return out;
}

// Text typed into a box as it enters the Form.
Gbk typed(const std::string& utf8, bool multiline) {
  Gbk g = to_gbk(utf8);
  return multiline ? Gbk::from_bytes(with_crlf(g.bytes())) : g;
}

// The first character of `utf8` that GBK cannot hold, with its line (from 1) and code point.
std::optional<json> not_in_gbk(const std::string& utf8) {
  const std::optional<std::size_t> at = first_not_in_gbk(utf8);
  if (!at) return std::nullopt;
  const auto lead = static_cast<unsigned char>(utf8[*at]);
  const size_t n = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;  // the JSON parser let only UTF-8 in
  const std::string one = utf8.substr(*at, n);
  char32_t code = lead & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
  for (size_t i = 1; i < one.size(); ++i) code = (code << 6) | (static_cast<unsigned char>(one[i]) & 0x3F);
  const auto line = std::count(utf8.begin(), utf8.begin() + static_cast<std::ptrdiff_t>(*at), '\n') + 1;
  return json{{"char", one}, {"line", line}, {"code", static_cast<std::uint32_t>(code)}};
}

// --- Declarations ---

// Texts the page shows in place of the window's, where a browser does it differently.
struct WebLabel {
  const char* field;
  const char* label;
};
constexpr WebLabel kWebLabels[] = {
    {"选择框_添加PPPOE帐号_是否导出", "是否导出当次生成的帐号及密码(下载为 log.TXT 文件，不会自动保存)"},
};

json describe_for_web(const Page& page) {
  json j = describe_page(page);
  for (json& f : j["fields"]) {
    for (const WebLabel& w : kWebLabels) {
      if (f["id"] == w.field) f["label"] = w.label;
    }
  }
  return j;
}

// --- Form state ---

json field_state(const Form& form, const Field& f) {
  return {{"text", to_utf8(form.text(f.id))},
          {"checked", form.checked(f.id)},
          {"index", form.index(f.id)},
          {"enabled", form.enabled(f.id)}};
}

json list_state(const Form& form, const std::string& id) {
  json rows = json::array();
  for (const Cells& cells : form.rows(id)) {
    json row = json::array();
    for (const Gbk& cell : cells) row.push_back(to_utf8(cell));
    rows.push_back(std::move(row));
  }
  return {{"rows", std::move(rows)}, {"selected", form.selected(id)}};
}

// A field's value problem, for its red frame; a field still holding its page's default is
// never framed, as in the window.
json problem_of(const Form& form, const Field& f) {
  if ((f.kind != FieldKind::Edit && f.kind != FieldKind::Multiline) || !form.enabled(f.id)) return nullptr;
  if (form.text(f.id) == to_gbk(f.text)) return nullptr;
  auto problem = value_problem(f.value, form.text(f.id));
  return problem ? json(*problem) : json(nullptr);
}

// The whole state, for a page's first view and for putting a view right after an error.
json full_state(const Form& form) {
  json fields = json::object();
  json lists = json::object();
  json problems = json::object();
  walk(form.page().items, [&](const Item& item, const std::string&) {
    if (const auto* f = std::get_if<Field>(&item.v)) {
      fields[f->id] = field_state(form, *f);
      problems[f->id] = problem_of(form, *f);
    } else if (const auto* l = std::get_if<LineList>(&item.v)) {
      lists[l->id] = list_state(form, l->id);
    }
  });
  return {{"fields", std::move(fields)},
          {"lists", std::move(lists)},
          {"output", to_utf8(form.output())},
          {"problems", std::move(problems)}};
}

// Notes what a call changes on a form, for a reply that carries only that.
class Changes {
 public:
  explicit Changes(Form& form) : form_(form) {
    token_ = form.subscribe([this](const Change& c) {
      switch (c.kind) {
        case Change::Output: output_ = true; break;
        case Change::Files: files_ = true; break;
        case Change::Rows:
        case Change::Selection: lists_.insert(c.id); break;
        default: fields_.insert(c.id); break;
      }
    });
  }
  ~Changes() { form_.unsubscribe(token_); }
  Changes(const Changes&) = delete;
  Changes& operator=(const Changes&) = delete;

  json reply() const {
    json fields = json::object();
    json lists = json::object();
    json problems = json::object();
    for (const std::string& id : fields_) {
      const Field* f = find_field(form_.page(), id);
      if (!f) continue;
      fields[id] = field_state(form_, *f);
      problems[id] = problem_of(form_, *f);
    }
    for (const std::string& id : lists_) lists[id] = list_state(form_, id);
    json j{{"fields", std::move(fields)}, {"lists", std::move(lists)}};
    if (output_) j["output"] = to_utf8(form_.output());
    if (files_) {
      // What a press made beside its script (client files with private keys): sent once, with the
      // press that made them.
      json files = json::array();
      for (const OutputFile& f : form_.files()) {
        files.push_back({{"name", f.name}, {"text", f.text}, {"secret", f.secret}, {"qr", f.qr}});
      }
      j["files"] = std::move(files);
    }
    j["problems"] = std::move(problems);
    return j;
  }

 private:
  Form& form_;
  int token_ = 0;
  std::set<std::string> fields_;
  std::set<std::string> lists_;
  bool output_ = false;
  bool files_ = false;
};

// A copy of a form, so a press can run on it and be dropped when it stops at an input box.
std::unique_ptr<Form> copy_of(const Form& from) {
  auto to = std::make_unique<Form>(from.page());
  walk(from.page().items, [&](const Item& item, const std::string&) {
    if (const auto* f = std::get_if<Field>(&item.v)) {
      if (f->kind == FieldKind::Combo) to->set_index(f->id, from.index(f->id));
      to->set_text(f->id, from.text(f->id));
      to->set_enabled(f->id, from.enabled(f->id));
    } else if (const auto* l = std::get_if<LineList>(&item.v)) {
      for (const Cells& cells : from.rows(l->id)) to->add_row(l->id, cells);
      to->select(l->id, from.selected(l->id));
    }
  });
  // Checked radio buttons last, so clearing their partners cannot undo them.
  for (bool pass : {false, true}) {
    walk(from.page().items, [&](const Item& item, const std::string&) {
      const auto* f = std::get_if<Field>(&item.v);
      if (f && (f->kind == FieldKind::Check || f->kind == FieldKind::Radio) && from.checked(f->id) == pass) {
        to->set_checked(f->id, pass);
      }
    });
  }
  to->set_output(from.output());
  to->set_files(from.files());
  return to;
}

// --- The outside world of one press ---

EM_JS(std::uint32_t, browser_random_u32, (), {
  const a = new Uint32Array(1);
  crypto.getRandomValues(a);
  return a[0];
});

class WebEnv : public Env {
 public:
  explicit WebEnv(const json& request) : today_(read_date(request)) {
    for (const json& a : request.value("answers", json::array())) {
      answers_.push_back(a.is_null() ? std::nullopt : std::optional<std::string>(a.get<std::string>()));
    }
    for (const json& r : request.value("random", json::array())) replay_.push_back(r.get<std::uint32_t>());
    for (const json& k : request.value("keys", json::array())) {
      KeyPair p;
      for (std::size_t i = 0; i < 32; ++i) {
        p.secret[i] = k.at("secret").at(i).get<std::uint8_t>();
        p.public_key[i] = k.at("public").at(i).get<std::uint8_t>();
      }
      keys_.push_back(p);
    }
  }

  void message(const std::string& text, const std::string& caption) override {
    if (waiting) return;
    events.push_back({{"kind", "message"}, {"caption", caption}, {"text", text}});
  }
  std::optional<Gbk> input_box(const std::string& prompt, const std::string& title, const Gbk& initial) override {
    if (waiting) return std::nullopt;
    json e{{"kind", "input"}, {"caption", title}, {"text", prompt}, {"initial", to_utf8(initial)}};
    if (answered_ >= answers_.size()) {
      // Not answered yet: the page asks, then presses again from the same state with the
      // answer. What this press does from here on is not shown.
      events.push_back(std::move(e));
      waiting = true;
      return std::nullopt;
    }
    const std::optional<std::string>& a = answers_[answered_++];
    e["answer"] = a ? json(*a) : json(nullptr);
    events.push_back(std::move(e));
    if (!a) return std::nullopt;
    return to_gbk(*a);
  }
  void open_address(const std::string& address) override { events.push_back({{"kind", "open"}, {"address", address}}); }
  std::filesystem::path program_dir() override { return "/rosgen"; }
  std::filesystem::path user_data_dir() override { return "/rosgen/user"; }
  Date today() override { return today_; }
  std::uint32_t tick_count() override { return static_cast<std::uint32_t>(emscripten_get_now()); }
  // Draws are kept so that a press run again after an input box draws the same.
  std::uint32_t random_below(std::uint32_t n) override {
    if (n <= 1) return 0;
    const std::uint32_t limit = static_cast<std::uint32_t>(-n) % n;
    for (;;) {
      std::uint32_t r = drawn_ < replay_.size() ? replay_[drawn_] : browser_random_u32();
      if (drawn_ >= replay_.size()) replay_.push_back(r);
      ++drawn_;
      if (r >= limit) return r % n;
    }
  }
  // A browser's text box takes about a second a megabyte to show a script; past this the page
  // would stand still (an account batch says so and asks for fewer accounts).
  std::size_t script_limit() override { return std::size_t{2} << 20; }
  // The page offers the file as a download; only its name and bytes matter there.
  bool append_file(const std::filesystem::path& file, const std::string& bytes) override {
    if (waiting) return true;
    events.push_back({{"kind", "append"}, {"name", file.filename().string()}, {"bytes", bytes_as_text(bytes)}});
    return true;
  }

  // The page makes key pairs with the browser's WebCrypto, which answers later: a press that
  // needs more than it was given says how many, and the page presses again with them.
  std::vector<KeyPair> new_key_pairs(std::size_t n) override {
    if (waiting) return {};
    if (keys_.size() < n) {
      keys_wanted = n;
      waiting = true;
      return {};
    }
    return {keys_.begin(), keys_.begin() + static_cast<std::ptrdiff_t>(n)};
  }

  json events = json::array();
  bool waiting = false;  // an input box is waiting for its answer, or the press for its keys
  std::size_t keys_wanted = 0;
  const std::vector<std::uint32_t>& draws() const { return replay_; }

 private:
  static Date read_date(const json& request) {
    Date d;
    if (auto it = request.find("today"); it != request.end()) {
      d.year = it->at(0).get<int>();
      d.month = it->at(1).get<int>();
      d.day = it->at(2).get<int>();
    }
    return d;
  }

  Date today_;
  std::vector<std::optional<std::string>> answers_;
  size_t answered_ = 0;
  std::vector<std::uint32_t> replay_;
  size_t drawn_ = 0;
  std::vector<KeyPair> keys_;
};

json warnings_of(const std::vector<FieldWarning>& warnings) {
  json out = json::array();
  for (const FieldWarning& w : warnings) out.push_back({{"id", w.id}, {"label", w.label}, {"reason", w.reason}});
  return out;
}

// --- The pages the page has opened ---

std::map<std::string, std::unique_ptr<Form>>& forms() {
  static std::map<std::string, std::unique_ptr<Form>> all;
  return all;
}

const Page& need_page(const json& request) {
  const std::string name = request.at("page").get<std::string>();
  const Page* page = find_page(name);
  if (!page) throw UsageError("no page " + name);
  return *page;
}

Form& need_form(const Page& page) {
  auto& slot = forms()[page.slug];
  if (!slot) slot = start_form(page);
  return *slot;
}

std::string need_field(const Page& page, const json& request) {
  std::string id = request.at("field").get<std::string>();
  if (!find_field(page, id)) throw UsageError("page " + page.slug + " has no field " + id);
  return id;
}

// A press runs on a copy: one that stops at an unanswered input box, or for key pairs the page
// makes, leaves the page as it was, to run again with them; one that fails half-way changes
// nothing.
json press(const Page& page, const json& request) {
  const std::string name = request.at("button").get<std::string>();
  const Button* b = find_button(page, name);
  if (!b) throw UsageError("page " + page.slug + " has no button " + name);
  auto work = copy_of(need_form(page));
  WebEnv env(request);
  std::vector<FieldWarning> warnings;
  json reply;
  {
    Changes changes(*work);
    Outcome outcome = run_button(*work, env, *b, &warnings);
    if (env.keys_wanted) {
      reply = {{"outcome", "keys"}, {"keys", env.keys_wanted}};
      warnings.clear();
    } else if (env.waiting) {
      reply = {{"outcome", "input"}};
      warnings.clear();
    } else {
      reply = changes.reply();
      reply["outcome"] = outcome == Outcome::Refused ? "refused" : "done";
    }
  }
  reply["events"] = std::move(env.events);
  reply["random"] = env.draws();
  reply["warnings"] = warnings_of(warnings);
  if (!env.waiting) forms()[page.slug] = std::move(work);
  return reply;
}

// The output box as a saved file holds it: the form's exact bytes, or the text typed into the
// box. In GBK a character GBK cannot hold is named instead, so nothing turns into "?" unseen.
json file_bytes(const Form& form, const json& request) {
  const bool utf8 = request.value("encoding", "gbk") == "utf-8";
  if (!request.contains("text")) {
    const Gbk& out = form.output();
    return {{"bytes", bytes_as_text(utf8 ? to_utf8(out) : out.bytes())}};
  }
  const std::string text = request.at("text").get<std::string>();
  if (utf8) return {{"bytes", bytes_as_text(with_crlf(text))}};
  if (auto missing = not_in_gbk(text)) return {{"not_gbk", *missing}};
  return {{"bytes", bytes_as_text(typed(text, true).bytes())}};
}

json handle(const json& request) {
  const std::string op = request.at("op").get<std::string>();
  if (op == "pages") {  // the tab list and the menus; each page is described when it is first opened
    json all = json::array();
    for (const Page& page : pages()) all.push_back({{"index", page.index}, {"slug", page.slug}, {"tab", page.tab}});
    return {{"title", product::kTitle}, {"site", product::kWebSite}, {"pages", all}, {"menus", page_menus()}};
  }
  const Page& page = need_page(request);
  if (op == "describe") {  // the page and a fresh form in its start-up state
    json j = describe_for_web(page);
    forms()[page.slug] = start_form(page);
    j["state"] = full_state(need_form(page));
    return j;
  }
  Form& form = need_form(page);
  if (op == "state") return full_state(form);
  if (op == "press") return press(page, request);
  if (op == "bytes") return file_bytes(form, request);
  if (op == "check") {  // "检查脚本": the command tree, then a run on the default configuration
    const std::string text = request.contains("text") ? request.at("text").get<std::string>() : to_utf8(form.output());
    json found = json::array();
    for (const ros7::Finding& f : ros7::check(text, ros7::Base::Defconf)) {
      found.push_back({{"line", f.line},
                       {"col", f.col},
                       {"error", f.severity == ros7::Severity::Error},
                       {"rule", f.rule},
                       {"text", f.chinese.empty() ? f.message : f.chinese}});
    }
    return {{"findings", std::move(found)}};
  }

  Changes changes(form);
  if (op == "type") {
    const std::string id = need_field(page, request);
    const Field* f = find_field(page, id);
    if (f->kind != FieldKind::Edit && f->kind != FieldKind::Multiline) throw UsageError(id + " takes no text");
    form.set_text(id, typed(request.at("text").get<std::string>(), f->kind == FieldKind::Multiline));
    json reply = changes.reply();
    reply["fields"].erase(id);  // the page has the text: it was typed there
    return reply;
  } else if (op == "toggle") {
    toggle(form, need_field(page, request), request.at("on").get<bool>());
  } else if (op == "choose") {
    form.set_index(need_field(page, request), request.at("index").get<int>());
  } else if (op == "click") {  // a click on a list row: selects it and runs the list's click
    const std::string list = request.at("list").get<std::string>();
    const LineList* l = find_list(page, list);
    if (!l) throw UsageError("page " + page.slug + " has no list " + list);
    form.select(list, request.at("row").get<int>());
    if (l->on_click && form.selected(list) >= 0) l->on_click(form);
  } else {
    throw UsageError("no operation " + op);
  }
  return changes.reply();
}

}  // namespace
}  // namespace rosgen::web

// The one entry point: a JSON request in, a JSON reply out (valid until the next call). The
// page puts the request on the heap, however long it is. Whatever goes wrong inside is
// answered as {"error": ...}, which the page shows, and the page keeps working.
extern "C" EMSCRIPTEN_KEEPALIVE const char* rosgen_call(const char* request) {
  static std::string reply;
  try {
    reply = rosgen::web::handle(json::parse(request)).dump(-1, ' ', false, json::error_handler_t::replace);
  } catch (const std::exception& e) {
    reply = json{{"error", e.what()}}.dump(-1, ' ', false, json::error_handler_t::replace);
  } catch (...) {
    reply = R"({"error":"unknown error"})";
  }
  return reply.c_str();
}
