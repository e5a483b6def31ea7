"""The web browser on the real ISO, for both cards, over the private test
network: dnsmasq names the hosts, Python's http.server serves the pages in
tests/pages on port 80, and a host that answers only ARP stands for a server
that never answers (see netns.py). Driven by QMP clicks and keys; the
browser's state is read back from guest memory, the page from a screendump."""
import os
import shutil
import time
import unittest

from desktop import dock_tile_centre, find_window, font, text_pixels
from harness import Machine
import netns

BROWSER, BROWSER_TILE = 8, 5
WEB_NAME, SILENT_NAME = "web.tavlin.test", "silent.tavlin.test"
PAGES = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "pages")
TEXT_COLOUR, PAPER = 0x202020, 0xFFFFFF
FINAL = ("Done", "DNS resolution failed", "HTTP request failed", "Connection failed", "Reload failed")

# browser_state field offsets
URL, URL_BAR, FOCUSED, TEXT, TEXT_LEN, LOADING, ERROR, STATUS = 0, 128, 256, 264, 8456, 8464, 8468, 8472
HISTORY_INDEX = 12636

ARTICLE_START = ["Harbour News ", "Home", "About", "Ferry timetable & fares"]


def big_page():
    """About 100 KB of HTML: paragraphs of prose with markup around them."""
    para = "<p class=\"entry\">Mooring lines were checked twice; <b>all</b> held fast &amp; dry.</p>\n"
    return ("<html><body><h1>Big page</h1>\n" + para * (100 * 1024 // len(para)) + "</body></html>\n").encode()


class Browser:
    """One browser window in a booted machine."""

    def __init__(self, m):
        self.m = m

    def state_str(self, offset, size):
        return self.m.read_cstring("browser_state", size, offset)

    def u32(self, offset):
        return self.m.read_u32("browser_state", offset)

    def snapshot(self):
        return dict(url=self.state_str(URL, 128), url_bar=self.state_str(URL_BAR, 128),
                    status=self.state_str(STATUS, 64), text=self.state_str(TEXT, self.u32(TEXT_LEN) + 1),
                    error=self.u32(ERROR), index=self.u32(HISTORY_INDEX))

    def content(self):
        _slot, win = find_window(self.m, BROWSER)
        return win["x"] + 1, win["y"] + 30

    def press(self, dx, dy, registered, what):
        """Clicks at (dx, dy) in the content area until the click registers
        (one during the window's opening animation is not delivered)."""
        x, y = self.content()
        self.m.move_pointer_to(x + dx, y + dy, tolerance=1)
        deadline = time.time() + 30
        while True:
            self.m.click()
            try:
                return self.m.wait_until(registered, timeout=2, interval=0.1, message=what)
            except TimeoutError:
                if time.time() > deadline:
                    raise

    def settled(self):
        return self.u32(LOADING) == 0 and self.state_str(STATUS, 64) in FINAL

    def visit(self, typed, timeout=120):
        """Types into the URL bar and presses Enter; (state, seconds and
        ticks from Enter until the load ended)."""
        self.press(300, 15, lambda: self.u32(FOCUSED) == 1, "URL bar focus")
        self.m.type_text("\b" * len(self.state_str(URL_BAR, 128)) + typed)
        self.m.wait_until(lambda: self.state_str(URL_BAR, 128) == typed, message="typed URL")
        ticks, started = self.m.read_u32("pit_ticks"), time.time()
        self.m.key("ret")
        self.m.wait_until(lambda: self.u32(FOCUSED) == 0 and self.settled(), timeout=timeout,
                          interval=0.05, message=f"load of {typed}")
        return self.snapshot(), time.time() - started, self.m.read_u32("pit_ticks") - ticks

    def button(self, dx, index):
        """Back or Forward, to history entry `index`."""
        self.press(dx, 15, lambda: self.u32(HISTORY_INDEX) == index, f"history entry {index}")
        self.m.wait_until(self.settled, timeout=120, message=f"load of history entry {index}")
        return self.snapshot()


class BrowserOverCard:
    nic = None

    @classmethod
    def setUpClass(cls):
        cls.work = netns.Workdir()
        web = os.path.join(cls.work.path, "web")
        shutil.copytree(PAGES, web)
        shutil.copy(os.path.join(web, "article.html"), os.path.join(web, "index.html"))
        with open(os.path.join(web, "big.html"), "wb") as f:
            f.write(big_page())
        cls.peers = [netns.start_dnsmasq(cls.work.path, names={WEB_NAME: netns.HOST_IP,
                                                                SILENT_NAME: netns.SILENT_IP}),
                     netns.start_http_server(cls.work.path, web, port=80)]
        cls.silent = netns.ArpOnlyHost()
        cls.m = Machine(nic=cls.nic, netdev=netns.TAP_NETDEV)
        cls.m.start()
        cls.m.wait_for_serial("[NET] Gateway ARP succeeded", timeout=120)
        cls.m.wait_for_desktop()
        cls.m.move_pointer_to(*dock_tile_centre(cls.m, BROWSER_TILE), tolerance=3)
        cls.m.click()
        cls.m.wait_until(lambda: find_window(cls.m, BROWSER), timeout=20, message="a browser window")
        cls.b = Browser(cls.m)

    @classmethod
    def tearDownClass(cls):
        cls.m.stop()
        cls.silent.stop()
        for p in cls.peers:
            p.stop()
        cls.work.remove()

    def test_bare_host_name_loads_and_shows_the_page(self):
        state, _s, _t = self.b.visit(WEB_NAME)
        self.assertEqual((state["url"], state["url_bar"], state["status"], state["error"]),
                         ("http://" + WEB_NAME, "http://" + WEB_NAME, "Done", 0))
        self.assertEqual(state["text"].split("\n")[:4], ARTICLE_START)
        self.assertTrue(state["text"].endswith("Contact: ahoy@harbour.test"), state["text"])
        frames = self.m.read_u32("frame_count")
        self.m.wait_until(lambda: self.m.read_u32("frame_count") > frames + 2, message="frames")
        shot, glyphs = self.m.screendump(), font(self.m)
        x, y = self.b.content()
        for i, line in enumerate(ARTICLE_START):
            on, cells = text_pixels(glyphs, x + 8, y + 44 + 12 * i, line)
            wrong = [(px, py) for (px, py) in cells
                     if shot.pixel(px, py) != (TEXT_COLOUR if (px, py) in on else PAPER)]
            self.assertEqual(wrong[:5], [], f"line {i}: {line!r}")

    def test_back_and_forward_between_two_pages(self):
        self.b.visit(WEB_NAME)
        state, _s, _t = self.b.visit(WEB_NAME + "/crlf.html")
        first = state["index"] - 1
        self.assertEqual(state["text"], "Line ends\n\nWritten on a machine that ends lines with CR LF.\n\ntwo spaces")
        back = self.b.button(15, first)
        self.assertEqual((back["url"], back["url_bar"], back["status"]),
                         ("http://" + WEB_NAME, "http://" + WEB_NAME, "Done"))
        self.assertEqual(back["text"].split("\n")[:4], ARTICLE_START)
        forward = self.b.button(45, first + 1)
        self.assertEqual((forward["url"], forward["status"], forward["text"]),
                         ("http://" + WEB_NAME + "/crlf.html", "Done", state["text"]))

    def test_unknown_name_and_silent_server_fail_in_red(self):
        for typed, status, first_line in (("nowhere.tavlin.test", "DNS resolution failed", "Could not resolve hostname."),
                                          (SILENT_NAME, "HTTP request failed", "Connection failed.")):
            state, _s, _t = self.b.visit(typed)
            self.assertEqual((state["url"], state["status"], state["error"]), ("http://" + typed, status, 1))
            self.assertEqual(state["text"].split("\n")[0], first_line)

    def test_time_from_enter_to_done_for_a_100_kb_page(self):
        state, seconds, ticks = self.b.visit(WEB_NAME + "/big.html")
        self.assertEqual((state["status"], state["text"].split("\n")[0]), ("Done", "Big page"))
        self.assertEqual(len(state["text"]), 8191)
        print(f"\n[{self.nic}] Enter to \"Done\" for a {len(big_page())}-byte page: {ticks} ticks in the guest, "
              f"{seconds:.2f} s on the wall clock")


@netns.require_network
class BrowserOverE1000(BrowserOverCard, unittest.TestCase):
    nic = "e1000"


@netns.require_network
class BrowserOverRtl8139(BrowserOverCard, unittest.TestCase):
    nic = "rtl8139"


if __name__ == "__main__":
    unittest.main()
