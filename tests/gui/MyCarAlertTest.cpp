// My Car in the desktop program: the numbers kept in the settings, the dialog, and a race of
// the racer's car arriving: the time slip to the front with the lane marked, one notification
// per race, the race log's rows marked.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <map>
#include <memory>

#include "gui/ChildWindows.h"
#include "gui/DesktopNotifier.h"
#include "gui/MyCarAlert.h"
#include "gui/frmMain.h"
#include "gui/frmMyCar.h"
#include "gui/frmRaceLog.h"
#include "gui/frmTimeSlip.h"
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

private:
    void StartOn(std::vector<trace::Step> steps) {
        sim = std::make_unique<SimulatedXpress>(std::move(steps));
        station = std::make_unique<Station>(Station::Setup{*sim, *settings, forwarders.indicators,
                                                           forwarders.observer, SystemClock(),
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
