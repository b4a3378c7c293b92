// Reading an archive volume by volume: the header, the records and the data blocks with their
// chunks. Every length is checked before anything is read into memory, so a damaged archive
// can never make the reader read past a buffer; damage is reported with its kind and the
// offset at which it was found. Failures of the file itself travel as mtl::FileError.
#pragma once

#include "core/backup/backupfs.h"
#include "core/backup/chunkcodec.h"

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace mtl::backup {

class ArchiveDamage : public std::exception {
public:
    enum class Kind {
        Truncated,     // the data ends inside a field
        BadHeader,     // a negative title length
        BadMagic,      // a data block does not begin with "EC2"
        ChunkTooLong,  // a chunk length beyond 16384
        BadChunk,      // a chunk that is not one complete zlib stream of at most 16384 bytes
        BadVolume,     // a continuation record that names no later volume
    };
    ArchiveDamage(Kind kind, std::uint64_t offset);
    Kind kind() const { return m_kind; }
    std::uint64_t offset() const { return m_offset; }
    const char* what() const noexcept override { return m_text.c_str(); }

private:
    Kind m_kind;
    std::uint64_t m_offset;
    std::string m_text;
};

struct ArchiveHeader {
    std::string title;
    std::int32_t totalSize = 0;
    std::int32_t fileCount = 0;
};

struct ArchiveRecord {
    enum class Kind { End, File, Continuation };
    Kind kind = Kind::End;
    std::string name;
    std::int32_t date = 0;      // file records and the identity list only
    std::uint64_t offset = 0;   // of its name length in the volume
};

// Where the chunks of a data block go.
class BlockSink {
public:
    virtual ~BlockSink() = default;
    // Whether the chunks are inflated and handed over (true) or passed over (false).
    virtual bool decodes() const = 0;
    // Checked before every chunk: the block is left unfinished when it turns false.
    virtual bool goOn() const = 0;
    // The content of one chunk, when decoding.
    virtual void write(std::span<const unsigned char> bytes) = 0;
    // Room of at least kPieceSize bytes where the next chunk may be decoded in place (then
    // filled() tells how much of it holds content), or an empty span.
    virtual std::span<unsigned char> room() { return {}; }
    virtual void filled(std::size_t) {}
    // After every chunk (`produced` content bytes, 0 when passing over) and at the block end.
    virtual void afterChunk(std::size_t produced, bool blockEnd) = 0;
};

class ArchiveReader {
public:
    explicit ArchiveReader(ReadableFile& source, CodecLibrary library = kDefaultCodecLibrary);

    // Continues on another volume.
    void setSource(ReadableFile& source) { m_source = &source; }
    std::uint64_t position() const { return m_source->position(); }

    ArchiveHeader readHeader();
    std::int32_t readInt32();
    // `length` bytes; memory grows only as the bytes actually arrive.
    std::string readText(std::int32_t length);
    // The next record; negative name lengths are passed over. File records come with their date.
    ArchiveRecord nextRecord();

    enum class BlockEnd { Complete, Stopped };
    BlockEnd readBlock(BlockSink& sink);

private:
    void readExactly(std::span<unsigned char> into);

    ReadableFile* m_source;
    ChunkDecoder m_decoder;
    std::vector<unsigned char> m_in, m_out;
};

// The identity list text split into its lines (each ended by CR LF; a last line without its
// end counts when it is not empty). Paths may hold a lone CR or LF; only CR LF ends a line.
std::vector<std::string> splitIdentityList(std::string_view text);

} // namespace mtl::backup
