// Virtual clock of the simulated platform: starts at 0 ms, Sleep advances it at once.
#pragma once
#include "platform/clock.h"

namespace mivo::platform::sim {

class SimClock final : public Clock {
public:
    int64_t Now() override { return now_; }
    void Sleep(int64_t ms) override {
        if (ms > 0) now_ += ms;
    }
    // Moves time forward without a caller sleeping (used by scripts that wait).
    void Advance(int64_t ms) { Sleep(ms); }

private:
    int64_t now_ = 0;
};

}  // namespace mivo::platform::sim
