// How the search engine lists folders: entries in the order the file system returns them,
// the folder bit straight from the listing, and the status of an entry (lstat, never
// following a link) only when asked for. The engine takes the lister as an interface so that
// tests can make chosen folders fail as a folder the user may not read does.
//
// Threads: the engine opens and reads listings on a helper thread, one listing read at a time
// and each to its end before the next is opened; a listing that has been read stays open for
// status() calls from the walking thread until it is destroyed there.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mtl {

enum class EntryType : std::uint8_t {
    Unknown,  // the file system did not say; ask for the status
    Folder,
    Link,     // a symbolic link, whatever it points to
    Other,    // a regular file, a device, a pipe, a socket
};

struct DirEntry {
    std::string_view name;
    const char* cname = nullptr;  // the same, NUL-terminated
    EntryType type = EntryType::Unknown;
};

struct EntryStatus {
    std::uint32_t mode = 0;  // st_mode: type and permission bits
    std::int64_t size = 0;
    timespec accessTime{};
    timespec modifyTime{};
    timespec changeTime{};
    timespec birthTime{};  // the status change time where the file system keeps no birth time
    bool hasBirthTime = false;
};

// One open folder. Destroying it closes it.
class DirectoryListing {
public:
    virtual ~DirectoryListing() = default;
    // The next entry ("." and ".." included, as the system gives them); false at the end of
    // the listing or when it broke off (then error() tells why). The entry's texts stay
    // valid until the next call.
    virtual bool next(DirEntry& entry) = 0;
    // 0, or the errno of a listing that broke off before its end.
    virtual int error() const = 0;
    // The status of the entry `name` of this folder, the entry itself when it is a link.
    // False when it cannot be had (the entry vanished in the meantime).
    virtual bool status(const char* name, EntryStatus& out) = 0;
};

class DirectoryLister {
public:
    virtual ~DirectoryLister() = default;
    // Opens `path` for listing, or gives null and the errno that says why the folder cannot
    // be listed. With `followLink` false a symbolic link as the last part of the path is
    // refused (ELOOP) instead of followed.
    virtual std::unique_ptr<DirectoryListing> open(const std::string& path, bool followLink, int& error) = 0;
};

// The real one: open(O_DIRECTORY), getdents64 into one buffer shared by its listings (only
// one is read at a time), statx relative to the open folder.
class SystemDirectoryLister final : public DirectoryLister {
public:
    SystemDirectoryLister();
    std::unique_ptr<DirectoryListing> open(const std::string& path, bool followLink, int& error) override;

private:
    std::vector<char> m_buffer;
};

} // namespace mtl
