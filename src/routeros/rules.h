// The rules of meaning, judged on the configuration a script leaves. Internal to the routeros
// library; model.h lists the rules.
#pragma once

#include <string>
#include <vector>

#include "routeros/config.h"

namespace rosgen::ros7::model {

struct Judgement {
  int line;
  int col;
  std::string rule;
  std::string detail;  // what the finding is about: an interface, a rule's comment, ...
  bool error = false;  // a finding the rule makes an error rather than a warning
};

// Findings about what the script made or changed; what the base holds on its own is not judged.
// With `whole` (the script is a whole configuration), a missing default route is reported on
// line 1 even when no line of the script touched routes.
std::vector<Judgement> judge(const Config& config, bool whole);

}  // namespace rosgen::ros7::model
