// Collecting the files a backup stores from its file specs. A spec is a path or a mask ("*" and
// "?" in its last element), optionally followed by " /s" to take the matching files of every
// subfolder as well. Subfolders come before their parent folder, deepest first; each path is
// collected once, and the archive being written (with its volumes) never.
#pragma once

#include "core/backup/backupfs.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mtl::backup {

struct ParsedSpec {
    std::string path;
    bool recursive = false;
};
// Splits off the " /s" suffix (any case). On this platform "/" is the path separator, so only
// a "/s" at the end of a file spec, after a blank, marks it; "/srv/x" is an ordinary path.
ParsedSpec parseFileSpec(std::string_view spec);

// The absolute, lexically normal form of a path ("." and ".." resolved, no symbolic link
// followed); the form in which paths are collected, compared and stored.
std::string expandPath(std::string_view path);

// The mask rule of the program: "*" matches any run of characters, "?" exactly one (a code
// point of a UTF-8 name, or one byte of an invalid sequence), ASCII letters match without
// regard to case. A mask ending in ".*" also matches a name without that part, so "*.*"
// matches every name.
bool maskMatches(std::string_view mask, std::string_view name);

struct CollectOptions {
    bool incremental = false;  // only files whose archive attribute is set
    // Expanded paths that are never collected: the archive and the names of its volumes.
    std::vector<std::string> excluded;
};

// The collected list, in insertion order.
std::vector<std::string> collectFiles(std::span<const std::string> specs, BackupFileSystem& files,
                                      const CollectOptions& options);

} // namespace mtl::backup
