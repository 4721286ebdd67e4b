// Page declarations: what stands on a page (groups, fields, lists, buttons)
// and which generator each button runs. The window renders them, the command
// line drives them, and the tests press their buttons.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "script/value_kind.h"

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
  bool read_only = false;   // shown but not typed into
  FormHook on_toggle;       // a check box's click (enables or disables other fields)
  ValueRule value;          // what kind of value the field holds, for warnings
  std::string key;          // short English name, unique on the page; the CLI takes it for the id
  bool hint_below = false;  // the hint on its own line under the field, where beside it would widen the row
  int width = 0;            // characters an edit box shows, where its default text is no guide (a key)
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
  std::string add_button;                // the button id the CLI's --row presses
  FormHook on_click;                     // a click on a row; may be empty
  int lines = 4;                         // about as many lines in view at a time
  std::string modify_button = "modify";  // overwrites the selected row; does nothing without one
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
  bool wrap = false;     // items go on to further lines where the row is too narrow
  bool stacked = false;  // items top to bottom instead: a column within a row
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
  bool ros7_only = false;            // a RouterOS 7 job alone: no 2.9.x/3.x buttons beside its 7.x ones

  bool built() const { return !items.empty(); }
};

// --- Declaration helpers, so pages read like their forms. ---

// A field's designer name and its English key: {"编辑框_安装_外网ip", "wan-ip"}.
struct FieldName {
  FieldName(const char* id) : id(id) {}             // NOLINT(google-explicit-constructor)
  FieldName(std::string id) : id(std::move(id)) {}  // NOLINT(google-explicit-constructor)
  FieldName(std::string id, std::string key) : id(std::move(id)), key(std::move(key)) {}
  std::string id;
  std::string key;
};

// A default text with the kind of value the field holds: edit(id, label, v::ipv4("192.168.0.1")).
struct Typed {
  ValueRule rule;
  std::string text;

  // How the 2.9.x/3.x and the 7.x scripts write the value, where a page writes
  // it otherwise than its kind usually is.
  Typed written(Writing classic, Writing v7) const {
    Typed t = *this;
    t.rule.classic = classic;
    t.rule.v7 = v7;
    return t;
  }
  // An Integer: what a value below the least does, said instead of the range.
  Typed below_min(const char* why) const {
    Typed t = *this;
    t.rule.below_min = why;
    return t;
  }
};

namespace v {
// The usual writing per kind: 2.9.x/3.x put addresses, names and numbers as
// typed and free text between quotes; RouterOS 7 escapes every value; rates are
// read as numbers by both.
inline Typed word(ValueKind kind, std::string t) {
  return {{kind, 0, 0, Writing::Plain, Writing::Escaped}, std::move(t)};
}
inline Typed quoted(ValueKind kind, std::string t) {
  return {{kind, 0, 0, Writing::Quoted, Writing::Escaped}, std::move(t)};
}
inline Typed ipv4(std::string t) { return word(ValueKind::Ipv4, std::move(t)); }
inline Typed address(std::string t) { return word(ValueKind::Address, std::move(t)); }
inline Typed netmask(std::string t) { return word(ValueKind::Netmask, std::move(t)); }
inline Typed range(std::string t) { return word(ValueKind::Range, std::move(t)); }
inline Typed addresses(std::string t) { return word(ValueKind::AddressList, std::move(t)); }
inline Typed prefix3(std::string t) { return word(ValueKind::Prefix3, std::move(t)); }
inline Typed iface(std::string t) { return word(ValueKind::Interface, std::move(t)); }
inline Typed name(std::string t) { return word(ValueKind::Name, std::move(t)); }
inline Typed text(std::string t) { return quoted(ValueKind::Text, std::move(t)); }
inline Typed rate(std::string t) { return {{ValueKind::Rate, 0, 0, Writing::Number, Writing::Number}, std::move(t)}; }
inline Typed integer(std::int64_t min, std::int64_t max, std::string t) {
  return {{ValueKind::Integer, min, max, Writing::Plain, Writing::Escaped}, std::move(t)};
}
inline Typed count(std::string t) { return integer(0, 1'000'000, std::move(t)); }
inline Typed port(std::string t) { return integer(1, 65535, std::move(t)); }
// Hours, minutes and seconds are read as numbers and written as a time of day.
inline Typed hour(std::string t) { return integer(0, 23, std::move(t)).written(Writing::Number, Writing::Number); }
inline Typed minute(std::string t) {  // and seconds
  return integer(0, 59, std::move(t)).written(Writing::Number, Writing::Number);
}
inline Typed time(std::string t) { return word(ValueKind::Time, std::move(t)); }
inline Typed date(std::string t) { return word(ValueKind::Date, std::move(t)); }
inline Typed mac(std::string t) { return word(ValueKind::Mac, std::move(t)); }
inline Typed ports(std::string t) { return word(ValueKind::PortRange, std::move(t)); }
inline Typed domain(std::string t) { return quoted(ValueKind::Domain, std::move(t)); }
inline Typed password(std::string t) { return quoted(ValueKind::Password, std::move(t)); }
}  // namespace v

inline Field edit(FieldName name, std::string label, std::string text, std::string hint = {}) {
  Field f;
  f.id = std::move(name.id);
  f.key = std::move(name.key);
  f.label = std::move(label);
  f.text = std::move(text);
  f.hint = std::move(hint);
  return f;
}

inline Field multiline(FieldName name, std::string label, std::string text, std::string hint = {}) {
  Field f = edit(std::move(name), std::move(label), std::move(text), std::move(hint));
  f.kind = FieldKind::Multiline;
  return f;
}

inline Field edit(FieldName name, std::string label, Typed typed, std::string hint = {}) {
  Field f = edit(std::move(name), std::move(label), std::move(typed.text), std::move(hint));
  f.value = typed.rule;
  return f;
}

inline Field multiline(FieldName name, std::string label, Typed typed, std::string hint = {}) {
  Field f = multiline(std::move(name), std::move(label), std::move(typed.text), std::move(hint));
  f.value = typed.rule;
  return f;
}

inline Field check(FieldName name, std::string caption, bool on, std::string hint = {}) {
  Field f;
  f.id = std::move(name.id);
  f.key = std::move(name.key);
  f.kind = FieldKind::Check;
  f.label = std::move(caption);
  f.checked = on;
  f.hint = std::move(hint);
  f.value.kind = ValueKind::Flag;
  return f;
}

inline Field radio(FieldName name, std::string caption, std::string group, bool on) {
  Field f;
  f.id = std::move(name.id);
  f.key = std::move(name.key);
  f.kind = FieldKind::Radio;
  f.label = std::move(caption);
  f.radio_group = std::move(group);
  f.checked = on;
  f.value.kind = ValueKind::Flag;
  return f;
}

inline Field combo(FieldName name, std::string label, std::vector<std::string> items, int index,
                   std::string hint = {}) {
  Field f;
  f.id = std::move(name.id);
  f.key = std::move(name.key);
  f.kind = FieldKind::Combo;
  f.label = std::move(label);
  f.items = std::move(items);
  f.index = index;
  f.hint = std::move(hint);
  f.value.kind = ValueKind::Choice;
  return f;
}

inline Button button(std::string id, std::string designer, std::string caption, Handler run) {
  return Button{std::move(id), std::move(designer), std::move(caption), std::move(run)};
}

inline Note note(std::string text) { return Note{std::move(text)}; }

inline Group group(std::string caption, std::vector<Item> items) { return Group{std::move(caption), std::move(items)}; }

inline Row row(std::vector<Item> items) { return Row{std::move(items)}; }

// Items side by side, as many to a line as fit (many buttons in little height).
inline Row flow(std::vector<Item> items) {
  Row r{std::move(items)};
  r.wrap = true;
  return r;
}

// Items top to bottom without a box of their own, so a Row can hold columns.
inline Row column(std::vector<Item> items) {
  Row r{std::move(items)};
  r.stacked = true;
  return r;
}

// The field with its hint under it rather than beside it.
inline Field below(Field f) {
  f.hint_below = true;
  return f;
}

// Visits every item of a page in page order (top to bottom, left to right).
// `fn` receives the item and the caption of the innermost group holding it.
void walk(const std::vector<Item>& items, const std::function<void(const Item&, const std::string&)>& fn,
          const std::string& group_caption = {});

const Field* find_field(const Page& page, const std::string& id);
// By designer name or English key, as the command line names fields.
const Field* find_field_named(const Page& page, const std::string& id_or_key);
const Button* find_button(const Page& page, const std::string& id_or_designer);
const LineList* find_list(const Page& page, const std::string& id);

}  // namespace rosgen
