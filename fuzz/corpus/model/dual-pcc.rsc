/interface bridge port remove [find interface=ether2]
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
