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

}  // namespace rosgen
