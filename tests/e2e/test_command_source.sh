#!/usr/bin/env bash
# A command for a radio on the second subnet leaves from the controller's address on
# that subnet (never from the first adapter's), reaches only that radio, and lands.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 2
fk_start_sim --group "count=3,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1" \
    --group "count=3,base=198.19.0.20,prefix=24,iface=$FK_LAN_IF2"
fk_state "$FK_WORK/before.json"
target_mac=$(fk_radio_field "$FK_WORK/before.json" 02:46:4b:00:00:05 'r["mac"]')

fk_cli send --ip 198.19.0.21 --mac "$target_mac" --type 8 --payload "$(fk_hex_name 'Second LAN 二')" \
    --wait 2 >"$FK_WORK/send.out" 2>"$FK_WORK/send.err" || fk_fail "send failed"
fk_state "$FK_WORK/after.json"

fk_check '
radios = by_mac(sim_radios(args[0]))
target = radios["02:46:4b:00:00:05"]
expect(target["ip"] == "198.19.0.21", "the target sits on the second subnet")
# Once, or twice when a repetition crossed the answer; always from the second adapter.
expect(list(target["command_sources"]) == ["198.19.0.1"] and
       target["command_sources"]["198.19.0.1"] in (1, 2),
       "sources of the command: %r (expected 198.19.0.1)" % target["command_sources"])
expect(target["name"] == "Second LAN 二", "the name landed: %r" % target["name"])
others = [r for m, r in radios.items() if m != target["mac"] and r["received"]]
expect(not others, "other radios heard it: %r" % [(r["mac"], r["received"]) for r in others])
' "$FK_WORK/after.json"
fk_pass
