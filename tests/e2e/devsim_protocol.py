"""Drives the simulator's radios with a raw controller (run inside the controller
namespace) and checks every answer and every change of state."""

import json
import struct
import subprocess
import sys
import time

from fkcheck import RawController, TinyTftpServer, expect

SOCK, DEVSIM = sys.argv[1], sys.argv[2]
CTL = "198.18.0.1"
R = {k: "02:46:4b:00:00:%02x" % k for k in range(1, 12)}


def state():
    out = subprocess.check_output([DEVSIM, "--control", SOCK, "--request", "state"], timeout=10)
    return {r["mac"]: r for r in json.loads(out)["radios"]}


def valid(items, msg_type, mac=None):
    return [i for i in items if "type" in i and i["type"] == msg_type and i["len"] < 1456
            and (mac is None or i["mac"] == mac)]


def ask(ctl, mac, msg_type, payload=b"", port=9788, seconds=1.5, count=1):
    ctl.drain()
    ctl.command(mac, msg_type, payload)
    return ctl.collect(port, seconds,
                       until=lambda got: len(valid(got, msg_type, mac)) >= count)


def ip_block(ip, mask="255.255.255.0", gw="198.18.0.1"):
    octets = lambda t: bytes(int(x) for x in t.split("."))
    return b"\x01" + octets(ip) + octets(mask) + octets(gw) + bytes(8) + b"\x01"


def check_search(ctl):
    ctl.search("198.18.0.255")
    got = ctl.collect(9785, 2.0)
    ann = valid(got, 1)
    per_mac = {}
    for a in ann:
        per_mac.setdefault(a["mac"], []).append(a)
    expect(R[3] not in per_mac and len(per_mac) == 10, "announced: %r" % sorted(per_mac))
    expect(len(per_mac[R[4]]) == 3, "dup=2 gives three copies, got %d" % len(per_mac[R[4]]))
    one = per_mac[R[1]][0]
    expect(one["src"] == "198.18.0.20", "announcement from %s" % one["src"])
    expect(one["ap_type"] == 257 and one["len"] == 112 and one["size"] == 128,
           "long announcement: type %d len %d" % (one["ap_type"], one["len"]))
    p = one["payload"]
    expect(p[40:40 + p[72]] == b"Alpha", "name in the announcement: %r" % p[40:73])
    expect(p[73:73 + p[105]] == b"net-a" and p[106] == 36, "ssid/channel in the announcement")
    expect(per_mac[R[8]][0]["len"] == 33, "short announcement is 33 bytes")
    expect(per_mac[R[5]][0]["src"] == "198.18.0.99", "reply_from moves the source address")
    broken = [i for i in got if "raw" in i or i.get("len", 0) >= 1456]
    expect(len(broken) >= 3, "malformed radio sends broken datagrams, got %d" % len(broken))
    print("search: %d announcements from %d radios" % (len(ann), len(per_mac)))


def check_report_and_keepalives(ctl):
    got = ask(ctl, R[1], 2)
    rep = valid(got, 2, R[1])
    expect(len(rep) == 1 and rep[0]["len"] == 756, "one 756-byte report")
    p = rep[0]["payload"]
    expect(rep[0]["src"] == "198.18.0.20" and bytes(p[9:13]) == bytes([198, 18, 0, 20]),
           "report from and about 198.18.0.20")
    expect(p[30:30 + p[62]] == b"Alpha", "report name")
    got = ask(ctl, R[8], 2)
    p = valid(got, 2, R[8])[0]["payload"]
    expect(p[62] == 8 and p[30:38] == bytes.fromhex("e4b8ade69687e4b8"),
           "a name cut inside a character travels as stored")
    keep = valid(ctl.collect(9787, 1.5), 15, R[1])
    expect(len(keep) >= 3, "keep-alives every 300 ms, got %d in 1.5 s" % len(keep))
    expect(all(k["len"] == 40 and k["src"] == "198.18.0.20" for k in keep), "keep-alive shape")
    print("report and keep-alives: ok (%d keep-alives)" % len(keep))


def check_settings(ctl):
    name = "Nord 北".encode()
    cases = [
        (8, name + bytes(32 - len(name)) + bytes([len(name)]),
         lambda r: r["name"] == "Nord 北"),
        (4, bytes((7 * k) & 0xFF for k in range(328)),
         lambda r: r["wireless_hex"] == bytes((7 * k) & 0xFF for k in range(328)).hex()),
        (5, bytes([1, 0x22, 0xD2, 0]),
         lambda r: r["schedule"] == {"en": 1, "days": 0x22, "minutes": 210}),
        (18, bytes([1]) + bytes(11), lambda r: r["transparent"] == 1),
        (19, bytes([0, 1]) + bytes(10), lambda r: r["tdma"] == 1 and r["transparent"] == 1),
    ]
    for msg_type, payload, landed in cases:
        got = valid(ask(ctl, R[1], msg_type, payload), msg_type, R[1])
        expect(len(got) == 1, "type %d acknowledged once, got %d" % (msg_type, len(got)))
        expect(landed(state()[R[1]]), "type %d did not land: %r" % (msg_type, state()[R[1]]))
    short = valid(ask(ctl, R[1], 8, b"abc", seconds=0.8), 8, R[1])
    expect(not short, "a cut-short name block is refused")
    expect(state()[R[1]]["name"] == "Nord 北", "a refused block changes nothing")
    print("settings: ok")


def check_address_move(ctl):
    ask(ctl, R[2], 2)  # registers, so keep-alives start
    got = valid(ask(ctl, R[2], 3, ip_block("198.18.0.40")), 3, R[2])
    expect(len(got) == 1 and got[0]["src"] == "198.18.0.21",
           "MSG_SET_IP answered from the old address")
    keep = valid(ctl.collect(9787, 1.5, until=lambda g: len(valid(g, 15, R[2])) >= 2), 15, R[2])
    expect(keep and all(k["src"] == "198.18.0.40" for k in keep),
           "keep-alives from the new address: %r" % [k["src"] for k in keep])
    expect(state()[R[2]]["ip"] == "198.18.0.40", "state shows the new address")
    print("address move: ok")


def check_restarts(ctl):
    vlan = struct.pack("<BBHHHBBBBHHHHH", 1, 0, 100, 200, 300, 0, 0, 0, 0, 5, 6, 7, 0, 0)
    got = valid(ask(ctl, R[2], 13, vlan), 13, R[2])
    expect(len(got) == 1 and got[0]["payload"][0] == 0, "VLAN answered with result 0")
    time.sleep(0.2)  # the radio is now restarting: a command in this window is not heard
    ctl.command(R[2], 8, b"Lost" + bytes(28) + b"\x04")
    back = ctl.collect(9785, 3.0, until=lambda g: len(valid(g, 1, R[2])) >= 1)
    expect(valid(back, 1, R[2]), "the radio announces itself after its restart")
    s = state()[R[2]]
    expect(s["vlan"]["en"] == 1 and s["vlan"]["id"] == 100 and s["vlan"]["lan4"] == 7,
           "VLAN block landed: %r" % s["vlan"])
    expect(s["restarts"] == 1 and s["lost"] >= 1 and s["name"] == "Bravo",
           "restart: %d restarts, %d lost, name %r" % (s["restarts"], s["lost"], s["name"]))
    got = valid(ask(ctl, R[4], 9, seconds=1.0, count=3), 9, R[4])
    expect(len(got) == 3 and all(g["payload"][0] == 1 for g in got),
           "refused reboot answers 1 (three copies)")
    expect(state()[R[4]]["restarts"] == 0, "a refused reboot does not restart")
    print("restarts: ok")


def check_faults(ctl):
    for _ in range(2):
        expect(not valid(ask(ctl, R[3], 8, bytes(33), seconds=0.6), 8), "silent radio answered")
    expect(state()[R[3]]["received"] == {"8": 2}, "silent radio still counts what it hears")
    before = {m: r["received"] for m, r in state().items()}
    ask(ctl, "02:46:4b:00:00:99", 9, seconds=0.5)
    expect(before == {m: r["received"] for m, r in state().items()},
           "a command for another MAC is ignored by every radio")
    got = valid(ask(ctl, R[5], 8, b"x" + bytes(31) + b"\x01"), 8, R[5])
    expect(got and got[0]["src"] == "198.18.0.99", "answer from the other address")
    got = ask(ctl, R[6], 8, b"y" + bytes(31) + b"\x01")
    expect(len([g for g in got if "raw" in g or g["len"] >= 1456]) >= 2 and valid(got, 8, R[6]),
           "broken datagrams before the real answer")
    print("faults: ok")


def check_scan(ctl):
    got = valid(ask(ctl, R[7], 6, count=3), 6, R[7])
    ids = [g["payload"][1] for g in got]
    expect(ids == [2, 0, 1], "packet ids in the chosen order, got %r" % ids)
    expect(all(g["payload"][0] == 3 for g in got), "packet_count 3 in every packet")
    counts = [g["payload"][2] for g in got]
    expect(sum(counts) == 40 and max(counts) <= 32, "entries %r" % counts)
    expect(all(g["len"] == 3 + 44 * c for g, c in zip(got, counts)), "payload sizes")
    print("scan: ok")


def check_upgrade_and_release(ctl):
    name = b"fw-3.0.bin"
    payload = name + bytes(260 - len(name)) + bytes([len(name), 0, 0, 0]) + struct.pack("<I", 12345)
    got = ask(ctl, R[8], 11, payload, seconds=2.5, count=1)
    expect(valid(got, 11, R[8]), "MSG_UPGRADE acknowledged")
    if not valid(got, 12, R[8]):
        got += ctl.collect(9788, 2.0, until=lambda g: valid(g, 12, R[8]))
    res = valid(got, 12, R[8])
    expect(res and res[0]["payload"][0] == 0, "image fetched (result 0)")
    got = ask(ctl, R[8], 16, seconds=1.0)
    expect(valid(got, 16, R[8]), "MSG_UPGRADE_STATUS answered")
    got = ctl.collect(9788, 3.0, until=lambda g: valid(g, 12, R[8]))
    res = valid(got, 12, R[8])
    expect(res and res[0]["payload"][0] == 2, "upgrade success after the restart")
    s = state()[R[8]]
    expect(s["version"] == "fw-3.0" and s["upgrade"]["file"] == "fw-3.0.bin"
           and s["upgrade"]["size"] == 12345,
           "upgrade state %r %r" % (s["version"], s["upgrade"]))
    ask(ctl, R[1], 17, seconds=0.3)
    ctl.drain()
    keep = valid(ctl.collect(9787, 1.2), 15, R[1])
    expect(not keep, "no keep-alives after MSG_RELEASE, got %d" % len(keep))
    s = state()[R[1]]
    expect(s["received"] == {"2": 1, "4": 1, "5": 1, "8": 2, "17": 1, "18": 1, "19": 1},
           "every command counted once: %r" % s["received"])
    expect(s["command_sources"] == {CTL: 8}, "command sources %r" % s["command_sources"])
    print("upgrade and release: ok")


def check_tftp_fetch(ctl):
    image = bytes(range(256)) * 20 + b"tail"  # 5124 bytes: the last block is short
    server = TinyTftpServer(CTL, 6969, {"fw tftp.bin": image})
    try:
        for size, result in ((len(image), 0), (4000, 1)):
            name = b"fw tftp.bin"
            payload = (name + bytes(260 - len(name)) + bytes([len(name), 0, 0, 0])
                       + struct.pack("<I", size))
            got = ask(ctl, R[9], 11, payload, seconds=10.0, count=1)
            if not valid(got, 12, R[9]):
                got += ctl.collect(9788, 10.0, until=lambda g: valid(g, 12, R[9]))
            res = valid(got, 12, R[9])
            expect(res and res[0]["payload"][0] == result,
                   "fetch of %d announced bytes reports %r" % (size, res and res[0]["payload"][0]))
            s = state()[R[9]]
            expect(s["upgrade"]["fetched"] == len(image), "fetched %r" % s["upgrade"])
    finally:
        server.close()
    print("tftp fetch: ok")


def check_unanswered_and_factory(ctl):
    for msg_type in (9, 10):
        expect(not valid(ask(ctl, R[10], msg_type, seconds=0.6), msg_type),
               "unanswered type %d was answered" % msg_type)
    expect(valid(ask(ctl, R[10], 8, b"n" + bytes(31) + b"\x01"), 8, R[10]),
           "a type not listed is still answered")
    s = state()[R[10]]
    expect(s["received"].get("9") == 1 and s["received"].get("10") == 1 and s["restarts"] == 0,
           "unanswered commands are counted and do nothing: %r" % s["received"])
    expect(set(s["first_heard_ms"]) == {"8", "9", "10"}
           and s["first_heard_ms"]["9"] <= s["first_heard_ms"]["10"] <= s["first_heard_ms"]["8"],
           "first arrival of each type: %r" % s["first_heard_ms"])

    before = state()[R[11]]
    expect(before["work_mode"] == 2 and before["bridge"]["mac"] == "02:aa:00:00:00:01"
           and before["ssid_mac"] == "02:aa:00:00:00:0b", "bridged pair settings: %r" % before)
    ask(ctl, R[11], 8, b"Renamed" + bytes(25) + b"\x07")
    expect(state()[R[11]]["name"] == "Renamed", "renamed before the restore")
    got = valid(ask(ctl, R[11], 10), 10, R[11])
    expect(len(got) == 1 and got[0]["payload"][0] == 0 and got[0]["src"] == "198.18.0.30",
           "restore answered with 0 from the old address")
    back = valid(ctl.collect(9785, 3.0, until=lambda g: len(valid(g, 1, R[11])) >= 1), 1, R[11])
    expect(back and back[0]["src"] == "198.18.0.31",
           "back from the restore at its factory address: %r" % [b["src"] for b in back])
    s = state()[R[11]]
    expect(s["ip"] == "198.18.0.31" and s["name"] == "Factory" and s["work_mode"] == 1
           and s["bridge"]["mac"] == "00:00:00:00:00:00" and s["restarts"] == 1,
           "factory settings after the restore: %r" % s)
    print("unanswered and factory restore: ok")


def main():
    ctl = RawController(CTL)
    for check in (check_search, check_report_and_keepalives, check_settings, check_address_move,
                  check_restarts, check_faults, check_scan, check_upgrade_and_release,
                  check_tftp_fetch, check_unanswered_and_factory):
        check(ctl)
    print("all protocol checks passed")


main()
