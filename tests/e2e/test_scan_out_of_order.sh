#!/usr/bin/env bash
# A site survey answered in three result packets that arrive out of order (ids 2, 0,
# 1): MSG_SCAN_AP is never repeated, and when the CLI reports the survey, it holds
# every access point once and counts the scan as complete.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1
fk_start_sim --group "count=2,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1" \
    --set "#0 scan_count=40 scan_packets=3 scan_order=2,0,1"

fk_cli send --discover-first 2 --ip 198.18.0.20 --mac 02:46:4b:00:00:01 --type 6 \
    --retransmission-interval 300 --wait 3 >"$FK_WORK/scan.out" 2>"$FK_WORK/scan.err" ||
    fk_fail "send failed"
fk_state "$FK_WORK/state.json"
fk_check '
radio = by_mac(sim_radios(args[0]))["02:46:4b:00:00:01"]
expect(radio["received"].get("6") == 1,
       "MSG_SCAN_AP arrived %r times; a survey is never repeated" % radio["received"].get("6"))
with open(args[1], encoding="utf-8") as f:
    text = f.read()
out = json.loads(text) if text.strip().startswith("{") else {}
if "scan_complete" in out:
    expect(out["scan_complete"] is True, "three packets of three arrived, yet not complete")
if "scan" in out:
    macs = [e.get("mac") for e in out["scan"]]
    expect(len(macs) == 40 and len(set(macs)) == 40, "survey lists %d entries" % len(macs))
' "$FK_WORK/state.json" "$FK_WORK/scan.out"
fk_pass
