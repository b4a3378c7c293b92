// The content of the collected files as the archive writer consumes it: for each path in list
// order whether it exists and how it opened, then its pieces, each already encoded as a chunk.
// Every piece is encoded on its own, so worker threads may read and encode pieces ahead of the
// writer on the other cores while the writer still receives them in order and byte for byte
// as a sequential encoder makes them. The writer itself helps encode while it waits, so with
// one worker two cores work. Memory stays fixed: a ring of slots of two piece buffers each.
#pragma once

#include "core/backup/backupfs.h"
#include "core/backup/chunkcodec.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace mtl::backup {

class PieceFeed {
public:
    struct FileStart {
        bool exists = false;
        std::shared_ptr<SourceFile> file;  // null when it could not be opened
        std::string openError;
        std::uint64_t size = 0;
        std::int32_t date = 0;
    };

    struct Piece {
        enum class Status { Ok, ReadFailed, CodecFailed };
        Status status = Status::Ok;
        // Content bytes read; fewer than planned when the file ended early (0: no content left).
        std::size_t size = 0;
        bool endedEarly = false;
        std::int32_t length = 0;  // the chunk length field
        std::span<const unsigned char> payload;
        std::string error;
    };

    // The number of worker threads that suits this machine (0 on one core).
    static int defaultWorkers();

    PieceFeed(BackupFileSystem& files, std::vector<std::string> paths, int zlibLevel, CodecLibrary library,
              int workers);
    ~PieceFeed();
    PieceFeed(const PieceFeed&) = delete;
    PieceFeed& operator=(const PieceFeed&) = delete;

    // The next path of the list; pieces of the previous file not taken are dropped. The
    // reference stays valid until the next call of nextFile().
    const FileStart& nextFile();
    // The next piece of the current file; only to be asked while the file, by its size at
    // opening, has content left. Valid until the next call of either function.
    const Piece& nextPiece();

private:
    struct Slot;
    struct Thread;

    Slot* claimLocked(Thread& thread);
    void process(Slot& slot, Thread& thread);
    Slot& waitForHead(std::unique_lock<std::mutex>& lock);
    void releaseTaken(std::unique_lock<std::mutex>& lock);
    void workerLoop(Thread& thread);

    BackupFileSystem& m_files;
    std::vector<std::string> m_paths;
    int m_level;
    CodecLibrary m_library;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::unique_ptr<Slot>> m_ring;
    std::uint64_t m_planned = 0;   // sequence number of the next slot to plan
    std::uint64_t m_head = 0;      // sequence number of the next slot to hand out
    bool m_headTaken = false;      // the head slot has been handed out and is still in use
    bool m_cancelled = false;

    // Planning cursor (under the mutex).
    std::size_t m_nextEntry = 0;
    std::size_t m_planEntry = 0;
    std::shared_ptr<SourceFile> m_planFile;
    std::uint64_t m_planOffset = 0, m_planSize = 0;

    // The consumer's side.
    std::size_t m_currentEntry = static_cast<std::size_t>(-1);
    FileStart m_start;
    Piece m_piece;
    std::unique_ptr<Thread> m_own;  // the consumer's encoder, when it helps
    std::vector<std::unique_ptr<Thread>> m_workers;
};

} // namespace mtl::backup
