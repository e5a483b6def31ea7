"""One ISO for both kinds of PC: booted through OVMF (GRUB's x86_64-efi
platform), it reaches the same desktop as through the BIOS, pixel for pixel."""
import unittest

from harness import Machine

# Both machines start their clocks at the same moment, so the top bar's
# clock reads the same in both screendumps.
SAME_CLOCK = ["-rtc", "base=2026-01-01T12:00:00"]


def settled_desktop(firmware):
    with Machine(firmware=firmware, extra_args=SAME_CLOCK) as m:
        m.wait_until(lambda: m.read_u32("frame_count") >= 50, timeout=300, message=f"50 frames under {firmware}")
        return (m.read_u32("fb_width"), m.read_u32("fb_height")), m.screendump()


class UefiBootTest(unittest.TestCase):
    def test_uefi_boot_reaches_the_same_desktop_as_bios(self):
        bios_mode, bios = settled_desktop("bios")
        uefi_mode, uefi = settled_desktop("uefi")
        self.assertEqual((uefi_mode, bios_mode), ((1024, 768), (1024, 768)))
        differing = sum(1 for i in range(0, len(bios.raw), 3) if bios.raw[i:i + 3] != uefi.raw[i:i + 3])
        self.assertEqual(differing, 0, "pixels that differ between the BIOS and UEFI desktops")


if __name__ == "__main__":
    unittest.main()
