// The appearance and update parts plugged into the window's start-up steps and menu items.
#pragma once

#include "app/startup_hooks.h"
#include "appearance/hooks.h"

namespace rosgen::app {

StartupHooks startup_hooks(appearance::Hooks parts);

}  // namespace rosgen::app
