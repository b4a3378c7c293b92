#include "core/platform/clock.h"

#include <chrono>
#include <ctime>

namespace mtl {

DateTime SystemClock::now() const
{
    using namespace std::chrono;
    const auto current = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(current);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    const auto ms = duration_cast<milliseconds>(current.time_since_epoch()).count() % 1000;
    return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                    local.tm_hour, local.tm_min, local.tm_sec, int(ms)};
}

} // namespace mtl
