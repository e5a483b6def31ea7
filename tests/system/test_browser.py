"""The web browser on the real ISO over the private test network: dnsmasq
names the web host, Python's http.server serves tests/pages on port 80.
Driven by QMP clicks and keys; the browser's state is read back from guest
memory (its drawing is checked by the unit tests)."""
import os
import shutil
import unittest

from desktop import BROWSER, find_window
import netns

WEB = "web.tavlin.test"
PAGES = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "pages")
FINAL = ("Done", "DNS resolution failed", "HTTP request failed", "Connection failed")
# browser_state: url, url_bar, url_bar_focused, text, text_len, loading, error, status, history_index
FIELDS = dict(url=(0, 128), url_bar=(128, 128), text=(264, 8192), status=(8472, 64))
FOCUSED, LOADING, ERROR, INDEX = 256, 8464, 8468, 12636
ARTICLE = ["Harbour News ", "Home", "About", "Ferry timetable & fares"]
CRLF = "Line ends\n\nWritten on a machine that ends lines with CR LF.\n\ntwo spaces"


class Browser(netns.LanTestCase):
    app = BROWSER

    @classmethod
    def start_peers(cls):
        web = os.path.join(cls.work, "web")
        shutil.copytree(PAGES, web)
        shutil.copy(os.path.join(web, "article.html"), os.path.join(web, "index.html"))
        cls.peer(netns.start_dnsmasq(cls.work, names={WEB: netns.HOST_IP}))
        cls.peer(netns.start_http_server(cls.work, web, port=80))

    def u32(self, offset):
        return self.m.read_u32("browser_state", offset)

    def state(self):
        s = {k: self.m.read_cstring("browser_state", size, at) for k, (at, size) in FIELDS.items()}
        return dict(s, error=self.u32(ERROR), index=self.u32(INDEX), head=s["text"].split("\n")[:4])

    def press(self, dx, registered):
        """Clicks at dx in the button row until the click registers."""
        win = find_window(self.m, BROWSER)[1]
        self.m.click_until(win["x"] + 1 + dx, win["y"] + 45, registered, attempts=15)

    def settle(self):
        self.m.wait_until(lambda: self.u32(LOADING) == 0 and self.state()["status"] in FINAL, timeout=120,
                          interval=0.05, message="the end of the load")
        return self.state()

    def visit(self, typed):
        """Types into the URL bar, presses Enter; the state after the load."""
        self.press(300, lambda: self.u32(FOCUSED) == 1)
        self.m.type_text("\b" * len(self.state()["url_bar"]) + typed)
        self.m.wait_until(lambda: self.state()["url_bar"] == typed, message="the typed URL")
        self.m.key("ret")
        self.m.wait_until(lambda: self.u32(FOCUSED) == 0, message="Enter")
        return self.settle()

    def test_typed_names_back_and_forward(self):
        state = self.visit(WEB)
        self.assertEqual((state["url"], state["url_bar"], state["status"], state["error"], state["head"]),
                         ("http://" + WEB, "http://" + WEB, "Done", 0, ARTICLE))
        crlf = self.visit(WEB + "/crlf.html")
        self.assertEqual(crlf["text"], CRLF)
        for dx, index, url, head in ((15, crlf["index"] - 1, "http://" + WEB, ARTICLE),
                                     (45, crlf["index"], crlf["url"], CRLF.split("\n")[:4])):
            self.press(dx, lambda: self.u32(INDEX) == index)
            state = self.settle()
            self.assertEqual((state["url"], state["url_bar"], state["status"], state["head"]), (url, url, "Done", head))

    def test_unknown_name_fails_in_red(self):
        state = self.visit("nowhere.tavlin.test")
        self.assertEqual((state["url"], state["status"], state["error"], state["head"][0]),
                         ("http://nowhere.tavlin.test", "DNS resolution failed", 1, "Could not resolve hostname."))


if __name__ == "__main__":
    unittest.main()
