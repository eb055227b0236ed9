// The cost of one data-reply tick of the poll loop (flush, poll, wait, read, store, decode,
// observer calls) against the simulated receiver, and of its two heaviest parts alone.

#include <benchmark/benchmark.h>

#include <memory>

#include "decoding/RunDecoder.h"
#include "decoding/TimeSlipText.h"
#include "shell/PollLoop.h"
#include "sim/RaceDayGenerator.h"
#include "sim/SimulatedXpress.h"

namespace orvanrx {
namespace {

struct CountingObserver : PollObserver {
    void RunTablesChanged() override { ++changed; }
    void DataReplyStored() override { ++stored; }
    int changed = 0;
    int stored = 0;
};

// A generated day's data replies only, so that every tick is a data-reply tick.
std::vector<trace::Step> DataReplies() {
    std::vector<trace::Step> replies;
    for (const trace::Step& step : GenerateRaceDay({200, 1, 0.0, false}).steps) {
        if (std::holds_alternative<trace::Reply>(step)) {
            replies.push_back(step);
        }
    }
    return replies;
}

struct Rig {
    explicit Rig(const std::vector<trace::Step>& steps)
        : sim(steps),
          receiver(sim, indicators, sim.Clock()),
          loop(PollLoop::Parts{receiver, buffer, venue, tables, indicators, observer, sim.Clock(),
                               [] {}}) {
        loop.RunPollCycle();  // opens the receiver
    }
    StatusIndicators indicators;
    CountingObserver observer;
    ReceiveBuffer buffer;
    std::int16_t venue = 0;
    RunTables tables{FixedClock(QDateTime(QDate(2026, 12, 4), QTime(18, 53)))};
    SimulatedXpress sim;
    Receiver receiver;
    PollLoop loop;
};

void BM_DataReplyTick(benchmark::State& state) {
    const std::vector<trace::Step> replies = DataReplies();
    auto rig = std::make_unique<Rig>(replies);
    std::size_t used = 0;
    for (auto _ : state) {
        if (used == replies.size()) {
            state.PauseTiming();
            rig = std::make_unique<Rig>(replies);
            used = 0;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(rig->loop.RunPollCycle());
        ++used;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DataReplyTick);

// A mirror holding a finished race, as most decodes of a day see it.
ReceiveBuffer FinishedRaceMirror() {
    ReceiveBuffer buffer;
    std::int16_t venue = 0;
    for (const trace::Step& step : GenerateRaceDay({3, 2, 0.0, false}).steps) {
        if (const auto* reply = std::get_if<trace::Reply>(&step)) {
            if (reply->bytes.size() >= 12 && reply->bytes[1] != venue) {
                buffer.Clear();
                venue = reply->bytes[1];
            }
            const int a = (reply->bytes[2] << 8) | reply->bytes[3];
            for (int k = 0; k < 8; ++k) {
                buffer.Set(a + k, reply->bytes[static_cast<std::size_t>(4 + k)]);
            }
        }
    }
    return buffer;
}

void BM_DecodeRun(benchmark::State& state) {
    const ReceiveBuffer buffer = FinishedRaceMirror();
    RunTables tables{FixedClock(QDateTime(QDate(2026, 12, 4), QTime(18, 53)))};
    for (auto _ : state) {
        benchmark::DoNotOptimize(DecodeRun(buffer, tables));
    }
}
BENCHMARK(BM_DecodeRun);

void BM_TimeSlipText(benchmark::State& state) {
    const ReceiveBuffer buffer = FinishedRaceMirror();
    for (auto _ : state) {
        benchmark::DoNotOptimize(TimeSlipText(buffer));
    }
}
BENCHMARK(BM_TimeSlipText);

}  // namespace
}  // namespace orvanrx
