// Shared helpers for the window tests: a desktop that records what the
// window would have shown or started, and lookups by designer name.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include <QColor>
#include <QDir>
#include <QString>
#include <QTest>
#include <QWidget>

#include "app/application.h"
#include "app/desktop.h"
#include "appearance/skin_engine.h"
#include "os/os.h"

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

// Two colours a person tells apart; the faint fringe of a smoothed glyph is not.
inline bool seen_apart(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b)),
                   std::abs(qAlpha(a) - qAlpha(b))}) >= 48;
}

// The skins the program ships, from the source tree.
inline QStringList shipped_skins() {
  return QDir(QStringLiteral(ROSGEN_SKINS_SRC)).entryList({QStringLiteral("*.she")}, QDir::Files, QDir::Name);
}

// Dresses the whole application in a shipped skin, or in none ("none"), through
// the skin engine module beside the test as the program loads it beside itself.
inline bool wear(const QString& skin) {
  static std::unique_ptr<appearance::SkinEngine> engine = appearance::load_skin_engine(os::program_dir());
  if (!engine) return false;
  if (skin == QStringLiteral("none")) {
    engine->detach();
    return true;
  }
  return engine->attach_ext(QDir(QStringLiteral(ROSGEN_SKINS_SRC)).filePath(skin).toStdString(), "", 0, 0, 0) == 0;
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
