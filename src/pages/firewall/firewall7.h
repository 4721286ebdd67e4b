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

// " place-before=...": a forward-chain rule of the LAN's traffic goes before the default
// fasttrack rule. Fasttracked packets skip the filter, and the default accept of
// established connections comes right after it.
Gbk before_fasttrack7();

// An address as an address list stores it: "A.B.C.D/32" is kept as "A.B.C.D", so a
// find by address matches what an earlier add left.
Gbk stored_address7(const Gbk& address);

// The ASCII letters of `text` in lower case; the two bytes of a GBK character stay as
// they are (the second one may look like a letter).
Gbk ascii_lower7(const Gbk& text);

}  // namespace rosgen
