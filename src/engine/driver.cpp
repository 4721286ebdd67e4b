#include "engine/driver.h"

#include <memory>

namespace rosgen {
namespace {

const LineList* only_list(const Page& page) {
  const LineList* found = nullptr;
  walk(page.items, [&](const Item& item, const std::string&) {
    if (const auto* l = std::get_if<LineList>(&item.v); l && !found) found = l;
  });
  return found;
}

const Field& need_field(const Page& page, const std::string& id) {
  const Field* f = find_field(page, id);
  if (!f) throw UsageError("page " + page.slug + " has no field " + id);
  return *f;
}

Gbk with_crlf(const Gbk& text) {
  std::string out;
  const std::string& s = text.bytes();
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) out += '\r';
    out += s[i];
  }
  return Gbk::from_bytes(std::move(out));
}

Outcome run(Ctx& ctx, const Button& b) { return b.run ? b.run(ctx) : Outcome::Done; }

// Passes everything on, and keeps the last message shown: a refusal's reason.
class Witness : public Env {
 public:
  explicit Witness(Env& inner) : inner_(inner) {}
  void message(const std::string& text, const std::string& caption) override {
    last = text;
    inner_.message(text, caption);
  }
  std::optional<Gbk> input_box(const std::string& prompt, const std::string& title, const Gbk& initial) override {
    return inner_.input_box(prompt, title, initial);
  }
  void open_address(const std::string& address) override { inner_.open_address(address); }
  std::filesystem::path program_dir() override { return inner_.program_dir(); }
  std::filesystem::path user_data_dir() override { return inner_.user_data_dir(); }
  Date today() override { return inner_.today(); }
  std::uint32_t tick_count() override { return inner_.tick_count(); }
  std::uint32_t random_below(std::uint32_t n) override { return inner_.random_below(n); }
  bool append_file(const std::filesystem::path& file, const std::string& bytes) override {
    return inner_.append_file(file, bytes);
  }
  std::vector<KeyPair> new_key_pairs(std::size_t n) override { return inner_.new_key_pairs(n); }
  std::size_t script_limit() override { return inner_.script_limit(); }

  std::string last;

 private:
  Env& inner_;
};

}  // namespace

Dialect dialect_of(const Page& page, const Button& b) {
  if (b.id.ends_with("-7x")) return Dialect::V7;
  if (b.id.ends_with("-2x") || b.id.ends_with("-3x") || find_button(page, b.id + "-7x")) return Dialect::Classic;
  return Dialect::Any;
}

PressReport press_button(Form& form, Env& env, const Button& b) {
  Witness witness(env);
  Ctx ctx(form, witness);
  std::set<std::string> read;
  form.note_reads(&read);
  PressReport report;
  try {
    report.outcome = run(ctx, b);
  } catch (...) {
    form.note_reads(nullptr);
    throw;
  }
  form.note_reads(nullptr);
  if (report.outcome == Outcome::Done) {
    report.warnings = field_warnings(form, &read, dialect_of(form.page(), b));
  } else {
    report.refusal = std::move(witness.last);
  }
  return report;
}

Outcome run_button(Form& form, Env& env, const Button& b, std::vector<FieldWarning>* warnings) {
  PressReport report = press_button(form, env, b);
  if (warnings) *warnings = std::move(report.warnings);
  return report.outcome;
}

std::unique_ptr<Form> start_form(const Page& page) {
  auto form = std::make_unique<Form>(page);
  if (page.on_startup) page.on_startup(*form);
  return form;
}

void toggle(Form& form, const std::string& field, bool on) {
  form.set_checked(field, on);
  const Field* f = find_field(form.page(), field);
  if (f && f->on_toggle) f->on_toggle(form);
}

// The press with every field named by its designer name, whether it was given that or the English key.
static Press by_designer_names(const Page& page, Press p) {
  auto rename = [&](std::string& name) {
    if (const Field* f = find_field_named(page, name)) name = f->id;
  };
  for (auto& [id, value] : p.values) rename(id);
  for (std::string& id : p.check) rename(id);
  for (std::string& id : p.uncheck) rename(id);
  for (auto& [id, n] : p.select) rename(id);
  return p;
}

Outcome press(Form& form, Env& env, const Press& given, std::vector<FieldWarning>* warnings) {
  const Page& page = form.page();
  const Press p = by_designer_names(page, given);
  // Check every name first, so a usage error changes nothing.
  const Button* target = find_button(page, p.button);
  if (!target) throw UsageError("page " + page.slug + " has no button " + p.button);
  const LineList* list = only_list(page);
  const Button* add = nullptr;
  if (!p.rows.empty()) {
    if (!list) throw UsageError("page " + page.slug + " has no line list for --row");
    add = find_button(page, list->add_button);
    if (!add) throw UsageError("page " + page.slug + " has no add button for its list");
    for (const Cells& cells : p.rows) {
      if (cells.size() > list->columns.size()) {
        throw UsageError("--row has " + std::to_string(cells.size()) + " cells; the list has " +
                         std::to_string(list->columns.size()) + " columns");
      }
    }
  }
  for (const auto& [id, n] : p.select) {
    if (form.has_list(id)) continue;
    const Field& f = need_field(page, id);
    if (f.kind != FieldKind::Combo) throw UsageError(id + " is neither a combo box nor a line list");
    if (n < -1 || n >= static_cast<int>(f.items.size())) {
      throw UsageError(id + " has no item " + std::to_string(n));
    }
  }
  for (const auto& [id, value] : p.values) {
    FieldKind kind = need_field(page, id).kind;
    if (kind != FieldKind::Edit && kind != FieldKind::Multiline) {
      throw UsageError(id + " takes no text; use --check, --uncheck or --select");
    }
  }
  for (const auto* names : {&p.check, &p.uncheck}) {
    for (const std::string& id : *names) {
      FieldKind kind = need_field(page, id).kind;
      if (kind != FieldKind::Check && kind != FieldKind::Radio) throw UsageError(id + " is not a check box");
    }
  }

  Ctx ctx(form, env);
  for (const Cells& cells : p.rows) {
    for (size_t i = 0; i < list->columns.size(); ++i) {
      form.set_text(list->columns[i].field, i < cells.size() ? cells[i] : Gbk());
    }
    run(ctx, *add);
  }
  for (const auto& [id, n] : p.select) {
    if (form.has_list(id)) {
      // Rows count from 1 and exist only once added: a row that is not there is a usage error,
      // as an item a combo box does not have.
      if (n < 1 || n > static_cast<int>(form.rows(id).size())) {
        throw UsageError(id + " has no row " + std::to_string(n) + " (it has " + std::to_string(form.rows(id).size()) +
                         ")");
      }
      form.select(id, n - 1);
      const LineList* l = find_list(page, id);
      if (l && l->on_click && form.selected(id) >= 0) l->on_click(form);
    } else {
      form.set_index(id, n);
    }
  }
  for (const auto& [id, value] : p.values) {
    bool multi = find_field(page, id)->kind == FieldKind::Multiline;
    form.set_text(id, multi ? with_crlf(value) : value);
  }
  for (const std::string& id : p.check) toggle(form, id, true);
  for (const std::string& id : p.uncheck) toggle(form, id, false);
  return run_button(form, env, *target, warnings);
}

}  // namespace rosgen
