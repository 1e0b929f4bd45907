#!/usr/bin/env bash
# `fieldkit-cli survey` at the survey's real timing: a radio whose last result packet
# overtakes the other two by seconds is listed whole, strongest first, every security
# code with the list's text; a radio whose last packet never comes is listed from what
# did arrive when the 30-second bound passes; one that sends nothing fails after it.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1
fk_start_sim --group "count=3,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1" \
    --set "#0 scan_profile=codes scan_packets=3 scan_order=2,0,1 scan_gap_ms=1300" \
    --set "#0 scan_ap=02:dd:00:00:00:01/11/4/-50/twice-a scan_ap=02:dd:00:00:00:01/11/4/-52/twice-b" \
    --set "#1 scan_profile=codes scan_packets=2 scan_drop=1" \
    --set "#2 scan_packets=1 scan_drop=0"

expected='
import json
texts = ["None", "WEP", "WPA-PSK/AES", "WPA-PSK/TKIP", "WPA2-PSK/AES", "WPA2-PSK/TKIP",
         "WPA2-PSK/TKIP&AES", "WPA/WPA2-PSK/AES", "WPA/WPA2-PSK/TKIP", "WPA/WPA2-PSK/TKIP&AES"]
def security_text(code):
    return texts[code] if code < len(texts) else "WPA-PSK/TKIP&AES"
def listed_as(sim_entry):
    return {"SSID": sim_entry["ssid"], "Channel": str(sim_entry["channel"]),
            "MAC": sim_entry["mac"], "Security": security_text(sim_entry["secure_mode"]),
            "Signal": str(sim_entry["signal"])}
# What scan_profile=codes gives radio k (index k + 1): codes 0..12 and 255, signals
# cycling over both sides of the image bounds, channels 6 and 149.
def codes_profile(index):
    codes = list(range(13)) + [255]
    signals = [-90, -76, -75, -74, -61, -60, -59, -40]
    return [{"mac": "02:cc:%02x:%02x:00:%02x" % (index >> 8, index & 255, k + 1),
             "ssid": "code-%d" % code, "channel": 149 if k % 2 else 6,
             "secure_mode": code, "signal": signals[k % len(signals)]}
            for k, code in enumerate(codes)]
'

start=$SECONDS
fk_cli survey --mac 02:46:4b:00:00:01 --format json >"$FK_WORK/late.out" 2>"$FK_WORK/late.err" ||
    fk_fail "survey of the radio with late packets failed"
late_seconds=$((SECONDS - start))
fk_check "$expected"'
out = load_json(args[0])
want = codes_profile(1) + [{"mac": "02:dd:00:00:00:01", "ssid": "twice-b", "channel": 11,
                            "secure_mode": 4, "signal": -52}]
expect(len(out) == len(want), "%d access points listed, %d heard" % (len(out), len(want)))
signals = [int(row["Signal"]) for row in out]
expect(signals == sorted(signals, reverse=True), "not strongest first: %r" % signals)
listed = {row["MAC"]: row for row in out}
for entry in want:
    expect(listed.get(entry["mac"]) == listed_as(entry),
           "%s listed as %r, heard as %r" % (entry["mac"], listed.get(entry["mac"]), listed_as(entry)))
' "$FK_WORK/late.out"
fk_log "late packets: whole list after ${late_seconds}s"

start=$SECONDS
fk_cli survey --mac 02:46:4b:00:00:02 --format csv >"$FK_WORK/partial.out" 2>"$FK_WORK/partial.err" ||
    fk_fail "a partial survey lists what arrived"
partial_seconds=$((SECONDS - start))
[ "$partial_seconds" -ge 30 ] && [ "$partial_seconds" -le 40 ] ||
    fk_fail "the partial survey ended after ${partial_seconds}s, not at its 30 s bound"
fk_check "$expected"'
import csv
rows = list(csv.DictReader(open(args[0], encoding="utf-8")))
first_packet = codes_profile(2)[:7]
expect(sorted(r["MAC"] for r in rows) == sorted(e["mac"] for e in first_packet),
       "the partial list holds %r" % [r["MAC"] for r in rows])
' "$FK_WORK/partial.out"
fk_log "last packet lost: first packet listed after ${partial_seconds}s"

start=$SECONDS
fk_cli survey --mac 02:46:4b:00:00:03 >"$FK_WORK/none.out" 2>"$FK_WORK/none.err"
rc=$?
none_seconds=$((SECONDS - start))
[ "$rc" -eq 1 ] || fk_fail "a survey that brought nothing exits $rc, not 1"
[ "$none_seconds" -ge 30 ] || fk_fail "gave up after ${none_seconds}s, before the 30 s bound"
grep -q "sent no results within 30 s" "$FK_WORK/none.err" || fk_fail "no reason given"
[ -s "$FK_WORK/none.out" ] && fk_fail "a failed survey listed something"

fk_state "$FK_WORK/state.json"
fk_check '
for radio in sim_radios(args[0]):
    expect(radio["received"].get("6") == 1,
           "%s got MSG_SCAN_AP %r times" % (radio["mac"], radio["received"].get("6")))
' "$FK_WORK/state.json"
fk_pass
