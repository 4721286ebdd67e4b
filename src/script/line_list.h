// The line list editor of the multi-line pages: rows added, changed and
// removed from the list's editing fields, and a clicked row copied back into
// them. Everything lives in the Form, so the window's report view and the
// command line's --row drive the same code.
#pragma once

#include <string>

#include "script/form.h"
#include "script/page.h"

namespace rosgen {

// The caption of the duplicate message.
inline constexpr const char* kDuplicateCaption = "重复记录!";
// Shown by delete without a selected row, under the default caption.
inline constexpr const char* kSelectRowFirst = "请先选择要删除的表项再执行此操作!";

// Appends a row of the editing fields' trimmed texts, column by column. When a
// row's first cell already equals the first field's text (letters in either
// case), shows `duplicate` and changes nothing. The fields keep their texts and
// the new row is not selected.
Outcome add_line(Ctx& c, const LineList& list, const std::string& duplicate);

// Overwrites every cell of the selected row with the editing fields' trimmed
// texts, without a duplicate check. Without a selection nothing happens.
Outcome modify_line(Ctx& c, const LineList& list);

// Removes the selected row (those below move up); without a selection shows
// the selection message and changes nothing.
Outcome delete_line(Ctx& c, const LineList& list);

// Copies the selected row's cells into the editing fields; nothing without a selection.
void fill_fields(Form& form, const LineList& list);

// The same operations as button handlers and a click hook, bound to the list
// `list_id` of the page they are pressed on.
Handler add_line_handler(std::string list_id, std::string duplicate);
Handler modify_line_handler(std::string list_id);
Handler delete_line_handler(std::string list_id);
FormHook fill_fields_handler(std::string list_id);

}  // namespace rosgen
