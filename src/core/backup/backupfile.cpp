// The component's shared parts (properties, reporting, progress, the volume prompt) and
// GetArchiveInfo; Backup and Restore have files of their own.
#include "core/backup/backupfile.h"

#include "core/backup/archiveformat.h"
#include "core/backup/archivereader.h"
#include "core/backup/backupinternal.h"
#include "core/backup/piecefeed.h"
#include "core/common/errors.h"
#include "core/platform/dialogs.h"
#include "core/platform/eventpump.h"

#include <algorithm>

namespace mtl {

using namespace backup;

TBackupFile::TBackupFile(EventPump& pump, Dialogs* dialogs, BackupFileSystem* fileSystem)
    : m_pump(pump), m_dialogs(dialogs), m_files(fileSystem ? *fileSystem : systemFileSystem()),
      m_threads(PieceFeed::defaultWorkers())
{
}

void TBackupFile::SetBackupMode(TBackupMode mode)
{
    if (mode == bmIncremental && m_backupMode != bmIncremental) SetArchiveFlag = true;
    m_backupMode = mode;
}

void TBackupFile::fail(std::int32_t code)
{
    m_errorCode = code;
    m_continue = false;
}

void TBackupFile::reportError()
{
    if (m_errorCode == 0) return;
    const std::string text(errorText(m_errorCode));
    if (OnError) {
        OnError(*this, m_errorCode, text);
    } else if (m_dialogs) {
        m_dialogs->message({text, "Error", MessageIcon::Error, MessageButtons::Ok});
    }
}

TPercentage TBackupFile::percent() const
{
    // With nothing to count against, the bar stays at the start until the final 100.
    if (m_percentBase == 0) return 0;
    const long double share = static_cast<long double>(m_bytesDone) * 100 / static_cast<long double>(m_percentBase);
    return static_cast<TPercentage>(std::min<long double>(share, 100));
}

void TBackupFile::progress(const std::string& filename, TPercentage value)
{
    if (OnProgress) OnProgress(*this, filename, value, m_continue);
}

void TBackupFile::askForDisk(int volume, const std::string& numberText)
{
    if (OnNeedDisk) {
        OnNeedDisk(*this, static_cast<std::uint16_t>(volume), m_continue);
        return;
    }
    if (!m_dialogs) {
        m_continue = false;
        return;
    }
    const MessageAnswer answer = m_dialogs->message(
        {insertDiskText(numberText), kApplicationTitle, MessageIcon::Information, MessageButtons::OkCancel});
    if (answer != MessageAnswer::Ok) m_continue = false;
}

void TBackupFile::GetArchiveInfo(const std::string& archiveName, std::vector<std::string>* list, std::string& title)
{
    title.clear();
    m_totalSize = 0;
    m_fileCount = 0;
    m_filesDone = 0;
    m_errorCode = 0;

    const bool toStream = archiveName == kStreamName;
    std::unique_ptr<ReadableFile> owned;
    ReadableFile* source = ReadStream;
    if (toStream) {
        if (!source) return;
    } else {
        if (m_files.status(archiveName).kind != EntryKind::File) return;
        try {
            owned = m_files.openArchive(archiveName);
        } catch (const std::exception&) {
            fail(kErrReadArchive);
            reportError();
            return;
        }
        source = owned.get();
    }

    try {
        ArchiveReader reader(*source, m_library);
        const ArchiveHeader header = reader.readHeader();
        title = header.title;
        m_totalSize = header.totalSize;
        m_fileCount = header.fileCount;
        const std::int32_t length = reader.readInt32();
        if (length > 0 && list) {
            if (reader.readText(length) == kIdentityListName) {
                reader.readInt32();  // its date
                m_continue = true;
                MemorySink sink(m_pump, m_continue);
                bool complete = reader.readBlock(sink) == ArchiveReader::BlockEnd::Complete;
                // A long list may run on into further volumes; they are opened without a
                // prompt, since only the list is wanted.
                int volume = 1;
                while (complete) {
                    ArchiveRecord next;
                    try {
                        next = reader.nextRecord();
                    } catch (const ArchiveDamage&) {
                        break;  // what follows the list does not concern the list
                    }
                    if (next.kind != ArchiveRecord::Kind::Continuation) break;
                    const auto number = continuationVolume(next.name);
                    if (!number || *number <= volume) throw ArchiveDamage(ArchiveDamage::Kind::BadVolume, next.offset);
                    volume = *number;
                    if (!toStream) {
                        const std::string name = volumeFileName(archiveName, volumeDigits(volume));
                        if (m_files.status(name).kind != EntryKind::File) throw FileError(name);
                        owned = m_files.openArchive(name);
                        reader.setSource(*owned);
                    }
                    complete = reader.readBlock(sink) == ArchiveReader::BlockEnd::Complete;
                }
                if (complete) *list = splitIdentityList(sink.text());
            }
        }
    } catch (const ArchiveDamage& damage) {
        fail(damage.kind() == ArchiveDamage::Kind::BadChunk ? kErrCompression : kErrNotArchive);
    } catch (const CodecError&) {
        fail(kErrCompression);
    } catch (const FileError&) {
        fail(kErrNotArchive);
    }
    reportError();
}

} // namespace mtl
