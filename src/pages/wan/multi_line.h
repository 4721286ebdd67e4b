// What the four multi-line WAN pages share: the editor buttons of their line
// lists, the two-line minimum of their generators, the LAN lines that head
// their scripts, and the pieces of the two PPPoE pages' refresh scripts.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "script/form.h"
#include "script/page.h"
#include "pages/wan/wan7.h"

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
  // The check box that asks the 7.x script for IPv6.
  const char* ipv6 = nullptr;
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

// One line of a multi-line RouterOS 7 script.
struct Line7 {
  Uplink7 uplink;
  Gbk setup;     // its port, its address or PPPoE client, the WAN list and its NAT
  Gbk network;   // its own network, which LAN traffic reaches unmarked; may be empty
  Gbk classify;  // the mangle rule that gives LAN connections its mark
};

// The LAN port and address, the DNS servers, the MSS clamp, and the default fasttrack rule
// told to leave marked connections alone.
Gbk lan_head7(const Ctx& c, const LanFields& f);

// The whole script: `head`, every line's setup, the uplinks' routes, then the mangle rules:
// reply marks, LAN traffic to the lines' own networks left unmarked, the classifiers, and the
// routing marks after every rule that gives a connection mark.
Gbk lines_script7(const Gbk& head, const std::vector<Line7>& lines);

// The page's whole 7.x script: lines_script7() under lan_head7(), then IPv6 behind the lines
// when its box is ticked, the LAN's address from the first line's prefix.
Gbk multi_script7(const Ctx& c, const LanFields& f, const std::vector<Line7>& lines);

// Fixed-IP line `name` on `nic`: an uplink with `address`, masquerading traffic from `source`
// (all when empty).
Gbk fixed_line7(const Gbk& address, const Gbk& mask, const Gbk& nic, const Gbk& name, const Gbk& source);

// PPPoE line k (from 1) dialling through `nic` with the row's account (cells 0 and 1) as
// pppoe-out<k>: its default route in `main` at distance k, in the WAN list, masquerading
// traffic from `source` (all when empty). The carrier's DNS servers only when `peer_dns`.
Gbk pppoe_line7(const Cells& line, const Gbk& nic, int k, const Gbk& name, const Gbk& source, bool peer_dns);

// The per-connection classifier gives new LAN connections on `lan` share i of `lines` equal
// shares (both addresses, so a host keeps one line per server) and `mark`.
Gbk pcc_rule7(const Gbk& lan, std::size_t lines, std::size_t i, const Gbk& mark);

// New connections from `range` (an address, network or a-b range) get `mark`.
Gbk split_rule7(const Gbk& range, const Gbk& mark);

// The RouterOS 7 companion of the refresh scripts for lines 1 .. `bound`: nothing needs
// moving on RouterOS 7, which the first line says; it logs the lines that are down.
Gbk pppoe_refresh7(const Gbk& bound);

}  // namespace rosgen
