/ip firewall address-list
:foreach i in=[find where list="x"] do={
  :if ([get $i disabled]) do={ remove $i } else={ :put $i }
}
