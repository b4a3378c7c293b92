// What an installer would have written for a new user account: the settings of the window's
// design state, zero statistics, the auto-ignore threshold and a backup and a log folder
// under the user's data folder (created on the way).
#pragma once

#include <filesystem>

namespace mtl {

class Registry;

// True when the account has no stored settings yet (no `Ustawienia` key).
bool isFirstStart(const Registry& registry);
// Writes the first-start settings. Throws RegistryError when the store cannot be written.
void writeFirstStartSettings(Registry& registry, const std::filesystem::path& dataFolder);

} // namespace mtl
