"""A hostile neighbour: crafted and random frames sent straight into QEMU's socket network backend (any size, none
lost): runts, giants, bad IPv4 lengths and offsets, fragments, ARP storms, forged DHCP and DNS replies, and TCP
segments with wild sequence numbers on the guest's live connection, which it learns by watching the tap."""
import random
import socket
import struct
import threading
import time

ETH_P_ALL = 0x0003
BROADCAST = b"\xff" * 6
SEED, RATE = 14, 150


def checksum(header):
    """The Internet checksum of a 20-byte IPv4 header (two folds suffice)."""
    total = sum(struct.unpack("!10H", header))
    total = (total & 0xFFFF) + (total >> 16)
    return ~(total + (total >> 16)) & 0xFFFF


def ipv4(src, dst, proto, payload, flags_fragment=0x4000, total=None, ihl=5, ident=1):
    header = struct.pack("!BBHHHBBH4s4s", 0x40 | ihl, 0, total if total is not None else 20 + len(payload),
                         ident, flags_fragment, 64, proto, 0, src, dst)
    header = header[:10] + struct.pack("!H", checksum(header)) + header[12:]
    return header + payload


def udp(sport, dport, payload, length=None):
    return struct.pack("!HHHH", sport, dport, length if length is not None else 8 + len(payload), 0) + payload


def tcp(sport, dport, seq, ack, flags, payload=b"", offset=5, window=65535):
    return struct.pack("!HHIIBBHHH", sport, dport, seq & 0xFFFFFFFF, ack & 0xFFFFFFFF, offset << 4, flags,
                       window, 0, 0) + payload


class HostileNeighbour:
    """Sends RATE frames a second at the guest from start() to stop()."""

    def __init__(self, qemu_port, tap, guest_mac, guest_ip, server_ip):
        self.target = ("127.0.0.1", qemu_port)
        self.guest_mac, self.guest_ip, self.server_ip = guest_mac, guest_ip, socket.inet_aton(server_ip)
        self.rng = random.Random(SEED)
        self.out = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sniffer = socket.socket(socket.AF_PACKET, socket.SOCK_RAW, socket.htons(ETH_P_ALL))
        self.sniffer.bind((tap, 0))
        self.sniffer.setblocking(False)
        self.server_mac = self.sniffer.getsockname()[4]  # the tap's own address
        self.connection = None  # (guest port, server port, guest seq, guest ack)
        self.sent = {}
        self.kinds = [self.runt, self.giant, self.bad_ipv4, self.fragment, self.arp_storm,
                      self.forged_dhcp, self.forged_dns, self.wild_tcp, self.wild_tcp, self.noise]

    def start(self):
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
                try:
                    self.out.sendto(frame, self.target)
                except OSError:
                    pass  # a frame QEMU's backend refuses
            self.sent[kind.__name__] = self.sent.get(kind.__name__, 0) + 1
            time.sleep(1.0 / RATE)

    def eth(self, payload, ether_type=0x0800, dst=None, src=None):
        return (dst or self.guest_mac) + (src or self.server_mac) + struct.pack("!H", ether_type) + payload

    def junk(self, n):
        return self.rng.randbytes(n)

    def stranger_ip(self):
        return bytes([10, self.rng.randrange(256), self.rng.randrange(256), self.rng.randrange(1, 255)])

    # -- the frames ---------------------------------------------------------
    def runt(self):
        return [self.eth(b"")[:self.rng.randrange(1, 60)] + self.junk(self.rng.randrange(0, 4))]

    def giant(self):
        n = self.rng.randrange(1515, 9000)
        return [self.eth(ipv4(self.server_ip, self.guest_ip, 17, udp(53, 50000, self.junk(n))))]

    def bad_ipv4(self):
        r = self.rng
        payload = self.junk(r.randrange(0, 120))
        packet = ipv4(self.server_ip, self.guest_ip, r.choice([1, 6, 17, 99]), payload,
                      total=r.choice([0, 19, 21, 65535, r.randrange(65536)]), ihl=r.randrange(16))
        return [self.eth(packet)]

    def fragment(self):
        r = self.rng
        sport, dport = (self.connection[1], self.connection[0]) if self.connection else (80, 50000)
        body = tcp(sport, dport, r.getrandbits(32), r.getrandbits(32), 0x18, self.junk(64))
        flags = r.choice([0x2000, 0x2000 | r.randrange(1, 0x2000), r.randrange(1, 0x2000)])
        return [self.eth(ipv4(self.server_ip, self.guest_ip, r.choice([6, 17]), body, flags_fragment=flags))]

    def arp_storm(self):
        frames = []
        for _ in range(20):
            mac = bytes([2]) + self.junk(5)
            op = self.rng.choice([1, 2])
            target = self.guest_ip if op == 1 and self.rng.random() < 0.5 else self.stranger_ip()
            # Replies only ever name strangers: the server's own entry is not poisoned.
            arp = struct.pack("!HHBBH", 1, 0x0800, 6, 4, op) + mac + self.stranger_ip() + \
                (self.guest_mac if op == 2 else b"\0" * 6) + target
            frames.append(self.eth(arp, 0x0806, dst=BROADCAST, src=mac))
        return frames

    def forged_dhcp(self):
        r = self.rng
        # A BOOTP reply (op 2, Ethernet) with a random transaction, offering a stranger's address.
        m = struct.pack("!4B4s8x4s8x6s202x4s", 2, 1, 6, 0, self.junk(4), self.stranger_ip(), self.guest_mac,
                        b"\x63\x82\x53\x63")
        options = bytes([53, 1, r.choice([2, 5, 6]), 3, 4]) + self.stranger_ip() + \
            bytes([6, r.randrange(256)]) + self.junk(r.randrange(0, 40)) + b"\xff"
        return [self.eth(ipv4(self.stranger_ip(), b"\xff" * 4, 17, udp(67, 68, m + options), 0), dst=BROADCAST)]

    def forged_dns(self):
        r = self.rng
        header = struct.pack("!HHHHHH", 0x1234, 0x8180, 1, r.randrange(0, 300), 0, 0)
        body = r.choice([b"\xc0\x0c" * 40, b"\x3f" + self.junk(200), b"\xc0\xff\x00\x01\x00\x01",
                         self.junk(r.randrange(0, 300))])
        return [self.eth(ipv4(self.server_ip, self.guest_ip, 17,
                              udp(53, r.randrange(49152, 65536), header + body,
                                  length=r.choice([None, 5, 4000])), 0))]

    def wild_tcp(self):
        if not self.connection:
            return self.noise()
        r = self.rng
        guest_port, server_port, guest_seq, _ack = self.connection
        flags = r.choice([0x04, 0x14, 0x11, 0x01, 0x18, 0x02, 0x12, 0x3F])
        data = self.junk(r.choice([0, 0, 100, 1400]))
        offset = r.choice([5, 5, 5, 0, 4, 15])
        segment = tcp(server_port, guest_port, r.getrandbits(32), guest_seq + r.choice([0, r.getrandbits(32)]),
                      flags, data, offset)
        return [self.eth(ipv4(self.server_ip, self.guest_ip, 6, segment))]

    def noise(self):
        return [self.eth(b"")[:12] + self.junk(self.rng.randrange(2, 1500))]
