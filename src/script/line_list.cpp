#include "script/line_list.h"

#include <stdexcept>

#include "script/text.h"

namespace rosgen {
namespace {

Cells field_texts(const Ctx& c, const LineList& list) {
  Cells cells;
  cells.reserve(list.columns.size());
  for (const Column& column : list.columns) cells.push_back(c.trimmed(column.field));
  return cells;
}

const LineList& need_list(const Form& form, const std::string& id) {
  const LineList* list = find_list(form.page(), id);
  // A page wired to a list it does not declare is a fault of the program, not of the input.
  if (!list) throw std::logic_error("page " + form.page().slug + " has no list " + id);
  return *list;
}

}  // namespace

Outcome add_line(Ctx& c, const LineList& list, const std::string& duplicate) {
  Cells cells = field_texts(c, list);
  const Gbk key = cells.empty() ? Gbk() : cells.front();
  for (const Cells& row : c.form.rows(list.id)) {
    const Gbk cell = row.empty() ? Gbk() : row.front();
    if (equal_ignoring_case(cell, key)) return c.refuse(duplicate, kDuplicateCaption);
  }
  c.form.add_row(list.id, std::move(cells));
  return Outcome::Done;
}

Outcome modify_line(Ctx& c, const LineList& list) {
  int row = c.form.selected(list.id);
  if (row >= 0) c.form.set_row(list.id, row, field_texts(c, list));
  return Outcome::Done;
}

Outcome delete_line(Ctx& c, const LineList& list) {
  int row = c.form.selected(list.id);
  if (row < 0) return c.refuse(kSelectRowFirst);
  c.form.remove_row(list.id, row);
  return Outcome::Done;
}

void fill_fields(Form& form, const LineList& list) {
  int row = form.selected(list.id);
  if (row < 0) return;
  // Copied, since setting a field may tell a view that reads the list again.
  const Cells cells = form.rows(list.id)[static_cast<size_t>(row)];
  for (size_t i = 0; i < list.columns.size(); ++i) {
    form.set_text(list.columns[i].field, i < cells.size() ? cells[i] : Gbk());
  }
}

Handler add_line_handler(std::string list_id, std::string duplicate) {
  return [id = std::move(list_id), message = std::move(duplicate)](Ctx& c) {
    return add_line(c, need_list(c.form, id), message);
  };
}

Handler modify_line_handler(std::string list_id) {
  return [id = std::move(list_id)](Ctx& c) { return modify_line(c, need_list(c.form, id)); };
}

Handler delete_line_handler(std::string list_id) {
  return [id = std::move(list_id)](Ctx& c) { return delete_line(c, need_list(c.form, id)); };
}

FormHook fill_fields_handler(std::string list_id) {
  return [id = std::move(list_id)](Form& form) { fill_fields(form, need_list(form, id)); };
}

}  // namespace rosgen
