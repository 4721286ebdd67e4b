/queue type add kind=pcq name=q pcq-classifier=src-address,dst-port
/ip ipsec profile add name=p dh-group=!modp2048
