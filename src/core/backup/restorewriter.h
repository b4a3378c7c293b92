// Writes restored files on a second thread while the restore decodes the next ones: most of
// a restore's time goes into creating, writing, dating and renaming files, not into
// inflating. The restore streams each file as begin, content blocks and commit (or abort);
// the thread works through them strictly in order, and after the first failure writes
// nothing more, so the files on disk are exactly those of a restore that stopped at that
// file. The restore waits for the queue before it looks at a target a queued file will
// replace. Content travels in a fixed pool of blocks that are reused, so memory stays fixed
// and no memory is mapped and unmapped per file (which would cost every core a TLB flush).
#pragma once

#include "core/backup/backupfs.h"

#include <array>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace mtl::backup {

class RestoreWriter {
public:
    static constexpr std::size_t kBlockSize = 64 * 1024;
    struct Block {
        std::array<unsigned char, kBlockSize> bytes;
        std::size_t size = 0;
    };

    explicit RestoreWriter(BackupFileSystem& files);
    // Writes what is still queued (unless a write failed), then ends the thread.
    ~RestoreWriter();
    RestoreWriter(const RestoreWriter&) = delete;
    RestoreWriter& operator=(const RestoreWriter&) = delete;

    // An empty block to fill; waits while every block is on its way.
    std::unique_ptr<Block> takeBlock();
    // A block not sent after all.
    void giveBack(std::unique_ptr<Block> block);

    // A file for `target`: its content follows in data() calls, then commit() or abort().
    void begin(std::string target, const EntryStatus& existing);
    void data(std::unique_ptr<Block> block);
    void commit(std::int32_t date);
    void abort();
    // Waits until everything queued is written or dropped.
    void drain();
    // Whether a queued file will be written at `path`.
    bool queued(const std::string& path);
    bool failed();
    // Files written since the last call.
    int takeWritten();

private:
    struct Job {
        enum class Kind { Begin, Data, Commit, Abort };
        Kind kind;
        std::string target;
        std::int32_t date = 0;
        std::unique_ptr<Block> block;
        EntryStatus existing;
    };
    void push(Job job);
    void run();

    BackupFileSystem& m_files;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    std::vector<std::unique_ptr<Block>> m_free;
    std::size_t m_blocks = 0;  // made so far
    std::unordered_map<std::string, int> m_targets;  // queued or being written
    bool m_busy = false;
    bool m_flush = false;  // someone waits for the thread
    bool m_failed = false;
    bool m_ending = false;
    int m_written = 0;
    std::string m_current;  // the target of the file being streamed in
    std::thread m_thread;
};

} // namespace mtl::backup
