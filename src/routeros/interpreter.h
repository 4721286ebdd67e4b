// Runs a RouterOS 7 script against the configuration model. Internal to the routeros library.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "routeros/config.h"

namespace rosgen::ros7::model {

// An error the router would raise while running the script.
struct RunError {
  int line;
  int col;
  std::string rule;    // "no-such-item", "duplicate-name", "unknown-reference", "script-error"
  std::string detail;  // what was not there, or twice: "/interface/ethernet bridge"
};

// Applies `script` to `config` as the router would run it, as far as the model knows the
// language. With `as_base`, what it adds counts as the starting configuration (line 0).
// The router stops at its first error; the model skips the failing command and goes on, so one
// run shows them all.
std::vector<RunError> apply(Config& config, std::string_view script, bool as_base = false);

}  // namespace rosgen::ros7::model
