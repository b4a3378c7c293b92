// Entry of mtl-datagen: dispatches to one command per kind of shipped data.
#include "commands.h"

#include <cstdio>
#include <string_view>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fprintf(stderr, "usage: mtl-datagen lines|opisy|wav|avi ARGS...\n");
        return 2;
    }
    const std::string_view command = args.front();
    const datagen::Args rest{args.data() + 1, args.size() - 1};
    if (command == "lines") return datagen::linesCommand(rest);
    if (command == "opisy") return datagen::opisyCommand(rest);
    if (command == "wav") return datagen::wavCommand(rest);
    if (command == "avi") return datagen::aviCommand(rest);
    std::fprintf(stderr, "mtl-datagen: unknown command '%.*s'\n", int(command.size()), command.data());
    return 2;
}
