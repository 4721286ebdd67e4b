#include "script/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace rosgen {
namespace {

// One converter per direction and thread; iconv_open is too slow to repeat per call.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr): iconv's failure value
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`; at every byte sequence that cannot be converted, `skip`
  // tells how many input bytes to pass over and a "?" is written instead.
  template <typename Skip>
  std::string run(std::string_view in, Skip skip) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(in.size() * 3 / 2 + 8);
    char buf[4096];
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    while (left > 0) {
      char* dst = buf;
      size_t room = sizeof buf;
      size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<size_t>(dst - buf));
      if (r != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) continue;
      if (errno == EINVAL) {  // cut off at the end
        out += '?';
        break;
      }
      // EILSEQ: replace and step over.
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

// Length of the UTF-8 sequence at the start of `s` when it is well formed, else 1.
size_t utf8_step(std::string_view s) {
  auto c = static_cast<unsigned char>(s[0]);
  size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || n > s.size()) return 1;
  for (size_t i = 1; i < n; ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
  }
  return n;
}

}  // namespace

Gbk to_gbk(std::string_view utf8) {
  thread_local Converter conv("CP936", "UTF-8");
  return Gbk::from_bytes(conv.run(utf8, utf8_step));
}

std::string to_utf8(const Gbk& text) {
  thread_local Converter conv("UTF-8", "CP936");
  return conv.run(text.bytes(), [](std::string_view) -> size_t { return 1; });
}

}  // namespace rosgen
