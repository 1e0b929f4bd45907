#!/usr/bin/env bash
# The desktop program, offscreen in its own namespace: "Search" on the status page
# lists every simulated radio within the 30-second session, and a name typed into a
# row's "Location" cell lands on that radio.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-testdriver fieldkit-devsim
fk_topology 1
radios=6
fk_start_sim --group "count=$radios,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1"
target=02:46:4b:00:00:03
new_name="mast-$FK_ID"

cat >"$FK_WORK/script.txt" <<SCRIPT
search
wait-rows $radios 30
dump $FK_WORK/found.tsv
wait-idle 40
rename $target $new_name
dump $FK_WORK/renamed.tsv
wait-senders 10
quit
SCRIPT

# The program's directory holds its data file; a copy keeps runs apart.
mkdir -p "$FK_WORK/bin"
cp "$FK_BIN/fieldkit-testdriver" "$FK_BIN/Setting.ini" "$FK_WORK/bin/"
cp -r "$FK_BIN/Languages" "$FK_BIN/Skin" "$FK_WORK/bin/"
ip netns exec "$FK_NS_CTL" env QT_QPA_PLATFORM=offscreen timeout 90 \
    "$FK_WORK/bin/fieldkit-testdriver" --e2e-script "$FK_WORK/script.txt" \
    >"$FK_WORK/gui.out" 2>"$FK_WORK/gui.err" || fk_fail "the program failed or hung"
grep -q '\[script\] FAIL' "$FK_WORK/gui.err" && fk_fail "the script failed"
[ -f "$FK_WORK/renamed.tsv" ] || fk_fail "the script did not reach its end"

renamed() {
    fk_state "$FK_WORK/state.json"
    [ "$(fk_radio_field "$FK_WORK/state.json" "$target" 'r["name"]')" = "$new_name" ]
}
fk_wait_until 10 renamed || fk_fail "the radio did not take the name $new_name"

fk_check '
radios = sim_radios(args[0])
rows = [line.split("\t") for line in open(args[1]).read().splitlines()]
listed = {row[0]: row for row in rows}
for radio in radios:
    expect(radio["mac"] in listed, "radio %s is not in the status list" % radio["mac"])
    expect(listed[radio["mac"]][1] == radio["ip"],
           "radio %s listed at %r, it is at %r" % (radio["mac"], listed[radio["mac"]][1], radio["ip"]))
expect(len(rows) == len(radios), "%d rows for %d radios" % (len(rows), len(radios)))
renamed = {row[0]: row for row in (l.split("\t") for l in open(args[2]).read().splitlines())}
expect(renamed[args[3]][2] == args[4], "the cell shows %r" % renamed[args[3]][2])
radio = by_mac(radios)[args[3]]
expect(radio["received"].get("8", 0) >= 1, "MSG_SET_NAME never arrived")
' "$FK_WORK/state.json" "$FK_WORK/found.tsv" "$FK_WORK/renamed.tsv" "$target" "$new_name"
fk_pass
