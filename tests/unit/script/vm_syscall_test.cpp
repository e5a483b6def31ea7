// The system calls with good arguments: selection by number and by name
// hash, missing arguments, drawing, windows, input, time, the log, files,
// and the network calls without a network.
#include "fake/fake_hw.h"
#include "kernel/fs/fs.h"
#include "kernel/gfx/font.h"
#include "kernel/gfx/gfx.h"
#include "kernel/wm/render.h"
#include "unit/script/vm_fixture.h"

namespace tavlin::script_test {
namespace {

using Syscall = VmTest;
constexpr u32 kRed = 0xFF0000;

std::string prog(const std::string& body) { return ".equ SCR 0x100000\n" + body; }

TEST_F(Syscall, CallsAreChosenByNumberOrByNameHash) {
  EXPECT_EQ(vm::name_hash("ticks"), 110355062u);
  EXPECT_EQ(vm::name_hash("draw_pixel"), 251224011u);
  pit_ticks = 77;
  run("SYSCALL 110355062\nSYSCALL 14\nPUSH 0xABCDEF\nPUSH 3\nPUSH 4\nSYSCALL 251224011\nHALT");
  EXPECT_EQ(stack(), (Ints{77, 77, 1}));
  EXPECT_EQ(pixel(3, 4), 0xABCDEFu);
  for (const char* bad : {"SYSCALL 26", "SYSCALL -1", "SYSCALL 110355063"}) {
    run(std::string("PUSH 1\n") + bad + "\nPUSH 2");
    EXPECT_EQ(vm.error, kVmBadCode) << bad;
    EXPECT_EQ(stack(), Ints{1}) << bad;
  }
}

TEST_F(Syscall, MissingArgumentsCountAsZeroAndAFullStackDropsTheResult) {
  backbuf[3 * 1024 + 7] = kRed;
  run("PUSH 7\nPUSH 3\nSYSCALL draw_pixel\nHALT");  // no colour: 0
  EXPECT_EQ(pixel(7, 3), 0u);
  EXPECT_EQ(stack(), Ints{1});
  std::string full;
  for (int i = 0; i < 64; ++i) full += "PUSH 9\n";
  run(full + "SYSCALL ticks\nHALT");
  EXPECT_EQ(stack(), Ints(64, 9));
}

TEST_F(Syscall, DrawingCallsPaintTheBackBuffer) {
  run(prog(call("draw_rect", {"0xFF0000", "10", "20", "3", "2"}) +
      call("draw_line", {"0x00FF00", "40", "40", "44", "42"}) +
      call("draw_line", {"0x0000FF", "-2147483648", "5", "2147483647", "5"}) +
      call("draw_rect_outline", {"0xFFFF00", "60", "60", "4", "3"}) +
      call("draw_rect_outline", {"0xFFFFFF", "2147483647", "2147483647", "2147483647", "2147483647"}) +
      call("draw_circle", {"0x123456", "200", "200", "5"}) +
      "HALT\n"));
  EXPECT_EQ(stack(), Ints(6, 1));
  for (i32 y = 19; y <= 22; ++y)
    for (i32 x = 9; x <= 13; ++x) EXPECT_EQ(pixel(x, y) == kRed, x >= 10 && x <= 12 && y >= 20 && y <= 21) << x << "," << y;
  for (auto [x, y] : {std::pair{40, 40}, {41, 40}, {42, 41}, {43, 41}, {44, 42}}) EXPECT_EQ(pixel(x, y), 0x00FF00u);
  EXPECT_NE(pixel(41, 41), 0x00FF00u);
  for (i32 x = 0; x < 1024; ++x) ASSERT_EQ(pixel(x, 5), 0x0000FFu) << x;
  for (auto [x, y] : {std::pair{60, 60}, {63, 60}, {60, 62}, {63, 62}, {61, 62}, {60, 61}, {63, 61}})
    EXPECT_EQ(pixel(x, y), 0xFFFF00u) << x << "," << y;
  EXPECT_NE(pixel(61, 61), 0xFFFF00u);
  EXPECT_EQ(pixel(200, 200), 0x123456u);
}

TEST_F(Syscall, TextIsDrawnAtItsPointOrCentredOnIt) {
  memset(backbuf, 0, 1024 * 768 * 4);
  run(call("draw_text_center", {"0xFFFFFF", "100", "50", "@ok"}) +
      call("draw_text", {"0xFFFFFF", "-2147483648", "2147483647", "@ok"}) +
      "HALT\nok: .string \"OK\"\n");
  EXPECT_EQ(stack(), (Ints{1, 1}));
  std::vector<u32> drawn(backbuf, backbuf + 1024 * 768);
  memset(backbuf, 0, 1024 * 768 * 4);
  draw_text(92, 46, "OK", 0xFFFFFF, 1);
  EXPECT_TRUE(std::equal(drawn.begin(), drawn.end(), backbuf));
}

TEST_F(Syscall, WindowsOpenCentredAndAnswerOnlyToTheirOwnHandles) {
  const u32 frames = frame_count;
  run(call("win_new", {"@title", "300", "200"}) + "STORE 1\n" +
      "PUSH @other\nLOAD 1\n" + call("win_title") +
      "LOAD 1\n" + call("win_center") +
      "LOAD 1\nPUSH 1\nADD\n" + call("win_close") +  // not a handle
      call("win_new", {"@title", "99999", "-5"}) + call("win_redraw") +
      "LOAD 1\n" + call("win_close") +
      "LOAD 1\n" + call("win_close") +  // already closing
      "HALT\ntitle: .string \"A title longer than thirty-one characters\"\nother: .string \"Ball\"\n");
  ASSERT_EQ(vm.sp, 7);
  EXPECT_EQ((Ints{vm.stack[0], vm.stack[1], vm.stack[2], vm.stack[4], vm.stack[5], vm.stack[6]}),
            (Ints{1, 1, 0, 1, 1, 0}));
  EXPECT_NE(vm.stack[3], 0);
  const Window& w = windows[0];
  EXPECT_EQ((Ints{static_cast<i32>(w.app), w.x, w.y, w.w, w.h}), (Ints{99, 362, 260, 300, 200}));
  EXPECT_STREQ(w.title, "Ball");
  EXPECT_EQ(w.anim_kind, anim::kClose);
  const Window& big = windows[1];
  EXPECT_EQ((Ints{big.x, big.y, big.w, big.h}), (Ints{0, 28 + (768 - 104 - 1) / 2, 1024, 1}));
  EXPECT_STREQ(big.title, "A title longer than thirty-one ");
  EXPECT_EQ(focused_window, 1);
  EXPECT_GT(frame_count, frames);

  // A handle from an earlier run, or of a window opened by someone else,
  // names nothing; a full table gives 0.
  const i32 old = vm.stack[3];
  run("PUSH " + std::to_string(old) + "\nSYSCALL win_close\nPUSH 1\nSYSCALL win_center\nHALT");
  EXPECT_EQ(stack(), (Ints{0, 0}));
  std::string seven;  // two slots are taken
  for (int i = 0; i < 7; ++i) seven += "PUSH @t\nPUSH 100\nPUSH 100\nSYSCALL win_new\n";
  run(seven + "HALT\nt: .string \"t\"");
  EXPECT_NE(vm.stack[5], 0);
  EXPECT_EQ(vm.stack[6], 0);
}

TEST_F(Syscall, InputTimeAndLog) {
  mouse_x = 12;
  mouse_y = 34;
  mouse_buttons = kMouseLeft | kMouseMiddle;
  pit_ticks = 500;
  type_keys("q");
  backbuf[0] = 0x424242;
  run(prog(call("mouse_get", {"SCR"}) +
      call("key_get", {"SCR+32"}) +
      call("key_get", {"SCR+48"}) +
      call("sleep", {"3"}) +
      call("ticks") +
      call("sleep", {"-3"}) +
      call("print", {"@hi"}) +
      call("print_num", {"-42"}) +
      call("print_hex", {"0x2A"}) +
      "HALT\nhi: .string \"hi \"\n"));
  EXPECT_EQ(stack(), (Ints{1, 1, static_cast<i32>(kScratch + 48), 0, 1, 503, 1, 1, 1, 1}));
  EXPECT_EQ(memory(kScratch, 20), (Bytes{12, 0, 0, 0, 34, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(memory(kScratch + 32, 8), (Bytes{'q', 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(log(), "hi -420x0000002A");
  EXPECT_EQ(screen[0], 0x424242u);  // sleep showed the back buffer
}

TEST_F(Syscall, FileCallsWorkOnTheRootFolder) {
  std::string names;
  for (const char* n : {"note", "image:Tavlin.yrf", "nothing", "copy", "desktop:Desktop", "dir"}) {
    const std::string entry = n, label = entry.substr(0, entry.find(':'));
    names += label + ": .string \"" + entry.substr(entry.find(':') + 1) + "\"\n";
  }
  term_test::text_file(fs_root, "note", "hello");
  const i32 image = fs_find_child(fs_desktop_dir, "Tavlin.yrf");
  ASSERT_TRUE(fs_move(image, fs_root));
  u32 blob_size;
  const u8* blob = fs_blob_data(image, &blob_size);
  const Bytes image_bytes(blob, blob + blob_size);
  run(prog(call("fs_read", {"@note", "SCR", "3"}) +
      call("fs_read", {"@note", "SCR+8", "1"}) +
      call("fs_read", {"@image", "SCR+16", "100"}) +
      call("fs_read", {"@nothing", "SCR", "10"}) +
      call("fs_write", {"@copy", "SCR", "2"}) +
      call("fs_write", {"@image", "@note", "-4"}) +
      call("fs_write", {"@desktop", "@note", "3"}) +
      call("fs_list", {"@desktop", "SCR+100", "8"}) +
      call("fs_mkdir", {"@dir"}) +
      call("fs_mkdir", {"@dir"}) +
      call("fs_delete", {"@dir"}) +
      call("fs_delete", {"@desktop"}) +
      "HALT\n" + names));
  i32 listed = 0;
  for (i32 c = fs_nodes[fs_desktop_dir].first_child; c >= 0; c = fs_nodes[c].next_sibling) ++listed;
  EXPECT_EQ(stack(), (Ints{2, 0, static_cast<i32>(blob_size), 0, 2, 0, 0, listed, 1, 0, 1, 0}));
  EXPECT_EQ(memory(kScratch, 3), (Bytes{'h', 'e', 0}));
  EXPECT_EQ(memory(kScratch + 8, 1), Bytes{0});
  EXPECT_EQ(memory(kScratch + 16, blob_size), image_bytes);
  const i32 copy = fs_find_child(fs_root, "copy");
  ASSERT_TRUE(fs_is_live_file(copy));
  EXPECT_EQ(std::string(fs_nodes[copy].text), "he");
  EXPECT_EQ((std::vector<u32>{fs_nodes[image].size, fs_nodes[image].has_blob}), (std::vector<u32>{0, 0}));
  EXPECT_EQ(fs_nodes[image].blob, kFsNone);
  EXPECT_EQ(fs_find_child(fs_root, "dir"), kFsNone);
  // fs_list left the addresses of copies of the Desktop's names.
  const Bytes entries = memory(kScratch + 100, 4 * listed);
  i32 child = fs_nodes[fs_desktop_dir].first_child;
  for (i32 i = 0; i < listed; ++i, child = fs_nodes[child].next_sibling) {
    const u8* e = &entries[4 * i];
    EXPECT_EQ(text(e[0] | e[1] << 8 | e[2] << 16 | e[3] << 24), fs_nodes[child].name) << i;
  }
}

TEST_F(Syscall, NetworkCallsAnswerZeroWithoutANetwork) {
  run(prog(call("http_get", {"@url", "SCR", "100"}) +
      call("dns_get", {"SCR", "@name"}) +
      "HALT\nurl: .string \"http://10.0.2.2/index.html\"\nname: .string \"example.com\"\n"));
  EXPECT_EQ(stack(), (Ints{0, 0}));
}

}  // namespace
}  // namespace tavlin::script_test
