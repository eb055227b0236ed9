// The statistics window: the table against the core's figures, sorting and search, the chosen
// car's runs and charts, following new races unless paused, colours and placement.

#include <QAccessible>
#include <QChartView>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "analysis/StatsLog.h"
#include "analysis/StatsTables.h"
#include "decoding/RunTables.h"
#include "gui/ColorValue.h"
#include "gui/StatsCharts.h"
#include "gui/Twips.h"
#include "gui/frmStats.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

using namespace orvanrx;

namespace {

// What assistive technology reads as the description of a figure's chart.
QString ChartDescription(frmStats& stats, TrendFigure figure) {
    for (QChartView* view : stats.Charts().findChildren<QChartView*>()) {
        if (view->chart() == stats.Charts().Chart(figure)) {
            return QAccessible::queryAccessibleInterface(view)->text(QAccessible::Description);
        }
    }
    return QStringLiteral("<no chart>");
}

// The car numbers of a view's rows, top down.
QString Cars(const QAbstractItemModel& model) {
    QStringList cars;
    for (int r = 0; r < model.rowCount(); ++r) {
        cars << model.index(r, 0).data().toString();
    }
    return cars.join(QLatin1Char(' '));
}

RunRecord Race(const char* carL, const char* carR, const char* etL, bool leftWins) {
    RunRecord race;
    race.Category = QStringLiteral("PRO ET        E3");
    race.CarL = QString::fromLatin1(carL);
    race.CarR = QString::fromLatin1(carR);
    race.NameL = QStringLiteral("LEFT ") + race.CarL;
    race.NameR = QStringLiteral("RIGHT ") + race.CarR;
    // The decoder keeps an RT beside a 60-foot time and a win mark beside a speed.
    race.RTL = race.RTR = QStringLiteral("0.500");
    race.et60L = race.et60R = QStringLiteral("1.400");
    race.mph1320L = race.mph1320R = QStringLiteral("150.00");
    race.et1320L = QString::fromLatin1(etL);
    race.et1320R = QStringLiteral("11.111");
    race.winL = leftWins;
    race.winR = !leftWins;
    return race;
}

}  // namespace

class frmStatsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        settings = std::make_unique<SettingsStore>(dir->filePath(QStringLiteral("OrvanRX.ini")));
        tables = std::make_unique<RunTables>();
        RunTable& log = tables->MutableAllRunsTable();
        log = testing::HandMadeLog();
        log.DropLastPair();  // the pair it leaves open
        area = std::make_unique<QMdiArea>();
        area->resize(1500, 950);
        area->show();
    }
    void cleanup() {
        area.reset();
        tables.reset();
        settings.reset();
        dir.reset();
    }

    void theTableIsTheCoresFiguresSortedAndSearched() {
        frmStats* stats = Open({});
        const TextTable expected = CarsTable(ComputeCarFigures(tables->AllRunsTable()));
        const QAbstractItemModel& shown = *stats->CarsView().model();
        QCOMPARE(shown.rowCount(), 7);
        for (int r = 0; r < shown.rowCount(); ++r) {
            QCOMPARE(shown.index(r, 0).data().toString(), expected.rows[std::size_t(r)][0]);
            QStringList cells;
            for (int c = 0; c < shown.columnCount(); ++c) {
                cells << shown.index(r, c).data().toString();
            }
            QCOMPARE(cells, expected.rows[std::size_t(r)]);
        }
        QCOMPARE(stats->findChild<QLabel*>(QStringLiteral("lblCount"))->text(),
                 QStringLiteral("7 cars in 8 races"));

        // A click on "ET best" sorts the times as numbers, a second click the other way.
        QHeaderView* header = stats->CarsView().horizontalHeader();
        const int etBest = ColumnOf("ET best");
        const QPoint heading(header->sectionViewportPosition(etBest) + 10, 5);
        stats->CarsView().scrollTo(shown.index(0, etBest));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(etBest) + 10, heading.y()));
        QCOMPARE(Cars(shown), QStringLiteral("88 7 300 100 200 400 500"));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(etBest) + 10, heading.y()));
        QCOMPARE(Cars(shown), QStringLiteral("500 400 200 100 300 7 88"));

        QTest::keyClicks(&stats->SearchBox(), QStringLiteral("Roe"));
        QCOMPARE(Cars(shown), QStringLiteral("200"));
        stats->SearchBox().clear();
        QTest::keyClicks(&stats->SearchBox(), QStringLiteral("8"));
        QCOMPARE(Cars(shown), QStringLiteral("88"));
    }

    void theChosenCarShowsItsRunsNewestFirstAndItsCharts() {
        // The racer's car is chosen at the opening; without one, the first car.
        frmStats* stats = Open({QStringLiteral("999"), QStringLiteral("100")});
        QCOMPARE(stats->ChosenCar(), QStringLiteral("100"));
        const QModelIndex current = stats->CarsView().currentIndex();
        QCOMPARE(current.siblingAtColumn(0).data().toString(), QStringLiteral("100"));
        QVERIFY(stats->CarHeading().text().startsWith(QStringLiteral("Car 100:  DOE, JOHN")));
        QVERIFY(stats->CarHeading().toolTip().contains(QStringLiteral("next dial-in 9.540")));

        TextTableModel& runs = stats->Runs();
        QCOMPARE(runs.rowCount(), 4);
        // All on one day: the time alone; the category without its aligning blanks.
        const int time = runs.ColumnOf(QStringLiteral("Time"));
        const int result = runs.ColumnOf(QStringLiteral("Result"));
        QCOMPARE(runs.index(0, time).data().toString(), QStringLiteral("15:00:00"));
        QCOMPARE(runs.index(3, time).data().toString(), QStringLiteral("10:00:00"));
        QCOMPARE(runs.index(0, runs.ColumnOf(QStringLiteral("Category"))).data().toString(),
                 QStringLiteral("SUPER PRO E3"));
        QCOMPARE(runs.index(2, result).data().toString(), QStringLiteral("W"));
        QVERIFY(stats->RunsView().isColumnHidden(runs.ColumnOf(QStringLiteral("Row"))));

        // Win, losses, and the undecided time run; the 60 ft chart lacks the missing time.
        QCOMPARE(stats->Charts().PointCounts(TrendFigure::Et), (std::array<int, 3>{1, 2, 1}));
        QCOMPARE(stats->Charts().PointCounts(TrendFigure::SixtyFoot),
                 (std::array<int, 3>{1, 1, 1}));
        // Each chart's accessible description says what it plots.
        const QString et = ChartDescription(*stats, TrendFigure::Et);
        QVERIFY2(et.startsWith(QLatin1String("4 runs in log order: lowest ")) &&
                     et.endsWith(QLatin1String("; 1 win, 2 losses, 1 other")),
                 qPrintable(et));
        QVERIFY2(
            ChartDescription(*stats, TrendFigure::SixtyFoot).startsWith(QLatin1String("3 runs")),
            qPrintable(ChartDescription(*stats, TrendFigure::SixtyFoot)));

        // A click on another car's row shows that car.
        stats->ChooseCar(QStringLiteral("7"));
        QCOMPARE(runs.rowCount(), 2);
        QCOMPARE(runs.index(0, runs.ColumnOf(QStringLiteral("Date/time"))).data().toString(),
                 QStringLiteral("2026-12-05 10:00:00"));  // two days: the date stays
        QCOMPARE(stats->Charts().PointCounts(TrendFigure::Mph), (std::array<int, 3>{1, 0, 0}));
        frame(stats)->close();

        frmStats* first = Open({});
        QCOMPARE(first->ChosenCar(), QStringLiteral("7"));
    }

    void newRacesReachTheWindowUnlessPaused() {
        frmStats* stats = Open({QStringLiteral("400")});
        QCOMPARE(stats->Runs().rowCount(), 2);
        struct Step {
            RunRecord race;
            bool paused;
            int cars;
            int runsOf400;
        };
        const Step steps[] = {
            {Race("400", "600", "10.990", true), false, 8, 3},
            {Race("700", "400", "12.345", true), true, 8, 3},
            {Race("701", "702", "12.000", false), true, 8, 3},
        };
        for (const Step& step : steps) {
            stats->SetPaused(step.paused);
            QVERIFY(tables->StoreRun(step.race));
            stats->UpdateDisplay();
            QCOMPARE(stats->Cars().rowCount(), step.cars);
            QCOMPARE(stats->Runs().rowCount(), step.runsOf400);
            QCOMPARE(stats->windowTitle(), step.paused ? QStringLiteral("Statistics - Paused")
                                                       : QStringLiteral("Statistics"));
            QCOMPARE(stats->PauseButton().text(),
                     step.paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
        }
        QCOMPARE(stats->Charts().PointCounts(TrendFigure::Et), (std::array<int, 3>{2, 0, 1}));

        // The pause's end catches up: three new cars, 400's loss on top of its runs.
        stats->PauseButton().click();
        QVERIFY(!stats->Paused());
        QCOMPARE(Cars(stats->Cars()), QStringLiteral("7 88 100 200 300 400 500 600 700 701 702"));
        QCOMPARE(stats->Runs().rowCount(), 4);
        QCOMPARE(stats->Runs()
                     .index(0, stats->Runs().ColumnOf(QStringLiteral("Result")))
                     .data()
                     .toString(),
                 QStringLiteral("L"));
        QCOMPARE(stats->Charts().PointCounts(TrendFigure::Et), (std::array<int, 3>{2, 1, 1}));
        // The chosen car's row stays selected through the rows put in before it.
        QCOMPARE(stats->CarsView().currentIndex().siblingAtColumn(0).data().toString(),
                 QStringLiteral("400"));
    }

    void theMainColourShowsBelowTheRowsAndThePlacementIsKept() {
        const int darkBlue = RgbColorValue(0, 0, 128);
        frmStats* stats = Open({}, darkBlue);
        QCOMPARE(stats->CarsView().palette().color(QPalette::Base), QColor(0, 0, 128));
        QCOMPARE(stats->palette().color(QPalette::WindowText), QColor(Qt::white));
        stats->Activate(RgbColorValue(255, 255, 0));
        QCOMPARE(stats->RunsView().palette().color(QPalette::Base), QColor(255, 255, 0));
        QCOMPARE(stats->palette().color(QPalette::WindowText), QColor(Qt::black));

        // The first opening fits the area; the placement is kept at the close.
        QMdiSubWindow* first = frame(stats);
        QVERIFY(first->width() <= area->viewport()->width());
        QVERIFY(first->height() <= area->viewport()->height());
        first->setGeometry(40, 30, 900, 600);
        const QRect placed = first->geometry();
        first->close();
        QCOMPARE(settings->QueryValue(kStatsScreenSettingsKey, kWidthValue),
                 QString::number(PixelsToTwips(*area, placed.width())));
        QCOMPARE(settings->QueryValue(kStatsScreenSettingsKey, kTopValue),
                 QString::number(PixelsToTwips(*area, placed.y())));
        QCOMPARE(frame(Open({}))->geometry(), placed);
    }

private:
    frmStats* Open(const QStringList& myCars, int backColor = RgbColorValue(128, 128, 128)) {
        auto* stats = new frmStats(*tables, *settings);
        QMdiSubWindow* frame = area->addSubWindow(stats);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        stats->Load(*frame, backColor, myCars);
        frame->show();
        return stats;
    }
    static QMdiSubWindow* frame(frmStats* stats) {
        return qobject_cast<QMdiSubWindow*>(stats->parentWidget());
    }
    static int ColumnOf(const char* header) {
        return CarsTableColumnOf(QString::fromLatin1(header));
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<RunTables> tables;
    std::unique_ptr<QMdiArea> area;
};

QTEST_MAIN(frmStatsTest)
#include "frmStatsTest.moc"
