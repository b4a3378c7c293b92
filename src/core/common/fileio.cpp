#include "core/common/fileio.h"

#include "core/common/errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mtl {
namespace {

// Closes a POSIX descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { if (m_fd >= 0) ::close(m_fd); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    int release() { int fd = m_fd; m_fd = -1; return fd; }
private:
    int m_fd;
};

} // namespace

std::string fileErrorText(std::string_view what, const std::filesystem::path& file, int errnoValue)
{
    std::string text(what);
    text += " \"";
    text += file.string();
    text += "\".";
    if (errnoValue != 0) {
        text += '\n';
        text += std::strerror(errnoValue);
    }
    return text;
}

std::string readFileBytes(const std::filesystem::path& file)
{
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) throw FileError(fileErrorText("Nie można otworzyć pliku", file, errno));
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw FileError(fileErrorText("Nie można odczytać pliku", file, errno));
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

void writeFileAtomic(const std::filesystem::path& file, std::string_view bytes)
{
    std::string tempName = file.string() + ".tmp-XXXXXX";
    FileDescriptor fd(::mkstemp(tempName.data()));
    if (fd.get() < 0) throw FileError(fileErrorText("Nie można zapisać pliku", file, errno));
    auto fail = [&](int err) {
        ::unlink(tempName.c_str());
        throw FileError(fileErrorText("Nie można zapisać pliku", file, err));
    };
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    // mkstemp creates the file private to the user; the program's files are ordinary ones.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd.get(), 0666 & ~mask);
    if (::fsync(fd.get()) != 0) fail(errno);
    if (::close(fd.release()) != 0) fail(errno);
    if (::rename(tempName.c_str(), file.c_str()) != 0) fail(errno);
}

} // namespace mtl
