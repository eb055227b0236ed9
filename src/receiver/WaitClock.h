#pragma once

#include <cstdint>
#include <functional>

namespace orvanrx {

// A monotonic clock in milliseconds for the bounded waits on the receiver. Only differences
// between two readings mean anything. The real receiver uses SteadyMilliseconds(); the
// simulated receiver hands out a virtual clock that moves on every queue check, so that a
// stalled receiver is waited for without any real time passing.
using MonotonicClock = std::function<std::int64_t()>;

// Milliseconds of std::chrono::steady_clock.
MonotonicClock SteadyMilliseconds();

// How long a wait for the receiver's reply may run before the reply counts as short (a
// transaction) or the tick ends (the poll loop).
inline constexpr std::int64_t kReplyWaitLimitMs = 250;

}  // namespace orvanrx
