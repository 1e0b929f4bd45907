#!/usr/bin/env bash
# The diagnostics screenshots for the README: a few simulated radios and one that moved
# to a subnet of the same link the PC has no address in (it keeps announcing itself to
# the controller it knew). The status page is grabbed after a search, with that radio's
# row in the warning colour, and the system tool page after "Diagnose". Needs root (the
# namespaces) and xvfb-run; about a minute.
#   sudo scripts/shoot-diagnostics.sh [output folder]
repo=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$repo/docs/screenshots}")
bin=${FK_BIN_DIR:-$repo/build/bin}
source "$repo/tests/e2e/lib.sh" "$bin"
fk_require fieldkit-devsim fieldkit-cli fieldkit-testdriver
command -v xvfb-run >/dev/null || fk_skip "xvfb-run is missing"
fk_topology 1
foreign=02:46:4b:00:00:09
cat >"$FK_WORK/radios.conf" <<CONF
group count=5 base=198.18.0.20 prefix=24 iface=$FK_LAN_IF1
radio mac=$foreign ip=198.18.0.30 iface=$FK_LAN_IF1 name=moved
CONF
fk_start_sim --config "$FK_WORK/radios.conf"
fk_cli discover --seconds 3 >/dev/null || fk_fail "the first search failed"
ip netns exec "$FK_NS_CTL" sysctl -qw net.ipv4.conf.all.rp_filter=0 \
    "net.ipv4.conf.$FK_CTL_IF1.rp_filter=0"
fk_sim_request set "$foreign" ip=198.19.5.20 >/dev/null || fk_fail "cannot move the radio"
(
    while true; do
        fk_sim_request announce "$foreign" >/dev/null 2>&1
        sleep 0.5
    done
) &
FK_BG_PIDS+=($!)

shoot() {  # FILE PAGE CAPTION AFTER_MS
    ip netns exec "$FK_NS_CTL" xvfb-run -a -s '-screen 0 1280x900x24' \
        "$bin/fieldkit-testdriver" --screenshot "$1" --page "$2" --click "$3" --after-ms "$4" ||
        fk_fail "the test driver failed for $1"
    [ -s "$1" ] || fk_fail "$1 was not written"
    fk_log "wrote $1"
}
shoot "$out/status-page-no-local-network.png" 133 Search 9000
shoot "$out/system-tool-diagnose.png" 155 Diagnose 6000
fk_pass
