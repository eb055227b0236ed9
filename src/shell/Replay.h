#pragma once

#include "shell/Station.h"
#include "sim/SimulatedXpress.h"

namespace orvanrx {

struct ReplayStats {
    int ticks = 0;
    int dataReplies = 0;
    // The simulated receiver never appeared (a product text that does not match, or an
    // unplug that never ends before the trace does): the replay gave up waiting for it.
    bool receiverNeverFound = false;
};

// While no receiver is open for this many ticks in a row (5 minutes of timer time), a replay
// gives up.
inline constexpr int kReplaySearchLimitTicks = 10000;

// Drives an already started station tick after tick, back to back, against the simulated
// receiver until a poll finds the trace exhausted. Each tick counts 30 ms of timer time;
// nothing sleeps.
ReplayStats RunUntilTraceEnds(Station& station, const SimulatedXpress& sim);

}  // namespace orvanrx
