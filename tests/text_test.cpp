#include <gtest/gtest.h>

#include <cmath>

#include "script/text.h"

namespace rosgen {
namespace {

Gbk g(const std::string& utf8) { return to_gbk(utf8); }
Gbk raw(const std::string& bytes) { return Gbk::from_bytes(bytes); }

TEST(Gbk, ConvertsBothWays) {
  EXPECT_EQ(to_gbk("定时重启").bytes(), "\xB6\xA8\xCA\xB1\xD6\xD8\xC6\xF4");
  EXPECT_EQ(to_utf8(raw("\xB6\xA8\xCA\xB1\xD6\xD8\xC6\xF4")), "定时重启");
  EXPECT_EQ(to_gbk("ether1 全角　").bytes(), "ether1 \xC8\xAB\xBD\xC7\xA1\xA1");
}

TEST(Gbk, ReplacesWhatCannotBeConverted) {
  struct Case {
    std::string utf8;
    std::string gbk;
  } cases[] = {
      {"a😀b", "a?b"},  // outside GBK
      {"a\xFF"
       "b",
       "a?b"},              // not UTF-8
      {"a\xE5\xAE", "a?"},  // cut off at the end
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& c : cases) EXPECT_EQ(to_gbk(c.utf8).bytes(), c.gbk) << c.utf8;
  EXPECT_EQ(to_utf8(raw("x\x81 y")), "x? y");
  EXPECT_EQ(to_utf8(raw("x\xB6")), "x?");
}

TEST(Trim, CutsAsciiAndFullWidthBlanksOnly) {
  struct Case {
    Gbk in;
    Gbk out;
  } cases[] = {
      {g("  192.168.1.1　"), g("192.168.1.1")},
      {g("\t80"), g("\t80")},
      {g("80\r\n"), g("80\r\n")},
      {g("　 　"), Gbk()},
      {g(""), Gbk()},
      {g(" a b "), g("a b")},
      // A1 A1 inside a character pair is not a blank: B0 A1 then A1 41.
      {raw("\xB0\xA1\xA1\x41"), raw("\xB0\xA1\xA1\x41")},
      // ...but a trail byte of A1 followed by a real full-width blank is cut.
      {raw("\xB0\xA1\xA1\xA1"), raw("\xB0\xA1")},
      {raw(" \xB0"), raw("\xB0")},  // lone lead byte at the end
  };
  for (const auto& c : cases) EXPECT_EQ(trim(c.in).bytes(), c.out.bytes()) << c.in.bytes();
}

TEST(Numbers, ReadLikeAtofAfterFullWidthMapping) {
  struct Case {
    std::string in;
    double number;
    int integer;
  } cases[] = {
      {"80", 80, 80},
      {"\t80", 80, 80},
      {"80k", 80, 80},
      {"１００", 100, 100},
      {"－１２.５", -12.5, -12},
      {"　7", 7, 7},
      {"12.5", 12.5, 12},
      {"abc", 0, 0},
      {"", 0, 0},
      {"+3", 3, 3},
      {"-", 0, 0},
      {".5", 0.5, 0},
      {"1e3", 1000, 1},
      {"1e", 1, 1},
      {"6.9", 6.9, 6},
      {"中80", 80, 80},  // other double-byte characters are left out
      {"0x10", 0, 0},
      {"inf", 0, 0},
      {"99999999999", 99999999999.0, 2147483647},
      {"-99999999999", -99999999999.0, -2147483647 - 1},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(to_number(g(c.in)), c.number) << c.in;
    EXPECT_EQ(to_integer(g(c.in)), c.integer) << c.in;
  }
}

// Beyond a double: too large reads as infinity, too small as 0, whichever of
// the digits and the exponent carries the size.
TEST(Numbers, OutOfRangeReadLikeAtof) {
  const std::string zeros(400, '0');
  struct Case {
    std::string in;
    double number;
  } cases[] = {
      {"1e999", HUGE_VAL},
      {"-1e999", -HUGE_VAL},
      {"1e-999", 0},
      {"0." + zeros + "1", 0},
      {"0.5e400", HUGE_VAL},
      {".5e999", HUGE_VAL},
      {"0" + zeros + "2e400", HUGE_VAL},
      {"1" + zeros + "e-50", HUGE_VAL},
      {"1" + zeros + "e-800", 0},
      {"0." + zeros + "1e-10", 0},
      {std::string(70000, '9'), HUGE_VAL},
      {"1e99999999999999999999", HUGE_VAL},
      {"1e-99999999999999999999", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(to_number(g(c.in)), c.number) << c.in.substr(0, 40);
}

TEST(Numbers, Truncate) {
  EXPECT_EQ(truncate(6.9), 6);
  EXPECT_EQ(truncate(-6.9), -6);
  EXPECT_EQ(truncate(1e300), 2147483647);
  EXPECT_EQ(truncate(-1e300), -2147483647 - 1);
  EXPECT_EQ(truncate(std::nan("")), 0);
}

TEST(Numbers, Text) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {1e13, "1e+13"},    {640000, "640000"},
      {100000, "100000"}, {0.5 * 8000, "4000"},
      {0, "0"},           {-8000, "-8000"},
      {0.1, "0.1"},       {1.0 / 3, "0.3333333333333"},
      {1e-5, "1e-05"},    {123456789012.0, "123456789012"},
  };
  for (const auto& c : cases) EXPECT_EQ(number_text(c.value).bytes(), c.text) << c.value;
  EXPECT_EQ(number_text(-42).bytes(), "-42");
  EXPECT_EQ(number_text(std::int64_t{3}).bytes(), "3");
}

TEST(Rate, KBytesToBits) {
  struct Case {
    std::string in;
    const char* out;
  } cases[] = {{"80", "640000"},   {"0.5", "4000"},      {"abc", "0"},       {"", "0"},
               {"12.5", "100000"}, {"１００", "800000"}, {" 100 ", "800000"}};
  for (const auto& c : cases) EXPECT_EQ(rate_bits(g(c.in)).bytes(), c.out) << c.in;
}

TEST(TextOps, RightPartFindReplace) {
  EXPECT_EQ(right_part(g("08"), 1).bytes(), "8");
  EXPECT_EQ(right_part(g("7"), 2).bytes(), "7");
  EXPECT_EQ(right_part(g("abc"), 0).bytes(), "");
  EXPECT_EQ(right_part(g("abc"), -1).bytes(), "");

  EXPECT_EQ(find(g("a,b,c"), g(",")), 2);
  EXPECT_EQ(find_last(g("a,b,c"), g(",")), 4);
  EXPECT_EQ(find(g("abc"), g("x")), -1);
  EXPECT_EQ(find_last(g(""), g(",")), -1);

  EXPECT_EQ(replace_at(g("mon,fri,"), 8, 1, Gbk()).bytes(), "mon,fri");
  EXPECT_EQ(replace_at(g("abc"), 0, 1, g("X")).bytes(), "Xbc");
  EXPECT_EQ(replace_at(g("abc"), -5, 2, g("X")).bytes(), "Xc");
  EXPECT_EQ(replace_at(g("abc"), 9, 2, g("X")).bytes(), "abcX");

  EXPECT_EQ(replace_all(g("a.b.c"), g("."), g("::")).bytes(), "a::b::c");
  EXPECT_EQ(replace_all(g("aAa"), g("a"), g("b")).bytes(), "bAb");
  EXPECT_EQ(replace_all(g("abc"), Gbk(), g("x")).bytes(), "abc");
}

TEST(Split, TrailingSeparatorAddsNothing) {
  struct Case {
    std::string in;
    std::vector<std::string> pieces;
  } cases[] = {
      {"", {}},    {"0,1,2", {"0", "1", "2"}}, {"1,,2", {"1", "", "2"}}, {",1", {"", "1"}}, {"1,2,", {"1", "2"}},
      {",", {""}}, {",,", {"", ""}},           {"0, 1", {"0", " 1"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> got;
    for (const Gbk& piece : split(g(c.in), ","_a)) got.push_back(piece.bytes());
    EXPECT_EQ(got, c.pieces) << c.in;
  }
  std::vector<Gbk> lines = split(g("a\r\nb\r\n"), "\r\n"_a);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].bytes(), "b");
}

TEST(TextOps, EqualIgnoringCase) {
  EXPECT_TRUE(equal_ignoring_case(g("User@ISP"), g("user@isp")));
  EXPECT_FALSE(equal_ignoring_case(g("user"), g("user ")));
  // Trail bytes in the letter range are not folded: 0xB0 0x41 vs 0xB0 0x61.
  EXPECT_FALSE(equal_ignoring_case(raw("\xB0\x41"), raw("\xB0\x61")));
}

}  // namespace
}  // namespace rosgen
