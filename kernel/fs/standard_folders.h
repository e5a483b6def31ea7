// The root, the Desktop folder that the desktop mirrors, and the Finder's
// favourite folders. ensure_desktop_dir keeps exactly one Desktop under the
// root whatever moves and renames did to the tree.
#pragma once
#include "kernel/core/types.h"

namespace tavlin {

constexpr i32 kFinderFavoriteCount = 4;
constexpr i32 kStandardFolderCount = 4;

// The folders every start makes under the root, Desktop first.
constexpr const char* kDesktopFolder = "Desktop";
constexpr const char* kDownloadsFolder = "Downloads";
constexpr const char* kStandardFolders[kStandardFolderCount] = {kDesktopFolder, "Documents", kDownloadsFolder,
                                                               "Applications"};

struct FinderFavorite {
  const char* label;
  const char* folder;  // the directory name it opens
};

extern i32 fs_root;
extern i32 fs_desktop_dir;
extern const FinderFavorite finder_favorites[kFinderFavoriteCount];

i32 ensure_desktop_dir();
// The folder favourite i (0 to 3) opens, or -1 for any other i.
i32 finder_favorite_target(i32 i);

}  // namespace tavlin
