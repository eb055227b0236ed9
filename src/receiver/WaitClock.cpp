#include "receiver/WaitClock.h"

#include <chrono>

namespace orvanrx {

MonotonicClock SteadyMilliseconds() {
    return [] {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::int64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    };
}

}  // namespace orvanrx
