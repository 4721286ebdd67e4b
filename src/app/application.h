// The Qt application with the fatal-error handler around every event: an
// exception escaping any handler ends the process through it. Qt's own texts
// (the OK and Cancel buttons) are in the program's language.
#pragma once

#include <QApplication>
#include <QTranslator>

namespace rosgen::app {

class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  QTranslator qt_texts_;
};

}  // namespace rosgen::app
