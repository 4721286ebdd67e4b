// What the appearance and update parts offer the window: the start-up steps that download,
// check versions and apply the saved look, and the two menu items that belong to them. The window
// (src/app) decides where each one plugs in; this part knows nothing of the window.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "appearance/message.h"
#include "appearance/update.h"

class QWidget;

namespace rosgen::appearance {

inline constexpr const char* kUpdateSection = "update";
inline constexpr const char* kServerKey = "server";

struct HookOptions {
  // Where the settings file, the skins, the skin engine and the updater are.
  std::filesystem::path program_dir;
  // The settings' home when the program folder cannot be written.
  std::filesystem::path user_config_dir;
  MessageFn message = show_message_box;
  StartFn start = start_detached;  // how the updater is started
  DownloadLimits limits;
};

struct Hooks {
  // The announcement text (GBK bytes).
  std::function<std::string()> announcement;
  // The version check; false when the process must end now (the updater was started).
  std::function<bool(QWidget* window)> keep_running;
  // Reads the settings file and applies the saved skin.
  std::function<void(QWidget* window)> apply_look;
  // The appearance window.
  std::function<void(QWidget* window)> open_appearance;
  // Starts the updater; the program keeps running.
  std::function<void(QWidget* window)> check_update;
};

// The options of the running program: its own folder and the user's.
HookOptions default_hook_options();

// Every hook filled:
// - announcement: the text of /ros/rosgd.txt, empty without an update server;
// - keep_running: the version check of /ros/ver.txt; with no version it warns
//   and goes on, with a newer one it tells, starts the updater and says stop;
// - apply_look: the saved skin;
// - open_appearance: the appearance window;
// - check_update: starts the updater.
// The update server is "server" in section "update" of the settings file; the
// check and the announcement are left out when there is none.
Hooks make_hooks(HookOptions options = default_hook_options());

}  // namespace rosgen::appearance
