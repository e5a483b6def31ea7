"""The crash screen on the real machine: the manual chord shows the report
(its layout is unit-tested), other keys and the mouse do nothing, and Enter
resets the machine (QEMU ends under -no-reboot)."""
import time
import unittest

from harness import Machine

SEPARATOR, BADGE, RED_TITLE = 0x552222, 0x3A1010, 0xFF5B4C


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
            self.assertTrue(columns(img, 24, RED_TITLE))
            # The badge of "MANUAL_CRASH" (12 characters) spans x 10..121.
            self.assertEqual((img.pixel(121, 150), img.pixel(122, 150)), (BADGE, 0x000000))

            # Other keys, key releases and the mouse change nothing; there is
            # no event to wait for, so give them a moment to arrive.
            for key in ("a", "spc", "esc", "c", "r"):
                m.key(key)
            m.mouse_move(28, -28)
            m.click("left")
            time.sleep(1.0)
            self.assertTrue(m.running())
            self.assertEqual(m.screendump().raw, img.raw)

            m.key_down("ret")  # the machine resets on the press; no release is sent
            self.assertIsNotNone(m.wait_exit(timeout=30), "Enter did not reset the machine")


if __name__ == "__main__":
    unittest.main()
