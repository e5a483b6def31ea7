"""The desktop on the real machine matches the frame the host build
composes from the same start-up state: wallpaper, dock, top bar and
pointer, pixel for pixel."""
import os
import subprocess
import tempfile
import unittest

from harness import ROOT, Image, Machine

TOP_BAR = 28
# The right end of the top bar carries the clock and the network state,
# which differ between any two runs.
TOP_BAR_COMPARED = 520


def host_tool():
    build = os.environ.get("TAVLIN_HOST_BUILD", os.path.join(ROOT, "build", "host"))
    return os.path.join(build, "wm_frame")


def differences(real, host, rows, columns):
    out = []
    for y in rows:
        a, b = real.row(y), host.row(y)
        for x in columns:
            if a[x] != b[x]:
                out.append((x, y, a[x], b[x]))
    return out


class DesktopTest(unittest.TestCase):
    def test_start_up_desktop_matches_the_host_frame(self):
        tool = host_tool()
        if not os.path.exists(tool):
            self.skipTest(f"{tool} is not built (cmake --build <host build> --target wm_frame)")
        with Machine() as m:
            m.wait_for_desktop()
            frames = m.read_u32("frame_count")
            m.wait_until(lambda: m.read_u32("frame_count") >= frames + 2, message="two fresh frames")
            pointer = (m.read_i32("mouse_x"), m.read_i32("mouse_y"))
            real = m.screendump()
            self.assertGreater(m.read_u32("frame_count"), 3)
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "host.ppm")
            subprocess.run([tool, str(real.width), str(real.height), str(pointer[0]), str(pointer[1]), path],
                           check=True, capture_output=True)
            host = Image(path)
        self.assertEqual((host.width, host.height), (real.width, real.height))
        self.assertEqual(pointer, (real.width // 2, real.height // 2))
        below = differences(real, host, range(TOP_BAR, real.height), range(real.width))
        bar = differences(real, host, range(TOP_BAR), range(TOP_BAR_COMPARED))
        self.assertEqual(below + bar, [], f"{len(below) + len(bar)} pixels differ, first: {(below + bar)[:5]}")
        # The pointer's tip is where the kernel says it is: black on the wallpaper.
        self.assertEqual(real.pixel(*pointer), 0x000000)


if __name__ == "__main__":
    unittest.main()
