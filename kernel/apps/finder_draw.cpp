// Painting the Finder: the toolbar with the back arrow and the folder's
// path, the favourites sidebar, the grid of entries (folders, text files and
// image thumbnails from the image cache) and the rubber band.
#include "kernel/apps/apps.h"
#include "kernel/apps/finder.h"
#include "kernel/codec/image_cache.h"
#include "kernel/core/kstring.h"
#include "kernel/fs/node_table.h"
#include "kernel/fs/paths.h"
#include "kernel/fs/standard_folders.h"
#include "kernel/gfx/gfx.h"
#include "kernel/gfx/shapes.h"
#include "kernel/wm/window.h"

namespace tavlin {
namespace {

constexpr i32 kToolbarH = 24;
constexpr i32 kSidebarW = 140;
constexpr i32 kGlyph = 8;
constexpr i32 kEllipsis = 3;
constexpr u32 kInk = 0x1C1C1C;
constexpr u32 kSelection = 0xCFE4FF;
constexpr u32 kBandBlue = 0x0A84FF;
constexpr u32 kBlack = 0x000000, kWhite = 0xFFFFFF;

// The path keeps its end when it is wider than the toolbar: the folder
// shown matters more than where the path starts.
void draw_path(i32 dir, i32 x, i32 y, i32 room) {
  char path[kFsPathCap];
  fs_path(dir, path);
  const i32 fits = room / kGlyph;
  const i32 len = static_cast<i32>(strlen(path));
  if (len <= fits) {
    draw_text(x, y, path, 0x555555, 1);
  } else if (fits > kEllipsis) {
    char shown[kFsPathCap] = "...";
    str_copy(shown + kEllipsis, path + len - (fits - kEllipsis), kFsPathCap - kEllipsis);
    draw_text(x, y, shown, 0x555555, 1);
  }
}

void draw_toolbar(const Window& win, i32 x, i32 y, i32 w) {
  if (w > 0) fill_rect(x, y, w, kToolbarH, 0xEFEFEF);
  fill_rect(x, y + kToolbarH - 1, w, 1, 0xC7C7C7);
  const bool has_parent = fs_is_live(win.finder_dir) && fs_is_live_dir(fs_nodes[win.finder_dir].parent);
  draw_text(x + 8, y + 6, "<", has_parent ? kInk : 0xBBBBBB, 1);
  draw_path(win.finder_dir, x + 24, y + 6, w - 32);
}

void draw_sidebar(const Window& win, i32 x, i32 y, i32 h) {
  if (h > kToolbarH) fill_rect(x, y + kToolbarH, kSidebarW, h - kToolbarH, 0xE2E2E2);
  draw_text(x + 12, y + 34, "Favorites", 0x777777, 1);
  for (i32 i = 0; i < kFinderFavoriteCount; ++i) {
    const i32 ry = y + 56 + 22 * i;
    if (win.finder_dir == finder_favorite_target(i)) fill_rect(x + 4, ry - 3, 132, 18, kSelection);
    draw_text(x + 14, ry, finder_favorites[i].label, kInk, 1);
  }
  fill_rect(x + kSidebarW, y + kToolbarH, 1, h - kToolbarH, 0xC0C0C0);
}

void draw_folder_icon(i32 cx, i32 cy) {
  fill_rect_alpha(cx + 2, cy + 3, 44, 42, kBlack, 40);
  fill_rounded_rect(cx, cy + 2, 17, 10, 3, 0xE89B2E);
  fill_rounded_rect_vgrad(cx, cy + 8, 44, 36, 6, 0xFFE9A8, 0xF0A83C);
  fill_rect_alpha(cx + 2, cy + 9, 40, 12, kWhite, 90);
  draw_rect_outline(cx, cy + 8, 44, 36, 0xB87A20);
}

void draw_paper_icon(i32 cx, i32 cy) {
  fill_rect_alpha(cx + 2, cy + 3, 44, 42, kBlack, 35);
  fill_rounded_rect_vgrad(cx, cy, 44, 44, 4, 0xFFFFFF, 0xDDE9F5);
  fill_rect_alpha(cx + 2, cy + 2, 40, 14, kWhite, 100);
  for (i32 k = 12; k >= 1; --k) fill_rect(cx + 44 - k, cy + 12 - k, k, 1, 0xB9C9DA);
  fill_rect(cx + 32, cy, 12, 1, 0x8FA4BA);
  draw_rect_outline(cx, cy, 44, 44, 0x9FB0C2);
  fill_rect(cx + 8, cy + 22, 28, 2, 0xA8B8C8);
  fill_rect(cx + 8, cy + 28, 28, 2, 0xA8B8C8);
  fill_rect(cx + 8, cy + 34, 18, 2, 0xA8B8C8);
}

// The decoded image comes from the cache on every pass; a file that does
// not decode shows a question mark instead.
void draw_thumbnail(i32 node, i32 cx, i32 cy) {
  fill_rect_alpha(cx + 2, cy + 3, 44, 42, kBlack, 40);
  fill_rounded_rect(cx, cy, 44, 44, 6, 0x1C1C1E);
  const DecodedImage* image = fs_nodes[node].blob >= 0 ? image_get_decoded(node) : nullptr;
  if (image && image->valid) {
    draw_decoded_image(image, cx + 4, cy + 4, 36, 36);
  } else {
    fill_rect_alpha(cx, cy, 44, 44, kWhite, 20);
    draw_text(cx + 14, cy + 14, "?", 0x666666, 2);
  }
  draw_rect_outline(cx, cy, 44, 44, kBlack);
}

void draw_label(const Window& win, i32 node, i32 cx, i32 cy) {
  const i32 centre = cx + 22;
  if (win.finder_renaming && node == win.finder_last_sel) {
    fill_rect(cx - 6, cy + 48, 56, 12, kWhite);
    const i32 len = static_cast<i32>(strlen(win.finder_rename_text));
    draw_text(centre - 4 * len, cy + 50, win.finder_rename_text, kInk, 1);
    return;
  }
  char label[32];
  text_truncate_ellipsis(fs_nodes[node].name, label);
  draw_text(centre - 4 * static_cast<i32>(strlen(label)), cy + 52, label, kInk, 1);
}

void draw_entry(const Window& win, i32 node, i32 cx, i32 cy) {
  if (node < kFinderSelectable && win.finder_sel[node]) fill_rounded_rect(cx - 4, cy - 4, 52, 78, 8, kSelection);
  const FsNode& n = fs_nodes[node];
  if (n.kind == kFsDir)
    draw_folder_icon(cx, cy);
  else if (n.has_blob != 1)
    draw_paper_icon(cx, cy);
  else
    draw_thumbnail(node, cx, cy);
  draw_label(win, node, cx, cy);
}

void draw_entries(const Window& win, i32 x, i32 y, i32 w, i32 h) {
  const FinderGrid grid = finder_grid(x, y, w, h);
  i32 node = finder_first_entry(win.finder_dir);
  if (node < 0) {
    draw_text(grid.left, grid.top, "(This folder is empty)", 0x999999, 1);
    return;
  }
  for (i32 i = 0; node >= 0 && i < kFsMaxNodes; ++i, node = finder_next_entry(node)) {
    i32 cx, cy;
    if (!finder_cell(grid, i, &cx, &cy)) return;
    draw_entry(win, node, cx, cy);
  }
}

i32 min_of(i32 a, i32 b) { return a < b ? a : b; }
i32 max_of(i32 a, i32 b) { return a > b ? a : b; }

void draw_rubber_band(const Window& win, i32 x, i32 y) {
  if (!win.finder_rubber_active) return;
  const i32 left = x + min_of(win.finder_rubber_x0, win.finder_rubber_x1);
  const i32 top = y + min_of(win.finder_rubber_y0, win.finder_rubber_y1);
  const i32 w = max_of(win.finder_rubber_x0, win.finder_rubber_x1) - min_of(win.finder_rubber_x0, win.finder_rubber_x1);
  const i32 h = max_of(win.finder_rubber_y0, win.finder_rubber_y1) - min_of(win.finder_rubber_y0, win.finder_rubber_y1);
  if (w < 1 || h < 1) return;
  fill_rect_alpha(left, top, w, h, kBandBlue, 60);
  draw_rect_outline(left, top, w, h, kBandBlue);
}

}  // namespace

void draw_app_finder(Window* win, i32 x, i32 y, i32 w, i32 h) {
  if (!win) return;
  draw_toolbar(*win, x, y, w);
  draw_sidebar(*win, x, y, h);
  draw_entries(*win, x, y, w, h);
  draw_rubber_band(*win, x, y);
}

}  // namespace tavlin
