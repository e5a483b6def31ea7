// The file calls, all on the root folder: read and write a file's content,
// list a folder's names, make a folder, delete an entry. Buffers are
// checked for the most the call can touch before anything happens.
#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/standard_folders.h"
#include "kernel/fs/tree_ops.h"
#include "kernel/script/vm_parts.h"

namespace tavlin::vm {
namespace {

constexpr u32 kMaxContent = kFsTextCap - 1;  // what the inline text holds
constexpr u32 kMaxListed = kFsMaxNodes;

u32 smaller(u32 a, u32 b) { return a < b ? a : b; }

// A file's bytes: its blob's when it has one, else its inline text.
const u8* file_bytes(i32 node, u32* length) {
  if (const u8* blob = fs_blob_data(node, length)) return blob;
  *length = smaller(fs_nodes[node].size, kMaxContent);
  return reinterpret_cast<const u8*>(fs_nodes[node].text);
}

}  // namespace

// name, buffer, max: the first min(length, max - 1, 511) bytes and a NUL.
i32 sys_fs_read(Call& c) {
  const char* name = text_at(c.vm, address_arg(c, 0));
  if (!name) return 0;
  u8* buffer = out_buffer(c, 1, c.arg[2], 1, kFsTextCap);
  if (!buffer) return 0;
  const i32 node = fs_find_child(fs_root, name);
  if (!fs_is_live_file(node) || c.arg[2] < 1) return 0;
  u32 length;
  const u8* bytes = file_bytes(node, &length);
  const u32 count = smaller(smaller(length, static_cast<u32>(c.arg[2]) - 1), kMaxContent);
  memcpy(buffer, bytes, count);
  buffer[count] = 0;
  return static_cast<i32>(count);
}

// name, data, length: the file (made if missing) holds exactly these bytes.
// Its old content goes, blob included: a blob left behind would still be
// what every reader of the file sees.
i32 sys_fs_write(Call& c) {
  const char* name = text_at(c.vm, address_arg(c, 0));
  if (!name) return 0;
  const u32 count = c.arg[2] < 0 ? 0 : smaller(static_cast<u32>(c.arg[2]), kMaxContent);
  const u8* data = read_span(c.vm, address_arg(c, 1), count);
  if (!data) return 0;
  i32 node = fs_find_child(fs_root, name);
  if (node < 0) node = fs_create(fs_root, name, kFsFile);
  if (!fs_is_live_file(node)) return 0;
  fs_set_content(node, "");
  FsNode& file = fs_nodes[node];
  memcpy(file.text, data, count);
  file.text[count] = 0;
  file.size = count;
  return static_cast<i32>(count);
}

// folder, array, max: the program addresses of copies of the children's
// names, which go into the top of the scratch area.
i32 sys_fs_list(Call& c) {
  const char* folder = text_at(c.vm, address_arg(c, 0));
  if (!folder) return 0;
  u8* array = out_buffer(c, 1, c.arg[2], 4, kMaxListed);
  if (!array) return 0;
  const i32 dir = fs_find_child(fs_root, folder);
  if (!fs_is_live_dir(dir) || c.arg[2] < 1) return 0;
  const u32 max = smaller(static_cast<u32>(c.arg[2]), kMaxListed);
  u32 count = 0;
  for (i32 child = fs_nodes[dir].first_child; fs_is_live(child) && count < max;
       child = fs_nodes[child].next_sibling) {
    u8* copy = name_slot(count);
    str_copy(reinterpret_cast<char*>(copy), fs_nodes[child].name, kNameSlotSize);
    const u32 address = scratch_address(copy);
    for (u32 i = 0; i < 4; ++i) array[4 * count + i] = static_cast<u8>(address >> (8 * i));
    ++count;
  }
  return static_cast<i32>(count);
}

i32 sys_fs_mkdir(Call& c) {
  const char* name = text_at(c.vm, address_arg(c, 0));
  if (!name) return 0;
  return fs_create(fs_root, name, kFsDir) >= 0 ? 1 : 0;
}

i32 sys_fs_delete(Call& c) {
  const char* name = text_at(c.vm, address_arg(c, 0));
  if (!name) return 0;
  return fs_delete(fs_root, name) ? 1 : 0;
}

}  // namespace tavlin::vm
