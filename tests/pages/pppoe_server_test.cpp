// Tab 23: PPPoE server.
#include <gtest/gtest.h>

#include "support.h"

namespace rosgen::test {
namespace {

const std::string kHead =
    "/ ip pool add name=PPPoE_Pool ranges=10.10.10.2-10.10.10.254\r\n"
    "/ interface pppoe-server server add service-name=PPPoE_Server interface=ether1 one-session-per-host=yes "
    "disabled=no\r\n";
const std::string kProfile =
    "/ ppp profile add name=\"PPPoE_Profile\" local-address=10.10.10.1 remote-address=PPPoE_Pool "
    "use-compression=yes use-vj-compression=yes use-encryption=yes change-tcp-mss=no only-one=yes";
const std::string kDns = " dns-server=114.114.114.114,114.114.114.114";

TEST(PppoeServer, Scripts) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<std::string> check;
    std::vector<std::string> uncheck;
    std::string expected;
  } cases[] = {
      {"defaults", {}, {}, {}, kHead + kProfile + kDns},
      {"timeouts and rate limit",
       {{"编辑框_pppoe_空闲超时", "00:10:00"}, {"编辑框_pppoe_连接超时", "02:00:00"}, {"编辑框_pppoe_下载", "200"}},
       {"选择框_pppoe_空闲超时", "选择框_pppoe_连接超时", "选择框_pppoe_客户端限速"},
       {},
       kHead + kProfile + " idle-timeout=00:10:00 session-timeout=02:00:00 rate-limit=800000/1600000" + kDns},
      {"rate that is no number reads 0",
       {{"编辑框_pppoe_上传", "abc"}},
       {"选择框_pppoe_客户端限速"},
       {},
       kHead + kProfile + " rate-limit=0/800000" + kDns},
      {"rate limit off ignores the rates",
       {{"编辑框_pppoe_上传", "abc"}, {"编辑框_pppoe_下载", "12.5"}},
       {},
       {},
       kHead + kProfile + kDns},
      {"timeout on with zero or empty text is written",
       {{"编辑框_pppoe_连接超时", " "}},
       {"选择框_pppoe_空闲超时", "选择框_pppoe_连接超时"},
       {},
       kHead + kProfile + " idle-timeout=00:00:00 session-timeout=" + kDns},
      {"option boxes flipped",
       {{"编辑框_pppoe_服务名称", " svc "}, {"编辑框_pppoe_模板标识", "pro"}},
       {"选择框_pppoe_更改TCPMSS"},
       {"选择框_pppoe_使用压缩", "选择框_pppoe_使用VJ压缩", "选择框_pppoe_使用加密", "选择框_pppoe_用户权限选择"},
       "/ ip pool add name=PPPoE_Pool ranges=10.10.10.2-10.10.10.254\r\n"
       "/ interface pppoe-server server add service-name=svc interface=ether1 one-session-per-host=yes disabled=no\r\n"
       "/ ppp profile add name=\"pro\" local-address=10.10.10.1 remote-address=PPPoE_Pool use-compression=no "
       "use-vj-compression=no use-encryption=no change-tcp-mss=yes only-one=no" +
           kDns},
  };
  for (const auto& c : cases) {
    for (const char* button : {"gen-2x", "按钮_PPPOE_自定义脚本生成3x"}) {
      Session s("pppoe-server");
      s.set_output("old");
      EXPECT_EQ(s.press(button, c.values, c.check, c.uncheck), Outcome::Done);
      EXPECT_EQ(s.output(), c.expected) << c.name << " / " << button;
    }
  }
}

}  // namespace
}  // namespace rosgen::test
