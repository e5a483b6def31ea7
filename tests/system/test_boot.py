"""The booted ISO, pixel for pixel: through the BIOS, the start-up desktop equals the frame tools/wm_frame composes
on the host from the same state; through OVMF (GRUB's x86_64-efi platform) it equals the BIOS one. The manual crash
chord shows the crash screen until Enter resets the machine (QEMU ends under -no-reboot)."""
import os
import subprocess
import time
import unittest

from harness import Image, Machine, host_tool

# The right end of the top bar (28 rows) carries the clock and the network state, which differ from the host's.
TOP_BAR, TOP_BAR_COMPARED = 28, 520
SEPARATOR, RED_TITLE = 0x552222, 0xFF5B4C
# Both machines' clocks start at the same moment, so the top bar reads the same in both screendumps.
SAME_CLOCK = ["-rtc", "base=2026-01-01T12:00:00"]


def settled_desktop(m):
    m.wait_until(lambda: m.read_u32("frame_count") >= 50, timeout=300, message=f"50 frames under {m.firmware}")
    return m.pointer(), m.screendump()


class BootTest(unittest.TestCase):
    def test_bios_and_uefi_frames_and_the_crash_screen(self):
        with Machine(SAME_CLOCK) as m:
            pointer, bios = settled_desktop(m)
            path = os.path.join(m.dir, "host.ppm")
            subprocess.run([host_tool("wm_frame"), "1024", "768", *map(str, pointer), path], check=True)
            host = Image(path)
            self.assertEqual((bios.width, bios.height, host.width, host.height, pointer),
                             (1024, 768, 1024, 768, (512, 384)))
            differ = [(x, y) for y in range(bios.height) for x in range(TOP_BAR_COMPARED if y < TOP_BAR else bios.width)
                      if bios.pixel(x, y) != host.pixel(x, y)]
            self.assertEqual(differ[:5], [], f"{len(differ)} pixels differ from the host's frame")
            # The pointer's tip is where the kernel says it is: black on the wallpaper.
            self.assertEqual(bios.pixel(*pointer), 0x000000)
            self.crash_chord_shows_the_report_until_enter_resets(m)
        with Machine(SAME_CLOCK, firmware="uefi") as m:
            _pointer, uefi = settled_desktop(m)
        self.assertEqual((uefi.width, uefi.height), (1024, 768))
        differ = sum(1 for i in range(0, len(bios.raw), 3) if bios.raw[i:i + 3] != uefi.raw[i:i + 3])
        self.assertEqual(differ, 0, "pixels that differ between the BIOS and UEFI desktops")

    def crash_chord_shows_the_report_until_enter_resets(self, m):
        for key in ("shift", "c", "r", "ret"):
            m.key_event(key, True)
            time.sleep(0.05)
        screen = m.wait_until(lambda: (lambda s: s.pixel(300, 70) == SEPARATOR and s)(m.screendump()), timeout=30,
                              message="the crash screen")
        self.assertIn(RED_TITLE, [screen.pixel(x, 24) for x in range(screen.width)])
        # The chord's Enter must be released before a press counts (which keys count is unit-tested).
        for key in ("ret", "r", "c", "shift"):
            m.key_event(key, False)
        m.key_event("ret", True)  # the machine resets on the press; no release is sent
        m.proc.wait(timeout=30)  # QEMU ends when the guest resets


if __name__ == "__main__":
    unittest.main()
