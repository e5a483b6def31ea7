// Programs that aim every address-taking call at memory that is not theirs:
// kernel addresses, the gaps around their own areas, code they may only
// read, spans running off the end. Each stops with error -5 (a window call
// given such a number as a handle answers 0) and leaves every kernel table
// as it was.
#include <sstream>

#include "unit/script/vm_fixture.h"

namespace tavlin::script_test {
namespace {

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
