#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "LogbookRows.h"
#include "logbook/SeasonStats.h"

namespace orvanrx {

using enum RunColumn;
namespace {

using testing::Entrant;
using testing::MakeRace;

class SeasonStatsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Logbook::OpenResult opened = Logbook::Open(dir.filePath(QStringLiteral("l.sqlite")));
        ASSERT_TRUE(opened.logbook);
        logbook = std::move(opened.logbook);
        // Car 77 over two events: at A on 1 May (Q1, E1 won against 88, E2 lost against 99),
        // at B on 1 June (Q1, E1 won against 88). Other cars run in between.
        struct Run {
            const char* source;
            const char* time;
            const char* round;
            Entrant left;
            Entrant right;
            const char* track;
        };
        const auto car = [](const char* number, const char* rt, const char* et, bool won) {
            return Entrant{QString::fromLatin1(number), QString::fromLatin1(rt),
                           QString::fromLatin1(et), QStringLiteral("130.00"), won};
        };
        const Run runs[] = {
            {"/a", "2026-05-01 10:00:00", "Q1", car("77", "0.500", "10.000", false), {}, "A"},
            {"/a", "2026-05-01 11:00:00", "Q1", car("88", "0.400", "11.000", false), {}, "A"},
            {"/a", "2026-05-01 12:00:00", "E1", car("77", "0.510", "10.100", true),
             car("88", "0.420", "11.100", false), "A"},
            {"/a", "2026-05-01 13:00:00", "E2", car("99", "0.450", "9.000", true),
             car("77", "-0.010", "10.200", false), "A"},
            {"/b", "2026-06-01 10:00:00", "Q1", car("77", "0.490", "9.900", false), {}, "B"},
            {"/b", "2026-06-01 12:00:00", "E1", car("88", "0.430", "11.200", false),
             car("77", "0.480", "9.800", true), "B"},
        };
        int pair = 0;
        for (const Run& run : runs) {
            const auto race =
                MakeRace(pair, QString::fromLatin1(run.time),
                         QStringLiteral("SUPER PRO     ") + QString::fromLatin1(run.round),
                         run.left, run.right);
            ASSERT_EQ(logbook->StoreRace(
                          {QString::fromLatin1(run.source), pair++, QString::fromLatin1(run.track)},
                          race.left, race.right),
                      StoreOutcome::Inserted);
        }
    }

    QTemporaryDir dir;
    std::unique_ptr<Logbook> logbook;
};

TEST_F(SeasonStatsTest, ACarsFiguresOverAnyChoiceOfRaces) {
    struct Case {
        const char* what;
        RaceSelection selection;
        int runs;
        int wins;
        int losses;
        double meanEt;
        double bestEt;
        int redLights;
    };
    const Case cases[] = {
        {"the season", {}, 5, 2, 1, 10.0, 9.8, 1},
        {"track A",
         {{QStringLiteral("A")}, {}, {}, {}, RoundChoice::All, {}},
         3,
         1,
         1,
         10.1,
         10.0,
         1},
        {"since 15 May",
         {{}, QStringLiteral("2026-05-15"), {}, {}, RoundChoice::All, {}},
         2,
         1,
         0,
         9.85,
         9.8,
         0},
        {"until 1 May",
         {{}, {}, QStringLiteral("2026-05-01"), {}, RoundChoice::All, {}},
         3,
         1,
         1,
         10.1,
         10.0,
         1},
        {"eliminations",
         {{}, {}, {}, {}, RoundChoice::Eliminations, {}},
         3,
         2,
         1,
         (10.1 + 10.2 + 9.8) / 3,
         9.8,
         1},
        {"qualifying at B",
         {{QStringLiteral("B")}, {}, {}, {}, RoundChoice::Qualifying, {}},
         1,
         0,
         0,
         9.9,
         9.9,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CarSeason season = ReadCarSeason(*logbook, c.selection, QStringLiteral("77"));
        EXPECT_EQ(season.figures.runs, c.runs);
        EXPECT_EQ(season.figures.wins, c.wins);
        EXPECT_EQ(season.figures.losses, c.losses);
        EXPECT_EQ(season.figures.redLights, c.redLights);
        ASSERT_TRUE(season.figures.et.mean);
        EXPECT_NEAR(*season.figures.et.mean, c.meanEt, 1e-9);
        EXPECT_NEAR(season.figures.et.best.value_or(0), c.bestEt, 1e-9);
        EXPECT_EQ(static_cast<int>(season.runs.size()), c.runs);
    }
    // Chosen by event: the first event's.
    const std::vector<LogbookEvent> events = logbook->Events();
    ASSERT_EQ(events.size(), 2u);
    RaceSelection first;
    first.events = {events[0].id};
    EXPECT_EQ(ReadCarSeason(*logbook, first, QStringLiteral("77")).figures.runs, 3);
    // The next dial-in comes from the car's latest day only.
    const CarSeason all = ReadCarSeason(*logbook, {}, QStringLiteral("77"));
    EXPECT_NEAR(all.figures.nextDial.dial.value_or(0), (9.9 + 9.8) / 2, 1e-9);
    EXPECT_EQ(all.figures.nextDial.basis, 2);
}

TEST_F(SeasonStatsTest, EveryCarAndTheHeadToHeadAcrossTheSeason) {
    const std::vector<CarFigures> cars = SeasonCarFigures(*logbook, {});
    ASSERT_EQ(cars.size(), 3u);
    EXPECT_EQ(cars[0].car, QStringLiteral("77"));
    EXPECT_EQ(cars[1].car, QStringLiteral("88"));
    EXPECT_EQ(cars[1].runs, 3);
    EXPECT_EQ(cars[1].losses, 2);

    const HeadToHead meeting =
        SeasonHeadToHead(*logbook, {}, QStringLiteral("77"), QStringLiteral("88"));
    ASSERT_EQ(meeting.races.size(), 2u);
    EXPECT_EQ(meeting.winsA, 2);
    EXPECT_EQ(meeting.winsB, 0);
    RaceSelection atB;
    atB.tracks = {QStringLiteral("B")};
    EXPECT_EQ(
        SeasonHeadToHead(*logbook, atB, QStringLiteral("77"), QStringLiteral("88")).races.size(),
        1u);
}

}  // namespace
}  // namespace orvanrx
