// A whole day at the desktop program, driven through its commands as a racer would: a replayed
// race day on the running 30 ms timer, the three log windows opened and closed, a field
// choice, the category mode and a background colour changed, the window closed; then the
// program started again on the same settings. The race-log file must hold what the headless
// replay writes, the settings exactly what the program keeps, and every window must come back
// where it was.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "gui/ChildWindows.h"
#include "gui/frmMain.h"
#include "gui/frmRaceLog.h"
#include "gui/frmTimeSlip.h"
#include "racelog/RaceLogFile.h"
#include "settings/SettingsStore.h"
#include "shell/Replay.h"
#include "shell/Station.h"
#include "shell/StationForwarders.h"
#include "sim/RaceDayGenerator.h"
#include "sim/SimulatedXpress.h"

using namespace orvanrx;

namespace {

// One start of the program: the main window over a station on the simulated receiver, as
// orvanrx --replay builds them, the timer running 20 poll cycles per timeout.
struct Start {
    Start(const QString& iniPath, const std::vector<trace::Step>& steps, const QString& dataBase)
        : settings(iniPath),
          sim(steps),
          station(Station::Setup{sim, settings, forwarders.indicators, forwarders.observer,
                                 SystemClock(), sim.Clock()}),
          window(station, forwarders, settings) {
        window.SetCyclesPerTimeout(20);
        window.resize(1400, 900);
        window.Load(dataBase);
        window.show();
    }

    SettingsStore settings;
    SimulatedXpress sim;
    StationForwarders forwarders;
    Station station;
    frmMain window;
};

// The rows of a race-log file without their DateTime cells (when each row was first filled).
QStringList RowsWithoutTimes(const QByteArray& bytes) {
    QStringList rows;
    static const QRegularExpression kTime(QStringLiteral("^(\\d+),\"[^\"]*\","));
    for (const QByteArray& line : bytes.split('\n')) {
        rows << QString::fromLatin1(line).replace(kTime, QStringLiteral("\\1,,"));
    }
    return rows;
}

QMdiSubWindow* FrameOf(QWidget* window) {
    return window != nullptr ? qobject_cast<QMdiSubWindow*>(window->parentWidget()) : nullptr;
}

}  // namespace

class WholeDayTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aDayThroughTheCommandsAndASecondStart() {
        QTemporaryDir dir;
        const RaceDay day = GenerateRaceDay({8, 21, 0.05, false});
        const QString ini = dir.filePath(QStringLiteral("config/OrvanRX.ini"));
        const QString data = dir.filePath(QStringLiteral("data"));

        // What the headless replay writes for the same day.
        QByteArray expected;
        {
            SettingsStore settings(dir.filePath(QStringLiteral("cli.ini")));
            SimulatedXpress sim(day.steps);
            StatusIndicators none;
            PollObserver quiet;
            Station station(Station::Setup{sim, settings, none, quiet, SystemClock(), sim.Clock()});
            station.Start(dir.filePath(QStringLiteral("cli.csv")));
            RunUntilTraceEnds(station, sim);
            expected = RaceLogFileBytes(station.Tables().AllRunsTable());
        }

        QRect raceLogPlace;
        QRect timeSlipPlace;
        QString logFile;
        {
            Start first(ini, day.steps, data);
            QVERIFY(first.window.RaceLogOpen());  // opened by the start itself
            QTRY_VERIFY_WITH_TIMEOUT(first.sim.TraceExhausted(), 60000);

            // Each window through its command, and closed again through File > Close.
            for (const char* tool : {"miTimeSlip", "miFilter"}) {
                QVERIFY(first.window.RunTool(QString::fromLatin1(tool)));
                QVERIFY2(first.window.MdiArea().activeSubWindow() != nullptr, tool);
                QVERIFY(first.window.RunTool(QStringLiteral("miClose")));
            }
            QVERIFY(!first.window.TimeSlipOpen());
            QVERIFY(!first.window.FilterOpen());
            first.window.RunTool(QStringLiteral("miRaceLog"));
            frmRaceLog* raceLog = first.window.Windows().RaceLog();
            raceLog->MenuItem(QStringLiteral("miBump"))->trigger();  // Bump off
            first.window.RunTool(QStringLiteral("miCategories"));    // all categories
            QVERIFY(raceLog->AllCategoriesMode());
            first.window.RunTool(QStringLiteral("miRed"));
            FrameOf(raceLog)->setGeometry(20, 30, 900, 500);
            first.window.RunTool(QStringLiteral("miTimeSlip"));
            FrameOf(first.window.Windows().TimeSlip())->setGeometry(930, 10, 330, 440);
            raceLogPlace = FrameOf(raceLog)->geometry();
            timeSlipPlace = FrameOf(first.window.Windows().TimeSlip())->geometry();
            logFile = first.station.LogFileName();
            first.window.close();
            QVERIFY(first.window.Unloaded());
        }

        QFile log(logFile);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(RowsWithoutTimes(log.readAll()), RowsWithoutTimes(expected));

        // The settings the program keeps, and nothing else.
        QSettings tree(ini, QSettings::IniFormat);
        tree.beginGroup(QStringLiteral("SOFTWARE/OrvanRX"));
        QStringList keys = tree.allKeys();
        keys.removeIf([](const QString& key) { return key.startsWith(QLatin1String("RAM/")); });
        keys.sort();
        QCOMPARE(keys.join(QLatin1Char(' ')),
                 QStringLiteral(
                     "LogFile/LogFile Main/ScreenSettings/BackColor RaceLog/Fields/1000' MPH "
                     "RaceLog/Fields/All Categories RaceLog/Fields/Bump "
                     "RaceLog/Fields/Car Number RaceLog/Fields/Class RaceLog/Fields/Dial "
                     "RaceLog/Fields/Margin RaceLog/Fields/Ovr%2FUnd "
                     "RaceLog/Fields/Reaction Time RaceLog/Fields/Win RaceLog/MemoryDump/2 "
                     "RaceLog/MemoryDump/3 RaceLog/ScreenSettings/Height "
                     "RaceLog/ScreenSettings/Left RaceLog/ScreenSettings/Name "
                     "RaceLog/ScreenSettings/Top RaceLog/ScreenSettings/Width "
                     "RaceLog/ScreenSettings/WindowState TimeSlip/ScreenSettings/Height "
                     "TimeSlip/ScreenSettings/Left TimeSlip/ScreenSettings/Top "
                     "TimeSlip/ScreenSettings/Width TimeSlip/ScreenSettings/WindowState Venue"));
        QCOMPARE(tree.value(QStringLiteral("LogFile/LogFile")).toString(), logFile);
        QCOMPARE(tree.value(QStringLiteral("Main/ScreenSettings/BackColor")).toString(),
                 QStringLiteral("192"));
        QCOMPARE(tree.value(QStringLiteral("RaceLog/Fields/Bump")).toString(),
                 QStringLiteral("False"));
        QCOMPARE(tree.value(QStringLiteral("RaceLog/Fields/All Categories")).toString(),
                 QStringLiteral("True"));
        tree.beginGroup(QStringLiteral("RAM"));
        QCOMPARE(tree.childKeys().size(), 73);
        tree.endGroup();
        tree.endGroup();

        // The second start: the windows where they were, the choices as they were left.
        Start second(ini, {}, data);
        second.window.RunTool(QStringLiteral("miTimeSlip"));
        frmRaceLog* raceLog = second.window.Windows().RaceLog();
        QVERIFY(raceLog != nullptr);
        QCOMPARE(FrameOf(raceLog)->geometry(), raceLogPlace);
        QCOMPARE(FrameOf(second.window.Windows().TimeSlip())->geometry(), timeSlipPlace);
        QVERIFY(raceLog->AllCategoriesMode());
        QVERIFY(raceLog->Grid().IsHidden(QStringLiteral("Bump")));
        QCOMPARE(second.window.BackColor(), 192);
        second.window.close();
    }
};

QTEST_MAIN(WholeDayTest)
#include "WholeDayTest.moc"
