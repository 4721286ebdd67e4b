:local a {"k"=1;"l"=(2+3)}
:put ($a->"k" . [:len $a])
:global f do={ :return $1 }
$f 1
