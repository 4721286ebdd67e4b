// Where the appearance and update parts plug into the window: the start-up
// steps that download, check versions and apply the saved look, and the two
// menu items that belong to them. An empty hook means the part is absent: its
// start-up step is skipped and its menu item does nothing.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace rosgen::app {

struct StartupHooks {
  // Step 2: the announcement text (GBK bytes) put into every output box.
  std::function<std::string()> announcement;
  // Step 3: the version check. Returns false when the process must end now
  // (the updater was started); the window then quits with exit code 0.
  std::function<bool(QWidget* window)> keep_running;
  // Step 4: read the settings file and apply the saved skin.
  std::function<void(QWidget* window)> apply_look;
  // Menu "&S 外观配置": the appearance window.
  std::function<void(QWidget* window)> open_appearance;
  // Menu "&U.检查更新": start the updater; the program keeps running.
  std::function<void(QWidget* window)> check_update;
};

}  // namespace rosgen::app
