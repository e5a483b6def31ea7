"""Each card on the real ISO against peers on the private test network (see
netns.py): dnsmasq's lease configures it, and HTTP GETs by name and by
address bring Python's http.server's files byte for byte, up to the
512000-byte response buffer."""
import random
import socket
import unittest

import netns

WEB_NAME = "web.tavlin.test"
EXACT = 512000


class NetOverE1000(netns.LanTestCase):
    @classmethod
    def start_peers(cls):
        rng = random.Random(1234)
        cls.files = {"multi.bin": rng.randbytes(30000), "exact.bin": rng.randbytes(EXACT)}
        cls.peer(netns.start_dnsmasq(cls.work, names={WEB_NAME: netns.HOST_IP}))
        cls.peer(netns.start_http_server(cls.work, netns.write_files(f"{cls.work}/web", cls.files)))

    def test_dhcp_lease_configures_the_card(self):
        m = self.m
        ip = socket.inet_ntoa(m.read_bytes("net_my_ip", 4))
        with open(f"{self.work}/dnsmasq.log") as log:
            self.assertIn(f"DHCPACK(tap0) {ip}", log.read())
        self.assertEqual([socket.inet_ntoa(m.read_bytes(name, 4)) for name in ("net_netmask", "net_gateway_ip")],
                         [netns.NETMASK, netns.HOST_IP])
        dns = [socket.inet_ntoa(m.read_bytes("net_dns_servers", 4, 4 * i)) for i in range(2)]
        self.assertEqual((m.read_i32("net_dns_count"), dns), (2, [netns.HOST_IP, netns.SECOND_DNS_IP]))

    def test_get_by_name_and_up_to_a_full_buffer(self):
        self.assertEqual(self.cmd.run(netns.NetCommands.GET, f"http://{WEB_NAME}:8080/multi.bin")[0], 1)
        self.assertEqual(self.cmd.body()[1], self.files["multi.bin"])
        result, ticks, _ip = self.cmd.run(netns.NetCommands.GET, f"http://{netns.HOST_IP}:8080/exact.bin")
        self.assertEqual((result, len(self.cmd.response())), (1, EXACT))
        head, body = self.cmd.body()
        self.assertEqual(body, self.files["exact.bin"][:EXACT - len(head) - 4])
        print(f"\n[{self.nic}] GET of a {EXACT}-byte response: {ticks} ticks in the guest")


class NetOverRtl8139(NetOverE1000):
    nic = "rtl8139"


if __name__ == "__main__":
    unittest.main()
