// The wall clock, passed in so tests can fix "now". Times are local civil times, as the
// program shows and stores them.
#pragma once

namespace mtl {

struct DateTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    friend bool operator==(const DateTime&, const DateTime&) = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
};

// The system's local time.
class SystemClock final : public Clock {
public:
    DateTime now() const override;
};

} // namespace mtl
