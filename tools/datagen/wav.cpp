// Temporary until the wav generator lands: writes an empty output so the build runs.
#include "commands.h"
#include <fstream>
#include <string>
namespace datagen {
int wavCommand(Args args) { std::ofstream(std::string(args.back())); return 0; }
}
