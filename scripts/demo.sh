#!/usr/bin/env bash
# Demo mode: about 25 simulated radios on two subnets, and the desktop program (or any
# command given) running in a private network namespace that sees only them. Nothing
# reaches the machine's own network; everything is removed when the command ends.
#
#   scripts/demo.sh                      # build/bin/fieldkit
#   scripts/demo.sh build/bin/fieldkit-cli discover --seconds 6
#   FK_BIN_DIR=/path/to/bin scripts/demo.sh
#   FK_DEMO_USER=alice scripts/demo.sh /usr/bin/fieldkit   # the installed window, as alice
#
# Needs root (network namespaces). DISPLAY and XAUTHORITY are passed through, so the
# program's window shows on the caller's X server (Xvfb works too). With FK_DEMO_USER
# only the namespaces and the simulator are root's; the command runs as that user.
repo=$(cd "$(dirname "$0")/.." && pwd)
bin=${FK_BIN_DIR:-$repo/build/bin}
[ $# -gt 0 ] || set -- "$bin/fieldkit"

FK_SIM_DURATION=${FK_DEMO_SECONDS:-7200}
source "$repo/tests/e2e/lib.sh" "$bin"
fk_require fieldkit-devsim
fk_topology 2

cat >"$FK_WORK/demo.conf" <<CONF
group count=13 base=198.18.0.20 prefix=24 iface=$FK_LAN_IF1
group count=12 base=198.19.0.20 prefix=24 iface=$FK_LAN_IF2
# a few radios with something to show on the status, reboot and upgrade pages
set #3 reboot_result=1
set #8 upgrade_fetch=1
set #14 scan_count=12 scan_packets=3 scan_order=2,0,1
set #20 bridge_result=1
CONF
fk_start_sim --config "$FK_WORK/demo.conf" --restart-ms 8000
fk_log "simulator: 25 radios on 198.18.0.0/24 and 198.19.0.0/24 (log $FK_SIM_LOG)"
fk_log "controller namespace $FK_NS_CTL: running $*"

pass=()
for var in DISPLAY XAUTHORITY QT_QPA_PLATFORM LANG LC_ALL; do
    [ -n "${!var:-}" ] && pass+=("$var=${!var}")
done
if [ -n "${FK_DEMO_USER:-}" ]; then
    ip netns exec "$FK_NS_CTL" "$repo/scripts/run-as-user.sh" "$FK_DEMO_USER" "$@"
else
    ip netns exec "$FK_NS_CTL" env "${pass[@]}" "$@"
fi
