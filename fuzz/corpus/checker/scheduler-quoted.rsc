/system scheduler add name=s interval=1d on-event=":log info \"tick \$x\"\r\
    \n/ip cloud force-update"
