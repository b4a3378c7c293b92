// lines: a line list source from the repository (LF or any other line ends) written as the
// program writes line lists, with CR LF after every entry.
#include "commands.h"

#include "core/common/errors.h"
#include "core/common/linelist.h"

#include <cstdio>
#include <filesystem>

namespace datagen {

int linesCommand(Args args)
{
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: mtl-datagen lines SRC OUT\n");
        return 2;
    }
    try {
        const std::filesystem::path out(args[1]);
        std::filesystem::create_directories(out.parent_path());
        mtl::writeLineList(out, mtl::readLineList(std::filesystem::path(args[0]), mtl::LineText::Bytes));
        return 0;
    } catch (const mtl::Error& error) {
        std::fprintf(stderr, "mtl-datagen lines: %s\n", error.what());
        return 1;
    }
}

} // namespace datagen
