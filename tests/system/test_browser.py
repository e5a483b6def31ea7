"""The web browser on the real ISO on both cards, one after the other (the second machine takes the first one's MAC,
IP and ports at the same ticks, so the server may still hold those connections): dnsmasq names the web host and
http.server serves tests/pages and a 100 KB page on port 80; the browser's state is read back from guest memory."""
import os
import shutil
import unittest

from desktop import BROWSER, find_window
import netns

WEB = "web.tavlin.test"
PAGES = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "pages")
FINAL = ("Done", "DNS resolution failed", "HTTP request failed", "Connection failed")
# browser_state: url, url_bar, url_bar_focused, text, text_len, loading, error, status
FIELDS = dict(url=(0, 128), url_bar=(128, 128), text=(264, 8192), status=(8472, 64))
FOCUSED, LOADING, ERROR = 256, 8464, 8468
ARTICLE = ["Harbour News ", "Home", "About", "Ferry timetable & fares"]
CRLF = "Line ends\n\nWritten on a machine that ends lines with CR LF.\n\ntwo spaces"
BIG_PARA = "<p class=\"entry\">Mooring lines were checked twice; <b>all</b> held fast &amp; dry.</p>\n"
BIG = ("<h1>Big page</h1>\n" + BIG_PARA * (100 * 1024 // len(BIG_PARA))).encode()


class Browser(netns.LanTestCase):
    app = BROWSER

    @classmethod
    def start_peers(cls):
        web = os.path.join(cls.work, "web")
        shutil.copytree(PAGES, web)
        shutil.copy(os.path.join(web, "article.html"), os.path.join(web, "index.html"))
        netns.write_files(web, {"big.html": BIG})
        cls.peer(netns.start_dnsmasq(cls.work, names={WEB: netns.HOST_IP}))
        cls.peer(netns.start_http_server(cls.work, web, port=80))

    def u32(self, offset):
        return self.m.read_u32("browser_state", offset)

    def state(self):
        s = {k: self.m.read_cstring("browser_state", size, at) for k, (at, size) in FIELDS.items()}
        return dict(s, error=self.u32(ERROR), head=s["text"].split("\n")[:4])

    def visit(self, typed):
        """Types into the URL bar and presses Enter; the state after the load, with the guest ticks it took."""
        win = find_window(self.m, BROWSER)[1]
        self.m.click_until(win["x"] + 301, win["y"] + 45, lambda: self.u32(FOCUSED) == 1, attempts=15)
        self.m.type_text("\b" * len(self.state()["url_bar"]) + typed)
        self.m.wait_until(lambda: self.state()["url_bar"] == typed, message="the typed URL")
        start = self.m.read_u32("pit_ticks")
        self.m.type_text("\n")
        self.m.wait_until(lambda: self.u32(FOCUSED) == 0 and self.u32(LOADING) == 0 and self.state()["status"] in FINAL,
                          120, 0.05, "Enter and the end of the load")
        return dict(self.state(), ticks=self.m.read_u32("pit_ticks") - start)

    def test_typed_names_load_pages_and_a_100_kb_page_cut_at_8191_characters(self):
        state = self.visit(WEB)
        self.assertEqual((state["url"], state["url_bar"], state["status"], state["error"], state["head"]),
                         ("http://" + WEB, "http://" + WEB, "Done", 0, ARTICLE))
        self.assertEqual(self.visit(WEB + "/crlf.html")["text"], CRLF)
        state = self.visit(WEB + "/big.html")
        self.assertEqual((state["status"], state["head"][0], len(state["text"])), ("Done", "Big page", 8191))
        print(f"\n[{self.nic}] Enter to \"Done\" for a {len(BIG)}-byte page: {state['ticks']} ticks")


class BrowserOverRtl8139(Browser):
    nic = "rtl8139"


if __name__ == "__main__":
    unittest.main()
