// Asynchronous playback of the program's WAV sounds. A missing file or sound device plays
// nothing and reports nothing.
#pragma once

#include <string>

namespace mtl {

class Sounds {
public:
    virtual ~Sounds() = default;
    virtual void play(const std::string& wavFile) = 0;
};

} // namespace mtl
