// Letting pending window messages run from inside a long handler. The core calls it at the
// points where the program yields; the window layer implements it over its event loop.
#pragma once

namespace mtl {

class EventPump {
public:
    virtual ~EventPump() = default;
    // Runs every pending message now ("let pending window messages run").
    virtual void processPending() = 0;
    // The yield of hot loops (the walk, deletion passes, archive chunks): runs pending
    // messages only when a time slice has passed since the last time, so that calling it
    // per entry costs next to nothing while timers and input still run in time.
    virtual void yieldSliced() = 0;
};

// For code that runs without a window (the command-line tool, benchmarks).
class NoEventPump final : public EventPump {
public:
    void processPending() override {}
    void yieldSliced() override {}
};

} // namespace mtl
