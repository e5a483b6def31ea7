// The system calls: selection by number and name hash, missing arguments, drawing, windows, input, time, the
// log, files, the network calls with and without a network, and every address-taking call aimed at memory
// that is not the program's own.
#include <sstream>

#include "kernel/gfx/gfx.h"
#include "kernel/wm/render.h"
#include "unit/net/tcp_peer.h"
#include "unit/script/vm_fixture.h"

namespace tavlin::script_test {
namespace {

using Syscall = VmTest;

TEST_F(Syscall, CallsAreChosenByNumberOrByNameHashMissingArgumentsCountAsZeroAndInputTimeAndLogWork) {
  pit_ticks = 77;
  backbuf[4 * 1024 + 3] = 0xFF0000;
  run("PUSH 3\nPUSH 4\nSYSCALL 251224011\nSYSCALL 110355062\nSYSCALL 14\nHALT");  // draw_pixel, ticks, ticks
  EXPECT_EQ(stack(), (Ints{1, 77, 77}));
  EXPECT_EQ(pixel(3, 4), 0u);  // no colour: 0
  for (const char* bad : {"SYSCALL 26", "SYSCALL -1", "SYSCALL 110355063"}) {
    run(std::string("PUSH 1\n") + bad + "\nPUSH 2");
    EXPECT_EQ((std::pair{vm.error, stack()}), (std::pair{kVmBadCode, Ints{1}})) << bad;
  }
  std::string full;
  for (int i = 0; i < 64; ++i) full += "PUSH 9\n";
  run(full + "SYSCALL ticks\nHALT");
  EXPECT_EQ(stack(), Ints(64, 9));  // a full stack drops the result
  mouse_x = 12;
  mouse_y = 34;
  mouse_buttons = kMouseLeft | kMouseMiddle;
  pit_ticks = 500;
  type_keys("q");
  backbuf[0] = 0x424242;
  run(call("mouse_get", {"0x100000"}) + call("key_get", {"0x100020"}) + call("key_get", {"0x100030"}) +
      call("sleep", {"3"}) + call("ticks") + call("sleep", {"-3"}) + call("print", {"@hi"}) +
      call("print_num", {"-42"}) + call("print_hex", {"0x2A"}) + "HALT\nhi: .string \"hi \"\n");
  EXPECT_EQ(stack(), (Ints{1, 1, static_cast<i32>(kScratch + 48), 0, 1, 503, 1, 1, 1, 1}));
  EXPECT_EQ(memory(kScratch, 20), (Bytes{12, 0, 0, 0, 34, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(memory(kScratch + 32, 8), (Bytes{'q', 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(term_test::serial_log(), "hi -420x0000002A");
  EXPECT_EQ(screen[0], 0x424242u);  // sleep showed the back buffer
}

TEST_F(Syscall, DrawingCallsPaintTheBackBufferClippedToTheScreen) {
  memset(backbuf, 0, 1024 * 768 * 4);
  run(call("draw_rect", {"0xFF0000", "10", "20", "3", "2"}) + call("draw_line", {"0x00FF00", "40", "40", "44", "42"}) +
      call("draw_line", {"0x0000FF", "-2147483648", "5", "2147483647", "5"}) +
      call("draw_rect_outline", {"0xFFFF00", "60", "60", "4", "3"}) +
      call("draw_rect_outline", {"0xFFFFFF", "2147483647", "2147483647", "2147483647", "2147483647"}) +
      call("draw_circle", {"0x123456", "200", "200", "5"}) +
      call("draw_line", {"0x00FFFF", "300", "310", "301", "300"}) +
      call("draw_line", {"0xFF00FF", "500", "500", "500", "500"}) +
      call("draw_text", {"0xFFFFFF", "-2147483648", "2147483647", "@ok"}) +  // far off screen: skipped
      call("draw_text_center", {"0xFFFFFF", "100", "50", "@ok"}) + "HALT\nok: .string \"OK\"\n");
  EXPECT_EQ(stack(), Ints(10, 1));
  for (i32 y = 19; y <= 22; ++y)
    for (i32 x = 9; x <= 13; ++x) EXPECT_EQ(pixel(x, y) == 0xFF0000, x >= 10 && x <= 12 && y >= 20 && y <= 21);
  const std::tuple<i32, i32, u32> expected[] = {  // one point of each call's shape
      {44, 42, 0x00FF00},  {63, 62, 0xFFFF00},   {61, 61, 0},          {0, 5, 0x0000FF},
      {1023, 5, 0x0000FF}, {200, 200, 0x123456}, {301, 300, 0x00FFFF}, {500, 500, 0xFF00FF}};
  for (auto [x, y, colour] : expected) EXPECT_EQ(pixel(x, y), colour) << x << "," << y;
}

TEST_F(Syscall, WindowsAnswerOnlyToTheirOwnerFileCallsWorkOnTheRootAndNetworkCallsAnswerZeroWithoutANetwork) {
  run(call("win_new", {"@title", "300", "200"}) + "STORE 1\nPUSH @other\nLOAD 1\n" + call("win_title") + "LOAD 1\n" +
      call("win_center") + "LOAD 1\nPUSH 1\nADD\n" + call("win_close") +  // not a handle
      call("win_new", {"@title", "99999", "-5"}) + call("win_redraw") + "LOAD 1\n" + call("win_close") + "LOAD 1\n" +
      call("win_close") +  // already closing
      "HALT\ntitle: .string \"A title longer than thirty-one characters\"\nother: .string \"Ball\"\n");
  ASSERT_EQ(vm.sp, 7);
  EXPECT_EQ((Ints{vm.stack[0], vm.stack[1], vm.stack[2], vm.stack[4], vm.stack[5], vm.stack[6]}),
            (Ints{1, 1, 0, 1, 1, 0}));
  const Window &w = windows[0], &big = windows[1];
  EXPECT_EQ((Ints{static_cast<i32>(w.app), w.x, w.y, w.w, w.h}), (Ints{99, 362, 260, 300, 200}));
  EXPECT_EQ((std::pair{std::string(w.title), w.anim_kind}), (std::pair{std::string("Ball"), anim::kClose}));
  EXPECT_EQ((Ints{big.x, big.y, big.w, big.h}), (Ints{0, 28 + (768 - 104 - 1) / 2, 1024, 1}));
  EXPECT_STREQ(big.title, "A title longer than thirty-one ");
  // A handle from an earlier run, or a window opened by someone else, names
  // nothing; a full table gives 0.
  run("PUSH " + std::to_string(vm.stack[3]) + "\nSYSCALL win_close\nPUSH 1\nSYSCALL win_center\nHALT");
  EXPECT_EQ(stack(), (Ints{0, 0}));
  EXPECT_EQ(big.anim_kind, anim::kNone);
  std::string seven;  // two slots are taken
  for (int i = 0; i < 7; ++i) seven += "PUSH @t\nPUSH 100\nPUSH 100\nSYSCALL win_new\n";
  run(seven + "HALT\nt: .string \"t\"");
  EXPECT_EQ((std::pair{vm.stack[5] != 0, vm.stack[6]}), (std::pair{true, 0}));
  term_test::text_file(fs_root, "note", "hello");
  const i32 image = fs_find_child(fs_desktop_dir, "Tavlin.yrf");
  ASSERT_TRUE(fs_move(image, fs_root));
  u32 size;
  const u8* blob = fs_blob_data(image, &size);
  const Bytes image_bytes(blob, blob + size);
  run(call("fs_read", {"@note", "0x100000", "3"}) + call("fs_read", {"@note", "0x100008", "1"}) +
      call("fs_read", {"@image", "0x100010", "100"}) + call("fs_read", {"@nothing", "0x100000", "10"}) +
      call("fs_write", {"@copy", "0x100000", "2"}) + call("fs_write", {"@image", "@note", "-4"}) +
      call("fs_write", {"@desktop", "@note", "3"}) + call("fs_list", {"@desktop", "0x100064", "8"}) +
      call("fs_mkdir", {"@dir"}) + call("fs_mkdir", {"@dir"}) + call("fs_delete", {"@dir"}) +
      call("fs_delete", {"@desktop"}) + call("http_get", {"@url", "0x100000", "100"}) +
      call("dns_get", {"0x100000", "@url"}) + "HALT\nnote: .string \"note\"\nimage: .string \"Tavlin.yrf\"\n" +
      "nothing: .string \"nothing\"\ncopy: .string \"copy\"\ndesktop: .string \"Desktop\"\ndir: .string \"dir\"\n" +
      "url: .string \"http://10.0.2.2/index.html\"\n");
  EXPECT_EQ(stack(), (Ints{2, 0, static_cast<i32>(size), 0, 2, 0, 0, 1, 1, 0, 1, 0, 0, 0}));
  EXPECT_EQ(memory(kScratch, 3), (Bytes{'h', 'e', 0}));
  EXPECT_EQ(memory(kScratch + 8, 1), Bytes{0});
  EXPECT_EQ(memory(kScratch + 16, size), image_bytes);
  EXPECT_STREQ(fs_nodes[fs_find_child(fs_root, "copy")].text, "he");
  EXPECT_EQ((Ints{static_cast<i32>(fs_nodes[image].size), fs_nodes[image].blob}), (Ints{0, kFsNone}));
  EXPECT_EQ(fs_find_child(fs_root, "dir"), kFsNone);
  // fs_list left the address of a copy of the Desktop's one name.
  const Bytes entry = memory(kScratch + 100, 4);
  EXPECT_STREQ(vm::text_at(vm, entry[0] | entry[1] << 8 | entry[2] << 16 | entry[3] << 24), "DoruViza.zeva");
}

namespace nt = nettest;

class VmNet : public nt::NetTest, public VmRig {};

// The server answers every A query with 192.168.50.1.
TEST_F(VmNet, HttpGetFetchesTheBodyAndDnsGetResolvesAName) {
  configure();
  std::copy(nt::kServerIp.begin(), nt::kServerIp.end(), net_dns_servers[0]);
  net_dns_count = 1;
  nt::TcpPeer peer;
  peer.attach(*this, card);
  card.peer = [inner = card.peer, this](const nt::Bytes& f) {
    if (nt::be16_at(f, 12) != 0x0800 || f[23] != 17 || nt::be16_at(f, 36) != 53) return inner(f);
    card.incoming.push_back(nt::dns_reply(f, nt::kServerIp, nt::kServerIp));
  };
  peer.script = {{0, nt::text("HTTP/1.0 200 OK\r\n\r\nhello world"), kTcpAck | kTcpPsh | kTcpFin}};
  run(call("http_get", {"@url", "0x100000", "6"}) + call("dns_get", {"0x100010", "@name"}) +
      "HALT\nurl: .string \"http://files.test/hello.txt\"\nname: .string \"files.test\"");
  EXPECT_EQ(stack(), (Ints{5, 1}));
  EXPECT_EQ(memory(kScratch, 6), (Bytes{'h', 'e', 'l', 'l', 'o', 0}));
  EXPECT_EQ(memory(kScratch + 16, 4), (Bytes{192, 168, 50, 1}));
  EXPECT_EQ(nt::str(peer.request).substr(0, 41), "GET /hello.txt HTTP/1.0\r\nHost: files.test");
}

using Sandbox = VmTest;

enum Use { kText, kRead, kWrite, kHandle };

// The call, the arguments in push order (X is the address under test), what the address is for.
const std::tuple<const char*, const char*, Use> kTargets[] = {
    {"draw_text", "0 10 10 X", kText},   {"draw_text_center", "0 10 10 X", kText}, {"win_new", "X 100 100", kText},
    {"win_title", "X 8", kText},         {"print", "X", kText},                    {"fs_read", "@name X 16", kWrite},
    {"fs_read", "X SCR 16", kText},      {"fs_write", "@name X 4", kRead},         {"fs_write", "X SCR 4", kText},
    {"fs_list", "@desk X 4", kWrite},    {"fs_list", "X SCR 4", kText},            {"fs_mkdir", "X", kText},
    {"fs_delete", "X", kText},           {"mouse_get", "X", kWrite},               {"key_get", "X", kWrite},
    {"http_get", "@url X 16", kWrite},   {"http_get", "X SCR 16", kText},          {"dns_get", "X @name", kWrite},
    {"dns_get", "SCR X", kText},         {"win_close", "X", kHandle},              {"win_center", "X", kHandle},
    {"win_title", "@name X", kHandle}};

// Everything a program might reach for.
Bytes kernel_tables() {
  Bytes out;
  auto add = [&out](const void* p, size_t n) { out.insert(out.end(), (const u8*)p, (const u8*)p + n); };
  add(fs_nodes, sizeof fs_nodes);
  add(fs_blobs, sizeof fs_blobs);
  add(windows, sizeof windows);
  add(&focused_window, 4);
  add(kbd_buf, sizeof kbd_buf);
  add(&kbd_tail, 4);
  return out;
}

std::string program(const char* call, const char* args, u32 address) {
  std::string s = ".equ SCR 0x100000\nJMP start\nname: .string \"note\"\ndesk: .string \"Desktop\"\n"
                  "url: .string \"http://10.0.2.2/\"\nstart:\n";
  std::istringstream words(args);
  for (std::string w; words >> w;) s += "PUSH " + (w == "X" ? std::to_string(address) : w) + "\n";
  return s + "SYSCALL " + call + "\nPUSH 1\nHALT\n";  // the last byte of code is not a NUL
}

// Kernel addresses, the gaps around the program's own areas, code it may only read and spans running off the
// end: each call stops with error -5 (a window call given one as a handle answers 0); no kernel table changes.
TEST_F(Sandbox, AddressTakingCallsRefuseMemoryThatIsNotTheProgramsOwn) {
  term_test::text_file(fs_root, "note", "secret");
  type_keys("k");
  run("PUSH @t\nPUSH 100\nPUSH 100\nSYSCALL win_new\nHALT\nt: .string \"mine\"");  // a program window in slot 0
  for (const auto& [call, args, use] : kTargets) {
    const u32 code_len = static_cast<u32>(hitasm::assemble(program(call, args, 0)).code.size());
    std::vector<u32> bad = {0, 0x1000, 0x0FFFFF, 0x110000, 0x10000000, kVmCodeBase + code_len,
                            kVmCodeBase + code_len - 1};
    if (use == kRead || use == kWrite) bad.push_back(kVmScratchBase + kVmScratchSize - 2);  // runs off the end
    if (use == kWrite) bad.push_back(kVmFirstAddress);                                        // code is read only
    for (const void* kernel : {static_cast<const void*>(fs_nodes), static_cast<const void*>(&windows[0])}) {
      const u32 truncated = static_cast<u32>(reinterpret_cast<uptr>(kernel));
      if (truncated - kVmCodeBase >= code_len && truncated - kVmScratchBase >= kVmScratchSize) bad.push_back(truncated);
    }
    for (u32 address : bad) {
      const Bytes before = kernel_tables();
      run(program(call, args, address));
      const Ints outcome = use == kHandle ? stack() : Ints{vm.error, static_cast<i32>(vm.running)};
      const Ints expected = use == kHandle ? Ints{0, 1} : Ints{kVmBadAddress, 0};
      EXPECT_EQ(outcome, expected) << call << " " << args << " at " << std::hex << address;
      EXPECT_TRUE(kernel_tables() == before) << call << " " << args << " at " << std::hex << address;
    }
  }
  EXPECT_STREQ(windows[0].title, "mine");  // the record addresses named no handle
  EXPECT_EQ(windows[0].anim_kind, anim::kNone);
}

}  // namespace
}  // namespace tavlin::script_test
