#include "core/scan/folderreader.h"

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>

namespace mtl {

// The first-in-first-out queue of folder paths, kept in one growing text so that queueing a
// folder costs no allocation of its own. Consumed text is dropped from the front now and
// then, so a long walk does not keep every path it ever queued.
class FolderQueue {
public:
    bool empty() const { return m_head == m_ends.size(); }

    void push(std::string_view folder, std::string_view name)
    {
        m_text.append(folder);
        m_text.append(name);
        m_ends.push_back(m_text.size());
    }

    void pop(std::string& out)
    {
        const std::size_t begin = m_head == 0 ? 0 : m_ends[m_head - 1];
        const std::size_t end = m_ends[m_head++];
        out.assign(m_text, begin, end - begin);
        if (m_head >= 4096 && m_head * 2 >= m_ends.size()) compact();
    }

private:
    void compact()
    {
        const std::size_t consumed = m_ends[m_head - 1];
        m_text.erase(0, consumed);
        m_ends.erase(m_ends.begin(), m_ends.begin() + std::ptrdiff_t(m_head));
        for (std::size_t& end : m_ends) end -= consumed;
        m_head = 0;
    }

    std::string m_text;
    std::vector<std::size_t> m_ends;
    std::size_t m_head = 0;
};

namespace {

// Folders held open ahead of the walk: enough to keep the helper busy, few enough to leave
// the process most of its descriptors.
std::size_t maxFoldersAhead()
{
    rlimit limit{};
    std::size_t ahead = 256;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        ahead = std::min<std::size_t>(ahead, std::size_t(limit.rlim_cur) / 4);
    return std::max<std::size_t>(ahead, 4);
}

// A batch is handed over when it is this big, or when it has been held this long (less long
// while the walk is waiting for it).
constexpr std::size_t batchFolders = 64;
constexpr std::size_t batchEntries = 4096;
constexpr auto maxHold = std::chrono::milliseconds(10);
constexpr auto maxHoldWhileWaited = std::chrono::milliseconds(1);
constexpr std::size_t recycleBundle = 32;
// How long the walking thread waits for folders before it lets its caller work.
constexpr auto waitSlice = std::chrono::milliseconds(10);

} // namespace

FolderReader::FolderReader(DirectoryLister& lister, std::string root, bool recurse, bool ahead,
                           std::function<void()> whileWaiting)
    : m_lister(lister),
      m_whileWaiting(std::move(whileWaiting)),
      m_recurse(recurse),
      m_maxAhead(maxFoldersAhead()),
      m_queue(std::make_unique<FolderQueue>()),
      m_nextFolder(std::move(root))
{
    if (ahead) m_thread = std::thread([this] { run(); });
}

FolderReader::~FolderReader()
{
    if (!m_thread.joinable()) return;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_producerWake.notify_all();
    m_thread.join();
}

bool FolderReader::readNext(ListedFolder& folder)
{
    folder.folder = m_nextFolder;
    // The root may be a link the user chose; a queued folder that turned into a link since
    // its parent was listed is refused rather than followed.
    read(folder, !m_fromQueue, *m_queue);
    if (folder.error != 0 || m_queue->empty()) return false;
    m_queue->pop(m_nextFolder);
    m_fromQueue = true;
    return true;
}

void FolderReader::read(ListedFolder& folder, bool followLink, FolderQueue& queue)
{
    folder.path = folder.folder;
    if (folder.path.empty()) {
        // An empty root would name the file system's root once the '/' is added; a cleaner
        // must not widen the user's choice like that, so it cannot be listed.
        folder.error = ENOENT;
        return;
    }
    if (folder.path.back() != '/') folder.path.push_back('/');
    int error = 0;
    folder.listing = m_lister.open(folder.path, followLink, error);
    if (!folder.listing) {
        folder.error = error;
        return;
    }
    DirEntry entry;
    while (folder.listing->next(entry)) {
        if (entry.name == "." || entry.name == "..") continue;
        ListedEntry& listed = folder.entries.emplace_back();
        listed.nameOffset = std::uint32_t(folder.names.size());
        listed.nameLength = std::uint16_t(entry.name.size());  // at most 255 on Linux
        folder.names.append(entry.name);
        folder.names.push_back('\0');
        listed.isFolder = entry.type == EntryType::Folder;
        if (entry.type == EntryType::Unknown) {
            EntryStatus status;
            listed.haveStatus = folder.listing->status(entry.cname, status);
            listed.isFolder = listed.haveStatus && S_ISDIR(status.mode);
            if (listed.haveStatus) {
                listed.status = std::uint32_t(folder.statuses.size());
                folder.statuses.push_back(status);
            }
        }
        // Queued before any test, so that excluded, hidden and unmatched folders are
        // descended into as well.
        if (listed.isFolder && m_recurse) queue.push(folder.path, entry.name);
    }
    folder.error = folder.listing->error();
}

std::unique_ptr<ListedFolder> FolderReader::obtain(Batch& unpublished)
{
    // The count of folders ahead is brought up to date only when the lock is taken anyway:
    // this side's estimate can only be too high, since the walk only ever lowers it.
    if (m_aheadEstimate >= m_maxAhead || m_producerFree.empty()) {
        std::unique_lock lock(m_mutex);
        m_ahead += std::ptrdiff_t(m_producedSinceLock);
        m_producedSinceLock = 0;
        if (m_ahead >= std::ptrdiff_t(m_maxAhead)) {
            // The walk is far behind: let it have what is listed, then wait until it has
            // caught up by half, so that it does not have to wake this thread too often.
            std::move(unpublished.begin(), unpublished.end(), std::back_inserter(m_ready));
            unpublished.clear();
            m_consumerWake.notify_one();
            m_producerWaiting = true;
            m_producerWake.wait(lock, [this] { return m_stop || m_ahead <= std::ptrdiff_t(m_maxAhead / 2); });
            m_producerWaiting = false;
        }
        std::move(m_free.begin(), m_free.end(), std::back_inserter(m_producerFree));
        m_free.clear();
        m_aheadEstimate = std::size_t(std::max<std::ptrdiff_t>(m_ahead, 0));
    }
    if (m_stop) return nullptr;
    ++m_producedSinceLock;
    ++m_aheadEstimate;
    if (m_producerFree.empty()) return std::make_unique<ListedFolder>();
    auto folder = std::move(m_producerFree.back());
    m_producerFree.pop_back();
    return folder;
}

void FolderReader::recycle()
{
    const std::size_t count = m_recycling.size();
    if (count == 0) return;
    bool wake;
    {
        std::lock_guard lock(m_mutex);
        std::move(m_recycling.begin(), m_recycling.end(), std::back_inserter(m_free));
        m_ahead -= std::ptrdiff_t(count);  // may go below zero until the helper adds its own
        wake = m_producerWaiting && m_ahead <= std::ptrdiff_t(m_maxAhead / 2);
    }
    m_recycling.clear();
    if (wake) m_producerWake.notify_one();
}

void FolderReader::publish(Batch& unpublished, bool done)
{
    {
        std::lock_guard lock(m_mutex);
        std::move(unpublished.begin(), unpublished.end(), std::back_inserter(m_ready));
        if (done) m_done = true;
    }
    unpublished.clear();
    m_consumerWake.notify_one();
}

void FolderReader::run()
{
    Batch unpublished;
    try {
        std::size_t unpublishedEntries = 0;
        auto lastPublished = std::chrono::steady_clock::now();
        for (;;) {
            auto folder = obtain(unpublished);
            if (!folder) return;  // stopped
            const bool more = readNext(*folder);
            unpublishedEntries += folder->entries.size();
            unpublished.push_back(std::move(folder));
            if (!more) break;
            // Handing over costs a wake-up of the walking thread when it waits, so folders
            // go over in batches; a batch that is slow to fill goes over all the same.
            const auto now = std::chrono::steady_clock::now();
            const auto waited = now - lastPublished;
            if (unpublished.size() >= batchFolders || unpublishedEntries >= batchEntries ||
                waited >= maxHold || (m_consumerWaiting && waited >= maxHoldWhileWaited)) {
                publish(unpublished, false);
                unpublishedEntries = 0;
                lastPublished = now;
            }
        }
        publish(unpublished, true);
    } catch (...) {
        {
            std::lock_guard lock(m_mutex);
            m_failure = std::current_exception();
        }
        publish(unpublished, true);
    }
}

ListedFolder* FolderReader::next()
{
    if (!m_thread.joinable()) return nextHere();
    if (m_current) {
        m_current->listing.reset();  // closes the folder
        m_current->names.clear();
        m_current->entries.clear();
        m_current->statuses.clear();
        m_current->error = 0;
        m_recycling.push_back(std::move(m_current));
        // Given back in bundles, so that the two threads seldom meet at the lock.
        if (m_recycling.size() >= recycleBundle) recycle();
    }
    if (m_taken.empty()) {
        recycle();
        std::unique_lock lock(m_mutex);
        while (m_ready.empty() && !m_done) {
            // A slow file system may keep the next folders a while; the caller's window
            // must not freeze meanwhile.
            m_consumerWaiting = true;
            if (m_consumerWake.wait_for(lock, waitSlice, [this] { return !m_ready.empty() || m_done; })) break;
            if (m_whileWaiting) {
                lock.unlock();
                m_whileWaiting();
                lock.lock();
            }
        }
        m_consumerWaiting = false;
        m_taken.swap(m_ready);
        if (m_taken.empty()) {
            if (m_failure) std::rethrow_exception(m_failure);
            return nullptr;
        }
    }
    m_current = std::move(m_taken.front());
    m_taken.pop_front();
    return m_current.get();
}

ListedFolder* FolderReader::nextHere()
{
    if (m_done) {
        m_current.reset();
        return nullptr;
    }
    if (m_current) {
        m_current->listing.reset();
        m_current->names.clear();
        m_current->entries.clear();
        m_current->statuses.clear();
        m_current->error = 0;
    } else {
        m_current = std::make_unique<ListedFolder>();
    }
    m_done = !readNext(*m_current);
    return m_current.get();
}

} // namespace mtl
