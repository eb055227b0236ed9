// The desktop program from the keyboard alone, offscreen: the race log grid's row cursor and
// groups, the settings menu on the Menu key, closing and changing child windows, the race
// log's commands in the View menu and the print view's keys.

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "DesktopStation.h"
#include "decoding/RunTables.h"
#include "gui/ChildWindows.h"
#include "gui/CommandBars.h"
#include "gui/LogGridView.h"
#include "gui/PrintView.h"
#include "gui/frmMain.h"
#include "gui/frmRaceLog.h"
#include "settings/SettingsStore.h"
#include "shell/Station.h"
#include "shell/StationForwarders.h"
#include "sim/SimulatedXpress.h"
#include "views/LogGridModel.h"

using namespace orvanrx;

namespace {

RunRecord Race(const char* category, const char* carL, const char* carR) {
    RunRecord race;
    race.Category = QString::fromLatin1(category);
    race.CarL = QString::fromLatin1(carL);
    race.CarR = QString::fromLatin1(carR);
    race.et1320L = QStringLiteral("9.") + race.CarL;
    race.et1320R = QStringLiteral("9.") + race.CarR;
    return race;
}

// The current row as "[group]" or its car, with "+"/"-" after a group that is open/closed.
QString CurrentRow(const LogGridView& view) {
    const QModelIndex row = view.currentIndex().siblingAtColumn(0);
    if (!row.isValid()) {
        return QStringLiteral("none");
    }
    if (row.data(LogGridModel::RowKindRole).toInt() ==
        static_cast<int>(LogGridRowKind::GroupHeader)) {
        return QStringLiteral("[%1]%2").arg(
            row.data(LogGridModel::TextRole).toString(),
            view.isExpanded(row) ? QStringLiteral("+") : QStringLiteral("-"));
    }
    return row.siblingAtColumn(ColumnIndex(RunColumn::Car)).data(LogGridModel::TextRole).toString();
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        desk = std::make_unique<test::DesktopStation>();
        window = desk->OpenWindow();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void cleanup() {
        for (QWidget* popup = QApplication::activePopupWidget(); popup != nullptr;
             popup = QApplication::activePopupWidget()) {
            popup->close();
        }
        test::DesktopStation::Close(window);
        desk.reset();
    }

    void theRaceLogGridHasTheFocusAtStart() {
        frmRaceLog* raceLog = window->Windows().RaceLog();
        QVERIFY(raceLog != nullptr);
        QCOMPARE(QApplication::focusWidget(), &raceLog->View());
        // The group-by area's button is left out of the Tab chain.
        auto* ungroup = raceLog->findChild<QToolButton*>(QStringLiteral("Ungroup"));
        QVERIFY(ungroup != nullptr);
        QCOMPARE(ungroup->focusPolicy(), Qt::ClickFocus);
    }

    // The grid has the focus before it has rows; its first rows bring a row cursor, so the
    // focus row is drawn before any key is pressed. The cursor selects nothing.
    void theFirstRowsBringTheRowCursor() {
        frmRaceLog* raceLog = window->Windows().RaceLog();
        LogGridView& view = raceLog->View();
        QCOMPARE(QApplication::focusWidget(), &view);
        QCOMPARE(CurrentRow(view), QStringLiteral("none"));
        RunTables& tables = desk->station.Tables();
        tables.StoreRun(Race("PRO           E1", "11", "12"));
        tables.StoreRun(Race("PRO           E1", "13", "14"));
        raceLog->AllCategories();
        QVERIFY(view.model()->rowCount() > 0);
        QCOMPARE(CurrentRow(view), QStringLiteral("[PRO           E1]+"));
        QCOMPARE(view.currentIndex().siblingAtColumn(0),
                 view.indexAt(QPoint(1, 1)).siblingAtColumn(0));
        QVERIFY(!view.isColumnHidden(view.currentIndex().column()));
        QVERIFY(view.selectionModel()->selectedIndexes().isEmpty());
        QCOMPARE(view.verticalScrollBar()->value(), 0);
        // A refresh reloads the grid (a reset, which drops the cursor): the cursor is back on
        // the top row shown, still selecting nothing.
        QTest::keyClick(&view, Qt::Key_End);
        tables.StoreRun(Race("PRO           E1", "15", "16"));
        raceLog->UpdateDisplay();
        QCOMPARE(CurrentRow(view), QStringLiteral("[PRO           E1]+"));
        QVERIFY(view.selectionModel()->selectedIndexes().isEmpty());
    }

    // Keys pressed one after another in an all-categories grid of two categories (newest
    // first): the row the cursor is on after each.
    void theGridIsWalkedByKeys() {
        RunTables& tables = desk->station.Tables();
        tables.StoreRun(Race("PRO           E1", "11", "12"));
        tables.StoreRun(Race("STREET        E1", "21", "22"));
        tables.StoreRun(Race("PRO           E2", "13", "14"));
        frmRaceLog* raceLog = window->Windows().RaceLog();
        raceLog->AllCategories();
        LogGridView& view = raceLog->View();
        view.setFocus();
        const struct {
            Qt::Key key;
            const char* row;
        } steps[] = {
            {Qt::Key_Home, "[PRO           E2]+"},
            {Qt::Key_Down, "13"},
            {Qt::Key_Down, "14"},
            {Qt::Key_Left, "[PRO           E2]+"},  // from a row: to its group
            {Qt::Key_Left, "[PRO           E2]-"},  // on the group: closes it
            {Qt::Key_Down, "[STREET        E1]+"},  // a closed group's rows are passed
            {Qt::Key_End, "12"},
            {Qt::Key_PageUp, "[PRO           E2]-"},
            {Qt::Key_Right, "[PRO           E2]+"},
            {Qt::Key_Down, "13"},
        };
        QStringList seen;
        QStringList wanted;
        for (const auto& step : steps) {
            QTest::keyClick(&view, step.key);
            seen << CurrentRow(view);
            wanted << QString::fromLatin1(step.row);
        }
        QCOMPARE(seen, wanted);
        // The grid keeps each group's state: closing by key is closing.
        QVERIFY(raceLog->Grid().index(0, 0).data(LogGridModel::ExpandedRole).toBool());
    }

    void theMenuKeyOpensTheSettingsMenu_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Menu") << int(Qt::Key_Menu) << int(Qt::NoModifier);
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
    }
    void theMenuKeyOpensTheSettingsMenu() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        frmRaceLog* raceLog = window->Windows().RaceLog();
        auto* menu = raceLog->findChild<QMenu*>(QStringLiteral("miSettings"));
        QVERIFY(menu != nullptr);
        QVERIFY(!menu->isVisible());
        QTest::keyClick(&raceLog->View(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(menu->isVisible());
        menu->close();
        // In the print view too.
        raceLog->miPrintView_Click();
        auto* preview = raceLog->findChild<QWidget*>(QStringLiteral("rptView"));
        QVERIFY(preview != nullptr);
        QTest::keyClick(preview, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(menu->isVisible());
        menu->close();
    }

    void ctrlWAndCtrlF4CloseTheActiveChild_data() {
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("Ctrl+W") << QKeySequence(Qt::CTRL | Qt::Key_W);
        QTest::newRow("Ctrl+F4") << QKeySequence(Qt::CTRL | Qt::Key_F4);
    }
    void ctrlWAndCtrlF4CloseTheActiveChild() {
        QFETCH(QKeySequence, keys);
        window->RunTool(QStringLiteral("miTimeSlip"));
        QVERIFY(window->TimeSlipOpen());
        QMdiArea& area = window->MdiArea();
        QCOMPARE(area.activeSubWindow()->widget()->objectName(), QStringLiteral("frmTimeSlip"));
        QTest::keySequence(QApplication::focusWidget(), keys);
        QTRY_VERIFY(!window->TimeSlipOpen());
        QVERIFY(window->RaceLogOpen());
        // Then the race log, now the active child.
        area.setActiveSubWindow(area.subWindowList().first());
        QTest::keySequence(QApplication::focusWidget(), keys);
        QTRY_VERIFY(!window->RaceLogOpen());
    }

    void ctrlF6AndCtrlTabChangeTheChild() {
        window->RunTool(QStringLiteral("miTimeSlip"));
        QMdiArea& area = window->MdiArea();
        QMdiSubWindow* slip = area.activeSubWindow();
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(Qt::CTRL | Qt::Key_F6));
        QTRY_VERIFY(area.activeSubWindow() != slip);
        QTest::keySequence(QApplication::focusWidget(),
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6));
        QTRY_COMPARE(area.activeSubWindow(), slip);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QTRY_VERIFY(area.activeSubWindow() != slip);
    }

    void theRaceLogCommandsAreInTheViewMenu() {
        CommandBars& bars = window->Bars();
        auto* commands = bars.Menu(QStringLiteral("miView"))
                             ->findChild<QMenu*>(QStringLiteral("miRaceLogCommands"));
        QVERIFY(commands != nullptr);
        QStringList names;
        for (QAction* action : commands->actions()) {
            names << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
        }
        QCOMPARE(names.join(QLatin1Char(' ')),
                 QStringLiteral("miCategories - miExpand miCollapse - miPause miRefreshLog"));
        // F5 refreshes: a paused race log runs again.
        frmRaceLog* raceLog = window->Windows().RaceLog();
        raceLog->miPauseUpdates_Click();
        QVERIFY(raceLog->Paused());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
        QTRY_VERIFY(!raceLog->Paused());
    }

    void thePrintViewPagesAndZoomByKeys() {
        RunTables& tables = desk->station.Tables();
        for (int race = 0; race < 40; ++race) {
            const QByteArray car = QByteArray::number(100 + race);
            const QByteArray other = QByteArray::number(500 + race);
            tables.StoreRun(Race("PRO           E1", car.constData(), other.constData()));
        }
        frmRaceLog* raceLog = window->Windows().RaceLog();
        raceLog->AllCategories();
        raceLog->miPrintView_Click();
        auto* pages = raceLog->findChild<QLabel*>(QStringLiteral("lblPage"));
        auto* preview = raceLog->findChild<QWidget*>(QStringLiteral("rptView"));
        preview->setFocus();
        QTRY_VERIFY(pages->text().startsWith(QLatin1String("Page 1 of ")));
        QVERIFY2(!pages->text().endsWith(QLatin1String(" of 1")), qPrintable(pages->text()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
        QTRY_VERIFY(pages->text().startsWith(QLatin1String("Page 2 of ")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
        const QString last = pages->text().section(QLatin1Char(' '), 3);
        QTRY_COMPARE(pages->text(), QStringLiteral("Page %1 of %1").arg(last));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home, Qt::ControlModifier);
        QTRY_VERIFY(pages->text().startsWith(QLatin1String("Page 1 of ")));
        // The tool bar's buttons take the focus.
        auto* tools = raceLog->findChild<QToolBar*>(QStringLiteral("tbPrintView"));
        QVERIFY(tools != nullptr);
        QWidget* zoomIn =
            tools->widgetForAction(tools->findChild<QAction*>(QStringLiteral("miZoomIn")));
        QVERIFY(zoomIn != nullptr);
        QCOMPARE(zoomIn->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    }

private:
    std::unique_ptr<test::DesktopStation> desk;
    std::unique_ptr<frmMain> window;
};

QTEST_MAIN(KeyboardTest)
#include "KeyboardTest.moc"
