"""Boots the TavlinOS ISO in QEMU for system tests.

A Machine runs QEMU headless with the serial log in a file and a QMP socket.
Tests read the log, inject keys and mouse motion through QMP, take
screendumps, and read kernel globals by name: the ELF's symbol table gives
the address, QMP's pmemsave the bytes (memory is identity-mapped). Images
are compared with the host build's decoding of them (tools/decode_image
runs the kernel's own image cache on the host).
"""
import functools
import json
import os
import shutil
import socket
import struct
import subprocess
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


def build_dir():
    return os.environ.get("TAVLIN_BUILD", os.path.join(ROOT, "build"))


def host_tool(name):
    """A tool of the host build (tools/<name>, or the build's top for wm_frame);
    the test is skipped when it is not built."""
    build = os.environ.get("TAVLIN_HOST_BUILD", os.path.join(ROOT, "build", "host"))
    for path in (os.path.join(build, "tools", name), os.path.join(build, name)):
        if os.path.exists(path):
            return path
    raise unittest.SkipTest(f"{name} is not built in {build}")


def image_dir():
    """Where the booted kernel.elf and ISO are: the test image (`make
    test-iso`, with the network command block) when built, else the user's."""
    test = os.path.join(build_dir(), "test")
    return test if os.path.exists(os.path.join(test, "tavlinos.iso")) else build_dir()


@functools.lru_cache(maxsize=None)
def kernel_symbols(elf):
    """Maps demangled names to addresses."""
    out = subprocess.run(["nm", "-C", elf], check=True, capture_output=True, text=True).stdout
    return {p[2]: int(p[0], 16) for p in (line.split(None, 2) for line in out.splitlines()) if len(p) == 3}


class Image:
    """A screendump: QEMU's P6 PPM ("P6\\nW H\\n255\\n" and the bytes)."""

    def __init__(self, path):
        with open(path, "rb") as f:
            magic, size, _maxval, self.raw = f.read().split(b"\n", 3)
        assert magic == b"P6", magic
        self.width, self.height = map(int, size.split())

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return int.from_bytes(self.raw[i:i + 3], "big")

    def row(self, y):
        return [self.pixel(x, y) for x in range(self.width)]


def host_decoded(data, frame=None):
    """(width, height, 0xAARRGGBB pixels) of an image file's bytes, or of
    frame `frame` of a ZEVA video's."""
    tool = host_tool("decode_image")
    with tempfile.TemporaryDirectory(prefix="tavlin-img-") as tmp:
        src, out = os.path.join(tmp, "in"), os.path.join(tmp, "out")
        with open(src, "wb") as f:
            f.write(data)
        subprocess.run([tool, src, out] + ([] if frame is None else [str(frame)]), check=True, capture_output=True)
        with open(out, "rb") as f:
            raw = f.read()
    w, h = struct.unpack_from("<II", raw)
    return w, h, list(struct.unpack_from(f"<{w * h}I", raw, 8))


def scaled(image, size, height=None):
    """Rows of an opaque image drawn nearest-neighbour into size x size (or
    size x height)."""
    w, h, pixels = image
    dh = size if height is None else height
    assert all(p >> 24 == 255 for p in pixels), "an image with transparency"
    return [[pixels[min(r * h // dh, h - 1) * w + min(c * w // size, w - 1)] & 0xFFFFFF for c in range(size)]
            for r in range(dh)]


class Machine:
    """One QEMU run of the ISO. Use as a context manager."""

    OVMF = "/usr/share/OVMF/OVMF_CODE_4M.fd", "/usr/share/OVMF/OVMF_VARS_4M.fd"

    def __init__(self, nic=None, netdev=None, extra_args=(), firmware="bios"):
        bdir = image_dir()
        self.iso, self.elf = os.path.join(bdir, "tavlinos.iso"), os.path.join(bdir, "kernel.elf")
        self.nic, self.netdev, self.extra_args, self.firmware = nic, netdev, list(extra_args), firmware
        self.proc = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        if not os.path.exists(self.iso):
            raise FileNotFoundError(f"{self.iso} is missing: run `make test-iso` first")
        self.dir = tempfile.mkdtemp(prefix="tavlin-")
        self.serial_path = os.path.join(self.dir, "serial.log")
        qmp_path = os.path.join(self.dir, "qmp.sock")
        args = self._machine_args() + ["-m", "128", "-cdrom", self.iso, "-display", "none",
                                       "-serial", f"file:{self.serial_path}",
                                       "-qmp", f"unix:{qmp_path},server=on,wait=off",
                                       "-no-reboot", "-nodefaults", "-vga", "std"]
        args += (["-netdev", self.netdev, "-device", f"{self.nic},netdev=n0"] if self.nic else ["-net", "none"])
        args += self.extra_args
        self.stderr = open(os.path.join(self.dir, "qemu.err"), "w")
        self.proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=self.stderr)
        self._connect_qmp(qmp_path)

    def _machine_args(self):
        """A BIOS PC, or a UEFI one: OVMF on a 64-bit q35 machine, with a
        private copy of the firmware's variable store."""
        if self.firmware == "bios":
            return ["qemu-system-i386"]
        variables = os.path.join(self.dir, "ovmf_vars.fd")
        shutil.copyfile(self.OVMF[1], variables)
        return ["qemu-system-x86_64", "-machine", "q35",
                "-drive", f"if=pflash,format=raw,readonly=on,file={self.OVMF[0]}",
                "-drive", f"if=pflash,format=raw,file={variables}"]

    def stop(self):
        if self.proc and self.proc.poll() is None:
            try:
                self.qmp("quit")
                self.proc.wait(timeout=10)
            except Exception:
                self.proc.kill()
                self.proc.wait()
        if getattr(self, "sock", None):
            self.sock.close()
        if getattr(self, "stderr", None):
            self.stderr.close()
        if os.environ.get("TAVLIN_KEEP_LOGS"):
            print(f"logs kept in {self.dir}")
        elif getattr(self, "dir", None):
            shutil.rmtree(self.dir, ignore_errors=True)

    # -- QMP ---------------------------------------------------------------
    def _connect_qmp(self, path):
        deadline = time.time() + 20
        while True:
            self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            try:
                self.sock.connect(path)
                break
            except OSError:
                self.sock.close()
                if time.time() > deadline or self.proc.poll() is not None:
                    with open(os.path.join(self.dir, "qemu.err")) as f:
                        raise RuntimeError("QEMU did not open its QMP socket: " + f.read())
                time.sleep(0.05)
        self.stream = self.sock.makefile("rw")
        json.loads(self.stream.readline())  # greeting
        self.qmp("qmp_capabilities")

    def qmp(self, command, **arguments):
        self.stream.write(json.dumps({"execute": command, "arguments": arguments}) + "\n")
        self.stream.flush()
        while True:
            line = self.stream.readline()
            if not line:
                raise RuntimeError(f"QMP closed during {command}")
            reply = json.loads(line)
            if "error" in reply:
                raise RuntimeError(f"{command}: {reply['error']}")
            if "event" not in reply:
                return reply.get("return")

    # -- serial log and waiting --------------------------------------------
    def serial(self):
        with open(self.serial_path, "rb") as f:  # QEMU makes it before it opens QMP
            return f.read().decode("latin-1")

    def wait_until(self, condition, timeout=30, interval=0.1, message="condition"):
        deadline = time.time() + timeout
        while True:
            value = condition()
            if value:
                return value
            if time.time() > deadline:
                raise TimeoutError(f"{message} not met after {timeout}s")
            if self.proc.poll() is not None:
                raise RuntimeError(f"QEMU ended while waiting for {message}:\n{self.serial()[-3000:]}")
            time.sleep(interval)

    def wait_for_serial(self, text, timeout=60):
        return self.wait_until(lambda: text in self.serial() and self.serial(), timeout, message=repr(text))

    def wait_frames(self, count, timeout=120):
        """Until the main loop has composed `count` more frames."""
        start = self.read_u32("frame_count")
        self.wait_until(lambda: self.read_u32("frame_count") >= start + count, timeout, message="frames")

    def wait_for_desktop(self, timeout=120):
        self.wait_until(lambda: self.read_u32("frame_count") >= 3, timeout, message="desktop frames")

    # -- kernel memory -----------------------------------------------------
    def symbol(self, name):
        table = kernel_symbols(self.elf)
        return table.get(name) or table["tavlin::" + name]

    def read_bytes(self, name, size, offset=0):
        path = os.path.join(self.dir, "mem.bin")
        self.qmp("pmemsave", val=self.symbol(name) + offset, size=size, filename=path)
        with open(path, "rb") as f:
            return f.read()

    def read_u32(self, name, offset=0):
        return struct.unpack("<I", self.read_bytes(name, 4, offset))[0]

    def read_i32(self, name, offset=0):
        return struct.unpack("<i", self.read_bytes(name, 4, offset))[0]

    def read_cstring(self, name, size, offset=0):
        return self.read_bytes(name, size, offset).split(b"\0", 1)[0].decode("latin-1")

    # -- input -------------------------------------------------------------
    def key_event(self, qcode, down):
        self.qmp("input-send-event",
                 events=[{"type": "key", "data": {"down": down, "key": {"type": "qcode", "data": qcode}}}])

    def key(self, qcode, hold=0.03):
        self.key_combo([qcode], hold)

    def key_combo(self, qcodes, hold=0.05):
        for q in qcodes:
            self.key_event(q, True)
            time.sleep(hold)
        for q in reversed(qcodes):
            self.key_event(q, False)
            time.sleep(hold)

    _SHIFTED = {'!': '1', '?': 'slash', ':': 'semicolon', '_': 'minus'}
    _PLAIN = {' ': 'spc', '\n': 'ret', '-': 'minus', '.': 'dot', '/': 'slash', '\b': 'backspace'}

    def type_text(self, text, hold=0.03):
        for ch in text:
            if ch in self._SHIFTED or ch.isupper():
                self.key_combo(["shift", self._SHIFTED.get(ch, ch.lower())], hold)
            else:
                self.key(self._PLAIN.get(ch, ch), hold)

    def mouse_move(self, dx, dy):
        """Relative motion in device counts; y grows downwards as on screen."""
        self.qmp("input-send-event", events=[{"type": "rel", "data": {"axis": "x", "value": dx}},
                                             {"type": "rel", "data": {"axis": "y", "value": dy}}])

    def mouse_button(self, button, down):
        self.qmp("input-send-event", events=[{"type": "btn", "data": {"down": down, "button": button}}])

    def click(self, button="left", hold=0.1):
        self.mouse_button(button, True)
        time.sleep(hold)
        self.mouse_button(button, False)
        time.sleep(hold)

    def pointer(self):
        return self.read_i32("mouse_x"), self.read_i32("mouse_y")

    def move_pointer_to(self, tx, ty, tolerance=0, timeout=60):
        """The pointer accelerates, so it is steered: a few counts at a time
        while far away, single counts near the target, reading it back after
        every move."""
        deadline = time.time() + timeout
        while True:
            x, y = self.pointer()
            if abs(tx - x) <= tolerance and abs(ty - y) <= tolerance:
                return x, y
            if time.time() > deadline:
                raise TimeoutError(f"pointer stuck at {(x, y)} on its way to {(tx, ty)}")

            def counts(d):
                step = 0 if abs(d) <= tolerance else 6 if abs(d) > 40 else 1
                return step if d > 0 else -step

            self.mouse_move(counts(tx - x), counts(ty - y))
            time.sleep(0.03)

    def click_at(self, x, y, button="left", tolerance=0):
        self.move_pointer_to(x, y, tolerance)
        self.click(button)

    def click_until(self, x, y, done, presses=1, tolerance=1, attempts=10, wait=3):
        """Clicks (presses=2: double-clicks) at (x, y) until `done` holds: a
        click during a window's opening animation is not delivered, and a guest
        too busy to see both clicks of a pair within 30 ticks needs another
        pair. Each press and release is seen by a pass of the main loop."""
        self.move_pointer_to(x, y, tolerance)
        for attempt in range(attempts):
            for down in (True, False) * presses:
                frame = self.read_u32("frame_count")
                self.mouse_button("left", down)
                self.wait_until(lambda: self.read_u32("frame_count") > frame, 5, 0.01, message="a pass")
            try:
                return self.wait_until(done, timeout=wait, message=f"a click at {(x, y)} to take effect")
            except TimeoutError:
                if attempt == attempts - 1:
                    raise

    def double_click(self, x, y, done, tolerance=1):
        return self.click_until(x, y, done, presses=2, tolerance=tolerance, attempts=5, wait=10)

    def screendump(self):
        path = os.path.join(self.dir, "screen.ppm")
        self.qmp("screendump", filename=path)
        return Image(path)


class DesktopTestCase(unittest.TestCase):
    """Tests that share one machine booted to the desktop, as `cls.m`;
    `machine_args` adds QEMU arguments (devices) to its command line."""

    machine_args = ()

    @classmethod
    def setUpClass(cls):
        cls.m = Machine(extra_args=cls.machine_args)
        cls.addClassCleanup(cls.m.stop)
        cls.m.start()
        cls.m.wait_for_desktop()
