"""The web browser on the real ISO, for both cards, over the private test
network: dnsmasq names the hosts, Python's http.server serves tests/pages on
port 80, and a host that answers only ARP stands for a server that never
answers (see netns.py). Driven by QMP clicks and keys; the browser's state
is read back from guest memory (its drawing is checked by the unit tests)."""
import os
import shutil
import time
import unittest

from desktop import dock_tile_centre, find_window
from harness import Machine
import netns

BROWSER, BROWSER_TILE = 8, 5
WEB, SILENT = "web.tavlin.test", "silent.tavlin.test"
PAGES = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "pages")
FINAL = ("Done", "DNS resolution failed", "HTTP request failed", "Connection failed")
# browser_state: url, url_bar, url_bar_focused, text, text_len, loading, error, status, history_index
FIELDS = dict(url=(0, 128), url_bar=(128, 128), text=(264, 8192), status=(8472, 64))
FOCUSED, LOADING, ERROR, INDEX = 256, 8464, 8468, 12636
ARTICLE = ["Harbour News ", "Home", "About", "Ferry timetable & fares"]
BIG_PARA = "<p class=\"entry\">Mooring lines were checked twice; <b>all</b> held fast &amp; dry.</p>\n"


class BrowserOverCard:
    nic = None

    @classmethod
    def setUpClass(cls):
        cls.work = netns.Workdir()
        web = os.path.join(cls.work.path, "web")
        shutil.copytree(PAGES, web)
        shutil.copy(os.path.join(web, "article.html"), os.path.join(web, "index.html"))
        cls.big = ("<h1>Big page</h1>\n" + BIG_PARA * (100 * 1024 // len(BIG_PARA))).encode()
        with open(os.path.join(web, "big.html"), "wb") as f:
            f.write(cls.big)
        cls.peers = [netns.start_dnsmasq(cls.work.path, names={WEB: netns.HOST_IP, SILENT: netns.SILENT_IP}),
                     netns.start_http_server(cls.work.path, web, port=80)]
        cls.silent = netns.ArpOnlyHost()
        cls.m = Machine(nic=cls.nic, netdev=netns.TAP_NETDEV)
        cls.m.start()
        cls.m.wait_for_serial("[NET] Gateway ARP succeeded", timeout=120)
        cls.m.wait_for_desktop()
        cls.m.move_pointer_to(*dock_tile_centre(cls.m, BROWSER_TILE), tolerance=3)
        cls.m.click()
        cls.m.wait_until(lambda: find_window(cls.m, BROWSER), timeout=20, message="a browser window")

    @classmethod
    def tearDownClass(cls):
        cls.m.stop()
        cls.silent.stop()
        for p in cls.peers:
            p.stop()
        cls.work.remove()

    def u32(self, offset):
        return self.m.read_u32("browser_state", offset)

    def state(self):
        s = {k: self.m.read_cstring("browser_state", size, at) for k, (at, size) in FIELDS.items()}
        return dict(s, error=self.u32(ERROR), index=self.u32(INDEX))

    def content(self):
        win = find_window(self.m, BROWSER)[1]
        return win["x"] + 1, win["y"] + 30

    def press(self, dx, registered):
        """Clicks at dx in the button row until the click registers (one
        during the window's opening animation is not delivered)."""
        x, y = self.content()
        self.m.move_pointer_to(x + dx, y + 15, tolerance=1)
        for attempt in range(15):
            self.m.click()
            try:
                return self.m.wait_until(registered, timeout=2, message="a registered click")
            except TimeoutError:
                if attempt == 14:
                    raise

    def settle(self):
        self.m.wait_until(lambda: self.u32(LOADING) == 0 and self.state()["status"] in FINAL, timeout=120,
                          interval=0.05, message="the end of the load")
        return self.state()

    def visit(self, typed):
        """Types into the URL bar, presses Enter; the state after the load
        and the guest ticks from Enter until it ended."""
        self.press(300, lambda: self.u32(FOCUSED) == 1)
        self.m.type_text("\b" * len(self.state()["url_bar"]) + typed)
        self.m.wait_until(lambda: self.state()["url_bar"] == typed, message="the typed URL")
        ticks = self.m.read_u32("pit_ticks")
        self.m.key("ret")
        self.m.wait_until(lambda: self.u32(FOCUSED) == 0, message="Enter")
        return self.settle(), self.m.read_u32("pit_ticks") - ticks

    def test_bare_host_name_loads_and_shows_the_page(self):
        state, _ticks = self.visit(WEB)
        self.assertEqual((state["url"], state["url_bar"], state["status"], state["error"]),
                         ("http://" + WEB, "http://" + WEB, "Done", 0))
        self.assertEqual(state["text"].split("\n")[:4], ARTICLE)

    def test_back_and_forward_between_two_pages(self):
        self.visit(WEB)
        crlf, _ticks = self.visit(WEB + "/crlf.html")
        self.assertEqual(crlf["text"], "Line ends\n\nWritten on a machine that ends lines with CR LF.\n\ntwo spaces")
        for dx, index, url, page in ((15, crlf["index"] - 1, "http://" + WEB, None),
                                     (45, crlf["index"], crlf["url"], crlf["text"])):
            self.press(dx, lambda: self.u32(INDEX) == index)
            state = self.settle()
            self.assertEqual((state["url"], state["url_bar"], state["status"]), (url, url, "Done"))
            self.assertEqual(state["text"] if page else state["text"].split("\n")[:4], page or ARTICLE)

    def test_unknown_name_and_silent_server_fail_in_red(self):
        for typed, status, first_line in (("nowhere.tavlin.test", "DNS resolution failed", "Could not resolve hostname."),
                                          (SILENT, "HTTP request failed", "Connection failed.")):
            state, _ticks = self.visit(typed)
            self.assertEqual((state["url"], state["status"], state["error"]), ("http://" + typed, status, 1))
            self.assertEqual(state["text"].split("\n")[0], first_line)

    def test_time_from_enter_to_done_for_a_100_kb_page(self):
        state, ticks = self.visit(WEB + "/big.html")
        self.assertEqual((state["status"], state["text"].split("\n")[0], len(state["text"])), ("Done", "Big page", 8191))
        print(f"\n[{self.nic}] Enter to \"Done\" for a {len(self.big)}-byte page: {ticks} ticks")


@netns.require_network
class BrowserOverE1000(BrowserOverCard, unittest.TestCase):
    nic = "e1000"


@netns.require_network
class BrowserOverRtl8139(BrowserOverCard, unittest.TestCase):
    nic = "rtl8139"


if __name__ == "__main__":
    unittest.main()
