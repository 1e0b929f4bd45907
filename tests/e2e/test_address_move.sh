#!/usr/bin/env bash
# A registered radio whose report names a new address is listed at that address; and
# MSG_SET_IP sent with a pending address moves the radio there, acknowledged once by
# the answer from the old address, the row following the radio.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1
fk_start_sim --group "count=2,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1" --keepalive-ms 500
mover=02:46:4b:00:00:01
setip=02:46:4b:00:00:02

# 1. The radio moves on its own while the controller runs; its next announcement
#    brings a report with the new address.
fk_cli send --discover-first 8 --ip 198.18.0.20 --mac "$mover" --type 5 \
    --payload "$(fk_hex_zeros 4)" --no-retransmit --wait 1 --hold 1 \
    >"$FK_WORK/move.out" 2>"$FK_WORK/move.err" &
cli_pid=$!
registered() {
    fk_state "$FK_WORK/mid.json"
    [ "$(fk_radio_field "$FK_WORK/mid.json" "$mover" 'r["reports_sent"]')" -ge 1 ]
}
fk_wait_until 10 registered || fk_fail "the radio never reported"
fk_sim_request set "$mover" ip=198.18.0.50 keepalives=0 >/dev/null || fk_fail "cannot move"
fk_sim_request announce "$mover" >/dev/null || fk_fail "cannot announce"
wait "$cli_pid" || fk_fail "send failed"
fk_check '
expect(cli_row_field(args[0], "ip") == "198.18.0.50",
       "listed at %r after the report named 198.18.0.50" % cli_row_field(args[0], "ip"))
' "$FK_WORK/move.out"

# 2. MSG_SET_IP with the pending address.
fk_cli send --discover-first 2 --ip 198.18.0.21 --mac "$setip" --type 3 \
    --payload "$(fk_hex_ip_block 198.18.0.60 255.255.255.0 198.18.0.1)" \
    --set-pending-ip 198.18.0.60 --retransmission-max 5 --retransmission-interval 300 --wait 3 \
    >"$FK_WORK/setip.out" 2>"$FK_WORK/setip.err" ||
    fk_fail "send failed"
fk_state "$FK_WORK/state.json"
fk_check '
radio = by_mac(sim_radios(args[0]))["02:46:4b:00:00:02"]
expect(radio["ip"] == "198.18.0.60", "the radio moved to %r" % radio["ip"])
# Unanswered it would arrive six times; one repetition may cross the answer.
expect(radio["received"].get("3") in (1, 2),
       "MSG_SET_IP arrived %r times: the answer from the old address must end it" %
       radio["received"].get("3"))
expect(radio["keepalives_sent"] >= 2, "the radio kept talking from its new address")
expect(cli_row_field(args[1], "ip") == "198.18.0.60",
       "the stored row shows %r" % cli_row_field(args[1], "ip"))
' "$FK_WORK/state.json" "$FK_WORK/setip.out"
fk_pass
