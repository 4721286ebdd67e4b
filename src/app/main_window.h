// The main window: menu bar, the tab control with the 27 pages, and the
// start-up sequence that runs before the window is shown.
#pragma once

#include <memory>
#include <optional>
#include <vector>
#include <QMainWindow>

#include "app/launch.h"
#include "app/startup_hooks.h"
#include "app/window_env.h"
#include "appearance/settings_file.h"
#include "script/form.h"

class QSplitter;
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
  // time, and building all of them at once would slow the start); nullptr for the
  // start page.
  PageView* view(int index);
  WindowEnv& env() { return env_; }

  void show_page(int index);
  // Starts the tool, or says which files were looked for and what to install.
  void start_tool(Tool tool);
  // Saves the current page's script (Ctrl+S).
  void save_script();

  // The settings file that keeps the window's place: the program's own
  // (found as the appearance part finds it) unless set here.
  void use_settings(appearance::SettingsFile settings);
  const appearance::SettingsFile& settings();
  QWidget* start_view() const { return start_view_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct MenuItem {
    const char* text;
    std::function<void()> action;
    int page = -1;  // the page it shows, if any
  };
  std::vector<std::pair<const char*, std::vector<MenuItem>>> menu_table();
  void build_menus();
  QWidget* build_start_page();
  void show_guide();
  void contribute();
  void about();
  void restore_place();
  void save_place();
  void place_split(QSplitter* split);

  WindowEnv env_;
  StartupHooks hooks_;
  std::vector<std::unique_ptr<Form>> forms_;
  std::vector<PageView*> views_;  // nullptr until built, and for the start page
  QTabWidget* tabs_ = nullptr;
  QWidget* start_view_ = nullptr;
  std::optional<appearance::SettingsFile> settings_;
  bool announced_ = false;       // the start page shows the announcement, not the guide
  bool place_restored_ = false;  // only a start-up that read the place writes it back
  int output_height_ = 160;      // the output panel's height in newly shown pages
};

}  // namespace rosgen::app
