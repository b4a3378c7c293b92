// TBackupFile, the backup archive component: packs the files named by a list of file specs
// into one compressed archive (split into numbered volumes when MaxSize is set), lists an
// archive's header and identity list, and writes files back from it. Properties, events and
// run-time fields carry the names the program's windows use; events run on the calling
// thread, and the long loops yield through the EventPump after every chunk so that a cancel
// button can call Stop. Errors are numbered (ErrorCode) and reported once when an operation
// ends, through OnError or else an error message box; a few failures are instead thrown to
// the caller as mtl::FileError (listed at each operation).
#pragma once

#include "core/backup/backupfs.h"
#include "core/backup/chunkcodec.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace mtl {

class Dialogs;
class EventPump;

enum TBackupMode { bmAll, bmIncremental };
enum TCompressionLevel { clFastest, clNone, clDefault, clMax };
enum TRestoreMode { rmAll, rmNoOverwrite, rmNewer, rmExisting, rmExistingNewer };
using TPercentage = std::uint8_t;

class TBackupFile;

using TProgressEvent =
    std::function<void(TBackupFile& Sender, const std::string& Filename, TPercentage Percent, bool& Continue)>;
using TNeedDiskEvent = std::function<void(TBackupFile& Sender, std::uint16_t DiskID, bool& Continue)>;
using TRestoreFileEvent =
    std::function<void(TBackupFile& Sender, std::string& Filename, std::int32_t FA, bool& DoRestore)>;
using TFileRestoredEvent =
    std::function<void(TBackupFile& Sender, std::string& Filename, backup::WritableFile& Stream)>;
using TBackupErrorEvent =
    std::function<void(TBackupFile& Sender, std::int32_t Error, const std::string& ErrString)>;

class TBackupFile {
public:
    // `dialogs` shows the volume prompt and the error message when no handler is assigned
    // (without it the prompt counts as cancelled and errors only set ErrorCode);
    // `fileSystem` replaces the real file system (tests inject failures through it).
    explicit TBackupFile(EventPump& pump, Dialogs* dialogs = nullptr, backup::BackupFileSystem* fileSystem = nullptr);
    TBackupFile(const TBackupFile&) = delete;
    TBackupFile& operator=(const TBackupFile&) = delete;

    // --- Properties ---------------------------------------------------------------------
    std::string Version() const { return "5.00"; }
    void SetVersion(const std::string&) {}  // assigning has no effect
    std::string BackupTitle;
    TBackupMode BackupMode() const { return m_backupMode; }
    // Choosing bmIncremental while another mode is set also sets SetArchiveFlag.
    void SetBackupMode(TBackupMode mode);
    TCompressionLevel CompressionLevel = clFastest;
    TRestoreMode RestoreMode = rmAll;
    // 0: one archive file; otherwise the volume size limit in bytes, at least
    // backup::kMinVolumeSize (a smaller limit leaves no room for any chunk).
    std::int32_t MaxSize = 0;
    bool SetArchiveFlag = false;
    bool RestoreFullPath = false;
    bool SaveFileID = false;
    TProgressEvent OnProgress;
    TNeedDiskEvent OnNeedDisk;
    TRestoreFileEvent OnRestoreFile;
    TFileRestoredEvent OnFileRestored;
    TBackupErrorEvent OnError;
    // Used instead of a file when the archive name is exactly ":STREAM". A volume change on
    // a stream asks OnNeedDisk as usual and then goes on in the same stream, so the owner
    // may switch what the stream stands for inside the handler.
    backup::ReadableFile* ReadStream = nullptr;
    backup::WritableFile* WriteStream = nullptr;

    // --- Run-time state -----------------------------------------------------------------
    std::int32_t FileCount() const { return m_fileCount; }
    std::int32_t FilesDone() const { return m_filesDone; }
    std::int32_t TotalSize() const { return m_totalSize; }
    std::int32_t BytesDone() const { return static_cast<std::int32_t>(m_bytesDone); }
    std::int32_t BytesWritten() const { return static_cast<std::int32_t>(m_bytesWritten); }
    const std::string& CurrentFile() const { return m_currentFile; }
    bool Busy() const { return m_busy; }
    std::int32_t ErrorCode() const { return m_errorCode; }

    // --- Operations (synchronous; never start one while Busy) ---------------------------
    // Stores every collected file; true only when the end record was written. Throws
    // FileError when a listed file exists but cannot be opened while the sizes are summed
    // (nothing written yet), and when a record's name cannot be written.
    bool Backup(std::span<const std::string> fileSpecs, const std::string& archiveName);
    // Writes files back, to their stored paths when `destination` is empty. False at once,
    // with no event, when the archive does not exist. Throws FileError when the header
    // cannot be read, when a passed-over block is no data block, when a record cannot be read
    // and when continuing on a further volume fails.
    bool Restore(const std::string& archiveName, const std::string& destination);
    // Title, TotalSize and FileCount from the header; when `list` is given and the archive
    // begins with the identity list, the list's content is replaced by its lines.
    void GetArchiveInfo(const std::string& archiveName, std::vector<std::string>* list, std::string& title);
    // The running operation ends at its next check (before the next file, chunk or volume).
    void Stop() { m_continue = false; }

    // --- Tuning (not form properties) ---------------------------------------------------
    void setCodecLibrary(backup::CodecLibrary library) { m_library = library; }
    // Threads that encode ahead of the writer; 0 encodes on the calling thread only. The
    // archive bytes are the same either way.
    void setCompressionThreads(int threads) { m_threads = threads < 0 ? 0 : threads; }

private:
    struct BackupRun;
    struct RestoreRun;
    class BusyScope;

    void fail(std::int32_t code);
    void reportError();
    void progress(const std::string& filename, TPercentage percent);
    TPercentage percent() const;
    // The volume prompt: OnNeedDisk, or the message box; leaves the answer in the flag.
    void askForDisk(int volume, const std::string& numberText);

    EventPump& m_pump;
    Dialogs* m_dialogs;
    backup::BackupFileSystem& m_files;
    backup::CodecLibrary m_library = backup::kDefaultCodecLibrary;
    int m_threads;

    TBackupMode m_backupMode = bmAll;
    std::int32_t m_fileCount = 0;
    std::int32_t m_filesDone = 0;
    std::int32_t m_totalSize = 0;
    std::uint64_t m_bytesDone = 0;
    std::uint64_t m_bytesWritten = 0;
    std::uint64_t m_percentBase = 0;  // the byte total the percentage is taken of
    std::string m_currentFile;
    bool m_busy = false;
    bool m_continue = false;
    std::int32_t m_errorCode = 0;
};

} // namespace mtl
