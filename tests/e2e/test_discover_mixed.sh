#!/usr/bin/env bash
# `fieldkit-cli discover --seconds 6` over a mixed set: every model code, both bands,
# Chinese, empty and cut names, a name with CSV's special characters, and radios that
# answer twice, late, with broken datagrams first, or with the short announcement; a
# station and an access point side by side show their operating modes.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1
quoted=$(python3 -c 'print("Hill, \"North\" 山".encode().hex())')
fk_start_sim --group "count=30,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1" \
    --set "#1 dup=2" --set "#2 delay_ms=400" --set "#3 malformed=1" \
    --set "#4 short_announce=1" --set "#5 name_hex=$quoted" --set "#6 malformed=1 dup=1" \
    --set "#7 work_mode=2" --set "#8 work_mode=1"

fk_cli discover --seconds 6 --format csv >"$FK_WORK/list.out" 2>"$FK_WORK/list.err" ||
    fk_fail "discover failed"
fk_state "$FK_WORK/state.json"
fk_check '
import csv
radios = sim_radios(args[0])
with open(args[1], encoding="utf-8", newline="") as f:
    table = list(csv.DictReader(f))
rows = cli_by_mac(table)
expect(len(radios) == 30 and len(rows) == 30, "listed %d of 30 radios" % len(rows))
expect({r["model"] for r in radios} >= {1, 11, 257, 270}, "the set covers the model codes")
for radio in radios:
    expect(radio["mac"] in rows, "%s not listed" % radio["mac"])
    check_listed_row(rows[radio["mac"]], radio, elapsed_s=10, status="Online")
check_switch_texts(rows, radios)
station, access_point = radios[7], radios[8]
expect(cli_field(rows[station["mac"]], "mode") == "Station", "radio #7 must list as a station")
expect(cli_field(rows[access_point["mac"]], "mode") == "AP", "radio #8 must list as an AP")
expect(list(table[0])[4] == "Operating mode",
       "the operating mode follows the MAC as on the status page: %r" % list(table[0]))
' "$FK_WORK/state.json" "$FK_WORK/list.out"
fk_pass
