"""The booted ISO, pixel for pixel: through the BIOS, the start-up desktop (the pointer included) equals the frame
tools/wm_frame composes on the host from the same state; through OVMF (GRUB's x86_64-efi platform) it equals the
BIOS one. The crash screen, its chord and its reset are unit-tested."""
import os
import subprocess
import unittest

from harness import Image, Machine, host_tool

# The right end of the top bar (28 rows) carries the clock and the network state, which differ from the host's.
TOP_BAR, TOP_BAR_COMPARED = 28, 520
# Both machines' clocks start at the same moment, so the top bar reads the same in both screendumps.
SAME_CLOCK = ["-rtc", "base=2026-01-01T12:00:00"]


def settled_desktop(m):
    m.wait_until(lambda: m.read_u32("frame_count") >= 50, timeout=300, message=f"50 frames under {m.firmware}")
    return m.pointer(), m.screendump()


class BootTest(unittest.TestCase):
    def test_bios_frame_is_the_host_frame_and_the_uefi_frame(self):
        with Machine(SAME_CLOCK) as m:
            pointer, bios = settled_desktop(m)
            path = os.path.join(m.dir, "host.ppm")
            subprocess.run([host_tool("wm_frame"), "1024", "768", *map(str, pointer), path], check=True)
            host = Image(path)
            self.assertEqual((bios.width, bios.height, host.width, host.height), (1024, 768, 1024, 768))
            differ = [(x, y) for y in range(bios.height) for x in range(TOP_BAR_COMPARED if y < TOP_BAR else bios.width)
                      if bios.pixel(x, y) != host.pixel(x, y)]
            self.assertEqual(differ[:5], [], f"{len(differ)} pixels differ from the host's frame")
        with Machine(SAME_CLOCK, firmware="uefi") as m:
            _pointer, uefi = settled_desktop(m)
        differ = sum(1 for i in range(0, len(bios.raw), 3) if bios.raw[i:i + 3] != uefi.raw[i:i + 3])
        self.assertEqual((uefi.width, uefi.height, differ), (1024, 768, 0), "UEFI mode and pixels unlike the BIOS's")


if __name__ == "__main__":
    unittest.main()
