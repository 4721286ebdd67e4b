// The window's dealings with the person and the desktop: message boxes, the
// input box, the About box, addresses and outside programs. The window only
// talks to this interface, so tests read what it would have shown and
// automated runs write it to stderr instead of waiting for a click.
#pragma once

#include <optional>
#include <QString>
#include <QStringList>

class QWidget;

namespace rosgen::app {

// A program and its arguments, started without a shell.
struct Command {
  QString program;
  QStringList args;
  bool operator==(const Command&) const = default;
};

class Desktop {
 public:
  enum class Icon { None, Warning, Error };
  enum class Buttons { Ok, OkCancel };

  virtual ~Desktop() = default;

  // A modal message box; true when it was closed with OK.
  virtual bool message(QWidget* owner, const QString& text, const QString& caption, Icon icon = Icon::None,
                       Buttons buttons = Buttons::Ok) = 0;
  // A one-line input box; the confirmed text, or nothing when cancelled.
  virtual std::optional<QString> input(QWidget* owner, const QString& prompt, const QString& title,
                                       const QString& initial) = 0;
  virtual void about(QWidget* owner, const QString& title, const QString& text) = 0;
  // A save dialog proposing the path `proposed`, offering `types` (name
  // filters) with the first chosen; the chosen path and the index of the
  // chosen type, or nothing when cancelled.
  struct SaveAnswer {
    QString path;
    int type = 0;
  };
  virtual std::optional<SaveAnswer> save_file(QWidget* owner, const QString& caption, const QString& proposed,
                                              const QStringList& types) = 0;
  // Failures are not reported: a missing browser or program simply does nothing.
  virtual void open_address(const QString& address) = 0;
  virtual void start(const Command& command) = 0;
};

// Real dialogs, the desktop's address handler and detached processes.
class QtDesktop : public Desktop {
 public:
  bool message(QWidget* owner, const QString& text, const QString& caption, Icon icon, Buttons buttons) override;
  std::optional<QString> input(QWidget* owner, const QString& prompt, const QString& title,
                               const QString& initial) override;
  void about(QWidget* owner, const QString& title, const QString& text) override;
  std::optional<SaveAnswer> save_file(QWidget* owner, const QString& caption, const QString& proposed,
                                      const QStringList& types) override;
  void open_address(const QString& address) override;
  void start(const Command& command) override;
};

// For unattended runs: every message goes to stderr as one line
// "[caption] text" (line breaks written as \n) and is answered with OK, input
// boxes and save dialogs are cancelled, addresses and programs are written as "[open] ..." and
// "[start] ..." instead of being opened.
class StderrDesktop : public Desktop {
 public:
  bool message(QWidget* owner, const QString& text, const QString& caption, Icon icon, Buttons buttons) override;
  std::optional<QString> input(QWidget* owner, const QString& prompt, const QString& title,
                               const QString& initial) override;
  void about(QWidget* owner, const QString& title, const QString& text) override;
  std::optional<SaveAnswer> save_file(QWidget* owner, const QString& caption, const QString& proposed,
                                      const QStringList& types) override;
  void open_address(const QString& address) override;
  void start(const Command& command) override;
};

// Message texts carry CR LF line breaks; dialogs want LF.
QString lf_only(QString text);

}  // namespace rosgen::app
