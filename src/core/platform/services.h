// The platform services a window is given. Everything the operating system provides reaches
// the program through these, so tests swap each for a double.
#pragma once

#include <filesystem>

namespace mtl {

class Registry;
class Dialogs;
class Shell;
class Sounds;
class Clock;
class EventPump;

struct Services {
    Registry& registry;
    Dialogs& dialogs;
    Shell& shell;
    Sounds& sounds;
    Clock& clock;
    EventPump& pump;
    std::filesystem::path programFolder;  // holds Filtry/, the sounds, the help page

    std::filesystem::path filtersFolder() const { return programFolder / "Filtry"; }
};

} // namespace mtl
