#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into fuzz/corpus/<target>/.

The seeds are the vectors the unit tests use (datagrams as radios send them, TFTP
requests and options, the shipped Setting.ini and language packs, typed addresses
and payloads), so the fuzzers start from inputs that reach deep into each parser.
Run it again after changing a wire layout; it replaces the folders it writes.
"""
import pathlib
import shutil
import struct

ROOT = pathlib.Path(__file__).resolve().parent.parent
CORPUS = ROOT / "fuzz" / "corpus"

MAC = bytes([0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E])
OTHER_MAC = bytes([0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5F])


def datagram(msg_type, payload=b"", mac=MAC, ap_type=3, declared=None):
    length = len(payload) if declared is None else declared
    head = struct.pack("<HHHBB6sH", 0x1988, ap_type, msg_type, 0, 0, mac, length)
    return head + payload


def text(value, size=32):
    raw = value.encode()[:size]
    return raw + bytes(size - len(raw)) + bytes([len(raw)])


def report(ip=(198, 18, 0, 20), name="radio", ssid="fieldkit"):
    r = bytearray(756)
    r[4:8] = struct.pack("<I", 1234)
    r[9:13] = bytes(ip)
    r[13:17] = bytes([255, 255, 255, 0])
    r[30:63] = text(name)
    r[63:96] = text("v2.1")
    r[100] = 1
    r[106] = 6
    r[131:164] = text(ssid)
    r[436:469] = text("bridge")
    return bytes(r)


def announcement(long_form=True):
    hello = bytearray(112 if long_form else 33)
    hello[0:33] = text("v2.1")
    return bytes(hello)


def keepalive(up_time=3600):
    body = bytearray(40)
    body[0:33] = text("v2.1")
    body[36:40] = struct.pack("<I", up_time)
    return bytes(body)


def scan_results(entries, count_claimed=None, packet_id=1, packets=1):
    claimed = len(entries) if count_claimed is None else count_claimed
    out = bytearray([packets, packet_id, claimed])
    for i, (mac, signal, ssid) in enumerate(entries):
        entry = bytearray(44)
        entry[0:6] = mac
        entry[6] = signal & 0xFF
        entry[7] = 6 + i
        entry[9:42] = text(ssid)
        out += entry
    return bytes(out)


def event(port, source, data):
    """One event of the datagram target: selector, length, bytes."""
    return bytes([port | (source << 2)]) + struct.pack("<H", len(data)) + data


def datagram_seeds():
    announce = event(0, 0, datagram(1, announcement()))
    short_announce = event(0, 1, datagram(1, announcement(False)))
    reply = event(2, 0, datagram(2, report()))
    registered = announce + reply
    scan = [(OTHER_MAC, -48, "neighbour"), (bytes([2, 0, 0, 0, 0, 1]), -70, "\u4e2d\u6587")]
    return {
        "announcement": announce,
        "announcement-short": short_announce,
        "announce-and-report": registered,
        "keepalive": registered + event(1, 0, datagram(15, keepalive())),
        "report-other-address": announce + event(2, 1, datagram(2, report())),
        "scan-results": registered + event(2, 0, datagram(6, scan_results(scan))),
        "scan-short-packet": registered + event(2, 0, datagram(6, scan_results(scan, 33))),
        "set-ip-answer": registered + event(2, 2, datagram(3, bytes([0]))),
        "reboot-answer": registered + event(2, 0, datagram(9, bytes([0]))),
        "upgrade-answers": registered + event(2, 0, datagram(16)) + event(2, 0, datagram(12, b"\x02")),
        "bridge-answer": registered + event(2, 0, datagram(7, b"\x01")),
        "release-answer": registered + event(2, 0, datagram(17)),
        "ager-ticks": registered + bytes([3] * 8),
        "utf8-name": announce + event(2, 0, datagram(2, report(name="\u5929\u7ebf-1", ssid="x" * 40))),
    }


def tftp_request(name, mode, options=()):
    out = b"\0\1" + name + b"\0" + mode + b"\0"
    for key, value in options:
        out += key + b"\0" + value + b"\0"
    return out


def tftp_request_seeds():
    requests = {
        "plain": tftp_request(b"fw.bin", b"octet"),
        "netascii": tftp_request(b"up.bin", b"NetASCII"),
        "write": b"\0\2up.bin\0octet\0",
        "options": tftp_request(b"Dir/FW.bin", b"OCTET", [(b"BlkSize", b"1468"), (b"tsize", b"0"),
                                                          (b"timeout", b"3")]),
        "window": tftp_request(b"fw.bin", b"octet", [(b"blksize", b"512"), (b"windowsize", b"16")]),
        "huge-values": tftp_request(b"fw.bin", b"octet", [(b"blksize", b"99999999"),
                                                          (b"windowsize", b"65535")]),
        "padded": b"\0\1a\0octet\0\0\0",
        "cut-option": b"\0\1a\0octet\0timeout\0",
        "ack": b"\0\4\xff\xff",
        "error": b"\0\5\0\5Who?\0",
        "oack": b"\0\6blksize\0" + b"1468\0tsize\0" + b"99\0",
    }
    # The target's first byte picks the served file's size.
    return {name: bytes([i % 5]) + packet for i, (name, packet) in enumerate(requests.items())}


def options_piece(pairs):
    raw = b"".join(key + b"\0" + value + b"\0" for key, value in pairs)
    return struct.pack("<H", len(raw)) + raw


def tftp_transfer_seeds():
    def ack(block):
        return b"\3" + struct.pack("<H", block)

    def packet(data, stranger=False):
        return bytes([1 if stranger else 0]) + struct.pack("<H", len(data)) + data

    def clock(ms):
        return b"\2" + struct.pack("<H", ms)

    size_3_blocks = struct.pack("<H", (512 * 2 + 100) // 16)
    return {
        "lock-step": options_piece([]) + size_3_blocks + ack(1) + ack(2) + ack(3),
        "oack-then-blocks": options_piece([(b"blksize", b"1468"), (b"tsize", b"0")])
        + size_3_blocks + ack(0) + b"\4" * 4,
        "window": options_piece([(b"windowsize", b"8"), (b"blksize", b"8")])
        + struct.pack("<H", 4096) + ack(0) + b"\4" * 64,
        "rollover": options_piece([(b"windowsize", b"64"), (b"blksize", b"8")])
        + struct.pack("<H", 0xFFFF) + ack(0) + b"\4" * 1200,
        "timeouts": options_piece([(b"timeout", b"1")]) + size_3_blocks + clock(1000) * 7,
        "duplicate-acks": options_piece([]) + size_3_blocks + ack(1) + ack(1) + ack(0) + ack(2),
        "stranger": options_piece([]) + size_3_blocks + packet(b"\0\4\0\1", True) + ack(1),
        "client-error": options_piece([]) + size_3_blocks + packet(b"\0\5\0\0stop\0"),
        "bad-opcode": options_piece([]) + size_3_blocks + packet(b"\0\3\0\1data"),
        "empty-file": options_piece([]) + struct.pack("<H", 0) + ack(1),
    }


def ini_seeds():
    setting = (ROOT / "app" / "Setting.ini").read_bytes()
    return {
        "setting": setting,
        "setting-bom": b"\xef\xbb\xbf" + setting,
        "file-server": b"[SERVER]\nDirectory=/tmp/stage\nPort=6969\n",
        "crlf-quotes": b"[Server]\r\n Port = '69' \r\n; note\r\nport=70\r\n[server]\r\nDirectory=\"a b\"\r\n",
        "language-index": (ROOT / "Languages" / "Language.ini").read_bytes(),
    }


def language_seeds():
    seeds = {}
    for pack in sorted((ROOT / "Languages").glob("*.lng")):
        data = pack.read_bytes()
        seeds[pack.stem.lower()] = data[:4096]
    seeds["escapes"] = ("[ProgramOutStr]\nSearch=\\r\\nfind[~Null~]now\\n[~NullInfoChrys~]\n"
                        "Ok= \u786e\u5b9a \n").encode()
    return seeds


def hex_seeds():
    return {
        "plain": b"00ff7A",
        "separated": b"de:ad be:EF",
        "odd": b"0:1",
        "full": b"ab" * 1456,
        "over": b"ab" * 1457,
    }


def address_seeds():
    return {
        "address": b"198.18.0.20",
        "zero": b"0.0.0.0",
        "leading-zero": b"010.1.1.1",
        "over": b"192.168.0.300",
        "signed": b" 1. 2.3.-4",
        "mac": b"00:1a:2B:3c:4D:ff",
        "short-mac": b"abc:11",
    }


def main():
    targets = {
        "datagram": datagram_seeds(),
        "tftp_request": tftp_request_seeds(),
        "tftp_transfer": tftp_transfer_seeds(),
        "ini_file": ini_seeds(),
        "language_pack": language_seeds(),
        "hex_payload": hex_seeds(),
        "address_text": address_seeds(),
    }
    for target, seeds in targets.items():
        folder = CORPUS / target
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        for name, data in seeds.items():
            (folder / name).write_bytes(data)


if __name__ == "__main__":
    main()
