#!/usr/bin/env bash
# MSG_UPGRADE names a file and its size; the radio fetches it by TFTP from the
# controller's address and reports the outcome, which becomes the stored status:
# the whole image -> "Upgrade wait", a missing file or a size that does not match ->
# "Upgrade fail". The file server is the project's FileServer when it is built, else a
# minimal TFTP server of the test's own.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1
port=6969
fk_start_sim --group "count=3,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1" --set "* tftp=1" \
    --tftp-port "$port"

firmware="$FK_WORK/firmware"
mkdir -p "$firmware"
python3 -c 'import sys; open(sys.argv[1], "wb").write(bytes(range(256)) * 300 + b"end")' \
    "$firmware/fw-5.1.bin"
size=$(stat -c %s "$firmware/fw-5.1.bin")

if [ -x "$FK_BIN/service/FileServer" ]; then
    mkdir -p "$FK_WORK/service"
    cp "$FK_BIN/service/FileServer" "$FK_WORK/service/"
    printf '[SERVER]\nDirectory=%s\nPort=%s\n' "$firmware" "$port" >"$FK_WORK/service/FileServer.ini"
    fk_bg ip netns exec "$FK_NS_CTL" timeout 120 bash -c 'cd "$1" && exec ./FileServer' _ \
        "$FK_WORK/service" >"$FK_WORK/server.err" 2>&1
    fk_log "serving with FileServer"
else
    fk_bg ip netns exec "$FK_NS_CTL" timeout 120 python3 -c '
import os, sys, time
from fkcheck import TinyTftpServer
folder = sys.argv[1]
files = {n: open(os.path.join(folder, n), "rb").read() for n in os.listdir(folder)}
server = TinyTftpServer("198.18.0.1", int(sys.argv[2]), files)
time.sleep(110)' "$firmware" "$port" >"$FK_WORK/server.err" 2>&1
    fk_log "FileServer is not built: serving with the test's own TFTP server"
fi

upgrade_payload() {  # NAME SIZE
    python3 -c 'import struct, sys
n = sys.argv[1].encode()
print((n + bytes(260 - len(n)) + bytes([len(n), 0, 0, 0]) + struct.pack("<I", int(sys.argv[2]))).hex())' \
        "$1" "$2"
}

# radio index | file | announced size | status expected
cases=(
    "0 fw-5.1.bin $size Upgrade wait"
    "1 fw-5.1.bin $((size - 1)) Upgrade fail"
    "2 missing.bin 1000 Upgrade fail"
)
for c in "${cases[@]}"; do
    read -r index file announced status <<<"$c"
    ip="198.18.0.$((20 + index))"
    mac=$(printf '02:46:4b:00:00:%02x' $((index + 1)))
    fk_cli send --discover-first 2 --ip "$ip" --mac "$mac" --type 11 \
        --payload "$(upgrade_payload "$file" "$announced")" --wait 6 \
        >"$FK_WORK/send-$index.out" 2>"$FK_WORK/send-$index.err" || fk_fail "send failed"
    fk_check 'expect(str(cli_row_field(args[0], "status")) == args[1],
       "radio #%s: status %r, expected %r" % (args[2], cli_row_field(args[0], "status"), args[1]))' \
        "$FK_WORK/send-$index.out" "$status" "$index"
    fk_log "radio #$index: $file announced as $announced bytes -> $status"
done
fk_state "$FK_WORK/state.json"
fk_check '
radios = sim_radios(args[0])
expect(radios[0]["upgrade"]["fetched"] == int(args[1]), "fetched %r" % radios[0]["upgrade"])
expect(radios[2]["upgrade"]["error"] != "", "a missing file is an error: %r" % radios[2]["upgrade"])
' "$FK_WORK/state.json" "$size"
fk_pass
