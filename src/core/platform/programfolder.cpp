#include "core/platform/programfolder.h"

#include <cstdlib>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace mtl {

std::filesystem::path programFolder()
{
    if (const char* home = std::getenv("MIOTLARZ_HOME"); home && *home) return std::filesystem::path(home);
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return exe.parent_path();
    return std::filesystem::current_path(ec);
}

std::filesystem::path homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home) return std::filesystem::path(home);
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "/";
}

std::filesystem::path userDataFolder()
{
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return std::filesystem::path(data) / "Miotlarz";
    return homeFolder() / ".local" / "share" / "Miotlarz";
}

std::string withTrailingSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

} // namespace mtl
