// The once-a-second look through Downloads for media that arrived without
// being marked as such (a download, a copy by a script): images are marked
// so the shell opens them as images; videos are only reported.
#include "kernel/fs/media_scan.h"

#include "kernel/codec/file_magic.h"
#include "kernel/core/serial.h"
#include "kernel/core/timer.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/standard_folders.h"

namespace tavlin {

u32 last_scan;

namespace {

constexpr u32 kScanIntervalTicks = 100;

void scan_file(i32 node) {
  FsNode& n = fs_nodes[node];
  if (n.kind != kFsFile || n.has_blob == 1) return;
  u32 length = 0;
  const u8* data = fs_blob_data(node, &length);
  if (is_yrf_data(data, length) || is_png_data(data, length)) {
    n.has_blob = 1;
    serial_puts("[Media] Found image in Downloads: ");
    serial_puts(n.name);
    serial_puts("\n");
  } else if (is_zeva_data(data, length)) {
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
  const i32 downloads = fs_find_child(fs_root, kDownloadsFolder);
  if (downloads < 0) return;
  fs_walk_children(downloads, [](i32 child) {
    if (fs_is_live(child)) scan_file(child);
    return false;
  });
}

}  // namespace tavlin
