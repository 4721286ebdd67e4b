// The panel under every task page: the output box and its buttons (copy,
// Winbox, terminal, web site, and the RouterOS 7 script check). One component for all 25 pages, each bound to
// its own page's Form.
#pragma once

#include <functional>
#include <map>
#include <QGroupBox>

#include "app/launch.h"
#include "script/form.h"

class QLabel;
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
  // Checks what the box holds now as a RouterOS 7 script: marks the lines with
  // findings and lists the first of them; the text itself is left alone.
  void check_script();
  // The line under the box naming the fields of the last press that may break
  // its script; empty warnings clear it.
  void show_warnings(const std::vector<FieldWarning>& warnings);
  QLabel* warning_line() const { return warning_line_; }

 private:
  void output_changed();
  void typed_into_box();
  void clear_marks();
  bool eventFilter(QObject* watched, QEvent* event) override;

  Form& form_;
  Env& env_;
  StartTool start_tool_;
  QPlainTextEdit* box_ = nullptr;
  QLabel* warning_line_ = nullptr;
  int token_ = 0;
  bool dirty_ = false;
  bool queued_ = false;
  int changes_ = 0;  // output changes since the last flush
  bool syncing_ = false;
  Gbk shown_;                        // what the box shows
  std::map<int, QString> findings_;  // 0-based line -> its findings, for the tooltip
};

}  // namespace rosgen::app
