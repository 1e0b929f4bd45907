#!/usr/bin/env bash
# Ten radios fetching one firmware image at once, from FileServer and from tftpd-hpa
# in the same run, over a veth pair between two private network namespaces (nothing
# reaches the machine's own network). Prints each server's total throughput and the
# ratio; asserts nothing. Not run by CI.
#
#   bench/tftp_bench.sh [BIN_DIR]     (default build/bin; needs root)
#   FK_BENCH_ROWS=fetch bench/tftp_bench.sh    only the rows whose client matches
#
# Rows: curl at block size 512 and 1468, tftp-hpa (plain TFTP, 512), and our own
# client (bin/tftp_fetch) asking for a window of 16 blocks at 512 and 1468 - a 16 MB
# image. tftpd-hpa does not grant a window, so in those rows it serves the same
# client lock-step: the ratio is what the window buys over it. Then tftp-hpa with 2 % of the datagrams dropped each way (nftables; netem is not
# available everywhere) on a smaller image, FK_BENCH_LOSS_MB (default 2): with a
# lost block costing tftpd-hpa its fixed one-second timer, 16 MB would take tftpd-hpa
# over twenty minutes. curl is left out of the loss row because it always asks for
# a 6 s timeout, which both servers then honour.
repo=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$repo/build/bin}
CLIENTS=${FK_BENCH_CLIENTS:-10}
IMAGE_MB=${FK_BENCH_IMAGE_MB:-16}
LOSS_MB=${FK_BENCH_LOSS_MB:-2}
source "$repo/tests/e2e/lib.sh" "$bin"
fk_require service/FileServer tftp_fetch
command -v in.tftpd >/dev/null || fk_skip "in.tftpd (tftpd-hpa) is missing"
command -v curl >/dev/null || fk_skip "curl is missing"
command -v tftp >/dev/null || fk_skip "tftp (tftp-hpa) is missing"
fk_topology 1
CLIENT_IP=198.18.0.20
SERVER=$FK_CTL_IP1
OURS_PORT=6969
HPA_PORT=6970
ip -n "$FK_NS_LAN" addr add "$CLIENT_IP/24" dev "$FK_LAN_IF1"

stage="$FK_WORK/stage"
mkdir -p "$stage" "$FK_WORK/service" "$FK_WORK/got"
head -c $((IMAGE_MB << 20)) /dev/urandom >"$stage/image.bin"
head -c $((LOSS_MB << 20)) /dev/urandom >"$stage/loss.bin"
# tftpd-hpa serves as nobody from inside its chroot.
chmod 755 "$stage" && chmod 644 "$stage"/*.bin

cp "$FK_BIN/service/FileServer" "$FK_WORK/service/"
printf '[SERVER]\nDirectory=%s\nPort=%s\n' "$stage" "$OURS_PORT" >"$FK_WORK/service/FileServer.ini"
fk_bg ip netns exec "$FK_NS_CTL" "$FK_WORK/service/FileServer"
fk_bg ip netns exec "$FK_NS_CTL" in.tftpd -L -s -a "$SERVER:$HPA_PORT" "$stage"
bound() { ip netns exec "$FK_NS_CTL" ss -Hlun "sport = :$1" | grep -q .; }
fk_wait_until 5 bound "$OURS_PORT" || fk_fail "FileServer did not bind"
fk_wait_until 5 bound "$HPA_PORT" || fk_fail "in.tftpd did not bind"

# nftables drops a share of the datagrams on arrival, on both sides.
lossy() {  # NS PEER PERCENT
    ip netns exec "$1" nft -f - <<NFT
table ip fkbench {
    chain in {
        type filter hook input priority 0; policy accept;
        ip saddr $2 ip protocol udp numgen random mod 100 < $3 drop
    }
}
NFT
}
unlossy() { ip netns exec "$1" nft delete table ip fkbench 2>/dev/null; }

# fetch_all PORT CLIENT FILE: CLIENTS fetches at once; prints the wall time in seconds.
fetch_all() {
    local port=$1 client=$2 file=$3 pids=() i
    local begin end
    begin=$(date +%s.%N)
    for i in $(seq 1 "$CLIENTS"); do
        local out="$FK_WORK/got/$i"
        rm -f "$out"
        case $client in
            curl-*)
                ip netns exec "$FK_NS_LAN" timeout 900 curl -sS --tftp-blksize "${client#curl-}" \
                    -o "$out" "tftp://$SERVER:$port/$file" &
                ;;
            fetch-*)
                local size=${client#fetch-}
                ip netns exec "$FK_NS_LAN" timeout 900 "$FK_BIN/tftp_fetch" "$SERVER" "$port" \
                    "$file" "$out" "${size%-w*}" "${size#*-w}" &
                ;;
            tftp)
                ip netns exec "$FK_NS_LAN" timeout 900 tftp -m binary "$SERVER" "$port" \
                    -c get "$file" "$out" >/dev/null &
                ;;
        esac
        pids+=($!)
    done
    for i in "${pids[@]}"; do wait "$i"; done
    end=$(date +%s.%N)
    for i in $(seq 1 "$CLIENTS"); do
        cmp -s "$stage/$file" "$FK_WORK/got/$i" || fk_fail "client $i got a different $file"
    done
    awk "BEGIN { print $end - $begin }"
}

rows=(
    "curl-512|image.bin|0"
    "curl-1468|image.bin|0"
    "tftp|image.bin|0"
    "fetch-512-w16|image.bin|0"
    "fetch-1468-w16|image.bin|0"
    "tftp|loss.bin|2"
)
printf '\n%-14s %-6s %-5s %8s | %14s %14s | %6s\n' client image loss clients \
    "FileServer" "tftpd-hpa" ratio
for row in "${rows[@]}"; do
    IFS='|' read -r client file loss <<<"$row"
    [[ $client =~ ${FK_BENCH_ROWS:-.} ]] || continue
    if [ "$loss" != 0 ]; then
        lossy "$FK_NS_LAN" "$SERVER" "$loss" || fk_fail "nftables is not usable here"
        lossy "$FK_NS_CTL" "$CLIENT_IP" "$loss"
    fi
    bytes=$(($(stat -c %s "$stage/$file") * CLIENTS))
    ours=$(fetch_all "$OURS_PORT" "$client" "$file")
    hpa=$(fetch_all "$HPA_PORT" "$client" "$file")
    unlossy "$FK_NS_LAN"
    unlossy "$FK_NS_CTL"
    python3 - "$client" "$file" "$loss" "$CLIENTS" "$bytes" "$ours" "$hpa" <<'PY'
import sys
client, file, loss, clients, total, ours, hpa = sys.argv[1:]
total, ours, hpa = int(total), float(ours), float(hpa)
mb = lambda seconds: total / seconds / 1e6
size = "%dM" % (total // int(clients) >> 20)
print("%-14s %-6s %-5s %8s | %7.1f MB/s %7.1f MB/s | %5.2fx   (%.1f s / %.1f s)" % (
    client, size, loss + "%", clients, mb(ours), mb(hpa), hpa / ours, ours, hpa))
PY
done
echo "(ratio: FileServer throughput / tftpd-hpa throughput; MB = 10^6 bytes)"
fk_pass
