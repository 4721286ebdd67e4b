/ip address add address=192.168.88.1/24 interface=bridge comment=defconf
/ip dns set servers=1.1.1.1,8.8.8.8 allow-remote-requests=yes
