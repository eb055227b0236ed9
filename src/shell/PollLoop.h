#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "decoding/ReceiveBuffer.h"
#include "decoding/RunTables.h"
#include "receiver/Receiver.h"
#include "receiver/StatusIndicators.h"
#include "receiver/WaitClock.h"
#include "shell/DataReply.h"

namespace orvanrx {

// What the views learn from the poll loop. In the desktop program the child windows follow them
// (the race log reloads, the statistics and My Car follow, the time slip redraws); the headless
// program prints the race.
class PollObserver {
public:
    virtual ~PollObserver() = default;
    // DecodeRun changed the run tables: a race's rows were written or rewritten.
    virtual void RunTablesChanged() {}
    // A data reply was stored in the mirror (whether or not the tables changed).
    virtual void DataReplyStored() {}
};

// How one tick ended, for callers that drive ticks themselves (the replay, tests).
enum class TickOutcome {
    Searching,          // no receiver open: tried to open one
    ReceiverLost,       // the flush found the receiver gone: it was closed
    NoAnswer,           // the bounded wait ran out: the tick ends there
    NotDataReply,       // a reply without the 0xFA marker: nothing stored
    DataStored,         // a data reply stored and decoded
    AddressOutOfRange,  // a data reply whose address ran outside the mirror
};

// The receive path's 30 ms tick. Each tick keeps the receiver open (or tries to open it),
// polls it for the next eight bytes of its memory, mirrors them, lets the decoder look at the
// mirror, tells the views, and counts timer time for the automatic race-log save (every
// 30000 ms) and the status refresh (every 3000 ms). Timer time is counted in ticks, never read
// from a clock, so a busy machine delays a save but never skips one.
class PollLoop {
public:
    static constexpr int kIntervalMs = 30;
    static constexpr int kSavePeriodMs = 30000;
    static constexpr int kStatusPeriodMs = 3000;
    // The wait for a reply ends once this many bytes are waiting.
    static constexpr std::uint32_t kWaitThreshold = 16;

    struct Parts {
        Receiver& receiver;
        ReceiveBuffer& buffer;
        std::int16_t& currentVenue;
        RunTables& tables;
        StatusIndicators& indicators;
        PollObserver& observer;
        MonotonicClock waitClock;
        // Rewrites the current race-log file.
        std::function<void()> saveRaceLog;
    };

    explicit PollLoop(Parts parts);

    // One tick (tmrMain_Timer).
    TickOutcome RunPollCycle();

    // The status refresh of every 3000 ms: lamps, signal, scroll message, channel caption.
    void RefreshStatus();
    // Shows or hides the venue's scroll message from the mirror.
    void UpdateScrollMessage();

    int SaveElapsed() const { return saveElapsed_; }
    int StatusElapsed() const { return statusElapsed_; }
    const ReplyBuffer& LastReply() const { return reply_; }

private:
    // Checks the receive queue until 16 bytes wait, the queue is ready or a check fails, and
    // gives the number of bytes the last check reported waiting; nothing when the wait limit
    // passed first (a receiver that stays attached but does not answer).
    std::optional<std::uint32_t> WaitForReply();
    void CountTimerTime();

    Parts parts_;
    ReplyBuffer reply_{};
    int saveElapsed_ = 0;
    int statusElapsed_ = 0;
};

}  // namespace orvanrx
