// Commands of the build-time data generator. Each turns a readable source (or nothing, for
// synthesised media) into the file the program ships; each returns a process exit status and
// prints its own error on standard error.
#pragma once

#include <filesystem>
#include <span>
#include <string_view>

namespace datagen {

using Args = std::span<const std::string_view>;

// lines SRC OUT: a line list source (any line ends) written with CR LF after every entry.
int linesCommand(Args args);
// opisy SRC OUT: the descriptions list source (UTF-8) written as the binary object stream.
int opisyCommand(Args args);
// wav NAME OUT: one of the program's sounds (start, gotowe, alert), synthesised.
int wavCommand(Args args);
// avi OUT: the scanning animation (8 frames of 38 x 33 pixels, 60 ms a frame).
int aviCommand(Args args);

} // namespace datagen
