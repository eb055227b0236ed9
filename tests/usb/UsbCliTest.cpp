// orvanrx-cli log and record against a generated race day played by the emulated receiver: the
// race log is the one a replay of the same day gives, and the recorded trace replays to it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "EmulatedReceiver.h"
#include "racelog/RaceLogFile.h"

namespace orvanrx {
namespace {

// Races of a generated day: enough for a race to be split by an unplug, few enough that the
// day plays in seconds at 30 ms a poll.
constexpr char kDay[] = "simulate --races 3 --seed 11";

class UsbCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // Open to every user, for the run as an unprivileged user.
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadOther | QFile::WriteOther |
                                              QFile::ExeOther);
    }

    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    std::unique_ptr<QProcess> Start(const QStringList& args, bool unprivileged = false) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), Path("config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), Path("data"));
        process->setProcessEnvironment(env);
        if (unprivileged) {
            process->start(
                QStringLiteral("setpriv"),
                QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                            QStringLiteral("--clear-groups"), QStringLiteral(ORVANRX_CLI_PATH)} +
                    args);
        } else {
            process->start(QStringLiteral(ORVANRX_CLI_PATH), args);
        }
        EXPECT_TRUE(process->waitForStarted(10000));
        return process;
    }

    // Runs to the end; gives the exit code.
    int Run(const QStringList& args, QByteArray* out = nullptr) {
        auto process = Start(args);
        EXPECT_TRUE(process->waitForFinished(60000));
        if (out != nullptr) {
            *out = process->readAllStandardOutput();
        }
        return process->exitCode();
    }

    // The day's trace, with an unplug for `unplugTicks` ticks after half its lines when
    // non-zero.
    QString WriteDay(int unplugTicks) {
        QByteArray trace;
        EXPECT_EQ(Run(QString::fromLatin1(kDay).split(u' '), &trace), 0);
        if (unplugTicks > 0) {
            QList<QByteArray> lines = trace.split('\n');
            lines.insert(lines.size() / 2, "unplug " + QByteArray::number(unplugTicks));
            trace = lines.join('\n');
        }
        const QString path = Path(unplugTicks > 0 ? "unplug.trace" : "day.trace");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(trace) == trace.size());
        return path;
    }

    // Every cell of the race log at `path` but the time each race was received.
    std::vector<std::string> Races(const QString& path) {
        RunTables tables;
        EXPECT_EQ(LoadRaceLog(path, tables).outcome, RaceLogLoadOutcome::Loaded)
            << path.toStdString();
        std::vector<std::string> cells;
        const RunTable& all = tables.AllRunsTable();
        for (int row = 0; row < all.RowCount(); ++row) {
            for (int column = 0; column < kRunColumnCount; ++column) {
                if (column != ColumnIndex(RunColumn::DateTime)) {
                    cells.push_back(all.Cell(row, column).toStdString());
                }
            }
        }
        return cells;
    }

    // Plays `trace` through the emulated receiver to `command` (log or record) until the
    // receiver has given its last reply, then stops the program as a racer would.
    void PlayDay(const testing::EmulatedReceiver& device, const QString& trace,
                 const QStringList& command) {
        ASSERT_TRUE(device.Do("trace " + trace.toStdString()));
        auto process = Start(command);
        const bool ended = device.WaitFor("# trace ended", 60000);
        // A few more ticks, so that the last reply is surely decoded.
        QThread::msleep(100);
        process->terminate();
        ASSERT_TRUE(process->waitForFinished(10000));
        const QByteArray out = process->readAllStandardOutput();
        ASSERT_TRUE(ended) << out.toStdString() << process->readAllStandardError().toStdString();
        EXPECT_EQ(process->exitCode(), 0) << out.toStdString();
        EXPECT_EQ(out.count("Race log: "), 2)
            << out.toStdString();  // named at the start and once saved
    }

    QTemporaryDir dir;
};

TEST_F(UsbCliTest, RecordedDayGivesTheReplaysRaceLogAndReplaysToIt) {
    ORVANRX_NEEDS_EMULATED_RECEIVER(device);
    const QString day = WriteDay(0);
    ASSERT_EQ(Run({QStringLiteral("replay"), day, QStringLiteral("--log"), Path("replay.csv")}), 0);
    const std::vector<std::string> expected = Races(Path("replay.csv"));
    ASSERT_EQ(expected.size(), 3u * 2u * (kRunColumnCount - 1));

    PlayDay(device, day,
            {QStringLiteral("record"), Path("recorded.trace"), QStringLiteral("--log"),
             Path("live.csv"), QStringLiteral("--quiet")});
    EXPECT_EQ(Races(Path("live.csv")), expected);

    ASSERT_EQ(Run({QStringLiteral("replay"), Path("recorded.trace"), QStringLiteral("--log"),
                   Path("rerun.csv")}),
              0);
    EXPECT_EQ(Races(Path("rerun.csv")), expected);
}

TEST_F(UsbCliTest, UnpluggedMidDayLosesNoRace) {
    ORVANRX_NEEDS_EMULATED_RECEIVER(device);
    const QString day = WriteDay(10);
    ASSERT_EQ(Run({QStringLiteral("replay"), day, QStringLiteral("--log"), Path("replay.csv")}), 0);
    const std::vector<std::string> expected = Races(Path("replay.csv"));
    ASSERT_EQ(expected.size(), 3u * 2u * (kRunColumnCount - 1));

    const std::size_t mark = device.Log().size();
    PlayDay(device, day,
            {QStringLiteral("log"), QStringLiteral("--log"), Path("live.csv"),
             QStringLiteral("--quiet")});
    EXPECT_EQ(Races(Path("live.csv")), expected);
    const std::vector<std::string> lines = device.Log();
    EXPECT_NE(std::find(lines.begin() + static_cast<std::ptrdiff_t>(mark), lines.end(),
                        "# 1-1 unplugged"),
              lines.end());
}

TEST_F(UsbCliTest, RefusedPermissionNamesTheUdevRule) {
    ORVANRX_NEEDS_EMULATED_RECEIVER(device);
    const bool root = geteuid() == 0;
    if (root && !QFile::exists(QStringLiteral("/usr/bin/setpriv")) &&
        !QFile::exists(QStringLiteral("/bin/setpriv"))) {
        GTEST_SKIP() << "running as root without setpriv: a refusal cannot be shown";
    }
    ASSERT_TRUE(device.Do("deny"));
    auto process = Start({QStringLiteral("log"), QStringLiteral("--log"), Path("live.csv")}, root);
    QByteArray out;
    for (int i = 0; i < 100 && !out.contains("70-orvanrx-receiver.rules"); ++i) {
        process->waitForReadyRead(100);
        out += process->readAllStandardOutput();
    }
    process->terminate();
    ASSERT_TRUE(process->waitForFinished(10000));
    out += process->readAllStandardOutput();
    EXPECT_TRUE(out.contains("A receiver is attached, but this user may not open it."))
        << out.toStdString();
    EXPECT_TRUE(out.contains("70-orvanrx-receiver.rules")) << out.toStdString();
    EXPECT_TRUE(out.contains("plugdev")) << out.toStdString();
    // Told once, not on every tick.
    EXPECT_EQ(out.count("may not open it"), 1) << out.toStdString();
}

}  // namespace
}  // namespace orvanrx
