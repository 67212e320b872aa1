// Clock service: milliseconds since an arbitrary start, and blocking pauses.
#pragma once
#include <cstdint>

namespace mivo::platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic time in milliseconds.
    virtual int64_t Now() = 0;
    // Blocks the calling thread for `ms` milliseconds (the simulated clock just advances).
    virtual void Sleep(int64_t ms) = 0;
};

}  // namespace mivo::platform
