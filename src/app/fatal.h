// The last resort: an exception that escapes a handler shows one message and
// ends the process with exit code 1, so a failure never passes for success
// and nothing half-done carries on.
#pragma once

#include <exception>
#include <functional>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace rosgen::app {

class Desktop;

// The message shown for an error number.
QString fatal_text(int code);
// The error number reported for an exception: a system error's own code, 1 otherwise.
int error_code(const std::exception_ptr& error);

struct FatalHandler {
  Desktop* desktop = nullptr;         // where the message goes; nothing is shown without one
  QPointer<QWidget> owner;            // the main window while it exists
  std::function<void()> before_exit;  // releases what must not outlive the process
  std::function<void(int)> exit;      // ends the process; tests replace it
};

// Step 1 of the start-up sequence: the handler every guarded call reports to.
void install_fatal_handler(FatalHandler handler);
FatalHandler& fatal_handler();

// Shows the fatal message for the error and ends the process.
void fatal_error(const std::exception_ptr& error);

// Runs `fn`; an exception escaping it goes to the fatal handler.
template <typename Fn>
void guarded(Fn&& fn) {
  try {
    fn();
  } catch (...) {
    fatal_error(std::current_exception());
  }
}

}  // namespace rosgen::app
