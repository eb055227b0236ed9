#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "logbook/LogbookWriter.h"
#include "racelog/RaceLogFile.h"
#include "shell/LogbookFeed.h"
#include "shell/Replay.h"
#include "sim/RaceDayGenerator.h"

namespace orvanrx {

using enum RunColumn;
namespace {

// Counts the notices that reach the program's own observer through the feed.
struct CountingObserver final : PollObserver {
    void RunTablesChanged() override { ++changes; }
    void DataReplyStored() override { ++replies; }
    int changes = 0;
    int replies = 0;
};

class LiveLogbookTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    // A start of the program with the logbook on, replaying `steps` to the end and stopping.
    void ReplayStart(const std::vector<trace::Step>& steps, const QString& logFile,
                     const QString& importFolder = {}) {
        LogbookWriter writer({Path("logbook.sqlite"), importFolder,
                              [](int venue) { return QStringLiteral("VENUE %1").arg(venue); }});
        LogbookFeed feed(observer, writer);
        SimulatedXpress sim(steps);
        Station station(
            Station::Setup{sim, settings, indicators, feed, SystemClock(), sim.Clock()});
        feed.Attach(
            station.Tables(), [&] { return station.LogFileName(); },
            [&] { return int(station.CurrentVenue()); });
        station.Start(logFile);
        RunUntilTraceEnds(station, sim);
        station.Stop();
        writer.Flush();
        EXPECT_EQ(writer.ErrorText(), QString());
    }

    RunTable LogbookRaces() {
        Logbook::OpenResult opened = Logbook::Open(Path("logbook.sqlite"));
        EXPECT_TRUE(opened.logbook) << opened.error.toStdString();
        return opened.logbook ? opened.logbook->SelectRaces({}) : RunTable();
    }

    QTemporaryDir dir;
    SettingsStore settings{dir.filePath(QStringLiteral("OrvanRX.ini"))};
    StatusIndicators indicators;
    CountingObserver observer;
};

TEST_F(LiveLogbookTest, AReplayedDayIsTheRaceLogRewritesInPlace) {
    const RaceDay day = GenerateRaceDay({40, 23, 0.05, false});
    ReplayStart(day.steps, Path("day.csv"));
    EXPECT_GT(observer.changes, 3 * 40);  // every race written several times as it ran
    EXPECT_GT(observer.replies, 0);

    RunTables log;
    ASSERT_EQ(LoadRaceLog(Path("day.csv"), log).outcome, RaceLogLoadOutcome::Loaded);
    const RunTable stored = LogbookRaces();
    ASSERT_EQ(stored.RowCount(), log.AllRunsTable().RowCount());
    for (int r = 0; r < stored.RowCount(); ++r) {
        ASSERT_EQ(*stored.Row(r), *log.AllRunsTable().Row(r)) << "row " << r;
    }
}

TEST_F(LiveLogbookTest, TheSameDayAgainInANewFileAddsNothing) {
    const RaceDay day = GenerateRaceDay({12, 5, 0.0, false});
    ReplayStart(day.steps, Path("first.csv"));
    const RunTable before = LogbookRaces();
    ASSERT_EQ(before.RowCount(), 2 * 12);
    // A restart decodes the last race again; here the whole day comes again, at later times.
    ReplayStart(day.steps, Path("second.csv"));
    const RunTable after = LogbookRaces();
    ASSERT_EQ(after.RowCount(), before.RowCount());
    for (int r = 0; r < after.RowCount(); ++r) {
        EXPECT_EQ(*after.Row(r), *before.Row(r)) << "row " << r;
    }
}

TEST_F(LiveLogbookTest, TheFirstStartImportsTheDataFoldersLogs) {
    ASSERT_TRUE(QDir().mkpath(Path("data")));
    const RaceDay earlier = GenerateRaceDay({6, 8, 0.0, false});
    ReplayStart(earlier.steps, Path("data/earlier.csv"));
    ASSERT_TRUE(QFile::remove(Path("logbook.sqlite")));
    QFile::remove(Path("logbook.sqlite-wal"));
    QFile::remove(Path("logbook.sqlite-shm"));

    const RaceDay today = GenerateRaceDay({4, 9, 0.0, false});
    ReplayStart(today.steps, Path("data/today.csv"), Path("data"));
    EXPECT_EQ(LogbookRaces().RowCount(), 2 * (6 + 4));
}

}  // namespace
}  // namespace orvanrx
