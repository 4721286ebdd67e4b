#include "pages/firewall/firewall7.h"

#include <string>

#include "pages/ros7.h"

namespace rosgen {

namespace {

Gbk name_of(std::string_view name) { return Gbk::from_bytes(" " + std::string(name) + "="); }

}  // namespace

Gbk arg7(std::string_view name, const Gbk& value) { return name_of(name) + word7(value); }

Gbk not_arg7(std::string_view name, const Gbk& value) {
  const Gbk word = word7(value);
  return name_of(name) + (word == value ? "!"_a + value : quoted7("!"_a + value));
}

Gbk before_fasttrack7() { return before_defconf7("defconf: fasttrack"); }

Gbk stored_address7(const Gbk& address) {
  const std::string& a = address.bytes();
  if (a.size() > 3 && a.ends_with("/32")) return Gbk::from_bytes(a.substr(0, a.size() - 3));
  return address;
}

Gbk ascii_lower7(const Gbk& text) {
  std::string out = text.bytes();
  for (size_t i = 0; i < out.size(); ++i) {
    const auto u = static_cast<unsigned char>(out[i]);
    if (u >= 0x81 && u <= 0xFE && i + 1 < out.size()) {
      ++i;
    } else if (out[i] >= 'A' && out[i] <= 'Z') {
      out[i] = static_cast<char>(out[i] - 'A' + 'a');
    }
  }
  return Gbk::from_bytes(std::move(out));
}

}  // namespace rosgen
