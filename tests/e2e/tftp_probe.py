"""A small TFTP client for the file server's end-to-end test: the cases curl and
tftp-hpa cannot play - a window, exact raw file names, a stranger's transfer ID,
more requests at once than the server takes. Every wait is bounded.

    tftp_probe.py get HOST PORT FILE OUT [name=value ...]   prints the OACK as JSON
    tftp_probe.py refusal HOST PORT NAME [wrq]              prints the error code
    tftp_probe.py stranger HOST PORT FILE                   prints what each side got
    tftp_probe.py flood HOST PORT FILE COUNT                prints the answers by kind
"""

import json
import socket
import struct
import sys
import time

RRQ, WRQ, DATA, ACK, ERROR, OACK = 1, 2, 3, 4, 5, 6


def request(opcode, name, options=()):
    body = struct.pack("!H", opcode) + name.encode() + b"\0octet\0"
    for key, value in options:
        body += key.encode() + b"\0" + str(value).encode() + b"\0"
    return body


def parse_options(body):
    parts = body.split(b"\0")
    return {parts[i].decode().lower(): parts[i + 1].decode() for i in range(0, len(parts) - 1, 2)}


def udp(timeout=2.0):
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.bind(("0.0.0.0", 0))
    s.settimeout(timeout)
    return s


def receive(sock):
    try:
        return sock.recvfrom(65536)
    except socket.timeout:
        return None, None


def get(host, port, name, out, options):
    """A windowed read: ACKs the last block of each window, or the last block in order
    when one is missing; re-ACKs after a silence so a lost ACK cannot stall it."""
    sock = udp(0.5)
    sock.sendto(request(RRQ, name, options), (host, port))
    block_size, window, acked, since_ack = 512, 1, 0, 0
    chunks, oack, peer, silences = [], {}, None, 0
    deadline = time.monotonic() + 120
    while True:
        if time.monotonic() > deadline or silences > 20:
            raise SystemExit("transfer did not finish in time")
        data, sender = receive(sock)
        if data is None:
            silences += 1
            if peer is None:
                sock.sendto(request(RRQ, name, options), (host, port))
            else:
                sock.sendto(struct.pack("!HH", ACK, acked & 0xFFFF), peer)
            continue
        silences = 0
        if peer is not None and sender != peer:
            continue
        peer = sender
        opcode = struct.unpack("!H", data[:2])[0]
        if opcode == ERROR:
            code = struct.unpack("!H", data[2:4])[0]
            raise SystemExit("error %d: %r" % (code, data[4:]))
        if opcode == OACK:
            oack = parse_options(data[2:])
            block_size = int(oack.get("blksize", 512))
            window = int(oack.get("windowsize", 1))
            sock.sendto(struct.pack("!HH", ACK, 0), peer)
            continue
        number = struct.unpack("!H", data[2:4])[0]
        if number != (acked + 1) & 0xFFFF:
            # A gap or a repeat: ask again from the block after the last one in order;
            # the server starts its next window there.
            sock.sendto(struct.pack("!HH", ACK, acked & 0xFFFF), peer)
            since_ack = 0
            continue
        acked += 1
        since_ack += 1
        chunks.append(data[4:])
        last = len(data) - 4 < block_size
        if last or since_ack == window:
            sock.sendto(struct.pack("!HH", ACK, number), peer)
            since_ack = 0
        if last:
            break
    with open(out, "wb") as f:
        f.write(b"".join(chunks))
    print(json.dumps(oack))


def first_answer(sock, packet, server):
    sock.sendto(packet, server)
    data, peer = receive(sock)
    if data is None:
        return "silence", None, None
    opcode = struct.unpack("!H", data[:2])[0]
    if opcode == ERROR:
        return "error", struct.unpack("!H", data[2:4])[0], peer
    return {DATA: "data", OACK: "oack"}.get(opcode, "other"), None, peer


def refusal(host, port, name, write=False):
    sock = udp()
    kind, code, peer = first_answer(sock, request(WRQ if write else RRQ, name), (host, port))
    if kind == "data":
        sock.sendto(struct.pack("!HH", ERROR, 0) + b"enough\0", peer)  # frees its place
    print(code if kind == "error" else kind)


def stranger(host, port, name):
    """A second socket ACKs the first one's transfer: it must get error 5, and the
    real client's transfer must go on."""
    client, other = udp(), udp()
    kind, _, peer = first_answer(client, request(RRQ, name), (host, port))
    other.sendto(struct.pack("!HH", ACK, 1), peer)
    data, _ = receive(other)
    other_got = struct.unpack("!HH", data[:4]) if data else None
    client.sendto(struct.pack("!HH", ACK, 1), peer)
    data, from_peer = receive(client)
    client_got = struct.unpack("!HH", data[:4]) if data else None
    client.sendto(struct.pack("!HH", ERROR, 0) + b"done\0", peer)
    print(json.dumps({"first": kind, "stranger": other_got, "client": client_got,
                      "same_port": from_peer == peer}))


def flood(host, port, name, count):
    """COUNT requests from COUNT sockets, none of them ACKed; then every transfer is
    ended with an ERROR so the server frees its places."""
    socks = [udp(2.0) for _ in range(count)]
    for s in socks:
        s.sendto(request(RRQ, name), (host, port))
    kinds = {}
    for s in socks:
        data, peer = receive(s)
        if data is None:
            kind = "silence"
        else:
            opcode, code = struct.unpack("!HH", data[:4])
            kind = "error%d" % code if opcode == ERROR else "data"
            if opcode == DATA:
                s.sendto(struct.pack("!HH", ERROR, 0) + b"bye\0", peer)
        kinds[kind] = kinds.get(kind, 0) + 1
    print(json.dumps(kinds, sort_keys=True))


def main(argv):
    command, host, port = argv[1], argv[2], int(argv[3])
    if command == "get":
        options = [tuple(a.split("=", 1)) for a in argv[6:]]
        get(host, port, argv[4], argv[5], options)
    elif command == "refusal":
        refusal(host, port, argv[4], len(argv) > 5 and argv[5] == "wrq")
    elif command == "stranger":
        stranger(host, port, argv[4])
    elif command == "flood":
        flood(host, port, argv[4], int(argv[5]))
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
