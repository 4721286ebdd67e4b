:for i from=1 to=3 do={/queue simple add name=("host" . $i) target=("192.168.88." . $i) max-limit=1M/1M}
:if ([:len [/queue simple find name=host2]] = 0) do={:error "host2 missing"}
/ip firewall filter add chain=input protocol=tcp dst-port=1723 action=accept place-before=[find comment="defconf: drop all not coming from LAN"]
/interface ethernet set bridge arp=reply-only
:local a "x$b"; :set a ($a . "y"); :foreach i in=[/ip address find] do={/ip address get $i address}
