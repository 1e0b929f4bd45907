#!/usr/bin/env bash
# Fifty radios on two subnets behind two adapters: one search datagram per subnet
# (directed broadcasts), and every radio listed with every column as the radio holds it.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 2
fk_start_sim --group "count=25,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1" \
    --group "count=25,base=198.19.0.20,prefix=24,iface=$FK_LAN_IF2"

fk_cli discover --seconds 6 --format json >"$FK_WORK/list.out" 2>"$FK_WORK/list.err" ||
    fk_fail "discover failed"
fk_state "$FK_WORK/state.json"

fk_check '
radios = sim_radios(args[0])
rows = cli_by_mac(cli_rows(args[1]))
expect(len(radios) == 50, "the simulator plays 50 radios")
missing = [r["mac"] for r in radios if r["mac"] not in rows]
expect(not missing, "not listed: %s" % missing)
expect(len(rows) == 50, "listed %d devices, expected 50" % len(rows))
for radio in radios:
    check_listed_row(rows[radio["mac"]], radio, elapsed_s=10, status="Online")
check_switch_texts(rows, radios)
searches = load_json(args[0])["searches"]
expect(set(searches) == {"198.18.0.1->198.18.0.255", "198.19.0.1->198.19.0.255"},
       "one directed broadcast per subnet, from its own adapter: %r" % searches)
' "$FK_WORK/state.json" "$FK_WORK/list.out"
fk_pass
