// Every file operation of the archive component goes through BackupFileSystem, so that a test
// can make any one of them fail (tests run as root, where permissions cannot make a file
// unreadable). The system implementation works on POSIX descriptors; the in-memory streams
// serve the owner's ReadStream and WriteStream and the tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mtl::backup {

enum class EntryKind { Missing, File, Directory, Symlink, Other };

struct EntryStatus {
    EntryKind kind = EntryKind::Missing;
    std::uint64_t size = 0;
    std::int32_t date = 0;  // MS-DOS packed date of the last write
    std::uint64_t device = 0, inode = 0;  // which file it is, whatever the path
    std::uint32_t mode = 0, owner = 0, group = 0;
    bool exists() const { return kind != EntryKind::Missing; }
};

struct FolderEntry {
    std::string name;
    EntryKind kind = EntryKind::Other;  // of the entry itself: a link is a Symlink
};

// Sequential reading (an archive volume, or ReadStream). Failures throw mtl::FileError.
class ReadableFile {
public:
    virtual ~ReadableFile() = default;
    // Fills `into` and returns its size; returns less only at the end of the data.
    virtual std::size_t read(std::span<unsigned char> into) = 0;
    // Moves forward; returns how far it moved, less than asked only at the end of the data.
    virtual std::uint64_t skip(std::uint64_t count) = 0;
    virtual std::uint64_t position() const = 0;
};

// Sequential writing (an archive volume, WriteStream, a file being restored). Writes may be
// buffered; flush() pushes them out. Failures throw mtl::FileError.
class WritableFile {
public:
    virtual ~WritableFile() = default;
    virtual void write(std::span<const unsigned char> bytes) = 0;
    virtual std::uint64_t position() const = 0;
    virtual void flush() = 0;

    void write(std::string_view bytes)
    {
        write(std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
    }
};

// A file being stored: its size and date as it was opened, and reading at an offset, which
// may run on several threads at once. Failures throw mtl::FileError.
class SourceFile {
public:
    virtual ~SourceFile() = default;
    virtual std::uint64_t size() const = 0;
    virtual std::int32_t date() const = 0;
    // Returns the bytes read; less than asked only at the end of the file.
    virtual std::size_t readAt(std::uint64_t offset, std::span<unsigned char> into) = 0;
};

// A restored file, written under a temporary name beside its target. commit() sets its date,
// closes it and renames it over the target, so whatever stood there (a symbolic link too) is
// replaced, never followed; without commit() the temporary file is removed and the target
// stays as it was.
class RestoredFile : public WritableFile {
public:
    virtual void commit(std::int32_t date) = 0;
};

class BackupFileSystem {
public:
    virtual ~BackupFileSystem() = default;

    virtual EntryStatus status(const std::filesystem::path& path) = 0;      // follows links
    virtual EntryStatus linkStatus(const std::filesystem::path& path) = 0;  // the entry itself
    // The entries of a folder (not "." and ".."); empty when it cannot be listed.
    virtual std::vector<FolderEntry> listFolder(const std::filesystem::path& folder) = 0;

    // Null when no file stands at the path (nothing, or a folder or other kind of entry),
    // so that opening is also the existence test; throws when a file is there but cannot be
    // opened.
    virtual std::unique_ptr<SourceFile> openSource(const std::filesystem::path& path) = 0;
    virtual std::unique_ptr<ReadableFile> openArchive(const std::filesystem::path& path) = 0;
    // Creates the file, replacing an existing one.
    virtual std::unique_ptr<WritableFile> createArchive(const std::filesystem::path& path) = 0;
    // A new file in the system temporary folder whose name begins with `prefix`, holding
    // `bytes`; returns its path.
    virtual std::filesystem::path writeTempFile(std::string_view prefix, std::string_view bytes) = 0;
    virtual bool removeFile(const std::filesystem::path& path) = 0;
    // Creates one folder; true when a folder stands at the path afterwards.
    virtual bool makeFolder(const std::filesystem::path& path) = 0;
    // `existing` is what stands at the target now (linkStatus), which the caller has already
    // looked at: a replaced file keeps its permissions.
    virtual std::unique_ptr<RestoredFile> createRestored(const std::filesystem::path& target,
                                                         const EntryStatus& existing) = 0;

    // The Windows archive attribute; Linux has none, so it is never set and clearing it
    // changes nothing.
    virtual bool archiveAttribute(const std::filesystem::path& path) = 0;
    virtual void clearArchiveAttribute(const std::filesystem::path& path) = 0;
};

// The real file system.
BackupFileSystem& systemFileSystem();

// An archive held in memory, for ReadStream.
class MemoryReadable final : public ReadableFile {
public:
    explicit MemoryReadable(std::string bytes) : m_bytes(std::move(bytes)) {}
    std::size_t read(std::span<unsigned char> into) override;
    std::uint64_t skip(std::uint64_t count) override;
    std::uint64_t position() const override { return m_position; }

private:
    std::string m_bytes;
    std::size_t m_position = 0;
};

// An archive written into memory, for WriteStream.
class MemoryWritable final : public WritableFile {
public:
    using WritableFile::write;
    void write(std::span<const unsigned char> bytes) override;
    std::uint64_t position() const override { return m_bytes.size(); }
    void flush() override {}
    const std::string& bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

} // namespace mtl::backup
