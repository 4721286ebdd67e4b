// RouterOS 7 lines the access pages share: PPP profiles, PPP secrets and the
// bound caller id. Every typed value goes through word7 so that any text stays
// one argument value.
#pragma once

#include "script/gbk.h"

namespace rosgen {

// Which text an access page's button writes: the one common to 2.9.x and 3.x,
// or RouterOS 7's.
enum class Syntax { Classic, V7 };

// A PPP profile as the access pages fill it. An empty timeout, rate limit or
// address is left out (the router's default: none); the yes/no words are the
// check boxes' words.
struct Profile7 {
  Gbk name;
  Gbk local_address;
  Gbk remote_address;
  Gbk use_compression, use_encryption, change_tcp_mss, only_one;
  Gbk idle_timeout;
  Gbk session_timeout;
  Gbk rate_limit;      // "rx/tx" in bit/s: the client's upload first
  Gbk interface_list;  // the list the clients' dynamic interfaces join
  Gbk primary_dns, secondary_dns;
};

// The profile added, or set anew where a profile of its name is there (accounts and servers
// refer to it), with a line end. RouterOS 7 has no VJ compression: that box has nothing to set.
Gbk ppp_profile7(const Profile7& p);

// The clients' dynamic interfaces join the `LAN` list, so the default firewall
// treats them as it treats the LAN: their DNS queries to the router pass the
// input chain, and their traffic leaving by a `WAN` port is masqueraded by the
// default rule.
inline constexpr Ascii kClientList = "LAN"_a;

// Whether `text` is a dotted IPv4 address (four decimal octets).
bool is_ipv4_7(const Gbk& text);

// "/ppp secret add ..." without a line end, every value in quotes; `service`
// is one of RouterOS 7's service words (pppoe, pptp, l2tp). An empty caller id is left out: the
// account may then connect from anywhere, as with an empty caller-id in 3.x.
// An empty profile is left out too: the account takes its server's default.
Gbk ppp_secret7(const Gbk& name, const Gbk& password, Ascii service, const Gbk& caller_id, const Gbk& profile);

// `lines` (each ending in CR LF) run only where the PPP profile `profile` is
// there; otherwise the terminal says so and nothing is added. Accounts pasted
// before their server's script, or naming a profile it does not make, would
// stop the script at their first line. An empty profile needs no profile.
Gbk if_profile7(const Gbk& profile, const Gbk& lines);

// A MAC typed with dashes (00-0C-29-AB-CD-EF) in the colon form RouterOS 7
// shows and compares caller ids in (00:0C:29:AB:CD:EF); other text unchanged.
Gbk caller_id7(const Gbk& mac);

}  // namespace rosgen
