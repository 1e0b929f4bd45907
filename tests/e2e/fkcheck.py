"""Helpers for the end-to-end checks: reading the simulator's state and the CLI's
output, the display rules a listed row must follow, and a minimal raw controller
that talks the radio protocol directly (to test the simulator on its own)."""

import json
import re
import select
import socket
import struct
import time

MAGIC = 0x1988
GROUP = "239.255.255.250"


class CheckFailed(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise SystemExit("CHECK FAILED: " + message)


def load_json(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def sim_radios(path):
    return load_json(path)["radios"]


def by_mac(radios):
    return {r["mac"]: r for r in radios}


def model_name(code):
    if 1 <= code <= 11:
        return "NX-%02d" % code
    if 257 <= code <= 270:
        return "NQ-%02d" % (code - 256)
    return "NX-01"


# The operating mode texts of the English pack, by work_mode code.
WORK_MODES = {1: "AP", 2: "Station", 3: "Universal Repeater", 4: "Repeater", 5: "P2MP",
              6: "WISP", 7: "Router"}


def work_mode_name(code):
    return WORK_MODES.get(code, "")


def uptime_seconds(text):
    """Inverse of the uptime display: "D H:M:S" or "H:M:S", no zero padding."""
    m = re.fullmatch(r"(?:(\d+) )?(\d+):(\d+):(\d+)", text.strip())
    expect(m is not None, "uptime text %r has the wrong shape" % text)
    d, h, mi, s = (int(x) if x else 0 for x in m.groups())
    expect(h < 24 and mi < 60 and s < 60, "uptime text %r out of range" % text)
    return d * 86400 + h * 3600 + mi * 60 + s


def transparent_applies(model, work_mode):
    return not (model in (4, 261) or work_mode in (4, 5, 6, 7))


def tdma_applies(model):
    return model in (6, 8, 9, 10, 11) or 265 <= model <= 270


# ---- the CLI's output ------------------------------------------------------------

CLI_KEYS = {
    "status": ("Status", "status"),
    "model": ("Model", "model"),
    "ip": ("IP", "ip"),
    "mac": ("MAC", "mac"),
    "mode": ("Operating mode", "OperationMode", "operation_mode"),
    "name": ("Name", "name", "Location"),
    "ssid": ("SSID", "ssid"),
    "channel": ("Channel", "channel"),
    "version": ("Version", "version"),
    "transparent": ("Transparent bridge", "transparent_bridge", "TransparentBridge"),
    "tdma": ("Slotra", "slotra", "tdma"),
    "uptime": ("Uptime", "uptime", "UpTime"),
}


def cli_field(row, key):
    for name in CLI_KEYS[key]:
        if name in row:
            return row[name]
    raise SystemExit("CHECK FAILED: the CLI row has no %s column: %r" % (key, sorted(row)))


def cli_rows(path):
    data = load_json(path)
    if isinstance(data, dict):
        for key in ("devices", "rows", "list"):
            if key in data:
                return data[key]
        raise SystemExit("CHECK FAILED: no device list in %s" % path)
    return data


def cli_by_mac(rows):
    out = {}
    for row in rows:
        mac = cli_field(row, "mac")
        expect(mac not in out, "MAC %s listed twice" % mac)
        out[mac] = row
    return out


def check_listed_row(row, radio, elapsed_s, status=None):
    """Every column of a listed device against what the simulated radio holds."""
    mac = radio["mac"]
    want = [
        ("model", model_name(radio["model"])),
        ("ip", radio["ip"]),
        ("mode", work_mode_name(radio["work_mode"])),
        ("name", radio["name"]),
        ("ssid", radio["ssid"]),
        ("version", radio["version"]),
    ]
    for key, value in want:
        got = cli_field(row, key)
        expect(got == value, "%s: %s is %r, the radio has %r" % (mac, key, got, value))
    channel = str(cli_field(row, "channel"))
    if radio["channel"] != 0:
        expect(channel == str(radio["channel"]),
               "%s: channel %r, the radio has %d" % (mac, channel, radio["channel"]))
    else:
        expect(not channel.isdigit(), "%s: channel 0 must read as the automatic text" % mac)
    uptime = uptime_seconds(str(cli_field(row, "uptime")))
    lo = radio["uptime"] - int(elapsed_s) - 2
    expect(lo <= uptime <= radio["uptime"],
           "%s: uptime %d outside [%d, %d]" % (mac, uptime, lo, radio["uptime"]))
    if status is not None:
        expect(str(cli_field(row, "status")) == status,
               "%s: status %r, expected %r" % (mac, cli_field(row, "status"), status))


def check_switch_texts(rows_by_mac, radios):
    """The switch columns: N/A where the model or mode cannot have the switch, else one
    text for on and another for off, the same across all radios."""
    seen = {"transparent": {}, "tdma": {}}
    for radio in radios:
        row = rows_by_mac[radio["mac"]]
        tb = str(cli_field(row, "transparent"))
        if transparent_applies(radio["model"], radio["work_mode"]):
            expect(tb != "N/A", "%s: transparent bridge wrongly N/A" % radio["mac"])
            seen["transparent"].setdefault(bool(radio["transparent"]), set()).add(tb)
        else:
            expect(tb == "N/A", "%s: transparent bridge %r, expected N/A" % (radio["mac"], tb))
        td = str(cli_field(row, "tdma"))
        if tdma_applies(radio["model"]):
            expect(td != "N/A", "%s: Slotra wrongly N/A" % radio["mac"])
            seen["tdma"].setdefault(bool(radio["tdma"]), set()).add(td)
        else:
            expect(td == "N/A", "%s: Slotra %r, expected N/A" % (radio["mac"], td))
    for column, texts in seen.items():
        for value, shown in texts.items():
            expect(len(shown) == 1, "%s %s shown as several texts %r" % (column, value, shown))
        if len(texts) == 2:
            expect(texts[True] != texts[False], "%s on and off look the same" % column)


# ---- a raw controller, for testing the simulator by itself -----------------------

def datagram(msg_type, payload=b"", mac=None, flag=1):
    mac_bytes = bytes(6) if mac is None else bytes(int(x, 16) for x in mac.split(":"))
    return struct.pack("<HHHBB6sH", MAGIC, 0, msg_type, flag, 0, mac_bytes, len(payload)) + payload


def parse(data):
    if len(data) < 16:
        return None
    magic, ap_type, msg_type, flag, _res, mac, length = struct.unpack("<HHHBB6sH", data[:16])
    if magic != MAGIC:
        return None
    return {"ap_type": ap_type, "type": msg_type, "mac": ":".join("%02x" % b for b in mac),
            "len": length, "payload": data[16:], "size": len(data)}


class RawController:
    """Binds the controller's ports on one local address and speaks the protocol."""

    def __init__(self, local_ip, ports=(9785, 9786, 9787, 9788)):
        self.local_ip = local_ip
        self.socks = {}
        for port in ports:
            s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
            s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4 << 20)
            s.bind(("0.0.0.0", port))
            self.socks[port] = s
        self.tx = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.tx.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
        self.tx.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_LOOP, 0)
        self.tx.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_IF, socket.inet_aton(local_ip))
        self.tx.bind((local_ip, 0))

    def search(self, broadcast):
        self.tx.sendto(datagram(1, flag=0), (broadcast, 9786))

    def command(self, mac, msg_type, payload=b""):
        self.tx.sendto(datagram(msg_type, payload, mac), (GROUP, 9787))

    def collect(self, port, seconds, until=None):
        """Datagrams on `port` for up to `seconds` (or until `until(list)` holds)."""
        got = []
        deadline = time.monotonic() + seconds
        sock = self.socks[port]
        while time.monotonic() < deadline:
            ready, _, _ = select.select([sock], [], [], max(0.0, deadline - time.monotonic()))
            if not ready:
                break
            data, (src, _port) = sock.recvfrom(4096)
            item = parse(data)
            got.append(item if item is not None else {"raw": data})
            if item is not None:
                item["src"] = src
            if until is not None and until(got):
                break
        return got

    def drain(self):
        for sock in self.socks.values():
            sock.setblocking(False)
            try:
                while True:
                    sock.recv(4096)
            except BlockingIOError:
                pass
            sock.setblocking(True)


# ---- `fieldkit-cli send` output: the device's stored row, or nothing -------------

def cli_send_row(path):
    with open(path, encoding="utf-8") as f:
        text = f.read().strip()
    if not text:
        return None
    data = json.loads(text.splitlines()[-1]) if not text.startswith("{") else json.loads(text)
    if isinstance(data, dict):
        for key in ("row", "device", "record"):
            if key in data:
                return data[key] or None
        if data.get("found") is False:
            return None
    return data or None


def cli_row_present(path):
    return cli_send_row(path) is not None


def cli_row_field(path, key):
    row = cli_send_row(path)
    expect(row is not None, "no stored row in %s" % path)
    return cli_field(row, key)


class TinyTftpServer:
    """A read-only TFTP server (RFC 1350, 512-byte blocks) for one folder, on a thread;
    enough for a radio to fetch a firmware image in a test."""

    def __init__(self, address, port, files):
        import threading
        self.files = files  # name -> bytes
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.bind((address, port))
        self.sock.settimeout(0.2)
        self.address = address
        self.running = True
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def _serve(self):
        while self.running:
            try:
                data, peer = self.sock.recvfrom(2048)
            except socket.timeout:
                continue
            if data[:2] != b"\x00\x01":
                continue
            name = data[2:].split(b"\x00")[0].decode("utf-8", "replace")
            self._send_file(name, peer)

    def _send_file(self, name, peer):
        tx = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        tx.bind((self.address, 0))
        tx.settimeout(1.0)
        if name not in self.files:
            tx.sendto(b"\x00\x05\x00\x01not found\x00", peer)
            return
        body = self.files[name]
        for block in range(1, len(body) // 512 + 2):
            chunk = body[(block - 1) * 512:block * 512]
            for _attempt in range(5):
                tx.sendto(struct.pack("!HH", 3, block & 0xFFFF) + chunk, peer)
                try:
                    ack, _ = tx.recvfrom(64)
                    if ack[:2] == b"\x00\x04" and struct.unpack("!H", ack[2:4])[0] == block & 0xFFFF:
                        break
                except socket.timeout:
                    pass
            else:
                return

    def close(self):
        self.running = False
        self.thread.join()
        self.sock.close()
