#include "core/backup/archivereader.h"

#include <algorithm>
#include <cstring>

namespace mtl::backup {
namespace {

const char* describe(ArchiveDamage::Kind kind)
{
    switch (kind) {
    case ArchiveDamage::Kind::Truncated: return "the archive ends inside a field";
    case ArchiveDamage::Kind::BadHeader: return "the header is damaged";
    case ArchiveDamage::Kind::BadMagic: return "a data block does not begin with EC2";
    case ArchiveDamage::Kind::ChunkTooLong: return "a chunk is longer than 16384 bytes";
    case ArchiveDamage::Kind::BadChunk: return "a chunk does not inflate";
    case ArchiveDamage::Kind::BadVolume: return "a continuation record names no later volume";
    }
    return "damaged";
}

// Long texts are read in steps of this size, so a damaged length costs no more memory than
// the archive really holds.
constexpr std::size_t kTextStep = 64 * 1024;

} // namespace

ArchiveDamage::ArchiveDamage(Kind kind, std::uint64_t offset)
    : m_kind(kind), m_offset(offset), m_text(std::string(describe(kind)) + " (offset " + std::to_string(offset) + ")")
{
}

ArchiveReader::ArchiveReader(ReadableFile& source, CodecLibrary library)
    : m_source(&source), m_decoder(library), m_in(kPieceSize), m_out(kPieceSize)
{
}

void ArchiveReader::readExactly(std::span<unsigned char> into)
{
    const std::uint64_t at = m_source->position();
    if (m_source->read(into) != into.size()) throw ArchiveDamage(ArchiveDamage::Kind::Truncated, at);
}

std::int32_t ArchiveReader::readInt32()
{
    unsigned char bytes[4];
    readExactly(bytes);
    return loadInt32(bytes);
}

std::string ArchiveReader::readText(std::int32_t length)
{
    std::string text;
    auto left = static_cast<std::size_t>(std::max(length, 0));
    while (left > 0) {
        const std::size_t step = std::min(left, kTextStep);
        const std::size_t old = text.size();
        text.resize(old + step);
        readExactly(std::span(reinterpret_cast<unsigned char*>(text.data() + old), step));
        left -= step;
    }
    return text;
}

ArchiveHeader ArchiveReader::readHeader()
{
    ArchiveHeader header;
    const std::uint64_t at = position();
    const std::int32_t titleLength = readInt32();
    if (titleLength < 0) throw ArchiveDamage(ArchiveDamage::Kind::BadHeader, at);
    header.title = readText(titleLength);
    header.totalSize = readInt32();
    header.fileCount = readInt32();
    return header;
}

ArchiveRecord ArchiveReader::nextRecord()
{
    for (;;) {
        ArchiveRecord record;
        record.offset = position();
        const std::int32_t length = readInt32();
        if (length < 0) continue;  // never written; passed over as the format allows
        if (length == 0) return record;
        record.name = readText(length);
        if (isContinuationName(record.name)) {
            record.kind = ArchiveRecord::Kind::Continuation;
        } else {
            record.kind = ArchiveRecord::Kind::File;
            record.date = readInt32();
        }
        return record;
    }
}

ArchiveReader::BlockEnd ArchiveReader::readBlock(BlockSink& sink)
{
    const std::uint64_t blockAt = position();
    unsigned char magic[4];
    readExactly(magic);
    // The magic is compared as the text before its first zero byte.
    const std::size_t textLength = std::find(magic, magic + 4, 0) - magic;
    if (std::string_view(reinterpret_cast<const char*>(magic), textLength) != "EC2") {
        throw ArchiveDamage(ArchiveDamage::Kind::BadMagic, blockAt);
    }
    while (sink.goOn()) {
        const std::uint64_t chunkAt = position();
        const std::int32_t length = readInt32();
        if (length == 0) {
            sink.afterChunk(0, true);
            return BlockEnd::Complete;
        }
        const std::int64_t size = length < 0 ? -static_cast<std::int64_t>(length) : length;
        if (size > static_cast<std::int64_t>(kPieceSize)) throw ArchiveDamage(ArchiveDamage::Kind::ChunkTooLong, chunkAt);
        const auto count = static_cast<std::size_t>(size);
        if (!sink.decodes()) {
            if (m_source->skip(count) != count) throw ArchiveDamage(ArchiveDamage::Kind::Truncated, chunkAt + 4);
            sink.afterChunk(0, false);
            continue;
        }
        const std::span<unsigned char> room = sink.room();
        const bool inPlace = room.size() >= kPieceSize;
        std::size_t produced = count;
        if (length > 0) {
            readExactly(std::span(m_in.data(), count));
            unsigned char* out = inPlace ? room.data() : m_out.data();
            const auto inflated = m_decoder.decode(std::span(m_in.data(), count),
                                                   std::span<unsigned char, kPieceSize>(out, kPieceSize));
            if (!inflated) throw ArchiveDamage(ArchiveDamage::Kind::BadChunk, chunkAt);
            produced = *inflated;
            if (inPlace) sink.filled(produced);
            else sink.write(std::span(m_out.data(), produced));
        } else if (inPlace) {
            readExactly(room.first(count));
            sink.filled(count);
        } else {
            readExactly(std::span(m_in.data(), count));
            sink.write(std::span(m_in.data(), count));
        }
        sink.afterChunk(produced, false);
    }
    return BlockEnd::Stopped;
}

std::vector<std::string> splitIdentityList(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) break;
        lines.emplace_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

} // namespace mtl::backup
