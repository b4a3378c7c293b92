// Temporary until the avi generator lands: writes an empty output so the build runs.
#include "commands.h"
#include <fstream>
#include <string>
namespace datagen {
int aviCommand(Args args) { std::ofstream(std::string(args.back())); return 0; }
}
