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


def multipart(name, data, field="file"):
    """The body TavlinOS sends: one part, the kernel's own boundary."""
    head = (f'--{BOUNDARY}\r\nContent-Disposition: form-data; name="{field}"; filename="{name}"\r\n'
            "Content-Type: application/octet-stream\r\n\r\n").encode()
    return head + data + f"\r\n--{BOUNDARY}--\r\n".encode()


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
        cls.store = os.path.join(w, "store")
        os.makedirs(cls.store)
        seeds = [os.path.join(w, "seed1"), os.path.join(w, "seed2")]
        write(seeds[0], "note.txt", b"first note\n")
        write(seeds[0], ".hidden", b"never listed")
        write(seeds[1], "note.txt", b"second note\n")
        write(seeds[1], "pic.png", bytes(range(256)) * 4)
        cls.peer = netns.start_store_server(w, store_server_binary(), cls.store, port=PORT,
                                            address="127.0.0.1", max_upload=65536,
                                            seeds=seeds)

    @classmethod
    def tearDownClass(cls):
        cls.peer.stop()
        cls.work.remove()

    def request(self, method, path, body=None, content_type=None):
        conn = http.client.HTTPConnection("127.0.0.1", PORT, timeout=10)
        headers = {"Content-Type": content_type} if content_type else {}
        conn.request(method, path, body=body, headers=headers)
        response = conn.getresponse()
        result = response.status, response.read()
        conn.close()
        return result

    def upload(self, name, data, field="file"):
        return self.request("POST", "/upload", multipart(name, data, field),
                            f"multipart/form-data; boundary={BOUNDARY}")[0]

    def listed(self):
        status, body = self.request("GET", "/list")
        self.assertEqual(status, 200)
        return body.decode().splitlines()

    def test_an_empty_folder_starts_with_the_seed_files_first_copy_kept(self):
        self.assertEqual(self.request("GET", "/download/note.txt"), (200, b"first note\n"))
        self.assertEqual(self.request("GET", "/download/pic.png"), (200, bytes(range(256)) * 4))
        self.assertNotIn(".hidden", self.listed())

    def test_a_folder_with_files_is_not_seeded(self):
        own = os.path.join(self.work.path, "own")
        write(own, "mine.txt", b"x")
        peer = netns.start_store_server(self.work.path, store_server_binary(), own, port=PORT + 1,
                                        address="127.0.0.1", seeds=[os.path.join(self.work.path, "seed1")])
        try:
            self.assertEqual(sorted(os.listdir(own)), ["mine.txt"])
        finally:
            peer.stop()

    def test_upload_lists_and_downloads_byte_for_byte_and_never_overwrites(self):
        data = bytes((i * 7) % 256 for i in range(40000))
        self.assertEqual(self.upload("up load.bin", data), 200)
        self.assertIn("up load.bin", self.listed())
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
            ("upload that is not multipart", self.request("POST", "/upload", b"raw", "text/plain")[0], 400),
            ("upload over the size limit", self.upload("big.bin", bytes(70000)), 413),
        ]
        for what, status, expected in cases:
            self.assertEqual(status, expected, what)
        for name in ("a", "b.txt", "f.txt", "big.bin", ".profile"):
            self.assertFalse(os.path.exists(os.path.join(self.store, name)), name)


if __name__ == "__main__":
    unittest.main()
