#!/usr/bin/env bash
# Discovery and keep-alive load of 1,000 simulated radios on one /22, in private
# network namespaces (nothing reaches the machine's own network). Not run by CI.
#
#   bench/discovery_bench.sh [BIN_DIR]     (default build/bin; needs root)
#
# Measures:
#   1. time from the first search broadcast until all 1,000 radios are in the store
#      (the controller's data.mdb polled every 20 ms), reports lost, datagrams the
#      controller sent (as counted by the radios), controller CPU time;
#   2. 1,000 radios sending keep-alives every 5 s for 60 s: controller CPU per
#      keep-alive (CPU of a 60 s run minus that of the same run without the wait).
repo=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$repo/build/bin}
RADIOS=${FK_BENCH_RADIOS:-1000}
KEEP_S=${FK_BENCH_KEEPALIVE_SECONDS:-60}
FK_SIM_DURATION=900
source "$repo/tests/e2e/lib.sh" "$bin"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1 22
fk_start_sim --group "count=$RADIOS,base=198.18.0.10,prefix=22,iface=$FK_LAN_IF1" \
    --keepalive-ms 5000 --quiet
fk_log "$RADIOS radios on 198.18.0.0/22"

# Runs the CLI under /usr/bin/time -v; prints "user sys" CPU seconds.
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
print(user, sys_)
PY
}

# ---- 1. discovery ----------------------------------------------------------------
store="$FK_WORK/store"
mkdir -p "$store"
fk_sim_request counters >"$FK_WORK/c0.txt"
cpu_of discover discover --seconds 12 --format csv --store-dir "$store" >"$FK_WORK/discover.cpu" &
cli_pid=$!
python3 - "$FK_BIN/fieldkit-devsim" "$FK_SIM_SOCK" "$store/data.mdb" "$RADIOS" \
    >"$FK_WORK/timing.txt" <<'PY'
import sqlite3, subprocess, sys, time
devsim, sock, db, radios = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
def counters():
    out = subprocess.check_output([devsim, "--control", sock, "--request", "counters"]).split()
    return dict(zip(out[0::2], (int(x) for x in out[1::2])))
deadline = time.monotonic() + 30
t0 = None
while time.monotonic() < deadline and t0 is None:
    if counters()[b"searches"] >= 1:
        t0 = time.monotonic()
    else:
        time.sleep(0.01)
count, t1 = 0, None
while t0 is not None and time.monotonic() < t0 + 12:
    try:
        con = sqlite3.connect("file:%s?mode=ro" % db, uri=True, timeout=0.5)
        count = con.execute("select count(*) from ap_info").fetchone()[0]
        con.close()
    except sqlite3.Error:
        pass
    if count >= radios:
        t1 = time.monotonic()
        break
    time.sleep(0.02)
print("first_search_seen", t0 is not None)
print("stored", count)
print("seconds_to_all", "%.3f" % (t1 - t0) if t1 else "never")
PY
wait "$cli_pid" || fk_fail "discover failed"
fk_state "$FK_WORK/after-discover.json"
read -r d_user d_sys <"$FK_WORK/discover.cpu"

python3 - "$FK_WORK/after-discover.json" "$FK_WORK/discover.out" "$FK_WORK/timing.txt" \
    "$d_user" "$d_sys" "$RADIOS" <<'PY' | tee "$FK_WORK/summary1.txt" >&2
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
print("== discovery of %s radios" % sys.argv[6])
print("time from first search to all in the store: %s s" % timing["seconds_to_all"].strip())
print("stored when the poll stopped: %s; listed by discover: %d" % (timing["stored"].strip(), len(listed)))
print("reports lost (radios never listed): %d" % (len(radios) - len(listed)))
print("reports sent by the radios: %d (%d re-requested)" % (reports, reports - len(radios)))
print("datagrams the controller sent: %d search broadcasts + %d to radios" %
      (searches, sum(by_type.values())))
for t in sorted(by_type):
    print("  type %2d %-22s %d" % (t, names.get(t, ""), by_type[t]))
print("controller CPU: user %s s, system %s s" % (sys.argv[4], sys.argv[5]))
PY

# ---- 2. keep-alives --------------------------------------------------------------
target_ip=198.18.0.10
target_mac=02:46:4b:00:00:01
send_args=(send --discover-first 5 --ip "$target_ip" --mac "$target_mac" --type 5
    --payload 00000000 --no-retransmit)
read -r b_user b_sys < <(cpu_of base "${send_args[@]}" --wait 0)
fk_sim_request counters >"$FK_WORK/k0.txt"
read -r k_user k_sys < <(cpu_of keep "${send_args[@]}" --wait "$KEEP_S")
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
