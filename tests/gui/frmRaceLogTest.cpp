// The race log window: its modes, pause, field choices and kept settings, over run tables
// filled the way the decoder fills them.

#include <QAction>
#include <QGraphicsView>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPrintPreviewWidget>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "decoding/RunTables.h"
#include "gui/ColorValue.h"
#include "gui/LogGridPaint.h"
#include "gui/LogGridView.h"
#include "gui/PrintView.h"
#include "gui/SteadyScrollBar.h"
#include "gui/Twips.h"
#include "gui/frmRaceLog.h"
#include "print/LogGridPageLayout.h"
#include "print/OpenedRaceLog.h"
#include "print/PrintFonts.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "views/LogGridSheet.h"

using namespace orvanrx;

namespace {

RunRecord Race(const char* category, const char* carL, const char* carR) {
    RunRecord race;
    race.Category = QString::fromLatin1(category);
    race.CarL = QString::fromLatin1(carL);
    race.CarR = QString::fromLatin1(carR);
    race.NameL = QStringLiteral("LEFT ") + race.CarL;
    race.NameR = QStringLiteral("RIGHT ") + race.CarR;
    // Each race its own result: a record with the same figures is the same race updated.
    race.et1320L = QStringLiteral("9.") + race.CarL;
    race.et1320R = QStringLiteral("9.") + race.CarR;
    race.winR = true;
    return race;
}

// Counts the paint events of the widgets it watches.
struct PaintCounter : QObject {
    int count = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
};

// The grid as "[group]" lines and "car lane" rows, joined by "|".
QString Shown(const LogGridModel& grid) {
    QStringList lines;
    for (int g = 0; g < grid.rowCount(); ++g) {
        const QModelIndex group = grid.index(g, 0);
        lines << QStringLiteral("[%1]").arg(group.data(LogGridModel::TextRole).toString());
        for (int r = 0; r < grid.rowCount(group); ++r) {
            lines << grid.index(r, ColumnIndex(RunColumn::Car), group).data().toString() +
                         QLatin1Char(' ') +
                         grid.index(r, ColumnIndex(RunColumn::Lane), group).data().toString();
        }
    }
    return lines.join(QLatin1Char('|'));
}

}  // namespace

class frmRaceLogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        settings = std::make_unique<SettingsStore>(dir->filePath(QStringLiteral("OrvanRX.ini")));
        tables = std::make_unique<RunTables>();
        area = std::make_unique<QMdiArea>();
        area->resize(1400, 800);
        area->show();
    }
    void cleanup() {
        area.reset();
        tables.reset();
        settings.reset();
        dir.reset();
    }

    void startsInOneCategoryModeWithItsColumns() {
        frmRaceLog* log = Open();
        QVERIFY(log->IsOpen());
        QVERIFY(!log->AllCategoriesMode());
        QCOMPARE(log->CategoryCaption(), QStringLiteral("One Category"));
        QCOMPARE(log->windowTitle(), QStringLiteral("Race Log"));
        for (const char* hidden : {"Category", "GeneralID", "DateTime", "mph1000"}) {
            QVERIFY2(log->Grid().IsHidden(QLatin1String(hidden)), hidden);
            QVERIFY2(log->View().isColumnHidden(LogGridColumnOf(QLatin1String(hidden))), hidden);
        }
        QCOMPARE(log->Grid().GetWidth(QLatin1String("Lane")), 600);
        QCOMPARE(log->Grid().GetWidth(QLatin1String("win")), 500);
        QCOMPARE(log->Grid().GroupBy(), QStringLiteral("Category"));
        QVERIFY(log->MenuItem(QStringLiteral("miClass"))->isChecked());
        QVERIFY(!log->MenuItem(QStringLiteral("miCategory"))->isChecked());
    }

    // The print view stands on the window's colour like the grid: at load and at activation.
    void thePrintViewTakesTheWindowsBackgroundColour() {
        frmRaceLog* log = Open();
        log->Activate(RgbColorValue(0, 128, 128));
        log->miPrintView_Click();
        auto* pages = log->Pages().Viewer().findChild<QGraphicsView*>();
        QVERIFY(pages != nullptr);
        QCOMPARE(pages->backgroundBrush().color(), QColor(0, 128, 128));
        log->Activate(RgbColorValue(128, 0, 0));  // another colour while the pages show
        QCOMPARE(pages->backgroundBrush().color(), QColor(128, 0, 0));
    }

    // The pages do not follow the window's width, nor the screen's fonts: the print view lays a
    // log out column for column as orvanrx-cli export (and an export with the window closed)
    // lays the same log out.
    void thePagesAreTheSameFromANarrowAndAWideWindowAndWithoutIt() {
        frmRaceLog* log = Open();
        Store(Race("SUPER PRO     E1", "101", "102"));
        RunRecord race = Race("PRO ET        E2", "7", "8");
        race.NameL = QStringLiteral("MARY-ELIZABETH WOLFENSTEIN");
        Store(race);
        log->AllCategories();
        LogGridSheet printed;
        log->Pages().SetPdfExport(
            [&printed](const LogGridSheet& sheet, const LogTitle&) { printed = sheet; });
        PrintFonts fonts;
        const PrintFontMetrics metrics = fonts.Measure();
        const auto columns = [&](const LogGridSheet& sheet) {
            return LayOutLogGridPages(sheet, 15000, 10000, metrics).columnLeft;
        };
        const auto pageColumns = [&](int windowWidth) {
            qobject_cast<QMdiSubWindow*>(log->parentWidget())->resize(windowWidth, 500);
            QCoreApplication::processEvents();
            log->miPrintView_Click();
            log->Pages().findChild<QAction*>(QStringLiteral("miExportPdf"))->trigger();
            log->miGridView_Click();
            return columns(printed);
        };
        const std::vector<double> narrow = pageColumns(700);
        // The racer widens a column on screen, as a window's last column is widened.
        log->View().header()->resizeSection(LogGridColumnOf(QLatin1String("Car")), 150);
        const std::vector<double> wide = pageColumns(1380);
        QCOMPARE(wide, narrow);

        LogGridModel opened(LogGridFlavour::RaceLog);
        LoadOpenedRaceLog(opened, tables->AllRunsTable(), *settings);
        LogGridSheet cli = ReadLogGridSheet(opened);
        UsePageWidths(cli, u"Name");
        QCOMPARE(columns(cli), narrow);
        // The long name is whole on paper.
        const int name = LogGridColumnOf(QLatin1String("Name")) - 3;  // three hidden before it
        QCOMPARE(printed.columns[static_cast<std::size_t>(name)].key, QStringLiteral("Name"));
        QVERIFY(narrow[static_cast<std::size_t>(name) + 1] -
                    narrow[static_cast<std::size_t>(name)] >=
                metrics.textWidth(race.NameL, log->Grid().Style(kNormalStyle)->font));
        // On screen the wide window's last column is wider.
        const int win = LogGridColumnOf(QLatin1String("win"));
        QVERIFY(log->View().header()->sectionSize(win) >
                TwipsToPixels(log->View(), log->Grid().GetWidth(QLatin1String("win"))));
    }

    void theModeSwitchChangesTheCaptionAtOnceAndTheGridAtTheNextReload() {
        frmRaceLog* log = Open();
        QSignalSpy captions(log, &frmRaceLog::CategoryCaptionChanged);
        Store(Race("SUPER PRO     E1", "101", "102"));
        Store(Race("SUPER GAS     E1", "201", "202"));
        log->UpdateDisplay();
        QCOMPARE(Shown(log->Grid()), QStringLiteral("[SUPER GAS     E1]|201 L|202 R"));

        log->MenuItem(QStringLiteral("miAllCategories"))->trigger();  // on: reloads at once
        QCOMPARE(captions.takeLast().at(0).toString(), QStringLiteral("All Categories"));
        QCOMPARE(Shown(log->Grid()),
                 QStringLiteral("[SUPER GAS     E1]|201 L|202 R|[SUPER PRO     E1]|101 L|102 R"));

        log->MenuItem(QStringLiteral("miAllCategories"))->trigger();  // off: caption only
        QCOMPARE(captions.takeLast().at(0).toString(), QStringLiteral("One Category"));
        QCOMPARE(Shown(log->Grid()).count(QLatin1Char('|')), 5);
        log->UpdateDisplay();
        QCOMPARE(Shown(log->Grid()), QStringLiteral("[SUPER GAS     E1]|201 L|202 R"));
    }

    void aRaceThatArrivesWhilePausedShowsAtRefresh() {
        frmRaceLog* log = Open();
        Store(Race("PRO ET        Q1", "7", "8"));
        log->UpdateDisplay();
        log->MenuItem(QStringLiteral("miPauseUpdates"))->trigger();
        QVERIFY(log->Paused());
        QCOMPARE(log->windowTitle(), QStringLiteral("Race Log - Paused"));

        Store(Race("PRO ET        Q1", "9", "10"));
        log->UpdateDisplay();
        QCOMPARE(Shown(log->Grid()).count(QLatin1Char('|')), 2);

        log->MenuItem(QStringLiteral("miRefresh"))->trigger();
        QVERIFY(!log->Paused());
        QCOMPARE(log->windowTitle(), QStringLiteral("Race Log"));
        QCOMPARE(Shown(log->Grid()), QStringLiteral("[PRO ET        Q1]|9 L|10 R|7 L|8 R"));
    }

    void allCategoriesEndsAPauseButLeavingThePauseDoesNotReload() {
        frmRaceLog* log = Open();
        log->miPauseUpdates_Click();
        Store(Race("PRO ET        Q1", "7", "8"));
        log->miPauseUpdates_Click();  // the pause ends without a reload
        QCOMPARE(log->windowTitle(), QStringLiteral("Race Log"));
        QVERIFY(Shown(log->Grid()).isEmpty());

        log->miPauseUpdates_Click();
        log->AllCategories();
        QVERIFY(!log->Paused());
        QCOMPARE(log->windowTitle(), QStringLiteral("Race Log"));
        QCOMPARE(Shown(log->Grid()).count(QLatin1Char('|')), 2);
    }

    void clearEmptiesTablesAndGridEvenWhilePaused() {
        frmRaceLog* log = Open();
        Store(Race("PRO ET        Q1", "7", "8"));
        log->UpdateDisplay();
        log->miPauseUpdates_Click();
        log->ClearDisplay();
        QVERIFY(tables->IsRunTableEmpty());
        QCOMPARE(log->Grid().rowCount(), 0);
    }

    void fieldChoicesComeBackAtTheNextOpening() {
        Store(Race("PRO ET        Q1", "7", "8"));
        frmRaceLog* log = Open();
        for (const char* item : {"miMph1000", "miClass", "miName", "miCategory"}) {
            log->MenuItem(QString::fromLatin1(item))->trigger();
        }
        QVERIFY(!log->Grid().IsHidden(QLatin1String("mph1000")));
        QVERIFY(log->Grid().IsHidden(QLatin1String("Class")));
        QVERIFY(log->Grid().IsHidden(QLatin1String("Name")));
        log->AllCategories();
        Frame(log)->close();
        QVERIFY(!log->IsOpen());
        QCOMPARE(Field("1000' MPH"), QStringLiteral("True"));
        QCOMPARE(Field("Class"), QStringLiteral("False"));
        QCOMPARE(Field("All Categories"), QStringLiteral("True"));
        QCOMPARE(Field("Win"), QStringLiteral("True"));
        QCOMPARE(Field("Name"), QStringLiteral("No Key Value"));

        frmRaceLog* again = Open();
        QVERIFY(again->AllCategoriesMode());
        QCOMPARE(Shown(again->Grid()).count(QLatin1Char('|')),
                 2);  // loaded at once in all-categories mode
        QVERIFY(!again->Grid().IsHidden(QLatin1String("mph1000")));
        QVERIFY(again->MenuItem(QStringLiteral("miMph1000"))->isChecked());
        QVERIFY(again->Grid().IsHidden(QLatin1String("Class")));
        QVERIFY(!again->Grid().IsHidden(QLatin1String("Name")));  // never kept
        QVERIFY(again->Grid().IsHidden(QLatin1String("Category")));
    }

    void theNameWidthIsKeptInTwips_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("width");
        QTest::newRow("a number") << QStringLiteral("2400") << 2400;
        QTest::newRow("not a number") << QStringLiteral("abc") << 888;
        QTest::newRow("beyond 16 bits") << QStringLiteral("40000") << 888;
    }
    void theNameWidthIsKeptInTwips() {
        QFETCH(QString, stored);
        QFETCH(int, width);
        settings->SetKeyValue(kRaceLogScreenSettingsKey, kNameColumnWidthValue, stored,
                              ValueType::RegSz);
        frmRaceLog* log = Open(/*show=*/false);
        QCOMPARE(log->Grid().GetWidth(QLatin1String("Name")), width);
    }

    // The user's Name width, not the width it had on screen, is kept, and comes back.
    void aResizedNameColumnKeepsItsWidth_data() {
        QTest::addColumn<int>("pixels");
        QTest::newRow("narrower than its names") << 40;
        QTest::newRow("wide") << 300;
    }
    void aResizedNameColumnKeepsItsWidth() {
        QFETCH(int, pixels);
        Store(Race("PRO           E1", "101", "202"));
        frmRaceLog* log = Open();
        Frame(log)->resize(1300, 500);
        log->AllCategories();
        const int name = LogGridColumnOf(QLatin1String("Name"));
        QHeaderView* header = log->View().header();
        header->resizeSection(name, pixels);
        const int twips = log->Grid().GetWidth(QLatin1String("Name"));
        QVERIFY(qAbs(TwipsToPixels(log->View(), twips) - pixels) <= 1);
        // A resize of the window does not undo the user's width.
        Frame(log)->resize(1200, 480);
        QCOMPARE(log->Grid().GetWidth(QLatin1String("Name")), twips);
        Frame(log)->close();
        QCOMPARE(settings->QueryValue(kRaceLogScreenSettingsKey, kNameColumnWidthValue),
                 QString::number(twips));
        frmRaceLog* again = Open();
        Frame(again)->resize(1300, 500);
        QCOMPARE(again->Grid().GetWidth(QLatin1String("Name")), twips);
        QCOMPARE(again->View().header()->sectionSize(name), TwipsToPixels(again->View(), twips));
    }

    // The columns reach the grid's right edge, whatever is shown or hidden.
    void noStripIsLeftAtTheRight_data() {
        QTest::addColumn<QString>("items");
        QTest::newRow("as it starts") << "";
        QTest::newRow("Win hidden") << "miWin";
        QTest::newRow("Win hidden and shown") << "miWin miWin";
        QTest::newRow("Name hidden") << "miName";
        QTest::newRow("1000' MPH shown") << "miMph1000";
        QTest::newRow("Category shown, Margin hidden") << "miCategory miMargin";
        QTest::newRow("the mode switched") << "miAllCategories";
        QTest::newRow("the mode switched back") << "miAllCategories miAllCategories";
    }
    void noStripIsLeftAtTheRight() {
        QFETCH(QString, items);
        for (int race = 0; race < 3; ++race) {
            Store(Race("PRO           E1", QByteArray::number(100 + race).constData(), "202"));
        }
        frmRaceLog* log = Open();
        Frame(log)->resize(1380, 500);
        QVERIFY(QTest::qWaitForWindowExposed(Frame(log)));
        for (const QString& item : items.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            log->MenuItem(item)->trigger();
        }
        QCoreApplication::processEvents();
        LogGridView& view = log->View();
        QVERIFY2(view.header()->length() >= view.viewport()->width(),
                 qPrintable(QStringLiteral("%1 of %2")
                                .arg(view.header()->length())
                                .arg(view.viewport()->width())));
        // The filling is on screen only: Win's width in the grid stays near its own.
        QVERIFY(log->Grid().GetWidth(QLatin1String("win")) <= 600);
    }

    // Names that arrive later, longer than the ones before, are shown whole too.
    void theNameColumnGrowsWithTheNamesThatArrive() {
        Store(Race("PRO E1", "7", "8"));
        frmRaceLog* log = Open();
        Frame(log)->resize(1300, 500);
        log->AllCategories();
        const int name = LogGridColumnOf(QLatin1String("Name"));
        const int before = log->View().header()->sectionSize(name);
        RunRecord race = Race("PRO E1", "9", "10");
        race.NameR = QStringLiteral("MARY-ELIZABETH WOLFENSTEIN");
        Store(race);
        log->UpdateDisplay();
        QVERIFY(log->View().header()->sectionSize(name) > before);
        // Whole in the cell, which leaves 4 pixels at each side, to the fraction of a pixel.
        const QFontMetricsF normal(GridFont(log->Grid().Style(kNormalStyle)->font));
        for (const QString& text : {race.NameL, race.NameR}) {
            QVERIFY2(log->View().header()->sectionSize(name) - 8 >= normal.horizontalAdvance(text),
                     qPrintable(text));
        }
    }

    // Every column shown, the ones shown later included, shows its heading and a full-size
    // text whole at its first width; the first column's cells lose the tree's indentation.
    void headingsAndCellsFitTheirFirstWidths_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("widest");
        const std::pair<const char*, const char*> columns[] = {
            {"Category", "SUPER PRO QUALIFYING E1"},
            {"Class", "SPT"},
            {"Car", "3574B"},
            {"Lane", "R"},
            {"Bump", "BUMP"},
            {"Dial", "14.79"},
            {"RT", "-0.003"},
            {"et60", "1.636"},
            {"et330", "4.729"},
            {"et660", "7.440"},
            {"mph660", "188.56"},
            {"et1000", "9.769"},
            {"mph1000", "213.54"},
            {"et1320", "11.942"},
            {"mph1320", "213.54"},
            {"margin", "-0.1862"},
            {"overund", "-0.041"},
            {"win", "W"},
        };
        for (const auto& [key, widest] : columns) {
            QTest::newRow(key) << QString::fromLatin1(key) << QString::fromLatin1(widest);
        }
    }
    void headingsAndCellsFitTheirFirstWidths() {
        QFETCH(QString, key);
        QFETCH(QString, widest);
        const int c = LogGridColumnOf(key);
        RunRecord race = Race("SUPER PRO QUALIFYING E1", "3574B", "202");
        race.ClassR = race.ClassL = QStringLiteral("SPT");
        race.BumpL = QStringLiteral("BUMP");
        race.RTR = QStringLiteral("-0.003");
        race.mph660R = race.mph1000R = race.mph1320R = QStringLiteral("213.54");
        race.marginR = QStringLiteral("-0.1862");
        race.overundR = QStringLiteral("-0.041");
        Store(race);
        frmRaceLog* log = Open();
        Frame(log)->resize(1300, 500);
        log->AllCategories();
        for (const char* item : {"miMph1000", "miCategory"}) {
            log->MenuItem(QString::fromLatin1(item))->trigger();
        }
        QCoreApplication::processEvents();
        LogGridView& view = log->View();
        QVERIFY(!view.isColumnHidden(c));
        const QFontMetrics heading(GridFont(log->Grid().Style(kHeadingStyle)->font));
        const QFontMetrics normal(GridFont(log->Grid().Style(kNormalStyle)->font));
        const QString caption = kLogGridColumns[static_cast<std::size_t>(c)].caption;
        // The header draws its caption 3 pixels in from each side.
        QVERIFY2(view.header()->sectionSize(c) >= heading.horizontalAdvance(caption) + 6,
                 qPrintable(QStringLiteral("%1 in %2")
                                .arg(heading.horizontalAdvance(caption))
                                .arg(view.header()->sectionSize(c))));
        const QModelIndex group = view.model()->index(0, 0);
        const QModelIndex cell = view.model()->index(0, c, group);
        QVERIFY(cell.isValid());
        const QRect room = view.visualRect(cell);
        QVERIFY2(room.width() >= normal.horizontalAdvance(widest) + 6,
                 qPrintable(QStringLiteral("%1 in %2")
                                .arg(normal.horizontalAdvance(widest))
                                .arg(room.width())));
    }

    void theRightButtonOpensTheSettingsMenu() {
        frmRaceLog* log = Open();
        QStringList items;
        for (QAction* action : log->SettingsMenu().actions()) {
            items << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
        }
        QCOMPARE(items.join(QLatin1Char(' ')),
                 QStringLiteral("miPrintView miGridView - miView miRefresh - miFullScreen - "
                                "miCollapseAll miExpandAll - miPauseUpdates miClose"));
        QTest::mouseClick(log->View().viewport(), Qt::RightButton);
        QTRY_VERIFY(log->SettingsMenu().isVisible());
        log->SettingsMenu().hide();
    }

    void aClickOnTheBranchMarkOrADoubleClickOpensAndClosesAGroup_data() {
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("branch mark") << false;
        QTest::newRow("double click on the header") << true;
    }
    void aClickOnTheBranchMarkOrADoubleClickOpensAndClosesAGroup() {
        QFETCH(bool, doubleClick);
        frmRaceLog* log = Open();
        Store(Race("PRO ET        Q1", "7", "8"));
        log->UpdateDisplay();
        log->miCollapseAll_Click();
        QCoreApplication::processEvents();
        LogGridView& view = log->View();
        const QModelIndex group = view.model()->index(0, 0);
        QVERIFY(!view.isExpanded(group));
        const QRect row = view.visualRect(view.model()->index(0, ColumnIndex(RunColumn::Class)));
        const QPoint at =
            doubleClick ? row.center() : QPoint(view.indentation() / 2, row.center().y());
        for (const bool expanded : {true, false}) {
            if (doubleClick) {
                QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at);
            } else {
                QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
            }
            QTRY_COMPARE(view.isExpanded(group), expanded);
            QCOMPARE(log->Grid().index(0, 0).data(LogGridModel::ExpandedRole).toBool(), expanded);
        }
    }

    // The grid's scroll bar paints again only when its slider shows a change: a long log gains
    // two rows per race, which must not repaint it, while anything the racer can see must.
    void theScrollBarPaintsOnlyWhatShowsAChange_data() {
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("painted");
        QTest::newRow("two more rows of a long log") << 20002 << 0 << false;
        QTest::newRow("a short log grown by half") << 30 << 0 << true;
        QTest::newRow("the slider moved down the log") << 20000 << 10000 << true;
        QTest::newRow("a step off the top") << 20000 << 1 << true;
    }
    void theScrollBarPaintsOnlyWhatShowsAChange() {
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(bool, painted);
        QVERIFY(dynamic_cast<SteadyScrollBar*>(Open()->View().verticalScrollBar()));
        SteadyScrollBar bar(Qt::Vertical);
        bar.resize(16, 600);
        bar.setRange(0, maximum == 30 ? 20 : 20000);
        bar.setPageStep(25);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QTest::qWait(50);  // the first paints

        PaintCounter paints;
        bar.installEventFilter(&paints);
        bar.setRange(0, maximum);
        bar.setValue(value);
        QTest::qWait(50);
        QCOMPARE(paints.count > 0, painted);
    }

private:
    // A race as the broadcast brings it: first without its finish, then finished.
    void Store(const RunRecord& race) {
        RunRecord started = race;
        started.et1320L.clear();
        started.et1320R.clear();
        started.winR = false;
        tables->StoreRun(started);
        tables->StoreRun(race);
    }
    frmRaceLog* Open(bool show = true) {
        auto* log = new frmRaceLog(*tables, *settings);
        QMdiSubWindow* frame = area->addSubWindow(log);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        log->Load(*frame, 0x808080);
        if (show) {
            frame->show();
        }
        return log;
    }
    static QMdiSubWindow* Frame(frmRaceLog* log) {
        return qobject_cast<QMdiSubWindow*>(log->parentWidget());
    }
    QString Field(const char* name) const {
        return settings->QueryValue(kRaceLogFieldsKey, QString::fromLatin1(name));
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<RunTables> tables;
    std::unique_ptr<QMdiArea> area;
};

QTEST_MAIN(frmRaceLogTest)
#include "frmRaceLogTest.moc"
