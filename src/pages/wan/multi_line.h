// What the four multi-line WAN pages share: the editor buttons of their line
// lists, the two-line minimum of their generators, the LAN lines that head
// their scripts, and the pieces of the two PPPoE pages' refresh scripts.
#pragma once

#include <cstddef>
#include <string>

#include "script/form.h"
#include "script/page.h"

namespace rosgen {

inline constexpr const char* kDuplicateAddress = "不能重复添加IP地址！\r\n您可以使用修改功能进行修改！";
inline constexpr const char* kDuplicateAccount = "不能重复添加帐号！\r\n您可以使用修改功能进行修改！";

// The buttons of a line list: delete, modify, add (id "add", which the
// command line's --row presses); side by side under the list, or stacked
// beside it where the page is short of height.
Row line_editor_buttons(const std::string& list_id, const std::string& duplicate, bool stacked = false);

// A row's cell; empty when the row is shorter, so a generator never reads past it.
inline Gbk cell(const Cells& row, size_t column) { return column < row.size() ? row[column] : Gbk(); }

// The ids of the LAN fields above a page's line list.
struct LanFields {
  const char *nic, *ip, *mask, *primary_dns, *secondary_dns, *mss;
  // The split pages masquerade the whole LAN (this network with the LAN mask);
  // the balance pages leave it to each line's NAT rule.
  const char* network = nullptr;
};

// The lines that head a multi-line script: the LAN address, the DNS servers,
// the masquerade rule when `network` is given, and the MSS clamp.
Gbk lan_head(const Ctx& c, const LanFields& f);

// With fewer than two rows in the list, shows the matching "错误" message and
// returns false, the output untouched.
bool enough_lines(Ctx& c, const std::string& list_id);

// enough_lines(); then empties the output box and appends the head; the
// generator then appends one block per line.
bool start_lines(Ctx& c, const std::string& list_id, const LanFields& lan);

// Line i's (from 0) rules on a balance page: new LAN connections are dealt
// out in turn, every nth rule sharing counter 1 so each takes exactly one of
// the `lines` connection marks; line k = i + 1 gets mark k, routing mark k and
// a NAT rule to `address`.
Gbk balance_rules(const Gbk& lan, std::size_t lines, std::size_t i, const Gbk& address);

// Where PPPoE line k stands until the refresh script moves it: 58.58.58.k.
inline Gbk placeholder_address(const Gbk& k) { return "58.58.58."_a + k; }

// PPPoE line k's client pppoe-out<k> dialling through `nic` with the row's
// account (cells 0 and 1), switched on, and its placeholder address with `comment`.
Gbk pppoe_client(const Cells& line, const Gbk& nic, const Gbk& k, const Gbk& comment);

// How to run a refresh script from the router's scheduler.
extern const char* const kSchedulerNote;

// The loop bound of a refresh script: the number of lines, and at least 2.
Gbk refresh_bound(const Form& form, const std::string& list_id);

// --- RouterOS 7 ---

// "address=" value: the address with the mask as a prefix length; the address
// alone when no mask is given.
Gbk address_cidr7(const Gbk& address, const Gbk& mask);

// "servers=" value: the non-empty servers, comma-separated.
Gbk dns_list7(const Gbk& primary, const Gbk& secondary);

// lan_head() for RouterOS 7.
Gbk lan_head7(const Ctx& c, const LanFields& f);

// The routing table that routing mark `name` selects; RouterOS 7 wants it
// before any rule or route names it.
Gbk mark_table7(const Gbk& name);

// balance_rules() for RouterOS 7: the per-connection classifier deals new LAN
// connections out over the `lines` lines; line i + 1 gets connection mark and
// routing mark `mark`, and a NAT rule to `address` commented `comment`.
Gbk balance_rules7(const Gbk& lan, std::size_t lines, std::size_t i, const Gbk& mark, const Gbk& address,
                   const Gbk& comment);

// pppoe_client() for RouterOS 7.
Gbk pppoe_line7(const Cells& line, const Gbk& nic, const Gbk& k, const Gbk& comment);

// A RouterOS 7 refresh script for lines 1 .. `bound`: once pppoe-out<i> has
// its address, the placeholder commented `comment_prefix` i moves there, and
// so does the NAT rule of that comment when `nat`. No line end after the last line.
Gbk pppoe_refresh7(const Gbk& bound, const char* comment_prefix, bool nat);

}  // namespace rosgen
