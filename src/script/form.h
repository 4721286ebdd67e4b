// The live state of one page: field texts, check states, combo indexes,
// enabled flags, line-list rows and the output box. Generators read and write
// it; a view follows it through change notifications.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "script/env.h"
#include "script/gbk.h"
#include "script/page.h"

namespace rosgen {

// What changed; `id` is the field, list or output box id.
struct Change {
  enum Kind { Text, Checked, Index, Enabled, Rows, Selection, Output, Files } kind;
  std::string id;
};

class UnknownId : public std::out_of_range {
 public:
  using std::out_of_range::out_of_range;
};

using Cells = std::vector<Gbk>;

// A file a press makes beside its script, for another machine: a WireGuard client's
// configuration. The output box holds the script for the router; these go elsewhere.
struct OutputFile {
  std::string name;    // a plain file name without a folder, such as "phone.conf"
  std::string text;    // UTF-8, LF line ends
  bool secret = true;  // holds a private key: readable by its owner only
  bool qr = true;      // offered as a QR code too, for phones to scan
  bool operator==(const OutputFile&) const = default;
};

class Form {
 public:
  // Fields start with their declared defaults.
  explicit Form(const Page& page);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const Page& page() const { return page_; }
  bool has_field(const std::string& id) const { return fields_.count(id) != 0; }
  bool has_list(const std::string& id) const { return lists_.count(id) != 0; }

  const Gbk& text(const std::string& id) const;
  void set_text(const std::string& id, Gbk text);
  bool checked(const std::string& id) const;
  // Checking a radio button clears the other buttons of its group.
  void set_checked(const std::string& id, bool on);
  // A combo's current item, -1 for none; its text follows the item.
  int index(const std::string& id) const;
  void set_index(const std::string& id, int index);
  bool enabled(const std::string& id) const;
  void set_enabled(const std::string& id, bool on);

  const Gbk& output() const { return output_; }
  void set_output(Gbk text);
  void append_output(const Gbk& text);

  // The files the last press that made any left beside the output; a press writes them
  // together with its script, and editing the output box leaves them as they are.
  const std::vector<OutputFile>& files() const { return files_; }
  void set_files(std::vector<OutputFile> files);

  // Line lists: rows of cells; the selected row is 0-based, -1 for none.
  const std::vector<Cells>& rows(const std::string& list) const;
  void add_row(const std::string& list, Cells cells);
  void set_row(const std::string& list, int row, Cells cells);
  void remove_row(const std::string& list, int row);
  int selected(const std::string& list) const;
  void select(const std::string& list, int row);

  // While a sink is set, the id of every field text read is noted in it, so a
  // press can tell which fields its script was made from.
  void note_reads(std::set<std::string>* sink) const { reads_ = sink; }

  using Listener = std::function<void(const Change&)>;
  // Returns a token for unsubscribe().
  int subscribe(Listener listener);
  void unsubscribe(int token);

 private:
  struct FieldState {
    const Field* decl;
    Gbk text;
    bool checked;
    int index;
    bool enabled;
  };
  struct ListState {
    const LineList* decl;
    std::vector<Cells> rows;
    int selected = -1;
  };

  FieldState& field(const std::string& id);
  const FieldState& field(const std::string& id) const;
  ListState& list(const std::string& id);
  const ListState& list(const std::string& id) const;
  void notify(Change::Kind kind, const std::string& id);

  const Page& page_;
  std::map<std::string, FieldState> fields_;
  std::map<std::string, ListState> lists_;
  Gbk output_;
  std::vector<OutputFile> files_;
  std::map<int, Listener> listeners_;
  int next_token_ = 1;
  mutable std::set<std::string>* reads_ = nullptr;
};

// A text field whose value does not fit its kind.
struct FieldWarning {
  std::string id;
  std::string label;   // UTF-8: the field's name as field_names() gives it
  std::string reason;  // UTF-8
};

// The warnings of the enabled text fields, in page order, for the scripts of
// `dialect`; only those in `read` when it is given.
std::vector<FieldWarning> field_warnings(const Form& form, const std::set<std::string>* read = nullptr,
                                         Dialect dialect = Dialect::Any);

// Each text field's name as the user finds it on the page (UTF-8, without a
// trailing colon): its label, or the text before it on its line. A name the
// page shows more than once also says where: the note that starts its part of
// the line, its group's title, the line's first label, its place in the line
// or the field above it.
std::map<std::string, std::string> field_names(const Page& page);

// What a generator works with: its page's form, the outside world, and the
// toolkit's field access.
class Ctx {
 public:
  Ctx(Form& form, Env& env) : form(form), env(env) {}

  Form& form;
  Env& env;

  const Gbk& text(const std::string& id) const { return form.text(id); }
  Gbk trimmed(const std::string& id) const;
  bool checked(const std::string& id) const { return form.checked(id); }
  Gbk yes_no(const std::string& id) const;
  int item(const std::string& id) const { return form.index(id); }
  // The field's KByte/s text as bit/s text.
  Gbk rate(const std::string& id) const;

  void write(Gbk script) { form.set_output(std::move(script)); }
  void append(const Gbk& text) { form.append_output(text); }
  void message(const std::string& text, const std::string& caption = kInfoCaption) { env.message(text, caption); }
  // Shows a failed check's message and reports the refusal.
  Outcome refuse(const std::string& text, const std::string& caption = kInfoCaption) {
    env.message(text, caption);
    return Outcome::Refused;
  }
};

// The check boxes of the seven weekdays, Sunday first.
using DayBoxes = std::array<const char*, 7>;
// "sun,mon,..." for the ticked day boxes, in weekday order.
Gbk day_list(const Form& form, const DayBoxes& boxes);

}  // namespace rosgen
