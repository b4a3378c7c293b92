// One piece of a file as one chunk of the archive: an independent zlib stream (RFC 1950) when
// it fits into 16384 bytes, otherwise the piece itself with a negative length; and the way
// back. Both zlib and libdeflate read and write such streams; the archive does not depend on
// which one made it, so the faster one is the default and tests cross-check the two.
#pragma once

#include "core/backup/archiveformat.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace mtl::backup {

enum class CodecLibrary { Zlib, Libdeflate };

// The library the component uses unless told otherwise (chosen by measurement: libdeflate
// compresses and inflates these short independent streams several times faster).
inline constexpr CodecLibrary kDefaultCodecLibrary = CodecLibrary::Libdeflate;

// Thrown when the library cannot be set up or fails in a way other than "does not fit".
class CodecError : public std::exception {
public:
    const char* what() const noexcept override { return "compression library failure"; }
};

// Compresses pieces at one zlib level (0 to 9, or -1 for zlib's default). One encoder serves
// one thread; it keeps its library state between pieces, which changes no output byte.
class ChunkEncoder {
public:
    ChunkEncoder(int zlibLevel, CodecLibrary library);
    ~ChunkEncoder();
    ChunkEncoder(const ChunkEncoder&) = delete;
    ChunkEncoder& operator=(const ChunkEncoder&) = delete;

    // The chunk length field for `piece` (at most kPieceSize bytes): the compressed length,
    // with the stream in `out`, or minus the piece's length when the stream does not fit (the
    // payload is then the piece itself). Throws CodecError.
    std::int32_t encode(std::span<const unsigned char> piece, std::span<unsigned char, kPieceSize> out);

    int level() const { return m_level; }

private:
    struct State;
    int m_level;
    CodecLibrary m_library;
    std::unique_ptr<State> m_state;
};

// Inflates chunk payloads. A payload is accepted only when it begins with one complete zlib
// stream whose checksum holds and that yields at most kPieceSize bytes.
class ChunkDecoder {
public:
    explicit ChunkDecoder(CodecLibrary library = kDefaultCodecLibrary);
    ~ChunkDecoder();
    ChunkDecoder(const ChunkDecoder&) = delete;
    ChunkDecoder& operator=(const ChunkDecoder&) = delete;

    // The number of bytes produced into `out`, or nothing when the payload is damaged.
    // Throws CodecError when the library cannot be set up.
    std::optional<std::size_t> decode(std::span<const unsigned char> payload,
                                      std::span<unsigned char, kPieceSize> out);

private:
    struct State;
    CodecLibrary m_library;
    std::unique_ptr<State> m_state;
};

// The zlib level a TCompressionLevel ordinal selects (clFastest 1, clNone 0, clDefault -1,
// clMax 9); any other ordinal gives a level the libraries refuse.
int zlibLevelFor(int compressionLevelOrdinal);

} // namespace mtl::backup
