#!/usr/bin/env bash
# `fieldkit-cli upgrade` of three radios of one model (one succeeds, one fails the
# fetch, one never answers the command) beside a radio of another model: only the
# chosen model is told, the one that succeeds fetched the whole image from our
# FileServer and comes back with the image's version, each is reported as it went,
# and the exit is 1. A file that is not a .bin is refused before anything is sent.
# The CLI runs from a copy of the program folder: the file server's settings and PID
# file it writes stay out of the build tree users start the program from.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli service/FileServer
fk_topology 1
mkdir -p "$FK_WORK/bin/service"
cp "$FK_BIN/fieldkit-cli" "$FK_BIN/Setting.ini" "$FK_WORK/bin/"
cp "$FK_BIN/service/FileServer" "$FK_WORK/bin/service/"
cp -r "$FK_BIN/Languages" "$FK_WORK/bin/"
cli_bin="$FK_WORK/bin"
fk_cli() {
    ip netns exec "$FK_NS_CTL" timeout "${FK_CLI_TIMEOUT:-120}" "$cli_bin/fieldkit-cli" "$@"
}
port=6969
cat >"$FK_WORK/radios.conf" <<CONF
radio mac=02:46:4b:00:00:01 ip=198.18.0.20 iface=$FK_LAN_IF1 model=3 tftp=1
radio mac=02:46:4b:00:00:02 ip=198.18.0.21 iface=$FK_LAN_IF1 model=3 tftp=1 upgrade_fetch=1
radio mac=02:46:4b:00:00:03 ip=198.18.0.22 iface=$FK_LAN_IF1 model=3 tftp=1 unanswered=11
radio mac=02:46:4b:00:00:04 ip=198.18.0.23 iface=$FK_LAN_IF1 model=5 tftp=1
CONF
fk_start_sim --config "$FK_WORK/radios.conf" --restart-ms 3000 --tftp-port "$port"
ok=02:46:4b:00:00:01
fails=02:46:4b:00:00:02
silent=02:46:4b:00:00:03
other=02:46:4b:00:00:04

mkdir -p "$FK_WORK/firmware"
image="$FK_WORK/firmware/fw-6.0.bin"
python3 -c 'import sys; open(sys.argv[1], "wb").write(bytes(range(256)) * 400)' "$image"
size=$(stat -c %s "$image")

cp "$image" "$FK_WORK/firmware/fw.Bin"
fk_cli upgrade --file "$FK_WORK/firmware/fw.Bin" --mac "$ok" --tftp-port "$port" \
    >"$FK_WORK/refused.out" 2>"$FK_WORK/refused.err"
rc=$?
[ "$rc" -eq 3 ] || fk_fail "a .Bin file gave exit $rc, expected 3"
grep -q "not a .bin file" "$FK_WORK/refused.err" || fk_fail "no refusal message: $(cat "$FK_WORK/refused.err")"

# A port the server cannot bind: refused before any radio is told.
fk_bg ip netns exec "$FK_NS_CTL" timeout 60 python3 -c 'import socket, sys, time
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("0.0.0.0", int(sys.argv[1])))
time.sleep(60)' "$port"
blocker=${FK_BG_PIDS[-1]}
sleep 1
fk_cli upgrade --file "$image" --mac "$ok" --tftp-port "$port" --seconds 2 \
    >"$FK_WORK/busy.out" 2>"$FK_WORK/busy.err"
rc=$?
kill "$blocker"
wait "$blocker" 2>/dev/null
[ "$rc" -eq 3 ] || fk_fail "a busy port gave exit $rc, expected 3"
grep -q "file server could not start" "$FK_WORK/busy.err" ||
    fk_fail "no refusal for the busy port: $(cat "$FK_WORK/busy.err")"
fk_state "$FK_WORK/busy.json"
fk_check 'expect("11" not in by_mac(sim_radios(args[0]))[args[1]]["received"], "told to upgrade")' \
    "$FK_WORK/busy.json" "$ok"

start=$SECONDS
FK_CLI_TIMEOUT=300 fk_cli upgrade --file "$image" --mac "$ok" --mac "$fails" --mac "$silent" \
    --mac "$other" --type NX-03 --tftp-port "$port" --seconds 3 --write-seconds 12 \
    --format json >"$FK_WORK/upgrade.out" 2>"$FK_WORK/upgrade.err"
rc=$?
fk_log "upgrade took $((SECONDS - start)) s (the silent radio holds the batch its 120 s)"
[ "$rc" -eq 1 ] || fk_fail "upgrade exited $rc, expected 1: $(tail -5 "$FK_WORK/upgrade.err")"
grep -q "Upgrade wait" "$FK_WORK/upgrade.err" || fk_fail "the status changes were not shown"
fk_state "$FK_WORK/state.json"
fk_check '
rows = {r["MAC"]: r for r in load_json(args[0])["radios"]}
radios = by_mac(sim_radios(args[1]))
ok, fails, silent, other = (rows[m] for m in args[2:6])
expect(ok["Result"] == "success" and ok["Back"] == "yes" and ok["Version after"] == "fw-6.0",
       "succeeding radio: %r" % ok)
expect(fails["Result"] == "fail" and fails["Back"] == "no", "failing radio: %r" % fails)
expect(silent["Result"] == "no answer" and silent["Back"] == "no", "silent radio: %r" % silent)
expect(other["Upgraded"] == "no" and other["Version after"] == other["Version before"],
       "other model: %r" % other)
expect(radios[args[2]]["upgrade"]["fetched"] == int(args[6]), "fetched %r" % radios[args[2]]["upgrade"])
expect(radios[args[2]]["received"].get("16", 0) >= 1, "MSG_UPGRADE_STATUS not sent to the fetching radio")
expect(radios[args[3]]["received"].get("16", 0) == 0, "MSG_UPGRADE_STATUS sent to the failing radio")
expect(radios[args[5]]["received"].get("11", 0) == 0, "the other model was told to upgrade")
' "$FK_WORK/upgrade.out" "$FK_WORK/state.json" "$ok" "$fails" "$silent" "$other" "$size"

# The server lives only as long as the command.
pgrep -f "$cli_bin/service/FileServer" >/dev/null && fk_fail "FileServer still runs after the command"
fk_pass
