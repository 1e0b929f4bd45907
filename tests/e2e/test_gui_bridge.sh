#!/usr/bin/env bash
# The desktop program, offscreen in its own namespace, at real timing: a search, then
# the bridge page's "Operate" cell of a radio opens the wizard, whose survey lists what
# the radio hears; the user picks a WPA2-PSK access point, types the key and saves.
# The row shows "Bridge success", the radio becomes a station of that access point and
# reports so, and the bytes it received are those `fieldkit-cli bridge --dry-run`
# prints for the same choices. Grabs of the survey and the security step are kept in
# FK_SHOTS_DIR when it is set (FK_QPA=xcb with DISPLAY set draws on an X server).
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-testdriver fieldkit-cli fieldkit-devsim
fk_topology 1
fk_start_sim --group "count=3,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1" --restart-ms 1500 \
    --set "#0 scan_profile=codes scan_packets=2 scan_order=1,0" \
    --set "#0 scan_ap=02:dd:00:00:00:01/11/9/-48/屋顶北侧"
target=02:46:4b:00:00:01
ap=02:cc:00:01:00:05  # code 4, WPA2-PSK/AES on channel 6, "code-4"

fk_cli bridge --mac $target --ap $ap --security WPA2-PSK --cipher AES --key "correct horse" \
    --dry-run >"$FK_WORK/dry.out" 2>"$FK_WORK/dry.err" || fk_fail "the dry run failed"

cat >"$FK_WORK/script.txt" <<SCRIPT
search
wait-rows 3 30
wait-idle 40
page 135
bridge-open $target
bridge-wait-survey 35
bridge-shot $FK_WORK/survey.png
bridge-pick $ap
bridge-next
bridge-security WPA2-PSK AES correct horse
bridge-shot $FK_WORK/security.png
bridge-next
bridge-next
bridge-next
bridge-wait-status 20 $target Bridge success
bridge-wait-mode 30 $target Station
quit
SCRIPT

mkdir -p "$FK_WORK/bin"
cp "$FK_BIN/fieldkit-testdriver" "$FK_BIN/Setting.ini" "$FK_WORK/bin/"
cp -r "$FK_BIN/Languages" "$FK_BIN/Skin" "$FK_WORK/bin/"
display=()
[ -n "${DISPLAY:-}" ] && display=(DISPLAY="$DISPLAY")
ip netns exec "$FK_NS_CTL" env QT_QPA_PLATFORM="${FK_QPA:-offscreen}" "${display[@]}" timeout 150 \
    "$FK_WORK/bin/fieldkit-testdriver" --e2e-script "$FK_WORK/script.txt" \
    >"$FK_WORK/gui.out" 2>"$FK_WORK/gui.err" || fk_fail "the program failed or hung"
grep -q '\[script\] FAIL' "$FK_WORK/gui.err" && fk_fail "the script failed"
grep -q '\[script\] quit' "$FK_WORK/gui.err" || fk_fail "the script did not reach its end"
for shot in survey security; do
    [ -s "$FK_WORK/$shot.png" ] || fk_fail "no $shot grab"
    [ -n "${FK_SHOTS_DIR:-}" ] && cp "$FK_WORK/$shot.png" "$FK_SHOTS_DIR/bridge-$shot.png"
done

fk_state "$FK_WORK/state.json"
fk_check '
radio = by_mac(sim_radios(args[0]))[args[1]]
dry = open(args[2]).read().split()
# One survey for the dry run, one for the wizard.
expect(radio["received"].get("6") == 2, "MSG_SCAN_AP arrived %r times" % radio["received"].get("6"))
expect(radio["received"].get("7") == 1, "MSG_SET_BRIDGE arrived %r times" % radio["received"].get("7"))
expect(radio["payloads"]["7"] == dry[2], "the wizard sent other bytes than the dry run printed")
expect(radio["work_mode"] == 2, "work mode %r" % radio["work_mode"])
expect(radio["bridge"] == {"mode": 2, "mac": args[3], "channel": 6, "ssid": "code-4"},
       "bridge fields %r" % radio["bridge"])
' "$FK_WORK/state.json" $target "$FK_WORK/dry.out" $ap
fk_pass
