"""An input storm on the real ISO: with several windows open, 10,000 random key and mouse events (presses, moves,
drags, function keys, Ctrl and Shift combinations, Terminal commands; never the crash chord) must leave the main loop
running, a sane window table and a sound file tree. Its random seed is printed; replay with TAVLIN_STORM_SEED."""
import os
import random
import sys
import time
import unittest

from desktop import TILES, node_table_problems, open_from_dock, read_windows
from harness import Machine, motion, qcodes, tap

EVENTS = 10000
KBD_LINE = b"[KBD] scancode: "
# Each key is tapped (down, up) within one batch: C, R and Enter are never held together, so no crash chord forms.
KEYS = (list("abcdefghijklmnopqrstuvwxyz0123456789") + [f"f{i}" for i in range(1, 13)]
        + "spc ret backspace tab esc minus dot slash comma delete up down left right home end pgup pgdn insert".split())
COMMANDS = ["ls", "cd ..", "cd Desktop", "mkdir a", "mkdir Desktop/b", "touch a/n", "touch c", "rm a", "rm c",
            "rm Desktop", "cat c", "echo hi", "scom", "run hello.hit", "pwd", "minimize", "close", "clear", "help"]


class Storm:
    def __init__(self, m, rng):
        self.m, self.rng, self.sent, self.keys_sent, self.keys_seen, self.log_at = m, rng, 0, 0, 0, 0
        self.left_down = False

    def keys_logged(self):
        """The scancodes the guest has logged, reading only the new whole lines."""
        with open(self.m.serial_path, "rb") as f:
            f.seek(self.log_at)
            new = f.read()
        new = new[:new.rfind(b"\n") + 1]
        self.log_at += len(new)
        self.keys_seen += new.count(KBD_LINE)
        return self.keys_seen

    def send(self, events):
        """Sends a batch and waits until the guest took its keys: the PS/2 queue never overflows, no release is lost."""
        self.m.qmp("input-send-event", events=events)
        self.sent += len(events)
        self.keys_sent += sum(e["type"] == "key" for e in events)
        self.m.wait_until(lambda: self.keys_logged() >= self.keys_sent, timeout=120, interval=0.002,
                          message=f"the guest taking key {self.keys_sent}")

    def button(self, name, down):
        self.left_down = down if name == "left" else self.left_down
        self.send([{"type": "btn", "data": {"down": down, "button": name}}])

    def move(self, reach):
        self.send(motion(self.rng.randint(-reach, reach), self.rng.randint(-reach, reach)))

    def right_click(self):
        self.button("right", True)
        self.button("right", False)

    def command(self):
        for ch in self.rng.choice(COMMANDS) + "\n":
            self.send(tap(qcodes(ch)))

    def step(self):
        """One action, drawn by weight."""
        r = self.rng
        weights, actions = zip(*[
            (28, lambda: self.move(40)), (7, lambda: self.move(400)),
            (13, lambda: self.button("left", not self.left_down)), (4, self.right_click),
            (28, lambda: self.send(tap([r.choice(KEYS)]))), (7, lambda: self.send(tap(["ctrl", r.choice("sazxcvrf")]))),
            (5, lambda: self.send(tap(["shift", r.choice(KEYS[:36])]))), (8, self.command)])
        r.choices(actions, weights)[0]()


class InputStormTest(unittest.TestCase):
    def test_random_input_leaves_the_desktop_sound(self):
        seed = int(os.environ.get("TAVLIN_STORM_SEED", time.time_ns() % (1 << 32)))
        print(f"input storm seed {seed} (replay with TAVLIN_STORM_SEED={seed})", file=sys.stderr)
        with Machine() as m:
            m.wait_frames(3)  # the desktop is up
            for app in TILES:
                open_from_dock(m, app)
            storm = Storm(m, random.Random(seed))
            for check in range(EVENTS // 500):
                while storm.sent < 500 * (check + 1):
                    storm.step()
                m.wait_frames(1)  # the main loop still runs
            storm.button("left", False)
            m.wait_frames(10)
            ticks = m.read_u32("pit_ticks")
            m.wait_until(lambda: m.read_u32("pit_ticks") > ticks + 100, timeout=120, message="a second")
            self.assertNotIn("[CPU] exception", m.serial(), f"seed {seed}")
            # Every animation has ended a second after the last event: none holds a slot for ever.
            table = read_windows(m)
            for w in (w for w in table if w["in_use"]):
                self.assertTrue(1 <= w["app"] <= 10 and w["w"] > 0 and w["h"] > 0 and w["anim"] == 0,
                                f"{w} (seed {seed})")
            focused = m.read_i32("focused_window")
            self.assertTrue(focused == -1 or (table[focused]["in_use"] and not table[focused]["minimized"]),
                            f"focused window {focused} (seed {seed})")
            self.assertEqual(node_table_problems(m), [], f"seed {seed}")


if __name__ == "__main__":
    unittest.main()
