// Shared pieces of the RouterOS 7 generators: quoting values the way RouterOS 7
// reads them, prefix lengths instead of netmasks, and the refusal for features
// that RouterOS 7 no longer has.
#pragma once

#include <string>

#include "script/form.h"
#include "script/page.h"

namespace rosgen {

// The value in double quotes, with the characters RouterOS 7 treats specially
// inside quotes escaped (\ " $ and control characters), so any text stays one value.
Gbk quoted7(const Gbk& value);

// The value as it stands when it is one plain word (letters, digits and . _ : / , + - @ !),
// else quoted7(value). An empty value becomes "".
Gbk word7(const Gbk& value);

// "A.B.C.D/N": a dotted netmask becomes its prefix length; a prefix length or
// anything that is not a contiguous netmask is written as given.
Gbk cidr7(const Gbk& address, const Gbk& mask);

// A dotted netmask as its prefix length text ("255.255.255.0" -> "24"); other
// text (already a length, or not a netmask) unchanged.
Gbk prefix_length7(const Gbk& mask);

// "yyyy-mm-dd", the date form RouterOS 7 takes and prints.
Gbk iso_date7(const Date& date);

// Refuses a button whose 3.x script has no RouterOS 7 counterpart; `what` names the feature.
Outcome refuse7(Ctx& c, const std::string& what);

// A RouterOS 7 button: no designer name, the caption says 7.X.
inline Button button7(std::string id, std::string caption, Handler run) {
  return Button{std::move(id), {}, std::move(caption), std::move(run)};
}

}  // namespace rosgen
