#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "analysis/CarFiguresTracker.h"
#include "racelog/RaceLogFile.h"
#include "sim/RaceDayGenerator.h"

namespace orvanrx {
namespace {

// A race as first shown: entrants and dial-ins, no times or result yet.
RunRecord Staged(const RunRecord& race) {
    RunRecord staged;
    staged.Category = race.Category;
    staged.ClassL = race.ClassL;
    staged.ClassR = race.ClassR;
    staged.CarL = race.CarL;
    staged.CarR = race.CarR;
    staged.NameL = race.NameL;
    staged.NameR = race.NameR;
    staged.DialL = race.DialL;
    staged.DialR = race.DialR;
    staged.BumpL = staged.BumpR = race.BumpL;
    return staged;
}

class CarFiguresTrackerTest : public ::testing::Test {
protected:
    // Updates the tracker and checks it against a computation from scratch.
    void ExpectCurrent(const std::string& when) {
        tracker_.Update(tables_.AllRunsTable());
        const std::vector<CarFigures> expected = ComputeCarFigures(tables_.AllRunsTable());
        ASSERT_EQ(tracker_.Figures().size(), expected.size()) << when;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_TRUE(tracker_.Figures()[i] == expected[i])
                << when << ": car " << expected[i].car.toStdString();
        }
    }

    void StoreDay(const std::vector<RunRecord>& races, const std::string& day) {
        for (std::size_t i = 0; i < races.size(); ++i) {
            const std::string race = day + " race " + std::to_string(i);
            tables_.StoreRun(Staged(races[i]));
            ExpectCurrent(race + " staged");
            if (i % 5 == 2) {
                // Another car shows in the right lane for a moment, then the right one.
                RunRecord wrong = Staged(races[i]);
                wrong.CarR = QStringLiteral("X") + races[i].CarR;
                wrong.RTR = QStringLiteral("0.555");
                tables_.StoreRun(wrong);
                ExpectCurrent(race + " other car");
            }
            tables_.StoreRun(races[i]);
            ExpectCurrent(race + " finished");
        }
    }

    RunTables tables_{FixedClock(QDateTime(QDate(2026, 12, 4), QTime(18, 53)))};
    CarFiguresTracker tracker_;
};

TEST_F(CarFiguresTrackerTest, FollowsTheDecoderRaceByRace) {
    ExpectCurrent("empty log");
    StoreDay(GenerateRaceDay({40, 5, 0.0, false}).races, "day");
    const CarFigures* first = tracker_.Find(QStringLiteral(" ") + tracker_.Figures()[0].car);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, &tracker_.Figures()[0]);
    EXPECT_EQ(tracker_.Find(QStringLiteral("no such car")), nullptr);

    // Many races between two updates.
    for (const RunRecord& race : GenerateRaceDay({50, 9, 0.0, false}).races) {
        tables_.StoreRun(race);
    }
    ExpectCurrent("fifty races at once");
}

TEST_F(CarFiguresTrackerTest, StartsOverWhenEarlierRowsChange) {
    StoreDay(GenerateRaceDay({12, 6, 0.0, false}).races, "first day");

    // A longer log of other races opened from its file.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("other.csv"));
    {
        RunTables other;
        for (const RunRecord& race : GenerateRaceDay({30, 7, 0.0, false}).races) {
            other.StoreRun(race);
        }
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(RaceLogFileBytes(other.AllRunsTable()));
    }
    ASSERT_EQ(LoadRaceLog(path, tables_).outcome, RaceLogLoadOutcome::Loaded);
    ExpectCurrent("log opened");

    // A cell of the first race edited in place.
    (*tables_.MutableAllRunsTable().MutableRow(0))[RunColumn::RT] = QStringLiteral("-0.100");
    ExpectCurrent("first race edited");

    tables_.ResetRunTables();
    ExpectCurrent("log cleared");
    EXPECT_TRUE(tracker_.Figures().empty());
    StoreDay(GenerateRaceDay({6, 8, 0.0, false}).races, "after clearing");
}

}  // namespace
}  // namespace orvanrx
