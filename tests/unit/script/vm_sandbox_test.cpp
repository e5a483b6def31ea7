// Programs that aim every address-taking call at memory that is not
// theirs: kernel addresses, the gaps around their own areas, code they may
// only read, spans running off the end. Each stops with error -5 and leaves
// every kernel table as it was.
#include <cstring>

#include "kernel/core/keyboard.h"
#include "kernel/fs/node_table.h"
#include "unit/script/vm_fixture.h"

namespace tavlin::script_test {
namespace {

using Sandbox = VmTest;

enum Use { kText, kRead, kWrite };

struct Target {
  const char* call;
  const char* args;  // push order; X is the address under test
  Use use;
};

constexpr Target kTargets[] = {
    {"draw_text", "0xFFFFFF 10 10 X", kText},    {"draw_text_center", "0xFFFFFF 10 10 X", kText},
    {"win_new", "X 100 100", kText},             {"win_title", "X 8", kText},
    {"print", "X", kText},                       {"fs_read", "@name X 16", kWrite},
    {"fs_read", "X SCR 16", kText},              {"fs_write", "@name X 4", kRead},
    {"fs_write", "X SCR 4", kText},              {"fs_list", "@desk X 4", kWrite},
    {"fs_list", "X SCR 4", kText},               {"fs_mkdir", "X", kText},
    {"fs_delete", "X", kText},                   {"mouse_get", "X", kWrite},
    {"key_get", "X", kWrite},                    {"http_get", "@url X 16", kWrite},
    {"http_get", "X SCR 16", kText},             {"dns_get", "X @name", kWrite},
    {"dns_get", "SCR X", kText},
};

// Everything a program might reach for.
struct KernelTables {
  std::vector<u8> bytes;
  KernelTables() {
    add(fs_nodes, sizeof fs_nodes);
    add(fs_blobs, sizeof fs_blobs);
    add(windows, sizeof windows);
    add(&focused_window, 4);
    add(&next_z, 4);
    add(kbd_buf, sizeof kbd_buf);
    add(&kbd_tail, 4);
  }
  void add(const void* p, size_t n) { bytes.insert(bytes.end(), static_cast<const u8*>(p), static_cast<const u8*>(p) + n); }
};

std::string program(const Target& t, u32 address) {
  std::string s = ".equ SCR 0x100000\nJMP start\nname: .string \"note\"\ndesk: .string \"Desktop\"\n"
                  "url: .string \"http://10.0.2.2/\"\nstart:\n";
  std::string args = t.args;
  for (size_t at = 0; at < args.size();) {
    const size_t end = args.find(' ', at);
    std::string word = args.substr(at, end == std::string::npos ? std::string::npos : end - at);
    s += "PUSH " + (word == "X" ? std::to_string(address) : word) + "\n";
    at = end == std::string::npos ? args.size() : end + 1;
  }
  return s + "SYSCALL " + t.call + "\nPUSH 1\nHALT\n";  // the last byte of code is not a NUL
}

bool maps_to_program(u32 address, u32 code_len) {
  return address - kVmCodeBase < code_len || address - kVmScratchBase < kVmScratchSize;
}

TEST_F(Sandbox, EveryAddressTakingCallRefusesMemoryThatIsNotTheProgramsOwn) {
  term_test::text_file(fs_root, "note", "secret");
  type_keys("k");
  for (const Target& t : kTargets) {
    const u32 code_len = static_cast<u32>(hitasm::assemble(program(t, 0)).code.size());
    std::vector<u32> bad = {0, 10, 0x1000, 0x0FFFFF, 0x110000, 0x10000000, 0xFFFFFFFF,
                            kVmCodeBase + code_len, kVmCodeBase + code_len - 1};
    if (t.use != kText) bad.push_back(kVmScratchBase + kVmScratchSize - 2);  // the span runs off the end
    if (t.use == kWrite) bad.push_back(kVmFirstAddress);                     // code is read only
    for (const void* kernel : {static_cast<const void*>(fs_nodes), static_cast<const void*>(windows)}) {
      const u32 truncated = static_cast<u32>(reinterpret_cast<uptr>(kernel));
      if (!maps_to_program(truncated, code_len)) bad.push_back(truncated);
    }
    for (u32 address : bad) {
      const KernelTables before;
      run(program(t, address));
      EXPECT_EQ((Ints{vm.error, static_cast<i32>(vm.running)}), (Ints{kVmBadAddress, 0}))
          << t.call << " " << t.args << " at " << std::hex << address;
      EXPECT_TRUE(KernelTables().bytes == before.bytes) << t.call << " " << t.args << " at " << std::hex << address;
    }
  }
}

TEST_F(Sandbox, WindowCallsAnswerZeroForRecordAddresses) {
  const std::string record = std::to_string(static_cast<u32>(reinterpret_cast<uptr>(&windows[0])));
  run("PUSH @t\nPUSH 100\nPUSH 100\nSYSCALL win_new\nPOP\nPUSH @u\nPUSH " + record + "\nSYSCALL win_title\n" +
      "PUSH " + record + "\nSYSCALL win_close\nHALT\nt: .string \"mine\"\nu: .string \"yours\"");
  EXPECT_EQ(stack(), (Ints{0, 0}));
  EXPECT_STREQ(windows[0].title, "mine");
  EXPECT_EQ(windows[0].anim_kind, anim::kNone);
}

}  // namespace
}  // namespace tavlin::script_test
