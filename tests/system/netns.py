"""A private test network: the test process moves itself (and so QEMU and every peer it starts) into a fresh network
namespace whose tap is the guest's LAN, with dnsmasq, http.server and the store server as peers; nothing leaves it.
Without root or /dev/net/tun the tests skip. NetCommands drives the guest's network through its command block."""
import ctypes
import functools
import os
import re
import struct
import shutil
import socket
import subprocess
import tempfile
import unittest

from desktop import open_from_dock
from harness import Machine, connected, host_tool, wait_for

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
    if libc.unshare(0x40000000) != 0:  # CLONE_NEWNET
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
            f"--pid-file={workdir}/dnsmasq.pid", f"--log-facility={workdir}/dnsmasq.log", "--log-queries", "--log-dhcp",
            f"--dhcp-range=192.168.77.50,192.168.77.60,{NETMASK},1h", f"--dhcp-leasefile={workdir}/leases",
            f"--dhcp-option=option:router,{HOST_IP}", f"--dhcp-option=option:dns-server,{HOST_IP},{SECOND_DNS_IP}"]
    args += [f"--address=/{name}/{address}" for name, address in (names or {}).items()]
    return Peer(args, workdir, "dnsmasq", (HOST_IP, 53))


def start_http_server(workdir, root, port=8080):
    """Python's http.server serving `root` on the tap address."""
    args = ["python3", "-m", "http.server", str(port), "--bind", HOST_IP, "--directory", root]
    return Peer(args, workdir, "http", (HOST_IP, port))


def start_store_server(workdir, store_dir, *options, port=STORE_PORT, address=STORE_IP):
    """Our store server (tools/store_server) serving `store_dir`, by default at the kernel's default address."""
    args = [host_tool("store_server"), "--host", address, "--port", str(port), "--dir", store_dir, *options]
    return Peer(args, workdir, "store", (address, port))


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
    with connected(path, socket.AF_UNIX) as sock:
        sock.settimeout(10)
        for payload in [f"M{address:x},{len(data):x}:{data.hex()}" for address, data in writes] + ["D"]:
            body, got = payload.encode(), b""
            sock.sendall(b"$" + body + b"#%02x" % (sum(body) & 0xFF))
            while not (reply := re.search(rb"\+[^$]*\$([^#]*)#..", got)):  # the stub's ack, then its reply
                chunk = sock.recv(4096)
                if not chunk:
                    raise RuntimeError(f"GDB stub closed during {payload[:20]}")
                got += chunk
            sock.sendall(b"+")
            if reply[1] != b"OK":
                raise RuntimeError(f"GDB stub answered {got!r} to {payload[:20]}")


class NetCommands:
    """Network operations run through the guest's command block (kernel/net/net_debug.h: magic, op, three 128-byte
    arguments, then result, ticks, address and a done counter), and their results."""

    READY = 0x4E455444
    GET, UPLOAD, DOWNLOAD = 2, 3, 4
    RESULT_AT = 8 + 3 * 128

    def __init__(self, machine, gdb_path):
        self.m, self.gdb_path = machine, gdb_path

    def run(self, op, *args):
        done = lambda: self.m.read_u32("net_debug_command", self.RESULT_AT + 12)
        base, before = self.m.symbol("net_debug_command"), done()
        block = struct.pack("<I", op) + b"".join(a.encode().ljust(128, b"\0")[:127] + b"\0"
                                                 for a in (list(args) + ["", "", ""])[:3])
        gdb_write(self.gdb_path, (base + 4, block), (base, struct.pack("<I", self.READY)))
        self.m.wait_until(lambda: done() != before, 120, 0.2, f"network command {op} {args}")
        return struct.unpack("<iI", self.m.read_bytes("net_debug_command", 8, self.RESULT_AT))

    def body(self):
        """(head, body) of the last response."""
        length = self.m.read_u32("http_resp_len")
        head, sep, body = self.m.read_bytes("http_resp_buf", length).partition(b"\r\n\r\n")
        assert sep, head[:200]
        return head, body
