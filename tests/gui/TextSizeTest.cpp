// View > Text Size: the racer's choice is kept in the settings and makes the log grids' text,
// rows and columns and the time slip's text larger; the grid's kept widths stay as they were.

#include <QAction>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "DesktopStation.h"
#include "decoding/RunTables.h"
#include "gui/ChildWindows.h"
#include "gui/LogGridView.h"
#include "gui/TextSize.h"
#include "gui/frmFilter.h"
#include "gui/frmMain.h"
#include "gui/frmRaceLog.h"
#include "gui/frmTimeSlip.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "shell/Station.h"
#include "shell/StationForwarders.h"
#include "sim/SimulatedXpress.h"
#include "views/LogGridColumns.h"
#include "views/LogGridModel.h"

using namespace orvanrx;

namespace {

struct Measures {
    int rowHeight;
    int nameWidth;
    int headingHeight;
    qreal slipPoints;
};

Measures Measure(frmMain& window) {
    LogGridView& view = window.Windows().RaceLog()->View();
    QCoreApplication::processEvents();
    view.doItemsLayout();
    const int name = LogGridColumnOf(QLatin1String("Name"));
    const QModelIndex group = view.model()->index(0, 0);
    const QModelIndex race = view.model()->index(0, name, group);
    auto* slip = window.findChild<QPlainTextEdit*>(QStringLiteral("txtDisplay"));
    return {view.visualRect(race).height(), view.header()->sectionSize(name),
            view.header()->height(), slip != nullptr ? slip->font().pointSizeF() : 0};
}

}  // namespace

class TextSizeTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<frmMain> Open() { return desk->OpenWindow(); }
    static void Close(std::unique_ptr<frmMain>& window) { test::DesktopStation::Close(window); }

private Q_SLOTS:
    void init() { desk = std::make_unique<test::DesktopStation>(); }
    void cleanup() { desk.reset(); }

    // Larger text: taller rows and headings, wider columns on screen, a larger slip; the width
    // the grid keeps (and saves) for Name is the same twips at every size.
    void largerTextGrowsRowsAndColumns() {
        auto window = Open();
        RunRecord race;
        race.Category = QStringLiteral("SUPER PRO     E1");
        race.CarL = QStringLiteral("1234");
        race.NameL = QStringLiteral("A DRIVER WITH A LONG NAME");
        desk->station.Tables().StoreRun(race);
        window->Windows().RaceLog()->AllCategories();
        window->RunTool(QStringLiteral("miTimeSlip"));
        LogGridModel& grid = window->Windows().RaceLog()->Grid();
        const int keptName = grid.GetWidth(QLatin1String("Name"));
        const Measures normal = Measure(*window);
        QVERIFY(normal.rowHeight > 0 && normal.slipPoints > 0);

        window->findChild<QAction*>(QStringLiteral("miTextSize200"))->trigger();
        const Measures largest = Measure(*window);
        QVERIFY2(
            largest.rowHeight >= normal.rowHeight * 3 / 2,
            qPrintable(QStringLiteral("%1 -> %2").arg(normal.rowHeight).arg(largest.rowHeight)));
        QVERIFY(largest.headingHeight > normal.headingHeight);
        QVERIFY2(
            largest.nameWidth >= normal.nameWidth * 3 / 2,
            qPrintable(QStringLiteral("%1 -> %2").arg(normal.nameWidth).arg(largest.nameWidth)));
        QCOMPARE(largest.slipPoints, normal.slipPoints * 2);
        QVERIFY(std::abs(grid.GetWidth(QLatin1String("Name")) - keptName) <= 30);

        // The filter opened now comes at the chosen size.
        window->RunTool(QStringLiteral("miFilter"));
        QCOMPARE(window->Windows().Filter()->View().TextScale(), 2.0);

        window->findChild<QAction*>(QStringLiteral("miTextSize100"))->trigger();
        const Measures back = Measure(*window);
        QCOMPARE(back.rowHeight, normal.rowHeight);
        QCOMPARE(back.slipPoints, normal.slipPoints);
        Close(window);
    }

    // The choice is kept and comes back at the next start, checked in the menu.
    void theChoiceIsKept() {
        auto window = Open();
        QVERIFY(window->findChild<QAction*>(QStringLiteral("miTextSize100"))->isChecked());
        window->findChild<QAction*>(QStringLiteral("miTextSize150"))->trigger();
        QCOMPARE(desk->settings.QueryValue(kMainScreenSettingsKey, kTextSizeValue),
                 QStringLiteral("150"));
        Close(window);

        window = Open();
        QVERIFY(window->findChild<QAction*>(QStringLiteral("miTextSize150"))->isChecked());
        QVERIFY(!window->findChild<QAction*>(QStringLiteral("miTextSize100"))->isChecked());
        QCOMPARE(window->Windows().RaceLog()->View().TextScale(), 1.5);
        Close(window);
    }

    // A kept value that is no choice (hand-edited, from a later version) is the normal size.
    void anUnknownValueIsTheNormalSize_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("percent");
        QTest::newRow("missing") << QVariant() << 100;
        QTest::newRow("large") << QVariant(150) << 150;
        QTest::newRow("largest") << QVariant(200) << 200;
        QTest::newRow("not offered") << QVariant(175) << 100;
        QTest::newRow("zero") << QVariant(0) << 100;
        QTest::newRow("text") << QVariant(QStringLiteral("big")) << 100;
    }
    void anUnknownValueIsTheNormalSize() {
        QFETCH(QVariant, stored);
        QFETCH(int, percent);
        if (stored.isValid()) {
            desk->settings.SetKeyValue(
                kMainScreenSettingsKey, kTextSizeValue, stored,
                stored.typeId() == QMetaType::QString ? ValueType::RegSz : ValueType::RegDword);
        }
        QCOMPARE(ReadTextSize(desk->settings), percent);
    }

private:
    std::unique_ptr<test::DesktopStation> desk;
};

QTEST_MAIN(TextSizeTest)
#include "TextSizeTest.moc"
