#!/usr/bin/env bash
# The management window's Save from the command line: a rename, an address, a VLAN and
# a schedule land on the radio byte for byte as `--dry-run` printed them; the VLAN
# change makes it restart and the real 60-second wait runs; a rule's refusal and an
# input the model does not have exit 3 and send nothing. The wireless settings of an
# 11ac radio on a radar channel land as printed and the radio reports them; what the
# tab would not offer is refused, and a rename leaves the channel alone.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1
# Radio 0: a three-port model as an access point; radio 1: a station; radio 2: an 11ac
# access point in China on channel 100, a radar channel the lists do not offer.
fk_start_sim --group "count=3,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1" --restart-ms 3000 \
    --set "#0 model=268 work_mode=1" --set "#1 work_mode=2" \
    --set "#2 model=268 work_mode=1 band=5 bandwidth=0 channel=100 country=0 secure_mode=0 ssid=dfs-mast name=dfs"
ap=02:46:4b:00:00:01
station=02:46:4b:00:00:02
dfs=02:46:4b:00:00:03

settings=(--name north-mast --ip 198.18.0.40 --mask 255.255.255.0 --gateway 198.18.0.1
    --vlan on --manage-vlan 100 --wlan-vlan 200 --pvid 7 --lan2-vlan 10 --lan3-vlan 11
    --lan4-vlan 12 --timed-reboot on --reboot-time 03:30 --reboot-days mon,fri)
fk_cli configure --mac "$ap" --seconds 8 "${settings[@]}" --dry-run >"$FK_WORK/dry.out" \
    2>"$FK_WORK/dry.err" || fk_fail "dry run failed"
fk_state "$FK_WORK/before.json"

# Refusals: nothing may reach the radio.
fk_cli configure --mac "$station" --seconds 8 --vlan on >"$FK_WORK/r1.out" 2>"$FK_WORK/r1.err"
[ $? -eq 3 ] || fk_fail "VLAN on a station was not refused with exit 3"
grep -q "access point" "$FK_WORK/r1.err" || fk_fail "the refusal does not say what is offered"
fk_cli configure --mac "$ap" --seconds 8 --gateway 198.18.5.1 >"$FK_WORK/r2.out" 2>"$FK_WORK/r2.err"
[ $? -eq 3 ] || fk_fail "a gateway outside the subnet was not refused with exit 3"
grep -q "not in the same subnet" "$FK_WORK/r2.err" || fk_fail "wrong message: $(cat "$FK_WORK/r2.err")"
# The address of a radio that may report after the target is in use all the same: the
# whole search runs before the check. Its spelling with a leading zero is not an address.
fk_cli configure --mac "$ap" --seconds 4 --ip 198.18.0.22 --mask 255.255.255.0 \
    >"$FK_WORK/r3.out" 2>"$FK_WORK/r3.err"
[ $? -eq 3 ] || fk_fail "another radio's address was not refused with exit 3"
grep -q "already in use" "$FK_WORK/r3.err" || fk_fail "wrong message: $(cat "$FK_WORK/r3.err")"
for spelled in "--ip 198.18.0.022" "--mask 000.0.0.0" "--gateway 198.18.0.01"; do
    # shellcheck disable=SC2086
    fk_cli configure --mac "$ap" --seconds 4 $spelled >"$FK_WORK/r4.out" 2>"$FK_WORK/r4.err"
    [ $? -eq 2 ] || fk_fail "$spelled was not refused as a usage error"
done

# Wireless refusals name what the tab offers; a station's SSID is not the user's.
refuse() {
    local want=$1
    shift
    fk_cli configure --seconds 8 "$@" >"$FK_WORK/w.out" 2>"$FK_WORK/w.err"
    [ $? -eq 3 ] || fk_fail "not refused with exit 3: $*"
    grep -qF -- "$want" "$FK_WORK/w.err" || fk_fail "refusal of '$*' says: $(cat "$FK_WORK/w.err")"
}
refuse "offers 11b, 11g, 11b/g, 11b/g/n" --mac "$ap" --net-mode 11ac
refuse "offers Auto, 10MHz, 20MHz, 30MHz, 40MHz" --mac "$dfs" --bandwidth 80MHz
refuse "offers Auto, 36, 40, 44, 48, 149, 153, 157, 161, 165, 100" --mac "$dfs" --channel 52
refuse "only --power and --bandwidth" --mac "$station" --ssid other
refuse "has no such input" --mac "$dfs" --psk abcdefgh
refuse "AES, TKIP" --mac "$dfs" --security WPA-PSK --cipher "TKIP&AES" --psk abcdefgh
refuse "The SSID cannot be empty!" --mac "$dfs" --ssid ""

# Untouched, the radar channel stays: a rename sends the name alone.
fk_cli configure --mac "$dfs" --seconds 8 --name renamed --dry-run >"$FK_WORK/rename.out" \
    2>"$FK_WORK/rename.err" || fk_fail "rename dry run failed"
[ "$(cut -d' ' -f1 "$FK_WORK/rename.out")" = MSG_SET_NAME ] ||
    fk_fail "a rename sent more than the name: $(cat "$FK_WORK/rename.out")"

wireless=(--ssid dfs-north --ssid-hidden on --net-mode 11ac --bandwidth 80MHz --power 23
    --channel 149 --security WPA2-PSK --cipher AES --psk north-pass-1 --key-interval 600)
fk_cli configure --mac "$dfs" --seconds 8 "${wireless[@]}" --dry-run >"$FK_WORK/wdry.out" \
    2>"$FK_WORK/wdry.err" || fk_fail "wireless dry run failed"
fk_cli configure --mac "$dfs" --seconds 8 "${wireless[@]}" >"$FK_WORK/wrun.out" \
    2>"$FK_WORK/wrun.err" || fk_fail "wireless configure failed"
fk_cli show --mac "$dfs" --seconds 8 --format json >"$FK_WORK/wshow.out" 2>"$FK_WORK/wshow.err" ||
    fk_fail "show after the wireless change failed"
fk_state "$FK_WORK/wireless.json"
fk_check '
radio = by_mac(sim_radios(args[0]))[args[1]]
dry = [line.split() for line in open(args[2]) if line.strip()]
expect([d[0] for d in dry] == ["MSG_SET_WIRELESS"] and dry[0][1] == "328", "dry run %r" % dry)
expect(dry[0][2].lower() == radio["wireless_hex"], "the radio holds other bytes than the dry run printed")
w = radio["wireless"]
expect(radio["ssid"] == "dfs-north" and radio["channel"] == 149 and radio["secure_mode"] == 3,
       "radio %r" % {k: radio[k] for k in ("ssid", "channel", "secure_mode")})
expect(w["net_mode"] == 2 and w["bandwidth"] == 3 and w["power"] == 23 and w["ssid_hide"] == 1
       and w["psk"] == "north-pass-1" and w["country"] == 0, "wireless %r" % w)
expect(radio["received"].get("4") == 1, "MSG_SET_WIRELESS received %r times" % radio["received"].get("4"))
shown = {s["Setting"]: s["Value"] for s in load_json(args[3])}
expect(shown.get("SSID") == "dfs-north" and shown.get("Channel") == "149"
       and shown.get("Security mode") == "WPA2-PSK" and shown.get("Bandwidth") == "80MHz",
       "show reports %r" % shown)
' "$FK_WORK/wireless.json" "$dfs" "$FK_WORK/wdry.out" "$FK_WORK/wshow.out"

start=$(date +%s)
fk_cli configure --mac "$ap" --seconds 8 "${settings[@]}" --format json >"$FK_WORK/run.out" \
    2>"$FK_WORK/run.err" || fk_fail "configure failed"
elapsed=$(($(date +%s) - start))
fk_log "configure with a VLAN change took ${elapsed}s"
fk_state "$FK_WORK/after.json"
fk_cli show --mac "$ap" --seconds 8 --format json >"$FK_WORK/show.out" 2>"$FK_WORK/show.err" ||
    fk_fail "show failed"
fk_cli show --mac 02:46:4b:00:00:99 --seconds 2 >/dev/null 2>&1 && fk_fail "show of an absent radio exited 0"
fk_check '
import json
before = by_mac(sim_radios(args[0]))
after = by_mac(sim_radios(args[1]))
dry = [line.split() for line in open(args[2]) if line.strip()]
expect([d[0] for d in dry] == ["MSG_SET_NAME", "MSG_SET_TIMED_REBOOT", "MSG_SET_VLAN", "MSG_SET_IP"],
       "dry run order: %r" % [d[0] for d in dry])
expect(dry[2][1] == "22" and dry[3][1] == "22", "lengths %r" % [d[1] for d in dry])
ap = after["02:46:4b:00:00:01"]
expect(ap["name"] == "north-mast", "name %r" % ap["name"])
expect(ap["ip"] == "198.18.0.40", "ip %r" % ap["ip"])
expect(ap["vlan"]["en"] == 1 and ap["vlan"]["id"] == 100 and ap["vlan"]["wlan"] == 200
       and ap["vlan"]["pvid"] == 7 and ap["vlan"]["lan"] == 10 and ap["vlan"]["lan3"] == 11
       and ap["vlan"]["lan4"] == 12, "vlan %r" % ap["vlan"])
expect(ap["schedule"] == {"en": 1, "days": 0x22, "minutes": 210}, "schedule %r" % ap["schedule"])
expect(ap["restarts"] >= 1, "the VLAN change did not restart the radio")
configuration = ["3", "4", "5", "8", "13"]
got = after["02:46:4b:00:00:02"]["received"]
expect(not any(t in got for t in configuration), "the refused station received %r" % got)
out = load_json(args[3])
expect(all(c["Answered"] == "yes" for c in out["commands"]) and len(out["commands"]) == 4,
       "answers %r" % out["commands"])
settings = {(s["Tab"], s["Setting"]): s["Value"] for s in out["settings"]}
expect(any(v == "198.18.0.40" for v in settings.values()), "the new address is not in the closing report")
shown = {(s["Tab"], s["Setting"]): s["Value"] for s in load_json(args[5])}
expect(shown.get(("IP settings", "IP address")) == "198.18.0.40"
       and shown.get(("VLAN", "Management VLAN")) == "100", "show lists %r" % shown)
expect(int(args[4]) >= 59, "the wait after a VLAN change lasted %ss, not a minute" % args[4])
' "$FK_WORK/before.json" "$FK_WORK/after.json" "$FK_WORK/dry.out" "$FK_WORK/run.out" "$elapsed" "$FK_WORK/show.out"
fk_pass
