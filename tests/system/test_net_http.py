"""DNS, HTTP GET, upload and download on the real ISO, for both cards, over
the private test network: dnsmasq for DHCP and DNS, Python's http.server,
and our store server (see netns.py)."""
import os
import random
import struct
import time
import unittest

from harness import Machine
import netns

WEB_NAME = "web.tavlin.test"
EXACT = 512000

NODE_SIZE, NODES = 572, 128


def http_body(raw):
    head, sep, body = raw.partition(b"\r\n\r\n")
    assert sep, raw[:200]
    return head, body


class FileTree:
    """The guest's node table and content pool, read from memory."""

    def __init__(self, m):
        self.m = m
        raw = m.read_bytes("fs_nodes", NODE_SIZE * NODES)
        self.nodes = []
        for i in range(NODES):
            rec = raw[i * NODE_SIZE:(i + 1) * NODE_SIZE]
            in_use, kind = struct.unpack_from("<II", rec, 0)
            name = rec[8:36].split(b"\0")[0].decode("latin-1")
            parent, = struct.unpack_from("<i", rec, 36)
            size, has_blob, blob = struct.unpack_from("<IIi", rec, 560)
            self.nodes.append(dict(in_use=in_use, kind=kind, name=name, parent=parent,
                                   text=rec[48:560], size=size, has_blob=has_blob, blob=blob))

    def find(self, folder, name):
        for i, n in enumerate(self.nodes):
            if n["in_use"] and n["name"] == name and n["parent"] >= 0 and \
                    self.nodes[n["parent"]]["name"] == folder:
                return n
        return None

    def content(self, node):
        if node["blob"] >= 0:
            _in_use, offset, size = struct.unpack("<III", self.m.read_bytes("fs_blobs", 12, 12 * node["blob"]))
            return self.m.read_bytes("fs_blob_pool", size, offset)
        return node["text"][:node["size"]]


class HttpOverCard:
    """Everything over one card; subclasses name the card."""
    nic = None

    @classmethod
    def setUpClass(cls):
        cls.work = netns.Workdir()
        w = cls.work.path
        rng = random.Random(1234)
        cls.web = os.path.join(w, "web")
        cls.store = os.path.join(w, "store")
        os.makedirs(cls.web)
        os.makedirs(cls.store)
        cls.files = {
            "small.html": b"<html><body><p>Hello from the test network.</p></body></html>\n",
            "multi.bin": bytes(rng.getrandbits(8) for _ in range(30000)),
            "exact.bin": bytes(rng.getrandbits(8) for _ in range(EXACT)),
        }
        for name, data in cls.files.items():
            with open(os.path.join(cls.web, name), "wb") as f:
                f.write(data)
        cls.store_files = {
            "big.bin": bytes(rng.getrandbits(8) for _ in range(300000)),
        }
        for name, data in cls.store_files.items():
            with open(os.path.join(cls.store, name), "wb") as f:
                f.write(data)
        cls.peers = [
            netns.start_dnsmasq(w, names={WEB_NAME: netns.HOST_IP}),
            netns.start_http_server(w, cls.web),
            netns.start_store_server(w, store_server_binary(), cls.store,
                                     port=netns.STORE_PORT, address=netns.STORE_IP),
        ]
        gdb = os.path.join(w, "gdb.sock")
        cls.m = Machine(nic=cls.nic, netdev=netns.TAP_NETDEV, extra_args=netns.gdb_args(gdb))
        cls.m.start()
        cls.m.wait_for_serial("[NET] Gateway ARP succeeded", timeout=120)
        cls.cmd = netns.NetCommands(cls.m, gdb)

    @classmethod
    def tearDownClass(cls):
        cls.m.stop()
        for p in cls.peers:
            p.stop()
        cls.work.remove()

    def get(self, url):
        started = time.time()
        result, ticks, _ip = self.cmd.run(netns.NetCommands.GET, url)
        self.last_wall = time.time() - started
        return result, ticks, self.cmd.response()

    def test_resolve_a_name_dnsmasq_serves(self):
        result, _ticks, ip = self.cmd.run(netns.NetCommands.RESOLVE, WEB_NAME)
        self.assertEqual((result, ip), (1, netns.HOST_IP))
        self.assertIn(f"query[A] {WEB_NAME}", self.peers[0].log())

    def test_get_small_and_multi_segment_pages(self):
        for name in ("small.html", "multi.bin"):
            result, _ticks, raw = self.get(f"http://{WEB_NAME}:8080/{name}")
            self.assertEqual(result, 1, name)
            head, body = http_body(raw)
            self.assertTrue(head.startswith(b"HTTP/1.0 200"), head)
            self.assertEqual(body, self.files[name], name)

    def test_get_exactly_512000_bytes_fills_the_buffer(self):
        result, ticks, raw = self.get(f"http://{netns.HOST_IP}:8080/exact.bin")
        self.assertEqual(result, 1)
        self.assertEqual(len(raw), EXACT)
        head, body = http_body(raw)
        self.assertEqual(body, self.files["exact.bin"][:EXACT - len(head) - 4])
        print(f"\n[{self.nic}] GET of a {EXACT}-byte body: {ticks} ticks in the guest, "
              f"{self.last_wall:.2f} s on the wall clock with the harness round trip")

    def test_upload_sits_on_the_store_server_byte_for_byte(self):
        self.assertEqual(self.cmd.run(netns.NetCommands.DOWNLOAD, "big.bin")[0], 1)
        remote = f"copy-{self.nic}.bin"
        result, ticks, _ = self.cmd.run(netns.NetCommands.UPLOAD, "http://10.0.2.2:8088",
                                        "/Downloads/big.bin", remote)
        self.assertEqual(result, 1)
        with open(os.path.join(self.store, remote), "rb") as f:
            self.assertEqual(f.read(), self.store_files["big.bin"])
        print(f"\n[{self.nic}] upload of 300000 bytes: {ticks} ticks")


def store_server_binary():
    host_build = os.environ.get("TAVLIN_HOST_BUILD") or os.path.join(netns.ROOT_BUILD, "host")
    path = os.path.join(host_build, "tools", "store_server")
    if not os.path.exists(path):
        raise unittest.SkipTest(f"{path} is missing: build the store_server target first")
    return path


@netns.require_network
class HttpOverE1000(HttpOverCard, unittest.TestCase):
    nic = "e1000"


@netns.require_network
class HttpOverRtl8139(HttpOverCard, unittest.TestCase):
    nic = "rtl8139"


if __name__ == "__main__":
    unittest.main()
