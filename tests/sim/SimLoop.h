#pragma once

#include <QDateTime>
#include <cstdint>
#include <vector>

#include "shell/CallLog.h"
#include "shell/PollLoop.h"
#include "sim/SimulatedXpress.h"
#include "trace/TraceRecorder.h"

namespace orvanrx::testing {

inline const QDateTime kLoopNow(QDate(2026, 12, 4), QTime(18, 53));

// The programs' poll loop over a simulated receiver playing `trace`, every effect going to
// `log` (a save as "save"). With `record`, a RecordingXpress stands between the receiver link
// and the simulator, its steps going to `recorded`.
struct SimLoop {
    explicit SimLoop(std::vector<trace::Step> trace, bool record = false)
        : sim(std::move(trace)),
          recorder(
              sim, [this](const trace::Step& s) { recorded.push_back(s); }, FixedClock(kLoopNow)),
          receiver(record ? static_cast<UsbXpress&>(recorder) : sim, log, sim.Clock()),
          loop({receiver, buffer, venue, tables, log, log, sim.Clock(),
                [this] { log.calls.emplace_back("save"); }}) {}

    std::vector<TickOutcome> Run(int ticks) {
        std::vector<TickOutcome> outcomes;
        while (static_cast<int>(outcomes.size()) < ticks) {
            outcomes.push_back(loop.RunPollCycle());
        }
        return outcomes;
    }
    // Ticks until a poll finds the trace exhausted.
    std::vector<TickOutcome> RunToEnd() {
        std::vector<TickOutcome> outcomes;
        while (!sim.TraceExhausted() && outcomes.size() < 1000000) {
            outcomes.push_back(loop.RunPollCycle());
        }
        return outcomes;
    }

    SimulatedXpress sim;
    std::vector<trace::Step> recorded;
    RecordingXpress recorder;
    CallLog log;
    ReceiveBuffer buffer;
    std::int16_t venue = 0;
    RunTables tables{FixedClock(kLoopNow)};
    Receiver receiver;
    PollLoop loop;
};

// A data reply: `marker`, venue, big-endian address, then `data`.
inline trace::Reply DataReply(std::uint8_t venue, int address, std::vector<std::uint8_t> data,
                              std::uint8_t marker = 0xFA) {
    data.insert(data.begin(), {marker, venue, static_cast<std::uint8_t>((address >> 8) & 0xFF),
                               static_cast<std::uint8_t>(address & 0xFF)});
    return trace::Reply{std::move(data)};
}

// The data replies that carry `length` bytes of `image` from `first`, eight at a time.
inline std::vector<trace::Step> RegionReplies(const ReceiveBuffer& image, int first, int length,
                                              std::uint8_t venue) {
    std::vector<trace::Step> steps;
    for (int a = first; a < first + length; a += 8) {
        const auto bytes = image.Slice(a, 8);
        steps.push_back(DataReply(venue, a, {bytes->begin(), bytes->end()}));
    }
    return steps;
}

// A generated day's trace with a pause of 1000 polls before each race but the first and after
// the last, so that an automatic save falls between every two races.
inline std::vector<trace::Step> WithSaveBetweenRaces(const std::vector<trace::Step>& day) {
    std::vector<trace::Step> steps;
    bool first = true;
    for (const trace::Step& step : day) {
        const auto* comment = std::get_if<trace::Comment>(&step);
        if (comment != nullptr && comment->text.starts_with("race ") &&
            !comment->text.starts_with("race day")) {
            if (!first) {
                steps.push_back(trace::Idle{1000});
            }
            first = false;
        }
        steps.push_back(step);
    }
    steps.push_back(trace::Idle{1000});
    return steps;
}

}  // namespace orvanrx::testing
