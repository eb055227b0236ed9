// The desktop program as a whole: the built orvanrx run on a replayed race day with its own
// settings and data folders, ended by a termination signal.

#include <signal.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "logbook/Logbook.h"
#include "racelog/RaceLogFile.h"
#include "sim/RaceDayGenerator.h"
#include "trace/TraceFile.h"

namespace {

// The rows of a race-log file without their DateTime cells, which tell when the rows were
// first filled: the rest must match byte for byte.
QStringList RowsWithoutTimes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {QStringLiteral("(no file %1)").arg(path)};
    }
    QStringList rows;
    static const QRegularExpression kTime(QStringLiteral("^(\\d+),\"[^\"]*\","));
    for (const QByteArray& line : file.readAll().split('\n')) {
        rows << QString::fromUtf8(line).replace(kTime, QStringLiteral("\\1,,"));
    }
    return rows;
}

QString Joined(const orvanrx::RunRow& row) {
    return QStringList(row.begin(), row.end()).join(QLatin1Char('\x1f'));
}

// The races of a logbook file; -1 while it is not there or cannot be opened yet.
int RacesIn(const QString& path) {
    if (!QFileInfo::exists(path)) {
        return -1;
    }
    orvanrx::Logbook::OpenResult opened = orvanrx::Logbook::Open(path);
    return opened.logbook ? opened.logbook->RaceCount() : -1;
}

}  // namespace

class DesktopProgramTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir.isValid());
        const orvanrx::RaceDay day = orvanrx::GenerateRaceDay({6, 11, 0.05, false});
        QFile trace(Path("day.trace"));
        QVERIFY(trace.open(QIODevice::WriteOnly));
        trace.write(QByteArray::fromStdString(orvanrx::FormatTrace(day.steps)));
        trace.close();

        QProcess cli;
        cli.setProcessEnvironment(Environment("cli"));
        cli.start(QStringLiteral(ORVANRX_CLI_PATH),
                  {QStringLiteral("replay"), Path("day.trace"), QStringLiteral("--log"),
                   Path("cli.csv"), QStringLiteral("--quiet")});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
    }

    void terminationSignalRunsTheOrderlyUnload() {
        QProcess program;
        Start(program, "gui");
        QTest::qWait(4000);  // the day takes about 0.1 s at this speed
        QCOMPARE(program.state(), QProcess::Running);

        // A second copy meanwhile: it says so and ends, touching nothing.
        const QString ini = Path("gui/config/OrvanRX/OrvanRX.ini");
        const QByteArray settingsBefore = Contents(ini);
        const QDateTime writtenBefore = QFileInfo(ini).lastModified();
        QProcess second;
        Start(second, "gui", {});
        QTest::qWait(1500);
        QCOMPARE(second.state(), QProcess::Running);  // its message is up
        ::kill(static_cast<pid_t>(second.processId()), SIGTERM);
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(Contents(ini), settingsBefore);
        QCOMPARE(QFileInfo(ini).lastModified(), writtenBefore);

        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);

        const QStringList logs =
            QDir(Path("gui/data/OrvanRX")).entryList({QStringLiteral("*.csv")}, QDir::Files);
        QCOMPARE(logs.size(), 1);
        const QString log = Path("gui/data/OrvanRX/") + logs.first();
        QCOMPARE(RowsWithoutTimes(log), RowsWithoutTimes(Path("cli.csv")));

        QSettings tree(ini, QSettings::IniFormat);
        tree.beginGroup(QStringLiteral("SOFTWARE"));
        QCOMPARE(tree.value(QStringLiteral("OrvanRX/LogFile/LogFile")).toString(), log);
        QCOMPARE(tree.value(QStringLiteral("OrvanRX/Main/ScreenSettings/BackColor")).toString(),
                 QStringLiteral("-2147483636"));
        QVERIFY(tree.contains(QStringLiteral("OrvanRX/Venue")));
        QVERIFY(tree.contains(QStringLiteral("OrvanRX/RaceLog/MemoryDump/2")));
        QVERIFY(tree.contains(QStringLiteral("OrvanRX/RaceLog/ScreenSettings/WindowState")));
        tree.beginGroup(QStringLiteral("OrvanRX/RAM"));
        QCOMPARE(tree.childKeys().size(), 73);
    }

    // The demo's invented races go into a logbook of its own: the racer's season logbook is
    // never made, and the racer's race log already in the data folder is neither imported nor
    // touched.
    void theDemoKeepsALogbookOfItsOwn() {
        const QString folder = Path("demo/data/OrvanRX/");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::copy(Path("cli.csv"), folder + QStringLiteral("racer.csv")));
        const QByteArray racerLog = Contents(folder + QStringLiteral("racer.csv"));
        const QString demoLogbook = orvanrx::DemoLogbookPath(Path("demo/data/OrvanRX"));

        QProcess program;
        Start(program, "demo", {QStringLiteral("--demo")});
        QTRY_VERIFY_WITH_TIMEOUT(RacesIn(demoLogbook) >= 1, 30000);
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);

        QVERIFY(!QFileInfo::exists(orvanrx::LogbookPath(Path("demo/data/OrvanRX"))));
        QCOMPARE(Contents(folder + QStringLiteral("racer.csv")), racerLog);

        // Every run in the demo's logbook is a row of the demo's own race log.
        const QStringList logs =
            QDir(folder)
                .entryList({QStringLiteral("*.csv")}, QDir::Files)
                .filter(QRegularExpression(QStringLiteral("^(?!racer\\.csv$)")));
        QCOMPARE(logs.size(), 1);
        orvanrx::RunTables tables;
        QCOMPARE(orvanrx::LoadRaceLog(folder + logs.first(), tables).outcome,
                 orvanrx::RaceLogLoadOutcome::Loaded);
        QSet<QString> demoRows;
        const orvanrx::RunTable& all = tables.AllRunsTable();
        for (int r = 0; r <= all.RightRow(); ++r) {
            demoRows.insert(Joined(*all.Row(r)));
        }
        orvanrx::Logbook::OpenResult opened = orvanrx::Logbook::Open(demoLogbook);
        QVERIFY(opened.logbook);
        const std::vector<orvanrx::LogbookRun> runs = opened.logbook->SelectRuns({});
        QVERIFY(!runs.empty());
        for (const orvanrx::LogbookRun& run : runs) {
            QVERIFY2(demoRows.contains(Joined(run.row)), qPrintable(Joined(run.row)));
        }
    }

    // On an X display the window manager shows the captions exactly as the program gives them:
    // nothing of the toolkit's added, such as " \u2014 OrvanRX".
    void theDesktopShowsTheCaptionAsGiven() {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty()) {
            QSKIP("Xvfb and xwininfo (Debian xvfb, x11-utils) are needed to read captions");
        }
        QProcess server;
        server.start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                      QStringLiteral("0"), QStringLiteral("1366x768x24"),
                      QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QVERIFY(server.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine() || server.state() != QProcess::Running,
                                 10000);
        const QString display =
            QStringLiteral(":") + QString::fromLatin1(server.readLine()).trimmed();
        QVERIFY2(display.size() > 1, "Xvfb named no display");

        QProcess program;
        QProcessEnvironment env = Environment("x11");
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), display);
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(ORVANRX_GUI_PATH),
                      {QStringLiteral("--replay"), Path("day.trace")});
        QVERIFY(program.waitForStarted());

        QString names;
        const auto readNames = [&] {
            QProcess tree;
            QProcessEnvironment treeEnv = QProcessEnvironment::systemEnvironment();
            treeEnv.insert(QStringLiteral("DISPLAY"), display);
            tree.setProcessEnvironment(treeEnv);
            tree.start(QStringLiteral("xwininfo"),
                       {QStringLiteral("-root"), QStringLiteral("-tree")});
            tree.waitForFinished(5000);
            names = QString::fromUtf8(tree.readAllStandardOutput());
            return names.contains(QStringLiteral("\"OrvanRX"));
        };
        QTRY_VERIFY_WITH_TIMEOUT(readNames(), 15000);
        QVERIFY2(names.contains(QStringLiteral("\"OrvanRX - Replay\"")), qPrintable(names));
        QVERIFY2(!names.contains(QStringLiteral("\u2014")), qPrintable(names));

        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(20000));
        server.terminate();
        QVERIFY(server.waitForFinished(10000));
    }

    void helpAndVersionAnswerWithoutADisplay_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("expected");
        QTest::newRow("help") << "--help"
                              << "--replay <TRACE>";
        QTest::newRow("version") << "--version"
                                 << "orvanrx v";
    }
    void helpAndVersionAnswerWithoutADisplay() {
        QFETCH(QString, option);
        QFETCH(QString, expected);
        QProcess program;
        QProcessEnvironment env = Environment("terminal");
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
            env.remove(QString::fromLatin1(name));
        }
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(ORVANRX_GUI_PATH), {option});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(QString::fromLocal8Bit(program.readAllStandardOutput()).contains(expected),
                 qPrintable(QString::fromLocal8Bit(program.readAllStandardError())));
    }

private:
    static QByteArray Contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    QString Path(const char* name) const { return Path(QString::fromLatin1(name)); }

    QProcessEnvironment Environment(const char* home) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString base = Path(home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), base + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), base + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), base + QStringLiteral("/run"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QDir().mkpath(base + QStringLiteral("/run"));
        QFile::setPermissions(base + QStringLiteral("/run"), QFileDevice::ReadOwner |
                                                                 QFileDevice::WriteOwner |
                                                                 QFileDevice::ExeOwner);
        return env;
    }

    void Start(QProcess& program, const char* home,
               QStringList args = {QStringLiteral("--replay"), QString(), QStringLiteral("--speed"),
                                   QStringLiteral("1000")}) {
        if (args.size() > 1) {
            args[1] = Path("day.trace");
        }
        program.setProcessEnvironment(Environment(home));
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(ORVANRX_GUI_PATH), args);
        QVERIFY(program.waitForStarted());
    }

    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(DesktopProgramTest)
#include "DesktopProgramTest.moc"
