// Pieces the component's operations share and that no caller needs: the Busy scope, the
// block sinks that yield and report progress after every chunk, and the restore rules.
#pragma once

#include "core/backup/archivereader.h"
#include "core/backup/backupfile.h"
#include "core/platform/eventpump.h"

#include <string>

namespace mtl {

// Busy is true while an operation runs, whichever way it returns (an exception too).
class TBackupFile::BusyScope {
public:
    explicit BusyScope(bool& busy) : m_busy(busy) { m_busy = true; }
    ~BusyScope() { m_busy = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_busy;
};

namespace backup {

// Decodes a block into memory (the identity list); yields after every chunk, no progress.
class MemorySink final : public BlockSink {
public:
    MemorySink(EventPump& pump, const bool& goOn) : m_pump(pump), m_goOn(goOn) {}
    bool decodes() const override { return true; }
    bool goOn() const override { return m_goOn; }
    void write(std::span<const unsigned char> bytes) override
    {
        m_text.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    void afterChunk(std::size_t, bool) override { m_pump.yieldSliced(); }
    const std::string& text() const { return m_text; }

private:
    EventPump& m_pump;
    const bool& m_goOn;
    std::string m_text;
};

// Whether a stored file is written back under a restore rule, given what stands at the
// target (dates compared as signed 32-bit numbers).
inline bool restoreDecision(TRestoreMode mode, const EntryStatus& target, std::int32_t storedDate)
{
    const bool exists = target.exists();
    const bool older = exists && target.date < storedDate;
    switch (mode) {
    case rmAll: return true;
    case rmNoOverwrite: return !exists;
    case rmNewer: return !exists || older;
    case rmExisting: return exists;
    case rmExistingNewer: return exists && older;
    }
    return false;
}

} // namespace backup
} // namespace mtl
