// Shared pieces of the RouterOS 7 generators: quoting values the way RouterOS 7
// reads them, prefix lengths instead of netmasks, and the refusal for features
// that RouterOS 7 no longer has.
#pragma once

#include <string>

#include "script/form.h"
#include "script/page.h"

namespace rosgen {

// The value in double quotes, with the characters RouterOS 7 treats specially
// inside quotes escaped (\ " $ and control characters), so any text stays one value.
Gbk quoted7(const Gbk& value);

// The value as it stands when it is one plain word (letters, digits and . _ : / , + - @ !),
// else quoted7(value). An empty value becomes "".
Gbk word7(const Gbk& value);

// "A.B.C.D/N": a dotted netmask becomes its prefix length; a prefix length or
// anything that is not a contiguous netmask is written as given.
Gbk cidr7(const Gbk& address, const Gbk& mask);

// A dotted netmask as its prefix length text ("255.255.255.0" -> "24"); other
// text (already a length, or not a netmask) unchanged.
Gbk prefix_length7(const Gbk& mask);

// "yyyy-mm-dd", the date form RouterOS 7 takes and prints.
Gbk iso_date7(const Date& date);

// --- the default configuration ---
// The 7.x scripts are written for a router that runs RouterOS 7's default configuration:
// ether1 the WAN port (DHCP client, in the `WAN` interface list), ether2-ether5 ports of
// `bridge` (192.168.88.1/24, in the `LAN` list), the default firewall with its "defconf:"
// comments. Each line below is also harmless on a router without it.

// The lines that make `port` an uplink: off the default bridge, its default DHCP client gone
// (the page gives the line its address, or dials over it), in the `WAN` list and no other, so
// the default firewall guards it and the default masquerade covers it. Each line ends in CR LF.
Gbk uplink_port7(const Gbk& port);

// The lines that make `port` carry the page's LAN: off the default bridge, no DHCP client, in
// the `LAN` list and no other, so the default firewall trusts it. A bridge named here stays as
// it is and only joins the list.
Gbk lan_port7(const Gbk& port);

// `interface` (for example pppoe-out1, made by the script) joins the `WAN` list.
Gbk wan_member7(const Gbk& interface);

// The default fasttrack rule leaves connections with a connection mark to the slow path, where
// mangle marks, routing marks and queues see them.
Gbk fasttrack_spare_marked7();

// The default fasttrack rule switched off: simple queues and queues on `global` see no
// fasttracked packet.
Gbk fasttrack_off7();

// " place-before=[find comment=\"defconf: ...\"]": an added firewall rule goes before the
// default rule with that comment (in the menu the line stands in).
Gbk before_defconf7(const char* comment);

// --- a script run again ---
// A changed form is a new press run on the router that ran the last one: nothing may stop it
// (RouterOS refuses a second item of the same name, and /import stops at the first error).

// `command` only when `find` (a "/menu find key=value ..." command) finds nothing, so
// pressing a button twice adds nothing twice.
Gbk unless_found7(const Gbk& find, const Gbk& command);

// "/menu remove [find name=NAME]" and CR LF: what nothing else refers to goes before it is
// added anew with the form's values.
Gbk remove_named7(const char* menu, const Gbk& name);

// "/menu add name=NAME ARGS", or where NAME is there already "/menu set [find name=NAME] ARGS":
// what other items refer to (a pool, a profile, a queue type, an interface) keeps its place.
// `args` starts with a blank; the line ends in CR LF.
Gbk add_or_set7(const char* menu, const Gbk& name, const Gbk& args);

// The routing table NAME (a word) added where it is not there yet, with a line end: routes and
// marks refer to it.
Gbk routing_table7(const Gbk& name);

// Refuses a button whose 3.x script has no RouterOS 7 counterpart; `what` names the feature.
Outcome refuse7(Ctx& c, const std::string& what);

// A RouterOS 7 button: no designer name, the caption says 7.X.
inline Button button7(std::string id, std::string caption, Handler run) {
  return Button{std::move(id), {}, std::move(caption), std::move(run)};
}

}  // namespace rosgen
