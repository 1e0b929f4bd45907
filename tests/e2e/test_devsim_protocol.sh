#!/usr/bin/env bash
# The device simulator on its own, driven by a raw controller: what each radio says,
# how every command changes it, and every fault it can play. The other end-to-end
# tests trust the simulator's state file; this is what earns that trust.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim
fk_topology 1

cat >"$FK_WORK/radios.conf" <<CONF
# plain radios, one per behaviour under test
radio mac=02:46:4b:00:00:01 ip=198.18.0.20 iface=$FK_LAN_IF1 model=257 name=Alpha ssid=net-a channel=36 band=5
radio mac=02:46:4b:00:00:02 ip=198.18.0.21 iface=$FK_LAN_IF1 model=10 name=Bravo
radio mac=02:46:4b:00:00:03 ip=198.18.0.22 iface=$FK_LAN_IF1 silent=1
radio mac=02:46:4b:00:00:04 ip=198.18.0.23 iface=$FK_LAN_IF1 reboot_result=1 dup=2
radio mac=02:46:4b:00:00:05 ip=198.18.0.24 iface=$FK_LAN_IF1 reply_from=198.18.0.99
radio mac=02:46:4b:00:00:06 ip=198.18.0.25 iface=$FK_LAN_IF1 malformed=1
radio mac=02:46:4b:00:00:07 ip=198.18.0.26 iface=$FK_LAN_IF1 scan_count=40 scan_packets=3 scan_order=2,0,1
radio mac=02:46:4b:00:00:08 ip=198.18.0.27 iface=$FK_LAN_IF1 name_hex=e4b8ade69687e4b8 short_announce=1
radio mac=02:46:4b:00:00:09 ip=198.18.0.28 iface=$FK_LAN_IF1 tftp=1
radio mac=02:46:4b:00:00:0a ip=198.18.0.29 iface=$FK_LAN_IF1 unanswered=9,10
radio mac=02:46:4b:00:00:0b ip=198.18.0.30 iface=$FK_LAN_IF1 name=Factory factory_ip=198.18.0.31 ssid_mac=02:aa:00:00:00:0b bridge_mac=02:aa:00:00:00:01 work_mode=2
CONF
fk_start_sim --config "$FK_WORK/radios.conf" --keepalive-ms 300 --restart-ms 800 --tftp-port 6969

ip netns exec "$FK_NS_CTL" timeout 120 python3 "$FK_E2E_DIR/devsim_protocol.py" \
    "$FK_SIM_SOCK" "$FK_BIN/fieldkit-devsim" >"$FK_WORK/protocol.out" 2>&1 ||
    fk_fail "protocol checks failed"
cat "$FK_WORK/protocol.out" >&2

# The state file is written on SIGUSR1 as well as on request.
rm -f "$FK_SIM_STATE"
kill -USR1 "$FK_SIM_PID"
fk_wait_until 10 test -s "$FK_SIM_STATE" || fk_fail "no state file after SIGUSR1"
fk_check 'expect(len(sim_radios(args[0])) == 11, "the state file lists every radio")' "$FK_SIM_STATE"
fk_pass
