#!/usr/bin/env bash
# Installs what Fieldkit needs, builds its Debian package, installs it, and starts
# the desktop program as the user who asked (root only for the install).
#   sudo scripts/setup-and-run.sh           the desktop program, on every local network
#   sudo scripts/setup-and-run.sh --demo    the desktop program against ~25 simulated radios
#                                           in private network namespaces (no hardware needed)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then
    echo "setup-and-run: installing needs root; run it with sudo" >&2
    exit 1
fi
demo=""
if [ "${1:-}" = "--demo" ]; then
    demo=1
    shift
fi
user=${SUDO_USER:-root}
[ "$user" = root ] && echo "setup-and-run: no SUDO_USER; the program runs as root" >&2

scripts/install-deps.sh
deb=$(scripts/build-package.sh)
echo "Installing $deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall "$PWD/$deb" >/dev/null

if [ -n "$demo" ]; then
    # The simulated radios come from the build tree; the window is the installed one.
    cmake -S . -B build -G Ninja -DFK_BUILD_BENCH=OFF >/dev/null
    cmake --build build -j "$(nproc)" --target fieldkit-devsim
    FK_DEMO_USER=$user exec scripts/demo.sh /usr/bin/fieldkit "$@"
fi
exec scripts/run-as-user.sh "$user" /usr/bin/fieldkit "$@"
