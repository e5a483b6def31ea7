"""A hostile neighbour: crafted and random frames sent straight into QEMU's socket network backend (any size, none
lost): runts, giants, ARP storms, noise, and TCP segments with wild sequence numbers, flags and header lengths on the
guest's live connection, which it learns by watching the tap."""
import contextlib
import random
import socket
import struct
import threading
import time

SEED, RATE = 14, 150


def ipv4(src, dst, proto, payload):
    """An IPv4 packet (don't fragment) with its header checksum."""
    header = struct.pack("!BBHHHBBH4s4s", 0x45, 0, 20 + len(payload), 1, 0x4000, 64, proto, 0, src, dst)
    total = sum(struct.unpack("!10H", header))
    total = (total & 0xFFFF) + (total >> 16)  # two folds suffice for ten words
    return header[:10] + struct.pack("!H", ~(total + (total >> 16)) & 0xFFFF) + header[12:] + payload


class HostileNeighbour:
    """Sends RATE frames a second at the guest from its making to stop()."""

    def __init__(self, qemu_port, tap, guest_mac, guest_ip, server_ip):
        self.target = ("127.0.0.1", qemu_port)
        self.guest_mac, self.guest_ip, self.server_ip = guest_mac, guest_ip, socket.inet_aton(server_ip)
        self.rng = random.Random(SEED)
        self.out = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sniffer = socket.socket(socket.AF_PACKET, socket.SOCK_RAW, socket.htons(0x0003))  # ETH_P_ALL
        self.sniffer.bind((tap, 0))
        self.sniffer.setblocking(False)
        self.server_mac = self.sniffer.getsockname()[4]  # the tap's own address
        self.connection = None  # (guest port, server port, guest seq, guest ack)
        self.sent = {}
        self.kinds = [self.runt, self.giant, self.arp_storm, self.wild_tcp, self.wild_tcp, self.noise]
        self.running = True
        self.thread = threading.Thread(target=self._attack, daemon=True)
        self.thread.start()

    def stop(self):
        """Ends the attack; the count of each kind sent, and the guest's connection last seen."""
        self.running = False
        self.thread.join(timeout=5)
        self.sniffer.close()
        self.out.close()
        return dict(self.sent, connection=self.connection)

    def _watch(self):
        """Takes the guest's latest TCP segment from what the tap has seen since the last look."""
        while True:
            try:
                f = self.sniffer.recv(2048)
            except BlockingIOError:
                return
            if len(f) >= 54 and f[12:14] == b"\x08\x00" and f[23] == 6 and f[26:30] == self.guest_ip:
                self.connection = struct.unpack("!HHII", f[34:46])

    def _attack(self):
        while self.running:
            self._watch()
            kind = self.rng.choice(self.kinds)
            for frame in kind():
                with contextlib.suppress(OSError):  # a frame QEMU's backend refuses
                    self.out.sendto(frame, self.target)
            self.sent[kind.__name__] = self.sent.get(kind.__name__, 0) + 1
            time.sleep(1.0 / RATE)

    def eth(self, payload, ether_type=0x0800, dst=None, src=None):
        return (dst or self.guest_mac) + (src or self.server_mac) + struct.pack("!H", ether_type) + payload

    def stranger_ip(self):
        return bytes([10, self.rng.randrange(256), self.rng.randrange(256), self.rng.randrange(1, 255)])

    # -- the frames ---------------------------------------------------------
    def runt(self):
        return [self.eth(b"")[:self.rng.randrange(1, 60)] + self.rng.randbytes(self.rng.randrange(0, 4))]

    def giant(self):
        n = self.rng.randrange(1515, 9000)
        return [self.eth(ipv4(self.server_ip, self.guest_ip, 17, struct.pack("!HHHH", 53, 50000, 8 + n, 0) +
                              self.rng.randbytes(n)))]

    def arp_storm(self):
        frames = []
        for _ in range(20):
            mac = bytes([2]) + self.rng.randbytes(5)
            op = self.rng.choice([1, 2])
            target = self.guest_ip if op == 1 and self.rng.random() < 0.5 else self.stranger_ip()
            # Replies only ever name strangers: the server's own entry is not poisoned.
            arp = struct.pack("!HHBBH", 1, 0x0800, 6, 4, op) + mac + self.stranger_ip() + \
                (self.guest_mac if op == 2 else b"\0" * 6) + target
            frames.append(self.eth(arp, 0x0806, dst=b"\xff" * 6, src=mac))
        return frames

    def wild_tcp(self):
        if not self.connection:
            return self.noise()
        r = self.rng
        guest_port, server_port, guest_seq, _ack = self.connection
        flags = r.choice([0x04, 0x14, 0x11, 0x01, 0x18, 0x02, 0x12, 0x3F])
        offset = r.choice([5, 5, 5, 0, 4, 15])  # the header's length in words
        ack = (guest_seq + r.choice([0, r.getrandbits(32)])) & 0xFFFFFFFF
        segment = struct.pack("!HHIIBBHHH", server_port, guest_port, r.getrandbits(32), ack, offset << 4, flags,
                              65535, 0, 0) + self.rng.randbytes(r.choice([0, 0, 100, 1400]))
        return [self.eth(ipv4(self.server_ip, self.guest_ip, 6, segment))]

    def noise(self):
        return [self.eth(b"")[:12] + self.rng.randbytes(self.rng.randrange(2, 1500))]
