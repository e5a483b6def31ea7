"""Boots the TavlinOS ISO in QEMU for system tests: serial log in a file, input and screendumps through QMP, kernel
globals read by name (the ELF's symbol table gives the address, QMP's pmemsave the bytes: memory is identity-mapped);
images are compared with the host build's decoding of them (tools/decode_image runs the kernel's image cache)."""
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

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.environ.get("TAVLIN_BUILD", os.path.join(ROOT, "build"))


def host_tool(name):
    """A tool of the host build (tools/<name>, or the build's top); the test is skipped when it is not built."""
    build = os.environ.get("TAVLIN_HOST_BUILD", os.path.join(ROOT, "build", "host"))
    for path in (os.path.join(build, "tools", name), os.path.join(build, name)):
        if os.path.exists(path):
            return path
    raise unittest.SkipTest(f"{name} is not built in {build}")


def wait_for(condition, timeout=30, message="condition", interval=0.1, check=lambda: None):
    """condition()'s first true value, polled every `interval`; `check` raises when waiting on is pointless."""
    deadline = time.time() + timeout
    while not (value := condition()):
        if time.time() > deadline:
            raise TimeoutError(f"{message} not met after {timeout}s")
        check()
        time.sleep(interval)
    return value


def connected(address, family=socket.AF_INET):
    """A stream socket connected to `address`, or None while nothing listens there."""
    sock = socket.socket(family, socket.SOCK_STREAM)
    try:
        sock.connect(address)
        return sock
    except OSError:
        sock.close()


_SHIFTED = {'!': '1', '?': 'slash', ':': 'semicolon', '_': 'minus'}
_PLAIN = {' ': 'spc', '\n': 'ret', '-': 'minus', '.': 'dot', '/': 'slash', '\b': 'backspace'}


def tap(keys):
    """The QMP input events of pressing `keys` in order and releasing them in reverse."""
    return [{"type": "key", "data": {"down": down, "key": {"type": "qcode", "data": k}}}
            for k, down in [(k, True) for k in keys] + [(k, False) for k in reversed(keys)]]


def motion(dx, dy):
    """The QMP input events of a relative mouse motion in device counts; y grows downwards as on screen."""
    return [{"type": "rel", "data": {"axis": "x", "value": dx}}, {"type": "rel", "data": {"axis": "y", "value": dy}}]


def qcodes(ch):
    """The keys that type `ch`: its QEMU key code, after Shift when shifted."""
    if ch in _SHIFTED or ch.isupper():
        return ["shift", _SHIFTED.get(ch, ch.lower())]
    return [_PLAIN.get(ch, ch)]


@functools.cache
def kernel_symbols(elf):
    out = subprocess.run(["nm", "-C", elf], check=True, capture_output=True, text=True).stdout
    return {p[2]: int(p[0], 16) for p in (line.split(None, 2) for line in out.splitlines()) if len(p) == 3}


class Image:
    """A screendump: QEMU's P6 PPM ("P6\\nW H\\n255\\n" and the bytes)."""

    def __init__(self, path):
        with open(path, "rb") as f:
            _magic, size, _maxval, self.raw = f.read().split(b"\n", 3)
        self.width, self.height = map(int, size.split())

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return int.from_bytes(self.raw[i:i + 3], "big")


def host_decoded(data, frame=None):
    """(width, height, 0xAARRGGBB pixels) of an image file's bytes, or of frame `frame` of a ZEVA video's."""
    args = [host_tool("decode_image"), "/dev/stdin", "/dev/stdout"] + ([] if frame is None else [str(frame)])
    out = subprocess.run(args, input=data, check=True, capture_output=True).stdout
    w, h = struct.unpack_from("<II", out)
    return w, h, list(struct.unpack_from(f"<{w * h}I", out, 8))


def scaled(image, width, height=None):
    """Rows of an opaque image drawn nearest-neighbour into width x height (square by default)."""
    w, h, pixels = image
    height = height or width
    assert all(p >> 24 == 255 for p in pixels), "an image with transparency"
    return [[pixels[min(r * h // height, h - 1) * w + min(c * w // width, w - 1)] & 0xFFFFFF for c in range(width)]
            for r in range(height)]


class Machine:
    """One QEMU run of the ISO. Use as a context manager."""

    def __init__(self, extra_args=(), firmware="bios"):
        image = os.path.join(BUILD, "test")  # the test image, with the network command block
        self.iso, self.elf = os.path.join(image, "tavlinos.iso"), os.path.join(image, "kernel.elf")
        self.extra_args, self.firmware = list(extra_args), firmware
        self.proc = self.sock = self.stderr = self.dir = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        self.dir = tempfile.mkdtemp(prefix="tavlin-")
        self.serial_path, qmp_path = os.path.join(self.dir, "serial.log"), os.path.join(self.dir, "qmp.sock")
        args = ["qemu-system-i386"]
        if self.firmware == "uefi":  # OVMF on a 64-bit q35 machine, with a private copy of its variable store
            shutil.copyfile("/usr/share/OVMF/OVMF_VARS_4M.fd", os.path.join(self.dir, "ovmf_vars.fd"))
            args = ["qemu-system-x86_64", "-machine", "q35", "-drive",
                    "if=pflash,format=raw,readonly=on,file=/usr/share/OVMF/OVMF_CODE_4M.fd",
                    "-drive", f"if=pflash,format=raw,file={self.dir}/ovmf_vars.fd"]
        args += ["-m", "128", "-cdrom", self.iso, "-display", "none", "-serial", f"file:{self.serial_path}",
                 "-qmp", f"unix:{qmp_path},server=on,wait=off", "-no-reboot", "-nodefaults", "-vga", "std", "-net",
                 "none"] + self.extra_args
        self.stderr = open(os.path.join(self.dir, "qemu.err"), "w+")
        self.proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=self.stderr)
        self.sock = wait_for(lambda: connected(qmp_path, socket.AF_UNIX), 20, "QEMU's QMP socket", 0.05, self.alive)
        self.stream = self.sock.makefile("rw")
        json.loads(self.stream.readline())  # greeting
        self.qmp("qmp_capabilities")

    def alive(self):
        if self.proc.poll() is not None:
            self.stderr.seek(0)
            raise RuntimeError(f"QEMU ended: {self.stderr.read()}\n{self.serial()[-3000:]}")

    def stop(self):
        if self.proc:
            self.proc.kill()  # nothing of the guest's outlives the run
            self.proc.wait()
        for f in (self.sock, self.stderr):
            if f:
                f.close()
        if os.environ.get("TAVLIN_KEEP_LOGS"):
            print(f"logs kept in {self.dir}")
        elif self.dir:
            shutil.rmtree(self.dir, ignore_errors=True)

    def qmp(self, command, **arguments):
        self.stream.write(json.dumps({"execute": command, "arguments": arguments}) + "\n")
        self.stream.flush()
        while True:
            reply = json.loads(self.stream.readline())  # an empty line (QEMU gone) fails to parse
            if "error" in reply:
                raise RuntimeError(f"{command}: {reply['error']}")
            if "event" not in reply:
                return reply.get("return")

    def serial(self):
        with open(self.serial_path, "rb") as f:  # QEMU makes it before it opens QMP
            return f.read().decode("latin-1")

    def wait_until(self, condition, timeout=30, interval=0.1, message="condition"):
        return wait_for(condition, timeout, message, interval, self.alive)

    def wait_frames(self, count):
        """Until the main loop has composed `count` more frames."""
        start = self.read_u32("frame_count")
        self.wait_until(lambda: self.read_u32("frame_count") >= start + count, 120, message="frames")

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

    def type_text(self, text):
        for ch in text:
            for event in tap(qcodes(ch)):
                self.qmp("input-send-event", events=[event])
                time.sleep(0.03)

    def pointer(self):
        return self.read_i32("mouse_x"), self.read_i32("mouse_y")

    def move_pointer_to(self, tx, ty, tolerance=0):
        """Steers the accelerating pointer, reading it back: a few counts a move while far away, single counts near."""
        counts = lambda d: 0 if abs(d) <= tolerance else (6 if abs(d) > 40 else 1) * (1 if d > 0 else -1)

        def arrived():
            x, y = self.pointer()
            if abs(tx - x) <= tolerance and abs(ty - y) <= tolerance:
                return True
            self.qmp("input-send-event", events=motion(counts(tx - x), counts(ty - y)))

        self.wait_until(arrived, 60, 0.03, f"the pointer at {(tx, ty)}")

    def click_until(self, x, y, done, presses=1, tolerance=1, attempts=10, wait=3):
        """Clicks (presses=2: double-clicks) at (x, y) until `done` holds, each press and release seen by a pass of the
        main loop: a click during a window's opening animation is lost, and so is a pair more than 30 ticks apart."""
        self.move_pointer_to(x, y, tolerance)
        for attempt in range(attempts):
            for down in (True, False) * presses:
                frame = self.read_u32("frame_count")
                self.qmp("input-send-event", events=[{"type": "btn", "data": {"down": down, "button": "left"}}])
                self.wait_until(lambda: self.read_u32("frame_count") > frame, 5, 0.01, message="a pass")
            try:
                return self.wait_until(done, timeout=wait, message=f"a click at {(x, y)} to take effect")
            except TimeoutError:
                if attempt == attempts - 1:
                    raise

    def screendump(self):
        path = os.path.join(self.dir, "screen.ppm")
        self.qmp("screendump", filename=path)
        return Image(path)
