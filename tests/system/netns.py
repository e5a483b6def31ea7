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
import functools
import struct
import os
import shutil
import signal
import socket
import subprocess
import tempfile
import threading
import time
import types
import unittest

from desktop import open_from_dock
from harness import Machine, host_tool

CLONE_NEWNET = 0x40000000

TAP = "tap0"
HOST_IP = "192.168.77.1"          # our end of the tap: DHCP, DNS, HTTP
SECOND_DNS_IP = "192.168.77.3"    # a second address on the tap for DNS
NETMASK = "255.255.255.0"
TAP_NETDEV = f"tap,id=n0,ifname={TAP},script=no,downscript=no"
# The kernel's default store server address (QEMU's user network puts the
# host there); here it is one more address of ours, behind the gateway.
STORE_IP = "10.0.2.2"
STORE_PORT = 8088

@functools.cache
def enter_namespace():
    """Moves this process into a new network namespace with the LAN tap, or
    skips the test with the reason it cannot. Safe to call more than once;
    the namespace (with the tap and whatever still runs in it) vanishes when
    the process ends."""
    missing = [tool for tool in ("ip", "dnsmasq", "qemu-system-i386") if not shutil.which(tool)]
    if os.geteuid() != 0 or not os.path.exists("/dev/net/tun") or missing:
        raise unittest.SkipTest(f"network tests need root, /dev/net/tun and {missing or 'their tools'}")
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.unshare(CLONE_NEWNET) != 0:
        raise OSError(ctypes.get_errno(), "unshare(CLONE_NEWNET) failed")
    for command in ("link set lo up", f"tuntap add dev {TAP} mode tap", f"addr add {HOST_IP}/24 dev {TAP}",
                    f"addr add {SECOND_DNS_IP}/24 dev {TAP}", f"addr add {STORE_IP}/32 dev {TAP}",
                    f"link set {TAP} up"):
        subprocess.run(["ip"] + command.split(), check=True, capture_output=True)


class Peer:
    """A process started for a test, logging into its working folder; with
    `listens` (host, port), once it accepts connections there."""

    def __init__(self, args, workdir, name, listens=None):
        self.out = open(os.path.join(workdir, name + ".out"), "w")
        self.proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=self.out, stderr=subprocess.STDOUT)
        deadline = time.time() + 10
        while listens:
            try:
                socket.create_connection(listens, timeout=0.5).close()
                break
            except OSError:
                if time.time() > deadline:
                    raise TimeoutError(f"nothing listens on {listens}")
                time.sleep(0.05)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.out.close()


def start_dnsmasq(workdir, names=None):
    """dnsmasq on the tap as it ships (not authoritative: it answers a client
    that asks for a unicast OFFER by sending it to the offered address):
    DHCP with us as the router and two DNS servers, DNS answering `names`
    ({name: address}) and nothing else."""
    args = ["dnsmasq", "--keep-in-foreground", "--conf-file=/dev/null", "--no-resolv", "--no-hosts",
            f"--interface={TAP}", "--bind-interfaces", "--except-interface=lo", "--user=root", "--group=root",
            f"--pid-file={workdir}/dnsmasq.pid", f"--log-facility={workdir}/dnsmasq.log", "--log-queries",
            f"--dhcp-range=192.168.77.50,192.168.77.60,{NETMASK},1h", "--log-dhcp",
            f"--dhcp-leasefile={workdir}/leases",
            f"--dhcp-option=option:router,{HOST_IP}", f"--dhcp-option=option:dns-server,{HOST_IP},{SECOND_DNS_IP}"]
    args += [f"--address=/{name}/{address}" for name, address in (names or {}).items()]
    return Peer(args, workdir, "dnsmasq", (HOST_IP, 53))


def start_http_server(workdir, root, port=8080, address=HOST_IP):
    """Python's http.server serving `root` on the tap address."""
    args = ["python3", "-m", "http.server", str(port), "--bind", address, "--directory", root]
    return Peer(args, workdir, "http", (address, port))


def start_store_server(workdir, store_dir, port=STORE_PORT, address=STORE_IP, max_upload=None, seeds=()):
    """Our store server (tools/store_server) serving `store_dir`, by default
    at the kernel's default store address."""
    binary = host_tool("store_server")
    args = [binary, "--host", address, "--port", str(port), "--dir", store_dir]
    args += (["--max-upload", str(max_upload)] if max_upload else []) + [a for f in seeds for a in ("--seed", f)]
    return Peer(args, workdir, "store", (address, port))


def raw_server(address, port, answer):
    """A server written for a test: once a connection at (address, port) has
    sent its request, `answer(conn)` answers it; one connection at a time,
    until stop(). It shares the port-reuse options of the store server, whose
    last connections may still hold the port."""
    listener = socket.create_server((address, port), reuse_port=True)

    def serve():
        while True:
            try:
                conn, _ = listener.accept()
            except OSError:
                return  # stopped
            with conn:
                try:
                    conn.recv(4096)
                    answer(conn)
                except OSError:
                    pass  # the client went away

    threading.Thread(target=serve, daemon=True).start()
    return types.SimpleNamespace(stop=listener.close)


def write_files(folder, files):
    os.makedirs(folder, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    return folder


class NamespaceTestCase(unittest.TestCase):
    """Tests inside the test network: `start_peers` starts their peers in the
    folder `cls.work`, each passed to `cls.peer`."""

    @classmethod
    def setUpClass(cls):
        enter_namespace()
        cls.work = tempfile.mkdtemp(prefix="tavlin-net-")
        if not os.environ.get("TAVLIN_KEEP_LOGS"):
            cls.addClassCleanup(shutil.rmtree, cls.work, ignore_errors=True)
        cls.start_peers()

    @classmethod
    def start_peers(cls):
        pass

    @classmethod
    def peer(cls, peer):
        """Stops the peer (anything with stop()) when the class is done."""
        cls.addClassCleanup(peer.stop)
        return peer


class LanTestCase(NamespaceTestCase):
    """Tests sharing one machine with card `nic` on the test network, as
    `cls.m`, with a window of kind `app` opened from the dock when given;
    `start_peers` may set `cls.netdev` (the tap by default); `cls.cmd` runs
    network commands in the guest (NetCommands)."""

    nic = "e1000"
    netdev = TAP_NETDEV
    app = None

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        gdb = os.path.join(cls.work, "gdb.sock")
        cls.m = cls.peer(Machine(nic=cls.nic, netdev=cls.netdev, extra_args=gdb_args(gdb)))
        cls.m.start()
        cls.m.wait_for_serial("[NET] Gateway ARP succeeded", timeout=180)
        cls.cmd = NetCommands(cls.m, gdb)
        if cls.app:
            cls.m.wait_for_desktop()
            open_from_dock(cls.m, cls.app)


def gdb_args(path):
    return ["-gdb", f"unix:{path},server=on,wait=off"]


def gdb_write(path, *writes):
    """Writes guest memory through QEMU's GDB stub (QEMU started with
    gdb_args(path)): (address, bytes) pairs, in order. Connecting stops the
    guest; detaching lets it run on."""
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    sock.settimeout(10)
    sock.connect(path)
    stream = sock.makefile("rb")
    try:
        for payload in [f"M{address:x},{len(data):x}:{data.hex()}" for address, data in writes] + ["D"]:
            body = payload.encode()
            sock.sendall(b"$" + body + b"#%02x" % (sum(body) & 0xFF))
            for mark in (b"+", b"$"):  # the stub's ack, then its reply (after any stop report)
                while stream.read(1) not in (mark, b""):
                    pass
            reply = b""
            while (byte := stream.read(1)) not in (b"#", b""):
                reply += byte
            stream.read(2)
            sock.sendall(b"+")
            if reply != b"OK":
                raise RuntimeError(f"GDB stub answered {reply!r} to {payload[:20]}")
    finally:
        stream.close()
        sock.close()


class NetCommands:
    """Runs network operations in the booted system through its command
    block (kernel/net/net_debug.h: magic, op, three 128-byte arguments, then
    result, ticks, address and a done counter) and reads their results."""

    READY = 0x4E455444
    RESOLVE, GET, UPLOAD, DOWNLOAD = 1, 2, 3, 4
    RESULT_AT = 8 + 3 * 128

    def __init__(self, machine, gdb_path):
        self.m, self.gdb_path = machine, gdb_path

    def run(self, op, *args, timeout=120):
        base, read = self.m.symbol("net_debug_command"), self.m.read_bytes
        done = read("net_debug_command", 4, self.RESULT_AT + 12)
        block = struct.pack("<I", op) + b"".join(a.encode().ljust(128, b"\0")[:127] + b"\0"
                                                 for a in (list(args) + ["", "", ""])[:3])
        gdb_write(self.gdb_path, (base + 4, block), (base, struct.pack("<I", self.READY)))
        self.m.wait_until(lambda: read("net_debug_command", 4, self.RESULT_AT + 12) != done,
                          timeout=timeout, interval=0.2, message=f"network command {op} {args}")
        result, ticks = struct.unpack("<iI", read("net_debug_command", 8, self.RESULT_AT))
        return result, ticks, socket.inet_ntoa(read("net_debug_command", 4, self.RESULT_AT + 8))

    def response(self):
        length = self.m.read_u32("http_resp_len")
        return self.m.read_bytes("http_resp_buf", length) if length else b""

    def body(self):
        head, sep, body = self.response().partition(b"\r\n\r\n")
        assert sep, head[:200]
        return head, body
