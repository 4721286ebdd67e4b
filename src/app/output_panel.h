// The panel under every task page: the output box and its buttons (copy,
// save, Winbox, terminal, web site, and the RouterOS 7 script check). One
// component for all 25 pages, each bound to its own page's Form.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <QByteArray>
#include <QDateTime>
#include <QGroupBox>
#include <QStringList>

#include "app/launch.h"
#include "engine/driver.h"
#include "script/form.h"

class QDialog;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace rosgen::app {

// The fixed texts of the copy button.
QString copy_success_text();
QString copy_failure_text();

// A saved script: its proposed name PAGE-SLUG-YYYYMMDD-HHMM.rsc, the file
// types of the save dialog (GBK first, then UTF-8), and its bytes in the
// type's encoding with every line ending in CR LF.
QString script_file_name(const std::string& slug, const QDateTime& at);
QStringList script_file_types();
enum class ScriptEncoding { Gbk, Utf8 };
QByteArray script_file_bytes(const Gbk& script, ScriptEncoding encoding);
// The same in UTF-8 from the text the box shows, for what the Form cannot hold.
QByteArray script_file_bytes(const QString& shown_text);
// Writes the whole file or nothing: a failure leaves what was there before.
// The reason of a failure, or nothing when written.
std::optional<QString> write_whole_file(const QString& path, const QByteArray& bytes);

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
  // Asks for a file and writes the box to it; Ctrl+S does the same.
  void save();
  void open_web_site();
  // Checks what the box holds now as a RouterOS 7 script: marks the lines with
  // findings and lists the first of them; the text itself is left alone.
  void check_script();
  // The line under the box naming the fields of the last press that may break
  // its script; empty warnings clear it.
  void show_warnings(const std::vector<FieldWarning>& warnings);
  QLabel* warning_line() const { return warning_line_; }
  // The client files of the last press that made any (a WireGuard client's configuration and
  // its QR code), in a dialog of their own; the button that opens it shows only when there are.
  QPushButton* files_button() const { return files_button_; }
  QDialog* show_files();
  // The line under the box that says what the last action left; empty clears it.
  void show_status(const QString& text);
  QLabel* status_line() const { return status_line_; }

  // A press of one of the page's buttons, around its run. Before it, the lines
  // under the box are cleared, so nothing of the last press stands beside a
  // refusal's message; after it, they tell what it left. A script written
  // meanwhile by a 2.9.x/3.x button is still checked, but the check says first
  // that it judges RouterOS 7.
  void pressing(const Button& button);
  void pressed(const PressReport& report);

 private:
  void output_changed();
  void files_changed();
  void typed_into_box();
  void clear_marks();
  bool eventFilter(QObject* watched, QEvent* event) override;

  Form& form_;
  Env& env_;
  StartTool start_tool_;
  QPlainTextEdit* box_ = nullptr;
  QLabel* warning_line_ = nullptr;
  QPushButton* files_button_ = nullptr;
  QLabel* status_line_ = nullptr;
  int token_ = 0;
  bool dirty_ = false;
  bool queued_ = false;
  int changes_ = 0;  // output changes since the last flush
  bool syncing_ = false;
  const Button* pressing_ = nullptr;
  bool older_dialect_ = false;       // the box's script was written by a 2.9.x/3.x button
  Gbk shown_;                        // what the box shows
  std::map<int, QString> findings_;  // 0-based line -> its findings, for the tooltip
};

}  // namespace rosgen::app
