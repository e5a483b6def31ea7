"""The store server on its own, the real binary over the loopback of a
private network namespace: its list, downloads, uploads and their refusals,
and the seeding of an empty folder."""
import http.client
import os
import unittest

import netns
from test_net_http import store_server_binary

PORT = 8090
BOUNDARY = "----TavlinUploadBoundary12345678"


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


@netns.require_network
class StoreServer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = netns.Workdir()
        w = cls.work.path
        cls.store, cls.seeds = os.path.join(w, "store"), [os.path.join(w, "seed1"), os.path.join(w, "seed2")]
        os.makedirs(cls.store)
        write(cls.seeds[0], "note.txt", b"first note\n")
        write(cls.seeds[0], ".hidden", b"never listed")
        write(cls.seeds[1], "note.txt", b"second note\n")
        write(cls.seeds[1], "pic.png", bytes(range(256)) * 4)
        cls.peer = netns.start_store_server(w, store_server_binary(), cls.store, port=PORT, address="127.0.0.1",
                                            max_upload=65536, seeds=cls.seeds)

    @classmethod
    def tearDownClass(cls):
        cls.peer.stop()
        cls.work.remove()

    def request(self, method, path, body=None, content_type="text/plain"):
        conn = http.client.HTTPConnection("127.0.0.1", PORT, timeout=10)
        conn.request(method, path, body=body, headers={"Content-Type": content_type})
        response = conn.getresponse()
        result = response.status, response.read()
        conn.close()
        return result

    def upload(self, name, data, field="file"):
        """The body TavlinOS sends: one part, the kernel's own boundary."""
        body = (f'--{BOUNDARY}\r\nContent-Disposition: form-data; name="{field}"; filename="{name}"\r\n'
                "Content-Type: application/octet-stream\r\n\r\n").encode() + data + f"\r\n--{BOUNDARY}--\r\n".encode()
        return self.request("POST", "/upload", body, f"multipart/form-data; boundary={BOUNDARY}")[0]

    def test_an_empty_folder_starts_with_the_seed_files_first_copy_kept(self):
        self.assertEqual(self.request("GET", "/download/note.txt"), (200, b"first note\n"))
        self.assertEqual(self.request("GET", "/download/pic.png"), (200, bytes(range(256)) * 4))
        self.assertNotIn(b".hidden", self.request("GET", "/list")[1])
        own = os.path.join(self.work.path, "own")
        write(own, "mine.txt", b"x")
        netns.start_store_server(self.work.path, store_server_binary(), own, port=PORT + 1,
                                 address="127.0.0.1", seeds=self.seeds).stop()
        self.assertEqual(os.listdir(own), ["mine.txt"])  # a folder with files is left as it is

    def test_upload_lists_and_downloads_byte_for_byte_and_never_overwrites(self):
        data = bytes((i * 7) % 256 for i in range(40000))
        self.assertEqual(self.upload("up load.bin", data), 200)
        self.assertIn("up load.bin", self.request("GET", "/list")[1].decode().splitlines())
        self.assertEqual(self.request("GET", "/download/up%20load.bin"), (200, data))
        self.assertEqual(self.upload("up load.bin", b"other"), 409)
        with open(os.path.join(self.store, "up load.bin"), "rb") as f:
            self.assertEqual(f.read(), data)

    def test_refusals(self):
        cases = [
            ("download of a missing file", self.request("GET", "/download/missing.txt")[0], 404),
            ("download outside the folder", self.request("GET", "/download/..%2Fstore%2Fnote.txt")[0], 400),
            ("upload of a hidden name", self.upload(".profile", b"x"), 400),
            ("upload of a path", self.upload("a/b.txt", b"x"), 400),
            ("upload without the file field", self.upload("f.txt", b"x", field="other"), 400),
            ("upload that is not multipart", self.request("POST", "/upload", b"raw")[0], 400),
            ("upload over the size limit", self.upload("big.bin", bytes(70000)), 413),
        ]
        for what, status, expected in cases:
            self.assertEqual(status, expected, what)
        self.assertFalse(set(os.listdir(self.store)) & {"a", "b.txt", "f.txt", "big.bin", ".profile"})


if __name__ == "__main__":
    unittest.main()
