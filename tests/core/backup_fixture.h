// Shared by the backup archive tests: a file system that fails chosen operations (the tests
// run as root, where permissions make nothing unreadable), an archive reader written from the
// format alone on plain zlib (to show that archives restore with any reader of the format),
// and small helpers for files and archive bytes.
#pragma once

#include "core/backup/archiveformat.h"
#include "core/backup/backupfile.h"
#include "core/backup/backupfs.h"
#include "core/common/errors.h"
#include "support/fakes.h"

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <zlib.h>

namespace mtl::test::backup {

namespace fs = std::filesystem;
using mtl::backup::BackupFileSystem;
using mtl::backup::EntryKind;
using mtl::backup::EntryStatus;

enum class Op {
    Status,          // status() says Missing
    SourceMissing,   // opening a file to store finds nothing there (it vanished)
    OpenSource,      // opening a file to store
    ReadSource,      // reading a stored file's content
    OpenArchive,
    CreateArchive,
    WriteArchive,    // a write to an archive volume
    WriteTemp,       // the temporary identity file
    CreateRestored,
    WriteRestored,
    CommitRestored,
    MakeFolder,
};

// Wraps the real file system; an operation on a path that contains `pathPart` fails from its
// `fromCall`-th call on (1 = the first). For writes, `afterBytes` lets that many bytes through
// first. Safe to use from the encoder threads.
class FaultyFileSystem final : public BackupFileSystem {
public:
    struct Fault {
        Op op;
        std::string pathPart;
        int fromCall = 1;
        std::uint64_t afterBytes = 0;
    };

    void failOn(Fault fault)
    {
        std::lock_guard lock(m_mutex);
        m_faults.push_back({fault, 0});
    }
    // Paths whose archive attribute is set (Linux has none; the incremental mode needs one).
    std::set<std::string> archiveMarked;
    std::vector<std::string> attributeCleared;

    EntryStatus status(const fs::path& path) override
    {
        if (hit(Op::Status, path)) return {};
        return real().status(path);
    }
    EntryStatus linkStatus(const fs::path& path) override { return real().linkStatus(path); }
    std::vector<mtl::backup::FolderEntry> listFolder(const fs::path& folder) override { return real().listFolder(folder); }
    std::unique_ptr<mtl::backup::SourceFile> openSource(const fs::path& path) override
    {
        if (hit(Op::SourceMissing, path)) return nullptr;
        if (hit(Op::OpenSource, path)) throw FileError("open refused: " + path.string());
        auto inner = real().openSource(path);
        if (!inner) return nullptr;
        return std::make_unique<Source>(*this, path, std::move(inner));
    }
    std::unique_ptr<mtl::backup::ReadableFile> openArchive(const fs::path& path) override
    {
        if (hit(Op::OpenArchive, path)) throw FileError("open refused: " + path.string());
        return real().openArchive(path);
    }
    std::unique_ptr<mtl::backup::WritableFile> createArchive(const fs::path& path) override
    {
        if (hit(Op::CreateArchive, path)) throw FileError("create refused: " + path.string());
        return std::make_unique<Writer<mtl::backup::WritableFile>>(*this, Op::WriteArchive, path, real().createArchive(path));
    }
    fs::path writeTempFile(std::string_view prefix, std::string_view bytes) override
    {
        if (hit(Op::WriteTemp, std::string(prefix))) throw FileError("temp refused");
        fs::path made = real().writeTempFile(prefix, bytes);
        std::lock_guard lock(m_mutex);
        tempFiles.push_back(made);
        return made;
    }
    bool removeFile(const fs::path& path) override { return real().removeFile(path); }
    bool makeFolder(const fs::path& path) override
    {
        if (hit(Op::MakeFolder, path)) return false;
        return real().makeFolder(path);
    }
    std::unique_ptr<mtl::backup::RestoredFile> createRestored(const fs::path& target, const EntryStatus& existing) override
    {
        if (hit(Op::CreateRestored, target)) throw FileError("create refused: " + target.string());
        return std::make_unique<Restored>(*this, target, real().createRestored(target, existing));
    }
    bool archiveAttribute(const fs::path& path) override { return archiveMarked.contains(path.string()); }
    void clearArchiveAttribute(const fs::path& path) override
    {
        std::lock_guard lock(m_mutex);
        attributeCleared.push_back(path.string());
    }

    std::vector<fs::path> tempFiles;

private:
    static BackupFileSystem& real() { return mtl::backup::systemFileSystem(); }

    // Whether this call fails; counts calls per fault.
    bool hit(Op op, const fs::path& path)
    {
        std::lock_guard lock(m_mutex);
        for (auto& [fault, calls] : m_faults) {
            if (fault.op != op || path.string().find(fault.pathPart) == std::string::npos) continue;
            if (++calls >= fault.fromCall) return true;
        }
        return false;
    }
    // How many bytes a writer of this kind may still write in all, when a fault limits it.
    std::optional<std::uint64_t> writeLimit(Op op, const fs::path& path)
    {
        std::lock_guard lock(m_mutex);
        for (auto& [fault, calls] : m_faults) {
            if (fault.op == op && path.string().find(fault.pathPart) != std::string::npos) return fault.afterBytes;
        }
        return std::nullopt;
    }

    class Source final : public mtl::backup::SourceFile {
    public:
        Source(FaultyFileSystem& owner, fs::path path, std::unique_ptr<mtl::backup::SourceFile> inner)
            : m_owner(owner), m_path(std::move(path)), m_inner(std::move(inner)) {}
        std::uint64_t size() const override { return m_inner->size(); }
        std::int32_t date() const override { return m_inner->date(); }
        std::size_t readAt(std::uint64_t offset, std::span<unsigned char> into) override
        {
            if (m_owner.hit(Op::ReadSource, m_path)) throw FileError("read refused: " + m_path.string());
            return m_inner->readAt(offset, into);
        }

    private:
        FaultyFileSystem& m_owner;
        fs::path m_path;
        std::unique_ptr<mtl::backup::SourceFile> m_inner;
    };

    template <typename Base>
    class Writer : public Base {
    public:
        Writer(FaultyFileSystem& owner, Op op, fs::path path, std::unique_ptr<Base> inner)
            : m_owner(owner), m_op(op), m_path(std::move(path)), m_inner(std::move(inner)) {}
        using mtl::backup::WritableFile::write;
        void write(std::span<const unsigned char> bytes) override
        {
            const auto limit = m_owner.writeLimit(m_op, m_path);
            if (limit && m_written + bytes.size() > *limit) {
                const std::uint64_t allowed = *limit > m_written ? *limit - m_written : 0;
                m_inner->write(bytes.first(static_cast<std::size_t>(allowed)));
                m_written += allowed;
                throw FileError("write refused: " + m_path.string());
            }
            m_inner->write(bytes);
            m_written += bytes.size();
        }
        std::uint64_t position() const override { return m_inner->position(); }
        void flush() override { m_inner->flush(); }

    protected:
        FaultyFileSystem& m_owner;
        Op m_op;
        fs::path m_path;
        std::unique_ptr<Base> m_inner;
        std::uint64_t m_written = 0;
    };

    class Restored final : public Writer<mtl::backup::RestoredFile> {
    public:
        Restored(FaultyFileSystem& owner, fs::path path, std::unique_ptr<mtl::backup::RestoredFile> inner)
            : Writer(owner, Op::WriteRestored, std::move(path), std::move(inner)) {}
        void commit(std::int32_t date) override
        {
            if (m_owner.hit(Op::CommitRestored, m_path)) throw FileError("commit refused: " + m_path.string());
            m_inner->commit(date);
        }
    };

    std::mutex m_mutex;
    std::vector<std::pair<Fault, int>> m_faults;
};

// --- An archive reader from the format alone ------------------------------------------

struct StoredFile {
    std::string name;
    std::int32_t date = 0;
    std::string content;
};

struct ReadArchive {
    std::string title;
    std::int32_t totalSize = 0, fileCount = 0;
    std::vector<StoredFile> files;     // file records and the identity list, content joined across volumes
    std::vector<std::int32_t> chunkLengths;  // every chunk length field, in order
    int volumes = 1;
    bool ended = false;                // the end record was found
};

// Reads volumes given as byte strings, in order; throws std::runtime_error on any damage.
inline ReadArchive readIndependently(const std::vector<std::string>& volumes)
{
    ReadArchive result;
    std::size_t v = 0, at = 0;
    auto need = [&](std::size_t n) {
        if (at + n > volumes[v].size()) throw std::runtime_error("truncated");
    };
    auto int32 = [&] {
        need(4);
        const auto* p = reinterpret_cast<const unsigned char*>(volumes[v].data() + at);
        at += 4;
        return static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
                                          | std::uint32_t(p[3]) << 24);
    };
    auto text = [&](std::int32_t n) {
        need(std::size_t(n));
        std::string s = volumes[v].substr(at, std::size_t(n));
        at += std::size_t(n);
        return s;
    };
    auto block = [&](std::string& into) {
        if (text(4) != std::string("EC2\0", 4)) throw std::runtime_error("magic");
        for (;;) {
            const std::int32_t length = int32();
            if (length == 0) return;
            result.chunkLengths.push_back(length);
            if (length < 0) {
                into += text(-length);
                continue;
            }
            const std::string payload = text(length);
            std::string out(16384, '\0');
            uLongf outLength = out.size();
            if (uncompress(reinterpret_cast<Bytef*>(out.data()), &outLength,
                           reinterpret_cast<const Bytef*>(payload.data()), payload.size()) != Z_OK) {
                throw std::runtime_error("inflate");
            }
            into.append(out.data(), outLength);
        }
    };
    result.title = text(int32());
    result.totalSize = int32();
    result.fileCount = int32();
    for (;;) {
        const std::int32_t length = int32();
        if (length < 0) continue;
        if (length == 0) {
            result.ended = true;
            break;
        }
        const std::string name = text(length);
        if (name.starts_with("NEXT:DISK")) {
            if (++v >= volumes.size()) throw std::runtime_error("missing volume");
            at = 0;
            ++result.volumes;
            block(result.files.back().content);
            continue;
        }
        StoredFile file{name, int32(), {}};
        result.files.push_back(file);
        block(result.files.back().content);
    }
    return result;
}

// --- Helpers --------------------------------------------------------------------------

inline std::string randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (auto& c : bytes) c = static_cast<char>(generator() & 0xFF);
    return bytes;
}

inline std::string textBytes(std::size_t size)
{
    std::string text;
    for (int line = 0; text.size() < size; ++line) {
        text += "Wiersz " + std::to_string(line) + ": zażółć gęślą jaźń, the quick brown fox.\r\n";
    }
    text.resize(size);
    return text;
}

inline std::string int32Bytes(std::int32_t value)
{
    std::string bytes;
    mtl::backup::appendInt32(bytes, value);
    return bytes;
}

inline std::string magic()
{
    return std::string("EC2\0", 4);
}

// Sets a file's modification time from a packed date (so dates are exact to the format).
inline void setDosDate(const fs::path& file, std::int32_t packed)
{
    const auto when = mtl::backup::unpackDosDate(packed);
    const struct timespec times[2] = {{0, UTIME_OMIT}, {*when, 0}};
    ::utimensat(AT_FDCWD, file.c_str(), times, 0);
}

inline std::int32_t dosDateOf(const fs::path& file)
{
    return mtl::backup::systemFileSystem().status(file).date;
}

// Collects what the component reports.
struct Recorder {
    std::vector<std::pair<std::int32_t, std::string>> errors;
    std::vector<std::pair<std::string, int>> progress;
    std::vector<int> disks;

    void attach(TBackupFile& component)
    {
        component.OnError = [this](TBackupFile&, std::int32_t code, const std::string& text) {
            errors.emplace_back(code, text);
        };
        component.OnProgress = [this](TBackupFile&, const std::string& name, TPercentage percent, bool&) {
            progress.emplace_back(name, int(percent));
        };
    }
    std::vector<std::int32_t> codes() const
    {
        std::vector<std::int32_t> result;
        for (const auto& e : errors) result.push_back(e.first);
        return result;
    }
};

} // namespace mtl::test::backup
