#include "core/backup/chunkcodec.h"

#include <libdeflate.h>
#include <zlib.h>

namespace mtl::backup {
namespace {

// A stored-block stream of n bytes takes n + 11 bytes (2 header, 5 block header, 4 check), so
// at level 0 a piece longer than this can never fit and is stored raw without trying.
constexpr std::size_t kLongestStoredFit = kPieceSize - 11;

constexpr int kNoLevel = 99;

int libdeflateLevel(int zlibLevel)
{
    return zlibLevel < 0 ? 6 : zlibLevel;
}

} // namespace

int zlibLevelFor(int compressionLevelOrdinal)
{
    switch (compressionLevelOrdinal) {
    case 0: return 1;
    case 1: return 0;
    case 2: return Z_DEFAULT_COMPRESSION;
    case 3: return 9;
    // An ordinal outside the enumeration (a damaged form value) selects no level; setting
    // up the library then fails and the backup reports its compression error.
    default: return kNoLevel;
    }
}

struct ChunkEncoder::State {
    z_stream zlib{};
    bool zlibReady = false;
    libdeflate_compressor* deflater = nullptr;

    ~State()
    {
        if (zlibReady) deflateEnd(&zlib);
        libdeflate_free_compressor(deflater);
    }
};

ChunkEncoder::ChunkEncoder(int zlibLevel, CodecLibrary library)
    : m_level(zlibLevel), m_library(library), m_state(std::make_unique<State>())
{
    if (m_library == CodecLibrary::Zlib) {
        if (deflateInit2(&m_state->zlib, m_level, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            throw CodecError();
        }
        m_state->zlibReady = true;
    } else {
        m_state->deflater = libdeflate_alloc_compressor(libdeflateLevel(m_level));
        if (!m_state->deflater) throw CodecError();
    }
}

ChunkEncoder::~ChunkEncoder() = default;

std::int32_t ChunkEncoder::encode(std::span<const unsigned char> piece, std::span<unsigned char, kPieceSize> out)
{
    const auto raw = -static_cast<std::int32_t>(piece.size());
    if (m_level == 0 && piece.size() > kLongestStoredFit) return raw;

    if (m_library == CodecLibrary::Libdeflate) {
        const std::size_t produced = libdeflate_zlib_compress(m_state->deflater, piece.data(), piece.size(),
                                                              out.data(), out.size());
        return produced == 0 ? raw : static_cast<std::int32_t>(produced);
    }

    z_stream& z = m_state->zlib;
    if (deflateReset(&z) != Z_OK) throw CodecError();
    z.next_in = const_cast<Bytef*>(piece.data());
    z.avail_in = static_cast<uInt>(piece.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&z, Z_FINISH);
    if (result == Z_STREAM_END) return static_cast<std::int32_t>(out.size() - z.avail_out);
    // Returning without the stream end means the stream did not fit the output buffer.
    if (result == Z_OK || result == Z_BUF_ERROR) return raw;
    throw CodecError();
}

struct ChunkDecoder::State {
    z_stream zlib{};
    bool zlibReady = false;
    libdeflate_decompressor* inflater = nullptr;

    ~State()
    {
        if (zlibReady) inflateEnd(&zlib);
        libdeflate_free_decompressor(inflater);
    }
};

ChunkDecoder::ChunkDecoder(CodecLibrary library) : m_library(library), m_state(std::make_unique<State>())
{
    if (m_library == CodecLibrary::Zlib) {
        if (inflateInit2(&m_state->zlib, 15) != Z_OK) throw CodecError();
        m_state->zlibReady = true;
    } else {
        m_state->inflater = libdeflate_alloc_decompressor();
        if (!m_state->inflater) throw CodecError();
    }
}

ChunkDecoder::~ChunkDecoder() = default;

std::optional<std::size_t> ChunkDecoder::decode(std::span<const unsigned char> payload,
                                                std::span<unsigned char, kPieceSize> out)
{
    if (m_library == CodecLibrary::Libdeflate) {
        std::size_t consumed = 0, produced = 0;
        const auto result = libdeflate_zlib_decompress_ex(m_state->inflater, payload.data(), payload.size(),
                                                          out.data(), out.size(), &consumed, &produced);
        if (result != LIBDEFLATE_SUCCESS) return std::nullopt;
        return produced;
    }

    z_stream& z = m_state->zlib;
    if (inflateReset(&z) != Z_OK) throw CodecError();
    z.next_in = const_cast<Bytef*>(payload.data());
    z.avail_in = static_cast<uInt>(payload.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    // A stream that has not ended in one call is cut short or yields more than a piece; its
    // check value was never verified, so its bytes are not trusted.
    if (inflate(&z, Z_NO_FLUSH) != Z_STREAM_END) return std::nullopt;
    return out.size() - z.avail_out;
}

} // namespace mtl::backup
