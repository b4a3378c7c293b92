#include "core/backup/backupfs.h"

#include "core/backup/archiveformat.h"
#include "core/common/errors.h"
#include "core/common/fileio.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <atomic>
#include <sys/stat.h>
#include <unistd.h>

namespace mtl::backup {
namespace fs = std::filesystem;
namespace {

constexpr std::size_t kIoBufferSize = 256 * 1024;
// Most restored files are small; a buffer below the allocator's mapping threshold is reused
// from file to file instead of being mapped and unmapped each time.
constexpr std::size_t kRestoreBufferSize = 64 * 1024;

[[noreturn]] void fail(std::string_view what, const fs::path& file, int err)
{
    throw FileError(fileErrorText(what, file, err));
}

// Closes a POSIX descriptor when it goes out of scope.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(Descriptor&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_fd = other.m_fd;
            other.m_fd = -1;
        }
        return *this;
    }
    int get() const { return m_fd; }
    void reset()
    {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }
    // Closes and reports the result, so a failed write-back is not lost.
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd = -1;
};

EntryKind kindOf(mode_t mode)
{
    if (S_ISREG(mode)) return EntryKind::File;
    if (S_ISDIR(mode)) return EntryKind::Directory;
    if (S_ISLNK(mode)) return EntryKind::Symlink;
    return EntryKind::Other;
}

EntryStatus statusFrom(const struct stat& st)
{
    return {kindOf(st.st_mode), static_cast<std::uint64_t>(st.st_size), packDosDate(st.st_mtime),
            static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::uint32_t>(st.st_mode), static_cast<std::uint32_t>(st.st_uid),
            static_cast<std::uint32_t>(st.st_gid)};
}

// Opens a regular file for reading. Other kinds are refused before they can block (a FIFO
// would wait for a writer) or fail later.
Descriptor openRegular(const fs::path& path, struct stat& st)
{
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) fail("Nie można otworzyć pliku", path, errno);
    if (::fstat(fd.get(), &st) != 0) fail("Nie można otworzyć pliku", path, errno);
    if (!S_ISREG(st.st_mode)) fail("Nie można otworzyć pliku", path, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    return fd;
}

void writeAll(int fd, const unsigned char* data, std::size_t size, const fs::path& path)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("Nie można zapisać pliku", path, errno);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

class SystemSource final : public SourceFile {
public:
    SystemSource(const fs::path& path, Descriptor fd, const struct stat& st)
        : m_path(path), m_fd(std::move(fd)), m_size(static_cast<std::uint64_t>(st.st_size)),
          m_date(packDosDate(st.st_mtime))
    {
    }
    std::uint64_t size() const override { return m_size; }
    std::int32_t date() const override { return m_date; }
    std::size_t readAt(std::uint64_t offset, std::span<unsigned char> into) override
    {
        std::size_t done = 0;
        while (done < into.size()) {
            const ssize_t n = ::pread(m_fd.get(), into.data() + done, into.size() - done,
                                      static_cast<off_t>(offset + done));
            if (n < 0) {
                if (errno == EINTR) continue;
                fail("Nie można odczytać pliku", m_path, errno);
            }
            if (n == 0) break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

private:
    fs::path m_path;
    Descriptor m_fd;
    std::uint64_t m_size = 0;
    std::int32_t m_date = 0;
};

class SystemArchiveReader final : public ReadableFile {
public:
    explicit SystemArchiveReader(const fs::path& path) : m_path(path), m_buffer(kIoBufferSize)
    {
        struct stat st {};
        m_fd = openRegular(path, st);
        m_size = static_cast<std::uint64_t>(st.st_size);
    }
    std::size_t read(std::span<unsigned char> into) override
    {
        std::size_t done = 0;
        while (done < into.size()) {
            if (m_begin == m_end && !fill()) break;
            const std::size_t n = std::min(into.size() - done, m_end - m_begin);
            std::memcpy(into.data() + done, m_buffer.data() + m_begin, n);
            m_begin += n;
            done += n;
        }
        m_position += done;
        return done;
    }
    std::uint64_t skip(std::uint64_t count) override
    {
        const std::uint64_t buffered = m_end - m_begin;
        if (count <= buffered) {
            m_begin += count;
            m_position += count;
            return count;
        }
        const std::uint64_t fileOffset = m_position + buffered;  // where the descriptor stands
        const std::uint64_t target = std::min(m_position + count, std::max(m_size, fileOffset));
        if (::lseek(m_fd.get(), static_cast<off_t>(target), SEEK_SET) < 0) fail("Nie można odczytać pliku", m_path, errno);
        m_begin = m_end = 0;
        const std::uint64_t moved = target - m_position;
        m_position = target;
        return moved;
    }
    std::uint64_t position() const override { return m_position; }

private:
    bool fill()
    {
        for (;;) {
            const ssize_t n = ::read(m_fd.get(), m_buffer.data(), m_buffer.size());
            if (n < 0) {
                if (errno == EINTR) continue;
                fail("Nie można odczytać pliku", m_path, errno);
            }
            m_begin = 0;
            m_end = static_cast<std::size_t>(n);
            return n > 0;
        }
    }

    fs::path m_path;
    Descriptor m_fd;
    std::vector<unsigned char> m_buffer;
    std::size_t m_begin = 0, m_end = 0;
    std::uint64_t m_position = 0;
    std::uint64_t m_size = 0;
};

// Buffered writing to a descriptor; the owner closes or discards.
class BufferedWriter {
public:
    BufferedWriter(fs::path path, std::size_t capacity) : m_path(std::move(path)), m_capacity(capacity) {}
    void write(int fd, std::span<const unsigned char> bytes)
    {
        if (m_buffer.size() + bytes.size() > m_capacity) {
            flush(fd);
            if (bytes.size() >= m_capacity) {
                writeAll(fd, bytes.data(), bytes.size(), m_path);
                m_position += bytes.size();
                return;
            }
        }
        if (m_buffer.capacity() == 0) m_buffer.reserve(m_capacity);
        m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
        m_position += bytes.size();
    }
    void flush(int fd)
    {
        if (m_buffer.empty()) return;
        try {
            writeAll(fd, m_buffer.data(), m_buffer.size(), m_path);
        } catch (...) {
            m_buffer.clear();  // what did not get out is lost either way; the error says so
            throw;
        }
        m_buffer.clear();
    }
    std::uint64_t position() const { return m_position; }

private:
    fs::path m_path;
    std::size_t m_capacity;
    std::vector<unsigned char> m_buffer;
    std::uint64_t m_position = 0;
};

class SystemArchiveWriter final : public WritableFile {
public:
    explicit SystemArchiveWriter(const fs::path& path) : m_writer(path, kIoBufferSize)
    {
        m_fd = Descriptor(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
        if (m_fd.get() < 0) fail("Nie można utworzyć pliku", path, errno);
    }
    ~SystemArchiveWriter() override
    {
        try {
            m_writer.flush(m_fd.get());
        } catch (const FileError&) {
            // The owner flushes before it lets go of a volume it wants complete.
        }
    }
    void write(std::span<const unsigned char> bytes) override { m_writer.write(m_fd.get(), bytes); }
    std::uint64_t position() const override { return m_writer.position(); }
    void flush() override { m_writer.flush(m_fd.get()); }

private:
    BufferedWriter m_writer;
    Descriptor m_fd;
};

class SystemRestoredFile final : public RestoredFile {
public:
    SystemRestoredFile(const fs::path& target, const EntryStatus& existing)
        : m_target(target), m_writer(target, kRestoreBufferSize)
    {
        // A name of our own, created exclusively with the usual permissions of a new file
        // (the creation mask applies), so no random source and no extra call are needed.
        static std::atomic<unsigned> counter{0};
        static const pid_t processId = ::getpid();
        const std::string folder = target.parent_path().string();
        for (int attempt = 0; attempt < 100 && m_fd.get() < 0; ++attempt) {
            m_temp = (folder.empty() ? std::string() : folder + "/") + ".mtl-restore-" + std::to_string(processId)
                + "-" + std::to_string(counter++);
            m_fd = Descriptor(::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
            if (m_fd.get() < 0 && errno != EEXIST) break;
        }
        if (m_fd.get() < 0) fail("Nie można utworzyć pliku", target, errno);
        // A replaced file keeps its permissions (and, when we may, its owner).
        if (existing.kind == EntryKind::File) {
            ::fchmod(m_fd.get(), existing.mode & 07777);
            if (::geteuid() == 0 && ::fchown(m_fd.get(), existing.owner, existing.group) != 0) {
                // Keeping the owner is a courtesy; the restored content matters more.
            }
        }
    }
    ~SystemRestoredFile() override
    {
        if (!m_committed) {
            m_fd.reset();
            ::unlink(m_temp.c_str());
        }
    }
    void write(std::span<const unsigned char> bytes) override { m_writer.write(m_fd.get(), bytes); }
    std::uint64_t position() const override { return m_writer.position(); }
    void flush() override { m_writer.flush(m_fd.get()); }
    void commit(std::int32_t date) override
    {
        m_writer.flush(m_fd.get());
        if (const auto when = unpackDosDate(date)) {
            const struct timespec times[2] = {{0, UTIME_OMIT}, {*when, 0}};
            ::futimens(m_fd.get(), times);
        }
        if (m_fd.close() != 0) fail("Nie można zapisać pliku", m_target, errno);
        if (::rename(m_temp.c_str(), m_target.c_str()) != 0) fail("Nie można zapisać pliku", m_target, errno);
        m_committed = true;
    }

private:
    fs::path m_target;
    fs::path m_temp;
    BufferedWriter m_writer;
    Descriptor m_fd;
    bool m_committed = false;
};

class SystemFileSystem final : public BackupFileSystem {
public:
    EntryStatus status(const fs::path& path) override
    {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) return {};
        return statusFrom(st);
    }
    EntryStatus linkStatus(const fs::path& path) override
    {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) return {};
        return statusFrom(st);
    }
    std::vector<FolderEntry> listFolder(const fs::path& folder) override
    {
        std::vector<FolderEntry> entries;
        std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()), ::closedir);
        if (!dir) return entries;
        while (const dirent* entry = ::readdir(dir.get())) {
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..") continue;
            EntryKind kind = EntryKind::Other;
            switch (entry->d_type) {
            case DT_REG: kind = EntryKind::File; break;
            case DT_DIR: kind = EntryKind::Directory; break;
            case DT_LNK: kind = EntryKind::Symlink; break;
            case DT_UNKNOWN: {
                struct stat st {};
                if (::fstatat(::dirfd(dir.get()), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) kind = kindOf(st.st_mode);
                break;
            }
            default: break;
            }
            entries.push_back({std::string(name), kind});
        }
        return entries;
    }
    std::unique_ptr<SourceFile> openSource(const fs::path& path) override
    {
        Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        if (fd.get() < 0) {
            if (errno == ENOENT || errno == ENOTDIR) return nullptr;
            fail("Nie można otworzyć pliku", path, errno);
        }
        struct stat st {};
        if (::fstat(fd.get(), &st) != 0) fail("Nie można otworzyć pliku", path, errno);
        // O_NONBLOCK kept a FIFO from waiting; on a regular file it changes nothing.
        if (!S_ISREG(st.st_mode)) return nullptr;
        return std::make_unique<SystemSource>(path, std::move(fd), st);
    }
    std::unique_ptr<ReadableFile> openArchive(const fs::path& path) override
    {
        return std::make_unique<SystemArchiveReader>(path);
    }
    std::unique_ptr<WritableFile> createArchive(const fs::path& path) override
    {
        return std::make_unique<SystemArchiveWriter>(path);
    }
    fs::path writeTempFile(std::string_view prefix, std::string_view bytes) override
    {
        std::error_code ec;
        fs::path folder = fs::temp_directory_path(ec);
        if (ec) folder = "/tmp";
        std::string pattern = (folder / (std::string(prefix) + "XXXXXX")).string();
        Descriptor fd(::mkostemp(pattern.data(), O_CLOEXEC));
        if (fd.get() < 0) fail("Nie można utworzyć pliku", pattern, errno);
        try {
            writeAll(fd.get(), reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), pattern);
            if (fd.close() != 0) fail("Nie można zapisać pliku", pattern, errno);
        } catch (...) {
            ::unlink(pattern.c_str());
            throw;
        }
        return pattern;
    }
    bool removeFile(const fs::path& path) override { return ::unlink(path.c_str()) == 0; }
    bool makeFolder(const fs::path& path) override
    {
        if (::mkdir(path.c_str(), 0777) == 0) return true;
        struct stat st {};
        return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    std::unique_ptr<RestoredFile> createRestored(const fs::path& target, const EntryStatus& existing) override
    {
        return std::make_unique<SystemRestoredFile>(target, existing);
    }
    bool archiveAttribute(const fs::path&) override { return false; }
    void clearArchiveAttribute(const fs::path&) override {}
};

} // namespace

BackupFileSystem& systemFileSystem()
{
    static SystemFileSystem instance;
    return instance;
}

std::size_t MemoryReadable::read(std::span<unsigned char> into)
{
    const std::size_t n = std::min(into.size(), m_bytes.size() - m_position);
    std::memcpy(into.data(), m_bytes.data() + m_position, n);
    m_position += n;
    return n;
}

std::uint64_t MemoryReadable::skip(std::uint64_t count)
{
    const std::uint64_t n = std::min<std::uint64_t>(count, m_bytes.size() - m_position);
    m_position += static_cast<std::size_t>(n);
    return n;
}

void MemoryWritable::write(std::span<const unsigned char> bytes)
{
    m_bytes.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

} // namespace mtl::backup
