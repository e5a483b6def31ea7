"""A private test network: the test process moves itself (and so QEMU and every peer it starts) into a fresh network
namespace whose tap is the guest's LAN, with dnsmasq, http.server and the store server as peers; nothing leaves it.
Without root or /dev/net/tun the tests skip. NetCommands drives the guest's network through its command block."""
import contextlib
import ctypes
import functools
import os
import struct
import shutil
import socket
import subprocess
import tempfile
import threading
import types
import unittest

from desktop import open_from_dock
from harness import Machine, connected, host_tool, wait_for

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
    """Moves this process into a new network namespace with the LAN tap (once), or skips the test with the reason it
    cannot; the namespace vanishes with the process."""
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
    """A process started for a test, logging into its working folder; with `listens`, once it accepts connections."""

    def __init__(self, args, workdir, name, listens=None):
        self.out = open(os.path.join(workdir, name + ".out"), "w")
        self.proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=self.out, stderr=subprocess.STDOUT)
        if listens:
            wait_for(lambda: connected(listens), 10, f"a listener on {listens}", 0.05).close()

    def stop(self):
        self.proc.kill()
        self.proc.wait()
        self.out.close()


def start_dnsmasq(workdir, names=None):
    """dnsmasq on the tap as it ships (not authoritative): DHCP with us as the router and two DNS servers, DNS
    answering `names` ({name: address}) and nothing else."""
    args = ["dnsmasq", "--keep-in-foreground", "--conf-file=/dev/null", "--no-resolv", "--no-hosts",
            f"--interface={TAP}", "--bind-interfaces", "--except-interface=lo", "--user=root", "--group=root",
            f"--pid-file={workdir}/dnsmasq.pid", f"--log-facility={workdir}/dnsmasq.log", "--log-queries",
            f"--dhcp-range=192.168.77.50,192.168.77.60,{NETMASK},1h", "--log-dhcp",
            f"--dhcp-leasefile={workdir}/leases",
            f"--dhcp-option=option:router,{HOST_IP}", f"--dhcp-option=option:dns-server,{HOST_IP},{SECOND_DNS_IP}"]
    args += [f"--address=/{name}/{address}" for name, address in (names or {}).items()]
    return Peer(args, workdir, "dnsmasq", (HOST_IP, 53))


def start_http_server(workdir, root, port=8080):
    """Python's http.server serving `root` on the tap address."""
    args = ["python3", "-m", "http.server", str(port), "--bind", HOST_IP, "--directory", root]
    return Peer(args, workdir, "http", (HOST_IP, port))


def start_store_server(workdir, store_dir, port=STORE_PORT, address=STORE_IP, max_upload=None, seeds=()):
    """Our store server (tools/store_server) serving `store_dir`, by default at the kernel's default address."""
    args = [host_tool("store_server"), "--host", address, "--port", str(port), "--dir", store_dir]
    args += (["--max-upload", str(max_upload)] if max_upload else []) + [a for f in seeds for a in ("--seed", f)]
    return Peer(args, workdir, "store", (address, port))


def raw_server(address, port, answer):
    """A server written for a test: `answer(conn)` answers each request at (address, port), one connection at a time,
    until stop(); it reuses the port as the store server does, whose last connections may still hold it."""
    listener = socket.create_server((address, port), reuse_port=True)
    listener.settimeout(0.2)  # so that a stopped server ends its wait for a connection

    def serve():
        while listener.fileno() != -1:
            with contextlib.suppress(OSError):  # stopped, or the client went away
                conn, _ = listener.accept()
                with conn:
                    conn.recv(4096)
                    answer(conn)

    threading.Thread(target=serve, daemon=True).start()
    return types.SimpleNamespace(stop=listener.close)


def write_files(folder, files):
    os.makedirs(folder, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    return folder


class LanTestCase(unittest.TestCase):
    """Tests inside the test network, their peers started by `start_peers` in `cls.work` (each passed to `peer`).
    With a card `nic` they share one machine `cls.m` on the LAN (`netdev`, the tap unless start_peers sets it), with
    a window of kind `app` opened from the dock when given; `cls.cmd` runs network commands in the guest."""

    nic, netdev, app = "e1000", TAP_NETDEV, None

    @classmethod
    def setUpClass(cls):
        enter_namespace()
        cls.work = tempfile.mkdtemp(prefix="tavlin-net-")
        if not os.environ.get("TAVLIN_KEEP_LOGS"):
            cls.addClassCleanup(shutil.rmtree, cls.work, ignore_errors=True)
        cls.start_peers()
        if not cls.nic:
            return
        gdb = os.path.join(cls.work, "gdb.sock")
        cls.m = cls.peer(Machine(["-netdev", cls.netdev, "-device", f"{cls.nic},netdev=n0",
                                  "-gdb", f"unix:{gdb},server=on,wait=off"]))
        cls.m.start()
        cls.m.wait_until(lambda: "[NET] Gateway ARP succeeded" in cls.m.serial(), 180, message="the gateway's ARP")
        cls.cmd = NetCommands(cls.m, gdb)
        if cls.app:
            cls.m.wait_for_desktop()
            open_from_dock(cls.m, cls.app)

    @classmethod
    def peer(cls, peer):
        """Stops the peer (anything with stop()) when the class is done."""
        cls.addClassCleanup(peer.stop)
        return peer


def gdb_write(path, *writes):
    """Writes guest memory through QEMU's GDB stub at `path`: (address, bytes) pairs, in order. Connecting stops the
    guest; detaching lets it run on."""
    sock = connected(path, socket.AF_UNIX)
    sock.settimeout(10)
    with sock, sock.makefile("rb") as stream:
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


class NetCommands:
    """Network operations run through the guest's command block (kernel/net/net_debug.h: magic, op, three 128-byte
    arguments, then result, ticks, address and a done counter), and their results."""

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
        return struct.unpack("<iI", read("net_debug_command", 8, self.RESULT_AT))

    def body(self):
        """(head, body) of the last response."""
        length = self.m.read_u32("http_resp_len")
        head, sep, body = self.m.read_bytes("http_resp_buf", length).partition(b"\r\n\r\n")
        assert sep, head[:200]
        return head, body
