// TBackupFile::Restore: record by record, each file through the restore rule into a temporary
// file beside its target that replaces the target only once the file is complete, also when
// its content runs on into further volumes.
#include "core/backup/archiveformat.h"
#include "core/backup/archivereader.h"
#include "core/backup/backupfile.h"
#include "core/backup/backupinternal.h"
#include "core/backup/filespec.h"
#include "core/backup/restoretarget.h"
#include "core/common/errors.h"
#include "core/common/fileio.h"

#include <optional>

namespace mtl {

using namespace backup;

struct TBackupFile::RestoreRun {
    // A file being restored; it replaces its target at commit, or is dropped.
    struct Pending {
        std::unique_ptr<RestoredFile> file;
        std::string target;
        std::int32_t date = 0;
    };

    // Chunks go to the pending file (or are passed over); progress is counted for a file.
    class Sink final : public BlockSink {
    public:
        Sink(TBackupFile& c, WritableFile* out) : m_c(c), m_out(out) {}
        bool decodes() const override { return m_out != nullptr; }
        bool goOn() const override { return m_c.m_continue; }
        void write(std::span<const unsigned char> bytes) override { m_out->write(bytes); }
        void afterChunk(std::size_t produced, bool) override
        {
            m_c.m_pump.yieldSliced();
            if (!m_out) return;
            m_c.m_bytesDone += produced;
            m_c.progress(m_c.m_currentFile, m_c.percent());
        }

    private:
        TBackupFile& m_c;
        WritableFile* m_out;
    };

    TBackupFile& c;
    const std::string& archiveName;
    const std::string destination;
    const bool toStream;
    std::unique_ptr<ReadableFile> owned;
    std::optional<ArchiveReader> reader;
    std::optional<Pending> pending;
    int volume = 1;

    RestoreRun(TBackupFile& component, const std::string& name, std::string dest)
        : c(component), archiveName(name), destination(std::move(dest)), toStream(name == kStreamName)
    {
    }

    [[noreturn]] void readFailure() const
    {
        throw FileError(fileErrorText("Nie można odczytać pliku", archiveName, 0));
    }

    void run();
    void restoreRecord(const ArchiveRecord& record);
    void continueOnNextVolume(const ArchiveRecord& record);
    void skipBlock();
    // Raises OnFileRestored, then puts a complete file in place of its target, or drops it.
    void finishPending(bool complete);
};

void TBackupFile::RestoreRun::finishPending(bool complete)
{
    if (!pending) return;
    Pending file = std::move(*pending);
    pending.reset();
    if (c.OnFileRestored) {
        std::string name = file.target;
        c.OnFileRestored(c, name, *file.file);
    }
    if (!complete) return;  // the temporary file goes with `file`
    try {
        file.file->commit(file.date);
        ++c.m_filesDone;
    } catch (const std::exception&) {
        c.fail(kErrReadData);
    }
}

void TBackupFile::RestoreRun::skipBlock()
{
    Sink sink(c, nullptr);
    try {
        reader->readBlock(sink);
    } catch (const ArchiveDamage& damage) {
        if (damage.kind() == ArchiveDamage::Kind::BadMagic) throw FileError(std::string(kTextNotArchive));
        c.fail(kErrReadData);
    } catch (const FileError&) {
        c.fail(kErrReadData);
    }
}

void TBackupFile::RestoreRun::restoreRecord(const ArchiveRecord& record)
{
    const bool identity = record.name == kIdentityListName;
    const RestoreTarget target = restoreTarget(record.name, destination, c.RestoreFullPath);
    c.m_currentFile = target.path;
    if (!identity && target.refused) {
        // Refused for this file only: the error is reported at the end, the rest goes on.
        c.m_errorCode = kErrReadData;
        skipBlock();
        return;
    }

    bool decision = !identity && restoreDecision(c.RestoreMode, c.m_files.linkStatus(c.m_currentFile), record.date);
    if (!identity && c.OnRestoreFile) c.OnRestoreFile(c, c.m_currentFile, record.date, decision);
    if (decision) {
        const FolderState folders = prepareFolders(c.m_files, c.m_currentFile, destination);
        if (folders == FolderState::Refused) {
            c.m_errorCode = kErrReadData;
            skipBlock();
            return;
        }
        decision = folders == FolderState::Ready;
    }
    if (!decision) {
        skipBlock();
        return;
    }

    try {
        pending = Pending{c.m_files.createRestored(c.m_currentFile), c.m_currentFile, record.date};
    } catch (const std::exception&) {
        c.fail(kErrReadData);
        return;
    }
    Sink sink(c, pending->file.get());
    try {
        if (reader->readBlock(sink) == ArchiveReader::BlockEnd::Stopped) finishPending(false);
        // A complete block waits for the next record: a continuation may carry the rest.
    } catch (const ArchiveDamage& damage) {
        c.fail(damage.kind() == ArchiveDamage::Kind::BadChunk ? kErrCompression : kErrReadData);
        finishPending(false);
    } catch (const CodecError&) {
        c.fail(kErrCompression);
        finishPending(false);
    } catch (const FileError&) {
        c.fail(kErrReadData);
        finishPending(false);
    }
}

void TBackupFile::RestoreRun::continueOnNextVolume(const ArchiveRecord& record)
{
    // Only a later volume may follow; anything else would read a volume twice, or forever.
    const auto number = continuationVolume(record.name);
    const std::string digits = record.name.substr(kContinuationPrefix.size());
    const std::string nextName = toStream || !number ? std::string() : volumeFileName(archiveName, digits);
    if (!number || *number <= volume || (!toStream && expandPath(nextName) == expandPath(archiveName))) {
        throw FileError(std::string(kTextNotArchive));
    }
    // The volume read so far is closed before the prompt, so its medium can be changed. The
    // reader is not used again until it has the next one.
    if (!toStream) owned.reset();
    const std::string numberText = std::to_string(*number);
    do {
        c.askForDisk(*number, numberText);
    } while (c.m_continue && !toStream && c.m_files.status(nextName).kind != EntryKind::File);
    if (!c.m_continue) {
        finishPending(false);
        return;
    }
    if (!toStream) {
        owned = c.m_files.openArchive(nextName);
        reader->setSource(*owned);
    }
    volume = *number;

    if (!pending) {
        skipBlock();
        return;
    }
    Sink sink(c, pending->file.get());
    try {
        if (reader->readBlock(sink) == ArchiveReader::BlockEnd::Stopped) finishPending(false);
    } catch (const ArchiveDamage& damage) {
        if (damage.kind() == ArchiveDamage::Kind::BadMagic) throw FileError(std::string(kTextNotArchive));
        if (damage.kind() != ArchiveDamage::Kind::BadChunk) readFailure();
        c.fail(kErrCompression);
        finishPending(false);
    } catch (const CodecError&) {
        c.fail(kErrCompression);
        finishPending(false);
    }
}

void TBackupFile::RestoreRun::run()
{
    while (c.m_continue) {
        ArchiveRecord record;
        try {
            record = reader->nextRecord();
        } catch (const ArchiveDamage&) {
            // The last file's block ended properly; only its record is beyond reach.
            finishPending(true);
            readFailure();
        }
        if (record.kind == ArchiveRecord::Kind::End) break;
        if (record.kind == ArchiveRecord::Kind::Continuation) {
            continueOnNextVolume(record);
            continue;
        }
        finishPending(true);
        restoreRecord(record);
    }
    if (pending && !c.m_continue) {
        // Stopped right after a block: the file is whole unless its content goes on in the
        // next volume, which the next record tells.
        bool continues = false;
        try {
            continues = reader->nextRecord().kind == ArchiveRecord::Kind::Continuation;
        } catch (const std::exception&) {
        }
        finishPending(!continues);
    }
    finishPending(true);
}

bool TBackupFile::Restore(const std::string& archiveName, const std::string& destination)
{
    std::string dest = destination;
    if (!dest.empty() && dest.back() != '/') dest += '/';
    m_errorCode = 0;
    m_filesDone = 0;
    m_continue = true;

    RestoreRun run(*this, archiveName, dest);
    ReadableFile* source = ReadStream;
    if (run.toStream) {
        if (!source) return false;
    } else {
        if (m_files.status(archiveName).kind != EntryKind::File) return false;
        try {
            run.owned = m_files.openArchive(archiveName);
        } catch (const std::exception&) {
            throw FileError(std::string(kTextReadArchive));
        }
        source = run.owned.get();
    }

    BusyScope busy(m_busy);
    try {
        run.reader.emplace(*source, m_library);
        const ArchiveHeader header = run.reader->readHeader();
        m_totalSize = header.totalSize;
        m_fileCount = header.fileCount;
    } catch (const std::exception&) {
        throw FileError(std::string(kTextReadArchive));
    }
    m_bytesDone = 0;
    m_percentBase = static_cast<std::uint32_t>(m_totalSize);

    try {
        run.run();
    } catch (...) {
        run.pending.reset();  // never leave a part in place of a file
        throw;
    }
    run.owned.reset();
    const bool result = m_errorCode == 0 && m_continue;

    progress("", 100);
    m_busy = false;
    reportError();
    return result;
}

} // namespace mtl
