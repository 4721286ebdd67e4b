// The Qt application with the fatal-error handler around every event: an
// exception escaping any handler ends the process through it. Qt's own texts
// (the OK and Cancel buttons) are in the program's language, Enter presses a
// focused button as Space does, and every window carries the program's icon
// and the name its desktop entry knows it by.
#pragma once

#include <QApplication>
#include <QIcon>
#include <QTranslator>

namespace rosgen::app {

// The window class (X11) and the desktop entry (rosgen.desktop, whose
// StartupWMClass names the class): docks match the window to the entry by them.
inline constexpr const char* kWindowClass = "rosgen-gui";
inline constexpr const char* kDesktopEntry = "rosgen";

// The icon of packaging/rosgen.svg, drawn here since Qt reads SVG only with a
// module the program does not otherwise need.
QIcon program_icon();

class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  QTranslator qt_texts_;
};

}  // namespace rosgen::app
