/ip firewall filter
add action=accept chain=input connection-state=established,related
add action=drop chain=input in-interface-list=!LAN
