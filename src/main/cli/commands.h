// Commands of miotlarz-cli, the command-line tool on the same core as the program. Each takes
// the arguments after its name and returns the process exit status.
#pragma once

#include <span>
#include <string_view>

namespace cli {

using Args = std::span<const std::string_view>;

int scanCommand(Args args);     // miotlarz-cli scan ...
int archiveCommand(Args args);  // miotlarz-cli archive ...

} // namespace cli
