// Shared helpers for the window tests: a desktop that records what the
// window would have shown or started, and lookups by designer name.
#pragma once

#include <optional>
#include <string>
#include <vector>
#include <QString>
#include <QTest>
#include <QWidget>

#include "app/application.h"
#include "app/desktop.h"

namespace rosgen::test {

using app::Command;
using app::Desktop;

class FakeDesktop : public Desktop {
 public:
  struct Shown {
    QString caption;
    QString text;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    QWidget* owner = nullptr;
  };
  struct Asked {
    QString prompt;
    QString title;
    QString initial;
  };

  bool message(QWidget* owner, const QString& text, const QString& caption, Icon icon, Buttons buttons) override {
    messages.push_back({caption, text, icon, buttons, owner});
    return press_ok;
  }
  std::optional<QString> input(QWidget*, const QString& prompt, const QString& title, const QString& initial) override {
    asked.push_back({prompt, title, initial});
    return answer;
  }
  void about(QWidget*, const QString& title, const QString& text) override { abouts.push_back({title, text}); }
  std::optional<SaveAnswer> save_file(QWidget*, const QString& caption, const QString& proposed,
                                      const QStringList& types) override {
    saves.push_back({caption, proposed, types});
    return save_answer;
  }
  void open_address(const QString& address) override { opened << address; }
  void start(const Command& command) override { started.push_back(command); }

  QStringList captions() const {
    QStringList out;
    for (const Shown& m : messages) out << m.caption;
    return out;
  }

  std::vector<Shown> messages;
  std::vector<Asked> asked;
  std::vector<std::pair<QString, QString>> abouts;
  struct Save {
    QString caption;
    QString proposed;
    QStringList types;
  };
  std::vector<Save> saves;
  std::optional<SaveAnswer> save_answer;  // chosen in save dialogs; nothing cancels them
  QStringList opened;
  std::vector<Command> started;
  bool press_ok = true;           // how message boxes with OK and Cancel are closed
  std::optional<QString> answer;  // typed into input boxes; nothing cancels them
};

inline QString q(const std::string& utf8) { return QString::fromStdString(utf8); }

// The widget of type T named `name` under `root`; nullptr when there is none.
template <typename T>
T* named(const QWidget* root, const std::string& name) {
  return root->findChild<T*>(q(name));
}

}  // namespace rosgen::test

// A test main that runs the suite inside the program's own application
// class, so exceptions escaping event handlers reach the fatal-error handler.
#define ROSGEN_GUI_TEST_MAIN(TestClass)       \
  int main(int argc, char** argv) {           \
    rosgen::app::Application app(argc, argv); \
    TestClass suite;                          \
    return QTest::qExec(&suite, argc, argv);  \
  }
