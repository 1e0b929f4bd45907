#!/usr/bin/env bash
# The management window's Save from the command line: a rename, an address, a VLAN and
# a schedule land on the radio byte for byte as `--dry-run` printed them; the VLAN
# change makes it restart and the real 60-second wait runs; a rule's refusal and an
# input the model does not have exit 3 and send nothing.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1
# Radio 0: a three-port model as an access point; radio 1: a station.
fk_start_sim --group "count=2,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1" --restart-ms 3000 \
    --set "#0 model=268 work_mode=1" --set "#1 work_mode=2"
ap=02:46:4b:00:00:01
station=02:46:4b:00:00:02

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
