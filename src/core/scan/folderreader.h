// Lists the folders of a walk ahead of it on a second core. A helper thread goes through the
// tree breadth-first (the root, then the folders in the order their parents listed them) and
// hands every folder over with its entries read, its folder bits known and its listing still
// open for status lookups; the walking thread takes them in exactly that order and does all
// the rest, events included, itself. So the cost of opening and reading folders, the bulk of
// a bare walk, overlaps with the tests and lookups of the entries.
//
// The helper stops after the first folder that cannot be listed (nothing behind it is ever
// visited) and when the reader is destroyed, which a walk that ends early does. At most a
// bounded number of folders are held open ahead, so the walk never needs many descriptors.
#pragma once

#include "core/scan/directorylister.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace mtl {

// Kept small: every entry of the tree passes from the helper to the walking thread.
struct ListedEntry {
    std::uint32_t nameOffset = 0;  // into ListedFolder::names, NUL-terminated there
    std::uint16_t nameLength = 0;
    bool isFolder = false;
    bool haveStatus = false;  // looked up already, because the listing gave no type
    std::uint32_t status = 0; // then its index in ListedFolder::statuses
};

struct ListedFolder {
    std::string folder;  // as announced: the root as given, others parent path + name
    std::string path;    // the same ending in '/'
    std::unique_ptr<DirectoryListing> listing;  // null when the folder could not be opened
    int error = 0;       // why it could not be opened, or why its listing broke off
    std::string names;
    std::vector<ListedEntry> entries;  // without "." and ".."
    std::vector<EntryStatus> statuses;

    std::string_view name(const ListedEntry& entry) const { return {names.data() + entry.nameOffset, entry.nameLength}; }
    const char* cname(const ListedEntry& entry) const { return names.data() + entry.nameOffset; }
};

class FolderQueue;

class FolderReader {
public:
    // `recurse` false lists the root alone. With `ahead` false no helper thread is started
    // and each folder is listed when next() asks for it. `whileWaiting` runs every few
    // milliseconds while next() waits for the helper.
    FolderReader(DirectoryLister& lister, std::string root, bool recurse, bool ahead = true,
                 std::function<void()> whileWaiting = {});
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    // The next folder in breadth-first order, or null when there is none left. The folder
    // given by the previous call is closed and recycled. Rethrows what the helper thread
    // failed with (after the folders it listed before).
    ListedFolder* next();

private:
    using Batch = std::deque<std::unique_ptr<ListedFolder>>;

    void run();
    bool readNext(ListedFolder& folder);  // false when it was the last one
    ListedFolder* nextHere();
    void read(ListedFolder& folder, bool followLink, FolderQueue& queue);
    std::unique_ptr<ListedFolder> obtain(Batch& unpublished);
    void publish(Batch& unpublished, bool done);
    void recycle();

    DirectoryLister& m_lister;
    const std::function<void()> m_whileWaiting;
    const bool m_recurse;
    const std::size_t m_maxAhead;
    // The breadth-first order, kept by whichever thread lists.
    std::unique_ptr<FolderQueue> m_queue;
    std::string m_nextFolder;
    bool m_fromQueue = false;

    std::mutex m_mutex;
    std::condition_variable m_consumerWake;
    std::condition_variable m_producerWake;
    Batch m_ready;                                   // published, in order
    std::vector<std::unique_ptr<ListedFolder>> m_free;  // recycled, for reuse
    std::ptrdiff_t m_ahead = 0;  // listed and not yet recycled, as far as both sides told
    bool m_done = false;
    std::atomic<bool> m_stop{false};
    bool m_producerWaiting = false;
    std::atomic<bool> m_consumerWaiting{false};
    std::exception_ptr m_failure;

    // The helper's own.
    std::vector<std::unique_ptr<ListedFolder>> m_producerFree;
    std::size_t m_producedSinceLock = 0;
    std::size_t m_aheadEstimate = 0;
    // The walking thread's own.
    std::vector<std::unique_ptr<ListedFolder>> m_recycling;
    Batch m_taken;
    std::unique_ptr<ListedFolder> m_current;
    std::thread m_thread;
};

} // namespace mtl
