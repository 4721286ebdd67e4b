#include "script/text.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace rosgen {
namespace {

bool is_lead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Full-width GBK characters mapped to ASCII; other double-byte characters left out.
std::string map_full_width(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    auto c = static_cast<unsigned char>(s[i]);
    if (!is_lead(c) || i + 1 >= s.size()) {
      if (!is_lead(c)) out += static_cast<char>(c);
      continue;
    }
    auto t = static_cast<unsigned char>(s[i + 1]);
    ++i;
    if (c == 0xA3 && t >= 0xA1 && t <= 0xFE) {
      out += static_cast<char>(t - 0x80);
    } else if (c == 0xA1 && t == 0xA1) {
      out += ' ';
    } else if (c == 0xA1 && t == 0xAB) {
      out += '~';
    } else if (c == 0xA1 && (t == 0xEE || t == 0xEF)) {
      out += '*';
    }
  }
  return out;
}

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string_view skip_space(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && is_space(s[i])) ++i;
  return std::string_view(s).substr(i);
}

// The power of ten of a decimal number's first non-zero digit ("0.05e3" gives
// 1): neither the digits nor the exponent alone tell an overflow from an
// underflow. The exponent saturates far beyond any double.
std::int64_t decimal_magnitude(std::string_view number) {
  size_t e = number.find_first_of("eE");
  std::string_view digits = number.substr(0, e);
  size_t point = digits.find('.');
  auto whole_digits = static_cast<std::int64_t>(point == std::string_view::npos ? digits.size() : point);
  std::int64_t magnitude = std::numeric_limits<std::int64_t>::min() / 2;  // all zeros
  std::int64_t at = 0;
  for (char ch : digits) {
    if (ch == '.') continue;
    if (ch != '0') {
      magnitude = whole_digits - at - 1;
      break;
    }
    ++at;
  }
  std::int64_t exponent = 0;
  if (e != std::string_view::npos) {
    size_t i = e + 1;
    bool negative = i < number.size() && number[i] == '-';
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
    for (; i < number.size() && is_digit(number[i]); ++i) {
      exponent = std::min<std::int64_t>(exponent * 10 + (number[i] - '0'), 1'000'000'000);
    }
    if (negative) exponent = -exponent;
  }
  return magnitude + exponent;
}

}  // namespace

Gbk half_width(const Gbk& text) { return Gbk::from_bytes(map_full_width(text.bytes())); }

Gbk trim(const Gbk& text) {
  const std::string& s = text.bytes();
  // Walk forward in character units, remembering where the last non-blank ends.
  size_t begin = s.size();
  size_t end = 0;
  for (size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    size_t width = (is_lead(c) && i + 1 < s.size()) ? 2 : 1;
    bool blank = c == ' ' || (width == 2 && c == 0xA1 && static_cast<unsigned char>(s[i + 1]) == 0xA1);
    if (!blank) {
      if (begin == s.size()) begin = i;
      end = i + width;
    }
    i += width;
  }
  if (begin >= end) return Gbk();
  return Gbk::from_bytes(s.substr(begin, end - begin));
}

double to_number(const Gbk& text) {
  std::string mapped = map_full_width(text.bytes());
  std::string_view s = skip_space(mapped);
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  size_t start = i;
  size_t digits = 0;
  while (i < s.size() && is_digit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && is_digit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  size_t mantissa_end = i;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < s.size() && is_digit(s[j])) {
      while (j < s.size() && is_digit(s[j])) ++j;
      mantissa_end = j;
    }
  }
  double value = 0.0;
  bool out_of_range = false;
#if defined(__cpp_lib_to_chars)
  auto r = std::from_chars(s.data() + start, s.data() + mantissa_end, value, std::chars_format::general);
  out_of_range = r.ec == std::errc::result_out_of_range;
#else
  // No floating-point from_chars (the browser build's C++ library): strtod in the "C" locale,
  // so the decimal point is "." whatever the user's locale says, on the number alone.
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  std::string number(s.substr(start, mantissa_end - start));
  errno = 0;
  value = strtod_l(number.c_str(), nullptr, c_locale);
  out_of_range = errno == ERANGE;
#endif
  if (out_of_range) {
    // Overflow reads as infinity, underflow as 0, as atof gives them.
    bool huge = decimal_magnitude(s.substr(start, mantissa_end - start)) > 0;
    value = huge ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

std::int32_t to_integer(const Gbk& text) {
  std::string mapped = map_full_width(text.bytes());
  std::string_view s = skip_space(mapped);
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  std::int64_t value = 0;
  constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  while (i < s.size() && is_digit(s[i])) {
    value = value * 10 + (s[i++] - '0');
    if (value > limit) value = limit;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) value = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

std::int32_t truncate(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

Gbk number_text(std::int64_t value) { return Gbk::from_bytes(std::to_string(value)); }

Gbk number_text(double value) {
  char buf[64];
#if defined(__cpp_lib_to_chars)
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 13);
  return Gbk::from_bytes(std::string(buf, r.ptr));
#else
  // to_chars is defined as printf's %g in the "C" locale; the browser build's C library has no
  // other locale, so its "." stays.
  int n = std::snprintf(buf, sizeof buf, "%.13g", value);
  return Gbk::from_bytes(std::string(buf, static_cast<size_t>(n)));
#endif
}

Gbk rate_bits(const Gbk& kbytes) { return number_text(to_number(trim(kbytes)) * 8000.0); }

Gbk yes_no(bool on) { return on ? "yes"_a : "no"_a; }

Gbk right_part(const Gbk& text, int n) {
  if (n <= 0) return Gbk();
  if (static_cast<size_t>(n) >= text.size()) return text;
  return Gbk::from_bytes(text.bytes().substr(text.size() - static_cast<size_t>(n)));
}

int find(const Gbk& text, const Gbk& part) {
  size_t p = text.bytes().find(part.bytes());
  return p == std::string::npos ? -1 : static_cast<int>(p) + 1;
}

int find_last(const Gbk& text, const Gbk& part) {
  size_t p = text.bytes().rfind(part.bytes());
  return p == std::string::npos ? -1 : static_cast<int>(p) + 1;
}

Gbk replace_at(const Gbk& text, int start, int count, const Gbk& part) {
  std::string s = text.bytes();
  size_t from = start < 1 ? 0 : static_cast<size_t>(start - 1);
  if (from > s.size()) from = s.size();
  size_t n = count < 0 ? 0 : static_cast<size_t>(count);
  s.replace(from, n, part.bytes());
  return Gbk::from_bytes(std::move(s));
}

Gbk replace_all(const Gbk& text, const Gbk& part, const Gbk& with) {
  if (part.empty()) return text;
  const std::string& s = text.bytes();
  std::string out;
  size_t at = 0;
  for (size_t p; (p = s.find(part.bytes(), at)) != std::string::npos; at = p + part.size()) {
    out.append(s, at, p - at);
    out += with.bytes();
  }
  out.append(s, at);
  return Gbk::from_bytes(std::move(out));
}

std::vector<Gbk> split(const Gbk& text, const Gbk& separator) {
  std::vector<Gbk> pieces;
  const std::string& s = text.bytes();
  if (s.empty()) return pieces;
  if (separator.empty()) return {text};
  size_t at = 0;
  while (at < s.size()) {
    size_t p = s.find(separator.bytes(), at);
    if (p == std::string::npos) {
      pieces.push_back(Gbk::from_bytes(s.substr(at)));
      break;
    }
    pieces.push_back(Gbk::from_bytes(s.substr(at, p - at)));
    at = p + separator.size();
  }
  return pieces;
}

bool equal_ignoring_case(const Gbk& a, const Gbk& b) {
  const std::string& x = a.bytes();
  const std::string& y = b.bytes();
  if (x.size() != y.size()) return false;
  for (size_t i = 0; i < x.size(); ++i) {
    auto c = static_cast<unsigned char>(x[i]);
    auto d = static_cast<unsigned char>(y[i]);
    if (is_lead(c) && i + 1 < x.size()) {
      // Trail bytes of double-byte characters are not letters.
      if (c != d || x[i + 1] != y[i + 1]) return false;
      ++i;
      continue;
    }
    auto lower = [](unsigned char ch) { return (ch >= 'A' && ch <= 'Z') ? ch + 32 : ch; };
    if (lower(c) != lower(d)) return false;
  }
  return true;
}

}  // namespace rosgen
