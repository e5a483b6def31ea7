// The tree every start begins with: the root, the four standard folders and
// the sample media, then the repairs that guarantee a sound Desktop.
#include "kernel/core/serial.h"
#include "kernel/core/kstring.h"
#include "kernel/fs/fs.h"

namespace tavlin {
namespace {

constexpr const char* kSampleImageName = "Quillon.yrf";
constexpr const char* kDesktopImageName = "Tavlin.yrf";
constexpr const char* kDesktopVideoName = "DoruViza.zeva";

void media_log(const char* what, const char* name) {
  serial_puts(what);
  serial_puts(name);
  serial_puts("\n");
}

void import_into_downloads(const SampleFile& image) {
  const i32 downloads = fs_find_child(fs_root, kDownloadsFolder);
  if (downloads < 0) return;
  if (fs_find_child(downloads, kSampleImageName) >= 0) {
    media_log("[MediaAuto] Skipping (already exists): ", kSampleImageName);
    return;
  }
  const i32 node = fs_create(downloads, kSampleImageName, kFsFile);
  if (node < 0) {
    media_log("[MediaAuto] Failed to create node for: ", kSampleImageName);
    return;
  }
  if (!fs_set_image_content(node, image.data, image.size)) {
    media_log("[MediaAuto] Failed to attach blob for: ", kSampleImageName);
    return;
  }
  serial_puts("[MediaAuto] Imported into Downloads: ");
  serial_puts(kSampleImageName);
  serial_puts(" (");
  serial_dec32(image.size);
  serial_puts(" bytes)\n");
}

void place_desktop_image(const SampleFile& image) {
  const i32 node = fs_create(fs_desktop_dir, kDesktopImageName, kFsFile);
  if (node < 0) return;
  if (!fs_set_image_content(node, image.data, image.size))
    serial_puts("[FS] Warning: could not attach Tavlin.yrf blob\n");
}

// The video gets its bytes but keeps has_blob 0, which is how the shell has
// always shown it.
void place_desktop_video(const SampleFile& video) {
  const i32 node = fs_create(fs_desktop_dir, kDesktopVideoName, kFsFile);
  i32 blob = kFsNone;
  if (node < 0 || video.size == 0 || !fs_blob_alloc(video.size, &blob)) return;
  memcpy(fs_blob_pool + fs_blobs[blob].offset, video.data, video.size);
  fs_nodes[node].blob = blob;
  fs_nodes[node].size = video.size;
}

// "/" is not a valid child name, so the root is made by hand in the lowest
// free slot.
bool make_root() {
  for (i32 i = 1; i < kFsMaxNodes; ++i) {
    if (fs_nodes[i].in_use) continue;
    fs_node_zero(i);
    fs_nodes[i].in_use = 1;
    fs_nodes[i].kind = kFsDir;
    str_copy(fs_nodes[i].name, "/", kFsNameCap);
    fs_node_count = fs_node_count + 1;
    fs_root = i;
    return true;
  }
  fs_root = kFsNone;
  serial_puts("[FS] FATAL: no node for root\n");
  return false;
}

}  // namespace

void fs_reattach_orphans() {
  if (!fs_is_live_dir(fs_root)) return;
  for (i32 i = 1; i < kFsMaxNodes; ++i) {
    if (!fs_is_live(i) || i == fs_root) continue;
    const i32 parent = fs_nodes[i].parent;
    if (parent == kFsNone || fs_is_live(parent)) continue;
    fs_link_child(fs_root, i);
    fs_nodes[i].parent = fs_root;
  }
}

void fs_populate(const SampleFile& image_yrf, const SampleFile& image_png, const SampleFile& video) {
  fs_tables_reset();
  fs_desktop_dir = kFsNone;
  if (!make_root()) return;

  fs_desktop_dir = fs_create(fs_root, kDesktopFolder, kFsDir);
  if (fs_desktop_dir < 0) {
    serial_puts("[FS] FATAL: could not create Desktop\n");
    return;
  }
  for (i32 i = 1; i < kStandardFolderCount; ++i) fs_create(fs_root, kStandardFolders[i], kFsDir);

  import_into_downloads(image_yrf);
  place_desktop_image(image_png);
  place_desktop_video(video);

  ensure_desktop_dir();

  serial_puts("[FS] Initialised. Nodes used: ");
  serial_dec32(fs_node_count);
  serial_puts("\n");

  fs_reattach_orphans();
  fs_desktop_dir = kFsNone;
  ensure_desktop_dir();
}

void fs_init() { fs_populate(sample_yrf(), sample_png(), sample_zeva()); }

}  // namespace tavlin
