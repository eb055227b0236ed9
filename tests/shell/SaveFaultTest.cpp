// Faults at the race-log saves of a running station: a disk that fills up during the automatic
// save and the save at shut-down, a data folder that vanishes. Each time the last file written
// stays whole, the race log in memory is untouched, receiving and decoding go on, the racer is
// told once, and the next save once the fault is gone writes the whole log.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "decoding/RaceRows.h"
#include "racelog/RaceLogFile.h"
#include "settings/TestFiles.h"
#include "shell/CallLog.h"
#include "shell/Station.h"
#include "sim/RaceDayGenerator.h"
#include "sim/SimLoop.h"

namespace orvanrx {
namespace {

using testing::ReadBytes;
using testing::Rows;

const QDateTime kNow(QDate(2026, 12, 4), QTime(18, 53));

class SaveFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        day = GenerateRaceDay({5, 21, 0.0, false});
        sim = std::make_unique<SimulatedXpress>(testing::WithSaveBetweenRaces(day.steps));
        station = std::make_unique<Station>(
            Station::Setup{*sim, settings, log, log, FixedClock(kNow), sim->Clock()});
        ASSERT_TRUE(QDir().mkpath(folder));
        station->Start(logFile);
    }

    // Ticks up to and including the next automatic save; false when the trace ran out first.
    // Prints nothing: a file size limit may be in force.
    bool RunToNextSave() {
        do {
            if (sim->TraceExhausted()) {
                return false;
            }
            station->Loop().RunPollCycle();
        } while (station->Loop().SaveElapsed() != 0);
        return true;
    }

    std::vector<RunRecord> FirstRaces(std::size_t n) const {
        return {day.races.begin(), day.races.begin() + static_cast<std::ptrdiff_t>(n)};
    }

    // The file holds exactly the log in memory.
    void ExpectFileHoldsTheLog() const {
        EXPECT_EQ(ReadBytes(logFile), RaceLogFileBytes(station->Tables().AllRunsTable()));
    }

    std::vector<std::string> StatusTexts() const { return log.With("status "); }

    QTemporaryDir dir;
    QString folder = dir.filePath(QStringLiteral("data/OrvanRX"));
    QString logFile = folder + QStringLiteral("/2026-12-04 1853.csv");
    SettingsStore settings{dir.filePath(QStringLiteral("config/OrvanRX.ini"))};
    testing::CallLog log;
    RaceDay day;
    std::unique_ptr<SimulatedXpress> sim;
    std::unique_ptr<Station> station;
};

TEST_F(SaveFaultTest, DiskFullDuringTheAutomaticSave) {
    ASSERT_TRUE(RunToNextSave());
    ASSERT_TRUE(RunToNextSave());  // two races saved
    const QByteArray saved = ReadBytes(logFile);
    ASSERT_EQ(saved, RaceLogFileBytes(station->Tables().AllRunsTable()));

    // The disk fills up: no file can grow past half the log any more, for two saves.
    bool ran = false;
    {
        testing::FileSizeLimit diskFull(static_cast<rlim_t>(saved.size() / 2));
        ran = RunToNextSave() && RunToNextSave();
    }
    ASSERT_TRUE(ran);
    EXPECT_EQ(ReadBytes(logFile), saved);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QFileInfo(logFile).fileName()});
    testing::ExpectLogHoldsExactly(station->Tables().AllRunsTable(), FirstRaces(4));
    EXPECT_TRUE(station->SaveFailing());
    ASSERT_EQ(StatusTexts().size(), 1u);  // told once for the streak
    EXPECT_TRUE(StatusTexts()[0].starts_with("Race log not saved: " + logFile.toStdString() + ": "))
        << StatusTexts()[0];
    EXPECT_GT(StatusTexts()[0].size(),
              ("Race log not saved: " + logFile.toStdString() + ": ").size());

    // Room again: the next save writes the whole log and clears the message.
    ASSERT_TRUE(RunToNextSave());
    ExpectFileHoldsTheLog();
    testing::ExpectLogHoldsExactly(station->Tables().AllRunsTable(), FirstRaces(5));
    EXPECT_FALSE(station->SaveFailing());
    EXPECT_EQ(StatusTexts().back(), "");
    EXPECT_EQ(StatusTexts().size(), 2u);
}

TEST_F(SaveFaultTest, DiskFullAtShutDownKeepsTheLastAutomaticSave) {
    ASSERT_TRUE(RunToNextSave());
    ASSERT_TRUE(RunToNextSave());
    ASSERT_TRUE(RunToNextSave());
    station->Loop().RunPollCycle();  // the fourth race has begun
    const QByteArray saved = ReadBytes(logFile);
    const std::vector<RunRow> rows = Rows(station->Tables().AllRunsTable());
    const QByteArray ini = ReadBytes(settings.Location());
    RaceLogSaveResult result;
    {
        testing::FileSizeLimit diskFull(static_cast<rlim_t>(saved.size() / 2));
        result = station->Stop();
    }
    EXPECT_EQ(result.outcome, RaceLogSaveOutcome::Failed);
    EXPECT_FALSE(result.reason.isEmpty());
    EXPECT_EQ(ReadBytes(logFile), saved);
    EXPECT_EQ(Rows(station->Tables().AllRunsTable()), rows);
    // The receive memory could not be kept either; the settings file is as it was.
    EXPECT_EQ(ReadBytes(settings.Location()), ini);
    EXPECT_EQ(StatusTexts(),
              std::vector<std::string>{RaceLogNotSavedText(logFile, result.reason).toStdString()});

    EXPECT_EQ(station->SaveLog().outcome, RaceLogSaveOutcome::Saved);
    ExpectFileHoldsTheLog();
}

TEST_F(SaveFaultTest, VanishedDataFolder) {
    ASSERT_TRUE(RunToNextSave());
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(RunToNextSave());
    EXPECT_FALSE(QFile::exists(logFile));
    EXPECT_TRUE(station->SaveFailing());
    ASSERT_TRUE(RunToNextSave());  // receiving and decoding go on
    testing::ExpectLogHoldsExactly(station->Tables().AllRunsTable(), FirstRaces(3));
    EXPECT_EQ(StatusTexts().size(), 1u);

    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(RunToNextSave());
    ExpectFileHoldsTheLog();
    EXPECT_EQ(StatusTexts().back(), "");
}

}  // namespace
}  // namespace orvanrx
