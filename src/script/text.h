// The text toolkit every generator uses: trimming, numbers, rates, searching,
// replacing and splitting GBK byte strings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/gbk.h"

namespace rosgen {

// Cuts ASCII blanks and GBK full-width blanks (A1 A1) at both ends. Other
// double-byte characters are stepped over whole, so their trail byte is never
// taken for a blank. Tabs and line ends stay.
Gbk trim(const Gbk& text);

// The text as the number readers see it: full-width characters as their ASCII
// forms, other double-byte characters left out.
Gbk half_width(const Gbk& text);

// The longest leading decimal number after the full-width mapping and leading
// white space, as atof reads it; 0 when there is none.
double to_number(const Gbk& text);
// Optional sign and leading digits, as atol reads them, kept within 32 bits.
std::int32_t to_integer(const Gbk& text);
// Drops the fraction (toward zero), kept within 32 bits; not-a-number gives 0.
std::int32_t truncate(double value);

// "%d" and "%.13g".
Gbk number_text(std::int64_t value);
Gbk number_text(double value);
// Also for plain int, so number_text(k) never picks the double overload.
inline Gbk number_text(int value) { return number_text(static_cast<std::int64_t>(value)); }

// KByte/s text -> bit/s text: trimmed, to number, times 8000, number text.
Gbk rate_bits(const Gbk& kbytes);

// "yes" or "no".
Gbk yes_no(bool on);

// The last n bytes; empty for n <= 0; the whole text when n is larger.
Gbk right_part(const Gbk& text, int n);
// 1-based byte position of the first / last occurrence, -1 when absent.
int find(const Gbk& text, const Gbk& part);
int find_last(const Gbk& text, const Gbk& part);
// `count` bytes from the 1-based `start` replaced by `part`; start < 1 counts as 1.
Gbk replace_at(const Gbk& text, int start, int count, const Gbk& part);
// Every occurrence of `part` replaced, case-sensitive.
Gbk replace_all(const Gbk& text, const Gbk& part, const Gbk& with);

// Splits at every separator. Empty pieces in the middle count; a trailing
// separator adds nothing; the empty text has no pieces.
std::vector<Gbk> split(const Gbk& text, const Gbk& separator);

// Letters compared without regard to ASCII case.
bool equal_ignoring_case(const Gbk& a, const Gbk& b);

}  // namespace rosgen
