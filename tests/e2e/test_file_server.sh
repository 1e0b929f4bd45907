#!/usr/bin/env bash
# The real FileServer against real TFTP clients across a veth pair: curl and tftp-hpa
# fetch images with the default and negotiated block sizes, an image past 32 MB at
# 512-byte blocks (the block number rolls over), ten of them at once; a small client
# of the test's own plays the window option, exact path names, a stranger's transfer
# ID and a flood of requests. Paths leading out and write requests are refused. With
# nftables, a run with lost and duplicated datagrams; the port binds as the unprivileged
# user only with the bind capability; SIGTERM ends the server cleanly.
# The server runs at its real timing, on port 69 (the ini names no port).
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require service/FileServer
command -v curl >/dev/null || fk_skip "curl is missing"
command -v tftp >/dev/null || fk_skip "tftp (tftp-hpa) is missing"
fk_topology 1
CLIENT_IP=198.18.0.20
ip -n "$FK_NS_LAN" addr add "$CLIENT_IP/24" dev "$FK_LAN_IF1"
SERVER="$FK_CTL_IP1"
probe() { ip netns exec "$FK_NS_LAN" timeout 150 python3 "$FK_E2E_DIR/tftp_probe.py" "$@"; }
lan() { ip netns exec "$FK_NS_LAN" timeout 150 "$@"; }

# --- the served folder and what lies around it
service="$FK_WORK/service"
stage="$FK_WORK/stage"
got="$FK_WORK/got"
mkdir -p "$service" "$stage/sub" "$got"
cp "$FK_BIN/service/FileServer" "$service/"
printf '[SERVER]\nDirectory=%s\n' "$stage" >"$service/FileServer.ini"
python3 - "$stage" <<'PY'
import os, random, sys
stage = sys.argv[1]
rng = random.Random(1350)
def image(name, size):
    with open(os.path.join(stage, name), "wb") as f:
        left = size
        while left:
            n = min(left, 1 << 20)
            f.write(rng.randbytes(n))
            left -= n
image("small.bin", 100_000)
image("mid.bin", 3_000_000)
image("loss.bin", 600_000)
image("exact.bin", 1468 * 40)              # ends with an empty block
image("big.bin", 65536 * 512 + 1000)        # block numbers roll over
open(os.path.join(stage, "notes.txt"), "w").write("line one\nline two\n" * 200)
open(os.path.join(stage, "sub", "deep.bin"), "wb").write(b"deep" * 999)
PY
echo "not for the LAN" >"$FK_WORK/secret.txt"
ln -s small.bin "$stage/link-inside.bin"
ln -s ../secret.txt "$stage/link-out"
ln -s /etc "$stage/etc"

# start_server NS DIR [COMMAND PREFIX...]: FileServer from DIR in NS; sets SERVER_PID
# and READY, its first line on the ready descriptor (empty when it ended first).
start_server() {
    local ns=$1 dir=$2
    shift 2
    rm -f "$dir/ready"
    mkfifo "$dir/ready"
    chmod 666 "$dir/ready"
    ip netns exec "$ns" "$@" "$dir/FileServer" --ready-fd 3 3>"$dir/ready" \
        >/dev/null 2>>"$dir/server.err" &
    SERVER_PID=$!
    READY=$(timeout 5 head -n 1 "$dir/ready")
}

start_server "$FK_NS_CTL" "$service"
[ "$READY" = ready ] || fk_fail "FileServer did not get ready"
main_pid=$SERVER_PID
fk_log "serving $stage on $SERVER:69 (pid $main_pid)"

same() {  # EXPECTED ACTUAL WHAT
    cmp -s "$1" "$2" || fk_fail "$3: the fetched file differs from $(basename "$1")"
}

# --- real clients, default and negotiated block sizes
# what | client command (fetched file is $out)
cases=(
    "curl-plain|curl -sS --tftp-no-options -o OUT tftp://$SERVER/small.bin|small.bin"
    "curl-default|curl -sS -o OUT tftp://$SERVER/mid.bin|mid.bin"
    "curl-1468|curl -sS --tftp-blksize 1468 -o OUT tftp://$SERVER/mid.bin|mid.bin"
    "curl-8|curl -sS --tftp-blksize 8 -o OUT tftp://$SERVER/small.bin|small.bin"
    "curl-65464|curl -sS --tftp-blksize 65464 -o OUT tftp://$SERVER/mid.bin|mid.bin"
    "curl-exact|curl -sS --tftp-blksize 1468 -o OUT tftp://$SERVER/exact.bin|exact.bin"
    "curl-subfolder|curl -sS -o OUT tftp://$SERVER/sub/deep.bin|sub/deep.bin"
    "curl-link-inside|curl -sS -o OUT tftp://$SERVER/link-inside.bin|small.bin"
    "tftp-binary|tftp -m binary $SERVER -c get mid.bin OUT|mid.bin"
    "tftp-netascii|tftp -m netascii $SERVER -c get notes.txt OUT|notes.txt"
)
for c in "${cases[@]}"; do
    IFS='|' read -r what command expected <<<"$c"
    out="$got/$what"
    # shellcheck disable=SC2086
    lan ${command//OUT/$out} >"$FK_WORK/$what.err" 2>&1 || fk_fail "$what: client failed"
    same "$stage/$expected" "$out" "$what"
    fk_log "$what: $expected ok"
done

# The window and the transfer size, which neither client above asks for.
oack=$(probe get "$SERVER" 69 mid.bin "$got/window" windowsize=16 blksize=1468 tsize=0) ||
    fk_fail "windowed fetch failed"
same "$stage/mid.bin" "$got/window" "windowsize 16"
fk_check 'o = json.loads(args[0])
expect(o == {"windowsize": "16", "blksize": "1468", "tsize": args[1]}, "OACK %r" % o)' \
    "$oack" "$(stat -c %s "$stage/mid.bin")"
oack=$(probe get "$SERVER" 69 mid.bin "$got/bigwindow" blksize=65464 windowsize=64) ||
    fk_fail "large windowed fetch failed"
same "$stage/mid.bin" "$got/bigwindow" "windowsize 64 at blksize 65464"
fk_check 'o = json.loads(args[0])
expect(o == {"blksize": "65464", "windowsize": "2"}, "window bounded by bytes: %r" % o)' "$oack"
fk_log "window and transfer size negotiated"

# --- past 32 MB at 512-byte blocks: the block number wraps to 0
for what in tftp curl; do
    start=$SECONDS
    if [ "$what" = tftp ]; then
        lan tftp -m binary "$SERVER" -c get big.bin "$got/big-$what" >"$FK_WORK/big.err" 2>&1
    else
        lan curl -sS --tftp-blksize 512 -o "$got/big-$what" "tftp://$SERVER/big.bin" 2>"$FK_WORK/big.err"
    fi || fk_fail "rollover fetch with $what failed"
    [ "$(sha256sum <"$got/big-$what")" = "$(sha256sum <"$stage/big.bin")" ] ||
        fk_fail "rollover fetch with $what: checksum differs"
    fk_log "rollover: $(stat -c %s "$stage/big.bin") bytes by $what in $((SECONDS - start)) s, checksum ok"
done

# --- ten clients at once
pids=()
for i in $(seq 0 9); do
    if ((i % 2)); then
        lan tftp -m binary "$SERVER" -c get mid.bin "$got/ten-$i" >/dev/null 2>&1 &
    else
        lan curl -sS --tftp-blksize 1468 -o "$got/ten-$i" "tftp://$SERVER/mid.bin" 2>/dev/null &
    fi
    pids+=($!)
done
for i in $(seq 0 9); do
    wait "${pids[$i]}" || fk_fail "client $i of ten failed"
    same "$stage/mid.bin" "$got/ten-$i" "client $i of ten"
done
fk_log "ten clients at once: all ok"

# --- refused: every path out, write requests
# raw name | expected answer (TFTP error code, or data)
refusals=(
    "../secret.txt|2" "sub/../small.bin|2" "/etc/passwd|2" "$stage/small.bin|2"
    "link-out|2" "etc/passwd|2" "sub|2" "missing.bin|1" "link-inside.bin|data"
)
for r in "${refusals[@]}"; do
    IFS='|' read -r name expected <<<"$r"
    answer=$(probe refusal "$SERVER" 69 "$name")
    [ "$answer" = "$expected" ] || fk_fail "read of '$name': got '$answer', expected '$expected'"
done
[ "$(probe refusal "$SERVER" 69 upload.bin wrq)" = 2 ] || fk_fail "write request not refused"
lan tftp "$SERVER" -c get ../secret.txt "$got/secret" >"$FK_WORK/tftp-out.err" 2>&1
grep -q "Error code 2" "$FK_WORK/tftp-out.err" || fk_fail "tftp-hpa: .. not refused"
echo data >"$FK_WORK/upload.bin"
lan tftp "$SERVER" -c put "$FK_WORK/upload.bin" upload.bin >"$FK_WORK/tftp-put.err" 2>&1
grep -q "Error code 2" "$FK_WORK/tftp-put.err" || fk_fail "tftp-hpa: put not refused"
lan curl -sS -T "$FK_WORK/upload.bin" "tftp://$SERVER/upload.bin" 2>/dev/null
rc=$?
[ "$rc" -eq 69 ] || fk_fail "curl upload: exit $rc, expected 69 (TFTP access violation)"
[ ! -e "$stage/upload.bin" ] || fk_fail "a write request created a file"
[ ! -e "$got/secret" ] || ! grep -q "not for the LAN" "$got/secret" || fk_fail "the secret left"
fk_log "paths out and write requests refused"

# --- a stranger's transfer ID gets error 5; the transfer goes on
answer=$(probe stranger "$SERVER" 69 small.bin)
fk_check 'o = json.loads(args[0])
expect(o["first"] == "data", "first answer %r" % o)
expect(o["stranger"] == [5, 5], "the stranger got %r, expected ERROR 5" % o["stranger"])
expect(o["client"] == [3, 2] and o["same_port"], "the client got %r" % o)' "$answer"
fk_log "stranger answered with error 5, transfer undisturbed"

# --- more requests than transfers at once: the rest are refused at once
answer=$(probe flood "$SERVER" 69 small.bin 40)
fk_check 'o = json.loads(args[0])
expect(o == {"data": 32, "error0": 8}, "40 requests: %r" % o)' "$answer"
lan curl -sS -o "$got/after-flood" "tftp://$SERVER/small.bin" || fk_fail "no transfer after the flood"
same "$stage/small.bin" "$got/after-flood" "after the flood"
fk_log "40 requests at once: 32 served, 8 refused; places freed afterwards"

# --- lost and duplicated datagrams (netem is not in this kernel; nftables plays it)
if command -v nft >/dev/null && ip netns exec "$FK_NS_LAN" nft list tables >/dev/null 2>&1; then
    # Dropped on arrival: a datagram dropped on its way out fails the sender's sendto,
    # which a real lost datagram never does.
    lossy() {  # NS PEER INTERFACE
        ip netns exec "$1" nft -f - <<NFT
table ip fkloss {
    chain in {
        type filter hook input priority 0; policy accept;
        ip saddr $2 ip protocol udp numgen random mod 100 < 3 drop
    }
    chain out {
        type filter hook output priority 0; policy accept;
        ip daddr $2 ip protocol udp numgen random mod 100 < 3 dup to $2 device "$3"
    }
}
NFT
    }
    lossy "$FK_NS_LAN" "$SERVER" "$FK_LAN_IF1" || fk_fail "nft rules (LAN)"
    lossy "$FK_NS_CTL" "$CLIENT_IP" "$FK_CTL_IF1" || fk_fail "nft rules (controller)"
    start=$SECONDS
    lan tftp -m binary "$SERVER" -c get loss.bin "$got/loss-tftp" >/dev/null 2>&1 ||
        fk_fail "tftp-hpa under loss failed"
    same "$stage/loss.bin" "$got/loss-tftp" "tftp-hpa under loss"
    probe get "$SERVER" 69 loss.bin "$got/loss-window" windowsize=8 blksize=1468 >/dev/null ||
        fk_fail "windowed fetch under loss failed"
    same "$stage/loss.bin" "$got/loss-window" "windowed fetch under loss"
    ip netns exec "$FK_NS_LAN" nft delete table ip fkloss
    ip netns exec "$FK_NS_CTL" nft delete table ip fkloss
    fk_log "3 % loss and 3 % duplicates each way: tftp-hpa and a window of 8 ok in $((SECONDS - start)) s"
else
    fk_log "nft is not available: no loss case"
fi

# --- binding: a port in use, and port 69 for the unprivileged user
alt="$FK_WORK/alt"
mkdir -p "$alt" && cp "$service/FileServer" "$service/FileServer.ini" "$alt/"
start_server "$FK_NS_CTL" "$alt"
[ -z "$READY" ] || fk_fail "a second server bound port 69"
wait "$SERVER_PID"
rc=$?
[ "$rc" -eq 4 ] || fk_fail "port in use: exit $rc, expected 4"
if command -v setpriv >/dev/null && command -v setcap >/dev/null; then
    # The unprivileged copy runs in the LAN namespace, where port 69 is free.
    chmod 711 "$FK_WORK"
    chmod 755 "$alt" "$stage"
    as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    start_server "$FK_NS_LAN" "$alt" "${as_nobody[@]}"
    [ -z "$READY" ] || fk_fail "port 69 bound without the capability"
    wait "$SERVER_PID"
    rc=$?
    [ "$rc" -eq 5 ] || fk_fail "port 69 denied: exit $rc, expected 5"
    setcap cap_net_bind_service=+ep "$alt/FileServer" || fk_fail "setcap failed"
    start_server "$FK_NS_LAN" "$alt" "${as_nobody[@]}"
    [ "$READY" = ready ] || fk_fail "port 69 not bound with the capability"
    # It gave the capability up after the bind, so the user can see what it runs.
    exe=$("${as_nobody[@]}" readlink "/proc/$SERVER_PID/exe")
    [ "$exe" = "$alt/FileServer" ] || fk_fail "/proc/PID/exe unreadable for its own user: '$exe'"
    grep -q '^CapEff:\s*0*$' "/proc/$SERVER_PID/status" || fk_fail "capability kept after the bind"
    kill -TERM "$SERVER_PID"
    wait "$SERVER_PID"
    fk_log "port in use: exit 4; port 69 without the capability: exit 5; with it: bound, then dropped"
fi

# --- SIGTERM ends it cleanly
ended() { [ ! -e "/proc/$1" ] || grep -q ') Z' "/proc/$1/stat" 2>/dev/null; }
kill -TERM "$main_pid"
fk_wait_until 3 ended "$main_pid" || fk_fail "SIGTERM did not end the server"
wait "$main_pid"
rc=$?
[ "$rc" -eq 0 ] || fk_fail "ended by SIGTERM with exit $rc"
[ ! -s "$service/server.err" ] || fk_fail "the server wrote: $(head -c 500 "$service/server.err")"
fk_pass
