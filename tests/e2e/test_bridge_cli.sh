#!/usr/bin/env bash
# `fieldkit-cli bridge`: every field preset from the chosen access point and the
# radio's record as the wizard does; the bytes of --dry-run are the bytes the radio
# receives, and they match the payload layout built here independently; the radio
# becomes a station of the access point and reports it; every refusal exits 3 with the
# wizard's message and sends nothing; a radio that refuses answers "Bridge fail".
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1
# #0 2.4 GHz in China; #1 mode switch at AP; #2 5 GHz, a country code without a row;
# #3 refuses bridging.
fk_start_sim --group "count=4,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1" --restart-ms 1500 \
    --set "* scan_profile=codes" --set "#1 mode_btn=1" --set "#2 country=7" \
    --set "#3 bridge_result=1"
mac0=02:46:4b:00:00:01
wpa2_ap=02:cc:00:01:00:07  # code 6: WPA2-PSK/TKIP&AES on channel 6, "code-6"

bridge() {
    local name=$1
    shift
    fk_cli bridge "$@" >"$FK_WORK/$name.out" 2>"$FK_WORK/$name.err"
}

bridge dry --mac $mac0 --ap $wpa2_ap --key "correct horse" --key-interval 3600 --dry-run ||
    fk_fail "dry run failed"
fk_state "$FK_WORK/before.json"
fk_check '
import socket, struct
radio = by_mac(sim_radios(args[0]))[args[2]]
name, size, hexed = open(args[1]).read().split()
expect(name == "MSG_SET_BRIDGE" and size == "326", "dry run printed %s %s" % (name, size))
ssid, key = b"code-6", b"correct horse"
want = bytes([2]) + bytes.fromhex(args[3].replace(":", "")) + bytes([6])
want += ssid.ljust(32, b"\0") + bytes([len(ssid), 0])
want += bytes([3, 2]) + key.ljust(64, b"\0") + bytes([len(key)]) + struct.pack("<I", 3600)
want += bytes(304 - len(want))
want += bytes([1]) + b"".join(socket.inet_aton(radio[k]) for k in ("ip", "ip_mask", "gateway", "dns1", "dns2")) + bytes([0])
expect(bytes.fromhex(hexed) == want, "dry run bytes\n%s\nexpected\n%s" % (hexed, want.hex()))
expect("7" not in radio["received"], "a dry run sent MSG_SET_BRIDGE")
' "$FK_WORK/before.json" "$FK_WORK/dry.out" $mac0 $wpa2_ap

bridge wet --mac $mac0 --ap $wpa2_ap --key "correct horse" --key-interval 3600 ||
    fk_fail "bridging radio #0 failed"
[ "$(cat "$FK_WORK/wet.out")" = "Bridge success" ] || fk_fail "printed $(cat "$FK_WORK/wet.out")"
station() {
    fk_state "$FK_WORK/after.json"
    fk_radio_field "$FK_WORK/after.json" $mac0 'r["phase"]' | grep -q online
}
fk_wait_until 10 station || fk_fail "radio #0 did not come back from its restart"
fk_check '
radio = by_mac(sim_radios(args[0]))[args[1]]
dry = open(args[2]).read().split()[2]
expect(radio["payloads"].get("7") == dry, "the radio received other bytes than the dry run printed")
expect(radio["received"].get("7") == 1, "MSG_SET_BRIDGE arrived %r times" % radio["received"].get("7"))
expect(radio["work_mode"] == 2, "work mode %r, not Station" % radio["work_mode"])
expect(radio["bridge"] == {"mode": 2, "mac": args[3], "channel": 6, "ssid": "code-6"},
       "bridge fields %r" % radio["bridge"])
' "$FK_WORK/after.json" $mac0 "$FK_WORK/dry.out" $wpa2_ap

# Refusals: the message of the step and exit 3, nothing sent.
refused() {
    local name=$1 message=$2
    shift 2
    bridge "$name" "$@"
    local rc=$?
    [ "$rc" -eq 3 ] || fk_fail "$name: exit $rc, expected 3"
    grep -qF -- "$message" "$FK_WORK/$name.err" || fk_fail "$name: said $(cat "$FK_WORK/$name.err")"
    fk_log "$name: refused"
}
psk_message="Please enter a key of 8 to 63 ASCII characters or 8 to 64 hex digits!"
refused short_key "$psk_message" --mac $mac0 --ap $wpa2_ap --key "7 chars"
refused hex_with_g "$psk_message" --mac $mac0 --ap $wpa2_ap --key "$(printf 'a%.0s' {1..63})g"
refused wpa_both_ciphers "not offered with this security; offered: AES, TKIP" \
    --mac $mac0 --ap $wpa2_ap --security WPA-PSK --cipher "TKIP&AES" --key "correct horse"
refused five_ghz_channel "offered: Auto, 1, 2, 3" --mac $mac0 --ap $wpa2_ap --channel 149 \
    --key "correct horse"
refused empty_ssid "The SSID cannot be empty!" --mac $mac0 --ap $wpa2_ap --ssid "" \
    --key "correct horse"
refused bad_ip "The IP address is invalid!" --mac $mac0 --ap $wpa2_ap --key "correct horse" \
    --ip 198.18.0.0
refused mode_switch "The mode switch is at the AP position" --mac 02:46:4b:00:00:02 \
    --ap 02:cc:00:02:00:07 --key "correct horse"
refused no_row_channel "offered: Auto, 6" --mac 02:46:4b:00:00:03 --ap 02:cc:00:03:00:07 \
    --channel 36 --key "correct horse"
refused wep_key "The WEP key is invalid! Please enter 10 or 26 hex digits!" \
    --mac 02:46:4b:00:00:03 --ap 02:cc:00:03:00:02 --key abcde --key-type Hex

# A country without a row still offers the access point's channel; WEP keys and a
# Chinese SSID travel as the wizard sends them.
bridge wep --mac 02:46:4b:00:00:03 --ap 02:cc:00:03:00:02 --ssid "桥接点" --key abcde \
    --key-type ASCII --wep-auth Share --dns2 255.255.255.255 ||
    fk_fail "bridging radio #2 with WEP failed: $(cat "$FK_WORK/wep.err")"
bridge refusing --mac 02:46:4b:00:00:04 --ap 02:cc:00:04:00:01
rc=$?
[ "$rc" -eq 1 ] && [ "$(cat "$FK_WORK/refusing.out")" = "Bridge fail" ] ||
    fk_fail "radio #3 refusing: exit $rc, printed $(cat "$FK_WORK/refusing.out")"
bridge unheard --mac $mac0 --ap 02:ee:00:00:00:01 --key "correct horse"
rc=$?
[ "$rc" -eq 1 ] && grep -q "did not hear" "$FK_WORK/unheard.err" ||
    fk_fail "an access point not heard: exit $rc"

fk_state "$FK_WORK/final.json"
fk_check '
radios = by_mac(sim_radios(args[0]))
for mac in ("02:46:4b:00:00:01", "02:46:4b:00:00:02"):
    expect(radios[mac]["received"].get("7", 0) <= 1, "a refusal reached %s" % mac)
expect("7" not in radios["02:46:4b:00:00:02"]["received"], "the mode switch was ignored")
wep = bytes.fromhex(radios["02:46:4b:00:00:03"]["payloads"]["7"])
ssid = "桥接点".encode()
expect(wep[7] == 149 and wep[8:8 + len(ssid)] == ssid and wep[40] == len(ssid),
       "channel %d, SSID bytes %r, count %d" % (wep[7], wep[8:17], wep[40]))
expect(wep[42] == 1 and wep[43:113] == bytes(70), "WEP mode with no pass phrase")
expect(wep[113] == 1 and wep[114] == 1 and wep[115] == 0 and wep[116:121] == b"abcde" and wep[142] == 5,
       "WEP fields %r" % wep[113:143].hex())
expect(wep[227:304] == bytes(77) and wep[321:325] == bytes([255] * 4), "RADIUS zero, DNS 2 as typed")
refusing = radios["02:46:4b:00:00:04"]
before = by_mac(sim_radios(args[1]))["02:46:4b:00:00:04"]
expect(refusing["received"].get("7") == 1, "the refusing radio heard %r" % refusing["received"])
expect((refusing["work_mode"], refusing["bridge"]) == (before["work_mode"], before["bridge"]),
       "the refusing radio changed: %r" % refusing["bridge"])
' "$FK_WORK/final.json" "$FK_WORK/before.json"
fk_pass
