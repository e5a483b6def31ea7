"""The crash screen on the real machine: the manual chord shows the report
with each element where it belongs, other keys and the mouse do nothing,
and Enter resets the machine (QEMU ends under -no-reboot)."""
import time
import unittest

from harness import Machine

RED_TITLE, PINK, SALMON = 0xFF5B4C, 0xFFAAAA, 0xFF8888
SEPARATOR, BADGE, CODE, LOG, HELP, WHITE = 0x552222, 0x3A1010, 0xFFB347, 0xCCAAAA, 0x88AAFF, 0xFFFFFF


def text_rows(img, colour, band=8):
    """Top rows of the text bands (8 pixels at scale 1) that hold the colour."""
    rows = []
    for y in range(img.height):
        if colour in img.row(y):
            if not rows or y >= rows[-1] + band:
                rows.append(y)
    return rows


def columns(img, y, colour):
    return [x for x, c in enumerate(img.row(y)) if c == colour]


class CrashScreenTest(unittest.TestCase):
    def test_manual_chord_report_keys_and_reset(self):
        with Machine() as m:
            m.wait_for_desktop()
            for key in ("shift", "c", "r", "ret"):
                m.key_down(key)
                time.sleep(0.05)
            m.wait_for_serial("[TavlinOS]")
            m.wait_until(lambda: columns(m.screendump(), 70, SEPARATOR), timeout=30,
                         message="crash screen")
            for key in ("ret", "r", "c", "shift"):
                m.key_up(key)
            img = m.screendump()
            w, h = img.width, img.height

            self.assertEqual(img.pixel(w // 2, 400), 0x000000)
            self.assertEqual(text_rows(img, RED_TITLE, band=16), [20])
            self.assertEqual(min(columns(img, 24, RED_TITLE) or [0]) >= 66, True)
            self.assertEqual(text_rows(img, PINK), [40])
            self.assertEqual(columns(img, 70, SEPARATOR), list(range(10, w - 10)))
            self.assertEqual(text_rows(img, SALMON), [86, 102])
            # The badge of "MANUAL_CRASH" (12 characters) spans x 10..121, y 142..157.
            self.assertEqual(img.pixel(11, 150), BADGE)
            self.assertEqual(img.pixel(121, 150), BADGE)
            self.assertEqual(img.pixel(122, 150), 0x000000)
            self.assertEqual(text_rows(img, CODE), [144])
            # One log line at 188, so the separator lies at 188 + 16 + 10.
            self.assertEqual(text_rows(img, LOG), [188])
            self.assertEqual(columns(img, 214, SEPARATOR), list(range(10, w - 10)))
            self.assertEqual(text_rows(img, HELP), [246, 262])
            white = text_rows(img, WHITE)
            self.assertEqual(white, [128, 172, 230, h - 28])
            footer = [x for y in range(h - 28, h - 20) for x in columns(img, y, WHITE)]
            self.assertGreaterEqual(min(footer), w // 2 - 21 * 8)
            self.assertLess(max(footer), w // 2 + 21 * 8)

            # Other keys, key releases and the mouse change nothing.
            for key in ("a", "spc", "esc", "c", "r"):
                m.key(key)
            m.mouse_move(28, -28)
            m.mouse_move(28, 28)
            m.click("left")
            time.sleep(1.0)
            self.assertTrue(m.running())
            self.assertEqual(m.screendump().raw, img.raw)

            m.key_down("ret")  # the machine resets on the press; no release is sent
            self.assertIsNotNone(m.wait_exit(timeout=30), "Enter did not reset the machine")


if __name__ == "__main__":
    unittest.main()
