// orvanrx-cli with the season logbook: import, export, backup and season statistics from a
// terminal, two programs writing at once, and a replay killed at random moments.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <random>

#include <signal.h>

#include "app/CliRun.h"
#include "logbook/Logbook.h"
#include "racelog/RaceLogFile.h"
#include "settings/TestFiles.h"
#include "sim/RaceDayGenerator.h"
#include "sim/SimLoop.h"
#include "trace/TraceFile.h"

namespace orvanrx {

using enum RunColumn;
namespace {

class LogbookCliTest : public testing::CliFixture {
protected:
    // A replayed day's race log at `log` (no logbook), for importing.
    void MakeLog(const QString& log, int races, std::uint32_t seed) {
        const RaceDay day = GenerateRaceDay({races, seed, 0.0, false});
        const QString trace = log + QStringLiteral(".trace");
        ASSERT_TRUE(testing::WriteBytes(trace, QByteArray::fromStdString(FormatTrace(day.steps))));
        const Result r = Run({QStringLiteral("replay"), trace, QStringLiteral("--quiet"),
                              QStringLiteral("--no-logbook"), QStringLiteral("--log"), log});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    }
};

TEST_F(LogbookCliTest, ImportExportBackupAndSeasonStats) {
    ASSERT_TRUE(QDir().mkpath(Path("logs")));
    MakeLog(Path("logs/day1.csv"), 20, 3);
    MakeLog(Path("logs/day2.csv"), 15, 4);
    ASSERT_TRUE(testing::WriteBytes(Path("logs/junk.csv"), "not,a\nrace log\n"));
    const QString book = Path("season.sqlite");

    Result r =
        Run({QStringLiteral("logbook"), QStringLiteral("import"), Path("logs"),
             QStringLiteral("--track"), QStringLiteral("EAST"), QStringLiteral("--logbook"), book});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("junk.csv: not a race-log file")))
        << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("2 of 3 files read, 35 races: 35 new")))
        << r.out.toStdString();
    // Nothing readable: 2; bad arguments: 2.
    EXPECT_EQ(Run({QStringLiteral("logbook"), QStringLiteral("import"), Path("logs/junk.csv"),
                   QStringLiteral("--logbook"), book})
                  .exitCode,
              2);
    for (const char* bad : {"", "frobnicate", "import", "export", "backup a b"}) {
        QStringList args{QStringLiteral("logbook")};
        args += QString::fromLatin1(bad).split(u' ', Qt::SkipEmptyParts);
        EXPECT_EQ(Run(args).exitCode, 2) << bad;
    }

    // The export holds every run with a car, a line each, under the header.
    r = Run({QStringLiteral("logbook"), QStringLiteral("export"), Path("runs.csv"),
             QStringLiteral("--logbook"), book});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile exported(Path("runs.csv"));
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = exported.readAll().split('\n');
    EXPECT_TRUE(lines.first().startsWith("time,track,category,class,car,name,lane,"));
    Logbook::OpenResult opened = Logbook::Open(book);
    ASSERT_TRUE(opened.logbook);
    EXPECT_EQ(lines.size() - 2, static_cast<qsizetype>(opened.logbook->SelectRuns({}).size()));
    EXPECT_TRUE(lines[1].contains(",EAST,"));

    // The backup opens as a logbook of its own.
    r = Run({QStringLiteral("logbook"), QStringLiteral("backup"), Path("copy.sqlite"),
             QStringLiteral("--logbook"), book});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    Logbook::OpenResult copy = Logbook::Open(Path("copy.sqlite"));
    ASSERT_TRUE(copy.logbook);
    EXPECT_EQ(copy.logbook->RaceCount(), 35);

    // Season statistics: the same figures as the two logs' statistics line for line.
    r = Run({QStringLiteral("stats"), QStringLiteral("--logbook"), book, QStringLiteral("--track"),
             QStringLiteral("EAST"), QStringLiteral("--csv")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList seasonLines = r.out.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_GT(seasonLines.size(), 5);
    r = Run({QStringLiteral("stats"), QStringLiteral("--logbook"), book, QStringLiteral("--track"),
             QStringLiteral("WEST"), QStringLiteral("--csv")});
    EXPECT_EQ(r.out.split(u'\n', Qt::SkipEmptyParts).size(), 1);  // the header only
    EXPECT_EQ(Run({QStringLiteral("stats"), Path("logs/day1.csv"), QStringLiteral("--since"),
                   QStringLiteral("2026-01-01")})
                  .exitCode,
              2);  // --since needs --logbook
    EXPECT_EQ(Run({QStringLiteral("stats"), QStringLiteral("--logbook"), book,
                   QStringLiteral("--since"), QStringLiteral("1.1.2026")})
                  .exitCode,
              2);
}

TEST_F(LogbookCliTest, TwoProgramsWriteAtOnce) {
    ASSERT_TRUE(QDir().mkpath(Path("a")));
    ASSERT_TRUE(QDir().mkpath(Path("b")));
    MakeLog(Path("a/day.csv"), 60, 5);
    MakeLog(Path("b/day.csv"), 60, 6);
    const RaceDay day = GenerateRaceDay({30, 7, 0.0, false});
    ASSERT_TRUE(
        testing::WriteBytes(Path("live.trace"), QByteArray::fromStdString(FormatTrace(day.steps))));
    const QString book = Path("shared.sqlite");
    // Two imports and a replay storing live, all at the same time.
    QProcess* first = Start({QStringLiteral("logbook"), QStringLiteral("import"), Path("a/day.csv"),
                             QStringLiteral("--logbook"), book});
    QProcess* second = Start({QStringLiteral("logbook"), QStringLiteral("import"),
                              Path("b/day.csv"), QStringLiteral("--logbook"), book});
    QProcess* live =
        Start({QStringLiteral("replay"), Path("live.trace"), QStringLiteral("--quiet"),
               QStringLiteral("--log"), Path("live.csv"), QStringLiteral("--logbook"), book});
    for (QProcess* process : {first, second, live}) {
        const Result r = Finish(process);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QStringLiteral("logbook"))) << r.err.toStdString();
    }
    Logbook::OpenResult opened = Logbook::Open(book);
    ASSERT_TRUE(opened.logbook);
    EXPECT_EQ(opened.logbook->RaceCount(), 60 + 60 + 30);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr int kKills = 4;
#else
constexpr int kKills = 10;
#endif

TEST_F(LogbookCliTest, KilledAtRandomMomentsTheLogbookHoldsEveryRaceStoredBefore) {
    const RaceDay day = GenerateRaceDay({12, 19, 0.0, false});
    const QString trace = Path("day.trace");
    ASSERT_TRUE(testing::WriteBytes(
        trace, QByteArray::fromStdString(FormatTrace(testing::WithSaveBetweenRaces(day.steps)))));
    QElapsedTimer timer;
    timer.start();
    const Result whole =
        Run({QStringLiteral("replay"), trace, QStringLiteral("--quiet"), QStringLiteral("--log"),
             Path("whole.csv"), QStringLiteral("--logbook"), Path("whole.sqlite")});
    const qint64 runMs = timer.elapsed();
    ASSERT_EQ(whole.exitCode, 0);

    std::mt19937 random(20261207);
    std::uniform_int_distribution<qint64> moment(runMs / 5, runMs);
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE(kill);
        const QString folder = Path("kill") + QString::number(kill);
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString log = folder + QStringLiteral("/log.csv");
        const QString book = folder + QStringLiteral("/logbook.sqlite");
        QProcess* process =
            Start({QStringLiteral("replay"), trace, QStringLiteral("--quiet"),
                   QStringLiteral("--log"), log, QStringLiteral("--logbook"), book});
        ASSERT_TRUE(process->waitForStarted());
        QThread::msleep(static_cast<unsigned long>(moment(random)));
        ::kill(static_cast<pid_t>(process->processId()), SIGKILL);
        ASSERT_TRUE(process->waitForFinished());
        if (!QFile::exists(book)) {
            continue;
        }
        Logbook::OpenResult opened = Logbook::Open(book);
        ASSERT_TRUE(opened.logbook) << opened.error.toStdString();
        EXPECT_EQ(opened.logbook->IntegrityCheck(), QStringLiteral("ok"));
        const RunTable stored = opened.logbook->SelectRaces({});
        // Every race the last save had finished (all but its last) is in the logbook as saved;
        // the logbook, written as races come, is never behind the file.
        RunTables saved;
        if (LoadRaceLog(log, saved).outcome == RaceLogLoadOutcome::Loaded) {
            const RunTable& file = saved.AllRunsTable();
            ASSERT_GE(stored.RowCount(), file.RowCount() - 2);
            for (int row = 0; row + 2 < file.RowCount(); ++row) {
                EXPECT_EQ(*stored.Row(row), *file.Row(row)) << "row " << row;
            }
        }
    }
}

}  // namespace
}  // namespace orvanrx
