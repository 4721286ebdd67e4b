// What kind of value each text field holds, how each dialect's scripts write
// it, and whether a value fits. A value that does not fit is only warned
// about: the script is written as typed, but the user learns which field
// would likely break it on the router.
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
  Name,         // an identifier: no blanks, quotes or non-ASCII where it is written as typed
  Text,         // free text, no Chinese
  Rate,         // KByte/s, written as bit/s
  Integer,      // a whole number within the field's range
  Time,         // hh:mm:ss
  Date,         // yyyy/mm/dd
  Mac,          // 01:23:45:67:89:AB
  PortRange,    // 80 or 6881-6889
  Domain,       // a domain name or keyword: no blanks
  Password,     // anything the script's writing keeps whole
};

// The kind's one-word name, as `rosgen show --json` lists it.
const char* value_kind_name(ValueKind kind);

// Which scripts a press writes: the 2.9.x/3.x text, RouterOS 7's, or none of
// its own (a line list's buttons only keep the values for the generate buttons
// of both).
enum class Dialect { Classic, V7, Any };

// "2.9.x/3.x", "7.x" or "any".
const char* dialect_name(Dialect dialect);

// How a dialect's scripts put a field's value.
enum class Writing : std::uint8_t {
  Plain,       // as typed, without quotes: a blank or a ";" ends the value there
  Quoted,      // as typed, between double quotes: a quote, "$", "\" or a line break breaks them
  Escaped,     // between quotes, with what needs it escaped: any text stays one value
  Normalised,  // escaped, and in the router's own form first (a MAC's dashes become colons)
  Number,      // read as a number, full-width digits as ASCII; the typed text is never written
};

// "plain", "quoted", "escaped", "normalised", "number", as `rosgen show --json` lists it.
const char* writing_name(Writing writing);

// What a field declares about its values.
struct ValueRule {
  ValueKind kind = ValueKind::Unset;
  std::int64_t min = 0;  // Integer only
  std::int64_t max = 0;
  // Undeclared, a value counts as written between plain quotes by both.
  Writing classic = Writing::Quoted;
  Writing v7 = Writing::Quoted;
  // Integer: what a value below `min` does, said instead of the range.
  const char* below_min = nullptr;

  Writing writing(Dialect dialect) const { return dialect == Dialect::V7 ? v7 : classic; }
};

// Why the value does not fit, in Chinese, for the scripts of `dialect`;
// nothing when it fits. Dialect::Any warns when either dialect would, and
// names the dialect when only one would. The value is judged as the
// generators read it: trimmed.
std::optional<std::string> value_problem(const ValueRule& rule, const Gbk& value, Dialect dialect);
// Without a press to tell the dialect (a field being typed into): as Dialect::Any.
std::optional<std::string> value_problem(const ValueRule& rule, const Gbk& value);

// What the writing alone does to the value: a character that ends it there or
// breaks the quotes around it. Nothing for a writing that keeps any text whole.
std::optional<std::string> writing_problem(Writing writing, const Gbk& value);

}  // namespace rosgen
