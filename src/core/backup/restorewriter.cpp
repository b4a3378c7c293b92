#include "core/backup/restorewriter.h"

#include <chrono>

namespace mtl::backup {
namespace {

// Blocks in the pool: 8 MiB of content on its way at most. A restore that ran out waits
// until a quarter are back, so it is not woken for every single one.
constexpr std::size_t kMaxBlocks = 128;
constexpr std::size_t kRefill = kMaxBlocks / 4;
// The thread is woken for a batch, not for every file: a wake-up costs more than writing a
// small file. While it sleeps it still looks at the queue this often.
constexpr std::size_t kWakeJobs = 64;
constexpr auto kWakeInterval = std::chrono::milliseconds(2);

} // namespace

RestoreWriter::RestoreWriter(BackupFileSystem& files) : m_files(files), m_thread([this] { run(); }) {}

RestoreWriter::~RestoreWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

std::unique_ptr<RestoreWriter::Block> RestoreWriter::takeBlock()
{
    std::unique_lock lock(m_mutex);
    if (m_free.empty() && m_blocks >= kMaxBlocks) {
        m_flush = true;
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return m_free.size() >= kRefill; });
    }
    if (m_free.empty()) {
        ++m_blocks;
        return std::make_unique<Block>();
    }
    auto block = std::move(m_free.back());
    m_free.pop_back();
    block->size = 0;
    return block;
}

void RestoreWriter::giveBack(std::unique_ptr<Block> block)
{
    if (!block) return;
    std::lock_guard lock(m_mutex);
    m_free.push_back(std::move(block));
}

void RestoreWriter::push(Job job)
{
    std::lock_guard lock(m_mutex);
    if (job.kind == Job::Kind::Begin) {
        ++m_targets[job.target];
        m_current = job.target;
    } else {
        job.target = m_current;
    }
    m_jobs.push_back(std::move(job));
    if (m_jobs.size() >= kWakeJobs) m_changed.notify_all();
}

void RestoreWriter::begin(std::string target, const EntryStatus& existing)
{
    push({Job::Kind::Begin, std::move(target), 0, nullptr, existing});
}

void RestoreWriter::data(std::unique_ptr<Block> block)
{
    push({Job::Kind::Data, {}, 0, std::move(block), {}});
}

void RestoreWriter::commit(std::int32_t date)
{
    push({Job::Kind::Commit, {}, date, nullptr, {}});
}

void RestoreWriter::abort()
{
    push({Job::Kind::Abort, {}, 0, nullptr, {}});
}

void RestoreWriter::drain()
{
    std::unique_lock lock(m_mutex);
    m_flush = true;
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_jobs.empty() && !m_busy; });
}

bool RestoreWriter::queued(const std::string& path)
{
    std::lock_guard lock(m_mutex);
    return m_targets.contains(path);
}

bool RestoreWriter::failed()
{
    std::lock_guard lock(m_mutex);
    return m_failed;
}

int RestoreWriter::takeWritten()
{
    std::lock_guard lock(m_mutex);
    const int written = m_written;
    m_written = 0;
    return written;
}

void RestoreWriter::run()
{
    std::unique_ptr<RestoredFile> file;  // the one being written; dropping it removes it
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait_for(lock, kWakeInterval, [&] { return m_ending || m_flush || m_jobs.size() >= kWakeJobs; });
        if (m_jobs.empty()) {
            m_flush = false;
            m_changed.notify_all();
            if (m_ending) return;
            continue;
        }
        std::deque<Job> batch;
        batch.swap(m_jobs);
        m_busy = true;
        bool failed = m_failed;
        lock.unlock();

        int written = 0;
        for (Job& job : batch) {
            if (!failed) {
                try {
                    switch (job.kind) {
                    case Job::Kind::Begin: file = m_files.createRestored(job.target, job.existing); break;
                    case Job::Kind::Data:
                        if (file) file->write(std::span(job.block->bytes.data(), job.block->size));
                        break;
                    case Job::Kind::Commit:
                        if (file) {
                            file->commit(job.date);
                            ++written;
                        }
                        file.reset();
                        break;
                    case Job::Kind::Abort: file.reset(); break;
                    }
                } catch (const std::exception&) {
                    failed = true;
                    file.reset();
                }
            }
            if (job.block) {
                // Blocks go back as soon as they are written, so the restore never waits
                // for a whole batch.
                std::lock_guard back(m_mutex);
                m_free.push_back(std::move(job.block));
                if (m_free.size() == kRefill) m_changed.notify_all();
            }
        }

        lock.lock();
        m_busy = false;
        m_failed = failed;
        m_written += written;
        for (const Job& job : batch) {
            const bool ends = job.kind == Job::Kind::Commit || job.kind == Job::Kind::Abort;
            if (ends && --m_targets[job.target] == 0) m_targets.erase(job.target);
        }
        if (m_jobs.empty()) m_flush = false;
        m_changed.notify_all();
    }
}

} // namespace mtl::backup
