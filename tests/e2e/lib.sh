# Shared harness of the end-to-end tests: a controller namespace and a LAN namespace
# joined by veth pairs, the device simulator in the LAN, the program under test in the
# controller namespace. Only 198.18.0.0/15 addresses are used, so nothing here can
# reach a real network; everything is removed on every way out of the script.
#
# A test script sources this file with the build's bin directory as $1:
#   source "$(dirname "$0")/lib.sh" "$1"
#   fk_topology 1            # or 2 for a second LAN leg on 198.19.0.0/24
#   fk_start_sim --group count=5,base=198.18.0.20,prefix=24,iface="$FK_LAN_IF1"
#   fk_cli discover --seconds 6 --format json > "$FK_WORK/list.json"
#   fk_pass

set -uo pipefail

FK_BIN=${1:-}
FK_E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
FK_TEST_NAME=$(basename "$0" .sh)
FK_ID=$$
FK_NS_CTL="fk-ctl-$FK_ID"
FK_NS_LAN="fk-lan-$FK_ID"
FK_CTL_IF1="fkc${FK_ID}a"
FK_LAN_IF1="fkl${FK_ID}a"
FK_CTL_IF2="fkc${FK_ID}b"
FK_LAN_IF2="fkl${FK_ID}b"
FK_CTL_IP1=198.18.0.1
FK_CTL_IP2=198.19.0.1
FK_WORK=""
FK_SIM_PID=""
FK_NAMESPACES=()
FK_BG_PIDS=()
export PYTHONPATH="$FK_E2E_DIR${PYTHONPATH:+:$PYTHONPATH}"

fk_log() { echo "[$FK_TEST_NAME] $*" >&2; }

fk_skip() {
    fk_log "SKIP: $*"
    exit 77
}

fk_cleanup() {
    local rc=$?
    trap - EXIT INT TERM
    if [ -n "$FK_SIM_PID" ] && kill -0 "$FK_SIM_PID" 2>/dev/null; then
        kill -TERM "$FK_SIM_PID" 2>/dev/null
        local i
        for i in $(seq 1 50); do
            kill -0 "$FK_SIM_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$FK_SIM_PID" 2>/dev/null
        wait "$FK_SIM_PID" 2>/dev/null
    fi
    local pid
    for pid in "${FK_BG_PIDS[@]}"; do
        kill -TERM "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    local ns
    for ns in "${FK_NAMESPACES[@]}"; do
        # Anything still running inside (a CLI cut off by a failure) dies with it.
        local pids
        pids=$(ip netns pids "$ns" 2>/dev/null)
        [ -n "$pids" ] && kill -KILL $pids 2>/dev/null
        ip netns del "$ns" 2>/dev/null
    done
    [ -n "$FK_WORK" ] && [ -z "${FK_KEEP_WORK:-}" ] && rm -rf "$FK_WORK"
    exit "$rc"
}

fk_require() {
    [ -n "$FK_BIN" ] && [ -d "$FK_BIN" ] || fk_skip "usage: $0 <bin directory>"
    [ "$(id -u)" -eq 0 ] || fk_skip "needs root for network namespaces"
    command -v ip >/dev/null || fk_skip "ip (iproute2) is missing"
    command -v python3 >/dev/null || fk_skip "python3 is missing"
    local probe="fk-probe-$FK_ID"
    ip netns add "$probe" 2>/dev/null || fk_skip "ip netns is not available here"
    ip netns del "$probe"
    local tool
    for tool in "$@"; do
        [ -x "$FK_BIN/$tool" ] || fk_skip "$tool is not built in $FK_BIN"
    done
}

# fk_topology LEGS [PREFIX]: one controller namespace, one LAN namespace, LEGS veth
# pairs between them (1 or 2). The controller gets 198.18.0.1 (and 198.19.0.1); the
# radio addresses are put on the LAN side by the simulator itself.
fk_topology() {
    local legs=${1:-1} prefix=${2:-24}
    FK_WORK=$(mktemp -d "/tmp/fk-e2e-$FK_TEST_NAME.XXXXXX")
    trap fk_cleanup EXIT
    trap 'exit 130' INT TERM
    ip netns add "$FK_NS_CTL" || fk_fail "cannot create $FK_NS_CTL"
    FK_NAMESPACES+=("$FK_NS_CTL")
    ip netns add "$FK_NS_LAN" || fk_fail "cannot create $FK_NS_LAN"
    FK_NAMESPACES+=("$FK_NS_LAN")
    ip -n "$FK_NS_CTL" link set lo up
    ip -n "$FK_NS_LAN" link set lo up
    fk_leg "$FK_CTL_IF1" "$FK_LAN_IF1" "$FK_CTL_IP1/$prefix"
    if [ "$legs" -ge 2 ]; then
        fk_leg "$FK_CTL_IF2" "$FK_LAN_IF2" "$FK_CTL_IP2/24"
    fi
}

fk_leg() {
    local ctl_if=$1 lan_if=$2 address=$3
    ip link add "$ctl_if" netns "$FK_NS_CTL" type veth peer name "$lan_if" netns "$FK_NS_LAN" ||
        fk_fail "cannot create veth $ctl_if"
    ip -n "$FK_NS_CTL" addr add "$address" dev "$ctl_if"
    ip -n "$FK_NS_CTL" link set "$ctl_if" up
    ip -n "$FK_NS_LAN" link set "$lan_if" up
    # The controller's multicast commands leave through the chosen interface; the
    # LAN side must accept them whatever the reverse path says.
    ip netns exec "$FK_NS_LAN" sysctl -qw "net.ipv4.conf.$lan_if.rp_filter=0" \
        "net.ipv4.conf.all.rp_filter=0"
}

# fk_start_sim ARGS...: the simulator in the LAN namespace, answering on its control
# socket before this returns. It stops by itself after FK_SIM_DURATION seconds.
fk_start_sim() {
    FK_SIM_SOCK="$FK_WORK/sim.sock"
    FK_SIM_STATE="$FK_WORK/sim-state.json"
    FK_SIM_LOG="$FK_WORK/sim.log"
    ip netns exec "$FK_NS_LAN" "$FK_BIN/fieldkit-devsim" --control "$FK_SIM_SOCK" \
        --state "$FK_SIM_STATE" --log "$FK_SIM_LOG" --duration "${FK_SIM_DURATION:-300}" "$@" \
        >>"$FK_SIM_LOG" 2>&1 &
    FK_SIM_PID=$!
    fk_wait_until 15 fk_sim_quiet_request counters ||
        fk_fail "the simulator did not come up"
}

# fk_many_radios COUNT: the topology and the simulator for COUNT radios from
# 198.18.0.10 up, on the smallest network that holds them (a /22 for 1,000, a /18
# for 10,000), each sending keep-alives every 5 s. Sets FK_PREFIX.
fk_many_radios() {
    local count=$1
    FK_PREFIX=$(python3 -c 'import sys; n = int(sys.argv[1]) + 16; print(min(24, 32 - (n - 1).bit_length()))' "$count")
    fk_topology 1 "$FK_PREFIX"
    fk_start_sim --group "count=$count,base=198.18.0.10,prefix=$FK_PREFIX,iface=$FK_LAN_IF1" \
        --keepalive-ms 5000 --quiet
    fk_log "$count radios on 198.18.0.0/$FK_PREFIX"
}

fk_sim_quiet_request() { fk_sim_request "$@" >/dev/null 2>&1; }

fk_sim_request() {
    "$FK_BIN/fieldkit-devsim" --control "$FK_SIM_SOCK" --request "$*"
}

# fk_state FILE: the simulator's view of every radio, as JSON.
fk_state() {
    fk_sim_request state >"$1" || fk_fail "the simulator did not give its state"
}

# fk_bg COMMAND...: a helper process for the rest of the test (a file server, say);
# ended and reaped by the cleanup.
fk_bg() {
    "$@" &
    FK_BG_PIDS+=($!)
}

# fk_cli ARGS...: the command-line controller in the controller namespace, bounded.
fk_cli() {
    ip netns exec "$FK_NS_CTL" timeout "${FK_CLI_TIMEOUT:-120}" "$FK_BIN/fieldkit-cli" "$@"
}

# fk_wait_until SECONDS COMMAND...: polls COMMAND every 0.2 s until it succeeds or the
# deadline passes (then returns 1).
fk_wait_until() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    while true; do
        "$@" && return 0
        [ "$SECONDS" -ge "$deadline" ] && return 1
        sleep 0.2
    done
}

fk_fail() {
    fk_log "FAIL: $*"
    if [ -n "$FK_WORK" ]; then
        if [ -n "${FK_SIM_LOG:-}" ] && [ -f "$FK_SIM_LOG" ]; then
            fk_log "--- simulator log (last 60 lines)"
            tail -n 60 "$FK_SIM_LOG" >&2
        fi
        if [ -n "${FK_SIM_SOCK:-}" ] && [ -S "$FK_SIM_SOCK" ]; then
            fk_log "--- simulator state"
            fk_sim_request state 2>/dev/null | head -c 20000 >&2
        fi
        local f
        for f in "$FK_WORK"/*.out "$FK_WORK"/*.err; do
            [ -f "$f" ] || continue
            fk_log "--- $(basename "$f")"
            head -c 8000 "$f" >&2
        done
    fi
    exit 1
}

fk_pass() {
    fk_log "PASS"
    exit 0
}

# fk_check PYTHON_SNIPPET ARGS...: runs a check written with fkcheck's helpers; a
# failed assertion prints its message and fails the test.
fk_check() {
    local snippet=$1
    shift
    python3 -c "import json, sys
from fkcheck import *
args = sys.argv[1:]
$snippet" "$@" || fk_fail "check failed (see above)"
}

# Payload builders (hex, as `fieldkit-cli send --payload` takes them).
fk_hex_name() {  # NAME -> the 33-byte MSG_SET_NAME block
    python3 -c 'import sys; n=sys.argv[1].encode()[:32]; print((n+bytes(32-len(n))+bytes([len(n)])).hex())' "$1"
}
fk_hex_ip_block() {  # IP MASK GATEWAY -> the 22-byte MSG_SET_IP block
    python3 -c 'import sys, socket; o=lambda t: socket.inet_aton(t); print((b"\x01"+o(sys.argv[1])+o(sys.argv[2])+o(sys.argv[3])+bytes(8)+b"\x01").hex())' "$1" "$2" "$3"
}
fk_hex_zeros() {  # N -> N zero bytes
    python3 -c 'import sys; print(bytes(int(sys.argv[1])).hex())' "$1"
}

# fk_radio_field STATE_FILE MAC EXPRESSION: prints a Python expression over the radio `r`.
fk_radio_field() {
    python3 - "$1" "$2" "$3" <<'PY'
import json, sys
radios = {r["mac"]: r for r in json.load(open(sys.argv[1]))["radios"]}
r = radios[sys.argv[2]]
print(eval(sys.argv[3]))
PY
}
