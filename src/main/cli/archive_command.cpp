// Replaced by the archive command's implementation.
#include "commands.h"
#include <cstdio>
namespace cli {
int archiveCommand(Args) { std::fprintf(stderr, "miotlarz-cli: archive is not built yet\n"); return 2; }
}
