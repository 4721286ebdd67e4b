/routing table add fib name=to-isp1
/ip route add gateway=10.0.0.1 routing-table=to-isp1 \
    distance=1
