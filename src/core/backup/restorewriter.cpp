#include "core/backup/restorewriter.h"

namespace mtl::backup {
namespace {

// Enough queued content to keep the thread busy across many small files; fixed memory.
constexpr std::size_t kQueueBytes = 8 * 1024 * 1024;

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

void RestoreWriter::push(Job job)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_bytes == 0 || m_bytes + job.content.size() <= kQueueBytes; });
    m_bytes += job.content.size();
    if (job.kind == Job::Kind::Begin) {
        ++m_targets[job.target];
        m_current = job.target;
    } else {
        job.target = m_current;
    }
    m_jobs.push_back(std::move(job));
    m_changed.notify_all();
}

void RestoreWriter::begin(std::string target, const EntryStatus& existing)
{
    push({Job::Kind::Begin, std::move(target), 0, {}, existing});
}

void RestoreWriter::data(std::vector<unsigned char> content)
{
    push({Job::Kind::Data, {}, 0, std::move(content)});
}

void RestoreWriter::commit(std::int32_t date)
{
    push({Job::Kind::Commit, {}, date, {}});
}

void RestoreWriter::abort()
{
    push({Job::Kind::Abort, {}, 0, {}});
}

void RestoreWriter::drain()
{
    std::unique_lock lock(m_mutex);
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
        m_changed.wait(lock, [&] { return !m_jobs.empty() || m_ending; });
        if (m_jobs.empty()) return;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        const bool skip = m_failed;
        lock.unlock();

        bool ok = true;
        if (!skip) {
            try {
                switch (job.kind) {
                case Job::Kind::Begin: file = m_files.createRestored(job.target, job.existing); break;
                case Job::Kind::Data:
                    if (file) file->write(job.content);
                    break;
                case Job::Kind::Commit:
                    if (file) file->commit(job.date);
                    break;
                case Job::Kind::Abort: file.reset(); break;
                }
            } catch (const std::exception&) {
                ok = false;
            }
            if (!ok || job.kind == Job::Kind::Commit) file.reset();
        }

        lock.lock();
        m_busy = false;
        m_bytes -= job.content.size();
        const bool ends = job.kind == Job::Kind::Commit || job.kind == Job::Kind::Abort;
        if (ends && --m_targets[job.target] == 0) m_targets.erase(job.target);
        if (!skip) {
            if (!ok) m_failed = true;
            else if (job.kind == Job::Kind::Commit) ++m_written;
        }
        m_changed.notify_all();
    }
}

} // namespace mtl::backup
