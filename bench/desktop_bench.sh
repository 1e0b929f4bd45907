#!/usr/bin/env bash
# The desktop program searching many simulated radios, offscreen, in private network
# namespaces (nothing reaches the machine's own network): one press of "Search", the
# whole 30-second session, then quit. Prints the program's CPU time and peak memory
# for the run (start-up included) and how many radios reached its store. Not run by
# CI; asserts nothing.
#
#   bench/desktop_bench.sh [BIN_DIR] [RADIOS]   (default build/bin and 10000; needs root)
repo=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$repo/build/bin}
RADIOS=${2:-10000}
FK_SIM_DURATION=300
source "$repo/tests/e2e/lib.sh" "$bin"
fk_require fieldkit-testdriver fieldkit-devsim
fk_many_radios "$RADIOS"

cat >"$FK_WORK/script.txt" <<SCRIPT
search
wait-idle 60
quit
SCRIPT
# The program keeps its store beside itself: a copy keeps it apart, and the store is
# counted before the program deletes it on the way out.
mkdir -p "$FK_WORK/bin"
cp "$FK_BIN/fieldkit-testdriver" "$FK_BIN/Setting.ini" "$FK_WORK/bin/"
cp -r "$FK_BIN/Languages" "$FK_BIN/Skin" "$FK_WORK/bin/"
python3 - "$FK_WORK/bin/data.mdb" "$FK_WORK/count.txt" <<'PY' &
import os, sqlite3, sys, time
db, out = sys.argv[1:3]
best, deadline = 0, time.monotonic() + 90
while time.monotonic() < deadline:
    if os.path.exists(db):
        try:
            con = sqlite3.connect("file:%s?mode=ro&immutable=1" % db, uri=True)
            # A read without locks may catch a page mid-write: distinct MACs, not rows.
            best = max(best, con.execute("select count(distinct mac) from ap_info").fetchone()[0])
            con.close()
        except sqlite3.Error:
            pass
    open(out, "w").write(str(best))
    time.sleep(0.5)
PY
counter=$!
/usr/bin/time -v -o "$FK_WORK/gui.time" ip netns exec "$FK_NS_CTL" \
    env QT_QPA_PLATFORM=offscreen timeout 120 \
    "$FK_WORK/bin/fieldkit-testdriver" --e2e-script "$FK_WORK/script.txt" \
    >"$FK_WORK/gui.out" 2>"$FK_WORK/gui.err" || fk_fail "the program failed or hung"
kill "$counter" 2>/dev/null
wait "$counter" 2>/dev/null
grep -q '\[script\] FAIL' "$FK_WORK/gui.err" && fk_fail "the script failed"
python3 - "$FK_WORK/gui.time" "$(cat "$FK_WORK/count.txt")" "$RADIOS" <<'PY' >&2
import re, sys
t = open(sys.argv[1]).read()
field = lambda name: re.search(name + r": ([\d.:]+)", t).group(1)
user, system = float(field(r"User time \(seconds\)")), float(field(r"System time \(seconds\)"))
print("== the desktop program, one 30-s search of %s radios" % sys.argv[3])
print("radios in its store: %s" % sys.argv[2])
print("CPU: user %.2f s, system %.2f s, %.2f s in all (start-up included); wall %s" %
      (user, system, user + system, field(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\)")))
print("peak memory: %d MB" % (int(field(r"Maximum resident set size \(kbytes\)")) // 1024))
PY
fk_pass
