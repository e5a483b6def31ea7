// The once-a-second look through Downloads for media that arrived without
// being marked as such (a download, a copy by a script): images are marked
// so the shell opens them as images; videos are only reported.
#include "kernel/fs/media_scan.h"

#include "kernel/core/kstring.h"
#include "kernel/core/serial.h"
#include "kernel/core/timer.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/standard_folders.h"

namespace tavlin {

u32 last_scan;

namespace {

constexpr u32 kScanIntervalTicks = 100;
constexpr u32 kMagicLength = 4;
constexpr u8 kPngSignature[] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

bool starts_with(const u8* data, u32 length, const u8* prefix, u32 prefix_length) {
  if (length < prefix_length) return false;
  for (u32 i = 0; i < prefix_length; ++i)
    if (data[i] != prefix[i]) return false;
  return true;
}

bool starts_with(const u8* data, u32 length, const char* magic) {
  return starts_with(data, length, reinterpret_cast<const u8*>(magic), strlen(magic));
}

void scan_file(i32 node) {
  FsNode& n = fs_nodes[node];
  if (n.kind != kFsFile || n.has_blob == 1) return;
  u32 length = 0;
  const u8* data = fs_blob_data(node, &length);
  if (!data || length < kMagicLength) return;
  if (starts_with(data, length, "YRF1") ||
      starts_with(data, length, kPngSignature, sizeof kPngSignature)) {
    n.has_blob = 1;
    serial_puts("[Media] Found image in Downloads: ");
    serial_puts(n.name);
    serial_puts("\n");
  } else if (starts_with(data, length, "ZEVA")) {
    serial_puts("[Media] Found video in Downloads: ");
    serial_puts(n.name);
    serial_puts("\n");
  }
}

}  // namespace

void downloads_media_scan() {
  const u32 now = ticks_now();
  if (now - last_scan < kScanIntervalTicks) return;
  last_scan = now;
  const i32 downloads = fs_find_child(fs_root, "Downloads");
  if (downloads < 0) return;
  i32 child = fs_nodes[downloads].first_child;
  for (i32 steps = 0; child >= 0 && child < kFsMaxNodes && steps < kFsMaxNodes; ++steps) {
    if (fs_is_live(child)) scan_file(child);
    child = fs_nodes[child].next_sibling;
  }
}

}  // namespace tavlin
