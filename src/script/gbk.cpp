#include "script/gbk.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

namespace rosgen {
namespace {

// The code page's own tables, so conversion needs no iconv (the browser's C
// library has no GBK converter, and Windows' differs): kSingle, kPairRuns,
// kEncodeExtra; tests/gbk_table_test.cpp keeps them equal to glibc's CP936.
#include "script/gbk_table.inc"

constexpr unsigned kFirstLead = 0x81;
constexpr unsigned kFirstTrail = 0x40;
constexpr unsigned kTrails = 0xFF - kFirstTrail;  // 0x40..0xFE
constexpr std::size_t kPairs = std::size_t{0xFF - kFirstLead} * kTrails;

// kSingle's marks for the bytes 0x80..0xFF.
constexpr char16_t kLead = 0xFFFF;  // starts a two-byte code
// kEncodeExtra's marks.
constexpr std::uint16_t kNone = 0;     // no code: written as "?"
constexpr std::uint16_t kDrop = 0x01;  // written as nothing

struct Tables {
  std::array<char16_t, kPairs> decode{};        // pair -> character, 0 for none
  std::array<std::uint16_t, 0x10000> encode{};  // character -> code (one byte when < 0x100), 0 for none
};

const Tables& tables() {
  static const Tables t = [] {
    Tables t;
    std::size_t cell = 0;
    for (std::size_t i = 0; i + 1 < std::size(kPairRuns); i += 2) {
      for (unsigned k = 0; k < kPairRuns[i]; ++k, ++cell) {
        t.decode[cell] = kPairRuns[i + 1] == 0 ? 0 : static_cast<char16_t>(kPairRuns[i + 1] + k);
      }
    }
    // The encoder is the decoder reversed (the lowest code wins), plus the exceptions.
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
      char16_t u = kSingle[b - 0x80];
      if (u != 0 && u != kLead && t.encode[u] == 0) t.encode[u] = static_cast<std::uint16_t>(b);
    }
    for (std::size_t c = 0; c < kPairs; ++c) {
      char16_t u = t.decode[c];
      auto code = static_cast<std::uint16_t>(((kFirstLead + c / kTrails) << 8) | (kFirstTrail + c % kTrails));
      if (u != 0 && t.encode[u] == 0) t.encode[u] = code;
    }
    for (const auto& [u, code] : kEncodeExtra) {
      if (u < 0x10000) t.encode[u] = code;
    }
    return t;
  }();
  return t;
}

// The code of a character outside the 16-bit range (kNone or kDrop).
std::uint16_t encode_wide(char32_t u) {
  auto it = std::lower_bound(std::begin(kEncodeExtra), std::end(kEncodeExtra), u,
                             [](const auto& e, char32_t v) { return e.first < v; });
  return it != std::end(kEncodeExtra) && it->first == u ? it->second : kNone;
}

// Length of the UTF-8 sequence at the start of `s` when it is well formed, else 1:
// how far a "?" steps over what cannot be converted.
size_t utf8_step(std::string_view s) {
  auto c = static_cast<unsigned char>(s[0]);
  size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || n > s.size()) return 1;
  for (size_t i = 1; i < n; ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
  }
  return n;
}

enum class Read { Ok, Bad, CutOff };

// Reads one character at the start of `s`, as strictly as glibc does: no
// overlong forms, no surrogates, nothing past U+10FFFF. CutOff: `s` ends
// inside a sequence whose bytes so far are a lead byte and continuation bytes.
Read read_utf8(std::string_view s, char32_t& u, size_t& n) {
  auto c = static_cast<unsigned char>(s[0]);
  if (c < 0x80) {
    u = c;
    n = 1;
    return Read::Ok;
  }
  // Five- and six-byte forms are read whole, then refused.
  if (c < 0xC2 || c > 0xFD) return Read::Bad;
  n = c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF8 ? 4 : c < 0xFC ? 5 : 6;
  u = c & (0x7F >> n);
  for (size_t i = 1; i < n; ++i) {
    if (i >= s.size()) return Read::CutOff;
    auto t = static_cast<unsigned char>(s[i]);
    if ((t & 0xC0) != 0x80) return Read::Bad;
    u = (u << 6) | (t & 0x3F);
  }
  bool overlong = (n == 3 && u < 0x800) || (n == 4 && u < 0x10000);
  if (n > 4 || overlong || (u >= 0xD800 && u < 0xE000) || u > 0x10FFFF) return Read::Bad;
  return Read::Ok;
}

void put_utf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

}  // namespace

Gbk to_gbk(std::string_view utf8) {
  const Tables& t = tables();
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    std::string_view rest = utf8.substr(i);
    char32_t u = 0;
    size_t n = 1;
    Read r = read_utf8(rest, u, n);
    if (r == Read::CutOff) {
      out += '?';
      break;
    }
    if (r == Read::Bad) {
      out += '?';
      i += utf8_step(rest);
      continue;
    }
    i += n;
    if (u < 0x80) {
      out += static_cast<char>(u);
      continue;
    }
    std::uint16_t code = u < 0x10000 ? t.encode[u] : encode_wide(u);
    if (code == kNone) {
      out += '?';
    } else if (code == kDrop) {
      // written as nothing
    } else if (code < 0x100) {
      out += static_cast<char>(code);
    } else {
      out += static_cast<char>(code >> 8);
      out += static_cast<char>(code & 0xFF);
    }
  }
  return Gbk::from_bytes(std::move(out));
}

std::optional<std::size_t> first_not_in_gbk(std::string_view utf8) {
  const Tables& t = tables();
  for (size_t i = 0; i < utf8.size();) {
    char32_t u = 0;
    size_t n = 1;
    if (read_utf8(utf8.substr(i), u, n) != Read::Ok) return i;
    if (u >= 0x80) {
      const std::uint16_t code = u < 0x10000 ? t.encode[u] : encode_wide(u);
      if (code == kNone || code == kDrop) return i;
    }
    i += n;
  }
  return std::nullopt;
}

std::string to_utf8(const Gbk& text) {
  const Tables& t = tables();
  const std::string& s = text.bytes();
  std::string out;
  out.reserve(s.size() * 3 / 2);
  for (size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    char16_t u = kSingle[c - 0x80];
    if (u != kLead) {
      if (u == 0) {
        out += '?';
      } else {
        put_utf8(out, u);
      }
      ++i;
      continue;
    }
    if (i + 1 == s.size()) {  // cut off at the end
      out += '?';
      break;
    }
    auto trail = static_cast<unsigned char>(s[i + 1]);
    char16_t pair = 0;
    if (trail >= kFirstTrail && trail < 0xFF) pair = t.decode[(c - kFirstLead) * kTrails + (trail - kFirstTrail)];
    if (pair == 0) {
      out += '?';  // steps over the lead byte only
      ++i;
    } else {
      put_utf8(out, pair);
      i += 2;
    }
  }
  return out;
}

}  // namespace rosgen
