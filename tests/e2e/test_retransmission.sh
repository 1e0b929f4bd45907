#!/usr/bin/env bash
# Command repetition seen from the radios: with retransmission_max 3 an unanswered
# command arrives four times in all, with 0 once; answers that do not come from the
# addressed radio at its address, or that carry another type or MAC, stop nothing;
# a proper answer stops the repetitions at once.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1
fk_start_sim --group "count=6,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1" \
    --set "#0 silent=1" --set "#1 silent=1" --set "#2 reply_from=198.18.0.99" \
    --set "#4 wrong_answer=1" --set "#5 wrong_mac=1"

# radio index | retransmission_max | fewest and most arrivals
# A repetition may leave just before the answer to the first sending is handled (the
# resend thread wakes at any point of its interval), so a proper answer allows two.
cases=(
    "0 3 4 4"  # never answers
    "1 0 1 1"  # never answers, no repetition
    "2 3 4 4"  # right MAC and type, but from another address
    "3 3 1 2"  # answers properly
    "4 3 4 4"  # answers with another type
    "5 3 4 4"  # answers with another MAC
)
payload=$(fk_hex_zeros 4)
for c in "${cases[@]}"; do
    read -r index max fewest most <<<"$c"
    ip="198.18.0.$((20 + index))"
    mac=$(printf '02:46:4b:00:00:%02x' $((index + 1)))
    fk_cli send --ip "$ip" --mac "$mac" --type 5 --payload "$payload" \
        --retransmission-max "$max" --retransmission-interval 300 --wait 3 \
        >"$FK_WORK/send-$index.out" 2>"$FK_WORK/send-$index.err" || fk_fail "send to $ip failed"
    fk_state "$FK_WORK/state.json"
    got=$(fk_radio_field "$FK_WORK/state.json" "$mac" 'r["received"].get("5", 0)')
    [ "$got" -ge "$fewest" ] && [ "$got" -le "$most" ] ||
        fk_fail "radio #$index (max $max): the command arrived $got times, expected $fewest to $most"
    fk_log "radio #$index: retransmission_max $max -> $got arrivals"
done
fk_pass
