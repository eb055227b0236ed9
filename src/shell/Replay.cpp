#include "shell/Replay.h"

namespace orvanrx {

ReplayStats RunUntilTraceEnds(Station& station, const SimulatedXpress& sim) {
    ReplayStats stats;
    int searching = 0;
    while (!sim.TraceExhausted()) {
        const TickOutcome outcome = station.Loop().RunPollCycle();
        ++stats.ticks;
        if (outcome == TickOutcome::DataStored) {
            ++stats.dataReplies;
        }
        searching = outcome == TickOutcome::Searching ? searching + 1 : 0;
        if (searching >= kReplaySearchLimitTicks) {
            stats.receiverNeverFound = true;
            break;
        }
    }
    return stats;
}

}  // namespace orvanrx
