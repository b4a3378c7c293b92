// Temporary until the opisy generator lands: writes an empty output so the build runs.
#include "commands.h"
#include <fstream>
#include <string>
namespace datagen {
int opisyCommand(Args args) { std::ofstream(std::string(args.back())); return 0; }
}
