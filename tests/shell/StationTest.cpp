#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "racelog/RaceLogFile.h"
#include "settings/SettingsKeys.h"
#include "shell/DataFolder.h"
#include "shell/Replay.h"
#include "sim/RaceDayGenerator.h"

namespace orvanrx {
namespace {

const QDateTime kNow(QDate(2026, 12, 4), QTime(18, 53));

class StationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // A start of the program against a simulated receiver playing `steps`.
    void Start(std::vector<trace::Step> steps, const QString& logFile) {
        sim = std::make_unique<SimulatedXpress>(std::move(steps));
        station = std::make_unique<Station>(
            Station::Setup{*sim, settings, indicators, observer, FixedClock(kNow), sim->Clock()});
        station->Start(logFile);
    }
    // A start, to the end of the trace and the orderly stop. The station is kept for
    // inspection.
    void RunOnce(std::vector<trace::Step> steps, const QString& logFile) {
        Start(std::move(steps), logFile);
        EXPECT_FALSE(RunUntilTraceEnds(*station, *sim).receiverNeverFound);
        station->Stop();
    }

    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    SettingsStore settings{dir.filePath(QStringLiteral("OrvanRX.ini"))};
    StatusIndicators indicators;
    PollObserver observer;
    std::unique_ptr<SimulatedXpress> sim;
    std::unique_ptr<Station> station;
};

TEST_F(StationTest, NextStartRestoresTheLastRaceUnlessTheVenueChanges) {
    const RaceDay day = GenerateRaceDay({3, 5, 0.0, false});
    RunOnce(day.steps, Path("first.csv"));
    const ReceiveBuffer first = station->Buffer();
    const int h = first.RunBlockPointer();
    const std::int16_t venue = station->CurrentVenue();

    // A start with nothing to poll: the mirror holds what the last stop kept.
    RunOnce({}, Path("second.csv"));
    const ReceiveBuffer& restored = station->Buffer();
    EXPECT_EQ(station->CurrentVenue(), venue);
    for (int i = 0; i < ReceiveBuffer::kSize; ++i) {
        const bool kept = i == 2 || i == 3 || (i >= h && i <= h + 72);
        const std::uint8_t expected = kept ? *first.At(i) : (i == 262 ? 0xFF : 0);
        ASSERT_EQ(*restored.At(i), expected) << "offset " << i;
    }
    EXPECT_FALSE(QFile::exists(Path("second.csv")));  // no race, no file

    // The first reply from another venue clears the restored bytes.
    const auto other = static_cast<std::uint8_t>(venue + 1);
    RunOnce({trace::Reply{{0xFA, other, 0x10, 0x00, 1, 2, 3, 4, 5, 6, 7, 8}}}, Path("third.csv"));
    EXPECT_EQ(station->CurrentVenue(), other);
    EXPECT_EQ(station->Buffer().RunBlockPointer(), 0);
    EXPECT_EQ(station->Buffer().At(h), 0);
    EXPECT_EQ(station->Buffer().At(0x1000), 1);
}

TEST_F(StationTest, WindowsOpenOnResetTablesAndCloseBetweenTheSaveAndTheReceiveMemory) {
    const RaceDay day = GenerateRaceDay({2, 4, 0.0, false});
    RunOnce(day.steps, Path("first.csv"));  // leaves a last race and a venue in the settings

    sim = std::make_unique<SimulatedXpress>(day.steps);
    station = std::make_unique<Station>(
        Station::Setup{*sim, settings, indicators, observer, FixedClock(kNow), sim->Clock()});
    bool opened = false;
    station->Start(Path("second.csv"), [&] {
        opened = true;
        EXPECT_EQ(station->Tables().AllRunsTable().LeftRow(), -2);
        EXPECT_EQ(station->Buffer().RunBlockPointer(), 0);  // the last race not yet back
        EXPECT_FALSE(station->ReceiverLink().DeviceOpen());
    });
    EXPECT_TRUE(opened);
    EXPECT_NE(station->Buffer().RunBlockPointer(), 0);
    RunUntilTraceEnds(*station, *sim);

    const QString program(kProgramKey);
    const QString venue(kVenueValue);
    settings.SetKeyValue(program, venue, QStringLiteral("x"), ValueType::RegSz);
    bool closed = false;
    station->Stop([&] {
        closed = true;
        EXPECT_TRUE(QFile::exists(Path("second.csv")));
        EXPECT_EQ(settings.QueryValue(program, venue), QStringLiteral("x"));
    });
    EXPECT_TRUE(closed);
    EXPECT_NE(settings.QueryValue(program, venue), QStringLiteral("x"));
}

TEST_F(StationTest, AutomaticSaveWritesTheLogFileEveryThirtySecondsOfTimerTime) {
    const RaceDay day = GenerateRaceDay({2, 9, 0.0, false});
    std::vector<trace::Step> steps = day.steps;
    steps.push_back(trace::Idle{1000});
    Start(steps, Path("auto.csv"));
    while (station->Loop().SaveElapsed() != 0 || !QFile::exists(Path("auto.csv"))) {
        ASSERT_FALSE(sim->TraceExhausted());
        station->Loop().RunPollCycle();
    }
    RunTables loaded;
    EXPECT_EQ(LoadRaceLog(Path("auto.csv"), loaded).outcome, RaceLogLoadOutcome::Loaded);
    EXPECT_EQ(settings.QueryValue(QStringLiteral("SOFTWARE\\OrvanRX\\LogFile\\"),
                                  QStringLiteral("LogFile")),
              Path("auto.csv"));
}

TEST(DataFolder, CreatedWhenMissingAndFallsBackToTheProgramFolder) {
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("share"));
    const QString folder = GetDataFolder(base, QStringLiteral("OrvanRX"));
    EXPECT_EQ(folder, base + QStringLiteral("/OrvanRX"));
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_EQ(GetDataFolder(base, QStringLiteral("/OrvanRX")), folder);

    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString invalid = GetDataFolder(blocker.fileName(), QStringLiteral("OrvanRX"));
    EXPECT_EQ(invalid, QStringLiteral("Folder Not Valid"));
    EXPECT_EQ(GetDataFolder(QString(), QStringLiteral("OrvanRX")), invalid);

    EXPECT_EQ(RaceLogFileName(folder, QStringLiteral("/opt/orvanrx"), kNow),
              folder + QStringLiteral("/2026-12-04 1853.csv"));
    EXPECT_EQ(RaceLogFileName(invalid, QStringLiteral("/opt/orvanrx"), kNow),
              QStringLiteral("/opt/orvanrx/2026-12-04 1853.csv"));
}

}  // namespace
}  // namespace orvanrx
