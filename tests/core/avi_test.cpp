// The scanning animation's AVI writer and reader, the shipped animation and the shipped sounds.
#include "core/app/avi.h"
#include "core/common/errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using mtl::AviAnimation;

std::uint32_t u32(const std::string& bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | std::uint8_t(bytes.at(at + std::size_t(i)));
    return v;
}

std::uint16_t u16(const std::string& bytes, std::size_t at)
{
    return std::uint16_t(std::uint8_t(bytes.at(at)) | std::uint8_t(bytes.at(at + 1)) << 8);
}

void put32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out += char((v >> (8 * i)) & 0xFF);
}

void put16(std::string& out, std::uint16_t v)
{
    out += char(v & 0xFF);
    out += char(v >> 8);
}

std::string chunk(const std::string& id, const std::string& data)
{
    std::string out = id;
    put32(out, std::uint32_t(data.size()));
    out += data;
    if (data.size() % 2) out += '\0';
    return out;
}

std::string list(const std::string& type, const std::string& contents)
{
    return chunk("LIST", type + contents);
}

std::optional<std::string> readFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Colours that differ per frame, row and column, so any mix-up of rows, columns, channels
// or frames shows.
AviAnimation sampleAnimation(int width, int height, int frames, int frameMs)
{
    AviAnimation a;
    a.width = width;
    a.height = height;
    a.frameMs = frameMs;
    for (int f = 0; f < frames; ++f) {
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(0xFF000000u | std::uint32_t(x * 7 + f * 50) % 256 << 16
                                 | std::uint32_t(y * 11 + f * 3) % 256 << 8 | std::uint32_t(x + y + f * 90) % 256);
        a.frames.push_back(pixels);
    }
    return a;
}

// An AVI put together independently of the writer, with every field the reader looks at
// open to change, so the reader is tested against files the writer would never produce.
struct AviLayout {
    std::int32_t width = 3;
    std::int32_t height = 2;  // negative: rows top-down
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t microSecPerFrame = 60000;
    std::uint32_t scale = 60;
    std::uint32_t rate = 1000;
    std::string streamType = "vids";
    int frameCount = 2;
    std::optional<std::size_t> frameBytes;  // overrides the frame chunk size
    bool inRecordLists = false;
    bool audioStreamFirst = false;
    std::uint8_t fill = 0x40;  // each frame's bytes: fill + frame number
};

std::size_t strideOf(const AviLayout& s)
{
    return std::size_t((std::int64_t(s.width) * s.bitCount + 31) / 32 * 4);
}

std::string buildAvi(const AviLayout& s)
{
    std::string avih;
    put32(avih, s.microSecPerFrame);
    for (int i = 0; i < 3; ++i) put32(avih, 0);
    put32(avih, std::uint32_t(s.frameCount));
    put32(avih, 0);
    put32(avih, s.audioStreamFirst ? 2 : 1);
    put32(avih, 0);
    put32(avih, std::uint32_t(s.width));
    put32(avih, std::uint32_t(s.height < 0 ? -s.height : s.height));
    for (int i = 0; i < 4; ++i) put32(avih, 0);

    auto streamHeader = [&](const std::string& type) {
        std::string strh = type + "DIB ";
        put32(strh, 0);
        put32(strh, 0);
        put32(strh, 0);
        put32(strh, s.scale);
        put32(strh, s.rate);
        for (int i = 0; i < 5; ++i) put32(strh, 0);
        for (int i = 0; i < 4; ++i) put16(strh, 0);
        return chunk("strh", strh);
    };
    std::string strf;
    put32(strf, 40);
    put32(strf, std::uint32_t(s.width));
    put32(strf, std::uint32_t(s.height));
    put16(strf, 1);
    put16(strf, s.bitCount);
    put32(strf, s.compression);
    for (int i = 0; i < 5; ++i) put32(strf, 0);

    std::string audio;
    if (s.audioStreamFirst) {
        std::string wave(16, '\1');
        audio = list("strl", streamHeader("auds") + chunk("strf", wave));
    }
    const std::string hdrl =
        list("hdrl", chunk("avih", avih) + audio + list("strl", streamHeader(s.streamType) + chunk("strf", strf)));

    const std::size_t rows = std::size_t(s.height < 0 ? -std::int64_t(s.height) : s.height);
    const std::size_t frameBytes = s.frameBytes.value_or(strideOf(s) * rows);
    const std::string id = s.audioStreamFirst ? "01db" : "00db";
    std::string movi;
    for (int f = 0; f < s.frameCount; ++f) {
        std::string frame = chunk(id, std::string(frameBytes, char(s.fill + f)));
        if (s.audioStreamFirst) frame = chunk("00wb", "sound!") + frame;
        movi += s.inRecordLists ? list("rec ", frame) : frame;
    }
    std::string riff = "AVI " + hdrl + chunk("JUNK", "padding") + list("movi", movi);
    return chunk("RIFF", riff);
}

TEST(AviTest, RoundTripKeepsEveryPixelAndTheFrameTime)
{
    // Odd widths need row padding; 38 x 33 is the size the program ships.
    for (auto [width, height] : {std::pair{1, 1}, {5, 3}, {4, 2}, {38, 33}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const AviAnimation original = sampleAnimation(width, height, 3, 60);
        const AviAnimation back = mtl::parseAvi(mtl::writeAvi(original));
        EXPECT_EQ(back.width, width);
        EXPECT_EQ(back.height, height);
        EXPECT_EQ(back.frameMs, 60);
        EXPECT_EQ(back.frames, original.frames);
    }
}

TEST(AviTest, WrittenFileHasTheStandardLayout)
{
    // 5 x 2 pixels: rows of 15 bytes padded to 16, two frames.
    const AviAnimation a = sampleAnimation(5, 2, 2, 60);
    const std::string bytes = mtl::writeAvi(a);

    ASSERT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(u32(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(bytes.substr(8, 4), "AVI ");
    EXPECT_EQ(bytes.substr(12, 4), "LIST");
    EXPECT_EQ(bytes.substr(20, 4), "hdrl");
    ASSERT_EQ(bytes.substr(24, 4), "avih");
    EXPECT_EQ(u32(bytes, 28), 56u);
    EXPECT_EQ(u32(bytes, 32), 60000u);        // microseconds per frame
    EXPECT_EQ(u32(bytes, 32 + 16), 2u);       // total frames
    EXPECT_EQ(u32(bytes, 32 + 24), 1u);       // streams
    EXPECT_EQ(u32(bytes, 32 + 32), 5u);       // width
    EXPECT_EQ(u32(bytes, 32 + 36), 2u);       // height

    const std::size_t strh = bytes.find("strh");
    ASSERT_NE(strh, std::string::npos);
    EXPECT_EQ(bytes.substr(strh + 8, 4), "vids");
    const std::size_t strf = bytes.find("strf");
    ASSERT_NE(strf, std::string::npos);
    EXPECT_EQ(u32(bytes, strf + 8), 40u);                    // biSize
    EXPECT_EQ(std::int32_t(u32(bytes, strf + 16)), 2);       // positive height: bottom-up
    EXPECT_EQ(u16(bytes, strf + 22), 24);                    // bit count
    EXPECT_EQ(u32(bytes, strf + 24), 0u);                    // BI_RGB

    // The first frame's data starts with the bottom row, blue first, padded to 16 bytes.
    const std::size_t movi = bytes.find("movi");
    ASSERT_NE(movi, std::string::npos);
    const std::size_t frame = movi + 4;
    ASSERT_EQ(bytes.substr(frame, 4), "00db");
    ASSERT_EQ(u32(bytes, frame + 4), 32u);
    const std::uint32_t bottomLeft = a.frames[0][5];
    EXPECT_EQ(std::uint8_t(bytes[frame + 8]), bottomLeft & 0xFF);
    EXPECT_EQ(std::uint8_t(bytes[frame + 9]), (bottomLeft >> 8) & 0xFF);
    EXPECT_EQ(std::uint8_t(bytes[frame + 10]), (bottomLeft >> 16) & 0xFF);
    EXPECT_EQ(bytes[frame + 8 + 15], '\0');
    const std::uint32_t topLeft = a.frames[0][0];
    EXPECT_EQ(std::uint8_t(bytes[frame + 8 + 16]), topLeft & 0xFF);

    // The index lists both frames as key frames, offsets counted from the "movi" type.
    const std::size_t idx1 = bytes.find("idx1", frame);
    ASSERT_NE(idx1, std::string::npos);
    ASSERT_EQ(u32(bytes, idx1 + 4), 32u);
    for (std::size_t i = 0; i < 2; ++i) {
        const std::size_t entry = idx1 + 8 + 16 * i;
        EXPECT_EQ(bytes.substr(entry, 4), "00db");
        EXPECT_EQ(u32(bytes, entry + 4) & 0x10, 0x10u);
        EXPECT_EQ(bytes.substr(movi + u32(bytes, entry + 8), 4), "00db");
        EXPECT_EQ(u32(bytes, entry + 12), 32u);
    }
    EXPECT_EQ(idx1 + 8 + 32, bytes.size());
}

TEST(AviTest, WriterRejectsAnimationsItCannotStore)
{
    struct Case {
        const char* name;
        std::function<void(AviAnimation&)> damage;
    };
    const Case cases[] = {
        {"no frames", [](AviAnimation& a) { a.frames.clear(); }},
        {"zero width", [](AviAnimation& a) { a.width = 0; }},
        {"negative height", [](AviAnimation& a) { a.height = -2; }},
        {"zero frame time", [](AviAnimation& a) { a.frameMs = 0; }},
        {"frame too short", [](AviAnimation& a) { a.frames[1].pop_back(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AviAnimation a = sampleAnimation(3, 2, 2, 60);
        c.damage(a);
        EXPECT_THROW(mtl::writeAvi(a), mtl::Error);
    }
}

TEST(AviTest, ReadsVariantsOtherWritersProduce)
{
    struct Case {
        const char* name;
        AviLayout layout;
        int frameMs;
    };
    AviLayout topDown32;
    topDown32.bitCount = 32;
    topDown32.height = -2;
    AviLayout records;
    records.inRecordLists = true;
    AviLayout audioFirst;
    audioFirst.audioStreamFirst = true;
    AviLayout rateOnly;  // no main header figure: 25 frames a second from the stream
    rateOnly.microSecPerFrame = 0;
    rateOnly.scale = 1;
    rateOnly.rate = 25;
    const Case cases[] = {
        {"32-bit top-down", topDown32, 60},
        {"frames in rec lists", records, 60},
        {"video as second stream", audioFirst, 60},
        {"frame time from stream rate", rateOnly, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AviAnimation a = mtl::parseAvi(buildAvi(c.layout));
        EXPECT_EQ(a.width, 3);
        EXPECT_EQ(a.height, 2);
        EXPECT_EQ(a.frameMs, c.frameMs);
        ASSERT_EQ(a.frames.size(), 2u);
        // Every byte of frame f is fill + f: a grey, fully opaque.
        for (std::size_t f = 0; f < 2; ++f) {
            const std::uint32_t v = std::uint8_t(c.layout.fill + f);
            EXPECT_EQ(a.frames[f], std::vector<std::uint32_t>(6, 0xFF000000u | v << 16 | v << 8 | v));
        }
    }
}

TEST(AviTest, TopDownAndBottomUpRowsComeOutTheSameWay)
{
    // One column, two rows: the file's first row is the bottom one unless the height is negative.
    AviLayout bottomUp;
    bottomUp.width = 1;
    bottomUp.frameCount = 1;
    std::string bytes = buildAvi(bottomUp);
    const std::size_t data = bytes.find("00db") + 8;
    bytes[data] = char(0x11);      // first stored row
    bytes[data + 4] = char(0x22);  // second stored row
    const AviAnimation up = mtl::parseAvi(bytes);
    EXPECT_EQ(up.frames[0][0] & 0xFF, 0x22u);
    EXPECT_EQ(up.frames[0][1] & 0xFF, 0x11u);

    AviLayout topDown = bottomUp;
    topDown.height = -2;
    bytes = buildAvi(topDown);
    const std::size_t data2 = bytes.find("00db") + 8;
    bytes[data2] = char(0x11);
    bytes[data2 + 4] = char(0x22);
    const AviAnimation down = mtl::parseAvi(bytes);
    EXPECT_EQ(down.frames[0][0] & 0xFF, 0x11u);
    EXPECT_EQ(down.frames[0][1] & 0xFF, 0x22u);
}

TEST(AviTest, RejectsDamagedOrUnknownFiles)
{
    struct Case {
        const char* name;
        std::function<std::string()> bytes;
        const char* reasonPart;  // a word the Polish message must contain
    };
    auto with = [](std::function<void(AviLayout&)> change) {
        return [change] {
            AviLayout s;
            change(s);
            return buildAvi(s);
        };
    };
    auto patched = [](std::function<void(std::string&)> change) {
        return [change] {
            std::string b = buildAvi(AviLayout{});
            change(b);
            return b;
        };
    };
    const Case cases[] = {
        {"empty", [] { return std::string(); }, "krótki"},
        {"wave file", patched([](std::string& b) { b.replace(8, 4, "WAVE"); }), "RIFF AVI"},
        {"big-endian RIFX", patched([](std::string& b) { b.replace(0, 4, "RIFX"); }), "RIFF AVI"},
        {"RIFF size past the end", patched([](std::string& b) { b[7] = char(0x7F); }), "ucięte"},
        {"movi size past the end",
         patched([](std::string& b) {
             const std::size_t at = b.find("movi") - 4;
             b.replace(at, 4, std::string("\xFF\xFF\x00\x00", 4));
         }),
         "wykracza"},
        {"strf size past the end",
         patched([](std::string& b) { b.replace(b.find("strf") + 4, 4, std::string("\x00\x00\x01\x00", 4)); }),
         "wykracza"},
        {"RLE compression", with([](AviLayout& s) { s.compression = 1; }), "kompresja"},
        {"motion JPEG", with([](AviLayout& s) { s.compression = 0x47504A4D; }), "MJPG"},
        {"8-bit palette", with([](AviLayout& s) { s.bitCount = 8; }), "głębia"},
        {"16-bit", with([](AviLayout& s) { s.bitCount = 16; }), "głębia"},
        {"zero frames", with([](AviLayout& s) { s.frameCount = 0; }), "klatki"},
        {"short frame", with([](AviLayout& s) { s.frameBytes = 10; }), "ucięta"},
        {"audio only", with([](AviLayout& s) { s.streamType = "auds"; }), "strumienia obrazu"},
        {"zero width", with([](AviLayout& s) { s.width = 0; }), "wymiary"},
        {"zero height", with([](AviLayout& s) { s.height = 0; }), "wymiary"},
        {"no frame time", with([](AviLayout& s) { s.microSecPerFrame = 0; s.rate = 0; }), "czasu"},
        {"nested rec lists",
         [] {
             AviLayout s;
             s.inRecordLists = true;
             std::string b = buildAvi(s);
             // Wrap the movi contents in one more "rec " list.
             const std::size_t movi = b.find("movi");
             const std::size_t end = b.size();
             std::string inner = b.substr(movi + 4, end - movi - 4);
             std::string rebuilt = "AVI " + b.substr(12, movi - 4 - 4 - 12);
             rebuilt += list("movi", list("rec ", inner));
             return chunk("RIFF", rebuilt);
         },
         "rec"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            mtl::parseAvi(c.bytes());
            ADD_FAILURE() << "accepted";
        } catch (const mtl::Error& error) {
            EXPECT_NE(std::string(error.what()).find(c.reasonPart), std::string::npos) << error.what();
        }
    }
}

TEST(AviTest, EveryTruncationIsRejectedOrLosesNothing)
{
    const AviAnimation original = sampleAnimation(5, 3, 3, 60);
    const std::string full = mtl::writeAvi(original);
    for (std::size_t length = 0; length < full.size(); ++length) {
        SCOPED_TRACE(length);
        // As cut, and with the RIFF size claiming the cut length, so the inner checks are
        // reached as well.
        std::string cut = full.substr(0, length);
        EXPECT_THROW(mtl::parseAvi(cut), mtl::Error);
        if (length < 12) continue;
        const std::uint32_t riff = std::uint32_t(length - 8);
        for (int i = 0; i < 4; ++i) cut[4 + std::size_t(i)] = char((riff >> (8 * i)) & 0xFF);
        try {
            const AviAnimation a = mtl::parseAvi(cut);
            // Only a cut at a chunk boundary after the frames (the index lost) may be read,
            // and then it must give the whole animation.
            EXPECT_EQ(a.frames, original.frames);
        } catch (const mtl::Error&) {
        }
    }
}

TEST(AviTest, ShippedAnimationHasEightFramesOf38By33At60Ms)
{
    const auto bytes = readFile(std::filesystem::path(MIOTLARZ_PROGRAM_DIR) / ".." / "generated" / "MONITOR");
    if (!bytes) GTEST_SKIP() << "the generated animation is not built";
    const AviAnimation a = mtl::parseAvi(*bytes);
    EXPECT_EQ(a.width, 38);
    EXPECT_EQ(a.height, 33);
    EXPECT_EQ(a.frameMs, 60);
    ASSERT_EQ(a.frames.size(), 8u);
    // The control shows the top-left colour as transparent: it must be the same background in
    // every frame, every frame must draw something on it, and the picture must move.
    const std::uint32_t background = a.frames[0][0];
    for (std::size_t f = 0; f < a.frames.size(); ++f) {
        SCOPED_TRACE(f);
        EXPECT_EQ(a.frames[f][0], background);
        std::size_t drawn = 0;
        for (std::uint32_t p : a.frames[f]) drawn += p != background;
        EXPECT_GT(drawn, a.frames[f].size() / 10);
        EXPECT_NE(a.frames[f], a.frames[(f + 1) % a.frames.size()]);
    }
}

// --- the shipped sounds -----------------------------------------------------------------

struct Wave {
    std::uint16_t format = 0, channels = 0, bits = 0, blockAlign = 0;
    std::uint32_t rate = 0, byteRate = 0;
    std::vector<std::int16_t> samples;
};

// A strict little reader: RIFF WAVE with a "fmt " chunk before "data", sizes within the file.
Wave parseWave(const std::string& b)
{
    Wave w;
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0)
        throw std::runtime_error("not RIFF WAVE");
    if (u32(b, 4) != b.size() - 8) throw std::runtime_error("RIFF size differs from the file");
    bool haveFormat = false, haveData = false;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::string id = b.substr(at, 4);
        const std::size_t size = u32(b, at + 4);
        if (size > b.size() - at - 8) throw std::runtime_error("chunk past the end: " + id);
        if (id == "fmt ") {
            if (size < 16) throw std::runtime_error("short fmt");
            w.format = u16(b, at + 8);
            w.channels = u16(b, at + 10);
            w.rate = u32(b, at + 12);
            w.byteRate = u32(b, at + 16);
            w.blockAlign = u16(b, at + 20);
            w.bits = u16(b, at + 22);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) throw std::runtime_error("data before fmt");
            for (std::size_t i = 0; i + 1 < size; i += 2) w.samples.push_back(std::int16_t(u16(b, at + 8 + i)));
            haveData = true;
        }
        at += 8 + size + (size & 1);
    }
    if (!haveData) throw std::runtime_error("no data");
    return w;
}

TEST(SoundsTest, ShippedSoundsArePcmWithoutClicksOrClipping)
{
    struct Case {
        const char* file;
        double seconds;
    };
    const Case cases[] = {{"start.wav", 0.3}, {"gotowe.wav", 0.5}, {"alert.wav", 0.4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const auto bytes = readFile(std::filesystem::path(MIOTLARZ_PROGRAM_DIR) / c.file);
        if (!bytes) GTEST_SKIP() << "the program folder's sounds are not built";
        const Wave w = parseWave(*bytes);
        EXPECT_EQ(w.format, 1);
        EXPECT_EQ(w.channels, 1);
        EXPECT_EQ(w.rate, 22050u);
        EXPECT_EQ(w.bits, 16);
        EXPECT_EQ(w.blockAlign, 2);
        EXPECT_EQ(w.byteRate, 44100u);
        EXPECT_NEAR(double(w.samples.size()) / 22050, c.seconds, 0.05);

        int peak = 0;
        for (std::int16_t s : w.samples) peak = std::max(peak, std::abs(int(s)));
        EXPECT_GT(peak, 8000) << "too quiet to hear";
        EXPECT_LT(peak, 32767) << "clipped";
        // Faded in and out: the ends are near silence.
        ASSERT_GT(w.samples.size(), 100u);
        for (std::size_t i = 0; i < 10; ++i) {
            EXPECT_LT(std::abs(int(w.samples[i])), 1000);
            EXPECT_LT(std::abs(int(w.samples[w.samples.size() - 1 - i])), 1000);
        }
    }
}

} // namespace
