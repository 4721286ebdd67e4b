// GBK (CP936) byte strings: the text type of field values and scripts.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace rosgen {

// An ASCII-only literal fragment, checked when the program is compiled, so a
// UTF-8 text can never be glued into a script unconverted: "/ip address"_a.
struct Ascii {
  std::string_view text;
};

consteval Ascii operator""_a(const char* s, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (static_cast<unsigned char>(s[i]) >= 0x80) {
      throw "script literal must be ASCII; convert other text with to_gbk()";
    }
  }
  return Ascii{std::string_view(s, n)};
}

// Bytes in the GBK code page. Lengths and positions count bytes.
class Gbk {
 public:
  Gbk() = default;
  Gbk(Ascii a) : bytes_(a.text) {}  // NOLINT(google-explicit-constructor): literals glue freely
  static Gbk from_bytes(std::string bytes) {
    Gbk g;
    g.bytes_ = std::move(bytes);
    return g;
  }

  const std::string& bytes() const { return bytes_; }
  std::string& bytes() { return bytes_; }
  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }
  void clear() { bytes_.clear(); }

  Gbk& operator+=(const Gbk& other) {
    bytes_ += other.bytes_;
    return *this;
  }
  friend bool operator==(const Gbk& a, const Gbk& b) = default;

 private:
  std::string bytes_;
};

// A free function (not a hidden friend) so two literals glue too.
inline Gbk operator+(Gbk a, const Gbk& b) {
  a += b;
  return a;
}

// UTF-8 -> GBK. Characters GBK cannot hold, and bytes that are not valid
// UTF-8, become "?".
Gbk to_gbk(std::string_view utf8);

// Where to_gbk() would lose something: the byte offset in `utf8` of the first character GBK
// cannot hold (or of the first byte that is not valid UTF-8); nothing when all of it converts.
std::optional<std::size_t> first_not_in_gbk(std::string_view utf8);

// GBK -> UTF-8. Bytes that are not valid GBK become "?".
std::string to_utf8(const Gbk& text);

}  // namespace rosgen
