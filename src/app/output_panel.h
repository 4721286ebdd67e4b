// The panel under every task page: the output box and its four buttons (copy,
// Winbox, terminal, web site). One component for all 25 pages, each bound to
// its own page's Form.
#pragma once

#include <functional>
#include <QGroupBox>

#include "app/launch.h"
#include "script/form.h"

class QPlainTextEdit;
class QPushButton;

namespace rosgen::app {

// The fixed texts of the copy button.
QString copy_success_text();
QString copy_failure_text();

class OutputPanel : public QGroupBox {
 public:
  using StartTool = std::function<void(Tool)>;

  OutputPanel(Form& form, Env& env, StartTool start_tool, QWidget* parent = nullptr);
  ~OutputPanel() override;

  QPlainTextEdit* output_box() const { return box_; }
  // Brings the box up to date with the Form now. Changes are otherwise
  // gathered and shown once control returns to the event loop, so a generator
  // that appends line by line does not redraw the box for every line.
  void flush();

  // The panel's buttons.
  void copy();
  void open_web_site();

 private:
  void output_changed();
  void typed_into_box();

  Form& form_;
  Env& env_;
  StartTool start_tool_;
  QPlainTextEdit* box_ = nullptr;
  int token_ = 0;
  bool dirty_ = false;
  bool queued_ = false;
  int changes_ = 0;  // output changes since the last flush
  bool syncing_ = false;
  Gbk shown_;  // what the box shows
};

}  // namespace rosgen::app
