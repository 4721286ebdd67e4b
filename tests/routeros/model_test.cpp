// The configuration model and its rules: for every rule, scripts that must raise it and the
// corrected scripts that must not; a whole dual-line configuration that raises nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "routeros/checker.h"
#include "routeros/model.h"

namespace rosgen::ros7 {
namespace {

std::string render(const std::vector<Finding>& found) {
  std::string out;
  for (const Finding& f : found) {
    out += std::to_string(f.line) + ":" + std::to_string(f.col) + " " + f.rule + " " + f.message + "\n";
  }
  return out;
}

struct Case {
  const char* rule;
  bool raised;
  const char* script;  // on the default configuration
};

// Each rule once where it fires and once, the fault mended, where it must not.
const Case kCases[] = {
    {"no-such-item", true, "/interface ethernet set bridge arp=reply-only\n"},
    {"no-such-item", false, "/interface bridge set bridge arp=reply-only\n"},
    {"no-such-item", false, "/ip firewall filter set [find comment=\"not there\"] disabled=yes\n"},
    {"no-such-item", true,
     "/ip firewall filter add chain=forward action=drop place-before=[find comment=\"nothing\"]\n"},
    {"duplicate-name", true,
     "/ip pool add name=p ranges=10.0.0.2-10.0.0.9\n/ip pool add name=p ranges=10.1.0.2-10.1.0.9\n"},
    {"duplicate-name", true, "/interface vlan add name=ether2 vlan-id=5 interface=ether3\n"},
    {"duplicate-name", true,
     "/ip firewall address-list add list=blocked address=198.51.100.7\n"
     "/ip firewall address-list add list=blocked address=198.51.100.7\n"},
    {"duplicate-name", false,
     "/ip pool add name=p ranges=10.0.0.2-10.0.0.9\n/ip pool add name=q ranges=10.1.0.2-10.1.0.9\n"},
    {"unknown-reference", true, "/ppp secret add name=a password=b profile=missing\n"},
    {"unknown-reference", true, "/interface list member add list=WAN interface=pppoe-out1\n"},
    {"unknown-reference", false,
     "/interface pppoe-client add name=pppoe-out1 interface=ether1 user=u password=p\n"
     "/interface list member add list=WAN interface=pppoe-out1\n"},
    {"unknown-reference", true, "/ip firewall filter add chain=forward src-address-list=nobody action=drop\n"},
    {"script-error", true, ":error \"stop\"\n"},
    {"no-default-route", true, "/ip dhcp-client remove [find interface=ether1]\n"},
    {"no-default-route", false,
     "/ip dhcp-client remove [find interface=ether1]\n/ip address add address=203.0.113.2/29 interface=ether1\n"
     "/ip route add gateway=203.0.113.1\n"},
    {"routing-mark-table", true,
     "/ip firewall mangle add chain=prerouting in-interface=bridge action=mark-routing new-routing-mark=line2\n"},
    {"routing-mark-table", true,
     "/routing table add name=line2 fib\n"
     "/ip firewall mangle add chain=prerouting in-interface=bridge action=mark-routing new-routing-mark=line2\n"},
    {"routing-mark-table", false,
     "/routing table add name=line2 fib\n/ip route add gateway=192.168.88.254 routing-table=line2\n"
     "/ip firewall mangle add chain=prerouting in-interface=bridge action=mark-routing new-routing-mark=line2\n"},
    {"no-failover", true,
     "/interface bridge port remove [find interface=ether2]\n/interface list member add list=WAN interface=ether2\n"
     "/ip address add address=198.51.100.2/29 interface=ether2\n/ip route add gateway=198.51.100.1 distance=2\n"},
    {"no-failover", false,
     "/interface bridge port remove [find interface=ether2]\n/interface list member add list=WAN interface=ether2\n"
     "/ip address add address=198.51.100.2/29 interface=ether2\n"
     "/ip route add gateway=198.51.100.1 distance=2 check-gateway=ping\n"},
    // A route through a PPPoE line's own interface goes away with the session.
    {"no-failover", false,
     "/interface pppoe-client add name=pppoe-out1 interface=ether2 user=u password=p\n"
     "/ip route add gateway=pppoe-out1 distance=2\n"},
    {"fasttrack-bypass", true, "/queue simple add target=192.168.88.10/32 max-limit=1M/1M\n"},
    {"fasttrack-bypass", false,
     "/ip firewall filter disable [find comment=\"defconf: fasttrack\"]\n"
     "/queue simple add target=192.168.88.10/32 max-limit=1M/1M\n"},
    {"fasttrack-bypass", true,
     "/ip firewall mangle add chain=prerouting in-interface=ether1 action=mark-connection new-connection-mark=w1\n"},
    {"fasttrack-bypass", false,
     "/ip firewall filter set [find comment=\"defconf: fasttrack\"] connection-mark=no-mark\n"
     "/ip firewall mangle add chain=prerouting in-interface=ether1 action=mark-connection new-connection-mark=w1\n"},
    {"unreachable-rule", true, "/ip firewall filter add chain=input protocol=icmp in-interface-list=WAN action=drop\n"},
    {"unreachable-rule", false,
     "/ip firewall filter add chain=input protocol=icmp in-interface-list=WAN action=drop "
     "place-before=[find comment=\"defconf: accept ICMP\"]\n"},
    {"unreachable-rule", true,
     "/ip firewall filter add chain=input protocol=tcp dst-port=1723 in-interface=ether1 action=accept\n"},
    {"unreachable-rule", false,
     "/ip firewall filter add chain=input protocol=tcp dst-port=1723 action=accept "
     "place-before=[find comment=\"defconf: drop all not coming from LAN\"]\n"},
    {"unreachable-rule", true, "/ip firewall filter add chain=forward content=game action=drop\n"},
    {"icmp-drop-output", true, "/ip firewall filter add chain=output protocol=icmp action=drop\n"},
    {"icmp-drop-output", false,
     "/ip firewall filter add chain=input protocol=icmp in-interface-list=WAN action=drop "
     "place-before=[find comment=\"defconf: accept ICMP\"]\n"},
    {"output-drop", true, "/ip firewall filter add chain=output protocol=tcp dst-port=21 action=drop\n"},
    {"output-drop", false, "/ip firewall filter add chain=forward protocol=tcp dst-port=21 action=drop\n"},
    {"dstnat-unlimited", true,
     "/ip firewall nat add chain=dstnat src-address=!192.168.88.0/24 protocol=tcp dst-port=80 action=dst-nat "
     "to-addresses=192.168.88.2\n"},
    {"dstnat-unlimited", false,
     "/ip firewall nat add chain=dstnat in-interface-list=WAN protocol=tcp dst-port=80 action=dst-nat "
     "to-addresses=192.168.88.2\n"},
    {"no-hairpin", true,
     "/ip firewall nat add chain=dstnat dst-address-type=local protocol=tcp dst-port=80 action=dst-nat "
     "to-addresses=192.168.88.2\n"},
    {"no-hairpin", false,
     "/ip firewall nat add chain=dstnat dst-address-type=local protocol=tcp dst-port=80 action=dst-nat "
     "to-addresses=192.168.88.2\n"
     "/ip firewall nat add chain=srcnat src-address=192.168.88.0/24 dst-address=192.168.88.2 protocol=tcp dst-port=80 "
     "action=masquerade\n"},
    {"srcnat-dynamic", true,
     "/interface pppoe-client add name=pppoe-out1 interface=ether1 user=u password=p add-default-route=yes\n"
     "/ip firewall nat add chain=srcnat out-interface=pppoe-out1 action=src-nat to-addresses=58.58.58.1\n"},
    {"srcnat-dynamic", false,
     "/interface pppoe-client add name=pppoe-out1 interface=ether1 user=u password=p add-default-route=yes\n"
     "/interface list member add list=WAN interface=pppoe-out1\n"
     "/ip firewall nat add chain=srcnat out-interface=pppoe-out1 action=masquerade\n"},
    {"wan-no-nat", true, "/ip firewall nat remove [find comment=\"defconf: masquerade\"]\n"},
    {"wan-no-nat", false,
     "/ip firewall nat remove [find comment=\"defconf: masquerade\"]\n"
     "/ip firewall nat add chain=srcnat out-interface=ether1 action=masquerade\n"},
    {"ppp-profile-reversed", true,
     "/ip pool add name=vpn ranges=10.8.0.2-10.8.0.99\n/ppp profile add name=v local-address=vpn "
     "remote-address=10.8.0.1\n"},
    {"ppp-profile-reversed", false,
     "/ip pool add name=vpn ranges=10.8.0.2-10.8.0.99\n/ppp profile add name=v local-address=10.8.0.1 "
     "remote-address=vpn\n"},
    {"caller-id-mac", true, "/ppp secret add name=a password=b service=pptp caller-id=00:0C:29:AB:CD:EF\n"},
    {"caller-id-mac", false, "/ppp secret add name=a password=b service=pppoe caller-id=00:0C:29:AB:CD:EF\n"},
    {"service-dropped", true, "/interface pptp-server server set enabled=yes\n"},
    {"service-dropped", false,
     "/interface pptp-server server set enabled=yes\n"
     "/ip firewall filter add chain=input protocol=tcp dst-port=1723 action=accept "
     "place-before=[find comment=\"defconf: drop all not coming from LAN\"]\n"
     "/ip firewall filter add chain=input protocol=gre action=accept "
     "place-before=[find comment=\"defconf: drop all not coming from LAN\"]\n"},
    {"l2tp-no-ipsec", true, "/interface l2tp-server server set enabled=yes use-ipsec=no\n"},
    {"l2tp-no-ipsec", false, "/interface l2tp-server server set enabled=yes use-ipsec=required ipsec-secret=s3cret\n"},
    {"address-list-unused", true, "/ip firewall address-list add list=blocked address=198.51.100.7\n"},
    {"address-list-unused", false,
     "/ip firewall address-list add list=blocked address=198.51.100.7\n"
     "/ip firewall filter add chain=forward dst-address-list=blocked action=drop "
     "place-before=[find comment=\"defconf: fasttrack\"]\n"},
    {"queue-tree-same-mark", true,
     "/ip firewall filter disable [find comment=\"defconf: fasttrack\"]\n"
     "/queue tree add name=up parent=global packet-mark=all\n/queue tree add name=down parent=global "
     "packet-mark=all\n"},
    {"queue-tree-same-mark", false,
     "/ip firewall filter disable [find comment=\"defconf: fasttrack\"]\n"
     "/queue tree add name=up parent=global packet-mark=up\n/queue tree add name=down parent=global "
     "packet-mark=down\n"},
    {"pcq-after-nat", true, "/queue tree add name=up parent=ether1 queue=pcq-upload-default\n"},
    {"pcq-after-nat", false, "/queue tree add name=down parent=bridge queue=pcq-download-default\n"},
    {"dns-update-no-server", true,
     "/system script add name=ddns source=\"/tool dns-update name=a.example.org address=1.2.3.4 key-name=k key=s\"\n"},
    {"dns-update-no-server", false,
     "/system script add name=ddns source=\"/tool fetch url=\\\"https://update.example.org/nic/update\\\" "
     "output=none\"\n"},
    {"mss-raise", true,
     "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn action=change-mss new-mss=1440\n"},
    {"mss-raise", false,
     "/ip firewall mangle add chain=forward protocol=tcp tcp-flags=syn tcp-mss=1441-65535 action=change-mss "
     "new-mss=1440\n"},
    {"uplink-on-bridge", true,
     "/ip address add address=198.51.100.2/29 interface=ether2\n/ip route add gateway=198.51.100.1 distance=2 "
     "check-gateway=ping\n"},
    {"uplink-not-wan", true,
     "/interface bridge port remove [find interface=ether2]\n/ip address add address=198.51.100.2/29 interface=ether2\n"
     "/ip route add gateway=198.51.100.1 distance=2 check-gateway=ping\n"},
    {"reply-path", true,
     "/interface bridge port remove [find interface=ether2]\n/interface list member add list=WAN interface=ether2\n"
     "/ip address add address=198.51.100.2/29 interface=ether2\n"
     "/ip route add gateway=198.51.100.1 distance=2 check-gateway=ping\n"},
    {"vpn-default-route", true,
     "/interface pptp-client add name=vpn connect-to=198.51.100.10 user=u password=p add-default-route=yes\n"},
    {"vpn-default-route", false,
     "/interface pptp-client add name=vpn connect-to=198.51.100.10 user=u password=p add-default-route=yes "
     "default-route-distance=5\n"},
    {"address-on-bridge-port", true, "/ip address add address=192.168.0.254/24 interface=ether2\n"},
    {"address-on-bridge-port", false,
     "/interface bridge port remove [find interface=ether2]\n/ip address add address=192.168.0.254/24 "
     "interface=ether2\n"
     "/interface list member add list=LAN interface=ether2\n"},
};

TEST(Model, EachRuleFiresOnItsFaultAndNotOnTheMend) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.rule) + (c.raised ? " raised by:\n" : " not raised by:\n") + c.script);
    EXPECT_TRUE(check_script(c.script).empty()) << render(check_script(c.script));
    const std::vector<Finding> found = check_meaning(c.script, Base::Defconf);
    const bool raised = std::any_of(found.begin(), found.end(), [&](const Finding& f) { return f.rule == c.rule; });
    EXPECT_EQ(raised, c.raised) << render(found);
  }
}

TEST(Model, EveryRuleHasACaseAndBothTexts) {
  std::set<std::string> tested;
  for (const Case& c : kCases) tested.insert(c.rule);
  for (const Rule& r : rules()) {
    EXPECT_TRUE(tested.count(r.id)) << r.id;
    EXPECT_FALSE(std::string(r.english).empty()) << r.id;
    EXPECT_FALSE(std::string(r.chinese).empty()) << r.id;
  }
}

// Two fixed lines on the default configuration, balanced per connection, each line's replies
// answered through it, failover in every table, the fasttrack rule sparing marked connections.
constexpr const char* kDualPcc = R"(/interface bridge port remove [find interface=ether2]
/interface list member add list=WAN interface=ether2
/ip dhcp-client remove [find interface=ether1]
/ip address add address=203.0.113.2/29 interface=ether1
/ip address add address=198.51.100.2/29 interface=ether2
/routing table add name=to-line1 fib
/routing table add name=to-line2 fib
/ip route
add gateway=203.0.113.1 check-gateway=ping distance=1
add gateway=198.51.100.1 check-gateway=ping distance=2
add gateway=203.0.113.1 check-gateway=ping routing-table=to-line1 distance=1
add gateway=198.51.100.1 check-gateway=ping routing-table=to-line1 distance=2
add gateway=198.51.100.1 check-gateway=ping routing-table=to-line2 distance=1
add gateway=203.0.113.1 check-gateway=ping routing-table=to-line2 distance=2
/ip firewall mangle
add chain=prerouting in-interface=ether1 connection-mark=no-mark action=mark-connection new-connection-mark=line1
add chain=prerouting in-interface=ether2 connection-mark=no-mark action=mark-connection new-connection-mark=line2
add chain=prerouting in-interface=bridge connection-mark=no-mark dst-address-type=!local \
    per-connection-classifier=both-addresses:2/0 action=mark-connection new-connection-mark=line1
add chain=prerouting in-interface=bridge connection-mark=no-mark dst-address-type=!local \
    per-connection-classifier=both-addresses:2/1 action=mark-connection new-connection-mark=line2
add chain=prerouting in-interface=bridge connection-mark=line1 action=mark-routing new-routing-mark=to-line1
add chain=prerouting in-interface=bridge connection-mark=line2 action=mark-routing new-routing-mark=to-line2
add chain=output connection-mark=line1 action=mark-routing new-routing-mark=to-line1
add chain=output connection-mark=line2 action=mark-routing new-routing-mark=to-line2
/ip firewall filter set [find comment="defconf: fasttrack"] connection-mark=no-mark
/ip firewall nat
add chain=srcnat out-interface=ether1 action=masquerade
add chain=srcnat out-interface=ether2 action=masquerade
)";

TEST(Model, ACorrectDualLineConfigurationRaisesNothing) {
  EXPECT_EQ(render(check(kDualPcc, Base::Defconf)), "");
  // The same without failover, reply marks and the fasttrack change raises each of them.
  std::string bare = kDualPcc;
  for (const char* cut : {" check-gateway=ping",
                          "/ip firewall filter set [find comment=\"defconf: fasttrack\"] connection-mark=no-mark\n"}) {
    for (std::size_t at; (at = bare.find(cut)) != std::string::npos;) bare.erase(at, std::string(cut).size());
  }
  std::set<std::string> raised;
  for (const Finding& f : check(bare, Base::Defconf)) raised.insert(f.rule);
  EXPECT_EQ(raised, (std::set<std::string>{"no-failover", "fasttrack-bypass"}));
}

// The base decides what is there: on an empty router the default configuration's names are not.
TEST(Model, TheBaseDecidesWhatIsThere) {
  const char* script = "/ip address add address=192.168.89.1/24 interface=bridge\n";
  EXPECT_EQ(render(check_meaning(script, Base::Defconf)), "");
  const std::vector<Finding> bare = check_meaning(script, Base::None);
  ASSERT_FALSE(bare.empty());
  EXPECT_EQ(bare.back().rule, "unknown-reference");
  EXPECT_EQ(bare.back().severity, Severity::Error);
  EXPECT_EQ(bare.back().col, 41);
  EXPECT_NE(bare.back().chinese.find("引用的对象不存在"), std::string::npos);
  // Nothing changed, nothing to judge.
  EXPECT_EQ(render(check_meaning("# only a comment\n", Base::None)), "");
  EXPECT_EQ(render(check_meaning("", Base::Defconf)), "");
}

// Loops, variables and guards run as the router runs them.
TEST(Model, LoopsVariablesAndGuardsRun) {
  const char* script = R"(/ip firewall filter disable [find comment="defconf: fasttrack"]
:for i from=1 to=3 do={/queue simple add name=("host" . $i) target=("192.168.88." . $i) max-limit=1M/1M}
:if ([:len [/queue simple find name=host2]] = 0) do={:error "host2 missing"}
:if ([:len [/queue simple find name=host4]] = 0) do={/queue simple add name=host4 target=192.168.88.4}
/queue simple add name=host3 target=192.168.88.9
)";
  const std::vector<Finding> found = check_meaning(script, Base::Defconf);
  ASSERT_EQ(found.size(), 1u) << render(found);
  EXPECT_EQ(found[0].rule, "duplicate-name");
  EXPECT_EQ(found[0].line, 5);
}

}  // namespace
}  // namespace rosgen::ros7
