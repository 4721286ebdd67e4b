// Which values fit which kind: for each kind, values that must pass and
// values that must warn, with the edges where a fault would hide.
#include <gtest/gtest.h>

#include "script/value_kind.h"

namespace rosgen {
namespace {

struct KindCase {
  ValueRule rule;
  std::vector<const char*> pass;
  std::vector<const char*> warn;
};

ValueRule kind(ValueKind k, std::int64_t min = 0, std::int64_t max = 0) { return ValueRule{k, min, max}; }

TEST(ValueKind, PassAndWarnPerKind) {
  const KindCase cases[] = {
      {kind(ValueKind::Ipv4),
       {"192.168.0.1", "0.0.0.0", "255.255.255.255", " 10.0.0.1　"},
       {"256.1.1.1", "1.2.3", "1.2.3.4.5", "01.2.3.4", "1.2.3.4/24", "", "１.2.3.4", "a.b.c.d", "1..2.3"}},
      {kind(ValueKind::Address),
       {"192.168.0.0/24", "10.0.0.1", "192.168.0.0/255.255.255.0"},
       {"192.168.0.0/33", "192.168.0.0/", "/24", "192.168.0.0/255.0.255.0"}},
      {kind(ValueKind::Netmask),
       {"255.255.255.0", "24", "0", "32", "255.255.255.255", "0.0.0.0", "255.255.255.248"},
       {"33", "255.0.255.0", "255.255.255.1", "", "024"}},
      {kind(ValueKind::Range),
       {"192.168.0.2-192.168.0.254", "10.0.0.1"},
       {"192.168.0.254-192.168.0.2", "192.168.0.2-", "1.2.3.4-5"}},
      {kind(ValueKind::AddressList),
       {"", "1.2.3.4", "1.2.3.4,5.6.7.0/24", "1.2.3.4\r\n5.6.7.8", "1.2.3.4, 5.6.7.8", "1.2.3.4,"},
       {"1.2.3.4，5.6.7.8", "1.2.3.4,x", "1.2.3.4;5.6.7.8"}},
      {kind(ValueKind::Prefix3), {"192.168.0", "10.0.0"}, {"192.168.0.1", "192.168", "192.168.256", ""}},
      {kind(ValueKind::Interface), {"ether1", "pppoe-out1", "wlan_2"}, {"ether 1", "\"ether1\"", "网卡", ""}},
      {kind(ValueKind::Name), {"ketrova5", "PPPoE_Server", "a.b-c"}, {"my svc", "a\"b", "用户", "", "a$b", "a;b"}},
      {kind(ValueKind::Text),
       {"", "ADMIN-KETROVA5", "any text, with blanks"},
       {"say \"hi\"", "中文备注", "two\r\nlines"}},
      {kind(ValueKind::Password), {"", "s3cret", "p w;$[x]", "密码"}, {"a\"b", "a\r\nb"}},
      {kind(ValueKind::Domain), {"www.example.com", "qq", "sex"}, {"a b", "key\"word", ""}},
      {kind(ValueKind::Rate),
       {"0", "512", "1249999999", "10.5", "1.25"},
       {"10000000000", "1250000000", "inf", "0x10", "-5", "", "1e3", "12.", "abc", "１２"}},
      {kind(ValueKind::Integer, 0, 23), {"0", "23", "05", "7"}, {"24", "-1", "10.5", "", "１２", "7h", " "}},
      {kind(ValueKind::Integer, 1, 8), {"1", "8"}, {"0", "9"}},
      {kind(ValueKind::Integer, 0, 59), {"59", "00"}, {"60"}},
      {kind(ValueKind::Time), {"23:59:59", "00:00:00", "07:05:09"}, {"24:00:00", "7:5:9", "23:60:00", "12:00", ""}},
      {kind(ValueKind::Date),
       {"2012/02/29", "2000/02/29", "2010/03/05", "2010/12/31"},
       {"2011/02/29", "1900/02/29", "2010/3/5", "２０10/03/05", "2010-03-05", "2010/13/01", "2010/04/31", ""}},
      {kind(ValueKind::Mac),
       {"01:23:45:67:89:AB", "01:23:45:67:89:ab"},
       {"01-23-45-67-89-ab", "01:23:45:67:89", "0g:23:45:67:89:AB"}},
      {kind(ValueKind::PortRange),
       {"80", "6881-6889", "65535", "1", "21,80,110", "80,6881-6889"},
       {"0", "65536", "80-", "http", "", "80,", "80;443"}},
  };
  for (const KindCase& c : cases) {
    SCOPED_TRACE(value_kind_name(c.rule.kind));
    for (const char* v : c.pass) EXPECT_EQ(value_problem(c.rule, to_gbk(v)), std::nullopt) << "should pass: " << v;
    for (const char* v : c.warn) EXPECT_NE(value_problem(c.rule, to_gbk(v)), std::nullopt) << "should warn: " << v;
  }
}

// The reason names what would go wrong, so the user knows what to fix.
TEST(ValueKind, ReasonsSayWhatBreaks) {
  const struct {
    ValueRule rule;
    const char* value;
    const char* reason;
  } cases[] = {
      {kind(ValueKind::Ipv4), "", "不能为空"},
      {kind(ValueKind::Ipv4), "1.2.3", "不是有效的IP地址"},
      {kind(ValueKind::Rate), "10000000000", "速率过大，脚本中会写成科学计数法"},
      {kind(ValueKind::Rate), "-5", "速率不能为负数"},
      {kind(ValueKind::Name), "用户", "含有中文字符，RouterOS脚本不支持"},
      {kind(ValueKind::Integer, 0, 23), "１２", "含有全角字符，脚本中会原样写出"},
      {kind(ValueKind::Integer, 0, 59), "60", "应在0到59之间"},
      {kind(ValueKind::Text), "a\"b", "含有双引号，会破坏脚本中的引号"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(value_problem(c.rule, to_gbk(c.value)).value_or(""), c.reason) << c.value;
  }
}

}  // namespace
}  // namespace rosgen
