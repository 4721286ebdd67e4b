// The PCQ set-up both PCQ pages begin with: the two queue types, the mark on
// every packet and the download tree.
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

// The same four lines for RouterOS 7: absolute paths, the interface kept one word.
inline Gbk pcq_setup7(const Ctx& c, const char* up, const char* down, const char* nic) {
  Gbk s;
  s += "/queue type add name=PCQ-up kind=pcq pcq-rate="_a + c.rate(up) +
       " pcq-limit=50 pcq-classifier=src-address pcq-total-limit=2000\r\n"_a;
  s += "/queue type add name=PCQ-down kind=pcq pcq-rate="_a + c.rate(down) +
       " pcq-limit=50 pcq-classifier=dst-address pcq-total-limit=2000\r\n"_a;
  s += "/ip firewall mangle add chain=prerouting action=mark-packet new-packet-mark=all-mark passthrough=yes\r\n"_a;
  s += "/queue tree add name=PCQdown parent="_a + word7(c.trimmed(nic)) + " queue=PCQ-down packet-mark=all-mark\r\n"_a;
  return s;
}

}  // namespace rosgen
