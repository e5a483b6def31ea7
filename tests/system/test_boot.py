"""The kernel spine on the real ISO, as real devices drive it (the handlers'
rules are unit-tested): the start-up desktop equals the frame the host build
composes from the same state, pixel for pixel; the timer ticks; keys and
the mouse arrive; no HD Audio is found on a machine without it; and the
manual crash chord shows the crash screen until Enter resets the machine
(QEMU ends under -no-reboot)."""
import os
import subprocess
import time
import unittest

from harness import Image, Machine, host_tool

# The right end of the top bar (28 rows) carries the clock and the network
# state, which differ between any two runs.
TOP_BAR, TOP_BAR_COMPARED = 28, 520
SEPARATOR, RED_TITLE = 0x552222, 0xFF5B4C


class BootTest(unittest.TestCase):
    def test_start_up_frame_devices_and_crash_screen(self):
        with Machine() as self.m:
            self.m.wait_for_desktop()
            self.start_up_frame_is_the_host_frame()
            self.timer_keys_and_mouse_arrive()
            self.crash_chord_shows_the_report_until_enter_resets()

    def start_up_frame_is_the_host_frame(self):
        m = self.m
        m.wait_frames(2)
        pointer, real = m.pointer(), m.screendump()
        path = os.path.join(m.dir, "host.ppm")
        subprocess.run([host_tool("wm_frame"), "1024", "768", *map(str, pointer), path], check=True)
        host = Image(path)
        self.assertEqual((real.width, real.height, host.width, host.height, pointer),
                         (1024, 768, 1024, 768, (512, 384)))
        differ = [(x, y) for y in range(real.height) for x in range(real.width if y >= TOP_BAR else TOP_BAR_COMPARED)
                  if real.pixel(x, y) != host.pixel(x, y)]
        self.assertEqual(differ[:5], [], f"{len(differ)} pixels differ")
        # The pointer's tip is where the kernel says it is: black on the wallpaper.
        self.assertEqual(real.pixel(*pointer), 0x000000)

    def timer_keys_and_mouse_arrive(self):
        m = self.m
        ticks = m.read_u32("pit_ticks")  # the rate is unit-tested; TCG's guest time lags too much here
        m.wait_until(lambda: m.read_u32("pit_ticks") >= ticks + 50, message="fifty timer ticks")
        m.wait_for_serial("[HDA] No Intel HD Audio found\r\n")
        self.assertEqual(m.read_u32("hda_ok"), 0)

        head = m.read_u32("kbd_head")
        m.type_text("aZ1!/?\n\b")
        m.wait_until(lambda: (m.read_u32("kbd_head") - head) % 64 == 8, message="eight keys")
        ring = m.read_bytes("kbd_buf", 64)
        self.assertEqual(bytes(ring[(head + i) % 64] for i in range(8)), b"aZ1!/?\n\x08")

        # Both signs on both axes (the device reports up as positive; the kernel turns it back).
        for dx, dy in [(5, 0), (0, -7), (-3, 25)]:
            x, y = m.pointer()
            m.mouse_move(dx, dy)
            m.wait_until(lambda: m.pointer() != (x, y), timeout=10, message=f"the pointer moving by ({dx}, {dy})")
            nx, ny = m.pointer()
            self.assertEqual(((nx > x) - (nx < x), (ny > y) - (ny < y)), ((dx > 0) - (dx < 0), (dy > 0) - (dy < 0)))
        m.mouse_button("left", True)
        m.wait_until(lambda: m.read_bytes("mouse_buttons", 1) == b"\x01", message="the press")
        self.assertEqual((m.read_i32("click_event_x"), m.read_i32("click_event_y")), m.pointer())
        m.mouse_button("left", False)
        m.wait_until(lambda: m.read_bytes("mouse_buttons", 1) == b"\x00", message="the release")

    def crash_chord_shows_the_report_until_enter_resets(self):
        m = self.m
        for key in ("shift", "c", "r", "ret"):
            m.key_event(key, True)
            time.sleep(0.05)
        m.wait_until(lambda: SEPARATOR in m.screendump().row(70), timeout=30, message="crash screen")
        self.assertIn(RED_TITLE, m.screendump().row(24))
        # The chord's Enter must be released before a press counts (which
        # keys count, and the layout, are unit-tested).
        for key in ("ret", "r", "c", "shift"):
            m.key_event(key, False)
        m.key_event("ret", True)  # the machine resets on the press; no release is sent
        m.proc.wait(timeout=30)  # QEMU ends when the guest resets


if __name__ == "__main__":
    unittest.main()
