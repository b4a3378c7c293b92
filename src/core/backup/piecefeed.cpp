#include "core/backup/piecefeed.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace mtl::backup {
namespace {

// Pieces in flight: enough to keep the other cores busy across many small files, small
// enough to keep memory fixed (two 16 KiB buffers a slot).
constexpr std::size_t kRingSlots = 64;

} // namespace

struct PieceFeed::Slot {
    enum class Kind { File, Piece };
    enum class State { Free, Working, Ready };
    Kind kind = Kind::File;
    State state = State::Free;
    std::size_t entry = 0;
    FileStart start;
    std::shared_ptr<SourceFile> source;
    std::uint64_t offset = 0;
    std::size_t want = 0;
    Piece result;
    std::array<unsigned char, kPieceSize> input;
    std::array<unsigned char, kPieceSize> output;
};

struct PieceFeed::Thread {
    std::unique_ptr<ChunkEncoder> encoder;
    std::thread thread;
};

int PieceFeed::defaultWorkers()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores <= 1 ? 0 : static_cast<int>(std::min(cores - 1, 3u));
}

PieceFeed::PieceFeed(BackupFileSystem& files, std::vector<std::string> paths, int zlibLevel, CodecLibrary library,
                     int workers)
    : m_files(files), m_paths(std::move(paths)), m_level(zlibLevel), m_library(library),
      m_own(std::make_unique<Thread>())
{
    m_ring.reserve(kRingSlots);
    for (std::size_t i = 0; i < kRingSlots; ++i) m_ring.push_back(std::make_unique<Slot>());
    for (int i = 0; i < workers; ++i) {
        auto worker = std::make_unique<Thread>();
        Thread* raw = worker.get();
        try {
            worker->thread = std::thread([this, raw] { workerLoop(*raw); });
        } catch (const std::system_error&) {
            break;  // fewer helpers only make it slower; the writer encodes what is left
        }
        m_workers.push_back(std::move(worker));
    }
}

PieceFeed::~PieceFeed()
{
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
    }
    m_changed.notify_all();
    for (auto& worker : m_workers) worker->thread.join();
}

PieceFeed::Slot* PieceFeed::claimLocked(Thread&)
{
    while (!m_cancelled && m_planned - m_head < m_ring.size()) {
        Slot& slot = *m_ring[m_planned % m_ring.size()];
        if (m_planFile && m_planOffset < m_planSize) {
            slot.kind = Slot::Kind::Piece;
            slot.entry = m_planEntry;
            slot.source = m_planFile;
            slot.offset = m_planOffset;
            slot.want = static_cast<std::size_t>(std::min<std::uint64_t>(kPieceSize, m_planSize - m_planOffset));
            slot.state = Slot::State::Working;
            m_planOffset += slot.want;
            ++m_planned;
            return &slot;
        }
        m_planFile.reset();
        if (m_nextEntry >= m_paths.size()) return nullptr;

        // Opening runs under the lock because the pieces planned next depend on the size;
        // it is short next to encoding.
        slot.kind = Slot::Kind::File;
        slot.entry = m_nextEntry;
        slot.start = FileStart{};
        const std::string& path = m_paths[m_nextEntry++];
        try {
            std::shared_ptr<SourceFile> file = m_files.openSource(path);
            if (file) {
                slot.start.exists = true;
                slot.start.size = file->size();
                slot.start.date = file->date();
                slot.start.file = std::move(file);
            }
        } catch (const std::exception& error) {
            slot.start.exists = true;
            slot.start.openError = error.what();
        }
        slot.state = Slot::State::Ready;
        ++m_planned;
        m_planEntry = slot.entry;
        m_planFile = slot.start.file;
        m_planOffset = 0;
        m_planSize = slot.start.file ? slot.start.size : 0;
        m_changed.notify_all();
    }
    return nullptr;
}

void PieceFeed::process(Slot& slot, Thread& thread)
{
    Piece& result = slot.result;
    result = Piece{};
    std::size_t got = 0;
    try {
        got = slot.source->readAt(slot.offset, std::span(slot.input.data(), slot.want));
    } catch (const std::exception& error) {
        result.status = Piece::Status::ReadFailed;
        result.error = error.what();
        return;
    }
    result.size = got;
    result.endedEarly = got < slot.want;
    if (got == 0) return;
    try {
        if (!thread.encoder) thread.encoder = std::make_unique<ChunkEncoder>(m_level, m_library);
        result.length = thread.encoder->encode(std::span(slot.input.data(), got), slot.output);
    } catch (const std::exception&) {
        result.status = Piece::Status::CodecFailed;
        return;
    }
    result.payload = result.length > 0
        ? std::span<const unsigned char>(slot.output.data(), static_cast<std::size_t>(result.length))
        : std::span<const unsigned char>(slot.input.data(), got);
}

void PieceFeed::workerLoop(Thread& thread)
{
    std::unique_lock lock(m_mutex);
    while (!m_cancelled) {
        Slot* job = claimLocked(thread);
        if (!job) {
            m_changed.wait(lock);
            continue;
        }
        lock.unlock();
        process(*job, thread);
        lock.lock();
        job->state = Slot::State::Ready;
        m_changed.notify_all();
    }
}

PieceFeed::Slot& PieceFeed::waitForHead(std::unique_lock<std::mutex>& lock)
{
    for (;;) {
        Slot& head = *m_ring[m_head % m_ring.size()];
        if (m_planned > m_head && head.state == Slot::State::Ready) return head;
        if (Slot* job = claimLocked(*m_own)) {
            lock.unlock();
            process(*job, *m_own);
            lock.lock();
            job->state = Slot::State::Ready;
            m_changed.notify_all();
            continue;
        }
        if (m_planned > m_head && head.state == Slot::State::Ready) return head;
        if (m_planned == m_head) throw std::logic_error("PieceFeed: read past the end of the list");
        m_changed.wait(lock);
    }
}

void PieceFeed::releaseTaken(std::unique_lock<std::mutex>&)
{
    if (!m_headTaken) return;
    Slot& slot = *m_ring[m_head % m_ring.size()];
    slot.source.reset();
    slot.start = FileStart{};
    slot.state = Slot::State::Free;
    ++m_head;
    m_headTaken = false;
    m_changed.notify_all();
}

const PieceFeed::FileStart& PieceFeed::nextFile()
{
    std::unique_lock lock(m_mutex);
    releaseTaken(lock);
    for (;;) {
        Slot& head = waitForHead(lock);
        m_headTaken = true;
        if (head.kind == Slot::Kind::Piece) {
            releaseTaken(lock);  // what the previous file did not use
            continue;
        }
        m_start = std::move(head.start);
        m_currentEntry = head.entry;
        return m_start;
    }
}

const PieceFeed::Piece& PieceFeed::nextPiece()
{
    std::unique_lock lock(m_mutex);
    releaseTaken(lock);
    Slot& head = waitForHead(lock);
    if (head.kind != Slot::Kind::Piece || head.entry != m_currentEntry) {
        throw std::logic_error("PieceFeed: no piece left in the current file");
    }
    m_headTaken = true;
    m_piece = head.result;
    return m_piece;
}

} // namespace mtl::backup
