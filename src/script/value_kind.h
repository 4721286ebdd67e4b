// What kind of value each text field holds, and whether a value fits its kind.
// A value that does not fit is only warned about: the script is written as
// typed, but the user learns which field would likely break it on the router.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "script/gbk.h"

namespace rosgen {

enum class ValueKind {
  Unset,        // not declared (a defect the registry test catches)
  Flag,         // check box or radio button
  Choice,       // combo box
  Ipv4,         // 192.168.0.1
  Address,      // an address, or address/prefix
  Netmask,      // 255.255.255.0 or a prefix length
  Range,        // 192.168.0.2-192.168.0.254, or one address
  AddressList,  // addresses or networks separated by commas or line breaks
  Prefix3,      // the first three octets: 192.168.0
  Interface,    // ether1
  Name,         // an identifier: no blanks, quotes or non-ASCII
  Text,         // free text in quotes: no quote, no line break, no Chinese
  Rate,         // KByte/s, written as bit/s
  Integer,      // a whole number within the field's range
  Time,         // hh:mm:ss
  Date,         // yyyy/mm/dd
  Mac,          // 01:23:45:67:89:AB
  PortRange,    // 80 or 6881-6889
  Domain,       // a domain name or keyword
  Password,     // anything but a quote or a line break
};

// The kind's one-word name, as `rosgen show --json` lists it.
const char* value_kind_name(ValueKind kind);

// What a field declares about its values.
struct ValueRule {
  ValueKind kind = ValueKind::Unset;
  std::int64_t min = 0;  // Integer only
  std::int64_t max = 0;
};

// Why the value does not fit, in Chinese; nothing when it fits. The value is
// judged as the generators read it: trimmed.
std::optional<std::string> value_problem(const ValueRule& rule, const Gbk& value);

}  // namespace rosgen
