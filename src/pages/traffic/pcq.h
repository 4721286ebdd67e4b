// The PCQ set-up both PCQ pages begin with: the two queue types, the packet
// marks and the queue trees.
#pragma once

#include "pages/ros7.h"
#include "script/form.h"

namespace rosgen {

// Lines 1 to 4, each with its CR LF. Rates are KByte/s fields.
inline Gbk pcq_setup(const Ctx& c, const char* up, const char* down, const char* nic) {
  Gbk s;
  s += "/ queue type add name=\"PCQ-up\" kind=pcq pcq-rate="_a + c.rate(up) +
       " pcq-limit=50 pcq-classifier=src-address pcq-total-limit=2000\r\n"_a;
  s += "/ queue type add name=\"PCQ-down\" kind=pcq pcq-rate="_a + c.rate(down) +
       " pcq-limit=50 pcq-classifier=dst-address pcq-total-limit=2000\r\n"_a;
  s += "/ ip firewall mangle add chain=prerouting action=mark-packet new-packet-mark=all-mark passthrough=yes\r\n"_a;
  s += "/ queue tree add name=\"PCQdown\" parent="_a + c.trimmed(nic) + " queue=PCQ-down packet-mark=all-mark\r\n"_a;
  return s;
}

// RouterOS 7: both PCQ trees hang on `global`, where an upload packet still carries its host's
// source address (an uplink's own queue sees it after source NAT, every host as one). Each
// direction has its own packet mark, set as the packet crosses the uplink `nic` (every uplink in
// the `WAN` list when the field is empty). Connections across the uplink are marked too, unless
// already marked, and the default fasttrack rule is told to spare marked connections: fasttracked
// packets skip mangle and the `global` queue. Each line ends in CR LF.
inline Gbk pcq_setup7(const Ctx& c, const char* up, const char* down, const char* nic) {
  const Gbk uplink = c.trimmed(nic);
  const Gbk out = uplink.empty() ? Gbk(" out-interface-list=WAN"_a) : " out-interface="_a + word7(uplink);
  const Gbk in = uplink.empty() ? Gbk(" in-interface-list=WAN"_a) : " in-interface="_a + word7(uplink);
  const Gbk mangle = "/ip firewall mangle add chain=forward action="_a;
  // What an earlier press set up goes first, its types kept and set anew.
  Gbk s = remove_named7("/queue tree", "PCQdown"_a) + remove_named7("/queue tree", "PCQup"_a);
  s += "/ip firewall mangle remove [find new-connection-mark=pcq]\r\n"_a;
  s += "/ip firewall mangle remove [find new-packet-mark=pcq-up]\r\n"_a;
  s += "/ip firewall mangle remove [find new-packet-mark=pcq-down]\r\n"_a;
  s += add_or_set7(
      "/queue type", "PCQ-up"_a,
      " kind=pcq pcq-rate="_a + c.rate(up) + " pcq-limit=50 pcq-classifier=src-address pcq-total-limit=2000"_a);
  s += add_or_set7(
      "/queue type", "PCQ-down"_a,
      " kind=pcq pcq-rate="_a + c.rate(down) + " pcq-limit=50 pcq-classifier=dst-address pcq-total-limit=2000"_a);
  s += mangle + "mark-connection new-connection-mark=pcq connection-mark=no-mark"_a + out + "\r\n"_a;
  s += mangle + "mark-connection new-connection-mark=pcq connection-mark=no-mark"_a + in + "\r\n"_a;
  s += mangle + "mark-packet new-packet-mark=pcq-up"_a + out + "\r\n"_a;
  s += mangle + "mark-packet new-packet-mark=pcq-down"_a + in + "\r\n"_a;
  s += fasttrack_spare_marked7();
  s += "/queue tree add name=PCQdown parent=global queue=PCQ-down packet-mark=pcq-down\r\n"_a;
  s += "/queue tree add name=PCQup parent=global queue=PCQ-up packet-mark=pcq-up\r\n"_a;
  return s;
}

}  // namespace rosgen
