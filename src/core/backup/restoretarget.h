// Where a stored file is written back, and the checks that keep a restore where it belongs: a
// restore into another folder never writes outside it (no ".." in a stored name, no symbolic
// link on the way below the folder), and a restore to the stored paths writes only those
// absolute paths.
#pragma once

#include "core/backup/backupfs.h"

#include <string>
#include <string_view>
#include <vector>

namespace mtl::backup {

struct RestoreTarget {
    std::string path;
    bool refused = false;  // the stored name would lead elsewhere
};

// `destination` is empty (stored paths) or ends with "/". With `fullPath` the stored path
// without its leading "/" goes below the destination; otherwise only its file name.
RestoreTarget restoreTarget(std::string_view storedName, std::string_view destination, bool fullPath);

enum class FolderState { Ready, Missing, Refused };

// Creates the folders that lead to `target`, missing parents included. Below `destination`
// (when the target lies there) a symbolic link on the way refuses the target; a folder that
// cannot be made leaves it Missing.
// The folders it creates are added to `made` when given.
FolderState prepareFolders(BackupFileSystem& files, std::string_view target, std::string_view destination,
                           std::vector<std::string>* made = nullptr);

} // namespace mtl::backup
