// Chunks: when a piece fits as a zlib stream and when it is stored raw, the level-0 shortcut
// giving the bytes zlib gives, the decoder refusing damaged payloads, zlib and libdeflate
// reading each other's archives, and encoding ahead on other threads changing no byte.
#include "backup_fixture.h"

#include "core/backup/chunkcodec.h"

#include <gtest/gtest.h>

namespace {

using namespace mtl::test::backup;
using mtl::TBackupFile;
namespace bk = mtl::backup;
using bk::CodecLibrary;

constexpr CodecLibrary kLibraries[] = {CodecLibrary::Zlib, CodecLibrary::Libdeflate};

std::span<const unsigned char> bytesOf(const std::string& s)
{
    return {reinterpret_cast<const unsigned char*>(s.data()), s.size()};
}

std::string zlibStream(const std::string& content, int level)
{
    uLongf size = compressBound(content.size());
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(content.data()),
              content.size(), level);
    out.resize(size);
    return out;
}

// Deflate at level 0 the way the design describes it (one call, output buffer of 16384),
// without any shortcut: the stream, or nothing when it did not fit.
std::optional<std::string> zlibLevel0(const std::string& piece)
{
    z_stream z{};
    deflateInit2(&z, 0, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    std::string out(16384, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.data()));
    z.avail_in = uInt(piece.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    const int result = deflate(&z, Z_FINISH);
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    if (result != Z_STREAM_END) return std::nullopt;
    return out;
}

TEST(BackupChunk, LevelZeroStoresFullPiecesRawAndGivesZlibsBytes)
{
    const std::string text = textBytes(16384);
    std::array<unsigned char, 16384> out{};
    for (const auto library : kLibraries) {
        bk::ChunkEncoder encoder(0, library);
        EXPECT_EQ(encoder.encode(bytesOf(text), out), -16384);
        const std::string shorter = text.substr(0, 1000);
        EXPECT_EQ(encoder.encode(bytesOf(shorter), out), 1000 + 11) << "a shorter last piece fits";
    }
    // Around the largest piece a stored block can hold, the encoder agrees with a plain zlib
    // deflate byte for byte, so skipping deflate for long pieces changes nothing.
    bk::ChunkEncoder zlib(0, CodecLibrary::Zlib);
    for (std::size_t n = 16368; n <= 16384; ++n) {
        const std::string piece = text.substr(0, n);
        const auto expected = zlibLevel0(piece);
        const std::int32_t length = zlib.encode(bytesOf(piece), out);
        if (!expected) {
            EXPECT_EQ(length, -std::int32_t(n)) << n;
        } else {
            ASSERT_GT(length, 0) << n;
            EXPECT_EQ(std::string(reinterpret_cast<char*>(out.data()), std::size_t(length)), *expected) << n;
        }
    }
}

TEST(BackupChunk, TextCompressesRandomFullPiecesStayRawAndBothLibrariesReadEachOther)
{
    const std::string text = textBytes(16384);
    const std::string noise = randomBytes(16384, 11);
    std::array<unsigned char, 16384> out{}, back{};
    for (int level : {1, 0, -1, 9}) {
        for (const auto writer : kLibraries) {
            bk::ChunkEncoder encoder(level, writer);
            EXPECT_EQ(encoder.encode(bytesOf(noise), out), -16384) << level;
            const std::int32_t length = encoder.encode(bytesOf(text), out);
            if (level == 0) {
                EXPECT_EQ(length, -16384);
                continue;
            }
            ASSERT_GT(length, 0);
            EXPECT_LT(length, 8000) << "text shrinks at level " << level;
            for (const auto reader : kLibraries) {
                bk::ChunkDecoder decoder(reader);
                const auto produced = decoder.decode(std::span(out.data(), std::size_t(length)), back);
                ASSERT_TRUE(produced);
                EXPECT_EQ(std::string(reinterpret_cast<char*>(back.data()), *produced), text);
            }
        }
    }
}

TEST(BackupChunk, DecoderRefusesDamagedPayloadsAlike)
{
    const std::string content = textBytes(5000);
    const std::string good = zlibStream(content, 6);
    std::string badCheck = good;
    badCheck.back() ^= 1;
    std::string badHeader = good;
    badHeader[0] = 0x79;  // not deflate with a 32K window
    const std::string withDictionary = std::string("\x78\xBB", 2) + good.substr(2);
    const struct {
        const char* name;
        std::string payload;
        bool accepted;
    } cases[] = {
        {"whole", good, true},
        {"trailing bytes after the stream", good + "xyz", true},
        {"cut short", good.substr(0, good.size() - 5), false},
        {"checksum wrong", badCheck, false},
        {"header wrong", badHeader, false},
        {"preset dictionary", withDictionary, false},
        {"more than a piece", zlibStream(std::string(16385, 'a'), 9), false},
        {"empty", "", false},
        {"noise", randomBytes(300, 5), false},
    };
    std::array<unsigned char, 16384> out{};
    for (const auto library : kLibraries) {
        bk::ChunkDecoder decoder(library);
        for (const auto& c : cases) {
            const auto produced = decoder.decode(bytesOf(c.payload), out);
            EXPECT_EQ(produced.has_value(), c.accepted) << c.name;
            if (produced) {
                EXPECT_EQ(*produced, content.size()) << c.name;
            }
        }
    }
}

// A folder of mixed content: text, noise, empty files, many small files, pieces around 16384.
void makeCorpus(const fs::path& root)
{
    fs::create_directories(root / "small");
    for (int i = 0; i < 150; ++i) {
        mtl::test::writeFile(root / "small" / ("f" + std::to_string(i) + ".txt"), textBytes(std::size_t(i * 37)));
    }
    mtl::test::writeFile(root / "text.log", textBytes(300000));
    mtl::test::writeFile(root / "noise.bin", randomBytes(200000, 9));
    mtl::test::writeFile(root / "exact.bin", randomBytes(16384 * 3, 2));
    mtl::test::writeFile(root / "mixed.dat", textBytes(50000) + randomBytes(50000, 4) + textBytes(12345));
    mtl::test::writeFile(root / "empty", "");
}

std::vector<std::string> archiveVolumes(const fs::path& archive)
{
    std::vector<std::string> volumes{mtl::test::readFile(archive)};
    for (int v = 2;; ++v) {
        const auto next = bk::volumeFileName(archive.string(), bk::volumeDigits(v));
        if (!fs::exists(next)) break;
        volumes.push_back(mtl::test::readFile(next));
    }
    return volumes;
}

TEST(BackupAhead, EncodingOnOtherThreadsWritesTheSequentialBytes)
{
    mtl::test::TempDir dir;
    makeCorpus(dir.path() / "corpus");
    const std::vector<std::string> specs = {(dir.path() / "corpus" / "* /s").string()};
    mtl::test::FakeEventPump pump;
    for (const auto level : {mtl::clFastest, mtl::clNone, mtl::clDefault, mtl::clMax}) {
        for (const std::int32_t maxSize : {0, 70000}) {
            std::vector<std::vector<std::string>> results;
            for (const int threads : {0, 1, 3}) {
                TBackupFile component(pump);
                component.CompressionLevel = level;
                // No identity list: its record carries the date of a fresh temporary file,
                // which may differ between the runs.
                component.MaxSize = maxSize;
                component.setCompressionThreads(threads);
                component.OnNeedDisk = [](TBackupFile&, std::uint16_t, bool& go) { go = true; };
                const auto archive = dir.path() / ("t" + std::to_string(threads)) / "a.mtb";
                fs::create_directories(archive.parent_path());
                ASSERT_TRUE(component.Backup(specs, archive.string()));
                results.push_back(archiveVolumes(archive));
            }
            EXPECT_EQ(results[0], results[1]) << "level " << level << " volumes " << maxSize;
            EXPECT_EQ(results[0], results[2]) << "level " << level << " volumes " << maxSize;
            if (maxSize != 0) {
                EXPECT_GT(results[0].size(), 5u);
            }
        }
    }
}

TEST(BackupCodecChoice, ArchivesOfEitherLibraryRestoreWithTheOther)
{
    mtl::test::TempDir dir;
    makeCorpus(dir.path() / "corpus");
    const std::vector<std::string> specs = {(dir.path() / "corpus" / "* /s").string()};
    mtl::test::FakeEventPump pump;
    for (const auto writer : kLibraries) {
        for (const auto reader : kLibraries) {
            const auto name = std::to_string(int(writer)) + std::to_string(int(reader));
            TBackupFile out(pump);
            out.setCodecLibrary(writer);
            out.CompressionLevel = mtl::clDefault;
            const auto archive = dir.path() / (name + ".mtb");
            ASSERT_TRUE(out.Backup(specs, archive.string()));

            TBackupFile in(pump);
            in.setCodecLibrary(reader);
            in.RestoreFullPath = true;
            const auto target = dir.path() / ("out" + name);
            ASSERT_TRUE(in.Restore(archive.string(), target.string()));
            EXPECT_EQ(in.FilesDone(), 155);
            for (const auto& entry : fs::recursive_directory_iterator(dir.path() / "corpus")) {
                if (!entry.is_regular_file()) continue;
                const auto restored = target / entry.path().relative_path();
                EXPECT_EQ(mtl::test::readFile(restored), mtl::test::readFile(entry.path())) << restored;
            }
        }
    }
}

} // namespace
