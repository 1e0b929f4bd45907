#!/usr/bin/env bash
# The site report's picture for the README: the demo's radios are found, "Site report…"
# writes its PDF, and the first page is drawn into a PNG as the PDF lays it out. Needs
# root (the demo's namespaces) and xvfb-run; about 40 seconds.
#   sudo scripts/shoot-site-report.sh [output.png] [output.pdf]
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
png=$(realpath -m "${1:-$repo/docs/screenshots/site-report.png}")
pdf=$(realpath -m "${2:-$(mktemp -u /tmp/fk-site-report-XXXXXX.pdf)}")
script=$(mktemp /tmp/fk-shoot-XXXXXX.txt)
trap 'rm -f "$script"' EXIT
cat >"$script" <<SCRIPT
search
wait-rows 25 30
search
wait-idle 5
site-report $pdf $png
quit
SCRIPT
xvfb-run -a -s '-screen 0 1280x900x24' timeout 120 "$repo/scripts/demo.sh" \
    "${FK_BIN_DIR:-$repo/build/bin}/fieldkit-testdriver" --e2e-script "$script"
[ -s "$png" ] && echo "wrote $png and $pdf"
