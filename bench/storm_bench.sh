#!/usr/bin/env bash
# An announcement storm next to real radios, in private network namespaces inside
# 198.18.0.0/15: one host announces a new made-up MAC RATE times a second while
# `fieldkit-cli discover --seconds SECONDS --stats` runs. Prints the controller's CPU
# time and peak memory, the real radios listed, the phantom rows and what the bounds
# turned away. Not run by CI; needs root.
#
#   bench/storm_bench.sh [BIN_DIR] [RATE] [SECONDS]   (default build/bin, 10000, 30)
repo=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$repo/build/bin}
RATE=${2:-10000}
SECONDS_RUN=${3:-30}
FK_SIM_DURATION=$((SECONDS_RUN + 120))
source "$repo/tests/e2e/lib.sh" "$bin"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1 22
fk_start_sim --group "count=50,base=198.18.0.20,prefix=22,iface=$FK_LAN_IF1" --quiet \
    --storm "from=198.18.3.250,rate=$RATE,prefix=22,iface=$FK_LAN_IF1"
/usr/bin/time -v -o "$FK_WORK/discover.time" ip netns exec "$FK_NS_CTL" \
    timeout $((SECONDS_RUN + 60)) "$FK_BIN/fieldkit-cli" discover --seconds "$SECONDS_RUN" \
    --format json --stats >"$FK_WORK/list.out" 2>"$FK_WORK/list.err" || fk_fail "discover failed"
fk_state "$FK_WORK/state.json"
fk_sim_request counters >"$FK_WORK/counters.txt" || fk_fail "no simulator counters"
fk_check '
import re
radios = by_mac(sim_radios(args[0]))
document = load_json(args[1])
rows = cli_by_mac(cli_rows(args[1]))
stats = document["stats"]
words = open(args[2]).read().split()
t = open(args[3]).read()
user = float(re.search(r"User time \(seconds\): ([\d.]+)", t).group(1))
system = float(re.search(r"System time \(seconds\): ([\d.]+)", t).group(1))
rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", t).group(1))
listed = sum(1 for m in radios if m in rows)
print("storm: %d announcements sent, %d received on the announce port"
      % (int(words[words.index("storm_sent") + 1]), stats["announce_received"]))
print("real radios listed: %d of %d; phantom rows: %d" % (listed, len(radios), len(set(rows) - set(radios))))
print("turned away: %d over the source limit, %d over the cap, %d queue drops"
      % (stats["announced_over_source_limit"], stats["announced_over_cap"],
         stats["announce_queue_dropped"]))
print("controller CPU: user %.2f s, system %.2f s; peak memory %d MB" % (user, system, rss // 1024))
' "$FK_WORK/state.json" "$FK_WORK/list.out" "$FK_WORK/counters.txt" "$FK_WORK/discover.time"
fk_log "done"
