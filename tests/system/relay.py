"""A lossy link between QEMU and the test network's tap, for a kernel
without netem: QEMU's socket network backend sends the guest's frames as UDP
datagrams to this relay, which writes them to the tap, and sends what the
tap gives back to QEMU. On the way, in both directions, it drops some
frames, sends some twice and holds some back behind the next one
(SIGUSR1 turns that off and on again).

Run as its own process inside the test's namespace (see LossyLink):
    python3 relay.py TAP RELAY_PORT QEMU_PORT LOSS DUPLICATE REORDER SEED STATS
"""
import fcntl
import json
import os
import random
import select
import signal
import socket
import struct
import subprocess
import sys
import time

TUNSETIFF = 0x400454CA
IFF_TAP = 0x0002
IFF_NO_PI = 0x1000
HOLD_SECONDS = 0.02   # a held frame goes out alone after this long


def open_tap(name):
    fd = os.open("/dev/net/tun", os.O_RDWR)
    fcntl.ioctl(fd, TUNSETIFF, struct.pack("16sH", name.encode(), IFF_TAP | IFF_NO_PI))
    return fd


class Direction:
    """One way through the relay with its own dice and counts."""

    def __init__(self, send, loss, duplicate, reorder, rng):
        self.send, self.loss, self.duplicate, self.reorder = send, loss, duplicate, reorder
        self.rng = rng
        self.held = None
        self.held_at = 0.0
        self.counts = dict(frames=0, dropped=0, duplicated=0, reordered=0)

    def forward(self, frame, impaired=True):
        self.counts["frames"] += 1
        if not impaired:
            self._out(frame)
            return
        if self.rng.random() < self.loss:
            self.counts["dropped"] += 1
            return
        if self.held is None and self.rng.random() < self.reorder:
            self.counts["reordered"] += 1
            self.held, self.held_at = frame, time.monotonic()
            return
        self._out(frame)
        if self.rng.random() < self.duplicate:
            self.counts["duplicated"] += 1
            self._out(frame)
        self.flush(force=True)

    def flush(self, force=False):
        if self.held is not None and (force or time.monotonic() - self.held_at > HOLD_SECONDS):
            frame, self.held = self.held, None
            self._out(frame)

    def _out(self, frame):
        try:
            self.send(frame)
        except OSError:
            pass  # a full queue or a frame the far side refuses: lost, like on a wire


def main(tap, relay_port, qemu_port, loss, duplicate, reorder, seed, stats_path):
    rng = random.Random(seed)
    tap_fd = open_tap(tap)
    udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    udp.bind(("127.0.0.1", relay_port))
    qemu = ("127.0.0.1", qemu_port)
    to_tap = Direction(lambda f: os.write(tap_fd, f), loss, duplicate, reorder, rng)
    to_guest = Direction(lambda f: udp.sendto(f, qemu), loss, duplicate, reorder, rng)
    running = [True]
    impaired = [True]
    signal.signal(signal.SIGTERM, lambda *_: running.__setitem__(0, False))
    signal.signal(signal.SIGUSR1, lambda *_: impaired.__setitem__(0, not impaired[0]))
    while running[0]:
        try:
            ready, _, _ = select.select([tap_fd, udp], [], [], HOLD_SECONDS)
        except InterruptedError:
            continue
        if udp in ready:
            to_tap.forward(udp.recv(65536), impaired[0])
        if tap_fd in ready:
            to_guest.forward(os.read(tap_fd, 65536), impaired[0])
        to_tap.flush()
        to_guest.flush()
    with open(stats_path, "w") as f:
        json.dump({"to_host": to_tap.counts, "to_guest": to_guest.counts}, f)


class LossyLink:
    """The relay as a peer of a test: QEMU joins with `netdev`."""

    def __init__(self, workdir, tap, loss=0.05, duplicate=0.02, reorder=0.03, seed=14,
                 relay_port=47014, qemu_port=47015):
        self.stats_path = os.path.join(workdir, "relay.stats")
        self.netdev = f"socket,id=n0,udp=127.0.0.1:{relay_port},localaddr=127.0.0.1:{qemu_port}"
        self.qemu_port = qemu_port
        args = [sys.executable, os.path.abspath(__file__), tap, str(relay_port), str(qemu_port),
                str(loss), str(duplicate), str(reorder), str(seed), self.stats_path]
        self.proc = subprocess.Popen(args, stdin=subprocess.DEVNULL)
        self.impaired = True

    def set_impaired(self, on):
        """Loss, duplicates and reordering on (the start) or off."""
        if on != self.impaired:
            self.proc.send_signal(signal.SIGUSR1)
            self.impaired = on
            time.sleep(0.2)

    def stop(self):
        """Ends the relay; what it counted, per direction."""
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            self.proc.wait(timeout=10)
        try:
            with open(self.stats_path) as f:
                return json.load(f)
        except OSError:
            return {}


if __name__ == "__main__":
    a = sys.argv[1:]
    main(a[0], int(a[1]), int(a[2]), float(a[3]), float(a[4]), float(a[5]), int(a[6]), a[7])
