#!/usr/bin/env bash
# 300 radios send keep-alives every 100 ms (3,000 a second) while the controller
# repeats a command every 5 ms: every keep-alive sent in the measured window is
# answered, so none was lost to the command sends.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1 22
fk_start_sim --group "count=300,base=198.18.0.20,prefix=22,iface=$FK_LAN_IF1" \
    --keepalive-ms 100 --quiet --set "#299 silent=1"
target_ip=$(python3 -c 'import ipaddress; print(ipaddress.ip_address("198.18.0.20") + 299)')

fk_cli send --discover-first 3 --ip "$target_ip" --mac 02:46:4b:00:01:2c --type 5 \
    --payload "$(fk_hex_zeros 4)" --retransmission-max 1500 --retransmission-interval 5 \
    --wait 10 >"$FK_WORK/send.out" 2>"$FK_WORK/send.err" &
cli_pid=$!

all_registered() {
    fk_state "$FK_WORK/t1.json"
    python3 -c '
import json, sys
r = json.load(open(sys.argv[1]))["radios"]
sys.exit(0 if sum(x["registered"] for x in r) == 299 else 1)' "$FK_WORK/t1.json"
}
fk_wait_until 20 all_registered || fk_fail "not every radio registered"
sleep 1  # keep-alives get going; the window below is a measurement, not a wait
fk_state "$FK_WORK/t1.json"
sleep 4
fk_state "$FK_WORK/t2.json"
wait "$cli_pid" || fk_fail "send failed"

fk_check '
t1 = by_mac(sim_radios(args[0]))
t2 = by_mac(sim_radios(args[1]))
sent = answered = 0
for mac, r in t2.items():
    if not r["registered"] or mac == "02:46:4b:00:01:2c":
        continue
    sent += r["keepalives_sent"] - t1[mac]["keepalives_sent"]
    answered += r["received"].get("15", 0) - t1[mac]["received"].get("15", 0)
commands = t2["02:46:4b:00:01:2c"]["received"].get("5", 0) - t1["02:46:4b:00:01:2c"]["received"].get("5", 0)
print("window: %d keep-alives sent, %d answered, %d commands repeated" % (sent, answered, commands))
expect(sent > 8000, "the flood was too thin to mean anything: %d" % sent)
expect(commands >= 100, "the command loop did not run during the window: %d" % commands)
# Answers still in flight at the edges of the window: at most one per radio.
expect(answered >= sent - 299, "%d keep-alives went unanswered" % (sent - answered))
' "$FK_WORK/t1.json" "$FK_WORK/t2.json"
fk_pass
