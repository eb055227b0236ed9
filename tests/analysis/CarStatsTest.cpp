#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <utility>

#include "analysis/CarStats.h"
#include "analysis/HeadToHead.h"
#include "analysis/StatsLog.h"

namespace orvanrx {
namespace {

using testing::HandMadeLog;
using Opt = std::optional<double>;

struct Expected {
    const char* what;
    Opt actual;
    Opt expected;
};

void ExpectFigures(std::initializer_list<Expected> figures) {
    for (const Expected& f : figures) {
        ASSERT_EQ(f.actual.has_value(), f.expected.has_value()) << f.what;
        if (f.expected) {
            EXPECT_NEAR(*f.actual, *f.expected, 1e-9) << f.what;
        }
    }
}

std::vector<int> Rows(const std::vector<CarRun>& runs) {
    std::vector<int> rows;
    for (const CarRun& run : runs) {
        rows.push_back(run.row);
    }
    return rows;
}

// A car's runs and the figures made of them.
struct Car {
    std::vector<CarRun> runs;
    CarFigures f;
};

class CarStatsTest : public ::testing::Test {
protected:
    Car Read(const char* car) {
        const QString number = QString::fromLatin1(car);
        std::vector<CarRun> runs = ReadCarRuns(log_, number);
        EXPECT_FALSE(runs.empty()) << car;
        CarFigures figures = SummarizeRuns(number, runs);
        return {std::move(runs), std::move(figures)};
    }

    const RunTable log_ = HandMadeLog();
};

TEST_F(CarStatsTest, BracketCarInTwoCategoriesIsOneCar) {
    const auto [runs, c] = Read("100");
    EXPECT_EQ(c.categories, (QStringList{QStringLiteral("SUPER PRO"), QStringLiteral("PRO ET")}));
    EXPECT_EQ(c.names, QStringList{QStringLiteral("DOE, JOHN")});
    EXPECT_EQ(Rows(runs), (std::vector<int>{0, 3, 8, 11}));
    EXPECT_EQ((std::vector<int>{c.wins, c.losses, c.byes, c.undecided}),
              (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(c.redLights, 0);
    EXPECT_EQ(c.rt.count, 4);
    EXPECT_EQ(c.sixtyFoot.count, 3);  // the missing 60-foot time is left out, not a zero
    EXPECT_EQ(c.dialInRuns, 4);
    EXPECT_EQ(c.breakouts, 1);
    EXPECT_EQ(c.lastSixtyFoot, (std::vector<double>{1.312, 1.305, 1.298}));
    EXPECT_EQ(c.lastEt, (std::vector<double>{9.541, 9.520, 9.560}));
    EXPECT_EQ(c.nextDial.basis, 3);
    // Over/under per run: the broadcast's 0.030, 9.541 - 9.50, 9.520 - 9.55, the broadcast's
    // 0.039 rather than 9.560 - 9.52.
    const std::vector<Opt> overUnders{0.030, 0.041, -0.030, 0.039};
    for (std::size_t i = 0; i < runs.size(); ++i) {
        ExpectFigures({{"over/under", runs[i].overUnder, overUnders[i]}});
    }
    ExpectFigures({
        {"RT best", c.rt.best, 0.480},
        {"RT mean", c.rt.mean, 0.49675},
        {"RT sd", c.rt.stdDev, 0.014453949863849225},
        {"60 best", c.sixtyFoot.best, 1.298},
        {"60 mean", c.sixtyFoot.mean, 1.305},
        {"60 sd", c.sixtyFoot.stdDev, 0.007},
        {"ET best", c.et.best, 9.520},
        {"ET mean", c.et.mean, 9.53775},
        {"ET sd", c.et.stdDev, 0.01713427364475512},
        {"MPH best", c.mph.best, 140.50},
        {"MPH mean", c.mph.mean, 140.1075},
        {"O/U mean", c.meanOverUnder, 0.020},
        // Packages 0.542, 0.546, 0.460 (a breakout: not the best), 0.519.
        {"package mean", c.meanPackage, 0.51675},
        {"package best", c.bestPackage, 0.519},
        {"next dial", c.nextDial.dial, 9.540333333333333},
        {"spread", c.nextDial.spread, 0.040},
    });
}

TEST_F(CarStatsTest, RedLightsAndBreakoutsByTheBroadcastsOverUnder) {
    const auto [runs, c] = Read("200");
    EXPECT_EQ((std::vector<int>{c.wins, c.losses, c.byes, c.undecided}),
              (std::vector<int>{1, 1, 0, 1}));
    EXPECT_EQ(c.redLights, 1);
    EXPECT_EQ(c.rt.count, 2);  // the red light is not a reaction time
    EXPECT_TRUE(runs[1].RedLight());
    EXPECT_FALSE(runs[1].Package());
    EXPECT_EQ(c.breakouts, 1);  // 10.190 on 10.20 by the broadcast's -0.010
    ExpectFigures({
        {"RT best", c.rt.best, 0.470},
        {"RT mean", c.rt.mean, 0.484},
        {"RT sd", c.rt.stdDev, 0.019798989873223347},
        {"O/U mean", c.meanOverUnder, 0.010},
        // 0.488 broke out and the red light has none: the best is the only other, 0.480.
        {"package mean", c.meanPackage, 0.484},
        {"package best", c.bestPackage, 0.480},
    });
}

TEST_F(CarStatsTest, HeadsUpCarInOneLaneWithMissingPoints) {
    const auto [runs, c] = Read("7");
    EXPECT_EQ(Rows(runs), (std::vector<int>{5, 15}));
    EXPECT_FALSE(runs[0].leftLane || runs[1].leftLane);
    EXPECT_EQ(runs[0].opponent, QStringLiteral("88"));
    EXPECT_EQ((std::vector<int>{c.wins, c.losses}), (std::vector<int>{1, 1}));
    // Neither an empty Dial nor one holding letters is a dial-in, and without a dial-in the
    // over/under cell is not read.
    EXPECT_EQ(c.dialInRuns, 0);
    EXPECT_FALSE(runs[1].overUnder);
    EXPECT_EQ(c.mph.count, 1);
    EXPECT_EQ(c.lastSixtyFoot, std::vector<double>{1.030});
    // The last timed run is on the next day: it alone suggests the dial-in.
    EXPECT_EQ(c.nextDial.basis, 1);
    ExpectFigures({
        {"60 best", c.sixtyFoot.best, 1.030},
        {"60 sd", c.sixtyFoot.stdDev, std::nullopt},
        {"MPH best", c.mph.best, 188.40},
        {"MPH sd", c.mph.stdDev, std::nullopt},
        {"O/U mean", c.meanOverUnder, std::nullopt},
        {"package mean", c.meanPackage, std::nullopt},
        {"package best", c.bestPackage, std::nullopt},
        {"next dial", c.nextDial.dial, 7.150},
        {"spread", c.nextDial.spread, std::nullopt},
    });
}

TEST_F(CarStatsTest, ByesLettersAndDoubleMarks) {
    const auto [soloRuns, solo] = Read("300");
    EXPECT_EQ((std::vector<int>{solo.wins, solo.losses, solo.byes}), (std::vector<int>{0, 0, 1}));
    EXPECT_TRUE(soloRuns[0].opponent.isEmpty());
    ExpectFigures({{"bye package", solo.bestPackage, 0.480}});

    const CarFigures letters = Read("400").f;
    EXPECT_EQ(letters.sixtyFoot.count, 0);  // "x" and an empty cell
    ExpectFigures({{"60 best", letters.sixtyFoot.best, std::nullopt},
                   {"60 mean", letters.sixtyFoot.mean, std::nullopt}});
    // Both lanes marked: no decision for either.
    EXPECT_EQ((std::vector<int>{letters.wins, letters.undecided}), (std::vector<int>{1, 1}));
    EXPECT_EQ(Read("500").f.undecided, 1);
}

TEST_F(CarStatsTest, EveryCarOnceInNumberOrder) {
    // The one pass over the log gives each car the figures its own runs give.
    const std::vector<CarFigures> all = ComputeCarFigures(log_);
    QStringList cars;
    for (const CarFigures& c : all) {
        cars.append(c.car);
        EXPECT_TRUE(c == Read(c.car.toLatin1().constData()).f) << c.car.toStdString();
    }
    EXPECT_EQ(cars.join(u' '), QStringLiteral("7 88 100 200 300 400 500"));

    EXPECT_EQ(ReadCarRuns(log_, QStringLiteral(" 100 ")).size(), 4u);
    EXPECT_TRUE(ReadCarRuns(log_, QStringLiteral("999")).empty());
    EXPECT_TRUE(ReadCarRuns(log_, QString()).empty());
    EXPECT_TRUE(ComputeCarFigures(RunTable()).empty());
}

TEST_F(CarStatsTest, SummaryOfASelectionOfRuns) {
    std::vector<CarRun> superPro;
    for (const CarRun& run : Read("100").runs) {
        if (run.category.startsWith(QStringLiteral("SUPER PRO"))) {
            superPro.push_back(run);
        }
    }
    const CarFigures c = SummarizeRuns(QStringLiteral("100"), superPro);
    EXPECT_EQ(c.categories, QStringList{QStringLiteral("SUPER PRO")});
    EXPECT_EQ(c.runs, 3);
    EXPECT_EQ(c.breakouts, 0);
    ExpectFigures({{"ET best", c.et.best, 9.530}});
}

TEST_F(CarStatsTest, HeadToHeadListsEveryMeetingFromTheFirstCarsSide) {
    const HeadToHead m = ComputeHeadToHead(log_, QStringLiteral("100"), QStringLiteral("200"));
    ASSERT_EQ(m.races.size(), 3u);
    EXPECT_EQ((std::vector<int>{m.winsA, m.winsB}), (std::vector<int>{1, 1}));
    const std::vector<std::tuple<int, int, RunResult, Opt>> expected{
        {0, 1, RunResult::Undecided, std::nullopt},
        {3, 2, RunResult::Win, 0.0120},
        {11, 10, RunResult::Loss, 0.0040},
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& [rowA, rowB, resultA, gap] = expected[i];
        const HeadToHeadRace& race = m.races[i];
        EXPECT_EQ(race.a.row, rowA);
        EXPECT_EQ(race.b.row, rowB);
        EXPECT_EQ(race.a.result, resultA);
        ExpectFigures({{"margin", race.margin, gap}});
    }
    EXPECT_EQ(ComputeHeadToHead(log_, QStringLiteral("200"), QStringLiteral("100")).races[1].a.row,
              2);
    const std::pair<const char*, const char*> strangers[] = {
        {"100", "88"}, {"100", "100"}, {"300", ""}};
    for (const auto& [a, b] : strangers) {
        EXPECT_TRUE(
            ComputeHeadToHead(log_, QString::fromLatin1(a), QString::fromLatin1(b)).races.empty())
            << a << " vs " << b;
    }
}

}  // namespace
}  // namespace orvanrx
