// The outside world as the window's generators see it: folders, clock and
// randomness from the system, dialogs and addresses through the Desktop.
#pragma once

#include <QPointer>
#include <QWidget>

#include "app/desktop.h"
#include "os/system_env.h"

namespace rosgen::app {

class WindowEnv : public SystemEnv {
 public:
  explicit WindowEnv(Desktop& desktop) : desktop_(desktop) {}

  // The window that owns the dialogs.
  void set_owner(QWidget* owner) { owner_ = owner; }
  Desktop& desktop() { return desktop_; }
  QWidget* owner() const { return owner_; }
  // A message of the window's own, with an icon.
  void tell(const QString& text, const QString& caption, Desktop::Icon icon = Desktop::Icon::None);

  void message(const std::string& text, const std::string& caption) override;
  std::optional<Gbk> input_box(const std::string& prompt, const std::string& title, const Gbk& initial) override;
  void open_address(const std::string& address) override;
  std::filesystem::path program_dir() override;

  // Where the Tools folder is looked for; the program's own folder unless set.
  std::optional<std::filesystem::path> fixed_program_dir;
  // The folder the last script was saved in, proposed for the next one.
  QString save_folder;

 private:
  Desktop& desktop_;
  QPointer<QWidget> owner_;
};

// GBK field and script text as shown in a widget (CR LF shown as one line break).
QString shown(const Gbk& text);
// Text typed into a widget as it enters the Form; a multi-line box's line
// breaks become CR LF.
Gbk typed(const QString& text, bool multiline);

}  // namespace rosgen::app
