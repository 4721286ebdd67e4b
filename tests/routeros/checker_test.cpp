// The RouterOS 7 script checker: real scripts pass untouched, faulty ones get the finding at the
// right place.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "routeros/checker.h"

namespace rosgen::ros7 {
namespace {

// "LINE:COL: error|warning: MESSAGE", one string per finding.
std::vector<std::string> render(const std::vector<Finding>& findings) {
  std::vector<std::string> out;
  for (const Finding& f : findings) {
    out.push_back(std::to_string(f.line) + ":" + std::to_string(f.col) + ": " +
                  (f.severity == Severity::Error ? "error: " : "warning: ") + f.message);
  }
  return out;
}

std::string crlf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Scripts as RouterOS 7 writes and reads them; none may raise anything.
struct Valid {
  const char* name;
  const char* script;
};
const Valid kValid[] = {
    {"default configuration export", R"(# 2024-05-25 00:13:38 by RouterOS 7.12.2
# software id = ABCD-EFGH
#
/interface bridge
add admin-mac=D4:01:C3:3A:08:E6 auto-mac=no comment=defconf name=bridge
/interface wifi
set [ find default-name=wifi1 ] channel.band=2ghz-ax channel.skip-dfs-channels=\
    10min-cac channel.width=20/40mhz configuration.mode=ap configuration.ssid=MikroTik-3A08EE \
    disabled=no security.authentication-types=wpa2-psk,wpa3-psk
/interface pppoe-client
add add-default-route=yes disabled=no interface=ether1 name=pppoe-out1 user=\
    client1
/interface list
add comment=defconf name=WAN
add comment=defconf name=LAN
/ip pool
add name=default-dhcp ranges=192.168.88.10-192.168.88.254
/ip dhcp-server
add address-pool=default-dhcp interface=bridge lease-time=10m name=defconf
/port
set 0 name=serial0
/interface bridge port
add bridge=bridge comment=defconf interface=ether2
/ip neighbor discovery-settings
set discover-interface-list=LAN
/interface list member
add comment=defconf interface=bridge list=LAN
add comment=defconf interface=ether1 list=WAN
/ip address
add address=192.168.88.1/24 comment=defconf interface=bridge network=192.168.88.0
/ip dhcp-client
add comment=defconf interface=ether1
/ip dhcp-server network
add address=192.168.88.0/24 comment=defconf dns-server=192.168.88.1 gateway=192.168.88.1
/ip dns
set allow-remote-requests=yes servers=1.1.1.1,8.8.8.8
/ip dns static
add address=192.168.88.1 comment=defconf name=router.lan type=A
/ip firewall filter
add action=accept chain=input comment="defconf: accept established,related,untracked" connection-state=established,related,untracked
add action=drop chain=input comment="defconf: drop invalid" connection-state=invalid
add action=drop chain=input comment="defconf: drop all not coming from LAN" in-interface-list=!LAN
add action=accept chain=forward comment="defconf: accept in ipsec policy" ipsec-policy=in,ipsec
add action=fasttrack-connection chain=forward comment="defconf: fasttrack" connection-state=established,related
add action=drop chain=forward comment="defconf: drop all from WAN not DSTNATed" connection-nat-state=!dstnat connection-state=new in-interface-list=WAN
/ip firewall nat
add action=masquerade chain=srcnat comment="defconf: masquerade" ipsec-policy=out,none out-interface-list=WAN
/ipv6 firewall address-list
add address=::/128 comment="defconf: unspecified address" list=bad_ipv6
/ipv6 firewall filter
add action=accept chain=input comment="defconf: accept DHCPv6-Client prefix delegation." dst-port=546 protocol=udp src-address=fe80::/10
/system clock
set time-zone-name=Europe/Riga
/tool mac-server mac-winbox
set allowed-interface-list=LAN
)"},
    {"scheduler and scripts with quoted scripts", R"(/system scheduler
add interval=1d name=nightly-reboot on-event="/system reboot" policy=reboot,read,write start-date=2024-01-01 start-time=03:00:00
add name=backup interval=1w on-event=backup-script start-time=startup
add name=ddns interval=5m on-event=":local ip [/ip address get [find interface=\"ether1\"] address]\r\
    \n:log info \"address \$ip\"\r\
    \n/ip cloud force-update" policy=read,write,test
/system script
add dont-require-permissions=no name=backup-script owner=admin policy=ftp,reboot,read,write,policy,test source="/system backup save name=nightly\r\
    \n/export file=nightly"
/tool netwatch
add host=8.8.8.8 interval=30s down-script=":log warning \"link down\"; /ip route disable [find comment=\"isp1\"]" up-script="/ip route enable [find comment=\"isp1\"]"
/ppp profile
add name=vpn local-address=10.0.0.1 remote-address=vpn-pool on-up=":log info \"\$user up\""
)"},
    {"script language", R"(:local count 0
:foreach i in=[/ip firewall address-list find where list="blocked" and disabled=no] do={
  :set count ($count + 1)
  :if ([/ip firewall address-list get $i address] = "10.0.0.1") do={
    /ip firewall address-list remove $i
  } else={
    :log info ("keeping " . [/ip firewall address-list get $i address])
  }
}
:put "removed $count entries"
/interface
:foreach iface in=[find where type="ether"] do={
  :local name [get $iface name]
  :if ([get $iface running]) do={ :put "$name is up" }
}
:for i from=1 to=10 step=1 do={ /ppp secret add name=("user" . $i) password=("pw" . $i) service=pppoe }
:local arr {"a"=1;"b"=2}
:foreach k,v in=$arr do={ :put ($k . "=" . $v) }
:do {
  /tool fetch url="https://example.com/list.txt" dst-path=list.txt
} on-error={ :log error "fetch failed" }
:while ($count > 0) do={ :set count ($count - 1); :delay 1s }
:global myFunc do={ :return ($1 + $2) }
:put [$myFunc 1 2]
:local s "quote \" backslash \\ dollar \$ tab \t hex \4A end \_ \?"
:local t [:toarray "a,b,c"]
:put [:pick "abcdef" 1 [:len $t]]
:local r [:resolve "example.com"]
:onerror e in={ :error "boom" } do={ :put "caught $e" }
:retry command={ /tool fetch url="https://example.com" } delay=1 max=3
:execute script="/log info hello"
:local j [:parse ":put hello"]
$j
{
  :local inner 1
  :put $inner
}
/
put "at the root a script command needs no colon"
)"},
    {"paths in every spelling", R"(/ip address print where interface=ether1
/ip route print detail without-paging
/ping 1.1.1.1 count=3
/ip firewall filter set 0 disabled=yes
/ip firewall filter remove [find]
/ ip pool add name=p2 ranges=10.0.0.2-10.0.0.100
/ip/firewall/nat/add chain=srcnat action=masquerade out-interface=ether1
/ip firewall
nat add chain=dstnat action=dst-nat to-addresses=192.168.88.2 to-ports=80 protocol=tcp dst-port=8080
..
address add address=10.1.1.1/24 interface=ether2; /log info "two"; :log warning "three"
/ip firewall filter add chain=forward place-before=0 action=accept copy-from=1
/ip firewall address-list add list=a address=1.2.3.4 comment="x" disabled=yes
)"},
    {"load balancing with PCC and routing tables", R"(/routing table
add disabled=no fib name=to-isp1
add disabled=no fib name=to-isp2
/ip firewall mangle
add action=mark-connection chain=prerouting connection-mark=no-mark in-interface=ether1 new-connection-mark=isp1_conn passthrough=yes
add action=mark-connection chain=prerouting connection-mark=no-mark dst-address-type=!local in-interface=bridge \
    new-connection-mark=isp1_conn passthrough=yes per-connection-classifier=both-addresses-and-ports:2/0
add action=mark-routing chain=prerouting connection-mark=isp1_conn in-interface=bridge new-routing-mark=to-isp1 passthrough=yes
/ip route
add check-gateway=ping distance=1 gateway=10.111.0.1 routing-table=to-isp1
add distance=1 dst-address=0.0.0.0/0 gateway=10.111.0.1
/routing rule
add action=lookup-only-in-table dst-address=192.168.1.0/24 table=to-isp1
/queue type
add kind=pcq name=pcq-down pcq-classifier=dst-address pcq-rate=2M
add kind=pcq name=pcq-up pcq-classifier=src-address,src-port
/queue simple
add max-limit=10M/10M name=q1 target=192.168.88.0/24 queue=pcq-up/pcq-down
)"},
    {"closed lists take variables and expressions", R"(:local c "dst-address"
/queue type add kind=pcq name=a pcq-classifier=$c
/queue type add kind=pcq name=b pcq-classifier=[:tostr $c]
/queue type add kind=pcq name=c pcq-classifier=("src-" . "address")
/queue type add kind=pcq name=d pcq-classifier="$c"
/queue type add kind=pcq name=e pcq-classifier=""
)"},
    {"firewall words: own chains reached by a jump, negation, protocol numbers", R"(/ip firewall filter
add chain=forward action=jump jump-target=lan-in protocol=!tcp
add chain=lan-in action=tarpit protocol=47
add chain=output action=reject protocol=255
/ip firewall raw add chain=prerouting action=notrack protocol=udp-lite
/ip firewall mangle add chain=postrouting action=strip-ipv4-options protocol=ipsec-esp
/ip firewall nat add chain=input action=endpoint-independent-nat protocol=udp
:local t "mine"
/ip firewall mangle add chain=forward action=jump jump-target=$t
/ip firewall mangle add chain=mine action=return
/ip firewall nat add chain=dstnat action=$t
/system scheduler add name=s on-event="/ip firewall nat add chain=sub action=accept"
/ip firewall nat add chain=srcnat action=jump jump-target=sub
)"},
};

TEST(Ros7Checker, RealScriptsPass) {
  for (const Valid& v : kValid) {
    EXPECT_EQ(render(check_script(v.script)), std::vector<std::string>{}) << v.name;
    EXPECT_EQ(render(check_script(crlf(v.script))), std::vector<std::string>{}) << v.name << " (CR LF)";
  }
}

// Faulty scripts and every finding they must raise, in order.
struct Faulty {
  const char* script;
  std::vector<std::string> findings;
};
const Faulty kFaulty[] = {
    // names
    {"/ip adress print\n", {"1:5: error: unknown command 'adress' in /ip"}},
    {"/ip dns set primary-dns=1.1.1.1\n", {"1:13: error: unknown argument 'primary-dns' for /ip/dns/set"}},
    {"/ip\nadress\n", {"2:1: error: unknown command 'adress' in /ip"}},
    {"/ip firewall\n..\nfilter print\n", {"3:1: error: unknown command 'filter' in /ip"}},
    {"/interface wireless print\n", {"1:12: error: unknown command 'wireless' in /interface"}},
    {":foo 1\n", {"1:2: error: unknown command 'foo' in /"}},
    {"/ip address\nput 1\n", {"2:1: error: unknown command 'put' in /ip/address"}},
    {"/ip a print\n", {"1:5: error: ambiguous command 'a' in /ip: address, arp"}},
    {"/ip firewall filter add dst-a=1.1.1.1\n",
     {"1:25: error: ambiguous argument 'dst-a' for /ip/firewall/filter/add: dst-address, dst-address-list, "
      "dst-address-type"}},
    {"/ip/dns/servers=1.1.1.1\n", {"1:9: error: expected a command in /ip/dns before 'servers='"}},
    // abbreviations
    {"/ip add print\n", {"1:5: warning: abbreviated 'add' for 'address'"}},
    {"/sys sched add name=a on-event=x\n",
     {"1:2: warning: abbreviated 'sys' for 'system'", "1:6: warning: abbreviated 'sched' for 'scheduler'"}},
    {"/ip firewall filter add chain=forward act=drop\n", {"1:39: warning: abbreviated 'act' for 'action'"}},
    // closed word lists
    {"/queue type add kind=pcq name=x pcq-classifier=dst-adress\n",
     {"1:48: error: invalid value 'dst-adress' for 'pcq-classifier' of /queue/type/add (allowed: "
      "src-address|dst-address|src-port|dst-port)"}},
    {"/queue type add kind=pcq name=x pcq-classifier=src-address,bogus\n",
     {"1:60: error: invalid value 'bogus' for 'pcq-classifier' of /queue/type/add (allowed: "
      "src-address|dst-address|src-port|dst-port)"}},
    {"/queue type add kind=pcq name=x pcq-classifier=\"bogus\"\n",
     {"1:49: error: invalid value 'bogus' for 'pcq-classifier' of /queue/type/add (allowed: "
      "src-address|dst-address|src-port|dst-port)"}},
    {"/ip ipsec profile add name=p dh-group=!modp9\n",
     {"1:40: error: invalid value 'modp9' for 'dh-group' of /ip/ipsec/profile/add (allowed: "
      "x25519|ecp256|ecp384|ecp521|modp8192|modp6144|modp4096|modp3072|modp2048|modp1536|modp1024|modp768)"}},
    // the firewall's own word lists
    {"/ip firewall nat add chain=srcnat action=masqerade\n",
     {"1:42: error: invalid value 'masqerade' for 'action' of /ip/firewall/nat/add (allowed: accept|"
      "add-dst-to-address-list|add-src-to-address-list|dst-nat|endpoint-independent-nat|jump|log|masquerade|netmap|"
      "passthrough|redirect|return|same|src-nat)"}},
    {"/ip firewall raw add chain=output action=masquerade\n",
     {"1:42: error: invalid value 'masquerade' for 'action' of /ip/firewall/raw/add (allowed: accept|"
      "add-dst-to-address-list|add-src-to-address-list|drop|jump|log|notrack|passthrough|return)"}},
    {"/ip firewall filter set 0 act=mark-routing\n",
     {"1:27: warning: abbreviated 'act' for 'action'",
      "1:31: error: invalid value 'mark-routing' for 'action' of /ip/firewall/filter/set (allowed: accept|"
      "add-dst-to-address-list|add-src-to-address-list|drop|fasttrack-connection|jump|log|passthrough|reject|return|"
      "tarpit)"}},
    {"/ip firewall filter add chain=forward protocol=!tpc\n",
     {"1:49: error: unknown protocol 'tpc' for /ip/firewall/filter/add (a name such as tcp, udp, icmp, or a number "
      "0-255)"}},
    {"/ip firewall mangle add chain=forward protocol=256\n",
     {"1:48: error: unknown protocol '256' for /ip/firewall/mangle/add (a name such as tcp, udp, icmp, or a number "
      "0-255)"}},
    {"/ip firewall filter add chain=forwrad action=drop\n/ip firewall nat add chain=forward action=accept\n"
     "/ip firewall mangle add chain=x action=jump jump-target=y\n/ip firewall filter add chain=y\n",
     {"1:31: warning: chain 'forwrad' of /ip/firewall/filter is not built in (input, forward, output) and no rule "
      "jumps to it",
      "2:28: warning: chain 'forward' of /ip/firewall/nat is not built in (srcnat, dstnat, input, output) and no rule "
      "jumps to it",
      "3:31: warning: chain 'x' of /ip/firewall/mangle is not built in (prerouting, input, forward, output, "
      "postrouting) and no rule jumps to it",
      "4:31: warning: chain 'y' of /ip/firewall/filter is not built in (input, forward, output) and no rule jumps to "
      "it"}},
    {"/system scheduler add name=a on-event=\"/ip firewall nat add chain=srcnat action=masqurade\"\n",
     {"1:81: error: invalid value 'masqurade' for 'action' of /ip/firewall/nat/add (allowed: accept|"
      "add-dst-to-address-list|add-src-to-address-list|dst-nat|endpoint-independent-nat|jump|log|masquerade|netmap|"
      "passthrough|redirect|return|same|src-nat)"}},
    // syntax
    {":put \"abc\n:put 1\n", {"2:7: error: unclosed '\"' opened at 1:6"}},
    {":if (1 = 1) do={\n  :put [/ip address find\n}\n", {"3:1: error: unclosed '[' opened at 2:8"}},
    {":if (1 = 1) do={\n  :put 1\n", {"2:9: error: unclosed '{' opened at 1:16"}},
    {":put ((1 + 2)\n", {"1:14: error: unclosed '(' opened at 1:6"}},
    {":put (1 + 2))\n", {"1:13: error: stray ')'"}},
    {"]\n:put 1 }\n", {"1:1: error: stray ']'", "2:8: error: stray '}'"}},
    {":put [:len (1]\n", {"1:14: error: unclosed '(' opened at 1:12"}},
    // line joins and quoted scripts report at their place in the whole text
    {"/ip address add \\\n    adress=1.1.1.1\n", {"2:5: error: unknown argument 'adress' for /ip/address/add"}},
    {"/system scheduler add name=a on-event=\"/ip adress print\"\n", {"1:44: error: unknown command 'adress' in /ip"}},
    {"/system script add name=a source=\":put 1\\r\\\n    \\n/ip dns set bogus=1\"\n",
     {"2:19: error: unknown argument 'bogus' for /ip/dns/set"}},
    {"/system scheduler add name=a on-event=\":put [/ip adress find]\"\n",
     {"1:50: error: unknown command 'adress' in /ip"}},
    {"/system scheduler add name=a on-event=\":put \\\"x\"\n", {"1:48: error: unclosed '\"' opened at 1:45"}},
    {"/tool netwatch add host=1.1.1.1 up-script=\"{ :log info up\"\n", {"1:58: error: unclosed '{' opened at 1:44"}},
    // blocks check in the menu where they stand
    {"/ip address\n:foreach i in=[find] do={ set $i bogus=1 }\n",
     {"2:34: error: unknown argument 'bogus' for /ip/address/set"}},
    {"/ip route\n{\n  /ip address\n}\nadd gateway=1.1.1.1 interface=x\n",
     {"5:21: error: unknown argument 'interface' for /ip/route/add"}},
};

TEST(Ros7Checker, FaultyScriptsRaiseTheirFindings) {
  for (const Faulty& f : kFaulty) {
    EXPECT_EQ(render(check_script(f.script)), f.findings) << f.script;
    EXPECT_EQ(render(check_script(crlf(f.script))), f.findings) << f.script << " (CR LF)";
  }
}

TEST(Ros7Checker, ColumnsCountBytes) {
  // Three bytes for 路 before the faulty name.
  EXPECT_EQ(render(check_script(":put \"路\"; /ip adress\n")),
            std::vector<std::string>{"1:17: error: unknown command 'adress' in /ip"});
}

TEST(Ros7Checker, AnyCutOfAValidScriptIsReadWithoutHanging) {
  // Every prefix of every valid script: the checker finishes and reports only places inside the text.
  for (const Valid& v : kValid) {
    const std::string_view script = v.script;
    for (size_t n = 0; n <= script.size(); n += 7) {
      const std::string_view cut = script.substr(0, n);
      int lines = 1 + static_cast<int>(std::count(cut.begin(), cut.end(), '\n'));
      for (const Finding& f : check_script(cut)) {
        EXPECT_GE(f.line, 1);
        EXPECT_LE(f.line, lines) << v.name << " cut at " << n;
        EXPECT_GE(f.col, 1);
      }
    }
  }
}

TEST(Ros7Checker, DeepNestingIsRefusedNotRecursedInto) {
  const std::string deep = ":put " + std::string(100000, '(') + std::string(100000, ')');
  auto findings = check_script(deep);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].message, "nesting deeper than 64 levels");
  EXPECT_EQ(findings[0].col, 6 + 64);

  std::string quoted = ":put 1";
  for (int i = 0; i < 12; ++i) {
    std::string escaped;
    for (char c : quoted) {
      if (c == '"' || c == '\\') escaped += '\\';
      escaped += c;
    }
    quoted = "/system script add name=n source=\"" + escaped + " \"";
  }
  EXPECT_EQ(render(check_script(quoted)), (std::vector<std::string>{}));
}

}  // namespace
}  // namespace rosgen::ros7
