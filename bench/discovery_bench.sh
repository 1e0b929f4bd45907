#!/usr/bin/env bash
# Discovery and keep-alive load of many simulated radios on one network inside
# 198.18.0.0/15 (a /22 for 1,000, a /18 for 10,000), in private network namespaces
# (nothing reaches the machine's own network). Not run by CI.
#
#   bench/discovery_bench.sh [BIN_DIR] [RADIOS]   (default build/bin and 1000; needs root)
#
# Measures:
#   1. time from the first search broadcast until all radios are in the store (the
#      controller's data.mdb polled every 5 ms), reports lost, datagrams the
#      controller sent (as counted by the radios), controller CPU time and memory;
#   2. every radio sending keep-alives every 5 s while a session is held for 60 s:
#      controller CPU per keep-alive (CPU of the held run minus that of the same run
#      without the hold).
repo=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$repo/build/bin}
RADIOS=${2:-${FK_BENCH_RADIOS:-1000}}
[ "$RADIOS" -ge 1 ] && [ "$RADIOS" -le 16000 ] 2>/dev/null || {
    echo "usage: $0 [BIN_DIR] [RADIOS 1..16000]" >&2
    exit 2
}
KEEP_S=${FK_BENCH_KEEPALIVE_SECONDS:-60}
FK_SIM_DURATION=900
source "$repo/tests/e2e/lib.sh" "$bin"
fk_require fieldkit-devsim fieldkit-cli
fk_many_radios "$RADIOS"

# Runs the CLI under /usr/bin/time -v; prints "user sys" CPU seconds and the peak
# resident memory in kB.
cpu_of() {
    local tag=$1
    shift
    /usr/bin/time -v -o "$FK_WORK/$tag.time" ip netns exec "$FK_NS_CTL" timeout 300 \
        "$FK_BIN/fieldkit-cli" "$@" >"$FK_WORK/$tag.out" 2>"$FK_WORK/$tag.err" ||
        fk_fail "fieldkit-cli $* failed"
    python3 - "$FK_WORK/$tag.time" <<'PY'
import re, sys
t = open(sys.argv[1]).read()
user = float(re.search(r"User time \(seconds\): ([\d.]+)", t).group(1))
sys_ = float(re.search(r"System time \(seconds\): ([\d.]+)", t).group(1))
rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", t).group(1))
print(user, sys_, rss)
PY
}

# ---- 1. discovery ----------------------------------------------------------------
# The poller starts first and reads the store every 5 ms; both ends of the interval
# are taken on the simulator's clock (first search heard, store found complete).
store="$FK_WORK/store"
mkdir -p "$store"
python3 - "$FK_BIN/fieldkit-devsim" "$FK_SIM_SOCK" "$store/data.mdb" "$RADIOS" \
    "$FK_WORK/poller.ready" >"$FK_WORK/timing.txt" <<'PY' &
import os, sqlite3, subprocess, sys, time
devsim, sock, db, radios, ready = sys.argv[1:6]
radios = int(radios)
def counters():
    out = subprocess.check_output([devsim, "--control", sock, "--request", "counters"]).split()
    return dict(zip((k.decode() for k in out[0::2]), (int(x) for x in out[1::2])))
open(ready, "w").close()
deadline = time.monotonic() + 40
count = 0
done = None
marks, next_mark = [], radios // 4
while time.monotonic() < deadline:
    if os.path.exists(db):
        try:
            # immutable=1: no locks at all. A reader's shared lock would make the
            # store's own writes fail with SQLITE_BUSY and skew what is measured; a
            # torn read only costs one poll.
            con = sqlite3.connect("file:%s?mode=ro&immutable=1" % db, uri=True)
            count = con.execute("select count(*) from ap_info").fetchone()[0]
            con.close()
        except sqlite3.Error:
            pass
    while next_mark and count >= next_mark and next_mark < radios:
        marks.append("%d@%d" % (next_mark, counters()["now_ms"]))
        next_mark += radios // 4
    if count >= radios:
        done = counters()
        break
    time.sleep(0.005)
c = done or counters()
print("stored", count)
print("first_search_ms", c["first_search_ms"])
print("last_report_ms", c["last_report_ms"])
print("all_stored_ms", c["now_ms"] if done else "never")
print("marks", " ".join(marks) or "-")
PY
poller_pid=$!
fk_wait_until 10 test -e "$FK_WORK/poller.ready" || fk_fail "the store poller did not start"
cpu_of discover discover --seconds 12 --format csv --store-dir "$store" >"$FK_WORK/discover.cpu" &
cli_pid=$!
wait "$poller_pid" || fk_fail "the store poller failed"
wait "$cli_pid" || fk_fail "discover failed"
fk_state "$FK_WORK/after-discover.json"
read -r d_user d_sys d_rss <"$FK_WORK/discover.cpu"

python3 - "$FK_WORK/after-discover.json" "$FK_WORK/discover.out" "$FK_WORK/timing.txt" \
    "$d_user" "$d_sys" "$RADIOS" "$d_rss" <<'PY' | tee "$FK_WORK/summary1.txt" >&2
import csv, json, sys
state = json.load(open(sys.argv[1]))
listed = list(csv.DictReader(open(sys.argv[2], encoding="utf-8")))
timing = dict(line.split(None, 1) for line in open(sys.argv[3]).read().splitlines())
radios = state["radios"]
by_type = {}
for r in radios:
    for t, n in r["received"].items():
        by_type[int(t)] = by_type.get(int(t), 0) + n
searches = sum(state["searches"].values())
reports = sum(r["reports_sent"] for r in radios)
names = {1: "MSG_DISCOVER answers", 2: "MSG_GET_DEVICE_INFO", 15: "keep-alive answers",
         17: "MSG_RELEASE"}
t = {k: v.strip() for k, v in timing.items()}
announced = sum(r["announcements_sent"] for r in radios)
print("== discovery of %s radios" % sys.argv[6])
if t["all_stored_ms"] != "never":
    first = int(t["first_search_ms"])
    print("time from the first search to all in the store: %d ms (last report left the radios"
          " at +%d ms; store polled every 5 ms)" % (int(t["all_stored_ms"]) - first,
                                                  int(t["last_report_ms"]) - first))
else:
    print("not every radio reached the store: %s stored" % t["stored"])
if t["marks"] != "-":
    first = int(t["first_search_ms"])
    print("stored so far: " + ", ".join("%s at +%d ms" % (m.split("@")[0], int(m.split("@")[1]) - first)
                                        for m in t["marks"].split()))
print("listed by discover: %d; reports lost (radios never listed): %d" %
      (len(listed), len(radios) - len(listed)))
print("announcements %d, reports %d (%d report requests repeated)" %
      (announced, reports, by_type.get(2, 0) - announced))
print("datagrams the controller sent: %d search broadcasts + %d to radios" %
      (searches, sum(by_type.values())))
for t in sorted(by_type):
    print("  type %2d %-22s %d" % (t, names.get(t, ""), by_type[t]))
print("controller CPU: user %s s, system %s s, %.2f s in all; peak memory %d MB" %
      (sys.argv[4], sys.argv[5], float(sys.argv[4]) + float(sys.argv[5]), int(sys.argv[7]) // 1024))
PY

# ---- 2. keep-alives --------------------------------------------------------------
# send returns at the first answer; --hold keeps its session (and the keep-alives
# it answers) for the measured time.
target_ip=198.18.0.10
target_mac=02:46:4b:00:00:01
send_args=(send --discover-first 5 --ip "$target_ip" --mac "$target_mac" --type 5
    --payload 00000000 --no-retransmit --wait 5)
read -r b_user b_sys _ < <(cpu_of base "${send_args[@]}" --hold 0)
fk_sim_request counters >"$FK_WORK/k0.txt"
read -r k_user k_sys _ < <(cpu_of keep "${send_args[@]}" --hold "$KEEP_S")
fk_sim_request counters >"$FK_WORK/k1.txt"
python3 - "$FK_WORK/k0.txt" "$FK_WORK/k1.txt" "$b_user" "$b_sys" "$k_user" "$k_sys" "$KEEP_S" \
    <<'PY' | tee "$FK_WORK/summary2.txt" >&2
import sys
def counters(path):
    out = open(path).read().split()
    return dict(zip(out[0::2], (int(x) for x in out[1::2])))
k0, k1 = counters(sys.argv[1]), counters(sys.argv[2])
b = float(sys.argv[3]) + float(sys.argv[4])
k = float(sys.argv[5]) + float(sys.argv[6])
sent = k1["keepalives"] - k0["keepalives"]
answered = k1["keepalive_answers"] - k0["keepalive_answers"]
print("== keep-alives for %s s" % sys.argv[7])
print("keep-alives sent by the radios: %d, answered by the controller: %d" % (sent, answered))
print("controller CPU: %.2f s with the wait, %.2f s without" % (k, b))
if answered:
    print("controller CPU per keep-alive: %.1f us" % ((k - b) / answered * 1e6))
PY
fk_log "done"
exit 0
