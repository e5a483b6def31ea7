"""Boots the TavlinOS ISO in QEMU for system tests.

A Machine runs QEMU headless with the serial log in a file and a QMP socket.
Tests read the log, inject keys and mouse motion through QMP, take
screendumps, and read kernel globals by name: the ELF's symbol table gives
the address, QMP's pmemsave the bytes (memory is identity-mapped).
"""
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


def image_dir():
    """Where the booted kernel.elf and ISO are: the test image (`make
    test-iso`, with the network command block) when built, else the user's."""
    test = os.path.join(build_dir(), "test")
    return test if os.path.exists(os.path.join(test, "tavlinos.iso")) else build_dir()


_symbol_cache = {}


def kernel_symbols(elf):
    """Maps demangled names (and their unqualified forms) to (address, size)."""
    if elf in _symbol_cache:
        return _symbol_cache[elf]
    out = subprocess.run(["nm", "-C", "-S", elf], check=True, capture_output=True, text=True).stdout
    table = {}
    for line in out.splitlines():
        parts = line.split(None, 3)
        if len(parts) == 4:
            addr, size, _kind, name = parts
            entry = (int(addr, 16), int(size, 16))
        elif len(parts) == 3:
            addr, _kind, name = parts
            entry = (int(addr, 16), 0)
        else:
            continue
        table[name] = entry
    _symbol_cache[elf] = table
    return table


class Image:
    """A screendump: P6 PPM decoded into rows of 0xRRGGBB."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        fields = []
        pos = 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos) + 1
                continue
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        assert fields[0] == b"P6", fields[0]
        self.width, self.height = int(fields[1]), int(fields[2])
        self.raw = data[pos + 1:pos + 1 + self.width * self.height * 3]

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        r, g, b = self.raw[i], self.raw[i + 1], self.raw[i + 2]
        return (r << 16) | (g << 8) | b

    def row(self, y):
        return [self.pixel(x, y) for x in range(self.width)]


class QmpError(RuntimeError):
    pass


class Machine:
    """One QEMU run of the ISO. Use as a context manager."""

    def __init__(self, nic=None, netdev=None, extra_args=(), memory=128, iso=None, elf=None,
                 firmware="bios"):
        bdir = image_dir()
        self.iso = iso or os.path.join(bdir, "tavlinos.iso")
        self.elf = elf or os.path.join(bdir, "kernel.elf")
        self.nic = nic
        self.netdev = netdev
        self.extra_args = list(extra_args)
        self.memory = memory
        self.firmware = firmware
        self.proc = None
        self.events = []

    # -- lifecycle ---------------------------------------------------------
    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        if not os.path.exists(self.iso):
            raise FileNotFoundError(f"{self.iso} is missing: run `make iso` first")
        self.dir = tempfile.mkdtemp(prefix="tavlin-")
        self.serial_path = os.path.join(self.dir, "serial.log")
        self.qmp_path = os.path.join(self.dir, "qmp.sock")
        args = self._machine_args() + ["-m", str(self.memory), "-cdrom", self.iso,
                "-display", "none", "-serial", f"file:{self.serial_path}",
                "-qmp", f"unix:{self.qmp_path},server=on,wait=off",
                "-no-reboot", "-nodefaults", "-vga", "std"]
        args += self._network_args()
        args += self.extra_args
        self.stderr = open(os.path.join(self.dir, "qemu.err"), "w")
        self.proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=self.stderr)
        self._connect_qmp()

    OVMF_CODE = "/usr/share/OVMF/OVMF_CODE_4M.fd"
    OVMF_VARS = "/usr/share/OVMF/OVMF_VARS_4M.fd"

    def _machine_args(self):
        """A BIOS PC, or a UEFI one: OVMF on a 64-bit q35 machine, with a
        private copy of the firmware's variable store."""
        if self.firmware == "bios":
            return ["qemu-system-i386"]
        variables = os.path.join(self.dir, "ovmf_vars.fd")
        shutil.copyfile(self.OVMF_VARS, variables)
        return ["qemu-system-x86_64", "-machine", "q35",
                "-drive", f"if=pflash,format=raw,readonly=on,file={self.OVMF_CODE}",
                "-drive", f"if=pflash,format=raw,file={variables}"]

    def _network_args(self):
        nics = self.nic if isinstance(self.nic, (list, tuple)) else ([self.nic] if self.nic else [])
        if not nics:
            return ["-net", "none"]
        args = []
        for i, model in enumerate(nics):
            if self.netdev and i == 0:
                args += ["-netdev", self.netdev]
                netdev_id = self.netdev.split("id=")[1].split(",")[0]
            else:
                # A card with a backend that goes nowhere: no packet leaves QEMU.
                netdev_id = f"hub{i}"
                args += ["-netdev", f"hubport,id={netdev_id},hubid={i + 10}"]
            args += ["-device", f"{model},netdev={netdev_id}"]
        return args

    def stop(self):
        if self.proc and self.proc.poll() is None:
            try:
                self.qmp("quit")
            except Exception:
                pass
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        if getattr(self, "sock", None):
            try:
                self.stream.close()
            except OSError:
                pass  # QEMU already gone (a guest reset ends it)
            self.sock.close()
        if getattr(self, "stderr", None):
            self.stderr.close()
        if os.environ.get("TAVLIN_KEEP_LOGS"):
            print(f"logs kept in {self.dir}")
        elif getattr(self, "dir", None):
            shutil.rmtree(self.dir, ignore_errors=True)

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_exit(self, timeout=30):
        """Waits for QEMU to end (a guest reset ends it under -no-reboot)."""
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    # -- QMP ---------------------------------------------------------------
    def _connect_qmp(self):
        deadline = time.time() + 20
        while True:
            try:
                self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
                self.sock.connect(self.qmp_path)
                break
            except OSError:
                self.sock.close()
                if time.time() > deadline or self.proc.poll() is not None:
                    raise RuntimeError("QEMU did not open its QMP socket: " + self.qemu_errors())
                time.sleep(0.05)
        self.stream = self.sock.makefile("rw")
        json.loads(self.stream.readline())  # greeting
        self.qmp("qmp_capabilities")

    def qmp(self, command, **arguments):
        message = {"execute": command}
        if arguments:
            message["arguments"] = arguments
        self.stream.write(json.dumps(message) + "\n")
        self.stream.flush()
        while True:
            line = self.stream.readline()
            if not line:
                raise QmpError(f"QMP closed during {command}")
            reply = json.loads(line)
            if "event" in reply:
                self.events.append(reply)
                continue
            if "error" in reply:
                raise QmpError(f"{command}: {reply['error']}")
            return reply.get("return")

    def qemu_errors(self):
        try:
            with open(os.path.join(self.dir, "qemu.err")) as f:
                return f.read()
        except OSError:
            return ""

    # -- serial log --------------------------------------------------------
    def serial(self):
        try:
            with open(self.serial_path, "rb") as f:
                return f.read().decode("latin-1")
        except FileNotFoundError:
            return ""

    def wait_for_serial(self, text, timeout=60):
        deadline = time.time() + timeout
        while True:
            log = self.serial()
            if text in log:
                return log
            if time.time() > deadline:
                raise TimeoutError(f"{text!r} not in the serial log after {timeout}s:\n{log[-3000:]}")
            if not self.running():
                raise RuntimeError(f"QEMU ended while waiting for {text!r}:\n{log[-3000:]}")
            time.sleep(0.1)

    def wait_until(self, condition, timeout=30, interval=0.1, message="condition"):
        deadline = time.time() + timeout
        while True:
            value = condition()
            if value:
                return value
            if time.time() > deadline:
                raise TimeoutError(f"{message} not met after {timeout}s")
            time.sleep(interval)

    def wait_for_desktop(self, timeout=120):
        """Until the main loop has composed a few frames."""
        self.wait_until(lambda: self.read_u32("frame_count") >= 3, timeout=timeout,
                        message="desktop frames")

    # -- kernel memory -----------------------------------------------------
    def symbol(self, name):
        table = kernel_symbols(self.elf)
        for candidate in (name, "tavlin::" + name):
            if candidate in table:
                return table[candidate][0]
        raise KeyError(f"no kernel symbol {name}")

    def symbol_size(self, name):
        table = kernel_symbols(self.elf)
        for candidate in (name, "tavlin::" + name):
            if candidate in table:
                return table[candidate][1]
        raise KeyError(f"no kernel symbol {name}")

    def read_memory(self, address, size):
        path = os.path.join(self.dir, "mem.bin")
        self.qmp("pmemsave", val=address, size=size, filename=path)
        with open(path, "rb") as f:
            return f.read()

    def read_bytes(self, name, size, offset=0):
        return self.read_memory(self.symbol(name) + offset, size)

    def read_u32(self, name, offset=0):
        return struct.unpack("<I", self.read_bytes(name, 4, offset))[0]

    def read_i32(self, name, offset=0):
        return struct.unpack("<i", self.read_bytes(name, 4, offset))[0]

    def read_u8(self, name, offset=0):
        return self.read_bytes(name, 1, offset)[0]

    def read_cstring(self, name, size, offset=0):
        return self.read_bytes(name, size, offset).split(b"\0", 1)[0].decode("latin-1")

    # -- input -------------------------------------------------------------
    def _key_event(self, qcode, down):
        return {"type": "key", "data": {"down": down, "key": {"type": "qcode", "data": qcode}}}

    def key_down(self, qcode):
        self.qmp("input-send-event", events=[self._key_event(qcode, True)])

    def key_up(self, qcode):
        self.qmp("input-send-event", events=[self._key_event(qcode, False)])

    def key(self, qcode, hold=0.03):
        self.key_down(qcode)
        time.sleep(hold)
        self.key_up(qcode)
        time.sleep(hold)

    def key_combo(self, qcodes, hold=0.05):
        for q in qcodes:
            self.key_down(q)
            time.sleep(hold)
        for q in reversed(qcodes):
            self.key_up(q)
            time.sleep(hold)

    _SHIFTED = {'!': '1', '@': '2', '#': '3', '$': '4', '%': '5', '^': '6', '&': '7', '*': '8',
                '(': '9', ')': '0', '_': 'minus', '+': 'equal', '{': 'bracket_left',
                '}': 'bracket_right', ':': 'semicolon', '"': 'apostrophe', '~': 'grave_accent',
                '|': 'backslash', '<': 'comma', '>': 'dot', '?': 'slash'}
    _PLAIN = {' ': 'spc', '\n': 'ret', '-': 'minus', '=': 'equal', '[': 'bracket_left',
              ']': 'bracket_right', ';': 'semicolon', "'": 'apostrophe', '`': 'grave_accent',
              '\\': 'backslash', ',': 'comma', '.': 'dot', '/': 'slash', '\b': 'backspace',
              '\t': 'tab'}

    def type_text(self, text, hold=0.03):
        for ch in text:
            if ch in self._SHIFTED or ch.isupper():
                base = self._SHIFTED.get(ch, ch.lower())
                self.key_combo(["shift", base], hold)
            else:
                self.key(self._PLAIN.get(ch, ch), hold)

    def mouse_move(self, dx, dy):
        """Relative motion in device counts; y grows downwards as on screen."""
        self.qmp("input-send-event", events=[
            {"type": "rel", "data": {"axis": "x", "value": dx}},
            {"type": "rel", "data": {"axis": "y", "value": dy}}])

    def mouse_button(self, button, down):
        self.qmp("input-send-event", events=[
            {"type": "btn", "data": {"down": down, "button": button}}])

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
                if abs(d) <= tolerance:
                    return 0
                step = 6 if abs(d) > 40 else 1
                return step if d > 0 else -step

            self.mouse_move(counts(tx - x), counts(ty - y))
            time.sleep(0.03)

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
        cls.m.start()
        try:
            cls.m.wait_for_desktop()
        except Exception:
            cls.m.stop()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.m.stop()
