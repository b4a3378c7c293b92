// wav: the program's three sounds, synthesised as 16-bit mono PCM at 22050 Hz. Each sound is
// a few notes with their own envelopes, mixed, scaled to a comfortable level and faded in and
// out so that playback starts and ends without a click.
#include "commands.h"

#include "core/common/errors.h"
#include "core/common/fileio.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string>
#include <system_error>
#include <vector>

namespace datagen {
namespace {

constexpr int sampleRate = 22050;

enum class Timbre {
    Bell,    // a few soft harmonics that ring out
    Square,  // band-limited square wave: bright and insistent
};

struct Note {
    double start = 0;      // seconds
    double length = 0;     // seconds until the note is cut (with a short release)
    double frequency = 0;  // Hz
    double level = 1;
    Timbre timbre = Timbre::Bell;
    double decay = 0;      // seconds for the level to fall to 1/e; 0 keeps it steady
};

struct Sound {
    double length = 0;
    std::vector<Note> notes;
};

double waveform(Timbre timbre, double phase)
{
    switch (timbre) {
    case Timbre::Bell:
        return std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.08 * std::sin(3 * phase);
    case Timbre::Square:
        // Odd harmonics up to the seventh: square-like without aliasing at these pitches.
        return std::sin(phase) + std::sin(3 * phase) / 3 + std::sin(5 * phase) / 5 + std::sin(7 * phase) / 7;
    }
    return 0;
}

std::vector<double> render(const Sound& sound)
{
    std::vector<double> mix(std::size_t(std::lround(sound.length * sampleRate)), 0.0);
    constexpr double attack = 0.004, release = 0.008;
    for (const Note& note : sound.notes) {
        const auto first = std::size_t(std::lround(note.start * sampleRate));
        const auto count = std::size_t(std::lround(note.length * sampleRate));
        for (std::size_t i = 0; i < count && first + i < mix.size(); ++i) {
            const double t = double(i) / sampleRate;
            double envelope = note.level;
            if (note.decay > 0) envelope *= std::exp(-t / note.decay);
            envelope *= std::min({1.0, t / attack, (note.length - t) / release});
            mix[first + i] += envelope * waveform(note.timbre, 2 * std::numbers::pi * note.frequency * t);
        }
    }
    return mix;
}

std::string encodeWave(std::vector<double> mix)
{
    // Fade the whole sound in and out: whatever the notes do, the first and last samples
    // are silent.
    const std::size_t fadeIn = std::size_t(0.005 * sampleRate), fadeOut = std::size_t(0.015 * sampleRate);
    for (std::size_t i = 0; i < mix.size(); ++i) {
        double gain = 1.0;
        if (i < fadeIn) gain = double(i) / double(fadeIn);
        const std::size_t fromEnd = mix.size() - 1 - i;
        if (fromEnd < fadeOut) gain = std::min(gain, double(fromEnd) / double(fadeOut));
        mix[i] *= gain;
    }
    double peak = 0;
    for (double v : mix) peak = std::max(peak, std::fabs(v));
    const double scale = peak > 0 ? 0.7 * 32767 / peak : 0;

    const std::uint32_t dataBytes = std::uint32_t(mix.size() * 2);
    std::string out;
    auto u32 = [&out](std::uint32_t v) { for (int i = 0; i < 4; ++i) out += char((v >> (8 * i)) & 0xFF); };
    auto u16 = [&out](std::uint16_t v) { out += char(v & 0xFF); out += char(v >> 8); };
    out += "RIFF";
    u32(36 + dataBytes);
    out += "WAVE";
    out += "fmt ";
    u32(16);
    u16(1);                   // PCM
    u16(1);                   // mono
    u32(sampleRate);
    u32(sampleRate * 2);      // bytes per second
    u16(2);                   // bytes per sample frame
    u16(16);                  // bits per sample
    out += "data";
    u32(dataBytes);
    for (double v : mix) u16(std::uint16_t(std::int16_t(std::lround(std::clamp(v * scale, -32767.0, 32767.0)))));
    return out;
}

bool soundNamed(std::string_view name, Sound& sound)
{
    if (name == "start") {
        // Scan start: a rising fifth, E5 then B5, like a bright doorbell.
        sound = {0.30, {{0.00, 0.30, 659.25, 1.0, Timbre::Bell, 0.10},
                        {0.11, 0.19, 987.77, 0.9, Timbre::Bell, 0.09}}};
        return true;
    }
    if (name == "gotowe") {
        // Finished: a C major triad played upwards, the last note left to ring.
        sound = {0.50, {{0.00, 0.50, 523.25, 0.9, Timbre::Bell, 0.12},
                        {0.14, 0.36, 659.25, 0.9, Timbre::Bell, 0.12},
                        {0.28, 0.22, 783.99, 1.0, Timbre::Bell, 0.14}}};
        return true;
    }
    if (name == "alert") {
        // Risk alert: two short, hard beeps, the second a little higher.
        sound = {0.40, {{0.00, 0.15, 1046.50, 1.0, Timbre::Square, 0.0},
                        {0.22, 0.15, 1174.66, 1.0, Timbre::Square, 0.0}}};
        return true;
    }
    return false;
}

} // namespace

int wavCommand(Args args)
{
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: mtl-datagen wav start|gotowe|alert OUT\n");
        return 2;
    }
    Sound sound;
    if (!soundNamed(args[0], sound)) {
        std::fprintf(stderr, "mtl-datagen wav: unknown sound '%.*s' (known: start, gotowe, alert)\n",
                     int(args[0].size()), args[0].data());
        return 2;
    }
    try {
        const std::filesystem::path out(args[1]);
        std::error_code error;
        if (out.has_parent_path()) std::filesystem::create_directories(out.parent_path(), error);
        if (error) {
            std::fprintf(stderr, "mtl-datagen wav: %s: %s\n", out.parent_path().c_str(), error.message().c_str());
            return 1;
        }
        mtl::writeFileAtomic(out, encodeWave(render(sound)));
        return 0;
    } catch (const mtl::Error& error) {
        std::fprintf(stderr, "mtl-datagen wav: %s\n", error.what());
        return 1;
    }
}

} // namespace datagen
