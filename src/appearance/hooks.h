// The appearance and update parts as the window's start-up hooks.
#pragma once

#include <filesystem>

#include "app/startup_hooks.h"
#include "appearance/message.h"
#include "appearance/update.h"

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
app::StartupHooks make_hooks(HookOptions options = default_hook_options());

}  // namespace rosgen::appearance
