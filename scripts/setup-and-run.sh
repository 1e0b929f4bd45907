#!/usr/bin/env bash
# Installs what Fieldkit needs, builds it and starts it on this PC's LAN.
# Sending commands needs root (or CAP_NET_RAW/CAP_NET_BIND_SERVICE for the firmware server).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DFK_BUILD_BENCH=OFF
exec build/bin/fieldkit "$@"
