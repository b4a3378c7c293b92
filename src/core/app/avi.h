// The scanning animation: a small uncompressed AVI (RIFF) file. The build tool writes it and
// the animation control reads its frames back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mtl {

struct AviAnimation {
    int width = 0;
    int height = 0;
    int frameMs = 0;                           // display time of one frame
    std::vector<std::vector<std::uint32_t>> frames;  // 0xAARRGGBB, rows top to bottom
};

std::string writeAvi(const AviAnimation& animation);
// Throws Error when the bytes are not an uncompressed 24- or 32-bit AVI this reader knows.
AviAnimation parseAvi(std::string_view bytes);

} // namespace mtl
