// My Car in the desktop program: the numbers kept in the settings, the dialog, and a race of
// the racer's car arriving: the time slip to the front with the lane marked, one notification
// per race, the race log's rows marked, the car's next dial-in from the season logbook.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <thread>

#include "gui/ChildWindows.h"
#include "gui/DesktopNotifier.h"
#include "gui/MyCarAlert.h"
#include "gui/frmMain.h"
#include "gui/frmMyCar.h"
#include "gui/frmRaceLog.h"
#include "gui/frmTimeSlip.h"
#include "logbook/Logbook.h"
#include "logbook/Sqlite.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "shell/Station.h"
#include "shell/StationForwarders.h"
#include "sim/RaceDayGenerator.h"
#include "sim/SimulatedXpress.h"

using namespace orvanrx;

namespace {

struct Notice {
    QString summary;
    QString body;
    bool slipOpen;
};

// Records what would have been shown, and whether the time slip stood open by then.
class FakeNotifier final : public DesktopNotifier {
public:
    FakeNotifier(std::vector<Notice>& notices, const ChildWindows& windows)
        : notices_(notices), windows_(windows) {}
    void Notify(const QString& summary, const QString& body) override {
        notices_.push_back({summary, body, windows_.TimeSlipOpen()});
    }

private:
    std::vector<Notice>& notices_;
    const ChildWindows& windows_;
};

// The car that runs most often in the day, and its races' lanes ("L" or "R") in order.
std::pair<QString, QStringList> BusiestCar(const RaceDay& day) {
    std::map<QString, int> count;
    for (const RunRecord& race : day.races) {
        ++count[race.CarL];
        ++count[race.CarR];
    }
    QString busiest;
    for (const auto& [car, n] : count) {
        if (!car.isEmpty() && (busiest.isEmpty() || n > count[busiest])) {
            busiest = car;
        }
    }
    QStringList lanes;
    for (const RunRecord& race : day.races) {
        if (race.CarL == busiest || race.CarR == busiest) {
            lanes << (race.CarL == busiest ? QStringLiteral("left") : QStringLiteral("right"));
        }
    }
    return {busiest, lanes};
}

}  // namespace

class MyCarAlertTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        settings = std::make_unique<SettingsStore>(dir->filePath(QStringLiteral("OrvanRX.ini")));
    }
    void cleanup() {
        if (loaded) {
            window->Unload();
        }
        loaded = false;
        window.reset();
        station.reset();
        sim.reset();
    }

    void theNumbersComeFromTheSettingsEvenBroken_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("numbers");
        QTest::newRow("none") << QVariant() << QString();
        QTest::newRow("two") << QVariant(QStringLiteral("1234, 77A")) << QStringLiteral("1234|77A");
        QTest::newRow("broken") << QVariant(QStringLiteral(",,X]; 1234;1234 :")) << "1234";
        QTest::newRow("a number") << QVariant(255) << QStringLiteral("255");
    }
    void theNumbersComeFromTheSettingsEvenBroken() {
        QFETCH(QVariant, stored);
        QFETCH(QString, numbers);
        if (stored.isValid()) {
            settings->SetKeyValue(
                kMyCarKey, kMyCarNumbersValue, stored,
                stored.typeId() == QMetaType::Int ? ValueType::RegDword : ValueType::RegSz);
        }
        sim = std::make_unique<SimulatedXpress>(std::vector<trace::Step>{});
        station = std::make_unique<Station>(Station::Setup{*sim, *settings, forwarders.indicators,
                                                           forwarders.observer, SystemClock(),
                                                           sim->Clock()});
        window = std::make_unique<frmMain>(*station, forwarders, *settings);
        MyCarAlert& myCar = window->Windows().MyCar();
        QCOMPARE(myCar.Numbers().join(QLatin1Char('|')), numbers);
        myCar.SetNumbers({QStringLiteral("9"), QStringLiteral("8A")});
        QCOMPARE(settings->QueryValue(kMyCarKey, kMyCarNumbersValue), QStringLiteral("9, 8A"));
    }

    void theDialogTakesOnlyCarNumbers_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("numbers");
        QTest::newRow("two") << "12 77A" << true << "Alerts for 12, 77A."
                             << "12|77A";
        QTest::newRow("none") << " , " << true << "No car: no alerts."
                              << "";
        QTest::newRow("bad") << "12, x[, a:b" << false << "Not a car number: x[  a:b"
                             << "12";
    }
    void theDialogTakesOnlyCarNumbers() {
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(QString, check);
        QFETCH(QString, numbers);
        frmMyCar dialog({QStringLiteral("5"), QStringLiteral("6")});
        QCOMPARE(dialog.NumbersBox().text(), QStringLiteral("5, 6"));
        QVERIFY(dialog.OkButton().isEnabled());
        dialog.NumbersBox().clear();
        QTest::keyClicks(&dialog.NumbersBox(), typed);
        QCOMPARE(dialog.OkButton().isEnabled(), ok);
        QCOMPARE(dialog.CheckLabel().text(), check);
        QCOMPARE(dialog.Numbers().join(QLatin1Char('|')), numbers);
    }

    void eachRaceOfTheCarRaisesOneAlertAndMarksItsLane() {
        const RaceDay day = GenerateRaceDay({40, 7, 0.0, false});
        const auto [car, lanes] = BusiestCar(day);
        QVERIFY(lanes.size() >= 2);
        settings->SetKeyValue(kMyCarKey, kMyCarNumbersValue, car, ValueType::RegSz);
        StartOn(day.steps);
        ChildWindows& windows = window->Windows();
        std::vector<Notice> notices;
        windows.MyCar().SetNotifier(std::make_unique<FakeNotifier>(notices, windows));
        QVERIFY(!windows.TimeSlipOpen());

        int marksChecked = 0;
        for (std::size_t tick = 0; tick < day.steps.size() + 100; ++tick) {
            station->Loop().RunPollCycle();
            const RunTable& log = station->Tables().AllRunsTable();
            if (log.IsEmpty() || !windows.TimeSlipOpen()) {
                continue;
            }
            // The slip's mark follows the latest race: on the racer's lane, else nowhere.
            const MyCarLanes expected{log.Cell(log.LeftRow(), RunColumn::Car) == car,
                                      log.Cell(log.RightRow(), RunColumn::Car) == car};
            QCOMPARE(windows.TimeSlip()->MarkedLanes(), expected);
            marksChecked += expected.Any() ? 1 : 0;
        }
        QVERIFY(marksChecked > 0);
        ArrivedNotices();
        QCOMPARE(int(notices.size()), int(lanes.size()));
        for (std::size_t i = 0; i < notices.size(); ++i) {
            QCOMPARE(notices[i].summary,
                     QStringLiteral("Car %1 in the %2 lane").arg(car, lanes[int(i)]));
            QVERIFY(notices[i].body.contains(QStringLiteral(" against ")) ||
                    notices[i].body.endsWith(QStringLiteral("a bye run")));
            QVERIFY(notices[i].slipOpen);
        }

        // Every row of the car in the race log is marked, and no other row.
        frmRaceLog* raceLog = windows.RaceLog();
        QVERIFY(raceLog != nullptr);
        raceLog->AllCategories();
        QCOMPARE(MarkedCars(raceLog->Grid()), QStringList(lanes.size(), car));
        windows.MyCar().SetNumbers({});
        QCOMPARE(MarkedCars(raceLog->Grid()), QStringList());
    }

    // The alert and the dialog give the car's next dial-in from the logbook: corrected to the
    // air when the weather at the race is known, the mean of the last three when it is not.
    void theAlertAndTheDialogGiveTheNextDialIn_data() {
        QTest::addColumn<bool>("airAtTheRace");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("how");
        QTest::newRow("air") << true << false << "from 6 runs, corrected to the air";
        QTest::newRow("no air") << false << false
                                << "from 3 runs, the mean of the last three (no air known then)";
        // Another program (an import) holds the logbook's write lock through the day.
        QTest::newRow("writer") << true << true << "from 6 runs, corrected to the air";
    }
    void theAlertAndTheDialogGiveTheNextDialIn() {
        QFETCH(bool, airAtTheRace);
        QFETCH(bool, locked);
        QFETCH(QString, how);
        const RaceDay day = GenerateRaceDay({12, 5, 0.0, false});
        const QString car = BusiestCar(day).first;
        settings->SetKeyValue(kMyCarKey, kMyCarNumbersValue, car, ValueType::RegSz);
        // Six earlier runs of the car on the morning of the race day, a sample of the air every
        // half hour; the races arrive at 15:00, after the samples when the air is not known.
        const QString path = dir->filePath(QStringLiteral("logbook.sqlite"));
        {
            const Logbook::OpenResult opened = Logbook::Open(path);
            QVERIFY2(opened.logbook, qPrintable(opened.error));
            std::vector<air::WeatherSample> weather;
            const int lastHalfHour = airAtTheRace ? 16 : 11;
            for (int h = 8 * 2; h <= lastHalfHour * 2; ++h) {
                air::WeatherSample s;
                s.time = QStringLiteral("2026-06-01 %1:%2:00")
                             .arg(h / 2, 2, 10, QLatin1Char('0'))
                             .arg(h % 2 * 30, 2, 10, QLatin1Char('0'));
                s.tempC = 24.0;
                s.dewPointC = 10.0;
                s.baroHpa = 1005.0;
                weather.push_back(s);
            }
            QVERIFY(opened.logbook->AddWeather(weather));
            const double ets[] = {10.010, 10.000, 9.990, 10.004, 10.006, 9.996};
            for (int i = 0; i < 6; ++i) {
                RunRow left;
                RunRow right;
                left[RunColumn::DateTime] =
                    QStringLiteral("2026-06-01 %1:00:00").arg(9 + i, 2, 10, QLatin1Char('0'));
                right[RunColumn::DateTime] = left[RunColumn::DateTime];
                left[RunColumn::Category] = right[RunColumn::Category] = QStringLiteral("PRO T1");
                left[RunColumn::Car] = car;
                right[RunColumn::Car] = QStringLiteral("OTHER");
                left[RunColumn::RT] = right[RunColumn::RT] = QStringLiteral("0.050");
                left[RunColumn::et1320] = QString::number(ets[i], 'f', 3);
                right[RunColumn::et1320] = QStringLiteral("11.000");
                QCOMPARE(
                    opened.logbook->StoreRace({QStringLiteral("/earlier.csv"), i, {}}, left, right),
                    StoreOutcome::Inserted);
            }
        }
        StartOn(day.steps, FixedClock(QDateTime(QDate(2026, 6, 1), QTime(15, 0))));
        ChildWindows& windows = window->Windows();
        windows.SetLogbookPath(path);
        std::vector<Notice> notices;
        windows.MyCar().SetNotifier(std::make_unique<FakeNotifier>(notices, windows));
        sql::Database writer;
        if (locked) {
            QVERIFY(writer.Open(path, false, 1000));
            QVERIFY(writer.Exec("BEGIN IMMEDIATE"));
        }
        for (std::size_t tick = 0; tick < day.steps.size() + 100; ++tick) {
            station->Loop().RunPollCycle();
        }
        ArrivedNotices();
        QVERIFY(!notices.empty());
        for (const Notice& notice : notices) {
            const QStringList lines = notice.body.split(QLatin1Char('\n'));
            QCOMPARE(lines.size(), 2);
            QVERIFY2(lines[1].startsWith(QStringLiteral("Next dial-in 10.00")),
                     qPrintable(lines[1]));
            QVERIFY2(lines[1].contains(QStringLiteral("at 2026-06-01 15:00:00, from ")),
                     qPrintable(lines[1]));
            QVERIFY2(lines[1].contains(how), qPrintable(lines[1]));
        }

        // The dialog names the car with its next dial-in now; without a logbook, nothing.
        QString shown = DialInsOfTheDialog();  // with the writer still at work
        QVERIFY2(shown.startsWith(car + QStringLiteral(": Next dial-in 10.00")), qPrintable(shown));
        QVERIFY2(shown.contains(how), qPrintable(shown));
        windows.SetLogbookPath(dir->filePath(QStringLiteral("none.sqlite")));
        shown = DialInsOfTheDialog();
        QCOMPARE(shown, QStringLiteral("hidden"));
        QVERIFY(!QFileInfo::exists(dir->filePath(QStringLiteral("none.sqlite"))));
    }

    // A slow logbook never holds up the tick: the race's handling returns at once, the slip is
    // at the front, and the notification follows with the dial-in when it is read.
    void aSlowDialInDoesNotHoldUpTheTick() {
        const RaceDay day = GenerateRaceDay({12, 5, 0.0, false});
        const QString car = BusiestCar(day).first;
        settings->SetKeyValue(kMyCarKey, kMyCarNumbersValue, car, ValueType::RegSz);
        StartOn(day.steps);
        ChildWindows& windows = window->Windows();
        std::vector<Notice> notices;
        windows.MyCar().SetNotifier(std::make_unique<FakeNotifier>(notices, windows));
        auto released = std::make_shared<std::atomic<bool>>(false);
        windows.MyCar().SetDialInLookup([released] {
            return [released](const QString&, const QString&) -> std::optional<CarDialIn> {
                for (int i = 0; i < 400 && !*released; ++i) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                }
                CarDialIn dialIn;
                dialIn.prediction.et = 10.0;
                dialIn.prediction.spread = 0.01;
                dialIn.prediction.runs = 3;
                return dialIn;
            };
        });
        std::chrono::steady_clock::duration longest{};
        for (std::size_t tick = 0; tick < day.steps.size() + 100 && !windows.TimeSlipOpen();
             ++tick) {
            const auto started = std::chrono::steady_clock::now();
            station->Loop().RunPollCycle();
            longest = std::max(longest, std::chrono::steady_clock::now() - started);
        }
        QVERIFY(windows.TimeSlipOpen());
        QVERIFY2(longest < std::chrono::milliseconds(50),
                 qPrintable(QString::number(
                     std::chrono::duration_cast<std::chrono::milliseconds>(longest).count())));
        QCoreApplication::processEvents();
        QVERIFY(notices.empty());  // still being read
        *released = true;
        ArrivedNotices();
        QCOMPARE(int(notices.size()), 1);
        QVERIFY2(notices[0].body.contains(QStringLiteral("\nNext dial-in 10.00")),
                 qPrintable(notices[0].body));
    }

private:
    // The notifications of the dial-ins asked so far, shown.
    void ArrivedNotices() {
        window->Windows().MyCar().Flush();
        QCoreApplication::sendPostedEvents();
    }
    // Tools > My Car...: what the dialog shows under its hint ("hidden" for nothing).
    QString DialInsOfTheDialog() {
        QString shown;
        QTimer::singleShot(0, this, [&shown] {
            auto* dialog = qobject_cast<frmMyCar*>(QApplication::activeModalWidget());
            if (dialog != nullptr) {
                shown = dialog->DialInsLabel().isVisibleTo(dialog) ? dialog->DialInsLabel().text()
                                                                   : QStringLiteral("hidden");
                dialog->reject();
            }
        });
        window->Windows().MyCar().ShowDialog(window.get());
        return shown;
    }
    void StartOn(std::vector<trace::Step> steps, Clock clock = SystemClock()) {
        sim = std::make_unique<SimulatedXpress>(std::move(steps));
        station = std::make_unique<Station>(Station::Setup{*sim, *settings, forwarders.indicators,
                                                           forwarders.observer, std::move(clock),
                                                           sim->Clock()});
        window = std::make_unique<frmMain>(*station, forwarders, *settings);
        window->Load(dir->filePath(QStringLiteral("data")));
        loaded = true;
        window->tmrMain().stop();  // the test drives the cycles itself
    }
    // The car numbers of the rows drawn in the MyCar style.
    static QStringList MarkedCars(const LogGridModel& grid) {
        QStringList cars;
        for (int g = 0; g < grid.rowCount(); ++g) {
            const QModelIndex group = grid.index(g, 0);
            for (int r = 0; r < grid.rowCount(group); ++r) {
                const QModelIndex cell = grid.index(r, ColumnIndex(RunColumn::Car), group);
                if (cell.data(LogGridModel::StyleNameRole).toString() == kMyCarStyle) {
                    cars << cell.data(LogGridModel::TextRole).toString();
                }
            }
        }
        return cars;
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SettingsStore> settings;
    StationForwarders forwarders;
    bool loaded = false;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<SimulatedXpress> sim;
    std::unique_ptr<Station> station;
};

QTEST_MAIN(MyCarAlertTest)
#include "MyCarAlertTest.moc"
