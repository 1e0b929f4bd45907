#!/usr/bin/env bash
# Two radios answer from one address: the one that registered first keeps it; the
# other stays announced (status 10), is never asked for its report, and is listed.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1
cat >"$FK_WORK/radios.conf" <<CONF
radio mac=02:46:4b:00:01:01 ip=198.18.0.30 iface=$FK_LAN_IF1 model=3 name=Owner
# answers half a second late, so the owner has registered by then
radio mac=02:46:4b:00:01:02 ip=198.18.0.30 iface=$FK_LAN_IF1 model=5 name=Intruder delay_ms=500
radio mac=02:46:4b:00:01:03 ip=198.18.0.31 iface=$FK_LAN_IF1 model=7 name=Bystander
CONF
fk_start_sim --config "$FK_WORK/radios.conf"

fk_cli discover --seconds 7 --format json >"$FK_WORK/list.out" 2>"$FK_WORK/list.err" ||
    fk_fail "discover failed"
fk_state "$FK_WORK/state.json"
fk_check '
radios = by_mac(sim_radios(args[0]))
rows = cli_by_mac(cli_rows(args[1]))
owner, intruder = "02:46:4b:00:01:01", "02:46:4b:00:01:02"
expect(owner in rows and intruder in rows, "both radios listed: %r" % sorted(rows))
expect(str(cli_field(rows[owner], "status")) == "Online", "the owner is online")
expect(cli_field(rows[intruder], "ip") == "198.18.0.30", "the intruder is listed at the address")
expect(str(cli_field(rows[intruder], "status")) in ("10", ""),
       "the intruder is only announced (status 10), shown %r" % cli_field(rows[intruder], "status"))
expect("2" not in radios[intruder]["received"],
       "the intruder was asked for its report: %r" % radios[intruder]["received"])
expect(radios[intruder]["received"].get("1", 0) >= 1, "the intruder got its MSG_DISCOVER answer")
expect(str(cli_field(rows["02:46:4b:00:01:03"], "status")) == "Online", "the bystander is online")
' "$FK_WORK/state.json" "$FK_WORK/list.out"
fk_pass
