#!/usr/bin/env bash
# The result byte of reboot, restore, VLAN, bridge and upgrade answers sets the stored
# status; a refusal leaves it as it was. Radios restart for a long time here, so no
# fresh report overwrites the status before it is read.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-devsim fieldkit-cli
fk_topology 1
fk_start_sim --group "count=12,base=198.18.0.20,prefix=24,iface=$FK_LAN_IF1" --restart-ms 60000 \
    --set "#1 reboot_result=1" --set "#3 restore_result=1" --set "#5 vlan_result=1" \
    --set "#7 bridge_result=1" --set "#9 upgrade_fetch=1"

vlan=$(python3 -c 'import struct; print(struct.pack("<BBHHHBB", 1, 0, 100, 200, 300, 0, 0).hex())')
bridge=$(python3 -c '
import struct, socket
ssid = b"uplink-ap"
block = bytes([2]) + bytes.fromhex("02aa00000001") + bytes([6]) + ssid + bytes(32 - len(ssid)) + bytes([len(ssid), 0])
block += bytes(304 - len(block))
ip = b"\x01" + socket.inet_aton("198.18.0.70") + socket.inet_aton("255.255.255.0") + socket.inet_aton("198.18.0.1") + bytes(8) + b"\x00"
print((block + ip).hex())')
upgrade=$(python3 -c '
import struct
n = b"fw-9.9.bin"
print((n + bytes(260 - len(n)) + bytes([len(n), 0, 0, 0]) + struct.pack("<I", 4096)).hex())')

# radio index | type | payload | status expected afterwards
cases=(
    "0 9 - Restarting"
    "1 9 - Online"
    "2 10 - Reseting"
    "3 10 - Online"
    "4 13 $vlan Restarting"
    "5 13 $vlan Online"
    "6 7 $bridge Bridge success"
    "7 7 $bridge Bridge fail"
    "8 11 $upgrade Upgrade wait"
    "9 11 $upgrade Upgrade fail"
)
for c in "${cases[@]}"; do
    read -r index type payload status <<<"$c"
    ip="198.18.0.$((20 + index))"
    mac=$(printf '02:46:4b:00:00:%02x' $((index + 1)))
    args=(send --discover-first 2 --ip "$ip" --mac "$mac" --type "$type" --wait 3)
    [ "$payload" != "-" ] && args+=(--payload "$payload")
    fk_cli "${args[@]}" >"$FK_WORK/send-$index.out" 2>"$FK_WORK/send-$index.err" ||
        fk_fail "send type $type to $ip failed"
    fk_check 'expect(str(cli_row_field(args[0], "status")) == args[1],
       "radio #%s: status %r, expected %r" % (args[2], cli_row_field(args[0], "status"), args[1]))' \
        "$FK_WORK/send-$index.out" "$status" "$index"
    fk_log "radio #$index type $type -> $status"
done
fk_state "$FK_WORK/state.json"
fk_check '
radios = sim_radios(args[0])
expect(radios[6]["bridge"]["ssid"] == "uplink-ap" and radios[6]["work_mode"] == 2,
       "the bridge settings landed: %r" % radios[6]["bridge"])
expect(radios[7]["bridge"]["ssid"] == "", "a refused bridge changes nothing")
expect(radios[4]["vlan"]["en"] == 1 and radios[4]["vlan"]["id"] == 100, "the VLAN block landed")
expect(radios[8]["upgrade"]["file"] == "fw-9.9.bin" and radios[8]["upgrade"]["size"] == 4096,
       "upgrade request landed: %r" % radios[8]["upgrade"])
' "$FK_WORK/state.json"
fk_pass
