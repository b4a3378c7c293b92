// Backup: volumes (the limit tested before each chunk, names 002/010/100, the 999th, the
// smallest MaxSize), stopping, progress, every error of the writer through the fault seam,
// the incremental mode, the archive never put into itself, and the owner's stream.
#include "backup_fixture.h"

#include "core/backup/archivereader.h"

#include <array>
#include <cstring>

#include <gtest/gtest.h>

namespace {

using namespace mtl::test::backup;
using mtl::TBackupFile;
namespace bk = mtl::backup;

std::vector<std::string> volumesOf(const fs::path& archive)
{
    std::vector<std::string> volumes{mtl::test::readFile(archive)};
    for (int v = 2; v <= 999; ++v) {
        const auto next = bk::volumeFileName(archive.string(), bk::volumeDigits(v));
        if (!fs::exists(next)) break;
        volumes.push_back(mtl::test::readFile(next));
    }
    return volumes;
}

struct Fixture {
    mtl::test::TempDir dir;
    mtl::test::FakeEventPump pump;
    FaultyFileSystem files;
    TBackupFile component{pump, nullptr, &files};
    Recorder recorder;

    Fixture()
    {
        recorder.attach(component);
        component.OnNeedDisk = [this](TBackupFile&, std::uint16_t disk, bool& go) {
            recorder.disks.push_back(disk);
            go = true;
        };
    }
    fs::path file(const std::string& name, const std::string& content)
    {
        const auto path = dir.path() / name;
        fs::create_directories(path.parent_path());
        mtl::test::writeFile(path, content);
        return path;
    }
    fs::path archive() const { return dir.path() / "out" / "a.mtb"; }
    bool backup(const std::vector<fs::path>& paths)
    {
        fs::create_directories(archive().parent_path());
        std::vector<std::string> specs;
        for (const auto& p : paths) specs.push_back(p.string());
        return component.Backup(specs, archive().string());
    }
};

TEST(BackupVolumes, SplitAtTheLimitAndReadBackWhole)
{
    Fixture f;
    const std::string content = randomBytes(150000, 1);
    const auto big = f.file("big.bin", content);
    f.component.MaxSize = 40000;
    ASSERT_TRUE(f.backup({big}));

    const auto volumes = volumesOf(f.archive());
    ASSERT_GE(volumes.size(), 4u);
    EXPECT_EQ(f.recorder.disks.size(), volumes.size() - 1);
    for (std::size_t v = 0; v < volumes.size(); ++v) {
        EXPECT_LE(volumes[v].size(), 40000u) << "volume " << v + 1;
        if (v > 0) {
            EXPECT_EQ(volumes[v].substr(0, 4), magic()) << "a further volume begins with a data block";
        }
        if (v + 1 < volumes.size()) {
            EXPECT_TRUE(volumes[v].ends_with(int32Bytes(0) + int32Bytes(12) + bk::continuationName(int(v) + 2)));
        }
    }
    const ReadArchive read = readIndependently(volumes);
    ASSERT_EQ(read.files.size(), 1u);
    EXPECT_EQ(read.files[0].content, content);
    EXPECT_EQ(read.volumes, int(volumes.size()));
    for (std::size_t d = 0; d < f.recorder.disks.size(); ++d) EXPECT_EQ(f.recorder.disks[d], int(d) + 2);

    // Without a limit the same file stays in one volume.
    Fixture g;
    ASSERT_TRUE(g.backup({g.file("big.bin", content)}));
    EXPECT_EQ(volumesOf(g.archive()).size(), 1u);
    EXPECT_TRUE(g.recorder.disks.empty());
}

TEST(BackupVolumes, LimitIsTestedOnlyBeforeAChunk)
{
    Fixture f;
    const auto first = f.file("a", randomBytes(32768, 2));  // two raw pieces
    const auto empty1 = f.file("e1", "");
    const auto empty2 = f.file("e2", "");
    const auto last = f.file("z", "tail of the archive");
    // The volume becomes full exactly with the second piece of the first file.
    const std::int64_t beforeChunks = 12 + 4 + std::int64_t(first.string().size()) + 4 + 4;
    f.component.MaxSize = std::int32_t(beforeChunks + 20000 + bk::kVolumeReserve);
    ASSERT_TRUE(f.backup({first, empty1, empty2, last}));

    const auto volumes = volumesOf(f.archive());
    ASSERT_EQ(volumes.size(), 2u);
    const std::string& one = volumes[0];
    // No continuation after the first file, none for the empty files; the last file gets
    // an empty block on the first volume and its content on the second.
    const std::string expectedTail = int32Bytes(std::int32_t(empty1.string().size())) + empty1.string()
        + int32Bytes(dosDateOf(empty1)) + magic() + int32Bytes(0) + int32Bytes(std::int32_t(empty2.string().size()))
        + empty2.string() + int32Bytes(dosDateOf(empty2)) + magic() + int32Bytes(0)
        + int32Bytes(std::int32_t(last.string().size())) + last.string() + int32Bytes(dosDateOf(last)) + magic()
        + int32Bytes(0) + int32Bytes(12) + "NEXT:DISK002";
    EXPECT_TRUE(one.ends_with(expectedTail));
    EXPECT_EQ(one.size(), std::size_t(beforeChunks + 2 * 16388 + 4) + expectedTail.size());
    EXPECT_EQ(volumes[1].substr(0, 4), magic());
    EXPECT_TRUE(volumes[1].ends_with(int32Bytes(0) + int32Bytes(0)));

    const ReadArchive read = readIndependently(volumes);
    ASSERT_EQ(read.files.size(), 4u);
    EXPECT_EQ(read.files[3].content, "tail of the archive");
    EXPECT_EQ(f.recorder.disks, std::vector<int>{2});
}

TEST(BackupVolumes, NamesUpTo999AndNoFurther)
{
    Fixture f;
    // With the smallest limit the first volume holds no chunk and each further one a single
    // chunk, so 1000 pieces need more than 999 volumes.
    const auto big = f.file("big.bin", randomBytes(1000 * 16384, 3));
    f.component.MaxSize = bk::kMinVolumeSize;
    f.component.CompressionLevel = mtl::clNone;
    EXPECT_FALSE(f.backup({big}));
    EXPECT_EQ(f.recorder.codes(), std::vector<std::int32_t>{4});
    EXPECT_EQ(f.recorder.errors[0].second, "Nie można utworzyć kopii zapasowej pliku !");
    const auto base = f.dir.path() / "out";
    for (const char* name : {"a.002", "a.010", "a.100", "a.999"}) EXPECT_TRUE(fs::exists(base / name)) << name;
    EXPECT_FALSE(fs::exists(base / "a.000"));
    EXPECT_EQ(f.recorder.disks.size(), 998u);
    EXPECT_EQ(f.recorder.disks.back(), 999);
    // The first volume was not overwritten by a later one: it still holds the header.
    EXPECT_TRUE(mtl::test::readFile(f.archive()).starts_with(int32Bytes(0) + int32Bytes(1000 * 16384)));
    EXPECT_EQ(mtl::test::readFile(base / "a.010").size(), 4u + 16388 + 4 + 16);
}

TEST(BackupVolumes, SmallestMaxSizeAndOwnExtension)
{
    const struct {
        std::int32_t maxSize;
        bool accepted;
    } cases[] = {{bk::kMinVolumeSize - 1, false}, {bk::kMinVolumeSize, true}, {-5, false}, {1, false}};
    for (const auto& c : cases) {
        Fixture f;
        const auto data = f.file("d.bin", randomBytes(3 * 16384, 4));
        f.component.MaxSize = c.maxSize;
        EXPECT_EQ(f.backup({data}), c.accepted) << c.maxSize;
        EXPECT_EQ(fs::exists(f.archive()), c.accepted) << "a refused limit creates nothing";
        if (c.accepted) {
            EXPECT_EQ(readIndependently(volumesOf(f.archive())).files[0].content, randomBytes(3 * 16384, 4));
        } else {
            EXPECT_EQ(f.recorder.codes(), std::vector<std::int32_t>{4});
        }
    }

    // An archive named like its own second volume is refused before it would be overwritten.
    Fixture f;
    const auto data = f.file("d.bin", randomBytes(3 * 16384, 4));
    f.component.MaxSize = 20000;
    const auto archive = f.dir.path() / "x.002";
    EXPECT_FALSE(f.component.Backup(std::vector<std::string>{data.string()}, archive.string()));
    EXPECT_EQ(f.recorder.codes(), std::vector<std::int32_t>{4});
    EXPECT_TRUE(mtl::test::readFile(archive).starts_with(int32Bytes(0) + int32Bytes(3 * 16384) + int32Bytes(1)));
    EXPECT_TRUE(f.recorder.disks.empty());
}

TEST(BackupRun, StopEndsAfterTheCurrentChunkWithoutEndRecord)
{
    Fixture f;
    const auto a = f.file("a.txt", textBytes(100000));
    const auto b = f.file("b.txt", textBytes(1000));
    int chunks = 0;
    f.component.OnProgress = [&](TBackupFile& sender, const std::string& name, mtl::TPercentage, bool&) {
        f.recorder.progress.emplace_back(name, 0);
        if (!name.empty() && ++chunks == 2) sender.Stop();
    };
    EXPECT_FALSE(f.backup({a, b}));
    EXPECT_EQ(chunks, 2);
    EXPECT_EQ(f.component.ErrorCode(), 0);
    EXPECT_TRUE(f.recorder.errors.empty());
    EXPECT_EQ(f.component.FilesDone(), 0);  // the first file is not in the archive whole
    EXPECT_FALSE(f.component.Busy());
    EXPECT_EQ(f.recorder.progress.back().first, "");
    EXPECT_THROW(readIndependently({mtl::test::readFile(f.archive())}), std::runtime_error);
    // The archive ends with the block end right after the second chunk.
    const std::string bytes = mtl::test::readFile(f.archive());
    EXPECT_TRUE(bytes.ends_with(int32Bytes(0)));
    EXPECT_EQ(bytes.find(b.string()), std::string::npos);
}

TEST(BackupRun, ProgressAndYieldAfterEveryChunk)
{
    Fixture f;
    const auto a = f.file("a.txt", textBytes(3 * 16384));
    const auto b = f.file("b.txt", textBytes(16384));
    f.component.SaveFileID = true;
    ASSERT_TRUE(f.backup({a, b}));
    const auto& p = f.recorder.progress;
    ASSERT_EQ(p.size(), 1u + 1 + 3 + 1 + 1);  // start, identity list, a, b, end
    EXPECT_EQ(p.front(), std::make_pair(std::string(), 0));
    EXPECT_EQ(p[1].first, f.files.tempFiles.at(0).string());
    EXPECT_EQ(p[2].first, a.string());
    EXPECT_EQ(p[5].first, b.string());
    EXPECT_EQ(p[5].second, 100);
    for (std::size_t i = 2; i < p.size() - 1; ++i) EXPECT_GE(p[i].second, p[i - 1].second);
    EXPECT_EQ(p.back(), std::make_pair(std::string(), 100));
    EXPECT_EQ(f.pump.slicedCalls, 5);
}

struct WriterFault {
    const char* name;
    std::function<void(Fixture&, const fs::path& file)> arrange;
    std::vector<std::int32_t> codes;
    bool throws;
    bool archiveCreated;
};

TEST(BackupErrors, EveryWriterFailure)
{
    // The header with an empty title is 12 bytes; then the record of the first file.
    auto recordStart = [](const fs::path&) { return std::uint64_t(12); };
    auto blockStart = [](const fs::path& file) { return 12 + 4 + file.string().size() + 4; };
    const WriterFault cases[] = {
        {"file cannot be opened for its record",
         [](Fixture& f, const fs::path& file) { f.files.failOn({Op::OpenSource, file.string(), 2}); }, {1}, false, true},
        {"date cannot be written",
         [&](Fixture& f, const fs::path& file) {
             f.files.failOn({Op::WriteArchive, "a.mtb", 1, blockStart(file) - 2});
         },
         {1}, false, true},
        {"content cannot be read",
         [](Fixture& f, const fs::path& file) { f.files.failOn({Op::ReadSource, file.string()}); }, {4}, false, true},
        {"archive cannot be created", [](Fixture& f, const fs::path&) { f.files.failOn({Op::CreateArchive, "a.mtb"}); },
         {4}, false, false},
        {"header cannot be written", [](Fixture& f, const fs::path&) { f.files.failOn({Op::WriteArchive, "a.mtb", 1, 5}); },
         {4}, false, true},
        {"data block cannot be written",
         [&](Fixture& f, const fs::path& file) {
             f.files.failOn({Op::WriteArchive, "a.mtb", 1, blockStart(file) + 6});
         },
         {4}, false, true},
        {"compression library refuses the level",
         [](Fixture& f, const fs::path&) { f.component.CompressionLevel = static_cast<mtl::TCompressionLevel>(7); }, {6},
         false, true},
        {"temporary identity file", [](Fixture& f, const fs::path&) {
             f.component.SaveFileID = true;
             f.files.failOn({Op::WriteTemp, "MTL"});
         },
         {7}, false, true},
        {"name cannot be written (passed to the caller)",
         [&](Fixture& f, const fs::path& file) {
             f.files.failOn({Op::WriteArchive, "a.mtb", 1, recordStart(file) + 2});
         },
         {}, true, true},
        {"file cannot be opened while sizes are summed (passed to the caller)",
         [](Fixture& f, const fs::path& file) { f.files.failOn({Op::OpenSource, file.string(), 1}); }, {}, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        const auto file = f.file("data.txt", textBytes(40000));
        c.arrange(f, file);
        bool result = false;
        if (c.throws) {
            EXPECT_THROW(f.backup({file}), mtl::FileError);
            EXPECT_FALSE(f.component.Busy());
        } else {
            result = f.backup({file});
        }
        EXPECT_FALSE(result);
        EXPECT_EQ(f.recorder.codes(), c.codes);
        for (const auto& [code, text] : f.recorder.errors) EXPECT_EQ(text, std::string(bk::errorText(code)));
        EXPECT_EQ(fs::exists(f.archive()), c.archiveCreated);
        for (const auto& temp : f.files.tempFiles) EXPECT_FALSE(fs::exists(temp));
    }
}

TEST(BackupErrors, TemporaryFileFailureLeavesAHeaderOnlyArchive)
{
    Fixture f;
    const auto a = f.file("a", "1"), b = f.file("b", "22");
    f.component.SaveFileID = true;
    f.component.BackupTitle = "Plik z: x";
    f.files.failOn({Op::WriteTemp, "MTL"});
    EXPECT_FALSE(f.backup({a, b}));
    EXPECT_EQ(f.component.FileCount(), 2);  // no identity entry to leave out
    EXPECT_EQ(mtl::test::readFile(f.archive()), int32Bytes(9) + "Plik z: x" + int32Bytes(3) + int32Bytes(2));

    f.recorder.errors.clear();
    std::vector<std::string> list{"kept"};
    std::string title;
    f.component.GetArchiveInfo(f.archive().string(), &list, title);
    EXPECT_EQ(title, "Plik z: x");
    EXPECT_EQ(f.component.TotalSize(), 3);
    EXPECT_EQ(f.recorder.codes(), std::vector<std::int32_t>{5});
}

TEST(BackupRun, VanishedFilesAreCountedButNotStored)
{
    Fixture f;
    const auto a = f.file("a", "alpha"), b = f.file("b", "beta");
    // Present when collected and sized, gone when its turn comes.
    f.files.failOn({Op::SourceMissing, b.string(), 2});
    ASSERT_TRUE(f.backup({a, b}));
    EXPECT_EQ(f.component.FileCount(), 2);
    EXPECT_EQ(f.component.FilesDone(), 1);
    EXPECT_EQ(f.component.TotalSize(), 9);
    const auto read = readIndependently({mtl::test::readFile(f.archive())});
    ASSERT_EQ(read.files.size(), 1u);
    EXPECT_EQ(read.files[0].name, a.string());
}

TEST(BackupProperties, DefaultsModesAndIncrementalMarks)
{
    Fixture f;
    EXPECT_EQ(f.component.Version(), "5.00");
    f.component.SetVersion("6.00");
    EXPECT_EQ(f.component.Version(), "5.00");
    EXPECT_EQ(f.component.BackupMode(), mtl::bmAll);
    EXPECT_EQ(f.component.CompressionLevel, mtl::clFastest);
    EXPECT_EQ(f.component.RestoreMode, mtl::rmAll);
    EXPECT_FALSE(f.component.SetArchiveFlag || f.component.SaveFileID || f.component.RestoreFullPath);
    EXPECT_EQ(f.component.MaxSize, 0);

    f.component.SetBackupMode(mtl::bmIncremental);
    EXPECT_TRUE(f.component.SetArchiveFlag);
    f.component.SetArchiveFlag = false;
    f.component.SetBackupMode(mtl::bmIncremental);  // unchanged mode: flag stays as set
    EXPECT_FALSE(f.component.SetArchiveFlag);
    f.component.SetBackupMode(mtl::bmAll);
    f.component.SetBackupMode(mtl::bmIncremental);
    EXPECT_TRUE(f.component.SetArchiveFlag);
    f.component.SetBackupMode(mtl::bmAll);
    EXPECT_TRUE(f.component.SetArchiveFlag);  // bmAll leaves it

    // Incremental: only marked files; marks are cleared only for files stored whole.
    f.component.SetBackupMode(mtl::bmIncremental);
    const auto a = f.file("a", "a"), b = f.file("b", "b"), c = f.file("c", "c");
    f.files.archiveMarked = {a.string(), c.string()};
    f.files.failOn({Op::ReadSource, c.string()});
    EXPECT_FALSE(f.backup({a, b, c}));
    EXPECT_EQ(f.component.FileCount(), 2);
    EXPECT_EQ(f.files.attributeCleared, std::vector<std::string>{a.string()});
}

TEST(BackupRun, ArchiveIsNeverPutIntoItself)
{
    Fixture f;
    const auto folder = f.dir.path() / "out";
    f.file("out/keep.txt", "keep");
    f.file("out/a.mtb", "an older archive of the same name");
    f.file("out/a.002", "an older second volume");
    fs::create_symlink(folder / "a.mtb", folder / "alias.mtb");
    f.component.MaxSize = 100000;
    ASSERT_TRUE(f.component.Backup(std::vector<std::string>{(folder / "*").string(), (folder / "a.mtb").string()},
                                   f.archive().string()));
    const auto read = readIndependently({mtl::test::readFile(f.archive())});
    ASSERT_EQ(read.files.size(), 1u);
    EXPECT_EQ(read.files[0].name, (folder / "keep.txt").string());
}

TEST(BackupStreams, WriteStreamAndReadStreamStandForTheArchive)
{
    Fixture f;
    const auto a = f.file("src/a.txt", textBytes(70000));
    f.component.SaveFileID = true;
    f.component.BackupTitle = "w pamięci";
    EXPECT_FALSE(f.component.Backup(std::vector<std::string>{a.string()}, ":STREAM"));
    EXPECT_EQ(f.recorder.codes(), std::vector<std::int32_t>{4}) << "no stream given";

    bk::MemoryWritable out;
    f.component.WriteStream = &out;
    ASSERT_TRUE(f.component.Backup(std::vector<std::string>{a.string()}, ":STREAM"));
    EXPECT_EQ(readIndependently({out.bytes()}).files[1].content, textBytes(70000));

    bk::MemoryReadable in(out.bytes());
    f.component.ReadStream = &in;
    std::vector<std::string> list;
    std::string title;
    f.component.GetArchiveInfo(":STREAM", &list, title);
    EXPECT_EQ(title, "w pamięci");
    EXPECT_EQ(list.size(), 1u);

    bk::MemoryReadable again(out.bytes());
    f.component.ReadStream = &again;
    ASSERT_TRUE(f.component.Restore(":STREAM", (f.dir.path() / "back").string()));
    EXPECT_EQ(mtl::test::readFile(f.dir.path() / "back" / "a.txt"), textBytes(70000));
}

} // namespace

// A file larger than 4 GiB, made up by the file system so nothing that size touches the disk.
class HugeFileSystem final : public bk::BackupFileSystem {
public:
    static constexpr std::uint64_t kSize = (std::uint64_t(1) << 32) + 3 * 16384 + 5;
    class Pattern final : public bk::SourceFile {
    public:
        Pattern()
        {
            for (std::size_t i = 0; i < m_pattern.size(); ++i) m_pattern[i] = static_cast<unsigned char>('a' + i % 23);
        }
        std::uint64_t size() const override { return kSize; }
        std::int32_t date() const override { return 0x50210000; }
        std::size_t readAt(std::uint64_t offset, std::span<unsigned char> into) override
        {
            const std::size_t n = std::size_t(std::min<std::uint64_t>(into.size(), kSize - std::min(offset, kSize)));
            std::memcpy(into.data(), m_pattern.data() + offset % 23, std::min<std::size_t>(n, 16384));
            return n;
        }

    private:
        std::array<unsigned char, 16384 + 23> m_pattern;
    };
    EntryStatus status(const fs::path& p) override { return real().status(p); }
    EntryStatus linkStatus(const fs::path& p) override { return real().linkStatus(p); }
    std::vector<bk::FolderEntry> listFolder(const fs::path& p) override { return real().listFolder(p); }
    std::unique_ptr<bk::SourceFile> openSource(const fs::path& p) override
    {
        if (p.filename() == "huge") return std::make_unique<Pattern>();
        return real().openSource(p);
    }
    std::unique_ptr<bk::ReadableFile> openArchive(const fs::path& p) override { return real().openArchive(p); }
    std::unique_ptr<bk::WritableFile> createArchive(const fs::path& p) override { return real().createArchive(p); }
    fs::path writeTempFile(std::string_view prefix, std::string_view bytes) override
    {
        return real().writeTempFile(prefix, bytes);
    }
    bool removeFile(const fs::path& p) override { return real().removeFile(p); }
    bool makeFolder(const fs::path& p) override { return real().makeFolder(p); }
    std::unique_ptr<bk::RestoredFile> createRestored(const fs::path& p, const EntryStatus& e) override
    {
        return real().createRestored(p, e);
    }
    bool archiveAttribute(const fs::path&) override { return false; }
    void clearArchiveAttribute(const fs::path&) override {}

private:
    static bk::BackupFileSystem& real() { return bk::systemFileSystem(); }
};

// Keeps the archive's structure and counts, without keeping, the long payloads.
class StructureOnly final : public bk::WritableFile {
public:
    using bk::WritableFile::write;
    void write(std::span<const unsigned char> bytes) override
    {
        m_position += bytes.size();
        if (bytes.size() > 64) return;
        kept.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    std::uint64_t position() const override { return m_position; }
    void flush() override {}
    std::string kept;

private:
    std::uint64_t m_position = 0;
};

TEST(BackupRun, AFileOfAnySizeIsStoredWholeAndOnlyTheTotalWraps)
{
    mtl::test::TempDir dir;
    mtl::test::writeFile(dir.path() / "huge", "");  // the collection finds it; its content is made up
    mtl::test::FakeEventPump pump;
    HugeFileSystem files;
    TBackupFile component(pump, nullptr, &files);
    component.CompressionLevel = mtl::clNone;  // full pieces go raw: 4 GiB without deflating
    StructureOnly out;
    component.WriteStream = &out;
    int lastPercent = -1;
    bool monotonic = true;
    component.OnProgress = [&](TBackupFile&, const std::string& name, mtl::TPercentage percent, bool&) {
        if (name.empty()) return;
        monotonic = monotonic && percent >= lastPercent && percent <= 100;
        lastPercent = percent;
    };
    ASSERT_TRUE(component.Backup(std::vector<std::string>{(dir.path() / "huge").string()}, ":STREAM"));
    EXPECT_EQ(component.TotalSize(), 3 * 16384 + 5);  // the low 32 bits
    EXPECT_EQ(component.FilesDone(), 1);
    EXPECT_TRUE(monotonic);
    EXPECT_EQ(lastPercent, 100);

    // Header, record and date, then one data block whose chunks hold the whole size.
    const std::string& kept = out.kept;
    const std::string name = (dir.path() / "huge").string();
    const std::string head = int32Bytes(0) + int32Bytes(3 * 16384 + 5) + int32Bytes(1)
        + int32Bytes(std::int32_t(name.size())) + name + int32Bytes(0x50210000) + magic();
    ASSERT_EQ(kept.substr(0, head.size()), head);
    std::uint64_t full = 0;
    std::size_t at = head.size();
    std::int32_t length = 0;
    while ((length = bk::loadInt32(reinterpret_cast<const unsigned char*>(kept.data() + at))) == -16384) {
        ++full;  // every piece but the last is full and stored raw
        at += 4;
    }
    EXPECT_EQ(full * 16384, HugeFileSystem::kSize - 5);
    // The last piece (5 bytes) fits as a stored-block stream of 16 bytes; then the block end
    // and the end record.
    EXPECT_EQ(length, 16);
    EXPECT_EQ(kept.substr(at + 4 + 16), int32Bytes(0) + int32Bytes(0));
    EXPECT_EQ(out.position(), head.size() + full * (16384 + 4) + 4 + 16 + 4 + 4);
}
