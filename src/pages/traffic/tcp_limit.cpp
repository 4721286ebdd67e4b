// Tab 16: drop new TCP connections of a host that already holds too many,
// per host number or for a whole network with exempted addresses.
#include "pages/builders.h"
#include "pages/ros7.h"
#include "script/form.h"
#include "script/text.h"

namespace rosgen {
namespace {

// Both dialects take this form.
Outcome generate_per_host(Ctx& c) {
  c.write(":for ketrova5 from="_a + c.trimmed("编辑框_tcp_机器开始数量") + " to="_a + c.trimmed("编辑框_tcp_结束数量") +
          " do={/ip firewall filter add chain=forward src-address=(\""_a + c.trimmed("编辑框_tcp_IP") +
          ".\" . $ketrova5) protocol=tcp connection-limit="_a + c.trimmed("编辑框_tcp_连接数") + ",32 action=drop}"_a);
  return Outcome::Done;
}

// The exemption field cut at its commas. A single address followed by a comma
// counts as that address, so the rule is never lost to a stray comma.
std::vector<Gbk> exempted(const Ctx& c) {
  Gbk exempt = c.trimmed("编辑框_tcp_排除ip");
  return find(exempt, ","_a) >= 1 ? split(exempt, ","_a) : std::vector<Gbk>{exempt};
}

// One address-list line per exempted address, then the rule. The box is
// emptied and the script appended in one piece: a long exemption list would
// otherwise redraw the box once per address.
Outcome generate_per_network(Ctx& c) {
  Gbk limit = c.trimmed("编辑框_tcp_连接数1");
  Gbk script;
  for (const Gbk& piece : exempted(c)) {
    script += "/ ip firewall address-list add address="_a + piece + " list=ketrova5TcpList disabled=no\r\n"_a;
  }
  script += "/ ip firewall filter add chain=forward src-address="_a + c.trimmed("编辑框_tcp_内网ip") + "/"_a +
            c.trimmed("编辑框_tcp_子网掩码") + " src-address-list=!ketrova5TcpList protocol=tcp connection-limit="_a +
            limit + ",32 action=drop comment=\"TCP\\C1\\AC\\BD\\D3\\CA\\FD\\CF\\DE\\D6\\C6\\CE\\AA:"_a + limit + "\""_a;
  c.write(Gbk());
  c.append(script);
  return Outcome::Done;
}

// RouterOS 7 drops a host's new TCP connections over the limit where the default forward chain
// still sees them: ahead of its fasttrack rule and its accept of established connections.
// connection-state=new leaves the connections the host already holds alone, and the limit is
// counted once per new connection instead of on every packet.
Gbk drop_7x(const Gbk& limit) {
  return " protocol=tcp connection-state=new connection-limit="_a + word7(limit + ",32"_a) + " action=drop"_a;
}
Gbk placed_7x() { return before_defconf7("defconf: fasttrack"); }

// What finds the drop rule of an earlier press for the same source, whatever its limit.
Gbk replaced_7x() { return " protocol=tcp connection-state=new action=drop"_a; }

// RouterOS 7, per host: the same loop with the typed parts quoted or kept one word.
Outcome generate_per_host_7x(Ctx& c) {
  const Gbk host = "("_a + quoted7(c.trimmed("编辑框_tcp_IP") + "."_a) + " . $ketrova5)"_a;
  c.write(":for ketrova5 from="_a + word7(c.trimmed("编辑框_tcp_机器开始数量")) + " to="_a +
          word7(c.trimmed("编辑框_tcp_结束数量")) +
          " do={/ip firewall filter remove [find chain=forward src-address="_a + host + replaced_7x() +
          "]; /ip firewall filter add chain=forward src-address="_a + host + drop_7x(c.trimmed("编辑框_tcp_连接数")) +
          placed_7x() + "}"_a);
  return Outcome::Done;
}

// RouterOS 7, per network: the network as a prefix length, one address-list
// entry per exempted address with the blanks around it cut (an address is one
// word to RouterOS 7) and empty pieces left out; without any, the rule names
// no list. The comment keeps its GBK escapes; only the typed limit inside it is escaped.
Outcome generate_per_network_7x(Ctx& c) {
  Gbk limit = c.trimmed("编辑框_tcp_连接数1");
  Gbk quoted_limit = quoted7(limit);
  Gbk limit_inside = Gbk::from_bytes(quoted_limit.bytes().substr(1, quoted_limit.size() - 2));
  const Gbk network = word7(cidr7(c.trimmed("编辑框_tcp_内网ip"), c.trimmed("编辑框_tcp_子网掩码")));
  // An earlier press's list and limit for the network go first: the old limit would still drop.
  Gbk script = "/ip firewall address-list remove [find list=ketrova5TcpList]\r\n"_a;
  script += "/ip firewall filter remove [find chain=forward src-address="_a + network + replaced_7x() + "]\r\n"_a;
  bool listed = false;
  for (const Gbk& piece : exempted(c)) {
    Gbk address = trim(piece);
    if (address.empty()) continue;
    script += "/ip firewall address-list add address="_a + word7(address) + " list=ketrova5TcpList\r\n"_a;
    listed = true;
  }
  const Gbk exempt = listed ? Gbk(" src-address-list=!ketrova5TcpList"_a) : Gbk();
  script += "/ip firewall filter add chain=forward src-address="_a + network + exempt + drop_7x(limit) +
            " comment=\"TCP\\C1\\AC\\BD\\D3\\CA\\FD\\CF\\DE\\D6\\C6\\CE\\AA:"_a + limit_inside + "\""_a + placed_7x();
  c.write(std::move(script));
  return Outcome::Done;
}

}  // namespace

void build_tcp_limit(Page& page) {
  page.caption = "TCP线程(连接数)限制脚本生成";
  page.items = {
      edit({"编辑框_tcp_IP", "ip-prefix"},
           "IP前奏:", v::prefix3("192.168.0").written(Writing::Quoted, Writing::Escaped), "(规格如:192.168.0前三位)"),
      row({
          edit({"编辑框_tcp_机器开始数量", "first-host"}, "机器数量:", v::integer(1, 254, "1")),
          edit({"编辑框_tcp_结束数量", "last-host"}, "至", v::integer(1, 254, "200"),
               "(如IP段为192.168.0.1-192.168.0.200则需填1至200)"),
      }),
      edit({"编辑框_tcp_连接数", "limit"}, "限制TCP连接数为:", v::count("200"), "(建议设置150-300之间)"),
      row({
          button("host-2x", "", "生成2.9.X系列脚本", generate_per_host),
          button("host-3x", "", "生成3.X系列脚本", generate_per_host),
          button7("host-7x", "生成7.X系列脚本", generate_per_host_7x),
      }),
      group("指定网段TCP线程(连接数)限制生成",
            {
                edit({"编辑框_tcp_内网ip", "lan-network"}, "内网IP段:", v::ipv4("192.168.0.0")),
                edit({"编辑框_tcp_子网掩码", "lan-mask"}, "子网掩码:", v::netmask("255.255.255.0"),
                     "(这里设置你要限制的内网网段,如192.168.0.1的网段为192.168.0.0)"),
                edit({"编辑框_tcp_连接数1", "net-limit"}, "限制TCP连接数为:", v::count("200"), "(建议设置150-300之间)"),
                edit({"编辑框_tcp_排除ip", "exempt"}, "排除IP地址:", v::addresses("192.168.0.250,192.168.0.252"),
                     "(这里可以设置不受此限制的内网IP,例如一些电影服务器IP等,多IP可以逗号隔开)"),
                row({
                    button("net-2x", "", "生成2.9.X系列脚本", generate_per_network),
                    button("net-3x", "", "生成3.X系列脚本", generate_per_network),
                    button7("net-7x", "生成7.X系列脚本", generate_per_network_7x),
                }),
            }),
      group("小提示", {note("使用此TCP线程(连接数)限制脚本后,可以有效的限制对每台计算机的ICP连接数量,减轻路由的负载;"
                            "但同时会影响网页的打开,当TCP连接数达到限制数量时,将限制新的连接数增加,"
                            "即新的网页或其它必需使用TCP协议连接的事处都会被禁止!")}),
  };
}

}  // namespace rosgen
