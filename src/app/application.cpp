#include "app/application.h"

#include "app/fatal.h"

namespace rosgen::app {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    fatal_error(std::current_exception());
    return false;
  }
}

}  // namespace rosgen::app
