// Tab 20: a forward-chain rule dropping packets whose content holds a keyword.
#include "pages/builders.h"
#include "pages/firewall/firewall7.h"
#include "pages/ros7.h"
#include "script/form.h"

namespace rosgen {
namespace {

// Both forms are built; the check box picks the one with a source network.
// Keyword and comment go between quotes as typed.
Outcome generate(Ctx& c) {
  Gbk tail = "content=\""_a + c.trimmed("编辑框_tcp_关键字域名") + "\" action=drop comment=\""_a +
             c.trimmed("编辑框_tcp_备注") + "\" disabled=no"_a;
  Gbk any_source = "/ ip firewall filter add chain=forward "_a + tail;
  Gbk one_source = "/ ip firewall filter add chain=forward src-address="_a + c.trimmed("编辑框_tcp_IP地址") + "/"_a +
                   c.trimmed("编辑框_tcp_tcp子网") + " "_a + tail;
  c.write(c.checked("选择框_tcp_选择") ? one_source : any_source);
  return Outcome::Done;
}

// RouterOS 7: the content rule, plus a rule on the host name a browser sends when it opens an
// https connection, which the content matcher cannot see (host names are sent in lower case).
// A payload matcher must see every packet of a connection: the rules stand before the default
// fasttrack rule and the accept of established connections, and the fasttrack rule is switched
// off, since fasttracked packets skip the firewall altogether.
Outcome generate_7x(Ctx& c) {
  Gbk keyword = c.trimmed("编辑框_tcp_关键字域名");
  Gbk comment = arg7("comment", c.trimmed("编辑框_tcp_备注"));
  Gbk source = c.checked("选择框_tcp_选择")
                   ? arg7("src-address", cidr7(c.trimmed("编辑框_tcp_IP地址"), c.trimmed("编辑框_tcp_tcp子网")))
                   : Gbk();
  Gbk s = to_gbk(
      "# 关键字规则要看到每个包：已快速转发(fasttrack)的连接不经防火墙，故停用默认的fasttrack规则"
      "(路由器CPU负担会加重)\r\n");
  s += fasttrack_off7();
  s += "/ip firewall filter add chain=forward"_a + source + arg7("content", keyword) + " action=drop"_a + comment +
       before_fasttrack7();
  // An empty pattern would match every https connection.
  if (!keyword.empty()) {
    s += "\r\n/ip firewall filter add chain=forward"_a + source + " protocol=tcp"_a +
         arg7("tls-host", "*"_a + ascii_lower7(keyword) + "*"_a) + " action=drop"_a + comment + before_fasttrack7();
  }
  c.write(std::move(s));
  return Outcome::Done;
}

}  // namespace

void build_block_keywords(Page& page) {
  page.caption = "封关键字及域名脚本生成";
  page.items = {
      group("生成封锁的关键字脚本(慎用)",
            {
                row({
                    check({"选择框_tcp_选择", "use-address"}, "要封锁的IP/IP段:", false),
                    edit({"编辑框_tcp_IP地址", "address"}, "", v::ipv4("192.168.0.0")),
                    edit({"编辑框_tcp_tcp子网", "address-mask"}, "子网掩码:", v::netmask("24"),
                         "位 (指定所限制的IP或者IP段,默认不启用为封锁所有IP,24位为网段,32位为单IP)"),
                }),
                edit({"编辑框_tcp_关键字域名", "keyword"}, "要封锁的关键字或域名:", v::domain("POCO"),
                     "(ROS支持封锁中文关键字,但在脚本中无法执行,若要封锁中文请在winbox里修改相应项)"),
                edit({"编辑框_tcp_备注", "comment"}, "备注:", v::text("Blockade POCO"), "(不支持中文)"),
                row({
                    button("gen-2x", "", "生成2.9.X系列脚本", generate),
                    button("gen-3x", "", "生成3.X系列脚本", generate),
                    button7("gen-7x", "生成7.X系列脚本", generate_7x),
                }),
            }),
      group("注意事项", {note("无特殊原因请不要使用此功能,因为它会影响网页的正常浏览:封锁某个关键字后,"
                              "所有包含该关键字的域名都将无法访问,网页内容中含有该关键字的网页也将被封锁!")}),
  };
}

}  // namespace rosgen
