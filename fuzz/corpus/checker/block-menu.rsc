{
  :local x 1
  /ip address
  :foreach i in=[find] do={ set $i comment="c$x" }
}
/ping 1.1.1.1 count=3
