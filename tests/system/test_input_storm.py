"""An input storm on the real ISO: with several windows open, 10,000 random
key and mouse events (presses, moves, drags, function keys, Enter, Ctrl and
Shift combinations, Terminal commands; never the crash chord) must leave
the machine running its main loop, with a sane window table and a
consistent file tree that still holds the standard folders. The events
come from a seed, printed so a failure can be replayed with
TAVLIN_STORM_SEED."""
import os
import random
import sys
import time
import unittest

from desktop import dock_tile_centre, node_table_problems, read_windows, standard_folders_present
from harness import Machine

EVENTS = 10000
CRASH_SEPARATOR = 0x552222
KBD_LINE = b"[KBD] scancode: "
# Each key is tapped (down and up) within one batch, so no two of C, R and
# Enter are ever held together: the crash chord cannot form.
KEYS = (list("abcdefghijklmnopqrstuvwxyz0123456789")
        + ["spc", "ret", "backspace", "tab", "esc", "minus", "dot", "slash", "comma", "delete",
           "up", "down", "left", "right", "home", "end", "pgup", "pgdn", "insert"]
        + [f"f{i}" for i in range(1, 13)])
COMMANDS = ["ls", "cd ..", "cd Desktop", "mkdir a", "mkdir Desktop/b", "touch a/n", "touch c",
            "rm a", "rm c", "rm Desktop", "cat c", "echo hi", "scom", "run hello.hit", "pwd",
            "minimize", "close", "clear", "help"]
TYPED = {" ": "spc", ".": "dot", "/": "slash"}


def key(qcode, down):
    return {"type": "key", "data": {"down": down, "key": {"type": "qcode", "data": qcode}}}


def tap(qcode, modifier=None):
    events = [key(qcode, True), key(qcode, False)]
    return [key(modifier, True)] + events + [key(modifier, False)] if modifier else events


class KeyboardLog:
    """Counts the scancodes the guest has logged, reading only what is new,
    so each batch of keys is sent once the last one was taken: the PS/2
    queue never overflows and no key release is lost."""

    def __init__(self, m):
        self.m, self.offset, self.tail, self.count = m, 0, b"", 0

    def update(self):
        with open(self.m.serial_path, "rb") as f:
            f.seek(self.offset)
            new = f.read()
        self.offset += len(new)
        data = self.tail + new
        self.count += data.count(KBD_LINE)
        self.tail = data[-(len(KBD_LINE) - 1):] if not data.endswith(KBD_LINE) else b""
        return self.count


class Storm:
    def __init__(self, m, rng):
        self.m, self.rng, self.sent, self.keys_sent = m, rng, 0, 0
        self.log = KeyboardLog(m)
        self.buttons = {"left": False, "right": False}

    def send(self, events):
        self.m.qmp("input-send-event", events=events)
        self.sent += len(events)
        keys = sum(e["type"] == "key" for e in events)
        if keys:
            self.keys_sent += keys
            self.m.wait_until(lambda: self.log.update() >= self.keys_sent, timeout=120, interval=0.002,
                              message=f"the guest taking key {self.keys_sent}")

    def button(self, name, down):
        self.buttons[name] = down
        self.send([{"type": "btn", "data": {"down": down, "button": name}}])

    def move(self, reach):
        r = self.rng
        self.send([{"type": "rel", "data": {"axis": "x", "value": r.randint(-reach, reach)}},
                   {"type": "rel", "data": {"axis": "y", "value": r.randint(-reach, reach)}}])

    def target(self):
        """A point worth aiming at: a window's title-bar buttons or title, a
        dock tile, the trash or the top bar."""
        r, m = self.rng, self.m
        windows = [w for w in read_windows(m) if w["in_use"] and not w["minimized"]]
        roll = r.random()
        if windows and roll < 0.6:
            w = r.choice(windows)
            return w["x"] + r.choice([16, 36, 56, w["w"] // 2, w["w"] - 5]), w["y"] + r.choice([15, 15, w["h"] - 5])
        if roll < 0.9:
            return dock_tile_centre(m, r.randrange(8))  # the eighth is the trash
        return r.randrange(m.read_u32("fb_width")), r.randrange(28)

    def aim(self):
        """Steers the pointer near a target in a few moves, reading it back."""
        tx, ty = self.target()
        for _ in range(12):
            x, y = self.m.pointer()
            if abs(tx - x) <= 2 and abs(ty - y) <= 2:
                return
            step = lambda d: max(-20, min(20, d // 3 if abs(d) > 6 else (d > 0) - (d < 0)))
            self.send([{"type": "rel", "data": {"axis": "x", "value": step(tx - x)}},
                       {"type": "rel", "data": {"axis": "y", "value": step(ty - y)}}])
            time.sleep(0.005)

    def step(self):
        r, roll = self.rng, self.rng.random()
        if roll < 0.25:
            self.move(40)
        elif roll < 0.28:
            self.aim()
        elif roll < 0.35:
            self.move(400)
        elif roll < 0.48:
            self.button("left", not self.buttons["left"])
        elif roll < 0.52:
            self.button("right", True)
            self.button("right", False)
        elif roll < 0.80:
            self.send(tap(r.choice(KEYS)))
        elif roll < 0.87:
            self.send(tap(r.choice("sazxcvrf"), "ctrl"))
        elif roll < 0.92:
            self.send(tap(r.choice(KEYS[:36]), "shift"))
        else:
            for ch in r.choice(COMMANDS):
                self.send(tap(ch.lower(), "shift") if ch.isupper() else tap(TYPED.get(ch, ch)))
            self.send(tap("ret"))

    def settle(self):
        for name, down in self.buttons.items():
            if down:
                self.button(name, False)


class InputStormTest(unittest.TestCase):
    def test_random_input_leaves_the_desktop_sound(self):
        seed = int(os.environ.get("TAVLIN_STORM_SEED", time.time_ns() % (1 << 32)))
        print(f"input storm seed {seed} (replay with TAVLIN_STORM_SEED={seed})", file=sys.stderr)
        with Machine() as m:
            m.wait_for_desktop()
            for tile in range(7):  # Finder, About, Clock, Terminal, TextEdit, browser, Store
                m.move_pointer_to(*dock_tile_centre(m, tile))
                m.click()
            m.wait_until(lambda: sum(w["in_use"] for w in read_windows(m)) >= 5, timeout=60,
                         message="windows open")
            storm = Storm(m, random.Random(seed))
            frames, check_at = m.read_u32("frame_count"), 500
            while storm.sent < EVENTS:
                storm.step()
                if storm.sent >= check_at:  # the main loop still runs
                    m.wait_until(lambda: m.read_u32("frame_count") > frames, timeout=120,
                                 message=f"frames after event {storm.sent} (seed {seed})")
                    frames, check_at = m.read_u32("frame_count"), check_at + 500
            storm.settle()
            self.check_sound(m, seed, frames)

    def check_sound(self, m, seed, frames):
        m.wait_until(lambda: m.read_u32("frame_count") > frames + 10, timeout=120,
                     message=f"frames after the storm (seed {seed})")
        ticks = m.read_u32("pit_ticks")
        m.wait_until(lambda: m.read_u32("pit_ticks") > ticks + 100, timeout=120, message="a second")
        self.assertNotIn("[CPU] exception", m.serial(), f"seed {seed}")
        screen = m.screendump()
        self.assertNotEqual([screen.pixel(x, 70) for x in range(10, 40)], [CRASH_SEPARATOR] * 30,
                            f"crash screen (seed {seed})")
        # Every animation has ended a second after the last event: no slot
        # is held by one that never finishes.
        table = read_windows(m)
        windows = [w for w in table if w["in_use"]]
        self.assertLessEqual(len(windows), 8)
        for w in windows:
            self.assertTrue(1 <= w["app"] <= 10 and w["w"] > 0 and w["h"] > 0 and w["anim"] == 0,
                            f"{w} (seed {seed})")
        focused = m.read_i32("focused_window")
        self.assertTrue(focused == -1 or (table[focused]["in_use"] and not table[focused]["minimized"]),
                        f"focused window {focused} (seed {seed})")
        self.assertEqual(node_table_problems(m), [], f"seed {seed}")
        self.assertTrue(standard_folders_present(m), f"seed {seed}")


if __name__ == "__main__":
    unittest.main()
