#include "core/scan/directorylister.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mtl {

namespace {

// The record getdents64 writes (the kernel's struct linux_dirent64).
struct KernelDirent {
    std::uint64_t inode;
    std::int64_t offset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

// Large enough for a few hundred entries per call; folders of a typical tree fit in one.
constexpr std::size_t bufferSize = 32 * 1024;

EntryType typeOf(unsigned char type)
{
    switch (type) {
    case DT_DIR: return EntryType::Folder;
    case DT_LNK: return EntryType::Link;
    case DT_UNKNOWN: return EntryType::Unknown;
    default: return EntryType::Other;
    }
}

timespec toTimespec(const struct statx_timestamp& stamp) { return timespec{stamp.tv_sec, long(stamp.tv_nsec)}; }

class SystemListing final : public DirectoryListing {
public:
    SystemListing(int fd, std::vector<char>& buffer) : m_fd(fd), m_buffer(buffer) {}
    ~SystemListing() override { ::close(m_fd); }
    SystemListing(const SystemListing&) = delete;
    SystemListing& operator=(const SystemListing&) = delete;

    bool next(DirEntry& entry) override
    {
        if (m_position >= m_end) {
            if (m_finished) return false;
            const ssize_t read = ::getdents64(m_fd, m_buffer.data(), m_buffer.size());
            if (read <= 0) {
                if (read < 0) m_error = errno;
                m_finished = true;
                return false;
            }
            m_position = 0;
            m_end = std::size_t(read);
        }
        const auto* record = reinterpret_cast<const KernelDirent*>(m_buffer.data() + m_position);
        m_position += record->length;
        entry.cname = record->name;
        entry.name = std::string_view(record->name, std::strlen(record->name));
        entry.type = typeOf(record->type);
        return true;
    }

    int error() const override { return m_error; }

    bool status(const char* name, EntryStatus& out) override
    {
        struct statx buffer;
        const unsigned wanted = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME |
                                STATX_CTIME | STATX_BTIME;
        if (::statx(m_fd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, wanted, &buffer) != 0) return false;
        out.mode = buffer.stx_mode;
        out.size = std::int64_t(buffer.stx_size);
        out.accessTime = toTimespec(buffer.stx_atime);
        out.modifyTime = toTimespec(buffer.stx_mtime);
        out.changeTime = toTimespec(buffer.stx_ctime);
        out.hasBirthTime = (buffer.stx_mask & STATX_BTIME) != 0;
        out.birthTime = out.hasBirthTime ? toTimespec(buffer.stx_btime) : out.changeTime;
        return true;
    }

private:
    int m_fd;
    std::vector<char>& m_buffer;
    std::size_t m_position = 0;
    std::size_t m_end = 0;
    int m_error = 0;
    bool m_finished = false;
};

} // namespace

SystemDirectoryLister::SystemDirectoryLister() : m_buffer(bufferSize) {}

std::unique_ptr<DirectoryListing> SystemDirectoryLister::open(const std::string& path, bool followLink, int& error)
{
    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (!followLink) flags |= O_NOFOLLOW;
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    error = 0;
    return std::make_unique<SystemListing>(fd, m_buffer);
}

} // namespace mtl
