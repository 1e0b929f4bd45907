#!/usr/bin/env bash
# Screenshot of the installed program as an ordinary user sees it: a private Xvfb, the
# demo's namespaces and simulated radios (made as root), and /usr/bin/fieldkit started
# in them as USER; the screen is grabbed after SECONDS.
#   sudo scripts/shoot-installed-window.sh USER OUTPUT.png [SECONDS]
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
user=$1 output=$2 wait_seconds=${3:-12}
[ -x /usr/bin/fieldkit ] || { echo "the package is not installed" >&2; exit 1; }

display=:$((90 + RANDOM % 100))
# No access control: the user's program in another network namespace reaches the
# display through its socket file only, and this display lives for one picture.
Xvfb "$display" -screen 0 1280x900x24 -ac -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
demo=""
finish() {
    if [ -n "$demo" ]; then
        # The demo waits for its window; ending the window (its namespace is named
        # after the demo's process) lets the demo remove the namespaces.
        local pids
        pids=$(ip netns pids "fk-ctl-$demo" 2>/dev/null || true)
        # shellcheck disable=SC2086  # one number per process
        [ -n "$pids" ] && kill -TERM $pids 2>/dev/null
        wait "$demo" 2>/dev/null || true
    fi
    kill -TERM "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null || true
}
trap finish EXIT
sleep 1
DISPLAY=$display FK_DEMO_USER=$user QT_QPA_PLATFORM=xcb \
    "$repo/scripts/demo.sh" /usr/bin/fieldkit >/dev/null 2>&1 &
demo=$!
sleep "$wait_seconds"
import -display "$display" -window root "$output"
echo "$output"
