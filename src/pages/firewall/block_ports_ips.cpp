// Tab 19: blocking of ports and addresses, one by one or through an address list.
#include "pages/builders.h"
#include "pages/firewall/firewall7.h"
#include "pages/ros7.h"
#include "script/form.h"
#include "script/text.h"

namespace rosgen {
namespace {

constexpr const char* kBatch = "编辑框_另类封ip列表";
constexpr const char* kUseName = "选择框_另类封ip_是否";
constexpr const char* kBatchName = "编辑框_另类封ip_IP列表定议名称";
constexpr const char* kDefaultList = "ketrova5lmList";

// 2.9.x matches the port with "port=".
Outcome port_2x(Ctx& c) {
  c.write("/ip firewall filter add chain=output protocol="_a + c.trimmed("编辑框_封锁_协议") + " port="_a +
          c.trimmed("编辑框_封锁_端口号") + " action=drop comment=\""_a + c.trimmed("编辑框_封锁_备注") + "\""_a);
  return Outcome::Done;
}

Outcome port_3x(Ctx& c) {
  c.write("/ip  firewall filter add chain=output protocol="_a + c.trimmed("编辑框_封锁_协议") + " dst-port="_a +
          c.trimmed("编辑框_封锁_端口号") + " action=drop comment=\""_a + c.trimmed("编辑框_封锁_备注") + "\""_a);
  return Outcome::Done;
}

Outcome address(Ctx& c) {
  c.write("/ip firewall filter add chain=forward dst-address="_a + c.trimmed("编辑框_封锁IP_IP") + "/"_a +
          c.trimmed("编辑框_封锁IP_子网") + " action=drop comment=\""_a + c.trimmed("编辑框_封锁IP_备注") + "\""_a);
  return Outcome::Done;
}

Outcome list_entry(Ctx& c) {
  c.write("/ ip firewall address-list add address="_a + c.trimmed("编辑框_另类封ip_IP") + "/"_a +
          c.trimmed("编辑框_另类封ip_子网") + " list=\""_a + c.trimmed("编辑框_另类封ip_IP列表名称") +
          "\" comment=\""_a + c.trimmed("编辑框_另类封ip_备注") + "\""_a);
  return Outcome::Done;
}

Outcome clear_batch(Ctx& c) {
  c.form.set_text(kBatch, Gbk());
  return Outcome::Done;
}

// The rows of the batch box, for the "生 成" buttons. Unchecking the name box
// sends the list name back to its default. Rows keep their blanks; an empty
// row between two line ends is an entry with an empty address.
std::vector<Gbk> batch_rows(Ctx& c) {
  c.write(Gbk());
  std::vector<Gbk> rows = split(trim(c.text(kBatch)), "\r\n"_a);
  if (!rows.empty() && !c.checked(kUseName)) c.form.set_text(kBatchName, to_gbk(kDefaultList));
  return rows;
}

// One address-list line per row of the batch box.
Outcome batch(Ctx& c) {
  std::vector<Gbk> rows = batch_rows(c);
  if (rows.empty()) return Outcome::Done;
  Gbk list = c.trimmed(kBatchName);
  Gbk lines;
  for (const Gbk& row : rows) {
    lines += "/ ip firewall address-list add address="_a + row + " list=\""_a + list + "\" disabled=no\r\n"_a;
  }
  c.append(lines);
  return Outcome::Done;
}

// --- RouterOS 7 ---
// The LAN's traffic passes chain=forward (chain=output is the router's own), and a drop there
// stands before the default fasttrack rule, ahead of the accept of established connections.
// An address list blocks nothing by itself: the list buttons add the drop rule that uses the
// list, once, and each entry once, so a button pressed twice adds nothing twice.

Gbk drop7(const Gbk& matchers, const Gbk& comment) {
  return "/ip firewall filter add chain=forward"_a + matchers + " action=drop"_a + arg7("comment", comment) +
         before_fasttrack7();
}

Outcome port_7x(Ctx& c) {
  c.write(drop7(arg7("protocol", c.trimmed("编辑框_封锁_协议")) + arg7("dst-port", c.trimmed("编辑框_封锁_端口号")),
                c.trimmed("编辑框_封锁_备注")));
  return Outcome::Done;
}

Outcome address_7x(Ctx& c) {
  c.write(drop7(arg7("dst-address", cidr7(c.trimmed("编辑框_封锁IP_IP"), c.trimmed("编辑框_封锁IP_子网"))),
                c.trimmed("编辑框_封锁IP_备注")));
  return Outcome::Done;
}

// One entry of `list`, unless the list has it already. CR LF follows.
Gbk list_entry7(const Gbk& list, const Gbk& address, const Gbk& extra = {}) {
  const Gbk entry = arg7("list", list) + arg7("address", stored_address7(address));
  return unless_found7("/ip firewall address-list find"_a + entry, "/ip firewall address-list add"_a + entry + extra) +
         "\r\n"_a;
}

// The drop of traffic to the list's addresses, unless the filter has it already.
Gbk list_drop7(const Gbk& list) {
  const Gbk rule = " chain=forward"_a + arg7("dst-address-list", list) + " action=drop"_a;
  return unless_found7("/ip firewall filter find"_a + rule,
                       "/ip firewall filter add"_a + rule + arg7("comment", list) + before_fasttrack7());
}

// RouterOS 7 takes no address list without a name; the script says so instead.
Gbk no_list_name7() { return to_gbk("# IP列表名称为空：RouterOS 7 的地址列表必须有名称，未生成规则\r\n"); }

Outcome list_entry_7x(Ctx& c) {
  const Gbk list = c.trimmed("编辑框_另类封ip_IP列表名称");
  if (list.empty()) {
    c.write(no_list_name7());
    return Outcome::Done;
  }
  c.write(list_entry7(list, cidr7(c.trimmed("编辑框_另类封ip_IP"), c.trimmed("编辑框_另类封ip_子网")),
                      arg7("comment", c.trimmed("编辑框_另类封ip_备注"))) +
          list_drop7(list));
  return Outcome::Done;
}

// Rows are trimmed and empty ones skipped: RouterOS 7 would reject an entry
// without an address anyway.
Outcome batch_7x(Ctx& c) {
  std::vector<Gbk> rows = batch_rows(c);
  if (rows.empty()) return Outcome::Done;
  Gbk list = c.trimmed(kBatchName);
  if (list.empty()) {
    c.append(no_list_name7());
    return Outcome::Done;
  }
  Gbk lines;
  for (const Gbk& row : rows) {
    Gbk address = trim(row);
    if (!address.empty()) lines += list_entry7(list, address);
  }
  if (lines.empty()) return Outcome::Done;
  c.append(lines + list_drop7(list) + "\r\n"_a);
  return Outcome::Done;
}

constexpr const char* kMaskTip = "小提示：封IP时注意子网掩码,但掩码为32时为单IP,为24时为整个IP段!";

}  // namespace

void build_block_ports_ips(Page& page) {
  page.caption = "封端口及封IP脚本生成";
  page.items = {
      row({
          group("封锁端口号脚本生成",
                {
                    edit({"编辑框_封锁_端口号", "port"}, "要封锁端口号:", v::ports("21")),
                    edit({"编辑框_封锁_协议", "protocol"}, "使用协议:", v::name("tcp")),
                    edit({"编辑框_封锁_备注", "comment"}, "备注:", v::text("Blockade FTP"), "(不支持中文,可留空)"),
                    note("小提示：3.X版本支持连续端口输入,如：21-80；同时支持多端口输入,如：21,80,110"),
                    row({
                        button("port-2x", "", "生成2.9X系列脚本", port_2x),
                        button("port-3x", "", "生成3.X系列脚本", port_3x),
                        button7("port-7x", "生成7.X系列脚本", port_7x),
                    }),
                }),
          group("封锁IP地址脚本生成",
                {
                    row({
                        edit({"编辑框_封锁IP_IP", "address"}, "要封锁的IP:", v::ipv4("198.51.100.10")),
                        edit({"编辑框_封锁IP_子网", "address-mask"}, "/", v::netmask("32")),
                    }),
                    edit({"编辑框_封锁IP_备注", "address-comment"}, "备注:", v::text("Blockade www.example.com"),
                         "(不支持中文,可留空)"),
                    note(kMaskTip),
                    row({
                        button("address-2x", "", "生成2.9.X系列脚本", address),
                        button("address-3x", "", "生成3.X系列脚本", address),
                        button7("address-7x", "生成7.X系列脚本", address_7x),
                    }),
                }),
      }),
      group("另类封IP(将IP放在列表中,对整个列表IP进行封锁,封IP比较多的用户推荐使用)",
            {
                row({
                    group("第一次使用此功能请先添加这个脚本,以后不需再次添加!(2.9.x/3.x通用)",
                          {
                              edit({"编辑框_另类封ip_IP列表名称", "list-name"},
                                   "IP列表名称:", v::name(kDefaultList).written(Writing::Quoted, Writing::Escaped)),
                              row({
                                  edit({"编辑框_另类封ip_IP", "list-address"}, "要封锁的IP:", v::ipv4("198.51.100.20")),
                                  edit({"编辑框_另类封ip_子网", "list-mask"}, "/", v::netmask("32")),
                              }),
                              edit({"编辑框_另类封ip_备注", "list-comment"},
                                   "备注:", v::text("Blockade www.example.net"), "(不支持中文,可留空)"),
                              note(kMaskTip),
                              row({
                                  button("list-2x", "", "生成2.9.X系列脚本", list_entry),
                                  button("list-3x", "", "生成3.X系列脚本", list_entry),
                                  button7("list-7x", "生成7.X系列脚本", list_entry_7x),
                              }),
                          }),
                    group("批量添加IP封锁",
                          {
                              below(multiline({kBatch, "batch-addresses"}, "", v::addresses(""),
                                              "每一行一个IP,支持192.168.0.0/24格式,2.9.x/3.x通用")),
                              row({
                                  check({kUseName, "use-batch-name"}, "IP列表名称(默认为HovrekList)", false),
                                  edit({kBatchName, "batch-name"}, "", v::name(kDefaultList)),
                              }),
                              row({
                                  button("clear", "", "清 空", clear_batch),
                                  button("batch", "", "生 成", batch),
                                  button7("batch-7x", "生成7.X脚本", batch_7x),
                              }),
                          }),
                }),
            }),
  };
}

}  // namespace rosgen
