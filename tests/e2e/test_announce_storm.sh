#!/usr/bin/env bash
# 50 radios share a LAN with a host that announces a new made-up MAC 5,000 times a
# second from one address. A 12-s search still lists every real radio; the storm's
# address is held to its handful of new MACs, so the phantom rows stay far below the
# cap on announced records; and the counters of --stats show what was turned away.
# The controller's peak memory is printed, not asserted.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1 22
storm_from=198.18.3.250
fk_start_sim --group "count=50,base=198.18.0.20,prefix=22,iface=$FK_LAN_IF1" --quiet \
    --storm "from=$storm_from,rate=5000,prefix=22,iface=$FK_LAN_IF1"

measure=()
if [ -x /usr/bin/time ]; then
    measure=(/usr/bin/time -v -o "$FK_WORK/discover.time")
fi
"${measure[@]}" ip netns exec "$FK_NS_CTL" timeout 120 "$FK_BIN/fieldkit-cli" discover \
    --seconds 12 --format json --stats >"$FK_WORK/list.out" 2>"$FK_WORK/list.err" ||
    fk_fail "discover failed"
fk_state "$FK_WORK/state.json"
fk_sim_request counters >"$FK_WORK/counters.txt" || fk_fail "no simulator counters"
if [ -f "$FK_WORK/discover.time" ]; then
    fk_log "controller peak memory: $(awk -F': ' '/Maximum resident/ { print $2 " kB" }' \
        "$FK_WORK/discover.time")"
fi

fk_check '
radios = by_mac(sim_radios(args[0]))
document = load_json(args[1])
rows = cli_by_mac(cli_rows(args[1]))
stats = document["stats"]
words = open(args[2]).read().split()
storm_sent = int(words[words.index("storm_sent") + 1])
print("storm: %d announcements; controller received %d on the announce port"
      % (storm_sent, stats["announce_received"]))
print("phantom rows %d; turned away: %d over the source limit, %d over the cap, %d queue drops"
      % (len(set(rows) - set(radios)), stats["announced_over_source_limit"],
         stats["announced_over_cap"], stats["announce_queue_dropped"]))
expect(storm_sent > 20000, "the storm was too thin to mean anything: %d" % storm_sent)
missing = [m for m in radios if m not in rows or str(cli_field(rows[m], "status")) != "Online"]
expect(not missing, "real radios not listed online: %r" % missing[:10])
phantoms = set(rows) - set(radios)
expect(len(phantoms) <= 32, "the storm got %d phantom rows past its source limit" % len(phantoms))
expect(stats["presence_announced"] <= 16384, "announced records beyond the cap")
expect(stats["announced_over_source_limit"] > 0, "the counters do not show the storm")
' "$FK_WORK/state.json" "$FK_WORK/list.out" "$FK_WORK/counters.txt"
fk_pass
