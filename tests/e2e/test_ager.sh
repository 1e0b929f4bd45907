#!/usr/bin/env bash
# A registered radio that falls silent leaves the presence table and the store three
# to four ager periods after it was last heard. The ager period is shortened from
# 10 s to 1 s with --ager-period-ms, so "30 to 40 s" becomes 3 to 4 s here.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1
fk_start_sim --group "count=2,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1" --keepalive-ms 500
quiet_mac=02:46:4b:00:00:01
chatty_mac=02:46:4b:00:00:02

# Listed row of MAC after a run of TOTAL seconds (discovery 1 s, then waiting).
row_after() {
    local mac=$1 ip=$2 wait=$3 out=$4
    fk_sim_request set "$quiet_mac" silent=0 keepalives=1 silent_after_report=1 >/dev/null
    fk_cli send --discover-first 1 --ip "$ip" --mac "$mac" --type 5 \
        --payload "$(fk_hex_zeros 4)" --no-retransmit --wait "$wait" --ager-period-ms 1000 \
        >"$out" 2>"${out%.out}.err" || fk_fail "send failed"
}

reports_of_quiet() {
    fk_state "$FK_WORK/state.json"
    fk_radio_field "$FK_WORK/state.json" "$quiet_mac" 'r["reports_sent"]'
}

# Heard last at the first search (t ~ 0): still there about 2 s later ...
row_after "$quiet_mac" 198.18.0.20 1 "$FK_WORK/early.out"
fk_check 'expect(cli_row_present(args[0]), "the silent radio left before 3 ager periods")' \
    "$FK_WORK/early.out"
# ... gone after 6 s, while a radio that keeps sending keep-alives stays.
before=$(reports_of_quiet)
row_after "$quiet_mac" 198.18.0.20 5 "$FK_WORK/late.out"
[ "$(reports_of_quiet)" -gt "$before" ] || fk_fail "the quiet radio never registered in the late run"
fk_check 'expect(not cli_row_present(args[0]), "the silent radio is still stored after 4 ager periods")' \
    "$FK_WORK/late.out"
row_after "$chatty_mac" 198.18.0.21 5 "$FK_WORK/chatty.out"
fk_check 'expect(cli_row_present(args[0]), "a radio sending keep-alives was aged out")' \
    "$FK_WORK/chatty.out"
fk_pass
