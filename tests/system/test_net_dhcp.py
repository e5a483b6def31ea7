"""Card probe, DHCP and the gateway ARP test on the real ISO, against
dnsmasq on a private network built by the test (see netns.py)."""
import socket
import unittest

from harness import Machine, kernel_symbols
import netns

LOG_EXCHANGE = ("DHCPDISCOVER", "DHCPOFFER", "DHCPREQUEST", "DHCPACK")


def ip_text(raw):
    return socket.inet_ntoa(bytes(raw))


def wait_main_loop(m):
    """Until the main loop runs (the desktop is up)."""
    if "tavlin::frame_count" in kernel_symbols(m.elf):
        m.wait_for_desktop()
        return
    first = m.read_u32("refresh_counter")
    m.wait_until(lambda: m.read_u32("refresh_counter") != first, timeout=60,
                 message="main loop passes")


def config(m):
    return {
        "ip": ip_text(m.read_bytes("net_my_ip", 4)),
        "mask": ip_text(m.read_bytes("net_netmask", 4)),
        "gateway": ip_text(m.read_bytes("net_gateway_ip", 4)),
        "dns_count": m.read_i32("net_dns_count"),
        "dns": [ip_text(m.read_bytes("net_dns_servers", 4, 4 * i)) for i in range(2)],
    }


@netns.require_network
class DhcpTest(unittest.TestCase):
    def setUp(self):
        self.work = netns.Workdir()
        self.peers = []

    def tearDown(self):
        for p in self.peers:
            p.stop()
        self.work.remove()

    def dnsmasq(self, **kw):
        peer = netns.start_dnsmasq(self.work.path, **kw)
        self.peers.append(peer)
        return peer

    def configured_boot(self, nic):
        dns = self.dnsmasq(dns_servers=(netns.HOST_IP, netns.SECOND_DNS_IP))
        with Machine(nic=nic, netdev=netns.TAP_NETDEV) as m:
            log = m.wait_for_serial("[NET] Gateway ARP", timeout=120)
            got = config(m)
        ip = got["ip"]
        self.assertTrue(ip.startswith(netns.LAN_PREFIX + "."), ip)
        self.assertTrue(50 <= int(ip.split(".")[3]) <= 60, ip)
        self.assertEqual(got["mask"], netns.NETMASK)
        self.assertEqual(got["gateway"], netns.HOST_IP)
        self.assertEqual(got["dns_count"], 2)
        self.assertEqual(got["dns"], [netns.HOST_IP, netns.SECOND_DNS_IP])
        self.assertIn("[NET] Gateway ARP succeeded\r\n", log)
        server_log = dns.log()
        for word in LOG_EXCHANGE:
            self.assertIn(word, server_log)
        self.assertIn(f"DHCPACK(tap0) {ip}", server_log)
        return log

    def test_e1000_is_configured_by_dnsmasq(self):
        self.assertIn("[NET] Using e1000 driver\r\n", self.configured_boot("e1000"))

    def test_rtl8139_is_configured_by_dnsmasq(self):
        self.assertIn("[NET] Using RTL8139 driver\r\n", self.configured_boot("rtl8139"))

    def test_without_a_dhcp_server_start_up_goes_on_unconfigured(self):
        with Machine(nic="e1000", netdev=netns.TAP_NETDEV) as m:
            log = m.wait_for_serial("[NET] DHCP failed; interface left unconfigured", timeout=150)
            wait_main_loop(m)
            got = config(m)
            log = m.serial()
        self.assertEqual((got["ip"], got["mask"], got["gateway"], got["dns_count"]),
                         ("0.0.0.0", "0.0.0.0", "0.0.0.0", 0))
        self.assertNotIn("Testing gateway", log)

    def test_without_a_card_no_dhcp_and_no_gateway_test(self):
        with Machine(nic=None) as m:
            m.wait_for_serial("[NET] No supported NIC found!", timeout=90)
            wait_main_loop(m)
            log = m.serial()
            self.assertEqual(m.read_bytes("net_my_ip", 4), b"\0\0\0\0")
        self.assertNotIn("[DHCP]", log)
        self.assertNotIn("Testing gateway", log)


if __name__ == "__main__":
    unittest.main()
