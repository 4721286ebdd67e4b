// Tab 25: a scheduler script that sends the router's address to a dynamic-DNS
// provider whenever it changed, and the provider's sign-up page.
#include <string>

#include "pages/builders.h"
#include "pages/ros7.h"
#include "script/form.h"
#include "script/product.h"

namespace rosgen {
namespace {

struct Values {
  Gbk user;
  Gbk password;
  Gbk host;
  Gbk interface;
};

// Inserted between quotes as typed (trimmed): nothing is escaped or checked.
Values read(const Ctx& c) {
  return {c.trimmed("编辑框_DDNS_用户帐号"), c.trimmed("编辑框_DDNS_用户密码"), c.trimmed("编辑框_DDNS_绑定域名"),
          c.trimmed("编辑框_DDNS_外网网卡")};
}

// Sends the address with its prefix length cut off, but compares it whole.
Outcome generate_2x(Ctx& c) {
  Values v = read(c);
  Gbk s;
  s += ":log info \"DDNS: Begin\"\r\n"_a;
  s += ":global ddns-user \""_a + v.user + "\"\r\n"_a;
  s += ":global ddns-pass \""_a + v.password + "\"\r\n"_a;
  s += ":global ddns-host \""_a + v.host + "\"\r\n"_a;
  s += ":global ddns-interface \""_a + v.interface + "\"\r\n"_a;
  // The blanks before some line breaks belong to the script.
  s += ":global ddns-system (\"mt-\" . [/system package get [/system package find name=system] version] ) \r\n"_a;
  s += ":global ddns-ip [ /ip address get [/ip address find interface=$ddns-interface] address ] \r\n"_a;
  s += ":if ([ :typeof $ddns-lastip ] = nil ) do={ :global ddns-lastip 0.0.0.0/0 } \r\n"_a;
  s += ":if ([ :typeof $ddns-ip ] = nil ) do={ \r\n"_a;
  s += ":log info (\"DDNS: No ip address present on \" . $ddns-interface . \", please check.\") } else={ \r\n"_a;
  s += ":if ($ddns-ip != $ddns-lastip) do={ \r\n"_a;
  s += ":log info \"DDNS: Sending UPDATE!\"\r\n"_a;
  s += ":log info [ /tool dns-update name=$ddns-host address=[:pick $ddns-ip 0 [:find $ddns-ip \"/\"] ] "
       "key-name=$ddns-user key=$ddns-pass ]\r\n"_a;
  s += ":global ddns-lastip $ddns-ip } else={ \r\n"_a;
  s += ":log info \"DDNS: No change\"\r\n"_a;
  s += "}\r\n"_a;
  s += "}\r\n"_a;
  s += ":log info \"DDNS: End\""_a;
  c.write(std::move(s));
  return Outcome::Done;
}

// Starts from the host's present address and compares bare addresses.
Outcome generate_3x(Ctx& c) {
  Values v = read(c);
  Gbk s;
  s += ":global ddnsuser \""_a + v.user + "\"\r\n"_a;
  s += ":global ddnspass \""_a + v.password + "\"\r\n"_a;
  s += ":global ddnshost \""_a + v.host + "\"\r\n"_a;
  s += ":global ddnsip\r\n"_a;
  s += ":global ddnsipfn\r\n"_a;
  s += ":global ddnslastip [:tostr [:resolve $ddnshost] ]\r\n"_a;
  s += ":if ([ :typeof $ddnslastip ] = nil ) do={ :global ddnslastip \"0\" }\r\n"_a;
  s += ":global ddnsinterface \""_a + v.interface + "\"\r\n"_a;
  s += ":global ddnssystem (\"mt-\" . [/system package get system version] )\r\n"_a;
  s += ":local int\r\n"_a;
  s += ":local ddnsipfn [ /ip address get [/ip address find interface=$ddnsinterface ] address ]\r\n"_a;
  s += ":global ddnsip [:pick $ddnsipfn 0 [:find $ddnsipfn \"/\" ] ]\r\n"_a;
  s += ":if ([ :typeof $ddnsip ] = nil ) do={\r\n"_a;
  s += ":log info (\"DDNS: No ip address present on \" . $ddnsinterface . \", please check.\")\r\n"_a;
  s += "} else={\r\n"_a;
  s += ":if ($ddnsip != $ddnslastip) do={\r\n"_a;
  s += ":log info \"DDNS: Sending UPDATE!\"\r\n"_a;
  s += ":log info [ :put [/tool dns-update name=$ddnshost address=$ddnsip key-name=$ddnsuser key=$ddnspass ] ]\r\n"_a;
  s += ":global ddnslastip $ddnsip\r\n"_a;
  s += "} else={ \r\n"_a;
  s += ":log info \"DDNS: No update required.\"\r\n"_a;
  s += "}\r\n"_a;
  s += "}"_a;
  c.write(std::move(s));
  return Outcome::Done;
}

// The host name as a URL query value: unreserved characters stay, every other
// byte is percent-encoded, so no typed character can end the value.
std::string percent_encoded(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : text) {
    const auto u = static_cast<unsigned char>(ch);
    const bool plain = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '-' ||
                       ch == '.' || ch == '_' || ch == '~';
    if (plain) {
      out += ch;
    } else {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 15];
    }
  }
  return out;
}

// RouterOS 7: /tool dns-update speaks RFC 2136 to a name server of one's own
// and cannot log in to a dynamic-DNS provider; providers take an HTTP(S)
// request instead (the dyndns2 form: hostname and myip in the query, the
// account by HTTP authentication). The update is stored as a system script
// that the scheduler runs at start-up and every 20 minutes, instead of being
// pasted into the scheduler by hand; both are replaced when the script is
// pasted again. The last address sent is what the host name resolves to, as
// in the 3.x script; a name that does not resolve yet counts as changed.
Outcome generate_7x(Ctx& c) {
  Values v = read(c);
  const Gbk url = c.trimmed("编辑框_DDNS_更新地址");
  const Ascii separator = url.bytes().find('?') == std::string::npos ? "?"_a : "&"_a;
  const Gbk query = url + separator + "hostname="_a + Gbk::from_bytes(percent_encoded(v.host.bytes())) + "&myip="_a;
  Gbk run;
  run += ":local ddnsuser "_a + quoted7(v.user) + "\r\n"_a;
  run += ":local ddnspass "_a + quoted7(v.password) + "\r\n"_a;
  run += ":local ddnshost "_a + quoted7(v.host) + "\r\n"_a;
  run += ":local ddnsinterface "_a + quoted7(v.interface) + "\r\n"_a;
  run += ":local ddnsupdate "_a + quoted7(query) + "\r\n"_a;
  run += ":local ddnsaddress [/ip address find interface=$ddnsinterface]\r\n"_a;
  run += ":if ([:len $ddnsaddress] = 0) do={\r\n"_a;
  run += ":log warning (\"DDNS: No ip address present on \" . $ddnsinterface . \", please check.\")\r\n"_a;
  run += "} else={\r\n"_a;
  run += ":local ddnsipfn [/ip address get [:pick $ddnsaddress 0] address]\r\n"_a;
  run += ":local ddnsip [:pick $ddnsipfn 0 [:find $ddnsipfn \"/\"]]\r\n"_a;
  run += ":local ddnslastip \"\"\r\n"_a;
  run += ":do { :set ddnslastip [:tostr [:resolve domain-name=$ddnshost]] } on-error={}\r\n"_a;
  run += ":if ($ddnsip = $ddnslastip) do={\r\n"_a;
  run += ":log info \"DDNS: No update required.\"\r\n"_a;
  run += "} else={\r\n"_a;
  run += ":log info (\"DDNS: Sending UPDATE for \" . $ddnshost . \" to \" . $ddnsip)\r\n"_a;
  run += ":do {\r\n"_a;
  run +=
      ":local ddnsreply [/tool fetch url=($ddnsupdate . $ddnsip) user=$ddnsuser password=$ddnspass "
      "output=user as-value]\r\n"_a;
  run += ":log info (\"DDNS: \" . ($ddnsreply->\"data\"))\r\n"_a;
  run += "} on-error={ :log warning \"DDNS: the update request failed\" }\r\n"_a;
  run += "}\r\n"_a;
  run += "}\r\n"_a;
  Gbk s;
  s += "# dynamic DNS by the provider's HTTP(S) update address (/ip cloud offers a free name of MikroTik's own "
       "instead)\r\n"_a;
  s += "/system scheduler remove [find name=ddns]\r\n"_a;
  s += "/system script remove [find name=ddns]\r\n"_a;
  s += "/system script add name=ddns policy=ftp,read,write,test source="_a + quoted7(run) + "\r\n"_a;
  s += "/system scheduler add name=ddns start-time=startup interval=00:20:00 policy=ftp,read,write,test "
       "on-event=\"/system script run ddns\"\r\n"_a;
  c.write(std::move(s));
  return Outcome::Done;
}

// The provider's update address by default: the dyndns2 path on the site the
// sign-up button opens, over https.
std::string default_update_url() {
  std::string site = product::kWebSite;
  if (site.rfind("http://", 0) == 0) site = "https://" + site.substr(7);
  return site + "/nic/update";
}

// The sign-up form carries a password, so it is always reached over https.
Outcome sign_up(Ctx& c) {
  std::string site = product::kWebSite;
  if (site.rfind("http://", 0) == 0) site = "https://" + site.substr(7);
  c.env.open_address(site + "/signup.asp?");
  return Outcome::Done;
}

}  // namespace

void build_ddns(Page& page) {
  page.caption = "ROS上绑定DDNS(即绑定动态域名)";
  page.items = {
      group("关于DDNS的介绍",
            {note("    DDNS（Dynamic Domain Name "
                  "Server）是动态域名服务的缩写！DDNS是将用户的动态IP地址映射到一个固定的域名解析服务上，用户每次连接网"
                  "络的时候客户端程序就会通过信息传递把该主机的动态IP地址传送给位于服务商主机上的服务器程序，服务项目器"
                  "程序负责提供DNS服务并实现动态域名解析。\r\n主要作用： \r\n   "
                  "一、宽带营运商大多只提供动态的IP地址，DDNS可以捕获用户每次变化的IP地址，然后将其与域名相对应，这样其"
                  "他上网用户就可以通过域名用户交流了。\r\n  二、DDNS可以帮你在自己的公司或家里构建虚拟主机！")}),
      group(
          "申请配置生成DDNS脚本",
          {
              note("注意:申请帐号时一定要填写真实的邮件地址,申请完成后系统会自动发一封激活邮件至您申请时所填写的邮箱中,"
                   "收到邮件后点击邮件中的激活链接,此时激活成功,你所申请的帐号才可以正常使用,同时申请您喜欢的二级域名!"
                   "建议使用雅虎及163之类的邮箱申请,QQ邮箱接收此邮件的时间为30分钟以上，不建议使用。"),
              row({
                  edit({"编辑框_DDNS_用户帐号", "user"}, "用户帐号:", v::text("username"), "在服务商所申请的帐号!"),
                  edit({"编辑框_DDNS_用户密码", "password"}, "用户密码:", v::password("password1234"),
                       "在服务商所申请的帐号密码!"),
              }),
              edit({"编辑框_DDNS_绑定域名", "domain"}, "绑定域名:", v::domain("myhost.rosgen.example.org"),
                   "在服务商所申请的二级域名!"),
              edit({"编辑框_DDNS_外网网卡", "wan-nic"},
                   "外网网卡:", v::iface("pppoe-out1").written(Writing::Quoted, Writing::Escaped),
                   "如果您是ADSL拨号的请填写您所添加的PPPOE拨号网卡名(即默认),其它请填写外网网卡名称!"),
              // RouterOS 7 only: providers are updated over HTTP(S), not by dns-update.
              edit({"编辑框_DDNS_更新地址", "update-url"}, "7.X更新地址:", v::text(default_update_url()),
                   "服务商的HTTP(S)更新地址,7.X脚本附加hostname与myip参数"),
              row({
                  button("signup", "按钮_DDNS_申请帐号", "申请DDNS服务商帐号(点击这里免费申请)", sign_up),
                  button("gen-2x", "按钮_DDNS_生成2x", "生成2.9.X系列脚本", generate_2x),
                  button("gen-3x", "按钮_DDNS_生成3x", "生成3.X系列脚本", generate_3x),
                  button7("gen-7x", "生成7.X系列脚本", generate_7x),
              }),
          }),
      group("脚本使用方法",
            {note("    "
                  "申请完成后,设置上面的脚本生成,将生成的脚本复制到winbox下的System-Scheduler点击\"+\","
                  "在\"name\"里设置你喜欢的备注名字,如:ddns.在\"Interval\"里设置你需要设置检测的时间,格式为:00:20:00,"
                  "即20分钟检测一次,然后将生成的脚本复制到\"On Event\"的方框里,最后点击\"OK\"完成")}),
  };
}

}  // namespace rosgen
