#!/usr/bin/env bash
# The desktop program reboots three radios from its reboot page at the real timing: the
# access point of a bridged station hears its command first, the two others about
# 200 ms later in the list's order; their Status cells show "Restarting" while the
# wait window is open, and after its minute the radios are listed again, online.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-testdriver fieldkit-devsim
fk_topology 1
ap=02:46:4b:00:00:01
station=02:46:4b:00:00:02
second=02:46:4b:00:00:03
third=02:46:4b:00:00:04
cat >"$FK_WORK/radios.conf" <<CONF
radio mac=$ap ip=198.18.0.20 iface=$FK_LAN_IF1 work_mode=1 ssid_mac=02:aa:00:00:00:01
radio mac=$station ip=198.18.0.21 iface=$FK_LAN_IF1 work_mode=2 bridge_mac=02:aa:00:00:00:01
radio mac=$second ip=198.18.0.22 iface=$FK_LAN_IF1 work_mode=1
radio mac=$third ip=198.18.0.23 iface=$FK_LAN_IF1 work_mode=1
CONF
# Long enough to be seen by the page's once-a-second status copy, well inside the minute.
fk_start_sim --config "$FK_WORK/radios.conf" --restart-ms 8000

cat >"$FK_WORK/script.txt" <<SCRIPT
search
wait-rows 4 30
search
wait-idle 5
show-page 136
tick $ap
tick $second
tick $third
answer-next ok
press Reboot
wait-cell $ap Status Restarting 15
wait-cell $second Status Restarting 15
wait-cell $third Status Restarting 15
dump-page $FK_WORK/during.tsv
wait-batch 90
dump-page $FK_WORK/after.tsv
quit
SCRIPT

mkdir -p "$FK_WORK/bin"
cp "$FK_BIN/fieldkit-testdriver" "$FK_BIN/Setting.ini" "$FK_WORK/bin/"
cp -r "$FK_BIN/Languages" "$FK_BIN/Skin" "$FK_WORK/bin/"
start=$SECONDS
ip netns exec "$FK_NS_CTL" env QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 timeout 150 \
    "$FK_WORK/bin/fieldkit-testdriver" --e2e-script "$FK_WORK/script.txt" \
    >"$FK_WORK/gui.out" 2>"$FK_WORK/gui.err" || fk_fail "the program failed or hung"
fk_log "the program ran $((SECONDS - start)) s"
grep -q '\[script\] FAIL' "$FK_WORK/gui.err" && fk_fail "the script failed: $(grep FAIL "$FK_WORK/gui.err")"
[ -f "$FK_WORK/after.tsv" ] || fk_fail "the script did not reach its end"

fk_state "$FK_WORK/state.json"
fk_check '
def table(path):
    lines = open(path, encoding="utf-8").read().splitlines()
    header = lines[0].split("\t")
    return {row[header.index("MAC")]: dict(zip(header, row)) for row in (l.split("\t") for l in lines[1:])}
radios = by_mac(sim_radios(args[0]))
ap, station, second, third = args[3:7]
heard = {mac: radios[mac]["first_heard_ms"].get("9") for mac in (ap, second, third)}
expect(all(t is not None for t in heard.values()), "every ticked radio heard its reboot: %r" % heard)
# The list runs in descending address order: third (.23) before second (.22).
expect(heard[third] - heard[ap] >= 150, "the others came %d ms after the access point" % (heard[third] - heard[ap]))
expect(heard[second] >= heard[third], "grid order kept: %r" % heard)
expect("9" not in radios[station]["received"], "the station was not ticked")
for mac in (ap, second, third):
    expect(radios[mac]["restarts"] == 1, "%s restarted %d times" % (mac, radios[mac]["restarts"]))
during, after = table(args[1]), table(args[2])
expect(all(during[m]["Status"] == "Restarting" for m in (ap, second, third)), "during: %r" % during)
expect(set(after) == {ap, station, second, third}, "listed again: %r" % sorted(after))
expect(all(after[m]["Status"] == "Online" for m in after), "after: %r" % {m: r["Status"] for m, r in after.items()})
' "$FK_WORK/state.json" "$FK_WORK/during.tsv" "$FK_WORK/after.tsv" "$ap" "$station" "$second" "$third"
fk_pass
