// The PPTP and L2TP pages through the rosgen program.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli_support.h"

namespace rosgen::test {
namespace {

const std::string kPptpServer =
    "/ interface pptp-server server set enabled=yes\r\n"
    "/ ip pool add name=\"pptp_pool\" ranges=172.16.254.2-172.16.254.254\r\n"
    "/ ppp profile add name=\"pptp_profile\" local-address=pptp_pool remote-address=172.16.254.1 "
    "use-compression=yes use-vj-compression=yes use-encryption=yes change-tcp-mss=no only-one=yes";
const std::string kPptpTail =
    " dns-server=114.114.114.114,223.5.5.5\r\n"
    "/ ip firewall nat add chain=srcnat src-address=172.16.254.2-172.16.254.254 action=masquerade";
const std::string kPptpClient =
    "/ interface pptp-client add name=\"ketrova5_pptp_client\" connect-to=198.51.100.10 user=\"KETROVA5\" "
    "password=\"Hd4Ls8Pw6Jc2Yf9E\" add-default-route=yes disabled=no";
const std::string kL2tpServer =
    "/ interface l2tp-server server set enabled=yes\r\n"
    "/ ip pool add name=\"l2tp_pool\" ranges=172.16.253.2-172.16.253.254\r\n"
    "/ ppp profile add name=\"l2tp_profile\" local-address=l2tp_pool remote-address=172.16.253.1 "
    "use-compression=yes use-vj-compression=yes use-encryption=yes change-tcp-mss=no only-one=yes";
const std::string kL2tpTail =
    " dns-server=114.114.114.114,223.5.5.5\r\n"
    "/ ip firewall nat add chain=srcnat src-address=172.16.253.2-172.16.253.254 action=masquerade";
const std::string kL2tpClient =
    "/ interface l2tp-client add name=\"ketrova5_l2tp_client\" connect-to=198.51.100.20 user=\"KETROVA5\" "
    "password=\"Wu3Fk9Ce6Sa2Nh8Dp\" add-default-route=yes disabled=no";
const std::string kBackupTail = " check-gateway=ping distance=2\r\nscope=255 target-scope=10 comment=\"\" disabled=no";
const std::string kTelnet = "[信息：] 请开启Telnet服务,然后用超级终端连接运行此脚本!\\n否则会出错!\n";

struct Case {
  const char* name;
  std::vector<std::string> args;
  int code;
  std::string out;  // exact; for the route tables the start
  std::string out_end;
  std::string err;
};

void run_cases(const std::vector<Case>& cases) {
  for (const auto& c : cases) {
    Result r = rosgen(c.args);
    EXPECT_EQ(r.code, c.code) << c.name << "\n" << r.err;
    if (c.out_end.empty()) {
      EXPECT_EQ(r.out, c.out) << c.name;
    } else {
      EXPECT_TRUE(r.out.starts_with(c.out)) << c.name;
      EXPECT_TRUE(r.out.ends_with(c.out_end)) << c.name;
    }
    EXPECT_EQ(without_warnings(r.err), c.err) << c.name;
  }
}

TEST(VpnCli, Pptp) {
  run_cases({
      {"server defaults",
       {"run", "pptp", "gen-server"},
       0,
       kPptpServer + " rate-limit=800000/800000" + kPptpTail,
       "",
       ""},
      {"server timeouts and empty rates",
       {"run", "21", "按钮_pptp_自定义脚本生成2x3x", "--check", "选择框_pptp_空闲超时", "--check",
        "选择框_pptp_连接超时", "编辑框_pptp_空闲超时=00:10:00", "编辑框_pptp_连接超时=02:00:00",
        "编辑框_pptp_上传=", "编辑框_pptp_下载="},
       0,
       kPptpServer + " idle-timeout=00:10:00 session-timeout=02:00:00 rate-limit=0/0" + kPptpTail,
       "",
       ""},
      {"idle zero time inside blanks",
       {"run", "pptp", "gen-server", "--check", "选择框_pptp_空闲超时", "编辑框_pptp_空闲超时= 00:00:00 "},
       1,
       "",
       "",
       "[信息：] 空闲超时不能为：00:00:00!\n"},
      {"idle empty",
       {"run", "pptp", "gen-server", "--check", "选择框_pptp_空闲超时", "编辑框_pptp_空闲超时="},
       1,
       "",
       "",
       "[信息：] 空闲超时不能为空!\n"},
      {"session empty",
       {"run", "pptp", "gen-server", "--check", "选择框_pptp_连接超时", "编辑框_pptp_连接超时="},
       1,
       "",
       "",
       "[信息：] 连接超时不能为空!\n"},
      {"session zero time",
       {"run", "pptp", "gen-server", "--check", "选择框_pptp_连接超时"},
       1,
       "",
       "",
       "[信息：] 连接超时不能为:00:00:00\n"},
      {"account",
       {"run", "pptp", "gen-account"},
       0,
       "/ ppp secret add name=\"ketrova5\" password=\"q7Vn3Kx9Tb2Wm5Rz\" service=pptp profile=pptp_profile",
       "",
       ""},
      {"account bound",
       {"run", "pptp", "按钮_pptp_自定义脚本生成", "--check", "选择框_PPTP_绑定MAC",
        "编辑框_PPTP_mac=00-0C-29-01-02-03"},
       0,
       "/ ppp secret add name=\"ketrova5\" password=\"q7Vn3Kx9Tb2Wm5Rz\" service=pptp caller-id=00-0C-29-01-02-03 "
       "profile=pptp_profile",
       "",
       ""},
      {"account placeholder MAC",
       {"run", "pptp", "gen-account", "--check", "选择框_PPTP_绑定MAC"},
       1,
       "",
       "",
       "[信息：] 绑定的MAC不能为:00-00-00-00-00\n"},
      {"account empty MAC",
       {"run", "pptp", "gen-account", "--check", "选择框_PPTP_绑定MAC", "编辑框_PPTP_mac="},
       1,
       "",
       "",
       "[信息：] 绑定的MAC不能为不能为空!\n"},
      {"client as default route",
       {"run", "pptp", "client-default-route"},
       0,
       kPptpClient,
       "",
       "[信息：] 如果你设置过默认路由规则\\n请修改为198.51.100.10走原来默认路由！\n"},
      {"telecom main",
       {"run", "pptp", "按钮_PPTP_生成作为电信为主"},
       0,
       kPptpClient + "\r\n/ ip route \r\nadd dst-address=59.80.0.0/14 gateway=172.16.254.1 check-gateway=ping\r\n",
       "disabled=no\r\nadd dst-address=0.0.0.0/0 gateway=203.0.113.1" + kBackupTail,
       kTelnet},
      {"netcom main",
       {"run", "pptp", "routes-netcom-main", "编辑框_PPTP_网通网关=10.9.8.7"},
       0,
       kPptpClient + "\r\n/ ip route \r\nadd dst-address=58.14.0.0/15 gateway=203.0.113.1 distance=1 \r\n",
       "disabled=no\r\nadd dst-address=0.0.0.0/0 gateway=10.9.8.7" + kBackupTail,
       kTelnet},
  });
}

TEST(VpnCli, L2tp) {
  run_cases({
      {"server defaults",
       {"run", "l2tp", "gen-server"},
       0,
       kL2tpServer + " rate-limit=800000/800000" + kL2tpTail,
       "",
       ""},
      {"server download first",
       {"run", "22", "按钮_P2TP_自定义脚本生成2x3X", "编辑框_L2TP_下载=200"},
       0,
       kL2tpServer + " rate-limit=1600000/800000" + kL2tpTail,
       "",
       ""},
      {"server writes empty and zero timeouts",
       {"run", "l2tp", "gen-server", "--check", "选择框_P2TP_空闲超时", "--check", "选择框_P2TP_连接超时",
        "编辑框_L2TP_空闲超时="},
       0,
       kL2tpServer + " idle-timeout= session-timeout=00:00:00 rate-limit=800000/800000" + kL2tpTail,
       "",
       ""},
      {"account",
       {"run", "l2tp", "按钮_P2TP_自定义脚本生成"},
       0,
       "/ ppp secret add name=\"KETROVA5\" password=\"Zt5Mq2Xr8Gv4Bn7K\" service=l2tp profile=l2tp_profile",
       "",
       ""},
      {"account bound",
       {"run", "l2tp", "gen-account", "--check", "选择框_P2TP_绑定MAC", "编辑框_L2TP_MAC= aa "},
       0,
       "/ ppp secret add name=\"KETROVA5\" password=\"Zt5Mq2Xr8Gv4Bn7K\" service=l2tp caller-id=aa "
       "profile=l2tp_profile",
       "",
       ""},
      {"account placeholder MAC",
       {"run", "l2tp", "gen-account", "--check", "选择框_P2TP_绑定MAC"},
       1,
       "",
       "",
       "[信息：] 绑定的MAC不能为:00-00-00-00-00\n"},
      {"account empty MAC",
       {"run", "l2tp", "gen-account", "--check", "选择框_P2TP_绑定MAC", "编辑框_L2TP_MAC="},
       1,
       "",
       "",
       "[信息：] 绑定的MAC不能为不能为空!\n"},
      {"client as default route",
       {"run", "l2tp", "按钮_P2TP_生成作为默认路由脚本"},
       0,
       kL2tpClient,
       "",
       "[信息：] 如果你设置过默认路由规则\\n请修改为198.51.100.20走原来默认路由！\n"},
      {"telecom main",
       {"run", "l2tp", "routes-telecom-main", "编辑框_L2TP_电信网关=198.51.100.1"},
       0,
       kL2tpClient + "\r\n/ ip route \r\nadd dst-address=59.80.0.0/14 gateway=172.16.254.1 check-gateway=ping\r\n",
       "disabled=no\r\nadd dst-address=0.0.0.0/0 gateway=198.51.100.1" + kBackupTail,
       kTelnet},
      {"netcom main",
       {"run", "l2tp", "按钮_P2TP_生成网通为主"},
       0,
       kL2tpClient + "\r\n/ ip route \r\nadd dst-address=58.14.0.0/15 gateway=203.0.113.1 distance=1 \r\n",
       "disabled=no\r\nadd dst-address=0.0.0.0/0 gateway=172.16.254.1" + kBackupTail,
       kTelnet},
  });
}

// Fields and buttons in page order, each with the caption of its box.
TEST(VpnCli, ShowListsThePageInOrder) {
  struct Expected {
    const char* page;
    int index;
    const char* caption;
    const char* output;
    size_t field_count;                                       // L2TP adds the IPsec secret of its 7.x script
    std::vector<std::pair<std::string, std::string>> fields;  // id, group (a sample, in order)
    std::vector<std::vector<std::string>> buttons;            // id, designer, caption, group
  } pages[] = {
      {"pptp",
       21,
       "PPTP服务器及客户端安装设置",
       "编辑框_输出_PPTP",
       28,
       {{"编辑框_pptp_IP地址池", "PPTP服务端安装设置"},
        {"编辑框_pptp_上传", "PPTP服务端安装设置"},
        {"选择框_PPTP_帐号权限", "PPTP服务端安装设置"},
        {"编辑框_PPTP_模板标识二", "添加PPTP帐号(以下脚本2.9.X/3.X系列通用)"},
        {"编辑框_PPTP_mac", "添加PPTP帐号(以下脚本2.9.X/3.X系列通用)"},
        {"编辑框_PPTP_连接标识", "PPTP客户端安装设置(以下脚本2.9.X/3.X系列通用)"},
        {"编辑框_PPTP_网通网关", "PPTP客户端安装设置(以下脚本2.9.X/3.X系列通用)"}},
       {{"gen-server", "按钮_pptp_自定义脚本生成2x3x", "生成2.9.X/3.X系列通用脚本", "PPTP服务端安装设置"},
        {"gen-account", "按钮_pptp_自定义脚本生成", "生成脚本", "添加PPTP帐号(以下脚本2.9.X/3.X系列通用)"},
        {"client-default-route", "按钮_PPTP_生成作为默认路由脚本", "生成作为默认路由脚本",
         "PPTP客户端安装设置(以下脚本2.9.X/3.X系列通用)"},
        {"routes-telecom-main", "按钮_PPTP_生成作为电信为主", "生成作为电信为主,网通为辅路由表",
         "PPTP客户端安装设置(以下脚本2.9.X/3.X系列通用)"},
        {"routes-netcom-main", "按钮_PPTP_生成作为网通为主", "生成作为网通为主,电信为辅路由表",
         "PPTP客户端安装设置(以下脚本2.9.X/3.X系列通用)"}}},
      {"l2tp",
       22,
       "L2TP服务器及客户端安装设置",
       "编辑框_输出_P2TP",
       29,
       {{"编辑框_L2TP_IP地址池", "L2TP服务端安装设置"},
        {"编辑框_L2TP_道选DNS", "L2TP服务端安装设置"},
        {"选择框_P2TP_使用密码", "L2TP服务端安装设置"},
        {"编辑框_L2TP_IPsec密钥", "L2TP服务端安装设置"},
        {"编辑框_L2TP_模板标识二", "添加L2TP帐号(以下脚本2.9.X/3.X系列通用)"},
        {"编辑框_L2TP_MAC", "添加L2TP帐号(以下脚本2.9.X/3.X系列通用)"},
        {"编辑框_L2TP_连接标识", "L2TP客户端安装设置(以下脚本2.9.X/3.X系列通用)"},
        {"编辑框_L2TP_网通网关", "L2TP客户端安装设置(以下脚本2.9.X/3.X系列通用)"}},
       {{"gen-server", "按钮_P2TP_自定义脚本生成2x3X", "生成2.9.X/3.X系列通用脚本", "L2TP服务端安装设置"},
        {"gen-account", "按钮_P2TP_自定义脚本生成", "生成脚本", "添加L2TP帐号(以下脚本2.9.X/3.X系列通用)"},
        {"client-default-route", "按钮_P2TP_生成作为默认路由脚本", "生成作为默认路由脚本",
         "L2TP客户端安装设置(以下脚本2.9.X/3.X系列通用)"},
        {"routes-telecom-main", "按钮_P2TP_生成电信为主", "生成作为电信为主,网通为辅路由表",
         "L2TP客户端安装设置(以下脚本2.9.X/3.X系列通用)"},
        {"routes-netcom-main", "按钮_P2TP_生成网通为主", "生成作为网通为主,电信为辅路由表",
         "L2TP客户端安装设置(以下脚本2.9.X/3.X系列通用)"}}},
  };
  for (const auto& e : pages) {
    Result r = rosgen({"show", e.page, "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["index"], e.index);
    EXPECT_EQ(j["caption"], e.caption);
    EXPECT_EQ(j["output"], e.output);
    ASSERT_EQ(j["fields"].size(), e.field_count) << e.page;
    size_t at = 0;
    for (const auto& [id, group] : e.fields) {
      while (at < j["fields"].size() && j["fields"][at]["id"] != id) ++at;
      ASSERT_LT(at, j["fields"].size()) << id << " missing or out of order";
      EXPECT_EQ(j["fields"][at]["group"], group) << id;
    }
    const nlohmann::json listed = classic_buttons(j);
    ASSERT_EQ(listed.size(), e.buttons.size()) << e.page;
    for (size_t i = 0; i < e.buttons.size(); ++i) {
      EXPECT_EQ(listed[i]["id"], e.buttons[i][0]);
      EXPECT_EQ(listed[i]["designer"], e.buttons[i][1]);
      EXPECT_EQ(listed[i]["caption"], e.buttons[i][2]);
      EXPECT_EQ(listed[i]["group"], e.buttons[i][3]);
    }
  }
}

TEST(VpnCli, HostileValuesNeverCrash) {
  const std::string big(64 * 1024, '"');
  struct Page {
    const char* slug;
    std::vector<std::string> fields;  // server address, both gateways, pool range, account user
  } pages[] = {
      {"pptp",
       {"编辑框_PPTP_服务器IP", "编辑框_PPTP_电信网关", "编辑框_PPTP_网通网关", "编辑框_pptp_IP地址池",
        "编辑框_PPTP_用户名"}},
      {"l2tp",
       {"编辑框_L2TP_服务器IP", "编辑框_L2TP_电信网关", "编辑框_L2TP_网通网关", "编辑框_L2TP_IP地址池",
        "编辑框_L2TP_用户名"}},
  };
  for (const auto& page : pages) {
    for (const char* button :
         {"gen-server", "gen-account", "client-default-route", "routes-telecom-main", "routes-netcom-main"}) {
      for (const std::string& value : {big, std::string("\x81\xFF \"\xA1")}) {
        std::vector<std::string> args{"run", page.slug, button, "--encoding", "gbk"};
        for (const std::string& field : page.fields) args.push_back(field + "=" + value);
        Result r = rosgen(args);
        EXPECT_EQ(r.code, 0) << page.slug << " " << button << "\n" << r.err;
        EXPECT_NE(r.out.find(value), std::string::npos) << page.slug << " " << button;
      }
    }
  }
}

}  // namespace
}  // namespace rosgen::test
