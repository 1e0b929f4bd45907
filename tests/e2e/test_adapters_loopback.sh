#!/usr/bin/env bash
# `fieldkit-cli adapters` in a namespace that holds only lo and one veth: the loopback
# is no way to a radio, so only the veth is listed, with its address and MAC. Listing
# adapters sends nothing; no simulator is needed.
source "$(dirname "$0")/lib.sh" "${1:-}"
fk_require fieldkit-cli
fk_topology 1
mac=$(ip netns exec "$FK_NS_CTL" cat "/sys/class/net/$FK_CTL_IF1/address")

fk_cli adapters --format json >"$FK_WORK/adapters.out" 2>"$FK_WORK/adapters.err" ||
    fk_fail "adapters failed"
fk_check '
rows = load_json(args[0])
names = [r["Description"] for r in rows]
expect(names == [args[1]], "listed %r, expected only %s" % (names, args[1]))
expect(rows[0]["IP"] == args[2], "IP %r, expected %s" % (rows[0]["IP"], args[2]))
expect(rows[0]["MAC"] == args[3], "MAC %r, expected %s" % (rows[0]["MAC"], args[3]))
expect(not any(r["IP"].startswith("127.") for r in rows), "a loopback address is listed")
' "$FK_WORK/adapters.out" "$FK_CTL_IF1" "$FK_CTL_IP1" "$mac"
fk_pass
