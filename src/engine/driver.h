// Filling a page's form and pressing one of its buttons, as a person would in
// the window: what `rosgen run` does between reading its arguments and printing.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "script/env.h"
#include "script/form.h"

namespace rosgen {

// A request that names something the page does not have; the command line
// reports it as a usage error.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Press {
  std::string button;                               // id or designer name
  std::vector<std::pair<std::string, Gbk>> values;  // FIELD=VALUE, in order
  std::vector<std::string> check;
  std::vector<std::string> uncheck;
  std::vector<std::pair<std::string, int>> select;  // combo item index, or list row number from 1 (0: none)
  std::vector<Cells> rows;                          // typed into the list's fields, then "add" pressed
};

// A new form for the page with the start-up states applied.
std::unique_ptr<Form> start_form(const Page& page);

// In this order: the rows are added, the selections made (a list selection
// acts as a click on the row), the values typed, the boxes checked and
// unchecked; then the button is pressed. A lone LF in a multi-line value
// becomes CR LF. Fields may be named by designer name or English key. Throws UsageError
// before changing anything when a name is unknown.
// When the press wrote its script, `warnings` receives the fields it read whose values do not fit.
Outcome press(Form& form, Env& env, const Press& p, std::vector<FieldWarning>* warnings = nullptr);

// Presses one button as the window does; `warnings` as for press().
Outcome run_button(Form& form, Env& env, const Button& b, std::vector<FieldWarning>* warnings = nullptr);

// What a press left besides the form.
struct PressReport {
  Outcome outcome = Outcome::Done;
  // When the press wrote its script: the fields it read whose values do not fit, as its dialect writes them.
  std::vector<FieldWarning> warnings;
  // When it was refused: the message it showed last (UTF-8), the reason.
  std::string refusal;
};

// run_button(), with what the window and the web page tell after the press.
PressReport press_button(Form& form, Env& env, const Button& b);

// The scripts a button writes: a 7.X button's ("...-7x") RouterOS 7's; a
// 2.9.X/3.X one (with a 7.X sibling, or "-2x"/"-3x") the 2.9.x/3.x text; any
// other (a line list's add, modify and delete) none of its own.
Dialect dialect_of(const Page& page, const Button& b);

// Runs a check box's click behaviour after its state changed.
void toggle(Form& form, const std::string& field, bool on);

}  // namespace rosgen
