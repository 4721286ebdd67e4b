#include "app/appearance_hooks.h"

#include <utility>

namespace rosgen::app {

StartupHooks startup_hooks(appearance::Hooks parts) {
  StartupHooks hooks;
  hooks.announcement = std::move(parts.announcement);        // step 2
  hooks.keep_running = std::move(parts.keep_running);        // step 3
  hooks.apply_look = std::move(parts.apply_look);            // step 4
  hooks.open_appearance = std::move(parts.open_appearance);  // menu "&S 外观配置"
  hooks.check_update = std::move(parts.check_update);        // menu "&U.检查更新"
  return hooks;
}

}  // namespace rosgen::app
