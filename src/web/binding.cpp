// The engine's face towards the web page: page declarations as JSON, and
// presses, check box clicks, combo choices and list-row clicks on a form state
// the page keeps. Each call builds the page's Form from that state, acts, and
// returns the new state with everything the press asked of the outside world,
// in order. Nothing is kept between calls.
//
// Texts cross as UTF-8, as they do between a window's widgets and its Form;
// GBK bytes that must stay exact (the output box) cross as one character per
// byte (U+0000..U+00FF).
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

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

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

std::string text_as_bytes(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size()) {
      out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// Text typed into a box as it enters the Form; a multi-line box's lone LF becomes CR LF.
Gbk typed(const std::string& utf8, bool multiline) {
  Gbk g = to_gbk(utf8);
  if (!multiline) return g;
  std::string out;
  const std::string& s = g.bytes();
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) out += '\r';
    out += s[i];
  }
  return Gbk::from_bytes(std::move(out));
}

// --- Declarations ---

const char* kind_name(FieldKind kind) {
  switch (kind) {
    case FieldKind::Edit: return "edit";
    case FieldKind::Multiline: return "multiline";
    case FieldKind::Check: return "check";
    case FieldKind::Radio: return "radio";
    case FieldKind::Combo: return "combo";
  }
  return "edit";
}

json or_null(const std::string& s) { return s.empty() ? json(nullptr) : json(s); }

// The items as they stand on the page: groups, rows, fields (by id), buttons, notes, lists.
json layout(const std::vector<Item>& items) {
  json out = json::array();
  for (const Item& item : items) {
    if (const auto* f = std::get_if<Field>(&item.v)) {
      out.push_back({{"type", "field"}, {"id", f->id}});
    } else if (const auto* b = std::get_if<Button>(&item.v)) {
      out.push_back({{"type", "button"}, {"id", b->id}});
    } else if (const auto* n = std::get_if<Note>(&item.v)) {
      out.push_back({{"type", "note"}, {"text", n->text}});
    } else if (const auto* l = std::get_if<LineList>(&item.v)) {
      out.push_back({{"type", "list"}, {"id", l->id}});
    } else if (const auto* g = std::get_if<Group>(&item.v)) {
      out.push_back({{"type", "group"}, {"caption", g->caption}, {"items", layout(g->items)}});
    } else if (const auto* r = std::get_if<Row>(&item.v)) {
      out.push_back({{"type", "row"}, {"items", layout(r->items)}});
    }
  }
  return out;
}

json state_of(const Form& form);

// The page as `rosgen show --json` describes it, with its layout, its output
// panel's designer names and its start-up state.
json describe(const Page& page) {
  auto form = start_form(page);
  json fields = json::array();
  json buttons = json::array();
  json lists = json::array();
  walk(
      page.items,
      [&](const Item& item, const std::string& group) {
        if (const auto* f = std::get_if<Field>(&item.v)) {
          json j{{"id", f->id},
                 {"key", or_null(f->key)},
                 {"kind", kind_name(f->kind)},
                 {"value_kind", value_kind_name(f->value.kind)},
                 {"label", f->label},
                 {"hint", f->hint},
                 {"group", group}};
          if (f->value.kind == ValueKind::Integer) j["value_range"] = {f->value.min, f->value.max};
          switch (f->kind) {
            case FieldKind::Edit:
            case FieldKind::Multiline: j["default"] = f->text; break;
            case FieldKind::Check:
            case FieldKind::Radio: j["default"] = form->checked(f->id); break;
            case FieldKind::Combo:
              j["default"] = form->index(f->id);
              j["items"] = f->items;
              break;
          }
          j["enabled"] = form->enabled(f->id);
          j["visible"] = f->visible;
          j["read_only"] = f->read_only;
          if (!f->radio_group.empty()) j["radio_group"] = f->radio_group;
          fields.push_back(std::move(j));
        } else if (const auto* b = std::get_if<Button>(&item.v)) {
          buttons.push_back(
              {{"id", b->id}, {"designer", or_null(b->designer)}, {"caption", b->caption}, {"group", group}});
        } else if (const auto* l = std::get_if<LineList>(&item.v)) {
          json columns = json::array();
          for (const Column& c : l->columns) {
            columns.push_back({{"title", c.title}, {"width", c.width}, {"field", c.field}});
          }
          lists.push_back({{"id", l->id}, {"columns", columns}, {"add", l->add_button}});
        }
      },
      page.caption);
  json j{{"index", page.index},     {"slug", page.slug},     {"tab", page.tab},
         {"caption", page.caption}, {"output", page.output}, {"fields", fields}};
  if (!lists.empty()) j["list"] = lists[0];
  j["buttons"] = buttons;
  j["lists"] = lists;
  j["panel"] = page.panel;
  j["layout"] = layout(page.items);
  j["state"] = state_of(*form);
  return j;
}

// --- Form state ---

json state_of(const Form& form) {
  json fields = json::object();
  json lists = json::object();
  walk(form.page().items, [&](const Item& item, const std::string&) {
    if (const auto* f = std::get_if<Field>(&item.v)) {
      fields[f->id] = {{"text", to_utf8(form.text(f->id))},
                       {"checked", form.checked(f->id)},
                       {"index", form.index(f->id)},
                       {"enabled", form.enabled(f->id)}};
    } else if (const auto* l = std::get_if<LineList>(&item.v)) {
      json rows = json::array();
      for (const Cells& cells : form.rows(l->id)) {
        json row = json::array();
        for (const Gbk& cell : cells) row.push_back(to_utf8(cell));
        rows.push_back(std::move(row));
      }
      lists[l->id] = {{"rows", rows}, {"selected", form.selected(l->id)}};
    }
  });
  return {{"fields", fields},
          {"lists", lists},
          {"output", to_utf8(form.output())},
          {"output_bytes", bytes_as_text(form.output().bytes())}};
}

// Sets a fresh form to the state the page sent. The output box comes as its
// exact bytes, or as the text typed into it when it was edited.
void restore(Form& form, const json& state) {
  const json& fields = state.at("fields");
  walk(form.page().items, [&](const Item& item, const std::string&) {
    if (const auto* f = std::get_if<Field>(&item.v)) {
      auto it = fields.find(f->id);
      if (it == fields.end()) return;
      const json& s = *it;
      switch (f->kind) {
        case FieldKind::Edit:
        case FieldKind::Multiline:
          form.set_text(f->id, typed(s.at("text").get<std::string>(), f->kind == FieldKind::Multiline));
          break;
        case FieldKind::Check:
        case FieldKind::Radio: break;  // below, after every field has its text
        case FieldKind::Combo: form.set_index(f->id, s.at("index").get<int>()); break;
      }
      form.set_enabled(f->id, s.at("enabled").get<bool>());
    } else if (const auto* l = std::get_if<LineList>(&item.v)) {
      auto it = state.at("lists").find(l->id);
      if (it == state.at("lists").end()) return;
      for (const json& row : it->at("rows")) {
        Cells cells;
        for (const json& cell : row) cells.push_back(to_gbk(cell.get<std::string>()));
        form.add_row(l->id, std::move(cells));
      }
      form.select(l->id, it->at("selected").get<int>());
    }
  });
  // Checked radio buttons last, so clearing their partners cannot undo them.
  for (bool pass : {false, true}) {
    walk(form.page().items, [&](const Item& item, const std::string&) {
      const auto* f = std::get_if<Field>(&item.v);
      if (!f || (f->kind != FieldKind::Check && f->kind != FieldKind::Radio)) return;
      auto it = fields.find(f->id);
      if (it == fields.end()) return;
      bool on = it->at("checked").get<bool>();
      if (on == pass) form.set_checked(f->id, on);
    });
  }
  if (state.contains("output_text")) {
    form.set_output(typed(state.at("output_text").get<std::string>(), true));
  } else {
    form.set_output(Gbk::from_bytes(text_as_bytes(state.value("output_bytes", std::string()))));
  }
}

// --- The outside world of one press ---

EM_JS(std::uint32_t, browser_random_u32, (), {
  const a = new Uint32Array(1);
  crypto.getRandomValues(a);
  return a[0];
});

class WebEnv : public Env {
 public:
  WebEnv(const json& request) : today_(read_date(request)) {
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

const Page& need_page(const json& request) {
  const Page* page = find_page(request.at("page").get<std::string>());
  if (!page) throw UsageError("no page " + request.at("page").get<std::string>());
  return *page;
}

json warnings_of(const std::vector<FieldWarning>& warnings) {
  json out = json::array();
  for (const FieldWarning& w : warnings) out.push_back({{"id", w.id}, {"label", w.label}, {"reason", w.reason}});
  return out;
}

// The value problems of the enabled text fields, for their red frames; a field
// still holding its page's default is never framed, as in the window.
json problems_of(const Form& form) {
  json out = json::object();
  walk(form.page().items, [&](const Item& item, const std::string&) {
    const auto* f = std::get_if<Field>(&item.v);
    if (!f || (f->kind != FieldKind::Edit && f->kind != FieldKind::Multiline) || !form.enabled(f->id)) return;
    if (form.text(f->id) == to_gbk(f->text)) return;
    if (auto problem = value_problem(f->value, form.text(f->id))) out[f->id] = *problem;
  });
  return out;
}

json handle(const json& request) {
  const std::string op = request.at("op").get<std::string>();
  if (op == "pages") {  // the tab list; each page is described when it is first opened
    json all = json::array();
    for (const Page& page : pages()) all.push_back({{"index", page.index}, {"slug", page.slug}, {"tab", page.tab}});
    return {{"title", product::kTitle}, {"site", product::kWebSite}, {"pages", all}};
  }
  if (op == "describe") return describe(need_page(request));
  if (op == "encode") {  // the output box's text as the GBK bytes a saved script holds
    return {{"bytes", bytes_as_text(typed(request.at("text").get<std::string>(), true).bytes())}};
  }
  if (op == "check") {  // "检查脚本": the command tree, then a run on the default configuration
    json found = json::array();
    for (const ros7::Finding& f : ros7::check(request.at("text").get<std::string>(), ros7::Base::Defconf)) {
      found.push_back({{"line", f.line},
                       {"col", f.col},
                       {"error", f.severity == ros7::Severity::Error},
                       {"rule", f.rule},
                       {"text", f.chinese.empty() ? f.message : f.chinese}});
    }
    return {{"findings", std::move(found)}};
  }

  const Page& page = need_page(request);
  auto form = start_form(page);
  if (request.contains("state")) restore(*form, request.at("state"));
  json reply = json::object();

  if (op == "press") {
    const Button* b = find_button(page, request.at("button").get<std::string>());
    if (!b) throw UsageError("page " + page.slug + " has no button " + request.at("button").get<std::string>());
    WebEnv env(request);
    std::vector<FieldWarning> warnings;
    Outcome outcome = run_button(*form, env, *b, &warnings);
    if (env.keys_wanted) {
      reply["outcome"] = "keys";
      reply["keys"] = env.keys_wanted;
      warnings.clear();
    } else if (env.waiting) {
      reply["outcome"] = "input";
      warnings.clear();
    } else {
      reply["outcome"] = outcome == Outcome::Refused ? "refused" : "done";
    }
    reply["events"] = std::move(env.events);
    reply["random"] = env.draws();
    reply["warnings"] = warnings_of(warnings);
    // The files go with the press that made them (the form is new for every call) and are
    // not sent back: they hold private keys.
    if (outcome == Outcome::Done && !env.waiting && !form->files().empty()) {
      json files = json::array();
      for (const OutputFile& f : form->files()) {
        files.push_back({{"name", f.name}, {"text", f.text}, {"secret", f.secret}, {"qr", f.qr}});
      }
      reply["files"] = std::move(files);
    }
  } else if (op == "toggle") {
    toggle(*form, request.at("field").get<std::string>(), request.at("on").get<bool>());
  } else if (op == "choose") {
    form->set_index(request.at("field").get<std::string>(), request.at("index").get<int>());
  } else if (op == "click") {  // a click on a list row: selects it and runs the list's click
    const std::string list = request.at("list").get<std::string>();
    const LineList* l = find_list(page, list);
    if (!l) throw UsageError("page " + page.slug + " has no list " + list);
    form->select(list, request.at("row").get<int>());
    if (l->on_click && form->selected(list) >= 0) l->on_click(*form);
  } else if (op != "state") {
    throw UsageError("no operation " + op);
  }
  reply["state"] = state_of(*form);
  reply["problems"] = problems_of(*form);
  return reply;
}

}  // namespace
}  // namespace rosgen::web

// One entry point: a JSON request in, a JSON reply out (valid until the next call). The
// engine is built without exception catching (smaller and several times faster in the
// browser): the page sends only requests it built from the engine's own declarations.
extern "C" EMSCRIPTEN_KEEPALIVE const char* rosgen_call(const char* request) {
  static std::string reply;
  reply = rosgen::web::handle(json::parse(request)).dump(-1, ' ', false, json::error_handler_t::replace);
  return reply.c_str();
}
