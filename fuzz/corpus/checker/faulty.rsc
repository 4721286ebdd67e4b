/ip adress print
/ip a
/ip add print
:put [/ip address find
:put (1))
