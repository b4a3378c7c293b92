// TBackupFile::Backup: the sizes and the identity list, the header, one record and data block
// per file, the volume changes and the end record.
#include "core/backup/archiveformat.h"
#include "core/backup/backupfile.h"
#include "core/backup/backupinternal.h"
#include "core/backup/filespec.h"
#include "core/backup/piecefeed.h"
#include "core/common/errors.h"
#include "core/common/fileio.h"

#include <optional>

namespace mtl {

using namespace backup;

struct TBackupFile::BackupRun {
    TBackupFile& c;
    const std::string& archiveName;
    const bool toStream;
    std::unique_ptr<WritableFile> owned;
    WritableFile* out = nullptr;
    std::uint64_t volumeStart = 0;  // where the current volume began in `out`
    int volume = 1;
    std::optional<PieceFeed> feed;
    std::uint64_t remaining = 0;
    std::string identityFile;  // the temporary file of the identity list

    BackupRun(TBackupFile& component, const std::string& name)
        : c(component), archiveName(name), toStream(name == kStreamName)
    {
    }
    ~BackupRun()
    {
        feed.reset();  // its threads hold the temporary file open
        if (!identityFile.empty()) c.m_files.removeFile(identityFile);
    }

    void writeInt32(std::int32_t value)
    {
        std::string bytes;
        appendInt32(bytes, value);
        out->write(bytes);
    }

    std::uint64_t volumePosition() const { return out->position() - volumeStart; }

    void writeDataBlock();
    void changeVolume();
};

void TBackupFile::BackupRun::writeDataBlock()
{
    try {
        out->write(std::string_view(reinterpret_cast<const char*>(kBlockMagic.data()), kBlockMagic.size()));
        c.m_bytesWritten += 4;
        while (remaining > 0 && c.m_continue) {
            if (c.MaxSize != 0
                && static_cast<std::int64_t>(volumePosition()) >= static_cast<std::int64_t>(c.MaxSize) - kVolumeReserve) {
                break;  // the volume is full
            }
            const PieceFeed::Piece& piece = feed->nextPiece();
            if (piece.status == PieceFeed::Piece::Status::ReadFailed) {
                c.fail(kErrCreateArchive);
                break;
            }
            if (piece.size == 0) {  // the file is shorter now than when it was opened
                remaining = 0;
                break;
            }
            remaining -= std::min<std::uint64_t>(piece.size, remaining);
            c.m_bytesDone += piece.size;
            if (piece.status == PieceFeed::Piece::Status::CodecFailed) {
                c.fail(kErrCompression);
                break;
            }
            writeInt32(piece.length);
            out->write(piece.payload);
            c.m_bytesWritten += piece.payload.size() + 4;
            if (piece.endedEarly) remaining = 0;
            c.m_pump.yieldSliced();
            c.progress(c.m_currentFile, c.percent());
        }
        writeInt32(0);
        if (remaining > 0 && c.m_continue) changeVolume();
    } catch (const std::exception&) {
        c.fail(kErrCreateArchive);
    }
}

void TBackupFile::BackupRun::changeVolume()
{
    ++volume;
    // Three digits name at most 999 volumes; and an archive whose own extension is three
    // digits would meet its own name. Either way no earlier volume is ever overwritten.
    if (volume > kMaxVolumes) {
        c.fail(kErrCreateArchive);
        return;
    }
    const std::string digits = volumeDigits(volume);
    const std::string nextName = toStream ? std::string() : volumeFileName(archiveName, digits);
    if (!toStream && expandPath(nextName) == expandPath(archiveName)) {
        c.fail(kErrCreateArchive);
        return;
    }
    const std::string name = continuationName(volume);
    writeInt32(static_cast<std::int32_t>(name.size()));
    out->write(name);
    out->flush();
    owned.reset();
    if (!toStream) out = nullptr;

    c.askForDisk(volume, std::to_string(volume));
    if (!c.m_continue) return;
    if (toStream) {
        volumeStart = out->position();
    } else {
        owned = c.m_files.createArchive(nextName);
        out = owned.get();
        volumeStart = out->position();
    }
}

bool TBackupFile::Backup(std::span<const std::string> fileSpecs, const std::string& archiveName)
{
    m_errorCode = 0;
    BusyScope busy(m_busy);
    if (MaxSize != 0 && MaxSize < kMinVolumeSize) {
        // A limit that leaves no room for a chunk would open volume after volume forever.
        fail(kErrCreateArchive);
        reportError();
        return false;
    }

    BackupRun run(*this, archiveName);
    CollectOptions options;
    options.incremental = m_backupMode == bmIncremental;
    if (!run.toStream) {
        options.excluded.push_back(expandPath(archiveName));
        if (MaxSize != 0) {
            for (int volume = 2; volume <= kMaxVolumes; ++volume) {
                options.excluded.push_back(expandPath(volumeFileName(archiveName, volumeDigits(volume))));
            }
        }
    }
    std::vector<std::string> collected = collectFiles(fileSpecs, m_files, options);

    m_continue = true;
    progress("", 0);
    m_totalSize = 0;
    m_filesDone = 0;
    m_percentBase = 0;

    // The sizes (and the identity list) come from every listed file that exists; one that
    // exists but cannot be opened ends the backup before anything is written.
    std::string identity;
    for (const auto& path : collected) {
        const auto source = m_files.openSource(path);
        if (!source) continue;
        const std::uint64_t size = source->size();
        m_totalSize = static_cast<std::int32_t>(static_cast<std::uint32_t>(m_totalSize) + static_cast<std::uint32_t>(size));
        m_percentBase += size;
        if (SaveFileID) {
            identity += path;
            identity += '\t';
            identity += std::to_string(source->date());
            identity += '=';
            identity += std::to_string(size);
            identity += "\r\n";
        }
    }

    bool hasIdentity = false;
    if (SaveFileID) {
        try {
            run.identityFile = m_files.writeTempFile("MTL", identity).string();
            collected.insert(collected.begin(), run.identityFile);
            hasIdentity = true;
            m_totalSize = static_cast<std::int32_t>(static_cast<std::uint32_t>(m_totalSize)
                                                    + static_cast<std::uint32_t>(identity.size()));
            m_percentBase += identity.size();
        } catch (const std::exception&) {
            fail(kErrTempFile);
        }
    }

    m_fileCount = static_cast<std::int32_t>(collected.size() - (hasIdentity ? 1 : 0));
    try {
        if (run.toStream) {
            if (!WriteStream) throw FileError(fileErrorText("Nie można utworzyć pliku", std::string(kStreamName), 0));
            run.out = WriteStream;
        } else {
            run.owned = m_files.createArchive(archiveName);
            run.out = run.owned.get();
        }
        run.volumeStart = run.out->position();
        std::string header;
        appendInt32(header, static_cast<std::int32_t>(BackupTitle.size()));
        header += BackupTitle;
        appendInt32(header, m_totalSize);
        appendInt32(header, m_fileCount);
        run.out->write(header);
    } catch (const std::exception&) {
        fail(kErrCreateArchive);
    }
    m_bytesDone = 0;
    m_bytesWritten = 0;

    if (run.out && m_continue) {
        run.feed.emplace(m_files, collected, zlibLevelFor(CompressionLevel), m_library, m_threads);
        for (std::size_t i = 0; i < collected.size() && m_continue; ++i) {
            const PieceFeed::FileStart& start = run.feed->nextFile();
            if (!start.exists) continue;
            const bool isIdentity = hasIdentity && i == 0;
            // Paths are stored exactly: a blank at the end of a name is part of the name here.
            m_currentFile = isIdentity ? std::string(kIdentityListName) : collected[i];
            run.writeInt32(static_cast<std::int32_t>(m_currentFile.size()));
            run.out->write(m_currentFile);
            m_currentFile = collected[i];

            bool stored = false;
            if (!start.file) {
                fail(kErrReadData);
            } else {
                try {
                    run.writeInt32(start.date);
                } catch (const std::exception&) {
                    fail(kErrReadData);
                }
                if (m_continue) {
                    run.remaining = start.size;
                    do {
                        run.writeDataBlock();
                    } while (run.remaining > 0 && m_continue);
                    stored = run.remaining == 0 && m_errorCode == 0;
                }
            }
            if (stored && !isIdentity) {
                ++m_filesDone;
                // Only a file that is really in the archive loses its mark, or an
                // incremental backup would pass it over next time.
                if (SetArchiveFlag) m_files.clearArchiveAttribute(collected[i]);
            }
        }
    }

    bool result = false;
    if (run.out && m_continue) {
        try {
            run.writeInt32(0);
            result = true;
        } catch (const std::exception&) {
            fail(kErrCreateArchive);
        }
    }
    try {
        if (run.out) run.out->flush();
    } catch (const std::exception&) {
        fail(kErrCreateArchive);
        result = false;
    }
    run.owned.reset();
    run.feed.reset();
    if (!run.identityFile.empty()) {
        m_files.removeFile(run.identityFile);
        run.identityFile.clear();
    }

    progress("", 100);
    m_busy = false;
    reportError();
    return result;
}

} // namespace mtl
