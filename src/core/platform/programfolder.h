// Where the program's files are: the program folder (the folder of the executable, or the one
// MIOTLARZ_HOME names) and the per-user data folder.
#pragma once

#include <filesystem>

namespace mtl {

// MIOTLARZ_HOME when set and not empty, otherwise the folder of the running executable.
std::filesystem::path programFolder();
// The user's home folder (HOME, or the password database).
std::filesystem::path homeFolder();
// `$XDG_DATA_HOME/Miotlarz`, `~/.local/share/Miotlarz` when the variable is unset.
std::filesystem::path userDataFolder();

// A folder text as the program keeps it: ending with '/'.
std::string withTrailingSlash(std::string folder);

} // namespace mtl
