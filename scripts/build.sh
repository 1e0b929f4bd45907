#!/usr/bin/env bash
# Configures and builds one flavour of Fieldkit.
#   scripts/build.sh [build-dir] [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"

# Only the file server needs a privilege: binding UDP port 69. The capability goes on
# the file itself (a relink drops it, so it is given after every build); the server
# gives it up once the port is bound.
server="$dir/bin/service/FileServer"
if [ -x "$server" ] && [ "$(id -u)" -eq 0 ] && command -v setcap >/dev/null; then
  setcap cap_net_bind_service=+ep "$server" ||
    echo "note: setcap failed on $server; it can serve on port 69 only when started as root" >&2
fi
