// The program converts GBK with its own tables (src/script/gbk_table.inc). These tests hold
// them, and the replacement rules around them, to glibc's CP936 converter: every character,
// every byte pair, and every short malformed input. When they fail because the tables are
// out of date, the table written from iconv is left in the working folder as
// gbk_table.inc.new: copy it over src/script/gbk_table.inc.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "script/gbk.h"

namespace rosgen {
namespace {

// glibc's conversion with the replacement rules the program has always had:
// "?" for what cannot be converted, stepping over `skip` bytes; one "?" for a
// sequence cut off at the end.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no iconv converter");  // NOLINT
  }
  ~Iconv() { iconv_close(cd_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // The raw result of converting `in` whole: 0, EILSEQ or EINVAL.
  int once(std::string_view in, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buf[64];
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char* dst = buf;
    size_t room = sizeof buf;
    size_t r = iconv(cd_, &src, &left, &dst, &room);
    out.assign(buf, static_cast<size_t>(dst - buf));
    return r == static_cast<size_t>(-1) ? errno : 0;
  }

  template <typename Skip>
  std::string run(std::string_view in, Skip skip) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    char buf[256];
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    while (left > 0) {
      char* dst = buf;
      size_t room = sizeof buf;
      size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<size_t>(dst - buf));
      if (r != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) continue;
      if (errno == EINVAL) {
        out += '?';
        break;
      }
      size_t n = skip(std::string_view(src, left));
      if (n == 0 || n > left) n = left;
      out += '?';
      src += n;
      left -= n;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t cd_;
};

size_t utf8_step(std::string_view s) {
  auto c = static_cast<unsigned char>(s[0]);
  size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || n > s.size()) return 1;
  for (size_t i = 1; i < n; ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
  }
  return n;
}

std::string iconv_to_gbk(std::string_view utf8) {
  static Iconv conv("CP936", "UTF-8");
  return conv.run(utf8, utf8_step);
}

std::string iconv_to_utf8(std::string_view gbk) {
  static Iconv conv("UTF-8", "CP936");
  return conv.run(gbk, [](std::string_view) -> size_t { return 1; });
}

// UTF-8 of any value up to 0x1FFFFF, surrogates included: the tests feed it to both converters.
std::string utf8_of(char32_t u) {
  std::string s;
  if (u < 0x80) {
    s += static_cast<char>(u);
  } else if (u < 0x800) {
    s += static_cast<char>(0xC0 | (u >> 6));
    s += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    s += static_cast<char>(0xE0 | (u >> 12));
    s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (u >> 18));
    s += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (u & 0x3F));
  }
  return s;
}

char32_t code_point(const std::string& utf8) {
  auto b = [&](size_t i) { return static_cast<unsigned char>(utf8[i]); };
  switch (utf8.size()) {
    case 1: return b(0);
    case 2: return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
    case 3: return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    default: return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
  }
}

std::string hex(std::string_view s) {
  std::string out;
  char buf[4];
  for (unsigned char c : s) {
    std::snprintf(buf, sizeof buf, "%02X ", c);
    out += buf;
  }
  return out;
}

// Writes the tables as glibc has them, in the form src/script/gbk.cpp reads.
std::string table_from_iconv() {
  Iconv dec("UTF-8", "CP936");
  Iconv enc("CP936", "UTF-8");
  std::string out;
  std::ostringstream o;
  o << "// Generated from glibc's CP936 converter by tests/gbk_table_test.cpp; do not edit.\n"
    << "// clang-format off\n\n";

  // Bytes 0x80..0xFF alone: a character, 0 for none, 0xFFFF for the lead byte of a pair.
  std::vector<std::uint32_t> single;
  for (unsigned b = 0x80; b <= 0xFF; ++b) {
    int r = dec.once(std::string(1, static_cast<char>(b)), out);
    single.push_back(r == EINVAL ? 0xFFFF : r == 0 ? code_point(out) : 0);
  }
  o << "constexpr char16_t kSingle[128] = {";
  for (size_t i = 0; i < single.size(); ++i) o << (i % 16 ? " " : "\n    ") << "0x" << std::hex << single[i] << ',';
  o << "\n};\n\n";

  // Pairs 81..FE x 40..FE, in order, as runs: {count, first character} where the characters
  // count up by one from the first; 0 for pairs that are no character.
  std::vector<std::uint32_t> cells;
  std::map<char32_t, std::uint16_t> reversed;
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      int r = dec.once(std::string{static_cast<char>(lead), static_cast<char>(trail)}, out);
      char32_t u = r == 0 ? code_point(out) : 0;
      cells.push_back(u);
      if (u != 0) reversed.emplace(u, static_cast<std::uint16_t>(lead << 8 | trail));
    }
  }
  for (unsigned b = 0x80; b <= 0xFF; ++b) {
    std::uint32_t u = single[b - 0x80];
    if (u != 0 && u != 0xFFFF) reversed.insert_or_assign(u, static_cast<std::uint16_t>(b));
  }
  o << "constexpr std::uint16_t kPairRuns[] = {";
  size_t items = 0;
  for (size_t i = 0; i < cells.size();) {
    size_t n = 1;
    while (i + n < cells.size() && n < 0xFFFF && (cells[i] == 0 ? cells[i + n] == 0 : cells[i + n] == cells[i] + n)) {
      ++n;
    }
    o << (items++ % 8 ? " " : "\n    ") << std::dec << n << ",0x" << std::hex << cells[i] << ',';
    i += n;
  }
  o << "\n};\n\n";

  // Characters the encoder writes otherwise than the pairs above reversed: {character, code},
  // code 0 for "?" and 1 for nothing at all.
  o << "constexpr std::pair<char32_t, std::uint16_t> kEncodeExtra[] = {";
  items = 0;
  for (char32_t u = 0x80; u < 0x110000; ++u) {
    if (u >= 0xD800 && u < 0xE000) continue;
    int r = enc.once(utf8_of(u), out);
    std::uint32_t code = r != 0        ? 0
                         : out.empty() ? 1
                         : out.size() == 1
                             ? static_cast<unsigned char>(out[0])
                             : static_cast<unsigned char>(out[0]) << 8 | static_cast<unsigned char>(out[1]);
    auto it = reversed.find(u);
    std::uint32_t expected = it == reversed.end() ? 0 : it->second;
    if (code != expected)
      o << (items++ % 6 ? " " : "\n    ") << "{0x" << std::hex << static_cast<std::uint32_t>(u) << ", 0x" << code
        << "},";
  }
  o << "\n};\n\n// clang-format on\n";
  return o.str();
}

// Leaves a fresh table behind once, when any comparison fails.
void offer_fresh_table() {
  static bool written = false;
  if (written) return;
  written = true;
  std::ofstream("gbk_table.inc.new") << table_from_iconv();
  ADD_FAILURE() << "GBK tables differ from iconv; fresh ones are in gbk_table.inc.new";
}

TEST(GbkTable, EveryCharacterEncodesAsIconvDoes) {
  int bad = 0;
  for (char32_t u = 0; u < 0x110000; ++u) {
    if (u >= 0xD800 && u < 0xE000) continue;
    std::string in = utf8_of(u);
    std::string want = iconv_to_gbk(in);
    std::string got = to_gbk(in).bytes();
    if (got != want && bad++ < 10)
      ADD_FAILURE() << "U+" << std::hex << static_cast<std::uint32_t>(u) << ": " << hex(got) << "want " << hex(want);
  }
  if (bad) offer_fresh_table();
}

// Saving refuses what GBK cannot hold: the first character iconv cannot convert (or converts to
// nothing) is the one named, wherever it stands.
TEST(GbkTable, TheFirstCharacterGbkCannotHoldIsTheOneIconvRefuses) {
  Iconv enc("CP936", "UTF-8");
  int bad = 0;
  std::string out;
  for (char32_t u = 0x80; u < 0x110000; ++u) {
    if (u >= 0xD800 && u < 0xE000) continue;
    const std::string c = utf8_of(u);
    const bool held = enc.once(c, out) == 0 && !out.empty();
    // After it, "b" and an emoji, which GBK has not.
    const size_t want = held ? 4 + c.size() + 1 : 4;
    if (first_not_in_gbk("a\xE4\xB8\xAD" + c + "b\xF0\x9F\x98\x80") != std::optional<size_t>(want) && bad++ < 10)
      ADD_FAILURE() << "U+" << std::hex << static_cast<std::uint32_t>(u);
  }
  EXPECT_EQ(first_not_in_gbk("ok \xE4\xB8\xAD"), std::nullopt);
  EXPECT_EQ(first_not_in_gbk("ab\xE4\xB8"), std::optional<size_t>(2));  // cut off
}

TEST(GbkTable, EveryByteAndPairDecodesAsIconvDoes) {
  int bad = 0;
  for (unsigned a = 0; a <= 0xFF; ++a) {
    for (int b = -1; b <= 0xFF; ++b) {
      std::string in(1, static_cast<char>(a));
      if (b >= 0) in += static_cast<char>(b);
      for (const std::string& s : {in, in + "A"}) {
        std::string want = iconv_to_utf8(s);
        std::string got = to_utf8(Gbk::from_bytes(s));
        if (got != want && bad++ < 10) ADD_FAILURE() << hex(s) << ": " << hex(got) << "want " << hex(want);
      }
    }
  }
  if (bad) offer_fresh_table();
}

// Every short string drawn from bytes that sit on the edges of UTF-8's and GBK's ranges:
// lone, cut-off, overlong, surrogate and five- or six-byte sequences, and the bytes after them.
TEST(GbkTable, MalformedInputIsReplacedAsIconvDoes) {
  struct Case {
    std::vector<unsigned char> bytes;
    int length;
  } cases[] = {
      {{0x00, 0x40, 0x41, 0x7F, 0x80, 0x81, 0x90, 0xA0, 0xBF, 0xC1,
        0xC2, 0xE0, 0xED, 0xF0, 0xF4, 0xF5, 0xF8, 0xFC, 0xFE, 0xFF},
       4},
      {{0x41, 0x80, 0xBF, 0xE0, 0xF4, 0xF8, 0xFC}, 6},
  };
  int bad = 0;
  std::string s;
  auto check = [&] {
    std::string want = iconv_to_gbk(s);
    std::string got = to_gbk(s).bytes();
    if (got != want && bad++ < 10) ADD_FAILURE() << "to_gbk " << hex(s) << ": " << hex(got) << "want " << hex(want);
    want = iconv_to_utf8(s);
    got = to_utf8(Gbk::from_bytes(s));
    if (got != want && bad++ < 10) ADD_FAILURE() << "to_utf8 " << hex(s) << ": " << hex(got) << "want " << hex(want);
  };
  for (const Case& c : cases) {
    std::function<void(int)> grow = [&](int depth) {
      check();
      if (depth == c.length) return;
      for (unsigned char b : c.bytes) {
        s += static_cast<char>(b);
        grow(depth + 1);
        s.pop_back();
      }
    };
    grow(0);
  }
  if (bad) offer_fresh_table();
}

}  // namespace
}  // namespace rosgen
