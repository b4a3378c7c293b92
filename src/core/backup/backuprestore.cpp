// TBackupFile::Restore: record by record, each file through the restore rule into a temporary
// file beside its target that replaces the target only once the file is complete, also when
// its content runs on into further volumes.
#include "core/backup/archiveformat.h"
#include "core/backup/archivereader.h"
#include "core/backup/backupfile.h"
#include "core/backup/backupinternal.h"
#include "core/backup/filespec.h"
#include "core/backup/restoretarget.h"
#include "core/backup/restorewriter.h"
#include "core/common/errors.h"
#include "core/common/fileio.h"

#include <cstring>
#include <optional>
#include <utility>
#include <unordered_set>

namespace mtl {

using namespace backup;

struct TBackupFile::RestoreRun {
    // A file being restored; it replaces its target at commit, or is dropped. With the
    // writer thread its content is collected in blocks streamed to the thread; otherwise
    // (and for owners that want the open file) it is written here into `file`.
    struct Pending {
        std::unique_ptr<RestoredFile> file;
        std::unique_ptr<RestoreWriter::Block> block;
        std::string target;
        std::int32_t date = 0;
    };

    // Chunks go to the pending file (or are passed over); progress is counted for a file.
    class Sink final : public BlockSink {
    public:
        Sink(RestoreRun& run, Pending* into) : m_run(run), m_into(into) {}
        bool decodes() const override { return m_into != nullptr; }
        bool goOn() const override { return m_run.c.m_continue; }
        void write(std::span<const unsigned char> bytes) override { m_run.writeContent(*m_into, bytes); }
        // With the writer thread chunks are decoded straight into its block.
        std::span<unsigned char> room() override
        {
            if (!m_into || m_into->file) return {};
            if (!m_into->block) m_into->block = m_run.writer->takeBlock();
            RestoreWriter::Block& block = *m_into->block;
            if (block.bytes.size() - block.size < kPieceSize) return {};
            return std::span(block.bytes.data() + block.size, block.bytes.size() - block.size);
        }
        void filled(std::size_t count) override
        {
            RestoreWriter::Block& block = *m_into->block;
            block.size += count;
            if (block.size == block.bytes.size()) m_run.writer->data(std::move(m_into->block));
        }
        void afterChunk(std::size_t produced, bool) override
        {
            TBackupFile& c = m_run.c;
            c.m_pump.yieldSliced();
            if (!m_into) return;
            c.m_bytesDone += produced;
            c.progress(c.m_currentFile, c.percent());
        }

    private:
        RestoreRun& m_run;
        Pending* m_into;
    };

    TBackupFile& c;
    const std::string& archiveName;
    const std::string destination;
    const bool toStream;
    std::unique_ptr<ReadableFile> owned;
    std::optional<ArchiveReader> reader;
    std::optional<Pending> pending;
    std::optional<RestoreWriter> writer;
    int volume = 1;
    // Folders already made or checked in this run: files of one folder follow each other,
    // and checking every level again for each of them would cost more than the writing.
    std::unordered_set<std::string> readyFolders;
    // Folders this run created (with a final "/"), and what it has put into them since:
    // in such a folder nothing else can stand at a target, so it need not be looked up.
    std::unordered_set<std::string> madeFolders;
    std::unordered_set<std::string> madeEntries;

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
    void writeContent(Pending& file, std::span<const unsigned char> bytes);
    // What stands at a target (the entry itself, links not followed).
    EntryStatus lookUp(const std::string& target) const;
    // Raises OnFileRestored, then puts a complete file in place of its target, or drops it.
    void finishPending(bool complete);
    // Counts what the writer thread has written and takes over its failure.
    void absorbWriter();
    // Waits for the writer thread when a queued file stands at `path` or on the way to it.
    void waitForQueued(const std::string& path, bool onTheWay);
};

void TBackupFile::RestoreRun::absorbWriter()
{
    if (!writer) return;
    c.m_filesDone += writer->takeWritten();
    if (writer->failed()) c.fail(kErrReadData);
}

void TBackupFile::RestoreRun::waitForQueued(const std::string& path, bool onTheWay)
{
    if (!writer) return;
    bool wait = writer->queued(path);
    for (std::size_t slash = path.find('/', 1); onTheWay && !wait && slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        wait = writer->queued(path.substr(0, slash));
    }
    if (!wait) return;
    writer->drain();
    absorbWriter();
}

EntryStatus TBackupFile::RestoreRun::lookUp(const std::string& target) const
{
    const std::string folder = target.substr(0, target.rfind('/') + 1);
    if (madeFolders.contains(folder) && !madeEntries.contains(target)) return {};
    return c.m_files.linkStatus(target);
}

void TBackupFile::RestoreRun::writeContent(Pending& file, std::span<const unsigned char> bytes)
{
    if (file.file) {
        file.file->write(bytes);
        return;
    }
    while (!bytes.empty()) {
        if (!file.block) file.block = writer->takeBlock();
        RestoreWriter::Block& block = *file.block;
        const std::size_t n = std::min(bytes.size(), block.bytes.size() - block.size);
        std::memcpy(block.bytes.data() + block.size, bytes.data(), n);
        block.size += n;
        bytes = bytes.subspan(n);
        if (block.size == block.bytes.size()) writer->data(std::move(file.block));
    }
}

void TBackupFile::RestoreRun::finishPending(bool complete)
{
    if (!pending) return;
    Pending file = std::move(*pending);
    pending.reset();
    if (!file.file) {
        if (complete && file.block && file.block->size > 0) writer->data(std::move(file.block));
        writer->giveBack(std::move(file.block));
        if (complete) writer->commit(file.date);
        else writer->abort();
        return;
    }
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
    Sink sink(*this, nullptr);
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

    if (!identity) waitForQueued(c.m_currentFile, false);
    EntryStatus existing = identity ? EntryStatus{} : lookUp(c.m_currentFile);
    bool decision = !identity && restoreDecision(c.RestoreMode, existing, record.date);
    if (!identity && c.OnRestoreFile) {
        const std::string before = c.m_currentFile;
        c.OnRestoreFile(c, c.m_currentFile, record.date, decision);
        if (c.m_currentFile != before) {
            waitForQueued(c.m_currentFile, false);
            existing = lookUp(c.m_currentFile);
        }
    }
    if (decision) {
        const std::string folder = c.m_currentFile.substr(0, c.m_currentFile.rfind('/') + 1);
        FolderState folders = FolderState::Ready;
        if (!readyFolders.contains(folder)) {
            waitForQueued(folder.substr(0, folder.size() - 1), true);
            std::vector<std::string> made;
            folders = prepareFolders(c.m_files, c.m_currentFile, destination, &made);
            if (folders == FolderState::Ready) readyFolders.insert(folder);
            for (auto& path : made) {
                madeEntries.insert(path);
                madeFolders.insert(std::move(path) + "/");
            }
        }
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
        pending = Pending{writer ? nullptr : c.m_files.createRestored(c.m_currentFile, existing), {},
                          c.m_currentFile, record.date};
    } catch (const std::exception&) {
        c.fail(kErrReadData);
        return;
    }
    madeEntries.insert(c.m_currentFile);
    if (writer) writer->begin(c.m_currentFile, existing);
    Sink sink(*this, &*pending);
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
    Sink sink(*this, &*pending);
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
        if (writer && writer->failed()) {
            absorbWriter();
            break;
        }
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

    // The writer thread serves only owners that do not want the open file handed to them.
    if (m_threads > 0 && !OnFileRestored) run.writer.emplace(m_files);
    try {
        run.run();
    } catch (...) {
        run.pending.reset();  // never leave a part in place of a file
        throw;                // the writer finishes the complete files queued before
    }
    if (run.writer) {
        run.writer->drain();
        run.absorbWriter();
    }
    run.owned.reset();
    const bool result = m_errorCode == 0 && m_continue;

    progress("", 100);
    m_busy = false;
    reportError();
    return result;
}

} // namespace mtl
