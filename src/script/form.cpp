#include "script/form.h"

#include "script/text.h"

namespace rosgen {

void walk(const std::vector<Item>& items, const std::function<void(const Item&, const std::string&)>& fn,
          const std::string& group_caption) {
  for (const Item& item : items) {
    fn(item, group_caption);
    if (const auto* g = std::get_if<Group>(&item.v)) {
      walk(g->items, fn, g->caption);
    } else if (const auto* r = std::get_if<Row>(&item.v)) {
      walk(r->items, fn, group_caption);
    }
  }
}

namespace {

template <typename T>
const T* find_item(const Page& page, const std::function<bool(const T&)>& match) {
  const T* found = nullptr;
  walk(page.items, [&](const Item& item, const std::string&) {
    if (const auto* t = std::get_if<T>(&item.v); t && !found && match(*t)) found = t;
  });
  return found;
}

}  // namespace

const Field* find_field(const Page& page, const std::string& id) {
  return find_item<Field>(page, [&](const Field& f) { return f.id == id; });
}

const Field* find_field_named(const Page& page, const std::string& id_or_key) {
  if (const Field* f = find_field(page, id_or_key)) return f;
  return find_item<Field>(page, [&](const Field& f) { return !f.key.empty() && f.key == id_or_key; });
}

const Button* find_button(const Page& page, const std::string& id_or_designer) {
  const Button* b = find_item<Button>(page, [&](const Button& x) { return x.id == id_or_designer; });
  if (b) return b;
  return find_item<Button>(page, [&](const Button& x) { return !x.designer.empty() && x.designer == id_or_designer; });
}

const LineList* find_list(const Page& page, const std::string& id) {
  return find_item<LineList>(page, [&](const LineList& l) { return l.id == id; });
}

Form::Form(const Page& page) : page_(page) {
  walk(page.items, [&](const Item& item, const std::string&) {
    if (const auto* f = std::get_if<Field>(&item.v)) {
      Gbk text = to_gbk(f->text);
      if (f->kind == FieldKind::Combo && f->index >= 0 && f->index < static_cast<int>(f->items.size())) {
        text = to_gbk(f->items[static_cast<size_t>(f->index)]);
      }
      fields_.emplace(f->id, FieldState{f, std::move(text), f->checked, f->index, f->enabled});
    } else if (const auto* l = std::get_if<LineList>(&item.v)) {
      lists_.emplace(l->id, ListState{l, {}, -1});
    }
  });
}

Form::FieldState& Form::field(const std::string& id) {
  auto it = fields_.find(id);
  if (it == fields_.end()) throw UnknownId("page " + page_.slug + " has no field " + id);
  return it->second;
}

const Form::FieldState& Form::field(const std::string& id) const { return const_cast<Form*>(this)->field(id); }

Form::ListState& Form::list(const std::string& id) {
  auto it = lists_.find(id);
  if (it == lists_.end()) throw UnknownId("page " + page_.slug + " has no list " + id);
  return it->second;
}

const Form::ListState& Form::list(const std::string& id) const { return const_cast<Form*>(this)->list(id); }

const Gbk& Form::text(const std::string& id) const {
  const FieldState& f = field(id);
  if (reads_) reads_->insert(id);
  return f.text;
}

void Form::set_text(const std::string& id, Gbk text) {
  FieldState& f = field(id);
  if (f.text == text) return;
  f.text = std::move(text);
  notify(Change::Text, id);
}

bool Form::checked(const std::string& id) const { return field(id).checked; }

void Form::set_checked(const std::string& id, bool on) {
  FieldState& f = field(id);
  if (on && f.decl->kind == FieldKind::Radio) {
    for (auto& [other_id, other] : fields_) {
      if (&other != &f && other.decl->kind == FieldKind::Radio && other.decl->radio_group == f.decl->radio_group &&
          other.checked) {
        other.checked = false;
        notify(Change::Checked, other_id);
      }
    }
  }
  if (f.checked == on) return;
  f.checked = on;
  notify(Change::Checked, id);
}

int Form::index(const std::string& id) const { return field(id).index; }

void Form::set_index(const std::string& id, int index) {
  FieldState& f = field(id);
  const auto& items = f.decl->items;
  if (index < -1 || index >= static_cast<int>(items.size())) index = -1;
  if (f.index == index) return;
  f.index = index;
  f.text = index < 0 ? Gbk() : to_gbk(items[static_cast<size_t>(index)]);
  notify(Change::Index, id);
}

bool Form::enabled(const std::string& id) const { return field(id).enabled; }

void Form::set_enabled(const std::string& id, bool on) {
  FieldState& f = field(id);
  if (f.enabled == on) return;
  f.enabled = on;
  notify(Change::Enabled, id);
}

void Form::set_output(Gbk text) {
  output_ = std::move(text);
  notify(Change::Output, page_.output);
}

void Form::set_files(std::vector<OutputFile> files) {
  if (files_ == files) return;
  files_ = std::move(files);
  notify(Change::Files, page_.output);
}

void Form::append_output(const Gbk& text) {
  output_ += text;
  notify(Change::Output, page_.output);
}

const std::vector<Cells>& Form::rows(const std::string& list_id) const { return list(list_id).rows; }

void Form::add_row(const std::string& list_id, Cells cells) {
  list(list_id).rows.push_back(std::move(cells));
  notify(Change::Rows, list_id);
}

void Form::set_row(const std::string& list_id, int row, Cells cells) {
  ListState& l = list(list_id);
  if (row < 0 || row >= static_cast<int>(l.rows.size())) return;
  l.rows[static_cast<size_t>(row)] = std::move(cells);
  notify(Change::Rows, list_id);
}

void Form::remove_row(const std::string& list_id, int row) {
  ListState& l = list(list_id);
  if (row < 0 || row >= static_cast<int>(l.rows.size())) return;
  l.rows.erase(l.rows.begin() + row);
  // The selection goes with the removed row.
  bool had_selection = l.selected >= 0;
  if (l.selected == row) {
    l.selected = -1;
  } else if (l.selected > row) {
    --l.selected;
  }
  notify(Change::Rows, list_id);
  if (had_selection) notify(Change::Selection, list_id);
}

int Form::selected(const std::string& list_id) const { return list(list_id).selected; }

void Form::select(const std::string& list_id, int row) {
  ListState& l = list(list_id);
  if (row < 0 || row >= static_cast<int>(l.rows.size())) row = -1;
  if (l.selected == row) return;
  l.selected = row;
  notify(Change::Selection, list_id);
}

int Form::subscribe(Listener listener) {
  int token = next_token_++;
  listeners_.emplace(token, std::move(listener));
  return token;
}

void Form::unsubscribe(int token) { listeners_.erase(token); }

void Form::notify(Change::Kind kind, const std::string& id) {
  if (listeners_.empty()) return;
  Change change{kind, id};
  // A snapshot, so a listener may unsubscribe while being told.
  auto listeners = listeners_;
  for (auto& [token, listener] : listeners) listener(change);
}

Gbk Ctx::trimmed(const std::string& id) const { return trim(form.text(id)); }

Gbk Ctx::yes_no(const std::string& id) const { return rosgen::yes_no(form.checked(id)); }

Gbk Ctx::rate(const std::string& id) const { return rate_bits(form.text(id)); }

Gbk day_list(const Form& form, const DayBoxes& boxes) {
  static const char* const kDays[] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
  std::string out;
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    if (!form.checked(boxes[i])) continue;
    if (!out.empty()) out += ',';
    out += kDays[i];
  }
  return Gbk::from_bytes(std::move(out));
}

}  // namespace rosgen
