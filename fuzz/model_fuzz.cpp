// The configuration model on arbitrary bytes, on both bases: it must finish without crashing,
// looping or recursing without bound, and every finding must point inside the text, in order,
// name its rule and say in both languages what is wrong.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "routeros/model.h"

namespace {

void require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  int lines = 1;
  for (char c : text) lines += c == '\n';
  for (auto base : {rosgen::ros7::Base::Defconf, rosgen::ros7::Base::None}) {
    int last_line = 0;
    int last_col = 0;
    for (const auto& f : rosgen::ros7::check_meaning(text, base)) {
      require(f.line >= 1 && f.line <= lines, "a finding's line is in the text");
      require(f.col >= 1 && static_cast<std::size_t>(f.col) <= size + 1, "a finding's column is in its line");
      require(f.line > last_line || (f.line == last_line && f.col >= last_col), "findings come in text order");
      require(!f.rule.empty() && !f.message.empty() && !f.chinese.empty(), "a finding names its rule and says why");
      last_line = f.line;
      last_col = f.col;
    }
  }
  return 0;
}
