"""A lossy link between QEMU's socket network backend (UDP datagrams) and the test network's tap, for a kernel
without netem: both ways it drops some frames, sends some twice and holds some back behind the next (SIGUSR1 turns
that off and on). LossyLink runs it as its own process in the test's namespace."""
import fcntl
import os
import random
import select
import signal
import socket
import struct
import sys
import time

from netns import TAP, Peer

TUNSETIFF, IFF_TAP_NO_PI = 0x400454CA, 0x0002 | 0x1000
HOLD_SECONDS = 0.02   # a held frame goes out alone after this long
LOSS, DUPLICATE, REORDER, SEED = 0.05, 0.02, 0.03, 14
RELAY_PORT, QEMU_PORT = 47014, 47015


class Direction:
    """One way through the relay."""

    def __init__(self, send, rng):
        self.send, self.rng, self.held, self.held_at = send, rng, None, 0.0

    def forward(self, frame, impaired):
        if impaired and self.rng.random() < LOSS:
            return
        if impaired and self.held is None and self.rng.random() < REORDER:
            self.held, self.held_at = frame, time.monotonic()
            return
        self._out(frame)
        if impaired and self.rng.random() < DUPLICATE:
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


def main(tap):
    rng = random.Random(SEED)
    tap_fd = os.open("/dev/net/tun", os.O_RDWR)
    fcntl.ioctl(tap_fd, TUNSETIFF, struct.pack("16sH", tap.encode(), IFF_TAP_NO_PI))
    udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    udp.bind(("127.0.0.1", RELAY_PORT))
    ways = {udp.fileno(): Direction(lambda f: os.write(tap_fd, f), rng),  # what arrives on each, and where it goes
            tap_fd: Direction(lambda f: udp.sendto(f, ("127.0.0.1", QEMU_PORT)), rng)}
    impaired = [True]
    signal.signal(signal.SIGUSR1, lambda *_: impaired.__setitem__(0, not impaired[0]))
    while True:
        ready, _, _ = select.select(list(ways), [], [], HOLD_SECONDS)  # retried after SIGUSR1
        for fd, way in ways.items():
            if fd in ready:
                way.forward(os.read(fd, 65536), impaired[0])
            way.flush()


class LossyLink(Peer):
    """The relay as a peer of a test: QEMU joins with `netdev`."""

    netdev = f"socket,id=n0,udp=127.0.0.1:{RELAY_PORT},localaddr=127.0.0.1:{QEMU_PORT}"

    def __init__(self, workdir):
        super().__init__([sys.executable, os.path.abspath(__file__), TAP], workdir, "relay")
        self.impaired = True

    def set_impaired(self, on):
        """Loss, duplicates and reordering on (the start) or off."""
        if on != self.impaired:
            self.proc.send_signal(signal.SIGUSR1)
            self.impaired = on
            time.sleep(0.2)


if __name__ == "__main__":
    main(sys.argv[1])
