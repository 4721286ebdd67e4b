// The Qt application with the fatal-error handler around every event: an
// exception escaping any handler ends the process through it.
#pragma once

#include <QApplication>

namespace rosgen::app {

class Application : public QApplication {
public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace rosgen::app
