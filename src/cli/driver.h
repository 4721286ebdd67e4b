// Moved: the engine that fills forms and presses buttons lives in engine/.
#pragma once

#include "engine/driver.h"  // IWYU pragma: export
