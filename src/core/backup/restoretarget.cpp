#include "core/backup/restoretarget.h"

#include <vector>

namespace mtl::backup {
namespace {

std::vector<std::string_view> components(std::string_view path)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::size_t end = slash == std::string_view::npos ? path.size() : slash;
        if (end > start) parts.push_back(path.substr(start, end - start));
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    return parts;
}

std::string_view fileName(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Creates each missing folder along `path` from `from` on; `noLinks` refuses links.
FolderState makeChain(BackupFileSystem& files, std::string current, std::string_view rest, bool noLinks,
                      std::vector<std::string>* made)
{
    for (std::string_view part : components(rest)) {
        if (!current.empty() && current.back() != '/') current += '/';
        current += part;
        const EntryStatus here = files.linkStatus(current);
        if (here.kind == EntryKind::Symlink) {
            if (noLinks) return FolderState::Refused;
            if (files.status(current).kind == EntryKind::Directory) continue;
            return FolderState::Missing;
        }
        if (here.kind == EntryKind::Directory) continue;
        if (here.kind != EntryKind::Missing || !files.makeFolder(current)) return FolderState::Missing;
        if (made) made->push_back(current);
    }
    return FolderState::Ready;
}

} // namespace

RestoreTarget restoreTarget(std::string_view storedName, std::string_view destination, bool fullPath)
{
    RestoreTarget result;
    // A NUL would cut the path short at the system call; ".." would climb out.
    if (storedName.find('\0') != std::string_view::npos) result.refused = true;
    for (std::string_view part : components(storedName)) {
        if (part == "..") result.refused = true;
    }

    if (destination.empty()) {
        result.path = std::string(storedName);
        if (!storedName.starts_with('/')) result.refused = true;  // a stored path is absolute
    } else if (fullPath) {
        std::string_view relative = storedName;
        while (relative.starts_with('/')) relative.remove_prefix(1);
        result.path = std::string(destination) + std::string(relative);
    } else {
        result.path = std::string(destination) + std::string(fileName(storedName));
    }

    const std::string_view name = fileName(result.path);
    if (name.empty() || name == "." || name == "..") result.refused = true;
    return result;
}

FolderState prepareFolders(BackupFileSystem& files, std::string_view target, std::string_view destination,
                           std::vector<std::string>* made)
{
    const std::size_t slash = target.rfind('/');
    if (slash == std::string_view::npos) return FolderState::Ready;  // the current folder
    const std::string_view folder = target.substr(0, slash + 1);

    if (!destination.empty() && folder.starts_with(destination)) {
        // The destination itself is the user's choice and may be reached through links;
        // below it nothing may lead elsewhere.
        const FolderState base = makeChain(files, destination.starts_with('/') ? "/" : "", destination, false, made);
        if (base != FolderState::Ready) return base;
        std::string start(destination);
        return makeChain(files, start, folder.substr(destination.size()), true, made);
    }
    return makeChain(files, folder.starts_with('/') ? "/" : "", folder, false, made);
}

} // namespace mtl::backup
