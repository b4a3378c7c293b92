// Entry of miotlarz-cli: dispatches to its commands.
#include "commands.h"

#include <cstdio>
#include <string_view>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fprintf(stderr, "usage: miotlarz-cli scan|archive ARGS...\n");
        return 2;
    }
    const cli::Args rest{args.data() + 1, args.size() - 1};
    if (args[0] == "scan") return cli::scanCommand(rest);
    if (args[0] == "archive") return cli::archiveCommand(rest);
    std::fprintf(stderr, "miotlarz-cli: unknown command '%.*s'\n", int(args[0].size()), args[0].data());
    return 2;
}
