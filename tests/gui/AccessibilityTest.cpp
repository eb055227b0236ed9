// What assistive technology learns of the windows, read through their QAccessible interfaces
// offscreen: every control's name, the grid cells' texts, the lamps and the scroll message
// following the receiver, the status bar in the order it is shown.

#include <QAccessible>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>
#include <memory>

#include "AccessibleTree.h"
#include "DesktopStation.h"
#include "decoding/RunTables.h"
#include "gui/AccessibleLogGrid.h"
#include "gui/ChildWindows.h"
#include "gui/CommandBars.h"
#include "gui/LogGridView.h"
#include "gui/MainStatusBar.h"
#include "gui/frmFilter.h"
#include "gui/frmMain.h"
#include "gui/frmRaceLog.h"
#include "settings/SettingsStore.h"
#include "shell/Station.h"
#include "shell/StationForwarders.h"
#include "sim/SimulatedXpress.h"
#include "views/LogGridModel.h"

using namespace orvanrx;

namespace {

QString NameOf(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface != nullptr ? iface->text(QAccessible::Name) : QStringLiteral("<none>");
}

QString DescriptionOf(QObject* object) {
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Description);
}

QStringList HeadingsOf(QAccessibleTableInterface& table) {
    QStringList headings;
    for (int column = 0; column < table.columnCount(); ++column) {
        headings << table.columnDescription(column);
    }
    return headings;
}

// A race of two rows in "SUPER PRO     E1", cars 1234 (left) and 77A (right).
RunRecord TestRace() {
    RunRecord race;
    race.Category = QStringLiteral("SUPER PRO     E1");
    race.CarL = QStringLiteral("1234");
    race.CarR = QStringLiteral("77A");
    race.NameL = QStringLiteral("A DRIVER");
    race.RTL = QStringLiteral("0.610");
    race.RTR = QStringLiteral("-0.012");
    race.et60L = QStringLiteral("1.30");
    race.et1320L = QStringLiteral("9.900");
    race.et1320R = QStringLiteral("x");
    race.mph1320L = QStringLiteral("138.25");
    return race;
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        desk = std::make_unique<test::DesktopStation>();
        window = desk->OpenWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() {
        test::DesktopStation::Close(window);
        desk.reset();
    }

    // Each child window open in turn (and all of them at once): no visible control of the main
    // window without a name.
    void everyVisibleControlHasAName_data() {
        QTest::addColumn<QStringList>("tools");
        QTest::newRow("race log") << QStringList{};
        QTest::newRow("filter") << QStringList{QStringLiteral("miFilter")};
        QTest::newRow("filter print view")
            << QStringList{QStringLiteral("miFilter"), QStringLiteral("miPrintPreview")};
        QTest::newRow("time slip") << QStringList{QStringLiteral("miTimeSlip")};
        QTest::newRow("statistics") << QStringList{QStringLiteral("miStats")};
        QTest::newRow("all, tiled")
            << QStringList{QStringLiteral("miTimeSlip"), QStringLiteral("miFilter"),
                           QStringLiteral("miStats"), QStringLiteral("miTileHorizontally")};
    }
    void everyVisibleControlHasAName() {
        QFETCH(QStringList, tools);
        for (const QString& tool : tools) {
            QVERIFY(window->RunTool(tool));
        }
        QCoreApplication::processEvents();
        const QStringList unnamed = test::UnnamedControls(*window);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));
    }

    void controlsAreNamedByTheirCaptionsAndTips_data() {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("name");
        QTest::newRow("signal") << QStringLiteral("usbSignal") << QStringLiteral("Signal Strength");
        QTest::newRow("buffer") << QStringLiteral("usbBuffer") << QStringLiteral("Buffer Position");
        QTest::newRow("CD") << QStringLiteral("txtCD") << QStringLiteral("Carrier Detect");
        QTest::newRow("EF") << QStringLiteral("txtEF") << QStringLiteral("Buffer Empty");
        QTest::newRow("FF") << QStringLiteral("txtFF") << QStringLiteral("Buffer Full");
        QTest::newRow("marquee") << QStringLiteral("scrMessage")
                                 << QStringLiteral("Scroll Message");
        QTest::newRow("category") << QStringLiteral("cboCategory") << QStringLiteral("Category");
        QTest::newRow("round") << QStringLiteral("cboRound") << QStringLiteral("Round Number");
        QTest::newRow("car") << QStringLiteral("txtCar") << QStringLiteral("Car Number");
        QTest::newRow("slip") << QStringLiteral("txtDisplay") << QStringLiteral("Time Slip");
        QTest::newRow("search") << QStringLiteral("txtSearch") << QStringLiteral("Search");
        QTest::newRow("cars") << QStringLiteral("grdCars") << QStringLiteral("Cars");
    }
    void controlsAreNamedByTheirCaptionsAndTips() {
        QFETCH(QString, objectName);
        QFETCH(QString, name);
        for (const char* tool : {"miFilter", "miTimeSlip", "miStats"}) {
            window->RunTool(QString::fromLatin1(tool));
        }
        auto* control = window->findChild<QWidget*>(objectName);
        QVERIFY(control != nullptr);
        QCOMPARE(NameOf(control), name);
    }

    void theGridsAreNamedForTheirWindows() {
        window->RunTool(QStringLiteral("miFilter"));
        QCOMPARE(NameOf(&window->Windows().RaceLog()->View()), QStringLiteral("Race Log"));
        QCOMPARE(NameOf(&window->Windows().Filter()->View()), QStringLiteral("Race Log Filter"));
    }

    // A child window is shown to assistive technology while any part of it is in the area (the
    // desktop bridge reads "offscreen" as neither visible nor showing, and a screen reader then
    // skips the whole window), and the grid is reached from the area through it.
    void aChildWindowStickingOutOfTheAreaIsShown() {
        auto* area = window->findChild<QMdiArea*>();
        QMdiSubWindow* frame = area->subWindowList().value(0);
        QVERIFY(frame != nullptr);
        QAccessibleInterface* areaIface = QAccessible::queryAccessibleInterface(area);
        QAccessibleInterface* frameIface = areaIface->child(0);
        QCOMPARE(frameIface->object(), frame);
        QCOMPARE(frameIface->text(QAccessible::Name), QStringLiteral("Race Log"));
        const QSize inside = area->viewport()->size();
        const struct {
            QRect geometry;
            bool offscreen;
        } cases[] = {
            {QRect(QPoint(10, 10), inside / 2), false},
            {QRect(QPoint(inside.width() / 2, 10), inside), false},  // sticks out right, down
            {QRect(QPoint(-50, -20), inside / 2), false},
            {QRect(QPoint(inside.width() + 10, 0), inside / 2), true},  // wholly outside
        };
        for (const auto& c : cases) {
            frame->setGeometry(c.geometry);
            QCOMPARE(frameIface->state().offscreen, c.offscreen);
            QVERIFY(!frameIface->state().invisible);
        }
        QCOMPARE(frameIface->childCount(), 1);
        QAccessibleInterface* grid =
            QAccessible::queryAccessibleInterface(&window->Windows().RaceLog()->View());
        QAccessibleInterface* up = grid;
        while (up != nullptr && up->object() != frame) {
            up = up->parent();
        }
        QVERIFY(up != nullptr);
        QCOMPARE(frameIface->indexOfChild(frameIface->child(0)), 0);
    }

    void theTwoGreensAreToldApart() {
        QToolBar* palette = window->Bars().ToolBar(QStringLiteral("tbColor"));
        QVERIFY(palette != nullptr);
        QCOMPARE(NameOf(palette->widgetForAction(
                     window->Bars().Action(QStringLiteral("miBrightGreen")))),
                 QStringLiteral("Bright Green"));
        QCOMPARE(NameOf(palette->widgetForAction(window->Bars().Action(QStringLiteral("miGreen")))),
                 QStringLiteral("Green"));
        // In Tools > Background Color as well (the toolkit reads a menu item's caption).
        QMenu* colors = window->Bars().Menu(QStringLiteral("tbColor"));
        QVERIFY(colors != nullptr);
        QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(colors);
        QStringList names;
        for (int i = 0; i < menu->childCount(); ++i) {
            QAccessibleInterface* item = menu->child(i);
            if (item->role() == QAccessible::MenuItem) {
                names << item->text(QAccessible::Name);
            }
            if (item->object() == window->Bars().Action(QStringLiteral("miBrightGreen"))) {
                QCOMPARE(item->parent(), menu);
                QCOMPARE(item->text(QAccessible::Description), QStringLiteral("Bright Green"));
                QVERIFY(item->actionInterface() != nullptr);
                item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            }
        }
        QCOMPARE(names.count(QStringLiteral("Green")), 1);
        QCOMPARE(names.count(QStringLiteral("Bright Green")), 1);
        QVERIFY(names.contains(QStringLiteral("Pink")));  // the other items as the toolkit reads
        QCOMPARE(window->findChild<QMdiArea*>()->background().color(), QColor(0, 255, 0));
    }

    void lampsAndScrollMessageFollowTheReceiver() {
        MainStatusBar& bar = window->StatusBar();
        auto* cd = bar.findChild<QWidget*>(QStringLiteral("txtCD"));
        auto* ff = bar.findChild<QWidget*>(QStringLiteral("txtFF"));
        QCOMPARE(DescriptionOf(cd), QStringLiteral("Dark"));
        bar.ShowCDLamp(true);
        QCOMPARE(DescriptionOf(cd), QStringLiteral("Lit"));
        QCOMPARE(DescriptionOf(ff), QStringLiteral("Dark"));
        bar.ShowCDLamp(false);
        QCOMPARE(DescriptionOf(cd), QStringLiteral("Dark"));

        auto* marquee = bar.findChild<QWidget*>(QStringLiteral("scrMessage"));
        bar.SetScrollMessageVisible(true);
        bar.SetScrollMessageText(QStringLiteral("WELCOME TO THE TRACK"));
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(marquee);
        QCOMPARE(iface->text(QAccessible::Description), QStringLiteral("WELCOME TO THE TRACK"));
        bar.SetScrollMessageText(QStringLiteral("LANES CLOSED"));
        QCOMPARE(iface->text(QAccessible::Description), QStringLiteral("LANES CLOSED"));
    }

    void statusBarIsReadInTheOrderShown() {
        MainStatusBar& bar = window->StatusBar();
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&bar);
        QStringList names;
        int lastX = -1;
        bool ordered = true;
        for (int i = 0; i < iface->childCount(); ++i) {
            QAccessibleInterface* child = iface->child(i);
            auto* widget = qobject_cast<QWidget*>(child->object());
            if (widget == nullptr || !widget->isVisible() ||
                widget->objectName() == QLatin1String("lblSpace") ||
                widget->objectName().startsWith(QLatin1String("qt_"))) {
                continue;
            }
            names << widget->objectName();
            ordered = ordered && widget->x() > lastX;
            lastX = widget->x();
        }
        QVERIFY2(ordered, qPrintable(names.join(QLatin1Char(' '))));
        QVERIFY(names.indexOf(QStringLiteral("picStatus")) <
                names.indexOf(QStringLiteral("lblFrequency")));
        QVERIFY(names.indexOf(QStringLiteral("usbSignal")) <
                names.indexOf(QStringLiteral("lblOrvanUSB")));
    }

    // A filter cell speaks the text it draws, never the number it sorts by: times, speeds,
    // the date, the race number, an empty cell and a text that is no number.
    void filterCellsSpeakTheirDrawnText_data() {
        QTest::addColumn<int>("column");
        QTest::newRow("RT") << ColumnIndex(RunColumn::RT);
        QTest::newRow("et60") << ColumnIndex(RunColumn::et60);
        QTest::newRow("et1320") << ColumnIndex(RunColumn::et1320);
        QTest::newRow("mph1320") << ColumnIndex(RunColumn::mph1320);
        QTest::newRow("Dial (empty)") << ColumnIndex(RunColumn::Dial);
        QTest::newRow("Car") << ColumnIndex(RunColumn::Car);
        QTest::newRow("Name") << ColumnIndex(RunColumn::Name);
    }
    void filterCellsSpeakTheirDrawnText() {
        QFETCH(int, column);
        desk->station.Tables().StoreRun(TestRace());
        window->RunTool(QStringLiteral("miFilter"));
        frmFilter* filter = window->Windows().Filter();
        LogGridView& view = filter->View();
        QCoreApplication::processEvents();  // the rows laid out, as a screen reader finds them
        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(&view);
        QVERIFY(grid->tableInterface() != nullptr);
        const int shownColumn = static_cast<int>(
            HeadingsOf(*grid->tableInterface())
                .indexOf(filter->Shown().headerData(column, Qt::Horizontal).toString()));
        QVERIFY(shownColumn >= 0);
        int checked = 0;
        for (int row = 0; row < filter->Shown().rowCount(); ++row) {
            const QModelIndex index = filter->Shown().index(row, column);
            const QString drawn = index.data(LogGridModel::TextRole).toString();
            QAccessibleInterface* cell = grid->tableInterface()->cellAt(row, shownColumn);
            QVERIFY(cell != nullptr);
            QCOMPARE(cell->text(QAccessible::Name), drawn);
            ++checked;
        }
        QCOMPARE(checked, 2);
        // A cell's description is its whole row as shown: the reader hears the row the cursor
        // is on, never a hidden column.
        const QString row =
            grid->tableInterface()->cellAt(0, shownColumn)->text(QAccessible::Description);
        QVERIFY2(row.contains(QLatin1String("1234")) && row.contains(QLatin1String("A DRIVER")) &&
                     row.contains(QLatin1String("0.610")),
                 qPrintable(row));
        QVERIFY2(!row.contains(QLatin1String("SUPER PRO")), qPrintable(row));  // Category hidden
    }

    // The columns the racer hid (or the window hides) are not in the table, in the race log and
    // the filter, and follow a column hidden or shown later; a cell reads its own column.
    void hiddenColumnsAreNotExposed() {
        desk->station.Tables().StoreRun(TestRace());
        window->RunTool(QStringLiteral("miFilter"));
        frmRaceLog* raceLog = window->Windows().RaceLog();
        raceLog->Grid().SetGroupBy({});
        raceLog->UpdateDisplay();
        for (LogGridView* view : {&raceLog->View(), &window->Windows().Filter()->View()}) {
            QCoreApplication::processEvents();
            QAccessibleTableInterface* table =
                QAccessible::queryAccessibleInterface(view)->tableInterface();
            QStringList headings = HeadingsOf(*table);
            for (const char* hidden : {"GeneralID", "DateTime", "Category", "1000' MPH"}) {
                QVERIFY2(!headings.contains(QLatin1String(hidden)), hidden);
            }
            QCOMPARE(table->columnCount(), 17);
            const int car = static_cast<int>(headings.indexOf(QStringLiteral("Car #")));
            QVERIFY(car >= 0);
            QCOMPARE(table->rowCount(), 2);
            QCOMPARE(table->cellAt(0, car)->text(QAccessible::Name), QStringLiteral("1234"));
            QCOMPARE(table->cellAt(1, car)->text(QAccessible::Name), QStringLiteral("77A"));

            view->Grid().SetHidden(QLatin1String("Car"), true);
            QCoreApplication::processEvents();
            headings = HeadingsOf(*table);
            QVERIFY(!headings.contains(QStringLiteral("Car #")));
            QCOMPARE(table->columnCount(), 16);
            view->Grid().SetHidden(QLatin1String("Car"), false);
            QCOMPARE(table->columnCount(), 17);
            // The children a screen reader walks: the headings, then the cells, none hidden.
            QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(view);
            QCOMPARE(grid->childCount(), 17 * 3);
            for (int i = 0; i < grid->childCount(); ++i) {
                QCOMPARE(grid->indexOfChild(grid->child(i)), i);
            }
        }
    }

    // A group header row is one cell, across the row, read as its group text once; the races
    // below it are rows of their own, and a closed group's races are not rows at all.
    void aGroupHeaderRowIsOneCell() {
        desk->station.Tables().StoreRun(TestRace());
        frmRaceLog* raceLog = window->Windows().RaceLog();
        raceLog->AllCategories();
        raceLog->UpdateDisplay();
        QCoreApplication::processEvents();
        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(&raceLog->View());
        QAccessibleTableInterface* table = grid->tableInterface();
        const int columns = table->columnCount();
        QVERIFY(columns > 1);
        QCOMPARE(table->rowCount(), 3);
        QAccessibleInterface* header = table->cellAt(0, 0);
        QCOMPARE(header->text(QAccessible::Name), QStringLiteral("SUPER PRO     E1"));
        for (int column = 1; column < columns; ++column) {
            QCOMPARE(table->cellAt(0, column), header);
        }
        QAccessibleTableCellInterface* cell = header->tableCellInterface();
        QVERIFY(cell != nullptr);
        QCOMPARE(cell->rowIndex(), 0);
        QCOMPARE(cell->columnIndex(), 0);
        QCOMPARE(cell->columnExtent(), columns);
        QVERIFY(header->state().expanded);
        QCOMPARE(table->cellAt(1, 0)->tableCellInterface()->rowIndex(), 1);
        // Walking the children, the group text comes once.
        QCOMPARE(grid->childCount(), columns + 1 + 2 * columns);
        int groupTexts = 0;
        for (int i = 0; i < grid->childCount(); ++i) {
            groupTexts +=
                grid->child(i)->text(QAccessible::Name).contains(QLatin1String("SUPER PRO"));
        }
        QCOMPARE(groupTexts, 1);

        raceLog->View().collapse(raceLog->View().model()->index(0, 0));
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(grid->childCount(), columns + 1);
        QVERIFY(table->cellAt(0, 0)->state().collapsed);
    }

    // Moving the row cursor announces the cell it lands on (the focus event names the grid's
    // child by LogGridShape::ChildOf), by the cells of the table a screen reader knows: the
    // group's text on its header, the race row (car, name, times) on a race.
    void theRowCursorIsAnnouncedByItsCell() {
        desk->station.Tables().StoreRun(TestRace());
        frmRaceLog* raceLog = window->Windows().RaceLog();
        raceLog->AllCategories();
        LogGridView& view = raceLog->View();
        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(&view);
        view.setFocus();
        QStringList heard;
        for (Qt::Key key : {Qt::Key_Home, Qt::Key_Down, Qt::Key_Down}) {
            QTest::keyClick(&view, key);
            QAccessibleInterface* cell =
                grid->child(LogGridShape::Of(view).ChildOf(view.currentIndex()));
            QVERIFY(cell != nullptr);
            heard << cell->text(QAccessible::Name) + QStringLiteral(" | ") +
                         cell->text(QAccessible::Description);
        }
        QVERIFY2(heard[0].startsWith(QLatin1String("SUPER PRO     E1 |")), qPrintable(heard[0]));
        QVERIFY2(heard[1].contains(QLatin1String("Car # 1234")) &&
                     heard[1].contains(QLatin1String("Name A DRIVER")) &&
                     heard[1].contains(QLatin1String("1/4 ET 9.900")),
                 qPrintable(heard[1]));
        QVERIFY2(heard[2].contains(QLatin1String("Car # 77A")), qPrintable(heard[2]));
    }

private:
    std::unique_ptr<test::DesktopStation> desk;
    std::unique_ptr<frmMain> window;
};

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
