"""A private test network for system tests, built inside this process.

The test process moves itself into a fresh network namespace (so do QEMU and
every peer it starts), where a tap device is the LAN the guest's card joins.
Peers run inside it: dnsmasq as the DHCP and DNS server, Python's
http.server, the store server. Nothing sent here can leave the namespace,
and no test addresses anything outside it. Without root (or without
/dev/net/tun) the network cannot be built and the tests skip with the
reason.
"""
import ctypes
import struct
import threading
import os
import shutil
import signal
import socket
import subprocess
import tempfile
import time
import unittest

CLONE_NEWNET = 0x40000000

TAP = "tap0"
LAN_PREFIX = "192.168.77"
HOST_IP = LAN_PREFIX + ".1"          # our end of the tap: DHCP, DNS, HTTP
SECOND_DNS_IP = LAN_PREFIX + ".3"    # a second address on the tap for DNS
SILENT_IP = LAN_PREFIX + ".9"        # answers ARP and nothing else (see ArpOnlyHost)
SILENT_MAC = bytes([0x02, 0, 0, 0, 0, 0x09])
NETMASK = "255.255.255.0"
DHCP_FIRST = LAN_PREFIX + ".50"
DHCP_LAST = LAN_PREFIX + ".60"
TAP_NETDEV = f"tap,id=n0,ifname={TAP},script=no,downscript=no"
# The kernel's default store server address (QEMU's user network puts the
# host there); here it is one more address of ours, behind the gateway.
STORE_IP = "10.0.2.2"
STORE_PORT = 8088

ROOT_BUILD = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))), "build")

_entered = False


def why_not_available():
    """None when a namespace can be built here, else the reason."""
    if os.geteuid() != 0:
        return "network tests need root to build a network namespace"
    if not os.path.exists("/dev/net/tun"):
        return "network tests need /dev/net/tun"
    for tool in ("ip", "dnsmasq", "qemu-system-i386"):
        if not shutil.which(tool):
            return f"network tests need {tool}"
    return None


def _run(*args):
    subprocess.run(args, check=True, capture_output=True)


def enter_namespace():
    """Moves this process into a new network namespace with the LAN tap.

    Safe to call more than once; the namespace (with the tap and whatever
    still runs in it) vanishes when the process ends.
    """
    global _entered
    if _entered:
        return
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.unshare(CLONE_NEWNET) != 0:
        raise OSError(ctypes.get_errno(), "unshare(CLONE_NEWNET) failed")
    _entered = True
    _run("ip", "link", "set", "lo", "up")
    _run("ip", "tuntap", "add", "dev", TAP, "mode", "tap")
    _run("ip", "addr", "add", f"{HOST_IP}/24", "dev", TAP)
    _run("ip", "addr", "add", f"{SECOND_DNS_IP}/24", "dev", TAP)
    _run("ip", "addr", "add", f"{STORE_IP}/32", "dev", TAP)
    _run("ip", "link", "set", TAP, "up")


def require_network(test_case_class):
    """Class decorator: skip with the reason, or enter the namespace."""
    reason = why_not_available()
    if reason:
        return unittest.skip(reason)(test_case_class)
    original = test_case_class.setUpClass.__func__

    def setUpClass(cls):
        enter_namespace()
        original(cls)

    test_case_class.setUpClass = classmethod(setUpClass)
    return test_case_class


def _wait_port(host, port, proto=socket.SOCK_STREAM, timeout=10):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if proto == socket.SOCK_STREAM:
            try:
                with socket.create_connection((host, port), timeout=0.5):
                    return
            except OSError:
                time.sleep(0.05)
        else:
            return
    raise TimeoutError(f"nothing listens on {host}:{port}")


class Peer:
    """A process started for a test, with its working folder."""

    def __init__(self, args, workdir, log_name):
        self.workdir = workdir
        self.log_path = os.path.join(workdir, log_name)
        self.out = open(self.log_path + ".out", "w")
        self.proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=self.out,
                                     stderr=subprocess.STDOUT)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.out.close()

    def log(self):
        try:
            with open(self.log_path, errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""


def start_dnsmasq(workdir, names=None, dns_servers=(HOST_IP,), router=HOST_IP, dhcp=True):
    """dnsmasq on the tap: DHCP with the given router and DNS servers, and
    DNS answering `names` ({name: address}) and nothing else."""
    args = ["dnsmasq", "--keep-in-foreground", "--conf-file=/dev/null", "--no-resolv",
            "--no-hosts", f"--interface={TAP}", "--bind-interfaces", "--except-interface=lo",
            "--user=root", "--group=root", f"--pid-file={workdir}/dnsmasq.pid",
            f"--log-facility={workdir}/dnsmasq.log", "--log-queries"]
    if dhcp:
        # As it ships: not authoritative, so it answers a client that asks
        # for a unicast OFFER by sending it to the offered address.
        args += [f"--dhcp-range={DHCP_FIRST},{DHCP_LAST},{NETMASK},1h", "--log-dhcp",
                 f"--dhcp-leasefile={workdir}/leases"]
        args += [f"--dhcp-option=option:router,{router}" if router else "--dhcp-option=3"]
        args += ["--dhcp-option=option:dns-server," + ",".join(dns_servers)]
    else:
        args += ["--no-dhcp-interface=" + TAP]
    for name, address in (names or {}).items():
        args.append(f"--address=/{name}/{address}")
    peer = Peer(args, workdir, "dnsmasq.log")
    deadline = time.time() + 10
    while "started" not in peer.log() and time.time() < deadline:
        if peer.proc.poll() is not None:
            raise RuntimeError("dnsmasq ended: " + open(peer.log_path + ".out").read())
        time.sleep(0.05)
    return peer


def start_http_server(workdir, root, port=8080, address=HOST_IP):
    """Python's http.server serving `root` on the tap address."""
    args = ["python3", "-m", "http.server", str(port), "--bind", address, "--directory", root]
    peer = Peer(args, workdir, "http.log")
    _wait_port(address, port)
    return peer


def start_store_server(workdir, binary, store_dir, port=8088, address=HOST_IP, max_upload=None,
                       seeds=()):
    args = [binary, "--host", address, "--port", str(port), "--dir", store_dir]
    if max_upload:
        args += ["--max-upload", str(max_upload)]
    for folder in seeds:
        args += ["--seed", folder]
    peer = Peer(args, workdir, "store.log")
    _wait_port(address, port)
    return peer


class Workdir:
    def __init__(self):
        self.path = tempfile.mkdtemp(prefix="tavlin-net-")

    def remove(self):
        if os.environ.get("TAVLIN_KEEP_LOGS"):
            print(f"network logs kept in {self.path}")
        else:
            shutil.rmtree(self.path, ignore_errors=True)


class ArpOnlyHost:
    """A host on the LAN that answers ARP for its address and ignores every
    other frame: the model of a server that never answers a SYN. Runs as a
    thread on a packet socket bound to the tap."""

    def __init__(self, ip=SILENT_IP, mac=SILENT_MAC):
        self.ip = socket.inet_aton(ip)
        self.mac = mac
        self.sock = socket.socket(socket.AF_PACKET, socket.SOCK_RAW, socket.htons(0x0806))
        self.sock.bind((TAP, 0))
        self.sock.settimeout(0.2)
        self.running = True
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def _serve(self):
        while self.running:
            try:
                frame = self.sock.recv(2048)
            except socket.timeout:
                continue
            except OSError:
                return
            if len(frame) < 42 or frame[20:22] != b"\x00\x01" or frame[38:42] != self.ip:
                continue
            asker_mac, asker_ip = frame[22:28], frame[28:32]
            reply = (asker_mac + self.mac + b"\x08\x06" +
                     struct.pack("!HHBBH", 1, 0x0800, 6, 4, 2) +
                     self.mac + self.ip + asker_mac + asker_ip)
            self.sock.send(reply)

    def stop(self):
        self.running = False
        self.thread.join(timeout=2)
        self.sock.close()


class GdbStub:
    """Writes guest memory through QEMU's GDB stub (start QEMU with
    gdb_args(path)). Connecting stops the guest; detaching lets it run on."""

    def __init__(self, path, timeout=10):
        deadline = time.time() + timeout
        while True:
            try:
                self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
                self.sock.connect(path)
                break
            except OSError:
                self.sock.close()
                if time.time() > deadline:
                    raise
                time.sleep(0.05)
        self.sock.settimeout(timeout)
        self.buffer = b""

    def _read_byte(self):
        if not self.buffer:
            self.buffer = self.sock.recv(4096)
            if not self.buffer:
                raise ConnectionError("GDB stub closed the connection")
        b, self.buffer = self.buffer[:1], self.buffer[1:]
        return b

    def _packet(self, payload):
        body = payload.encode()
        self.sock.sendall(b"$" + body + b"#" + b"%02x" % (sum(body) & 0xFF))
        while self._read_byte() != b"+":
            pass
        while self._read_byte() != b"$":
            pass
        reply = b""
        while (b := self._read_byte()) != b"#":
            reply += b
        self._read_byte()
        self._read_byte()
        self.sock.sendall(b"+")
        return reply.decode("latin-1")

    def write(self, address, data):
        reply = self._packet(f"M{address:x},{len(data):x}:{data.hex()}")
        if reply != "OK":
            raise RuntimeError(f"GDB stub refused the write: {reply}")

    def close(self):
        try:
            self._packet("D")
        finally:
            self.sock.close()


def gdb_args(path):
    return ["-gdb", f"unix:{path},server=on,wait=off"]


class NetCommands:
    """Runs network operations in the booted system through its command
    block (kernel/net/net_debug.h) and reads their results."""

    READY = 0x4E455444
    ARG_CAP = 128
    RESOLVE, GET, UPLOAD, DOWNLOAD = 1, 2, 3, 4

    def __init__(self, machine, gdb_path):
        self.m = machine
        self.gdb_path = gdb_path

    def run(self, op, *args, timeout=120):
        base = self.m.symbol("net_debug_command")
        done = self.m.read_u32("net_debug_command", 4 + 4 + 3 * self.ARG_CAP + 12)
        block = struct.pack("<II", 0, op)
        for i in range(3):
            raw = (args[i] if i < len(args) else "").encode()
            assert len(raw) < self.ARG_CAP, raw
            block += raw + b"\0" * (self.ARG_CAP - len(raw))
        stub = GdbStub(self.gdb_path)
        try:
            stub.write(base + 4, block[4:])
            stub.write(base, struct.pack("<I", self.READY))
        finally:
            stub.close()
        offset = 4 + 4 + 3 * self.ARG_CAP
        self.m.wait_until(lambda: self.m.read_u32("net_debug_command", offset + 12) != done,
                          timeout=timeout, interval=0.2, message=f"network command {op} {args}")
        result = self.m.read_i32("net_debug_command", offset)
        ticks = self.m.read_u32("net_debug_command", offset + 4)
        ip = socket.inet_ntoa(self.m.read_bytes("net_debug_command", 4, offset + 8))
        return result, ticks, ip

    def response(self):
        length = self.m.read_u32("http_resp_len")
        return self.m.read_bytes("http_resp_buf", length) if length else b""
