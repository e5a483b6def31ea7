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
  run(prog(R"(
      PUSH 0xFF0000
      PUSH 10
      PUSH 20
      PUSH 3
      PUSH 2
      SYSCALL draw_rect
      PUSH 0x00FF00
      PUSH 40
      PUSH 40
      PUSH 44
      PUSH 42
      SYSCALL draw_line          ; (40,40) .. (44,42)
      PUSH 0x0000FF
      PUSH -2147483648
      PUSH 5
      PUSH 2147483647
      PUSH 5
      SYSCALL draw_line          ; the whole of row 5
      PUSH 0xFFFF00
      PUSH 60
      PUSH 60
      PUSH 4
      PUSH 3
      SYSCALL draw_rect_outline
      PUSH 0xFFFFFF
      PUSH 2147483647
      PUSH 2147483647
      PUSH 2147483647
      PUSH 2147483647
      SYSCALL draw_rect_outline  ; nothing on screen, and no overflow
      PUSH 0x123456
      PUSH 200
      PUSH 200
      PUSH 5
      SYSCALL draw_circle
      HALT)"));
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
  run(R"(
      PUSH 0xFFFFFF
      PUSH 100
      PUSH 50
      PUSH @ok
      SYSCALL draw_text_center
      PUSH 0xFFFFFF
      PUSH -2147483648
      PUSH 2147483647
      PUSH @ok
      SYSCALL draw_text
      HALT
  ok: .string "OK")");
  EXPECT_EQ(stack(), (Ints{1, 1}));
  std::vector<u32> drawn(backbuf, backbuf + 1024 * 768);
  memset(backbuf, 0, 1024 * 768 * 4);
  draw_text(92, 46, "OK", 0xFFFFFF, 1);
  EXPECT_TRUE(std::equal(drawn.begin(), drawn.end(), backbuf));
}

TEST_F(Syscall, WindowsOpenCentredAndAnswerOnlyToTheirOwnHandles) {
  const u32 frames = frame_count;
  run(R"(
      PUSH @title
      PUSH 300
      PUSH 200
      SYSCALL win_new
      STORE 1
      PUSH @other
      LOAD 1
      SYSCALL win_title
      LOAD 1
      SYSCALL win_center
      LOAD 1
      PUSH 1
      ADD
      SYSCALL win_close        ; not a handle
      PUSH @title
      PUSH 99999
      PUSH -5
      SYSCALL win_new
      SYSCALL win_redraw
      LOAD 1
      SYSCALL win_close
      LOAD 1
      SYSCALL win_close        ; already closing
      HALT
  title: .string "A title longer than thirty-one characters"
  other: .string "Ball")");
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
  run(prog(R"(
      PUSH SCR
      SYSCALL mouse_get
      PUSH SCR+32
      SYSCALL key_get
      PUSH SCR+48
      SYSCALL key_get          ; nothing waits: the record stays under the 0
      PUSH 3
      SYSCALL sleep
      SYSCALL ticks
      PUSH -3
      SYSCALL sleep
      PUSH @hi
      SYSCALL print
      PUSH -42
      SYSCALL print_num
      PUSH 0x2A
      SYSCALL print_hex
      HALT
  hi: .string "hi ")"));
  EXPECT_EQ(stack(), (Ints{1, 1, static_cast<i32>(kScratch + 48), 0, 1, 503, 1, 1, 1, 1}));
  EXPECT_EQ(memory(kScratch, 20), (Bytes{12, 0, 0, 0, 34, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(memory(kScratch + 32, 8), (Bytes{'q', 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(log(), "hi -420x0000002A");
  EXPECT_EQ(screen[0], 0x424242u);  // sleep showed the back buffer
}

TEST_F(Syscall, FileCallsWorkOnTheRootFolder) {
  term_test::text_file(fs_root, "note", "hello");
  const i32 image = fs_find_child(fs_desktop_dir, "Tavlin.yrf");
  ASSERT_TRUE(fs_move(image, fs_root));
  u32 blob_size;
  const u8* blob = fs_blob_data(image, &blob_size);
  const Bytes image_bytes(blob, blob + blob_size);
  run(prog(R"(
      PUSH @note
      PUSH SCR
      PUSH 3
      SYSCALL fs_read          ; "he"
      PUSH @note
      PUSH SCR+8
      PUSH 1
      SYSCALL fs_read          ; only the NUL
      PUSH @image
      PUSH SCR+16
      PUSH 100
      SYSCALL fs_read          ; a blob's bytes
      PUSH @nothing
      PUSH SCR
      PUSH 10
      SYSCALL fs_read
      PUSH @copy
      PUSH SCR
      PUSH 2
      SYSCALL fs_write         ; made
      PUSH @image
      PUSH @note
      PUSH -4
      SYSCALL fs_write         ; emptied, blob and all
      PUSH @desktop
      PUSH @note
      PUSH 3
      SYSCALL fs_write         ; a folder
      PUSH @desktop
      PUSH SCR+100
      PUSH 8
      SYSCALL fs_list
      PUSH @dir
      SYSCALL fs_mkdir
      PUSH @dir
      SYSCALL fs_mkdir
      PUSH @dir
      SYSCALL fs_delete
      PUSH @desktop
      SYSCALL fs_delete        ; protected
      HALT
  note: .string "note"
  image: .string "Tavlin.yrf"
  nothing: .string "nothing"
  copy: .string "copy"
  desktop: .string "Desktop"
  dir: .string "dir")"));
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
  run(prog(R"(
      PUSH @url
      PUSH SCR
      PUSH 100
      SYSCALL http_get
      PUSH SCR
      PUSH @name
      SYSCALL dns_get
      HALT
  url: .string "http://10.0.2.2/index.html"
  name: .string "example.com")"));
  EXPECT_EQ(stack(), (Ints{0, 0}));
}

}  // namespace
}  // namespace tavlin::script_test
