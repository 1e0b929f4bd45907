#!/usr/bin/env bash
# `fieldkit-cli switch` on a mixed selection: radios without the feature (by model, and
# for transparent bridging by work mode) are named and skipped, the others get the
# status page's 12-byte block with only their feature's byte set, and each answer is
# listed. A selection in which no radio has the feature is refused with exit 3; giving
# both switches or neither is a usage error.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1
tdma_ap=02:46:4b:00:00:01      # NX-06, access point: both switches
plain=02:46:4b:00:00:02        # NX-04: neither
repeater=02:46:4b:00:00:03     # NX-03 repeating: no bridge to make transparent, no Slotra
tdma_station=02:46:4b:00:00:04 # NX-08 station: both
cat >"$FK_WORK/radios.conf" <<CONF
radio mac=$tdma_ap ip=198.18.0.20 iface=$FK_LAN_IF1 model=6 work_mode=1
radio mac=$plain ip=198.18.0.21 iface=$FK_LAN_IF1 model=4 work_mode=1
radio mac=$repeater ip=198.18.0.22 iface=$FK_LAN_IF1 model=3 work_mode=4
radio mac=$tdma_station ip=198.18.0.23 iface=$FK_LAN_IF1 model=8 work_mode=2 transparent=1
CONF
fk_start_sim --config "$FK_WORK/radios.conf"

fk_cli switch --mac "$tdma_ap" --mac "$plain" --mac "$repeater" --mac "$tdma_station" \
    --slotra on --seconds 3 --format json >"$FK_WORK/slotra.out" 2>"$FK_WORK/slotra.err" ||
    fk_fail "switch --slotra on exited $?"
for skipped in "$plain" "$repeater"; do
    grep -q "$skipped has no Slotra switch; skipped" "$FK_WORK/slotra.err" ||
        fk_fail "$skipped was not named as skipped"
done
fk_cli switch --mac "$plain" --mac "$tdma_ap" --mac "$repeater" --transparent-bridge on \
    --seconds 3 --format json >"$FK_WORK/bridge.out" 2>"$FK_WORK/bridge.err" ||
    fk_fail "switch --transparent-bridge on exited $?"
fk_state "$FK_WORK/state.json"
fk_check '
slotra = {r["MAC"]: r for r in load_json(args[0])["radios"]}
bridge = {r["MAC"]: r for r in load_json(args[1])["radios"]}
radios = by_mac(sim_radios(args[2]))
ap, plain, repeater, station = args[3:7]
for mac in (ap, station):
    expect(slotra[mac]["Sent"] == "yes" and slotra[mac]["Answered"] == "yes"
           and slotra[mac]["Result"] == "0", "slotra row %r" % slotra[mac])
    expect(radios[mac]["payloads"]["19"] == "0001" + "00" * 10, "slotra block %r" % radios[mac]["payloads"])
    expect(radios[mac]["tdma"] == 1, "%s has Slotra %r" % (mac, radios[mac]["tdma"]))
for mac in (plain, repeater):
    expect(slotra[mac]["Sent"] == "skipped" and "no Slotra switch" in slotra[mac]["Note"],
           "slotra row %r" % slotra[mac])
    expect(radios[mac]["received"].get("19", 0) == 0, "%s was sent Slotra" % mac)
# The other feature stays as it was.
expect(radios[station]["transparent"] == 1, "the station lost its transparent bridge")
expect(bridge[ap]["Sent"] == "yes" and bridge[ap]["Answered"] == "yes", "bridge row %r" % bridge[ap])
expect(radios[ap]["payloads"]["18"] == "01" + "00" * 11, "bridge block %r" % radios[ap]["payloads"])
expect(radios[ap]["transparent"] == 1 and radios[ap]["tdma"] == 1, "the access point: %r" % radios[ap])
for mac in (plain, repeater):
    expect(bridge[mac]["Sent"] == "skipped", "bridge row %r" % bridge[mac])
    expect(radios[mac]["received"].get("18", 0) == 0, "%s was sent the bridge switch" % mac)
' "$FK_WORK/slotra.out" "$FK_WORK/bridge.out" "$FK_WORK/state.json" \
    "$tdma_ap" "$plain" "$repeater" "$tdma_station"

fk_cli switch --mac "$plain" --mac "$repeater" --transparent-bridge off --seconds 3 \
    >"$FK_WORK/none.out" 2>"$FK_WORK/none.err"
rc=$?
[ "$rc" -eq 3 ] || fk_fail "a selection without the feature exited $rc, expected 3"
grep -q "Please select configurable devices!" "$FK_WORK/none.err" ||
    fk_fail "the page's message is missing"
for args in "--slotra on --transparent-bridge on" ""; do
    # shellcheck disable=SC2086
    fk_cli switch --mac "$plain" $args >"$FK_WORK/usage.out" 2>"$FK_WORK/usage.err"
    rc=$?
    [ "$rc" -eq 2 ] || fk_fail "switch with '$args' exited $rc, expected 2"
done
fk_pass
