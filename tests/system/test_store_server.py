"""The store server on its own, the real binary over the loopback of a
private network namespace: seeding of an empty folder, uploads that list
and download byte for byte and never overwrite, and its refusals."""
import http.client
import os
import unittest

import netns

PORT = 8090
BOUNDARY = "----TavlinUploadBoundary12345678"


class StoreServer(netns.NamespaceTestCase):
    @classmethod
    def start_peers(cls):
        cls.store = netns.write_files(f"{cls.work}/store", {})
        cls.seeds = [netns.write_files(f"{cls.work}/seed1", {"note.txt": b"first note\n", ".hidden": b"never"}),
                     netns.write_files(f"{cls.work}/seed2", {"note.txt": b"second\n", "pic.png": bytes(range(256))})]
        cls.peer(netns.start_store_server(cls.work, cls.store, port=PORT, address="127.0.0.1", max_upload=65536,
                                          seeds=cls.seeds))

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

    def test_an_empty_folder_starts_with_the_seed_files_first_copy_kept(self):
        self.assertEqual(self.request("GET", "/download/note.txt"), (200, b"first note\n"))
        self.assertEqual(self.request("GET", "/download/pic.png"), (200, bytes(range(256))))
        self.assertNotIn(b".hidden", self.request("GET", "/list")[1])
        own = netns.write_files(f"{self.work}/own", {"mine.txt": b"x"})
        netns.start_store_server(self.work, own, port=PORT + 1, address="127.0.0.1", seeds=self.seeds).stop()
        self.assertEqual(os.listdir(own), ["mine.txt"])  # a folder with files is left as it is

    def test_upload_lists_and_downloads_byte_for_byte_and_never_overwrites(self):
        data = bytes((i * 7) % 256 for i in range(40000))
        self.assertEqual(self.upload("up load.bin", data), 200)
        self.assertIn("up load.bin", self.request("GET", "/list")[1].decode().splitlines())
        self.assertEqual(self.request("GET", "/download/up%20load.bin"), (200, data))
        self.assertEqual(self.upload("up load.bin", b"other"), 409)
        self.assertEqual(self.request("GET", "/download/up%20load.bin"), (200, data))

    def test_refusals(self):
        for what, status, expected in (
                ("missing file", self.request("GET", "/download/missing.txt")[0], 404),
                ("download outside the folder", self.request("GET", "/download/..%2Fstore%2Fnote.txt")[0], 400),
                ("hidden name", self.upload(".profile", b"x"), 400),
                ("path", self.upload("a/b.txt", b"x"), 400),
                ("no file field", self.upload("f.txt", b"x", field="other"), 400),
                ("not multipart", self.request("POST", "/upload", b"raw")[0], 400),
                ("over the size limit", self.upload("big.bin", bytes(70000)), 413)):
            self.assertEqual(status, expected, what)
        self.assertFalse(set(os.listdir(self.store)) & {"a", "b.txt", "f.txt", "big.bin", ".profile"})


if __name__ == "__main__":
    unittest.main()
