#include <gtest/gtest.h>

#include "sim/DemoRaceDay.h"
#include "sim/SimLoop.h"

namespace orvanrx {
namespace {

using testing::SimLoop;

TEST(DemoRaceDayTest, DaysFollowOneAnotherWithoutEndAndEveryRaceIsLogged) {
    DemoRaceDay demo(7);
    SimLoop loop(demo.NextDay());
    int statusRefreshes = 0;
    std::size_t mostStepsLeft = 0;
    // Two and a half days: the second day starts at another venue on a cleared mirror, so
    // its races decode as cleanly as the first day's.
    const int wanted = DemoRaceDay::kRacesPerDay * 5 / 2;
    int ticks = 0;
    while (loop.tables.AllRunsTable().RightRow() + 1 < 2 * wanted && ticks < 200000) {
        demo.TopUp(loop.sim);
        loop.loop.RunPollCycle();
        ASSERT_FALSE(loop.sim.TraceExhausted()) << "tick " << ticks;
        mostStepsLeft = std::max(mostStepsLeft, loop.sim.StepsLeft());
        ++ticks;
        statusRefreshes += loop.loop.StatusElapsed() == 0 ? 1 : 0;
    }
    EXPECT_EQ(loop.tables.AllRunsTable().RightRow() + 1, 2 * wanted);
    // Played steps are dropped as days are appended: the trace never holds much more than
    // two days.
    EXPECT_LT(mostStepsLeft, 3u * DemoRaceDay::kRacesPerDay * 130u);
    EXPECT_GT(statusRefreshes, 0);
}

TEST(DemoRaceDayTest, ConsecutiveDaysHaveDifferentVenuesAndTheLinkMoves) {
    DemoRaceDay demo(1);
    int lastVenue = -1;
    for (int day = 0; day < 5; ++day) {
        const std::vector<trace::Step> steps = demo.NextDay();
        int venue = -1;
        int statusLines = 0;
        for (const trace::Step& step : steps) {
            if (const auto* reply = std::get_if<trace::Reply>(&step); reply && venue < 0) {
                venue = reply->bytes[1];
            }
            statusLines += std::holds_alternative<trace::Status>(step) ? 1 : 0;
        }
        EXPECT_NE(venue, lastVenue) << "day " << day;
        EXPECT_GT(statusLines, 10) << "day " << day;
        lastVenue = venue;
    }
}

}  // namespace
}  // namespace orvanrx
