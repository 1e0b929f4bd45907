#!/usr/bin/env bash
# The desktop program, offscreen in its own namespace: the management page opens the
# window for a simulated radio, a new SSID, channel and security, name, address and
# weekly reboot are saved, the 15-second wait window runs with its searches at real
# timing, and the radio's state shows every change; the wireless block it received is
# the one `fieldkit-cli configure --dry-run` prints for the same inputs, and the radio
# reports the new settings. Set FK_SHOTS=DIR to keep a picture of each tab (the wireless
# tab in each family of security modes).
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-testdriver fieldkit-devsim
fk_topology 1
fk_start_sim --group "count=3,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1" --restart-ms 2000 \
    --set "#1 model=268 work_mode=1"
target=02:46:4b:00:00:02
shots=${FK_SHOTS:-$FK_WORK}
wireless=(--ssid north-net --channel 149 --security WPA2-PSK --psk north-pass-phrase)
fk_cli configure --mac "$target" --seconds 8 "${wireless[@]}" --dry-run >"$FK_WORK/dry.out" \
    2>"$FK_WORK/dry.err" || fk_fail "the dry run failed"

cat >"$FK_WORK/script.txt" <<SCRIPT
search
wait-rows 3 30
manage $target
wait-window 10
window-screenshot $shots/management-wireless-wep.png
set security None
window-screenshot $shots/management-wireless-none.png
set security WPA2
window-screenshot $shots/management-wireless-radius.png
set ssid north-net
set channel 149
set security WPA2-PSK
set psk north-pass-phrase
window-screenshot $shots/management-wireless-wpa2-psk.png
tab ip
window-screenshot $shots/management-ip.png
set name north-$FK_ID
set ip 198.18.0.60
tab vlan
window-screenshot $shots/management-vlan.png
tab reboot
set reboot on
set hour 3
set minute 30
set day 0
set day 4
window-screenshot $shots/management-reboot.png
save
wait-closed 60
quit
SCRIPT

mkdir -p "$FK_WORK/bin"
cp "$FK_BIN/fieldkit-testdriver" "$FK_BIN/Setting.ini" "$FK_WORK/bin/"
cp -r "$FK_BIN/Languages" "$FK_BIN/Skin" "$FK_WORK/bin/"
start=$(date +%s)
ip netns exec "$FK_NS_CTL" env QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" ${DISPLAY:+DISPLAY=$DISPLAY} \
    timeout 150 "$FK_WORK/bin/fieldkit-testdriver" --e2e-script "$FK_WORK/script.txt" \
    >"$FK_WORK/gui.out" 2>"$FK_WORK/gui.err" || fk_fail "the program failed or hung"
grep -q '\[script\] FAIL' "$FK_WORK/gui.err" && fk_fail "the script failed"
grep -q '\[script\] quit' "$FK_WORK/gui.err" || fk_fail "the script did not reach its end"
fk_log "search, window and wait took $(($(date +%s) - start))s"

fk_cli show --mac "$target" --seconds 8 --format json >"$FK_WORK/show.out" \
    2>"$FK_WORK/show.err" || fk_fail "show after the save failed"
fk_state "$FK_WORK/state.json"
fk_check '
radio = by_mac(sim_radios(args[0]))[args[1]]
expect(radio["name"] == "north-" + args[2], "name %r" % radio["name"])
expect(radio["ip"] == "198.18.0.60", "ip %r" % radio["ip"])
expect(radio["schedule"] == {"en": 1, "days": 0x22, "minutes": 210}, "schedule %r" % radio["schedule"])
expect(radio["received"].get("13", 0) == 0, "an unchanged VLAN tab sent MSG_SET_VLAN")
expect(radio["ssid"] == "north-net" and radio["channel"] == 149 and radio["secure_mode"] == 3
       and radio["wireless"]["psk"] == "north-pass-phrase", "wireless %r" % radio["wireless"])
dry = [line.split() for line in open(args[3]) if line.strip()]
expect([d[0] for d in dry] == ["MSG_SET_WIRELESS"], "dry run %r" % dry)
expect(dry[0][2].lower() == radio["wireless_hex"], "the window sent other bytes than the dry run")
shown = {s["Setting"]: s["Value"] for s in load_json(args[4])}
expect(shown.get("SSID") == "north-net" and shown.get("Channel") == "149"
       and shown.get("Security mode") == "WPA2-PSK", "the radio reports %r" % shown)
' "$FK_WORK/state.json" "$target" "$FK_ID" "$FK_WORK/dry.out" "$FK_WORK/show.out"
for tab in ip vlan reboot wireless-none wireless-wep wireless-wpa2-psk wireless-radius; do
    [ -s "$shots/management-$tab.png" ] || fk_fail "no picture of the $tab tab"
done
fk_pass
