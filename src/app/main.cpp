// rosgen-gui: the desktop program.
//
// Environment switches for unattended runs:
//   ROSGEN_GUI_HEADLESS=1  message boxes, addresses and program starts go to
//                          stderr as one line each instead of to the screen
//   ROSGEN_GUI_TIMING=1    prints to stderr how long the window took to appear
// `rosgen-gui --version` prints the version and ends.
#include <cstdio>
#include <cstring>
#include <memory>
#include <QElapsedTimer>

#include "app/appearance_hooks.h"
#include "app/application.h"
#include "app/desktop.h"
#include "app/fatal.h"
#include "app/main_window.h"
#include "app/single_instance.h"
#include "pages/registry.h"
#include "script/product.h"

namespace {

// Reports the time from the start of main() to the window's first paint.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(const QElapsedTimer& clock) : clock_(clock) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      std::fprintf(stderr, "rosgen-gui: window shown after %lld ms\n", static_cast<long long>(clock_.elapsed()));
      std::fflush(stderr);
      watched->removeEventFilter(this);
    }
    return false;
  }

 private:
  const QElapsedTimer& clock_;
};

}  // namespace

int main(int argc, char** argv) {
  // Answered before Qt starts, so it needs no display and never meets the single-instance guard.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("rosgen-gui %s\n", rosgen::product::kVersion);
      return std::fflush(stdout) == 0 ? 0 : 3;
    }
  }
  using namespace rosgen::app;
  QElapsedTimer clock;
  clock.start();
  Application app(argc, argv);

  std::unique_ptr<Desktop> desktop;
  if (qEnvironmentVariableIntValue("ROSGEN_GUI_HEADLESS") != 0) {
    desktop = std::make_unique<StderrDesktop>();
  } else {
    desktop = std::make_unique<QtDesktop>();
  }

  // Start-up step 1: the fatal-error handler.
  SingleInstance guard;
  install_fatal_handler({desktop.get(), nullptr, [&guard] { guard.release(); }, {}});

  // The appearance and update parts, speaking through the same desktop.
  rosgen::appearance::HookOptions options = rosgen::appearance::default_hook_options();
  options.message = [&desktop](QWidget* owner, const QString& caption, const QString& text,
                               rosgen::appearance::Icon icon) {
    auto kind = icon == rosgen::appearance::Icon::Warning ? Desktop::Icon::Warning : Desktop::Icon::None;
    desktop->message(owner, text, caption, kind);
  };
  options.start = [&desktop](const QString& program, const QStringList& arguments, const QString&) {
    desktop->start({program, arguments});
    return true;
  };
  MainWindow window(*desktop, startup_hooks(rosgen::appearance::make_hooks(options)), rosgen::pages());
  if (auto code = window.start_up(guard)) return *code;

  FirstPaint first_paint(clock);
  if (qEnvironmentVariableIntValue("ROSGEN_GUI_TIMING") != 0) window.installEventFilter(&first_paint);
  window.show();
  return QApplication::exec();
}
