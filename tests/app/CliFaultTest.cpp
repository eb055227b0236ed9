// orvanrx-cli against the disk and the user's files: killed at random moments while it saves,
// and run with folders and files it cannot use. The race log on disk is always whole, and the
// program keeps receiving and decoding, saying once why the log is not saved.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <random>

#include <signal.h>
#include <unistd.h>

#include "decoding/RaceRows.h"
#include "racelog/RaceLogFile.h"
#include "settings/TestFiles.h"
#include "sim/RaceDayGenerator.h"
#include "sim/SimLoop.h"
#include "trace/TraceFile.h"

namespace orvanrx {
namespace {

using testing::L1;
using testing::S;
using testing::WriteBytes;

// How a run is started: as this user, or (when this user is root, whom permissions do not
// stop) as the unprivileged user "nobody" through setpriv.
enum class As { ThisUser, Unprivileged };

class CliFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // Open to every user, for the runs as an unprivileged user.
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadOther | QFile::WriteOther |
                                              QFile::ExeOther);
    }

    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    void WriteTrace(const QString& path, const std::vector<trace::Step>& steps) {
        ASSERT_TRUE(WriteBytes(path, QByteArray::fromStdString(FormatTrace(steps))));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    }

    QProcess* Start(const QStringList& args, As as = As::ThisUser) {
        auto* process = new QProcess;
        processes.emplace_back(process);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), Path("config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), Path("data"));
        env.insert(QStringLiteral("HOME"), dir.path());
        process->setProcessEnvironment(env);
        if (as == As::Unprivileged && geteuid() == 0) {
            process->start(
                QStringLiteral("setpriv"),
                QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                            QStringLiteral("--clear-groups"), QStringLiteral(ORVANRX_CLI_PATH)} +
                    args);
        } else {
            process->start(QStringLiteral(ORVANRX_CLI_PATH), args);
        }
        return process;
    }

    struct Result {
        int exitCode = -1;
        QString out;
        QStringList errLines;
    };
    Result Run(const QStringList& args, As as = As::ThisUser) {
        QProcess* process = Start(args, as);
        EXPECT_TRUE(process->waitForFinished(120000));
        return {
            process->exitCode(), QString::fromUtf8(process->readAllStandardOutput()),
            QString::fromUtf8(process->readAllStandardError()).split(u'\n', Qt::SkipEmptyParts)};
    }

    // Unprivileged runs need root to switch user, or a user whom permissions stop already.
    static bool CanRunUnprivileged() {
        return geteuid() != 0 || QFile::exists(QStringLiteral("/usr/bin/setpriv")) ||
               QFile::exists(QStringLiteral("/bin/setpriv"));
    }

    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> processes;
};

// The number of race lines a replay prints: every write or rewrite of a race's rows.
qsizetype RaceLines(const QString& out) {
    return out.count(QStringLiteral(" | L "));
}

// Under the sanitizers every start of the program takes several times longer, and start-up a
// larger share of each run (before it, no log can be there); that pass is there for memory
// faults, and the plain suite makes the full count of kills.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kKills = 60;
constexpr int kKillsWithALog = 15;
#else
constexpr int kKills = 200;
constexpr int kKillsWithALog = 100;
#endif

TEST_F(CliFaultTest, KilledAtRandomMomentsLeavesAWholeLogOrNone) {
    // Fifteen races with a save between every two, replayed back to back: a save every few
    // milliseconds.
    const RaceDay day = GenerateRaceDay({15, 17, 0.0, false});
    const QString trace = Path("day.trace");
    WriteTrace(trace, testing::WithSaveBetweenRaces(day.steps));
    QElapsedTimer timer;
    timer.start();
    const Result whole = Run({QStringLiteral("replay"), trace, QStringLiteral("--quiet"),
                              QStringLiteral("--log"), Path("whole.csv")});
    const qint64 runMs = timer.elapsed();
    ASSERT_EQ(whole.exitCode, 0);

    std::mt19937 random(20261204);
    std::uniform_int_distribution<qint64> moment(0, runMs);
    int killedWithALog = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE(kill);
        const QString folder = Path("kill") + QString::number(kill);
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString log = folder + QStringLiteral("/log.csv");
        QProcess* process = Start({QStringLiteral("replay"), trace, QStringLiteral("--quiet"),
                                   QStringLiteral("--log"), log});
        ASSERT_TRUE(process->waitForStarted());
        QThread::msleep(static_cast<unsigned long>(moment(random)));
        ::kill(static_cast<pid_t>(process->processId()), SIGKILL);
        ASSERT_TRUE(process->waitForFinished());

        if (QFile::exists(log)) {
            RunTables loaded;
            ASSERT_EQ(LoadRaceLog(log, loaded).outcome, RaceLogLoadOutcome::Loaded);
            const RunTable& all = loaded.AllRunsTable();
            ASSERT_GE(all.RowCount(), 2);
            const auto races = static_cast<std::size_t>(all.RowCount() / 2);
            ASSERT_LE(races, day.races.size());
            // Every race before the last as it finished; the last one as far as it had come.
            RunTables complete;
            for (int r = 0; r + 2 < all.RowCount(); r += 2) {
                complete.MutableAllRunsTable().OpenNextPair();
                *complete.MutableAllRunsTable().MutableRow(r) = *all.Row(r);
                *complete.MutableAllRunsTable().MutableRow(r + 1) = *all.Row(r + 1);
            }
            testing::ExpectLogHoldsExactly(
                complete.AllRunsTable(),
                {day.races.begin(), day.races.begin() + static_cast<std::ptrdiff_t>(races - 1)});
            EXPECT_EQ(all.Cell(all.LeftRow(), RunColumn::Car), day.races[races - 1].CarL);
            ++killedWithALog;
        }
        // The settings file, if there is one yet, parses.
        const QString ini = Path("config/OrvanRX/OrvanRX.ini");
        if (QFile::exists(ini)) {
            QSettings settings(ini, QSettings::IniFormat);
            (void)settings.allKeys();
            EXPECT_EQ(settings.status(), QSettings::NoError);
        }
    }
    // Enough kills came after the first save.
    EXPECT_GT(killedWithALog, kKillsWithALog);
}

TEST_F(CliFaultTest, RaceLogFolderIsAFile) {
    const RaceDay day = GenerateRaceDay({4, 3, 0.0, false});
    WriteTrace(Path("day.trace"), testing::WithSaveBetweenRaces(day.steps));
    const Result good = Run(
        {QStringLiteral("replay"), Path("day.trace"), QStringLiteral("--log"), Path("good.csv")});
    ASSERT_EQ(good.exitCode, 0);
    ASSERT_TRUE(WriteBytes(Path("folder"), "a file"));

    const QString log = Path("folder/day.csv");
    const Result r =
        Run({QStringLiteral("replay"), Path("day.trace"), QStringLiteral("--log"), log});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(RaceLines(r.out), RaceLines(good.out));  // every race received and decoded
    ASSERT_EQ(r.errLines.size(), 1) << S(r.errLines.join(u'\n'));  // once for the streak
    EXPECT_TRUE(r.errLines[0].startsWith(
        QStringLiteral("orvanrx-cli: warning: Race log not saved: ") + log + QStringLiteral(": ")))
        << S(r.errLines[0]);
    EXPECT_FALSE(r.out.contains(QStringLiteral("Race log: ")));
}

TEST_F(CliFaultTest, SettingsFileIsAFolder) {
    const RaceDay day = GenerateRaceDay({2, 3, 0.0, false});
    WriteTrace(Path("day.trace"), day.steps);
    ASSERT_TRUE(QDir().mkpath(Path("config/OrvanRX/OrvanRX.ini")));
    const Result r = Run(
        {QStringLiteral("replay"), Path("day.trace"), QStringLiteral("--log"), Path("day.csv")});
    EXPECT_EQ(r.exitCode, 0) << S(r.errLines.join(u'\n'));
    EXPECT_TRUE(r.errLines.isEmpty());
    RunTables loaded;
    ASSERT_EQ(LoadRaceLog(Path("day.csv"), loaded).outcome, RaceLogLoadOutcome::Loaded);
    testing::ExpectLogHoldsExactly(loaded.AllRunsTable(), day.races);
}

// Permissions: a data folder the user may not write, a settings file the user may not read.
TEST_F(CliFaultTest, ReadOnlyDataFolderAndUnreadableSettings) {
    if (!CanRunUnprivileged()) {
        GTEST_SKIP() << "running as root without setpriv: permissions cannot be tested";
    }
    const RaceDay day = GenerateRaceDay({3, 8, 0.0, false});
    WriteTrace(Path("day.trace"), testing::WithSaveBetweenRaces(day.steps));
    const Result good = Run({QStringLiteral("replay"), Path("day.trace"), QStringLiteral("--log"),
                             Path("good.csv"), QStringLiteral("--no-logbook")});
    ASSERT_EQ(good.exitCode, 0);
    ASSERT_TRUE(QDir(Path("config")).removeRecursively());
    ASSERT_TRUE(QDir().mkpath(Path("data/OrvanRX")));
    ASSERT_TRUE(QDir().mkpath(Path("config/OrvanRX")));
    ASSERT_TRUE(WriteBytes(Path("config/OrvanRX/OrvanRX.ini"), "[SOFTWARE]\nOrvanRX\\Venue=3\n"));
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(Path("data/OrvanRX"), readOnly);
    QFile::setPermissions(Path("data"), readOnly);
    QFile::setPermissions(Path("config/OrvanRX/OrvanRX.ini"), QFile::WriteOwner);
    const Result r = Run({QStringLiteral("replay"), Path("day.trace")}, As::Unprivileged);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(RaceLines(r.out), RaceLines(good.out));
    // Said once each: the race log, and the logbook beside it, cannot be written.
    ASSERT_EQ(r.errLines.size(), 2) << S(r.errLines.join(u'\n'));
    EXPECT_TRUE(
        r.errLines[0].startsWith(QStringLiteral("orvanrx-cli: warning: Race log not saved: ")))
        << S(r.errLines[0]);
    EXPECT_TRUE(r.errLines[1].startsWith(QStringLiteral("orvanrx-cli: warning: logbook: ")))
        << S(r.errLines[1]);
    EXPECT_TRUE(QDir(Path("data/OrvanRX")).isEmpty());
    QFile::setPermissions(Path("data"), readOnly | QFile::WriteOwner);
    QFile::setPermissions(Path("data/OrvanRX"), readOnly | QFile::WriteOwner);
    QFile::setPermissions(Path("config/OrvanRX/OrvanRX.ini"), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(testing::ReadBytes(Path("config/OrvanRX/OrvanRX.ini")),
              QByteArray("[SOFTWARE]\nOrvanRX\\Venue=3\n"));
}

}  // namespace
}  // namespace orvanrx
