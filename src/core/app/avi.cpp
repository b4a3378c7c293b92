#include "core/app/avi.h"

#include "core/common/errors.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace mtl {
namespace {

// ---------------------------------------------------------------------------------------
// Little-endian helpers. The reader never touches a byte before checking that it exists.

constexpr std::uint32_t fourcc(const char (&code)[5])
{
    return std::uint32_t(std::uint8_t(code[0])) | std::uint32_t(std::uint8_t(code[1])) << 8
        | std::uint32_t(std::uint8_t(code[2])) << 16 | std::uint32_t(std::uint8_t(code[3])) << 24;
}

std::string fourccText(std::uint32_t code)
{
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = char((code >> (8 * i)) & 0xFF);
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return text;
}

std::uint32_t u32At(std::string_view bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | std::uint8_t(bytes[offset + std::size_t(i)]);
    return value;
}

std::uint16_t u16At(std::string_view bytes, std::size_t offset)
{
    return std::uint16_t(std::uint8_t(bytes[offset]) | std::uint8_t(bytes[offset + 1]) << 8);
}

std::int32_t s32At(std::string_view bytes, std::size_t offset)
{
    return std::int32_t(u32At(bytes, offset));
}

void putU32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) out += char((value >> (8 * i)) & 0xFF);
}

void putU16(std::string& out, std::uint16_t value)
{
    out += char(value & 0xFF);
    out += char(value >> 8);
}

void putFourcc(std::string& out, std::uint32_t code) { putU32(out, code); }

// Chunk sizes are only known once the contents are written; this patches them in.
void patchU32(std::string& out, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) out[offset + std::size_t(i)] = char((value >> (8 * i)) & 0xFF);
}

[[noreturn]] void fail(const std::string& reason)
{
    throw Error("Nieprawidłowy plik animacji AVI: " + reason + ".");
}

// Dimensions beyond this are no animation a window shows; the bound also keeps every size
// computation below far from 64-bit overflow.
constexpr std::int64_t maxDimension = 65535;

constexpr std::uint64_t maxFrameMs = 3600 * 1000;

constexpr std::uint32_t biRgb = 0;
constexpr std::uint32_t aviifKeyframe = 0x10;
constexpr std::uint32_t avifHasIndex = 0x10;

std::size_t rowStride(std::int64_t width, int bitCount)
{
    // DIB rows are padded to a whole number of 32-bit words.
    return std::size_t((width * bitCount + 31) / 32 * 4);
}

// ---------------------------------------------------------------------------------------
// Reading: a RIFF tree walked chunk by chunk, each chunk checked against its parent's end.

struct Chunk {
    std::uint32_t id = 0;
    std::size_t dataOffset = 0;  // first byte of the chunk's data
    std::size_t size = 0;        // data bytes, padding excluded
    std::uint32_t listType = 0;  // for RIFF and LIST chunks: the four-character type
};

// Iterates the chunks of [begin, end). Throws when a header or a size runs past the end.
class ChunkReader {
public:
    ChunkReader(std::string_view bytes, std::size_t begin, std::size_t end, const char* where)
        : m_bytes(bytes), m_pos(begin), m_end(end), m_where(where) {}

    std::optional<Chunk> next()
    {
        if (m_pos >= m_end) return std::nullopt;
        if (m_end - m_pos < 8) fail(std::string("ucięty nagłówek bloku w części '") + m_where + "'");
        Chunk chunk;
        chunk.id = u32At(m_bytes, m_pos);
        chunk.size = u32At(m_bytes, m_pos + 4);
        chunk.dataOffset = m_pos + 8;
        if (chunk.size > m_end - chunk.dataOffset)
            fail("rozmiar bloku '" + fourccText(chunk.id) + "' wykracza poza koniec danych");
        if (chunk.id == fourcc("LIST") || chunk.id == fourcc("RIFF")) {
            if (chunk.size < 4) fail("blok '" + fourccText(chunk.id) + "' bez typu listy");
            chunk.listType = u32At(m_bytes, chunk.dataOffset);
        }
        // Chunks start on even offsets; a final pad byte may be missing at the very end.
        const std::size_t after = chunk.dataOffset + chunk.size;
        m_pos = after + (chunk.size & 1);
        if (m_pos > m_end) m_pos = m_end;
        return chunk;
    }

private:
    std::string_view m_bytes;
    std::size_t m_pos;
    std::size_t m_end;
    const char* m_where;
};

struct VideoFormat {
    std::int64_t width = 0;
    std::int64_t height = 0;  // positive: rows stored bottom-up
    int bitCount = 0;
    std::uint32_t scale = 0;  // from the stream header: seconds per frame = scale / rate
    std::uint32_t rate = 0;
};

// Reads the stream list; returns the format when the stream is the video stream.
std::optional<VideoFormat> readStreamList(std::string_view bytes, const Chunk& strl)
{
    std::optional<std::uint32_t> type;
    VideoFormat format;
    bool haveFormat = false;
    ChunkReader reader(bytes, strl.dataOffset + 4, strl.dataOffset + strl.size, "strl");
    while (auto chunk = reader.next()) {
        if (chunk->id == fourcc("strh")) {
            if (chunk->size < 48) fail("za krótki nagłówek strumienia 'strh'");
            type = u32At(bytes, chunk->dataOffset);
            format.scale = u32At(bytes, chunk->dataOffset + 20);
            format.rate = u32At(bytes, chunk->dataOffset + 24);
        } else if (chunk->id == fourcc("strf")) {
            if (!type) fail("opis formatu 'strf' przed nagłówkiem strumienia");
            if (*type != fourcc("vids")) continue;  // an audio or text stream: not ours
            if (chunk->size < 40) fail("za krótki opis formatu obrazu 'strf'");
            const std::size_t at = chunk->dataOffset;
            const std::uint32_t headerSize = u32At(bytes, at);
            if (headerSize < 40 || headerSize > chunk->size)
                fail("nieprawidłowy rozmiar nagłówka BITMAPINFOHEADER");
            format.width = s32At(bytes, at + 4);
            format.height = s32At(bytes, at + 8);
            format.bitCount = u16At(bytes, at + 14);
            const std::uint32_t compression = u32At(bytes, at + 16);
            if (compression != biRgb)
                fail("nieobsługiwana kompresja obrazu '" + fourccText(compression)
                     + "' (obsługiwany jest tylko obraz nieskompresowany)");
            if (format.bitCount != 24 && format.bitCount != 32)
                fail("nieobsługiwana głębia kolorów " + std::to_string(format.bitCount)
                     + " bitów (obsługiwane są 24 i 32 bity)");
            haveFormat = true;
        }
    }
    if (!type) fail("brak nagłówka strumienia 'strh'");
    if (*type != fourcc("vids")) return std::nullopt;
    if (!haveFormat) fail("brak opisu formatu obrazu 'strf'");
    return format;
}

// Frame chunks of stream NN are named "NNdb" (uncompressed) or "NNdc".
bool isFrameChunk(std::uint32_t id, int stream)
{
    const char tens = char('0' + stream / 10);
    const char units = char('0' + stream % 10);
    const char c0 = char(id & 0xFF), c1 = char((id >> 8) & 0xFF);
    const char c2 = char((id >> 16) & 0xFF), c3 = char((id >> 24) & 0xFF);
    return c0 == tens && c1 == units && c2 == 'd' && (c3 == 'b' || c3 == 'c');
}

std::vector<std::uint32_t> decodeFrame(std::string_view bytes, const Chunk& chunk,
                                       const VideoFormat& format, std::size_t frameNumber)
{
    const std::int64_t width = format.width;
    const std::int64_t rows = format.height < 0 ? -format.height : format.height;
    const std::size_t stride = rowStride(width, format.bitCount);
    if (chunk.size < stride * std::size_t(rows))
        fail("klatka " + std::to_string(frameNumber + 1) + " jest ucięta");
    const std::size_t pixelBytes = std::size_t(format.bitCount / 8);
    std::vector<std::uint32_t> pixels(std::size_t(width * rows));
    for (std::int64_t y = 0; y < rows; ++y) {
        const std::int64_t sourceRow = format.height > 0 ? rows - 1 - y : y;
        const std::size_t row = chunk.dataOffset + std::size_t(sourceRow) * stride;
        std::uint32_t* out = pixels.data() + std::size_t(y * width);
        for (std::int64_t x = 0; x < width; ++x) {
            const std::size_t p = row + std::size_t(x) * pixelBytes;
            // Pixels are stored blue, green, red; the fourth byte of 32-bit pixels is
            // reserved in uncompressed DIBs, so every pixel is opaque.
            out[x] = 0xFF000000u | std::uint32_t(std::uint8_t(bytes[p + 2])) << 16
                | std::uint32_t(std::uint8_t(bytes[p + 1])) << 8 | std::uint8_t(bytes[p]);
        }
    }
    return pixels;
}

void readFrames(std::string_view bytes, std::size_t begin, std::size_t end, const VideoFormat& format,
                int stream, bool insideRecord, AviAnimation& animation)
{
    ChunkReader reader(bytes, begin, end, "movi");
    while (auto chunk = reader.next()) {
        if (chunk->id == fourcc("LIST") && chunk->listType == fourcc("rec ")) {
            // Interleaved files group the chunks of one moment in "rec " lists. They never
            // nest, and refusing nesting keeps a crafted file from exhausting the stack.
            if (insideRecord) fail("zagnieżdżona lista 'rec '");
            readFrames(bytes, chunk->dataOffset + 4, chunk->dataOffset + chunk->size, format, stream,
                       true, animation);
        } else if (isFrameChunk(chunk->id, stream)) {
            animation.frames.push_back(decodeFrame(bytes, *chunk, format, animation.frames.size()));
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------------------

std::string writeAvi(const AviAnimation& animation)
{
    if (animation.width <= 0 || animation.height <= 0 || animation.width > maxDimension
        || animation.height > maxDimension)
        throw Error("Nie można zapisać animacji AVI: nieprawidłowe wymiary klatki.");
    if (animation.frameMs <= 0) throw Error("Nie można zapisać animacji AVI: nieprawidłowy czas klatki.");
    if (animation.frames.empty()) throw Error("Nie można zapisać animacji AVI: brak klatek.");
    const std::size_t pixelCount = std::size_t(animation.width) * std::size_t(animation.height);
    for (const auto& frame : animation.frames)
        if (frame.size() != pixelCount)
            throw Error("Nie można zapisać animacji AVI: klatka ma inną liczbę pikseli niż wymiary.");

    const std::uint32_t width = std::uint32_t(animation.width);
    const std::uint32_t height = std::uint32_t(animation.height);
    const std::uint32_t frameCount = std::uint32_t(animation.frames.size());
    const std::size_t stride = rowStride(animation.width, 24);
    const std::uint32_t frameBytes = std::uint32_t(stride * height);
    const std::uint32_t frameMs = std::uint32_t(animation.frameMs);

    std::string out;
    out.reserve(512 + (frameBytes + 24) * frameCount);
    putFourcc(out, fourcc("RIFF"));
    putU32(out, 0);
    putFourcc(out, fourcc("AVI "));

    // hdrl: the main header and one video stream.
    putFourcc(out, fourcc("LIST"));
    const std::size_t hdrlSize = out.size();
    putU32(out, 0);
    putFourcc(out, fourcc("hdrl"));

    putFourcc(out, fourcc("avih"));
    putU32(out, 56);
    putU32(out, frameMs * 1000);                                // dwMicroSecPerFrame
    putU32(out, std::uint32_t(std::uint64_t(frameBytes) * 1000 / frameMs));  // dwMaxBytesPerSec
    putU32(out, 0);                                             // dwPaddingGranularity
    putU32(out, avifHasIndex);                                  // dwFlags
    putU32(out, frameCount);                                    // dwTotalFrames
    putU32(out, 0);                                             // dwInitialFrames
    putU32(out, 1);                                             // dwStreams
    putU32(out, frameBytes);                                    // dwSuggestedBufferSize
    putU32(out, width);
    putU32(out, height);
    for (int i = 0; i < 4; ++i) putU32(out, 0);                 // dwReserved

    putFourcc(out, fourcc("LIST"));
    const std::size_t strlSize = out.size();
    putU32(out, 0);
    putFourcc(out, fourcc("strl"));

    putFourcc(out, fourcc("strh"));
    putU32(out, 56);
    putFourcc(out, fourcc("vids"));                             // fccType
    putFourcc(out, fourcc("DIB "));                             // fccHandler
    putU32(out, 0);                                             // dwFlags
    putU16(out, 0);                                             // wPriority
    putU16(out, 0);                                             // wLanguage
    putU32(out, 0);                                             // dwInitialFrames
    putU32(out, frameMs);                                       // dwScale
    putU32(out, 1000);                                          // dwRate: frames per dwScale ms
    putU32(out, 0);                                             // dwStart
    putU32(out, frameCount);                                    // dwLength
    putU32(out, frameBytes);                                    // dwSuggestedBufferSize
    putU32(out, 0xFFFFFFFFu);                                   // dwQuality: default
    putU32(out, 0);                                             // dwSampleSize: varies
    putU16(out, 0);                                             // rcFrame
    putU16(out, 0);
    putU16(out, std::uint16_t(width));
    putU16(out, std::uint16_t(height));

    putFourcc(out, fourcc("strf"));
    putU32(out, 40);
    putU32(out, 40);                                            // biSize
    putU32(out, width);                                         // biWidth
    putU32(out, height);                                        // biHeight: bottom-up
    putU16(out, 1);                                             // biPlanes
    putU16(out, 24);                                            // biBitCount
    putU32(out, biRgb);                                         // biCompression
    putU32(out, frameBytes);                                    // biSizeImage
    putU32(out, 0);                                             // biXPelsPerMeter
    putU32(out, 0);                                             // biYPelsPerMeter
    putU32(out, 0);                                             // biClrUsed
    putU32(out, 0);                                             // biClrImportant

    patchU32(out, strlSize, std::uint32_t(out.size() - strlSize - 4));
    patchU32(out, hdrlSize, std::uint32_t(out.size() - hdrlSize - 4));

    // movi: one "00db" chunk per frame. Frame sizes are whole words, so no padding is needed.
    putFourcc(out, fourcc("LIST"));
    const std::size_t moviSize = out.size();
    putU32(out, 0);
    const std::size_t moviType = out.size();
    putFourcc(out, fourcc("movi"));
    std::vector<std::uint32_t> chunkOffsets;
    for (const auto& frame : animation.frames) {
        chunkOffsets.push_back(std::uint32_t(out.size() - moviType));
        putFourcc(out, fourcc("00db"));
        putU32(out, frameBytes);
        for (std::uint32_t y = height; y-- > 0;) {
            const std::uint32_t* row = frame.data() + std::size_t(y) * width;
            for (std::uint32_t x = 0; x < width; ++x) {
                out += char(row[x] & 0xFF);
                out += char((row[x] >> 8) & 0xFF);
                out += char((row[x] >> 16) & 0xFF);
            }
            out.append(stride - std::size_t(width) * 3, '\0');
        }
    }
    patchU32(out, moviSize, std::uint32_t(out.size() - moviSize - 4));

    // idx1: offsets are counted from the "movi" type field, as players expect.
    putFourcc(out, fourcc("idx1"));
    putU32(out, frameCount * 16);
    for (const std::uint32_t offset : chunkOffsets) {
        putFourcc(out, fourcc("00db"));
        putU32(out, aviifKeyframe);
        putU32(out, offset);
        putU32(out, frameBytes);
    }

    patchU32(out, 4, std::uint32_t(out.size() - 8));
    return out;
}

AviAnimation parseAvi(std::string_view bytes)
{
    if (bytes.size() < 12) fail("plik jest za krótki");
    if (u32At(bytes, 0) != fourcc("RIFF") || u32At(bytes, 8) != fourcc("AVI "))
        fail("brak nagłówka RIFF AVI");
    const std::size_t riffSize = u32At(bytes, 4);
    if (riffSize < 4 || riffSize > bytes.size() - 8) fail("dane pliku są ucięte");
    const std::size_t riffEnd = 8 + riffSize;

    std::optional<std::uint32_t> microSecPerFrame;
    std::optional<VideoFormat> format;
    int videoStream = -1;
    std::optional<Chunk> movi;

    ChunkReader top(bytes, 12, riffEnd, "AVI");
    while (auto chunk = top.next()) {
        if (chunk->id == fourcc("LIST") && chunk->listType == fourcc("hdrl")) {
            int streamNumber = 0;
            ChunkReader header(bytes, chunk->dataOffset + 4, chunk->dataOffset + chunk->size, "hdrl");
            while (auto item = header.next()) {
                if (item->id == fourcc("avih")) {
                    if (item->size < 40) fail("za krótki nagłówek 'avih'");
                    microSecPerFrame = u32At(bytes, item->dataOffset);
                } else if (item->id == fourcc("LIST") && item->listType == fourcc("strl")) {
                    if (!format) {
                        format = readStreamList(bytes, *item);
                        if (format) videoStream = streamNumber;
                    }
                    ++streamNumber;
                }
            }
        } else if (chunk->id == fourcc("LIST") && chunk->listType == fourcc("movi")) {
            if (!movi) movi = chunk;
        }
        // idx1, JUNK and anything else: the frames are read from movi in file order.
    }

    if (!microSecPerFrame) fail("brak nagłówka 'avih'");
    if (!format) fail("brak strumienia obrazu");
    if (videoStream > 99) fail("nieobsługiwany numer strumienia obrazu");
    if (format->width <= 0 || format->height == 0 || format->width > maxDimension
        || format->height > maxDimension || format->height < -maxDimension)
        fail("nieprawidłowe wymiary klatki");
    if (!movi) fail("brak danych obrazu 'movi'");

    AviAnimation animation;
    animation.width = int(format->width);
    animation.height = int(format->height < 0 ? -format->height : format->height);
    std::uint64_t frameMs = 0;
    if (*microSecPerFrame > 0) {
        frameMs = (std::uint64_t(*microSecPerFrame) + 500) / 1000;
    } else if (format->rate > 0 && format->scale > 0) {
        // Without the main header's figure the stream's rate gives the frame time.
        frameMs = (std::uint64_t(format->scale) * 1000 + format->rate / 2) / format->rate;
    } else {
        fail("brak czasu wyświetlania klatki");
    }
    // A frame time under a millisecond still shows each frame; an absurdly long one is kept
    // within what a timer accepts.
    animation.frameMs = int(std::clamp<std::uint64_t>(frameMs, 1, maxFrameMs));

    readFrames(bytes, movi->dataOffset + 4, movi->dataOffset + movi->size, *format, videoStream, false,
               animation);
    if (animation.frames.empty()) fail("plik nie zawiera żadnej klatki");
    return animation;
}

} // namespace mtl
