#!/usr/bin/env python3
"""The speed users see: the real image under QEMU (TCG, no card), reported as
numbers, not assertions.

- seconds from QEMU's start to the first composed frame;
- main-loop passes per second (the loop waits for the 100 Hz tick, so 100 is
  the ceiling) on the idle desktop, with a Finder alone on Downloads (its
  thumbnails come from the image cache every pass), with the sample video
  playing alone in its window, and with Terminal, Clock, TextEdit, the
  Finder on Downloads, the image viewer on the sample PNG and the media player
  all open;
- the same at 1920x1080, from a copy of the ISO whose GRUB asks for that mode;
- beside each rate, the share of its passes that repainted the whole screen
  although it had not all changed (see render_damaged).

Applications are opened by calling the kernel's own launchers through QEMU's
GDB stub, so the numbers do not depend on pointer steering.
"""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "system"))
from harness import Machine  # noqa: E402
import desktop  # noqa: E402

KIND_CLOCK, KIND_TERMINAL, KIND_FINDER, KIND_TEXTEDIT = 2, 3, 4, 5
SAMPLE_PNG, SAMPLE_VIDEO = "Tavlin.yrf", "DoruViza.zeva"  # the desktop picture holds PNG bytes
MEASURE_SECONDS = 6


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Rate(float):
    """Passes per second, printed with the share of them repainted whole."""
    def __new__(cls, rate, whole_share):
        r = super().__new__(cls, rate)
        r.whole_share = whole_share
        return r

    def __format__(self, fmt):
        return f"{float(self):{fmt}} ({100 * self.whole_share:3.0f}% whole)"


def passes_per_second(m, seconds=MEASURE_SECONDS):
    """Frames composed per 100 guest ticks over a stretch of host time."""
    frames0, ticks0 = m.read_u32("frame_count"), m.read_u32("pit_ticks")
    whole0 = m.read_u32("frames_repainted_whole")
    time.sleep(seconds)
    frames1, ticks1 = m.read_u32("frame_count"), m.read_u32("pit_ticks")
    whole1 = m.read_u32("frames_repainted_whole")
    frames = max(1, frames1 - frames0)
    return Rate(100.0 * (frames1 - frames0) / max(1, ticks1 - ticks0), (whole1 - whole0) / frames)


def gdb(m, port, commands):
    args = ["gdb", "-batch", "-nx", m.elf, "-ex", f"target remote 127.0.0.1:{port}"]
    for c in commands + ["detach"]:
        args += ["-ex", c]
    subprocess.run(args, check=True, capture_output=True, timeout=120)


def node_index(m):
    return {n["name"]: i for i, n in enumerate(desktop.read_nodes(m)) if n["in_use"]}


def finder_on_downloads(m, port):
    """Passes per second with a Finder alone on Downloads; the Finder is closed after."""
    gdb(m, port, [f"call (void)tavlin::open_app({KIND_FINDER})",
                  f"set var tavlin::windows[tavlin::focused_window].finder_dir = {node_index(m)['Downloads']}"])
    time.sleep(2)  # past the opening animation
    rate = passes_per_second(m)
    gdb(m, port, ["call (void)tavlin::close_window(&tavlin::windows[tavlin::focused_window])"])
    time.sleep(2)  # past the closing animation
    return rate


def playing_video(m, port):
    """Passes per second with the sample video playing alone in its window."""
    gdb(m, port, [f"call (void)tavlin::open_file_in_app({node_index(m)[SAMPLE_VIDEO]})"])
    time.sleep(2)  # past the opening animation
    return passes_per_second(m)


def open_the_rest(m, port):
    """Beside the playing video: Terminal, Clock, TextEdit, Finder on Downloads, the viewer."""
    index = node_index(m)
    gdb(m, port, [
        f"call (void)tavlin::open_app({KIND_TERMINAL})",
        f"call (void)tavlin::open_app({KIND_CLOCK})",
        f"call (void)tavlin::open_app({KIND_TEXTEDIT})",
        f"call (void)tavlin::open_app({KIND_FINDER})",
        f"set var tavlin::windows[tavlin::focused_window].finder_dir = {index['Downloads']}",
        f"call (void)tavlin::open_file_in_app({index[SAMPLE_PNG]})",
    ])
    return len([w for w in desktop.read_windows(m) if w["in_use"]])


def measure(iso, label):
    port = free_port()
    # The user's image, with its own symbols (not the test image's).
    elf = os.path.join(os.environ["TAVLIN_BUILD"], "kernel.elf")
    m = Machine(extra_args=["-gdb", f"tcp:127.0.0.1:{port}"])
    m.iso, m.elf = iso, elf
    started = time.monotonic()
    m.start()
    try:
        m.wait_until(lambda: m.read_u32("frame_count") >= 1, timeout=240, interval=0.02,
                     message="first frame")
        first = time.monotonic() - started
        m.wait_until(lambda: m.read_u32("frame_count") >= 100, timeout=240, message="settled")
        mode = f"{m.read_u32('fb_width')}x{m.read_u32('fb_height')}"
        idle = passes_per_second(m)
        finder = finder_on_downloads(m, port)
        video = playing_video(m, port)
        windows = open_the_rest(m, port)
        time.sleep(2)  # let the opening animations end
        busy = passes_per_second(m)
    finally:
        m.stop()
    print(f"{label:<10} mode {mode:<10} first frame {first:5.2f} s   passes/s idle {idle:5.1f}"
          f"   Finder on Downloads {finder:5.1f}   video playing {video:5.1f}   with {windows} windows {busy:5.1f}")


def full_hd_iso(build):
    """A copy of the ISO whose GRUB asks for 1920x1080 at boot."""
    work = tempfile.mkdtemp(prefix="tavlin-hd-")
    tree = os.path.join(work, "iso")
    shutil.copytree(os.path.join(build, "isodir"), tree)
    cfg = os.path.join(tree, "boot", "grub", "grub.cfg")
    with open(cfg) as f:
        text = f.read()
    with open(cfg, "w") as f:
        f.write(text.replace("    boot\n", "    set gfxpayload=1920x1080x32\n    boot\n"))
    iso = os.path.join(work, "tavlinos-1080.iso")
    subprocess.run(["grub-mkrescue", "-o", iso, tree], check=True, capture_output=True)
    return iso, work


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
    os.environ["TAVLIN_BUILD"] = build
    print("QEMU (TCG, no card), the image as users run it:")
    measure(os.path.join(build, "tavlinos.iso"), "1024x768")
    iso, work = full_hd_iso(build)
    try:
        measure(iso, "1920x1080")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
