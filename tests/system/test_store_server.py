"""The store server on its own, the real binary over the loopback of a private network namespace: an empty folder
starts with the files it is given (the first copy of a name kept), a folder with files is left alone, and its
refusals, an existing name among them (the guest's uploads and downloads through it are in test_net)."""
import http.client
import os
import unittest

import netns

PORT = 8090
BOUNDARY = "----TavlinUploadBoundary12345678"


class StoreServer(netns.LanTestCase):
    nic = None  # the server alone

    @classmethod
    def start_peers(cls):
        cls.store = netns.write_files(f"{cls.work}/store", {})
        first = netns.write_files(f"{cls.work}/seed1", {"note.txt": b"first note\n", ".hidden": b"never"})
        second = netns.write_files(f"{cls.work}/seed2", {"note.txt": b"second\n", "pic.png": bytes(range(256))})
        cls.seeds = ["--seed", first, "--seed", second]
        cls.peer(netns.start_store_server(cls.work, cls.store, "--max-upload", "65536", *cls.seeds, port=PORT,
                                          address="127.0.0.1"))

    def request(self, method, path, body=None, content_type="text/plain"):
        conn = http.client.HTTPConnection("127.0.0.1", PORT, timeout=10)
        conn.request(method, path, body=body, headers={"Content-Type": content_type})
        with conn.getresponse() as response:
            return response.status, response.read()

    def upload(self, name, data, field="file"):
        """The body TavlinOS sends: one part, the kernel's own boundary."""
        body = (f'--{BOUNDARY}\r\nContent-Disposition: form-data; name="{field}"; filename="{name}"\r\n'
                "Content-Type: application/octet-stream\r\n\r\n").encode() + data + f"\r\n--{BOUNDARY}--\r\n".encode()
        return self.request("POST", "/upload", body, f"multipart/form-data; boundary={BOUNDARY}")[0]

    def test_seeds_refusals_and_no_overwrite(self):
        for what, status, expected in (
                ("missing file", self.request("GET", "/download/missing.txt")[0], 404),
                ("download outside the folder", self.request("GET", "/download/..%2Fstore%2Fnote.txt")[0], 400),
                ("existing name", self.upload("note.txt", b"other"), 409),
                ("hidden name", self.upload(".profile", b"x"), 400),
                ("path", self.upload("a/b.txt", b"x"), 400),
                ("no file field", self.upload("f.txt", b"x", field="other"), 400),
                ("not multipart", self.request("POST", "/upload", b"raw")[0], 400),
                ("over the size limit", self.upload("big.bin", bytes(70000)), 413)):
            self.assertEqual(status, expected, what)
        self.assertEqual(self.request("GET", "/download/note.txt"), (200, b"first note\n"))
        self.assertEqual(self.request("GET", "/download/pic.png"), (200, bytes(range(256))))
        self.assertEqual(self.request("GET", "/list")[1].decode().split(), ["note.txt", "pic.png"])
        own = netns.write_files(f"{self.work}/own", {"mine.txt": b"x"})
        netns.start_store_server(self.work, own, *self.seeds, port=PORT + 1, address="127.0.0.1").stop()
        self.assertEqual(os.listdir(own), ["mine.txt"])


if __name__ == "__main__":
    unittest.main()
