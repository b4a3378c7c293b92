// Replaced by the scan command's implementation.
#include "commands.h"
#include <cstdio>
namespace cli {
int scanCommand(Args) { std::fprintf(stderr, "miotlarz-cli: scan is not built yet\n"); return 2; }
}
