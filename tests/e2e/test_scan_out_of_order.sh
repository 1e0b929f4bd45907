#!/usr/bin/env bash
# A site survey answered in three result packets that arrive out of order (ids 2, 0,
# 1): MSG_SCAN_AP is never repeated, the survey counts as complete, and the CLI lists
# every neighbouring access point once with what the radio said of it. A result packet
# that claims a survey of no packets at all never completes one.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1
fk_start_sim --group "count=2,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1" \
    --set "#0 scan_count=40 scan_packets=3 scan_order=2,0,1"

fk_cli send --discover-first 2 --ip 198.18.0.20 --mac 02:46:4b:00:00:01 --type 6 \
    --retransmission-interval 300 --wait 5 >"$FK_WORK/scan.out" 2>"$FK_WORK/scan.err" ||
    fk_fail "send failed"
fk_state "$FK_WORK/state.json"
fk_check '
radio = by_mac(sim_radios(args[0]))["02:46:4b:00:00:01"]
expect(radio["received"].get("6") == 1,
       "MSG_SCAN_AP arrived %r times; a survey is never repeated" % radio["received"].get("6"))
out = load_json(args[1])
expect(out.get("scan_complete") is True, "three packets of three arrived, yet not complete")
listed = {e["mac"]: e for e in out.get("scan", [])}
expect(len(out["scan"]) == 40 and len(listed) == 40, "survey lists %d entries" % len(out["scan"]))
# The radio (index 1) repeats five neighbours; entry k is neighbour k % 5 with the
# MAC 02:aa:00:01:HH:LL where HHLL is k + 1.
ssids = ["neighbour-ap", "邻居热点", "", "farm-link", "mast-7"]
for k in range(40):
    mac = "02:aa:00:01:%02x:%02x" % (k >> 8, (k + 1) & 0xff)
    want = {"mac": mac, "ssid": ssids[k % 5], "signal": -40 - 11 * (k % 5),
            "channel": 149 if k % 5 % 2 else 6, "secure_mode": k % 5 * 2, "exchannel": 0,
            "bandwidth": k % 5 % 3}
    expect(listed.get(mac) == want, "entry %d: listed %r, configured %r" % (k, listed.get(mac), want))
' "$FK_WORK/state.json" "$FK_WORK/scan.out"

# The second radio hears nothing; while the CLI waits for its survey, result packets
# that claim a packet count of 0 arrive from its address.
fk_sim_request set 02:46:4b:00:00:02 silent=1 | grep -q '^ok' ||
    fk_fail "cannot silence the second radio"
fk_cli send --ip 198.18.0.21 --mac 02:46:4b:00:00:02 --type 6 --wait 3 \
    >"$FK_WORK/zero.out" 2>"$FK_WORK/zero.err" &
cli_pid=$!
ip netns exec "$FK_NS_LAN" python3 - "$(dirname "$0")" <<'PY' || fk_fail "cannot inject results"
import socket, struct, sys, time
sys.path.insert(0, sys.argv[1])
from fkcheck import datagram
entry = bytes([2, 0xbb, 0, 0, 0, 1]) + struct.pack("<bBB", -50, 11, 0)
entry += b"zero-count".ljust(32, b"\0") + bytes([10]) + bytes([0, 0])
payload = bytes([0, 0, 1]) + entry
tx = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
tx.bind(("198.18.0.21", 0))
for _ in range(8):
    time.sleep(0.25)
    tx.sendto(datagram(6, payload, "02:46:4b:00:00:02"), ("198.18.0.1", 9788))
PY
wait "$cli_pid" || fk_fail "send of the second survey failed"
fk_check '
out = load_json(args[0])
macs = [e["mac"] for e in out.get("scan", [])]
expect(macs == ["02:bb:00:00:00:01"], "the injected entry is stored once, listed %r" % macs)
expect(out.get("scan_complete") is False, "a survey of 0 packets was counted as complete")
' "$FK_WORK/zero.out"
fk_pass
