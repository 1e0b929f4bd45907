#!/usr/bin/env bash
# The desktop program upgrades simulated radios of two models from its upgrade page at
# the real timing: the two radios of the chosen model fetch the image from our
# FileServer on port 69 and come back with the image's version, the radio of the other
# model is never told; the window shows the transfer and then the write phase, closes
# by itself and the list is read again. Screenshots of both phases are kept.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-testdriver fieldkit-devsim service/FileServer
fk_topology 1
first=02:46:4b:00:00:01
second=02:46:4b:00:00:02
other=02:46:4b:00:00:03
cat >"$FK_WORK/radios.conf" <<CONF
radio mac=$first ip=198.18.0.20 iface=$FK_LAN_IF1 model=3 tftp=1
radio mac=$second ip=198.18.0.21 iface=$FK_LAN_IF1 model=3 tftp=1
radio mac=$other ip=198.18.0.22 iface=$FK_LAN_IF1 model=5 tftp=1
CONF
fk_start_sim --config "$FK_WORK/radios.conf" --restart-ms 5000

mkdir -p "$FK_WORK/firmware"
image="$FK_WORK/firmware/fw-7.1.bin"
python3 -c 'import sys; open(sys.argv[1], "wb").write(bytes(range(256)) * 2000)' "$image"
size=$(stat -c %s "$image")

cat >"$FK_WORK/script.txt" <<SCRIPT
search
wait-rows 3 30
search
wait-idle 5
show-page 137
tick $first
tick $second
tick $other
press Upgrade
wait-upgrade-window 10
upgrade-choose $image NX-03
answer-next ok
upgrade-start
wait-upgrade-phase transfer 10
screenshot-all $FK_WORK/upgrade-transfer.png
wait-upgrade-phase write 60
wait-cell $first Status Upgrading 10
screenshot-all $FK_WORK/upgrade-write.png
wait-upgrade-closed 150
wait-cell $first Version fw-7.1 10
dump-page $FK_WORK/after.tsv
quit
SCRIPT

mkdir -p "$FK_WORK/bin/service"
cp "$FK_BIN/fieldkit-testdriver" "$FK_BIN/Setting.ini" "$FK_WORK/bin/"
cp "$FK_BIN/service/FileServer" "$FK_WORK/bin/service/"
cp -r "$FK_BIN/Languages" "$FK_BIN/Skin" "$FK_WORK/bin/"
start=$SECONDS
ip netns exec "$FK_NS_CTL" env QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 timeout 240 \
    "$FK_WORK/bin/fieldkit-testdriver" --e2e-script "$FK_WORK/script.txt" \
    >"$FK_WORK/gui.out" 2>"$FK_WORK/gui.err" || fk_fail "the program failed or hung: $(tail -3 "$FK_WORK/gui.err")"
fk_log "the program ran $((SECONDS - start)) s"
grep -q '\[script\] FAIL' "$FK_WORK/gui.err" && fk_fail "the script failed: $(grep FAIL "$FK_WORK/gui.err")"
[ -f "$FK_WORK/after.tsv" ] || fk_fail "the script did not reach its end"
if [ -n "${FK_SHOTS_DIR:-}" ]; then cp "$FK_WORK"/upgrade-*.png "$FK_SHOTS_DIR/"; fi

fk_state "$FK_WORK/state.json"
fk_check '
lines = open(args[1], encoding="utf-8").read().splitlines()
header = lines[0].split("\t")
after = {row[header.index("MAC")]: dict(zip(header, row)) for row in (l.split("\t") for l in lines[1:])}
radios = by_mac(sim_radios(args[0]))
first, second, other = args[2:5]
for mac in (first, second):
    expect(radios[mac]["upgrade"]["fetched"] == int(args[5]), "%s fetched %r" % (mac, radios[mac]["upgrade"]))
    expect(after[mac]["Version"] == "fw-7.1" and after[mac]["Status"] == "Online", "%s after: %r" % (mac, after[mac]))
expect("11" not in radios[other]["received"], "the other model was told to upgrade")
expect(after[other]["Version"] != "fw-7.1", "the other model changed: %r" % after[other])
' "$FK_WORK/state.json" "$FK_WORK/after.tsv" "$first" "$second" "$other" "$size"
pgrep -f "$FK_WORK/bin/service/FileServer" >/dev/null && fk_fail "FileServer still runs after the window closed"
fk_pass
