#include "sim/DemoRaceDay.h"

#include <random>

#include "sim/RaceDayGenerator.h"

namespace orvanrx {

namespace {

// The venue byte of a day: the second byte of its first data reply.
int VenueOf(const std::vector<trace::Step>& steps) {
    for (const trace::Step& step : steps) {
        if (const auto* reply = std::get_if<trace::Reply>(&step);
            reply && reply->bytes.size() > 1) {
            return reply->bytes[1];
        }
    }
    return -1;
}

}  // namespace

DemoRaceDay::DemoRaceDay(std::uint32_t seed) : seed_(seed) {}

std::vector<trace::Step> DemoRaceDay::NextDay() {
    RaceDay day;
    int venue = -1;
    do {
        day = GenerateRaceDay({kRacesPerDay, seed_++, 0.02, false});
        venue = VenueOf(day.steps);
    } while (venue == lastVenue_);
    lastVenue_ = venue;

    // Every 80 replies or so the carrier flickers, the receiver's buffer empties and fills,
    // and the signal drifts: the status lines take effect at the next status refresh.
    std::mt19937 random(seed_);
    std::uniform_int_distribution<int> raw(80, 300);
    std::uniform_int_distribution<int> flags(0, 7);
    std::vector<trace::Step> steps;
    steps.reserve(day.steps.size() + day.steps.size() / 40);
    int replies = 0;
    for (trace::Step& step : day.steps) {
        const bool reply = std::holds_alternative<trace::Reply>(step);
        steps.push_back(std::move(step));
        if (reply && ++replies % 80 == 0) {
            steps.emplace_back(trace::Status{static_cast<std::uint8_t>(1 | flags(random))});
            steps.emplace_back(trace::Signal{static_cast<std::int16_t>(raw(random))});
        }
    }
    return steps;
}

bool DemoRaceDay::TopUp(SimulatedXpress& sim) {
    if (sim.StepsLeft() >= kLowWater) {
        return false;
    }
    sim.AppendTrace(NextDay());
    return true;
}

}  // namespace orvanrx
