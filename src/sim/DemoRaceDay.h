#pragma once

#include <cstdint>
#include <vector>

#include "sim/SimulatedXpress.h"
#include "trace/TraceStep.h"

namespace orvanrx {

// An endless day at the strip for the demo: generated race days, one after the other, each
// from the next seed and each at another venue (so the PC starts the next day on a clean
// mirror), with the receiver's lamps and signal moving as on a real radio link. A race takes
// about a hundred polls, a few seconds at the 30 ms tick.
class DemoRaceDay {
public:
    static constexpr int kRacesPerDay = 60;
    // The next day is appended once fewer steps than this are left.
    static constexpr std::size_t kLowWater = 200;

    explicit DemoRaceDay(std::uint32_t seed);

    // The steps of the next day.
    std::vector<trace::Step> NextDay();
    // Appends the next day to `sim` when it is about to run out; true when it did.
    bool TopUp(SimulatedXpress& sim);

private:
    std::uint32_t seed_;
    int lastVenue_ = -1;
};

}  // namespace orvanrx
