"""A private test network: the test process moves itself (and so QEMU and every peer it starts) into a fresh network
namespace whose tap is the guest's LAN, with dnsmasq, http.server and the store server as peers; nothing leaves it.
Without root or /dev/net/tun the tests skip. The guest's network is driven through its command block."""
import ctypes
import functools
import os
import pathlib
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
# The kernel's default store server (where QEMU's user network puts the host): here one more address of ours.
STORE_IP, STORE_PORT = "10.0.2.2", 8088
STORE_URL = f"http://{STORE_IP}:{STORE_PORT}"
# The command block (kernel/net/net_debug.h): magic, op, three 128-byte arguments, result, ticks, address, done count.
GET, UPLOAD, DOWNLOAD = 2, 3, 4
COMMAND_READY, COMMAND_RESULT_AT = 0x4E455444, 8 + 3 * 128


@functools.cache
def enter_namespace():
    """Moves this process (once) into a new network namespace with the LAN tap, or skips the test saying why."""
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
        pathlib.Path(folder, name).write_bytes(data)
    return folder


class LanTestCase(unittest.TestCase):
    """Tests inside the test network with peers `start_peers` starts in `cls.work`; with a card `nic` they share one
    machine `cls.m` on the LAN (`netdev`: the tap unless start_peers sets it) with the dock's `app` open, if any."""

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
        cls.gdb = os.path.join(cls.work, "gdb.sock")
        cls.m = cls.peer(Machine(["-netdev", cls.netdev, "-device", f"{cls.nic},netdev=n0",
                                  "-gdb", f"unix:{cls.gdb},server=on,wait=off"]))
        cls.m.start()
        cls.m.wait_until(lambda: "[NET] Gateway ARP succeeded" in cls.m.serial(), 180, message="the gateway's ARP")
        if cls.app:
            cls.m.wait_frames(3)  # the desktop is up
            open_from_dock(cls.m, cls.app)

    @classmethod
    def peer(cls, peer):
        """Stops the peer (anything with stop()) when the class is done."""
        cls.addClassCleanup(peer.stop)
        return peer

    def net_command(self, op, *args):
        """(result, ticks) of a network operation run through the guest's command block, written over QEMU's GDB
        stub: the guest stops while we are connected, so it finds the magic set only with the rest in place."""
        done = lambda: self.m.read_u32("net_debug_command", COMMAND_RESULT_AT + 12)
        base, before = self.m.symbol("net_debug_command"), done()
        block = struct.pack("<I", op) + b"".join(a.encode().ljust(128, b"\0")[:127] + b"\0"
                                                 for a in (list(args) + ["", "", ""])[:3])
        writes = [(base + 4, block), (base, struct.pack("<I", COMMAND_READY))]
        with connected(self.gdb, socket.AF_UNIX) as sock:
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
        self.m.wait_until(lambda: done() != before, 120, 0.2, f"network command {op} {args}")
        return struct.unpack("<iI", self.m.read_bytes("net_debug_command", 8, COMMAND_RESULT_AT))

    def response(self):
        """(head, body) of the last HTTP response."""
        length = self.m.read_u32("http_resp_len")
        head, sep, body = self.m.read_bytes("http_resp_buf", length).partition(b"\r\n\r\n")
        assert sep, head[:200]
        return head, body
