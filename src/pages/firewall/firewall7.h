// RouterOS 7 pieces shared by the firewall pages. Every field keeps its argument
// even when empty: an empty value makes RouterOS 7 reject the line, where leaving
// the matcher out would widen a drop or dst-nat rule to all traffic.
#pragma once

#include <string_view>

#include "script/gbk.h"

namespace rosgen {

// " name=value", the value written through word7 (an empty one as "").
Gbk arg7(std::string_view name, const Gbk& value);

// " name=!value": the matcher negated. A value that needs quotes carries the "!"
// inside them, which RouterOS 7 reads the same way.
Gbk not_arg7(std::string_view name, const Gbk& value);

}  // namespace rosgen
