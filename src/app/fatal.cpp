#include "app/fatal.h"

#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "app/desktop.h"

namespace rosgen::app {
namespace {

// Set while the message is up, so an error inside the message box does not
// start a second one.
bool reporting = false;

}  // namespace

QString fatal_text(int code) {
  return QStringLiteral("非常报谦，程序遇到严重的问题需要立即退出，错误代码:") + QString::number(code) +
         QStringLiteral("\r\n\r\n这可能是由于一些文件的访问受到限制或者其它未知原因所导致。");
}

int error_code(const std::exception_ptr& error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const std::system_error& e) {
    if (e.code().value() != 0) return e.code().value();
  } catch (...) {
  }
  return 1;
}

FatalHandler& fatal_handler() {
  static FatalHandler handler;
  return handler;
}

void install_fatal_handler(FatalHandler handler) { fatal_handler() = std::move(handler); }

void fatal_error(const std::exception_ptr& error) {
  FatalHandler& h = fatal_handler();
  int code = error_code(error);
  if (!reporting) {
    reporting = true;
    try {
      if (h.desktop)
        h.desktop->message(h.owner, fatal_text(code), QStringLiteral("严重错误！！"), Desktop::Icon::Error);
    } catch (...) {
      // The process ends all the same.
    }
    reporting = false;
  }
  if (h.before_exit) h.before_exit();
  if (h.exit) {
    h.exit(1);
    return;
  }
  std::fflush(nullptr);
  // No unwinding and no static destructors: the program is in an unknown state.
  std::_Exit(1);
}

}  // namespace rosgen::app
