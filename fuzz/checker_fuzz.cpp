// The RouterOS 7 checker on arbitrary bytes: it must finish without crashing or recursing without
// bound, and every finding must point inside the text, in order.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "routeros/checker.h"

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
  int last_line = 0;
  int last_col = 0;
  for (const auto& f : rosgen::ros7::check_script(text)) {
    require(f.line >= 1 && f.line <= lines, "a finding's line is in the text");
    require(f.col >= 1 && static_cast<std::size_t>(f.col) <= size + 1, "a finding's column is in its line");
    require(f.line > last_line || (f.line == last_line && f.col >= last_col), "findings come in text order");
    require(!f.message.empty(), "a finding says what is wrong");
    last_line = f.line;
    last_col = f.col;
  }
  return 0;
}
