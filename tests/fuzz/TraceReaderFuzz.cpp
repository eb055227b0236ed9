// The receiver trace reader: the input is a trace file. ReadTrace either gives steps or an
// error "line N: reason" with no steps; steps written back with FormatTrace read back as the
// same steps (texts with line breaks in them come back with blanks, as FormatTrace promises);
// and the steps play on the simulated receiver through the poll loop for a few dozen ticks.

#include <QDateTime>
#include <algorithm>

#include "FuzzSupport.h"
#include "shell/PollLoop.h"
#include "sim/SimulatedXpress.h"
#include "trace/TraceFile.h"

namespace orvanrx::fuzz {
namespace {

// What reading a formatted step gives back.
trace::Step AsRead(trace::Step step) {
    std::visit(
        [](auto& s) {
            if constexpr (requires { s.text; }) {
                std::replace(s.text.begin(), s.text.end(), '\n', ' ');
                std::replace(s.text.begin(), s.text.end(), '\r', ' ');
            }
        },
        step);
    return step;
}

constexpr int kTicks = 64;

}  // namespace
}  // namespace orvanrx::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvanrx;
    TraceReadResult read = ReadTrace(fuzz::Text(data, size));
    if (!read.Ok()) {
        FUZZ_CHECK(read.steps.empty());
        FUZZ_CHECK(read.error.starts_with("line "));
        return 0;
    }
    std::vector<trace::Step> expected;
    for (const trace::Step& step : read.steps) {
        FUZZ_CHECK(!std::holds_alternative<trace::Comment>(step));
        expected.push_back(fuzz::AsRead(step));
    }
    const TraceReadResult again = ReadTrace(FormatTrace(read.steps));
    FUZZ_CHECK(again.Ok());
    FUZZ_CHECK(again.steps == expected);

    SimulatedXpress sim(std::move(read.steps));
    StatusIndicators indicators;
    PollObserver observer;
    Receiver receiver(sim, indicators, sim.Clock());
    ReceiveBuffer buffer;
    std::int16_t venue = 0;
    RunTables tables(FixedClock(QDateTime(QDate(2026, 12, 4), QTime(18, 53))));
    PollLoop loop({receiver, buffer, venue, tables, indicators, observer, sim.Clock(), {}});
    for (int tick = 0; tick < fuzz::kTicks && !sim.TraceExhausted(); ++tick) {
        loop.RunPollCycle();
    }
    return 0;
}
