// Toolkit conversions on arbitrary bytes: nothing may crash, and the
// invariants the generators rely on must hold.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "script/text.h"

using namespace rosgen;

namespace {

void require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const Gbk text = Gbk::from_bytes(bytes);

  // Trim: idempotent, never longer, no ASCII blank left at either end.
  Gbk t = trim(text);
  require(trim(t) == t, "trim is idempotent");
  require(t.size() <= text.size(), "trim never grows");
  // (A blank at the end may be the second byte of a double-byte unit, which stays.)
  require(t.empty() || t.bytes().front() != ' ', "trim cuts leading blanks");

  // Numbers: any text reads, and the number text reads back as the same number.
  double n = to_number(text);
  (void)to_integer(text);
  (void)truncate(n);
  Gbk shown = number_text(n);
  if (n == n && shown.bytes().find("inf") == std::string::npos) {
    require(to_number(shown) == to_number(number_text(to_number(shown))), "number text reads back");
  }
  (void)rate_bits(text);

  // Split: the pieces joined again give the text without one trailing separator.
  for (Ascii sep : {","_a, "\r\n"_a, "/"_a, "|"_a}) {
    std::string joined;
    auto pieces = split(text, sep);
    for (size_t i = 0; i < pieces.size(); ++i) {
      if (i) joined += sep.text;
      joined += pieces[i].bytes();
    }
    std::string expected = bytes;
    if (expected.ends_with(sep.text) && !expected.empty()) expected.resize(expected.size() - sep.text.size());
    require(joined == expected, "split then join");
  }

  // GBK <-> UTF-8: once normalised, a round trip changes nothing.
  std::string utf8 = to_utf8(text);
  Gbk back = to_gbk(utf8);
  require(to_utf8(back) == utf8, "GBK round trip");
  require(to_utf8(to_gbk(bytes)).size() <= 3 * size + 3, "UTF-8 output bounded");

  // Searching and replacing.
  if (size > 2) {
    Gbk part = Gbk::from_bytes(bytes.substr(0, data[0] % 3 + 1));
    int at = find(text, part);
    require(at == 1, "a prefix is found at 1");
    require(find_last(text, part) >= at, "last at or after first");
    (void)replace_all(text, part, "xy"_a);
    (void)replace_at(text, data[1] - 128, data[2] - 128, part);
    (void)right_part(text, data[1] - 128);
  }
  return 0;
}
