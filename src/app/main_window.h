// The main window: menu bar, the tab control with the 26 pages, and the
// start-up sequence that runs before the window is shown.
#pragma once

#include <memory>
#include <optional>
#include <vector>
#include <QMainWindow>

#include "app/launch.h"
#include "app/startup_hooks.h"
#include "app/window_env.h"
#include "script/form.h"

class QTabWidget;

namespace rosgen::app {

class PageView;
class SingleInstance;

class MainWindow : public QMainWindow {
 public:
  // `pages` is the list of pages in tab order; it must outlive the window.
  MainWindow(Desktop& desktop, StartupHooks hooks, const std::vector<Page>& pages, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Start-up steps 2 to 7 (step 1, the fatal-error handler, is the caller's,
  // step 8 is show()). Returns the exit code when the process must end
  // instead of showing the window.
  std::optional<int> start_up(SingleInstance& guard);

  QTabWidget* tabs() const { return tabs_; }
  int page_count() const { return static_cast<int>(forms_.size()); }
  Form& form(int index) const { return *forms_.at(static_cast<size_t>(index)); }
  // The page's view, built on first use (the window shows one page at a
  // time, and building all 26 at once would slow the start); nullptr for the
  // start page.
  PageView* view(int index);
  WindowEnv& env() { return env_; }

  void show_page(int index);
  void start_tool(Tool tool);

 private:
  void build_menus();
  QWidget* build_start_page();
  void contribute();
  void about();

  WindowEnv env_;
  StartupHooks hooks_;
  std::vector<std::unique_ptr<Form>> forms_;
  std::vector<PageView*> views_;  // nullptr until built, and for the start page
  QTabWidget* tabs_ = nullptr;
};

}  // namespace rosgen::app
