#!/usr/bin/env bash
# `fieldkit-cli set-ip` on three simulated radios over a range that crosses a /24
# boundary in a /23 (198.18.0.254 to 198.18.1.5): the hand-out skips .255 and .0, each
# radio restarts under its new address and reports from there within the window's
# 15 s wait, which the command says per radio. --dry-run prints the three commands and
# sends nothing; a range shorter than the selection and the window's own range rule
# are refused with exit 3 before anything is sent.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1 23
cat >"$FK_WORK/radios.conf" <<CONF
radio mac=02:46:4b:00:00:01 ip=198.18.0.20 prefix=23 iface=$FK_LAN_IF1
radio mac=02:46:4b:00:00:02 ip=198.18.0.21 prefix=23 iface=$FK_LAN_IF1
radio mac=02:46:4b:00:00:03 ip=198.18.0.22 prefix=23 iface=$FK_LAN_IF1
CONF
fk_start_sim --config "$FK_WORK/radios.conf" --restart-ms 3000
macs=(--mac 02:46:4b:00:00:01 --mac 02:46:4b:00:00:02 --mac 02:46:4b:00:00:03)
range=(--mask 255.255.254.0 --gateway 198.18.0.1 --dns1 198.18.0.1)

fk_cli set-ip "${macs[@]}" --begin 198.18.0.254 --end 198.18.1.5 "${range[@]}" --seconds 3 \
    --dry-run >"$FK_WORK/dry.out" 2>"$FK_WORK/dry.err" || fk_fail "set-ip --dry-run failed"
fk_check '
lines = open(args[0]).read().split("\n")
lines = [l for l in lines if l]
expect(len(lines) == 3, "three commands: %r" % lines)
for line, (mac, old, new) in zip(lines, [("02:46:4b:00:00:01", "198.18.0.20", "198.18.0.254"),
                                          ("02:46:4b:00:00:02", "198.18.0.21", "198.18.1.1"),
                                          ("02:46:4b:00:00:03", "198.18.0.22", "198.18.1.2")]):
    words = line.split()
    expect(words[:5] == [mac, old, "->", new, "MSG_SET_IP"] and words[5] == "22",
           "dry-run line %r" % line)
    block = bytes.fromhex(words[6])
    expect(block[0] == 1 and list(block[1:5]) == [int(x) for x in new.split(".")]
           and list(block[5:9]) == [255, 255, 254, 0], "block %s for %s" % (words[6], new))
' "$FK_WORK/dry.out"

fk_cli set-ip "${macs[@]}" --begin 198.18.0.30 --end 198.18.0.31 "${range[@]}" --seconds 3 \
    >"$FK_WORK/short.out" 2>"$FK_WORK/short.err"
rc=$?
[ "$rc" -eq 3 ] || fk_fail "a range shorter than the selection exited $rc, expected 3"
grep -q "holds 2 usable addresses for 3 radios" "$FK_WORK/short.err" ||
    fk_fail "the short range is not explained"
fk_cli set-ip --mac 02:46:4b:00:00:01 --mac 02:46:4b:00:00:02 --begin 198.18.0.30 \
    --end 198.18.0.30 "${range[@]}" >"$FK_WORK/same.out" 2>"$FK_WORK/same.err"
rc=$?
[ "$rc" -eq 3 ] || fk_fail "begin equal to end exited $rc, expected 3"
grep -qi "The ip address is invalid!" "$FK_WORK/same.err" || fk_fail "the window's message is missing"

start=$SECONDS
fk_cli set-ip "${macs[@]}" --begin 198.18.0.254 --end 198.18.1.5 "${range[@]}" --seconds 3 \
    --format json >"$FK_WORK/set.out" 2>"$FK_WORK/set.err" || fk_fail "set-ip exited $?"
fk_log "set-ip took $((SECONDS - start)) s"
fk_state "$FK_WORK/state.json"
fk_check '
out = load_json(args[0])
radios = by_mac(sim_radios(args[1]))
expected = [("02:46:4b:00:00:01", "198.18.0.254"), ("02:46:4b:00:00:02", "198.18.1.1"),
            ("02:46:4b:00:00:03", "198.18.1.2")]
rows = out["radios"]
expect([r["MAC"] for r in rows] == [m for m, _ in expected], "rows in the order named: %r" % rows)
for row, (mac, ip) in zip(rows, expected):
    expect(row["Given"] == ip and row["Reported"] == "yes" and row["IP now"] == ip,
           "%s: %r" % (mac, row))
    r = radios[mac]
    expect(r["ip"] == ip and r["ip_mask"] == "255.255.254.0" and r["gateway"] == "198.18.0.1"
           and r["dns1"] == "198.18.0.1", "the radio holds %r" % {k: r[k] for k in ("ip", "ip_mask", "gateway", "dns1")})
    # Nothing of the dry run or the refused ranges reached a radio.
    expect(r["received"].get("3", 0) == 1, "%s received MSG_SET_IP %r times" % (mac, r["received"].get("3")))
' "$FK_WORK/set.out" "$FK_WORK/state.json"
fk_pass
