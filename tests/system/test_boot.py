"""The kernel spine on the real ISO: boot, mode, timer, keyboard and mouse, as
real devices drive them; the handlers' rules are unit-tested."""
import unittest

from harness import DesktopTestCase


def accelerate(velocity, delta):
    """The pointer's acceleration rule for one packet on one axis."""
    delta = max(-40, min(40, delta))
    velocity = int((7 * velocity + 10 * delta) / 8)  # truncates toward zero
    gain = min(abs(velocity), 20) + 10
    m = gain * delta
    step = 60 if m > 609 else -60 if m < -609 else int(m / 10)
    return velocity, step


class BootTest(DesktopTestCase):
    def test_serial_log_begins_with_the_entry_line(self):
        self.assertTrue(self.m.serial().startswith("\r\n[TavlinOS] kmain entered\r\n"))

    def test_mode_is_the_requested_one(self):
        m = self.m
        self.assertEqual((m.read_u32("fb_width"), m.read_u32("fb_height")), (1024, 768))
        self.assertEqual(m.read_u32("fb_pitch_px"), 1024)
        self.assertEqual(m.read_u32("fb_ok"), 1)
        img = m.screendump()
        self.assertEqual((img.width, img.height), (1024, 768))

    def test_timer_interrupts_arrive(self):
        # The 100 Hz divisor is unit-tested; guest time under TCG on a busy
        # host lags host time too much to measure the rate here.
        start = self.m.read_u32("pit_ticks")
        self.m.wait_until(lambda: self.m.read_u32("pit_ticks") >= start + 50, message="fifty timer ticks")

    def kbd_typed(self, count):
        head = self.m.read_u32("kbd_head")
        ring = self.m.read_bytes("kbd_buf", 64)
        return bytes(ring[(head - count + i) % 64] for i in range(count))

    def test_keys_arrive_in_the_ring_as_the_us_layout_says(self):
        m = self.m
        head_before = m.read_u32("kbd_head")
        m.type_text("aZ1!/?")
        m.key("ret")
        m.key("backspace")
        m.wait_until(lambda: (m.read_u32("kbd_head") - head_before) % 64 == 8)
        self.assertEqual(self.kbd_typed(8), b"aZ1!/?\n\x08")

    def test_pointer_moves_by_the_acceleration_rule(self):
        m = self.m
        # Both signs on both axes; the rule's corners and the clamps are unit-tested.
        for dx, dy in [(5, 0), (0, -7), (-3, 25)]:
            x, y = m.read_i32("mouse_x"), m.read_i32("mouse_y")
            vx, vy = m.read_i32("mouse_vel_x"), m.read_i32("mouse_vel_y")
            # One packet per call: QEMU sends both axes together; the device
            # reports up as positive, which the kernel turns back to screen y.
            vx, sx = accelerate(vx, dx)
            vy, sy = accelerate(vy, -dy)
            expect = (max(0, min(1023, x + sx)), max(0, min(767, y - sy)))
            m.mouse_move(dx, dy)
            m.wait_until(lambda: (m.read_i32("mouse_x"), m.read_i32("mouse_y")) == expect,
                         timeout=10, message=f"pointer at {expect} after ({dx}, {dy})")

    def test_left_press_records_a_click_at_the_pointer(self):
        m = self.m
        m.mouse_move(-40, -40)
        m.mouse_button("left", True)
        m.wait_until(lambda: m.read_u8("mouse_buttons") == 1)
        # The move came before the press, so the pointer is where it was pressed.
        self.assertEqual((m.read_i32("click_event_x"), m.read_i32("click_event_y")),
                         (m.read_i32("mouse_x"), m.read_i32("mouse_y")))
        m.mouse_button("left", False)
        m.wait_until(lambda: m.read_u8("mouse_buttons") == 0)


if __name__ == "__main__":
    unittest.main()
