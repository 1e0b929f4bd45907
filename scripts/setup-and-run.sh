#!/usr/bin/env bash
# Installs what Fieldkit needs, builds it and starts it on this PC's LAN.
#   scripts/setup-and-run.sh           the desktop program, on every local network
#   scripts/setup-and-run.sh --demo    the desktop program against ~25 simulated radios
#                                      in private network namespaces (no hardware needed)
# Root is needed for the demo's namespaces, and on the LAN for the firmware file server.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DFK_BUILD_BENCH=OFF
if [ "${1:-}" = "--demo" ]; then
  shift
  exec scripts/demo.sh build/bin/fieldkit "$@"
fi
exec build/bin/fieldkit "$@"
