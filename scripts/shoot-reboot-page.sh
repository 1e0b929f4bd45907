#!/usr/bin/env bash
# The reboot page's screenshot for the README: the demo's radios are found, six rows
# are ticked and rebooted, and the main window is grabbed with the wait window over it
# while their Status cells read "Restarting". Needs root (the demo's namespaces) and
# xvfb-run; about 70 seconds, since the program ends after the wait's minute.
#   sudo scripts/shoot-reboot-page.sh [output.png]
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$repo/docs/screenshots/reboot-page-wait.png}")
script=$(mktemp /tmp/fk-shoot-XXXXXX.txt)
trap 'rm -f "$script"' EXIT
# Rows near the top of the list, which runs in descending address order.
cat >"$script" <<SCRIPT
search
wait-rows 25 30
search
wait-idle 5
show-page 136
tick 02:46:4b:00:00:0d
tick 02:46:4b:00:00:0c
tick 02:46:4b:00:00:0b
tick 02:46:4b:00:00:0a
tick 02:46:4b:00:00:16
tick 02:46:4b:00:00:15
answer-next ok
press Reboot
wait-cell 02:46:4b:00:00:0d Status Restarting 15
wait-cell 02:46:4b:00:00:15 Status Restarting 15
wait-progress 10 20
scroll-to Status
screenshot-all $out
wait-batch 90
quit
SCRIPT
xvfb-run -a -s '-screen 0 1280x900x24' timeout 200 "$repo/scripts/demo.sh" \
    "${FK_BIN_DIR:-$repo/build/bin}/fieldkit-testdriver" --e2e-script "$script"
[ -s "$out" ] && echo "wrote $out"
