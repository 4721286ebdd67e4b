/ip/firewall/nat/add chain=srcnat action=masquerade
/ ip pool add name=p ranges=10.0.0.2-10.0.0.9
/ip firewall
..
address print
