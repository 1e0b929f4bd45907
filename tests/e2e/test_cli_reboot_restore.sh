#!/usr/bin/env bash
# `fieldkit-cli restore` against radios that accept (and come back at their factory
# address), refuse, stay silent, and one that does not exist: each is reported as it
# went and the exit is 1. The wait is shortened with the documented --wait-seconds;
# test_gui_reboot runs the real minute. `reboot --no-wait` tells the access point of a
# bridged station first and the other radio about 200 ms later, and ends once both
# have answered.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1
cat >"$FK_WORK/radios.conf" <<CONF
radio mac=02:46:4b:00:00:01 ip=198.18.0.20 iface=$FK_LAN_IF1 work_mode=1 name=accepts factory_ip=198.18.0.40
radio mac=02:46:4b:00:00:02 ip=198.18.0.21 iface=$FK_LAN_IF1 work_mode=1 restore_result=1
radio mac=02:46:4b:00:00:03 ip=198.18.0.22 iface=$FK_LAN_IF1 work_mode=1 unanswered=10
radio mac=02:46:4b:00:00:04 ip=198.18.0.23 iface=$FK_LAN_IF1 work_mode=1 ssid_mac=02:aa:00:00:00:04
radio mac=02:46:4b:00:00:05 ip=198.18.0.24 iface=$FK_LAN_IF1 work_mode=2 bridge_mac=02:aa:00:00:00:04
radio mac=02:46:4b:00:00:06 ip=198.18.0.25 iface=$FK_LAN_IF1 work_mode=1
CONF
fk_start_sim --config "$FK_WORK/radios.conf" --restart-ms 3000
accepts=02:46:4b:00:00:01
refuses=02:46:4b:00:00:02
silent=02:46:4b:00:00:03
missing=02:46:4b:00:00:99

start=$SECONDS
fk_cli restore --mac "$accepts" --mac "$refuses" --mac "$silent" --mac "$missing" --seconds 3 \
    --wait-seconds 15 --format json >"$FK_WORK/restore.out" 2>"$FK_WORK/restore.err"
rc=$?
fk_log "restore took $((SECONDS - start)) s (the search waits 30 s for the missing radio)"
[ "$rc" -eq 1 ] || fk_fail "restore exited $rc, expected 1"
grep -q "$missing did not report" "$FK_WORK/restore.err" || fk_fail "the missing radio is not reported"
fk_state "$FK_WORK/state.json"
fk_check '
out = load_json(args[0])
rows = {r["MAC"]: r for r in out["radios"]}
radios = by_mac(sim_radios(args[1]))
a, r, s, m = (rows[x] for x in args[2:6])
expect(list(rows) == list(args[2:6]), "radios listed in the order named: %r" % list(rows))
expect(a["Found"] == "yes" and a["Answered"] == "yes" and a["Result"] == "0", "accepting: %r" % a)
expect(a["Back"] not in ("no", "") and 3.0 <= float(a["Back"]) <= 17.0, "back after %r" % a["Back"])
expect(a["Status"] == "Online", "accepting radio ends %r" % a["Status"])
expect(r["Answered"] == "yes" and r["Result"] == "1" and r["Back"] == "no"
       and r["Status"] == "Online", "refusing: %r" % r)
expect(s["Answered"] == "no" and s["Result"] == "" and s["Back"] == "no", "silent: %r" % s)
expect(m["Found"] == "no", "missing: %r" % m)
changes = [(c["MAC"], c["Status"]) for c in out["changes"]]
expect(changes[:2] == [(args[2], "Reseting"), (args[2], "Online")]
       or changes == [(args[2], "Reseting"), (args[2], "Outline"), (args[2], "Online")],
       "status changes %r" % changes)
expect(radios[args[2]]["ip"] == "198.18.0.40" and radios[args[2]]["restarts"] == 1,
       "restored to its factory address: %r" % radios[args[2]]["ip"])
expect(radios[args[3]]["restarts"] == 0, "the refusing radio restarted")
expect(radios[args[4]]["received"].get("10", 0) >= 2,
       "the silent radio was asked again until the retry limit: %r" % radios[args[4]]["received"])
' "$FK_WORK/restore.out" "$FK_WORK/state.json" "$accepts" "$refuses" "$silent" "$missing"
grep -q "Reseting" "$FK_WORK/restore.err" || fk_fail "the status changes were not shown as they came"

ap=02:46:4b:00:00:04
other=02:46:4b:00:00:06
start=$SECONDS
fk_cli reboot --mac "$other" --mac "$ap" --seconds 3 --no-wait >"$FK_WORK/reboot.out" \
    2>"$FK_WORK/reboot.err" || fk_fail "reboot --no-wait failed"
fk_log "reboot --no-wait took $((SECONDS - start)) s"
grep -q "not waited" "$FK_WORK/reboot.out" || fk_fail "the table does not say the wait was skipped"
fk_state "$FK_WORK/state2.json"
fk_check '
radios = by_mac(sim_radios(args[0]))
ap, other = radios[args[1]]["first_heard_ms"]["9"], radios[args[2]]["first_heard_ms"]["9"]
expect(other - ap >= 150, "the other radio heard its reboot %d ms after the access point" % (other - ap))
expect(radios[args[3]]["received"].get("9", 0) == 0, "the station was not in the batch")
' "$FK_WORK/state2.json" "$ap" "$other" 02:46:4b:00:00:05
fk_pass
