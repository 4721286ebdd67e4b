// Page declarations: what stands on a page (groups, fields, lists, buttons)
// and which generator each button runs. The window renders them, the command
// line drives them, and the tests press their buttons.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace rosgen {

class Ctx;
class Form;

enum class Outcome {
  Done,     // the output box was written, or the button writes nothing by design
  Refused,  // a check failed: its message was shown and the output left untouched
};

using Handler = std::function<Outcome(Ctx&)>;
using FormHook = std::function<void(Form&)>;

enum class FieldKind { Edit, Multiline, Check, Radio, Combo };

// All texts of a declaration are UTF-8.
struct Field {
  std::string id;  // designer name: the key in the Form, the widget's objectName, the CLI's FIELD
  FieldKind kind = FieldKind::Edit;
  std::string label;               // before the field; a check box's or radio button's own caption
  std::string hint;                // after the field
  std::string text;                // default text (edit, multi-line)
  bool checked = false;            // default state (check, radio)
  std::vector<std::string> items;  // combo items
  int index = -1;                  // combo item selected in the design
  std::string radio_group;         // radio buttons of one group exclude each other
  bool enabled = true;
  bool visible = true;
  bool read_only = false;  // shown but not typed into
  FormHook on_toggle;      // a check box's click (enables or disables other fields)
};

struct Button {
  std::string id;        // stable English id, unique within the page
  std::string designer;  // designer name; empty when the button has none
  std::string caption;
  Handler run;
};

// Fixed text on the page.
struct Note {
  std::string text;
};

struct Column {
  std::string title;
  int width = 100;
  std::string field;  // the editing field of this column
};

// A report-style line list with its editing fields (declared as Fields elsewhere on the page).
struct LineList {
  std::string id;
  std::vector<Column> columns;
  std::string add_button;  // the button id the CLI's --row presses
  FormHook on_click;       // a click on a row; may be empty
};

struct Item;

// A box with a caption (possibly empty) around its items, laid out top to bottom.
struct Group {
  std::string caption;
  std::vector<Item> items;
};

// Items side by side.
struct Row {
  std::vector<Item> items;
};

struct Item {
  std::variant<Field, Button, Note, LineList, Group, Row> v;
  Item(Field f) : v(std::move(f)) {}     // NOLINT(google-explicit-constructor)
  Item(Button b) : v(std::move(b)) {}    // NOLINT(google-explicit-constructor)
  Item(Note n) : v(std::move(n)) {}      // NOLINT(google-explicit-constructor)
  Item(LineList l) : v(std::move(l)) {}  // NOLINT(google-explicit-constructor)
  Item(Group g) : v(std::move(g)) {}     // NOLINT(google-explicit-constructor)
  Item(Row r) : v(std::move(r)) {}       // NOLINT(google-explicit-constructor)
};

struct Page {
  int index = 0;
  std::string slug;
  std::string tab;
  std::string caption;               // the page's upper group box
  std::string output;                // the output box id; empty on the start page
  std::array<std::string, 4> panel;  // designer names: copy, Winbox, terminal, web site
  std::vector<Item> items;           // inside the upper group box, top to bottom
  FormHook on_startup;               // initial field states set when the program starts

  bool built() const { return !items.empty(); }
};

// --- Declaration helpers, so pages read like their forms. ---

inline Field edit(std::string id, std::string label, std::string text, std::string hint = {}) {
  Field f;
  f.id = std::move(id);
  f.label = std::move(label);
  f.text = std::move(text);
  f.hint = std::move(hint);
  return f;
}

inline Field multiline(std::string id, std::string label, std::string text, std::string hint = {}) {
  Field f = edit(std::move(id), std::move(label), std::move(text), std::move(hint));
  f.kind = FieldKind::Multiline;
  return f;
}

inline Field check(std::string id, std::string caption, bool on, std::string hint = {}) {
  Field f;
  f.id = std::move(id);
  f.kind = FieldKind::Check;
  f.label = std::move(caption);
  f.checked = on;
  f.hint = std::move(hint);
  return f;
}

inline Field radio(std::string id, std::string caption, std::string group, bool on) {
  Field f;
  f.id = std::move(id);
  f.kind = FieldKind::Radio;
  f.label = std::move(caption);
  f.radio_group = std::move(group);
  f.checked = on;
  return f;
}

inline Field combo(std::string id, std::string label, std::vector<std::string> items, int index,
                   std::string hint = {}) {
  Field f;
  f.id = std::move(id);
  f.kind = FieldKind::Combo;
  f.label = std::move(label);
  f.items = std::move(items);
  f.index = index;
  f.hint = std::move(hint);
  return f;
}

inline Button button(std::string id, std::string designer, std::string caption, Handler run) {
  return Button{std::move(id), std::move(designer), std::move(caption), std::move(run)};
}

inline Note note(std::string text) { return Note{std::move(text)}; }

inline Group group(std::string caption, std::vector<Item> items) { return Group{std::move(caption), std::move(items)}; }

inline Row row(std::vector<Item> items) { return Row{std::move(items)}; }

// Visits every item of a page in page order (top to bottom, left to right).
// `fn` receives the item and the caption of the innermost group holding it.
void walk(const std::vector<Item>& items, const std::function<void(const Item&, const std::string&)>& fn,
          const std::string& group_caption = {});

const Field* find_field(const Page& page, const std::string& id);
const Button* find_button(const Page& page, const std::string& id_or_designer);
const LineList* find_list(const Page& page, const std::string& id);

}  // namespace rosgen
