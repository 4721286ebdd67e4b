// Checks RouterOS 7 scripts against RouterOS 7.24's command tree.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rosgen::ros7 {

enum class Severity { Error, Warning };

struct Finding {
  int line;  // 1-based
  int col;   // 1-based, in bytes of the UTF-8 text
  Severity severity;
  std::string message;  // e.g. "unknown argument 'primary-dns' for /ip/dns/set"
  std::string rule;     // the rule of meaning or run-time error (model.h); empty for the command tree
  std::string chinese;  // the message in Chinese, for the window and the web edition
};

// Checks a RouterOS 7 script (UTF-8; CR LF or LF line ends) against RouterOS 7.24's command tree:
// menus, commands, argument names and closed word lists must exist, brackets and quotes must close;
// abbreviated names are warnings. Findings come in the order of the text.
std::vector<Finding> check_script(std::string_view script);

}  // namespace rosgen::ros7
