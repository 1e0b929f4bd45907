#!/usr/bin/env bash
# `fieldkit-cli doctor` finds each field cause of a missing radio in the controller's
# namespace and names the fix: a firewall (nftables) that drops UDP 9785, another
# program's socket on UDP 9787, and a radio that answers from a subnet of the same
# link the PC has no address in (the fix names that subnet and the adapter). `discover`
# shows the same radio's reason in its Network column and `send` to it fails with it.
# With none of these the report is clean and the exit is 0.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1
foreign=02:46:4b:00:00:09
cat >"$FK_WORK/radios.conf" <<CONF
radio mac=02:46:4b:00:00:01 ip=198.18.0.20 iface=$FK_LAN_IF1
radio mac=$foreign ip=198.18.0.30 iface=$FK_LAN_IF1
CONF
fk_start_sim --config "$FK_WORK/radios.conf"

# doctor_line JSON FINDING_PART: the status and fix of the line whose finding holds it.
doctor_line() {
    python3 - "$1" "$2" <<'PY'
import json, sys
for row in json.load(open(sys.argv[1])):
    if sys.argv[2] in row["Finding"]:
        print(row["Status"] + "|" + row["Fix"])
        break
PY
}

run_doctor() {  # NAME EXPECTED_EXIT
    fk_cli doctor --seconds 3 --format json >"$FK_WORK/$1.out" 2>"$FK_WORK/$1.err"
    local rc=$?
    [ "$rc" -eq "$2" ] || fk_fail "doctor ($1) exited $rc, expected $2"
}

run_doctor clean 0
[ "$(doctor_line "$FK_WORK/clean.out" "$FK_CTL_IF1 is up with 198.18.0.1/24")" = "ok|" ] ||
    fk_fail "the adapter line is missing"
[ "$(doctor_line "$FK_WORK/clean.out" "2 radios answered")" = "ok|" ] ||
    fk_fail "the radios line is missing"
for port in 9785 9787 9788 69; do
    [ "$(doctor_line "$FK_WORK/clean.out" "UDP $port is free")" = "ok|" ] ||
        fk_fail "UDP $port is not reported free"
done

if command -v nft >/dev/null; then
    ip netns exec "$FK_NS_CTL" nft -f - <<'NFT' || fk_fail "cannot load the test ruleset"
table inet fktest {
    chain input {
        type filter hook input priority 0; policy accept;
        udp dport 9785 drop
    }
}
NFT
    run_doctor firewall 1
    line=$(doctor_line "$FK_WORK/firewall.out" "nftables chain inet fktest input drops UDP 9785 coming in")
    case "$line" in
    "blocking|sudo nft insert rule inet fktest input udp dport"*) ;;
    *) fk_fail "the dropping chain is not reported: '$line'" ;;
    esac
    ip netns exec "$FK_NS_CTL" nft delete table inet fktest
else
    fk_log "nft is missing; the firewall case is not run"
fi

ip netns exec "$FK_NS_CTL" python3 -c '
import socket, sys, time
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("0.0.0.0", 9787))
open(sys.argv[1], "w").write("bound")
time.sleep(300)
' "$FK_WORK/holder.ready" &
holder=$!
FK_BG_PIDS+=("$holder")
fk_wait_until 10 test -f "$FK_WORK/holder.ready" || fk_fail "the holding socket did not bind"
run_doctor held 1
line=$(doctor_line "$FK_WORK/held.out" "UDP 9787 is held by python3 (pid $holder)")
[ "${line%%|*}" = "blocking" ] && [ -n "${line#*|}" ] ||
    fk_fail "the held port is not reported: '$line'"
kill "$holder"
wait "$holder" 2>/dev/null

# The radio moves to a subnet of the same link the PC has no address in and keeps
# announcing itself to the controller it knew; the controller must take datagrams
# from there.
fk_cli discover --seconds 3 >"$FK_WORK/known.out" 2>&1 || fk_fail "the first search failed"
ip netns exec "$FK_NS_CTL" sysctl -qw net.ipv4.conf.all.rp_filter=0 \
    "net.ipv4.conf.$FK_CTL_IF1.rp_filter=0"
fk_sim_request set "$foreign" ip=198.19.5.20 >/dev/null || fk_fail "cannot move the radio"
(
    while true; do
        fk_sim_request announce "$foreign" >/dev/null 2>&1
        sleep 0.5
    done
) &
FK_BG_PIDS+=($!)
fix="This PC has no address in 198.19.5.0/24; add one to $FK_CTL_IF1, for example 198.19.5.250/24"
run_doctor foreign 1
line=$(doctor_line "$FK_WORK/foreign.out" "$foreign answers from 198.19.5.20")
[ "$line" = "blocking|$fix" ] || fk_fail "the foreign radio is not reported with its fix: '$line'"

fk_cli discover --seconds 3 --format json >"$FK_WORK/discover.out" 2>"$FK_WORK/discover.err" ||
    fk_fail "discover failed"
fk_check '
rows = {r["MAC"]: r for r in load_json(args[0])}
expect(rows[args[1]]["Network"] == args[2], "foreign radio row %r" % rows.get(args[1]))
expect(rows["02:46:4b:00:00:01"]["Network"] == "", "reachable radio row %r" % rows["02:46:4b:00:00:01"])
' "$FK_WORK/discover.out" "$foreign" "$fix"

fk_cli send --ip 198.19.5.20 --mac "$foreign" --type 9 --discover-first 3 \
    >"$FK_WORK/send.out" 2>"$FK_WORK/send.err"
rc=$?
[ "$rc" -eq 1 ] || fk_fail "send to the foreign radio exited $rc, expected 1"
grep -qF "send: $fix" "$FK_WORK/send.err" || fk_fail "send does not say why"
fk_cli reboot --mac "$foreign" --seconds 3 >"$FK_WORK/reboot.out" 2>"$FK_WORK/reboot.err" &&
    fk_fail "reboot of the foreign radio succeeded"
grep -qF "reboot: $foreign answered from 198.19.5.20, which this PC cannot reach: $fix" \
    "$FK_WORK/reboot.err" || fk_fail "reboot does not say why: $(cat "$FK_WORK/reboot.err")"
fk_pass
