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

}  // namespace

Outcome run_button(Form& form, Env& env, const Button& b, std::vector<FieldWarning>* warnings) {
  Ctx ctx(form, env);
  std::set<std::string> read;
  form.note_reads(&read);
  Outcome out = Outcome::Done;
  try {
    out = run(ctx, b);
  } catch (...) {
    form.note_reads(nullptr);
    throw;
  }
  form.note_reads(nullptr);
  if (warnings) {
    warnings->clear();
    if (out == Outcome::Done) *warnings = field_warnings(form, &read);
  }
  return out;
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
