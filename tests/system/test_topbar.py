"""The top bar and the desktop on the real ISO, driven through QMP: the
desktop's menu makes a folder that shows as an icon, F2 and typed keys
rename it, About opens from the Help menu's drop-down and the Clock from the
dock; HD Audio is found when QEMU has the device (test_boot sees it absent)."""
import unittest

from desktop import ABOUT, CLOCK, find_window, open_from_dock, read_desktop_icons, read_nodes
from harness import DesktopTestCase

HELP_TITLE = (372, 14)


class TopBarTest(DesktopTestCase):
    machine_args = ("-device", "intel-hda")

    def test_hd_audio_is_found(self):
        self.assertIn("[HDA] Found at BAR0=", self.m.serial())
        self.assertEqual(self.m.read_u32("hda_ok"), 1)

    def test_menus_make_a_folder_rename_it_and_open_windows(self):
        m = self.m
        # The desktop's menu: New Folder, its first row.
        before = {icon["fs_idx"] for icon in read_desktop_icons(m)}
        m.click_at(700, 560, "right")
        m.wait_until(lambda: m.read_i32("ctx_menu") == 1, timeout=10, message="context menu")
        m.click_at(720, 560 - 92 + 15)
        icon = m.wait_until(lambda: [i for i in read_desktop_icons(m) if i["fs_idx"] not in before],
                            timeout=20, message="new icon")[0]
        node = read_nodes(m)[icon["fs_idx"]]
        self.assertEqual((icon["label"], node["name"], node["kind"]), ("New Folder", "New Folder", 0))

        # F2 over the icon, then the new name typed over the old one.
        m.move_pointer_to(icon["x"] + 30, icon["y"] + 30)
        m.key("f2")
        def editing():  # the icon table may have been rebuilt: find the folder's icon again
            now = [i for i in read_desktop_icons(m) if i["fs_idx"] == icon["fs_idx"]]
            return now and now[0]["renaming"] and m.read_i32("desktop_renaming_idx") == now[0]["index"]

        m.wait_until(editing, timeout=10, message="rename started")
        m.type_text("\b" * len("New Folder") + "Plans\n")
        m.wait_until(lambda: read_nodes(m)[icon["fs_idx"]]["name"] == "Plans", timeout=20, message="renamed")
        self.assertEqual(m.read_i32("desktop_renaming_idx"), -1)
        labels = {i["fs_idx"]: i["label"] for i in read_desktop_icons(m)}
        self.assertEqual(labels[icon["fs_idx"]], "Plans")

        # Help > About TavlinOS, and the Clock from its dock tile.
        m.click_at(*HELP_TITLE)
        m.wait_until(lambda: m.read_i32("open_menu") == 4, timeout=10, message="Help menu open")
        m.click_at(380, 40)
        m.wait_until(lambda: find_window(m, ABOUT), message="About")
        self.assertEqual(m.read_i32("open_menu"), -1)
        open_from_dock(m, CLOCK)


if __name__ == "__main__":
    unittest.main()
