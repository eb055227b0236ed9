// The main window's commands, status bar and start/stop, offscreen.

#include <QAction>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolTip>
#include <QtTest>

#include "gui/AirPanel.h"
#include "gui/ChildWindows.h"
#include "gui/CommandBars.h"
#include "gui/LockKeys.h"
#include "gui/LogGridView.h"
#include "gui/MainStatusBar.h"
#include "gui/StatusLamp.h"
#include "gui/ToolIcons.h"
#include "gui/frmMain.h"
#include "gui/frmRaceLog.h"
#include "gui/frmTimeSlip.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "shell/Station.h"
#include "shell/StationForwarders.h"
#include "sim/RaceDayGenerator.h"
#include "sim/SimulatedXpress.h"
#include "views/LogGridColumns.h"
#include "weatherlink/WeatherStore.h"

using namespace orvanrx;

namespace {

// The design's bands: each tool in order, "-" a separator.
const char* const kBandOrder[][2] = {
    {"miFile",
     "miOpenLog miSaveLog miSaveXML miSaveHTML miSaveXLS miClearLog miImportLogs - miPrintPreview "
     "- miClose - miExit"},
    // The View and Window menus end with the keyboard's additions.
    {"miView", "miRaceLog miFilter miStats miLogbook - miTimeSlip - miRaceLogCommands miTextSize"},
    {"miTools",
     "miChangeChannel miMyCar miPitView miWeather - miCalculator miBackgroundColor - miRefresh"},
    {"miWindow",
     "miTileHorizontally miTileVertically miCascade - miCloseAll miWindowList - miNextWindow "
     "miPreviousWindow"},
    {"miHelp", "miAbout"},
    {"tbMain", "miOpenLog miSaveLog miPrintPreview - miTimeSlip miRaceLog miFilter miStats"},
    {"tbColor",
     "miNoFill - miBlack miGray50 miDarkRed miDarkYellow miGreen miTeal miDarkBlue miVioliet "
     "miWhite miGray25 miRed miYellow miBrightGreen miTurquoise miBlue miPink - miMoreColors"},
    {"tbRaceLog", "miCategories - miExpand miCollapse - miPause miRefreshLog"},
};

// Caption, tool tip (empty: none designed), description.
const char* const kTools[][4] = {
    {"miOpenLog", "Open Log...", "Open Race Log", "Open Race Log (.csv)"},
    {"miSaveLog", "Save Log...", "Save Logged Runs", "Save Logged Runs to Disk"},
    {"miSaveXML", "Save as XML...", "", "Save Log as a XML File"},
    {"miSaveHTML", "Save as HTML...", "", "Save Log as a HTML File"},
    {"miSaveXLS", "Save as Excel...", "", "Save Log as a Excel File"},
    {"miClearLog", "Clear Log", "Clear Logged Runs", "Clear Logged Runs"},
    {"miPrintPreview", "Print Preview...", "Print Preview", "Print Preview"},
    {"miClose", "&Close", "Close Active Window", "Close Active Window"},
    {"miExit", "E&xit", "Exit Software", "Exit Software"},
    {"miRaceLog", "Race Log...", "Time Slip Race Log", "Time Slip Race Log"},
    {"miFilter", "Filter...", "Race Log Filter", "Race Log Filter"},
    {"miTimeSlip", "Time Slip...", "Time Slip", "Realtime Time Slip View"},
    {"miStats", "Statistics...", "Car Statistics", "Figures and Charts of Every Car"},
    {"miLogbook", "Logbook...", "Season Logbook",
     "Every Race of the Season, Notes and Set-up of My Car's Runs"},
    {"miImportLogs", "Import Race Logs...", "Import Race Logs into the Logbook",
     "Import Race Log Files into the Season Logbook"},
    {"miMyCar", "My Car...", "My Car Alert", "Alert When My Car Races"},
    {"miPitView", "Pit View...", "Pit View", "Live Time Slips on Phones in the Pits"},
    {"miWeather", "Weather...", "Weather",
     "Type or Fetch the Air: Temperature, Humidity, Barometer"},
    {"miChangeChannel", "Change Channel...", "Change USB Frequency", "Change USB Frequency"},
    {"miCalculator", "Calculator...", "Launch Calculator", "Launch Calculator"},
    {"miBackgroundColor", "Background Color", "Set Background Color", "Set Background Color"},
    {"miRefresh", "Refresh", "Refresh Screen", "Refresh Screen"},
    {"miTileHorizontally", "Tile &Horizontally", "", "Tile Windows Horizontally"},
    {"miTileVertically", "Tile &Vertically", "", "Tile Windows Vertically"},
    {"miCascade", "&Cascade", "", "Cascade Windows"},
    {"miCloseAll", "Close All", "", "Close All Open Windows"},
    {"miWindowList", "Window List", "", "Open Window Listing"},
    {"miAbout", "&About OrvanRX...", "", "About OrvanRX and OrvanUSB"},
    {"miNoFill", "No Fill", "", "Desktop Background Color"},
    {"miBrightGreen", "Green", "", "Bright Green"},
    {"miGreen", "Green", "", "Green"},
    {"miVioliet", "Violiet", "", "Violiet"},
    {"miGray50", "Gray 50%", "", "Gray 50%"},
    {"miMoreColors", "More Colors...", "", "Additional Colors..."},
    {"miCategories", "One Category", "One / All Categories", ""},
    {"miExpand", "Expand", "Expand All Categories", ""},
    {"miCollapse", "Collapse", "Collapse All Categories", ""},
    {"miPause", "Pause", "Pause Race Log Updates", ""},
    {"miRefreshLog", "Refresh", "Refresh Race Log", ""},
};

QString Sequence(const QList<QAction*>& actions) {
    QStringList names;
    for (QAction* action : actions) {
        names << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
    }
    return names.join(QLatin1Char(' '));
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        settings = std::make_unique<SettingsStore>(dir->filePath(QStringLiteral("OrvanRX.ini")));
        Build({});
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

    void bandsHoldTheirToolsInOrder_data() {
        QTest::addColumn<QString>("band");
        QTest::addColumn<QString>("tools");
        for (const auto& row : kBandOrder) {
            QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]);
        }
    }
    void bandsHoldTheirToolsInOrder() {
        QFETCH(QString, band);
        QFETCH(QString, tools);
        CommandBars& bars = window->Bars();
        QWidget* holder = bars.Menu(band) != nullptr ? static_cast<QWidget*>(bars.Menu(band))
                                                     : bars.ToolBar(band);
        QVERIFY(holder != nullptr);
        QCOMPARE(Sequence(holder->actions()), tools);
    }

    void menuBarOpensTheFiveMenus() {
        QStringList titles;
        for (QAction* action : window->menuBar()->actions()) {
            titles << action->text() + QLatin1Char('=') + action->menu()->objectName();
        }
        QCOMPARE(titles.join(QLatin1Char(' ')),
                 QStringLiteral("&File=miFile &View=miView &Tools=miTools &Window=miWindow "
                                "&Help=miHelp"));
        // Tools > Background Color opens the palette.
        QCOMPARE(window->Bars().Action(QStringLiteral("miBackgroundColor"))->menu()->objectName(),
                 QStringLiteral("tbColor"));
    }

    void everyToolHasItsTexts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("description");
        for (const auto& row : kTools) {
            QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1])
                                  << QString::fromLatin1(row[2]) << QString::fromLatin1(row[3]);
        }
    }
    void everyToolHasItsTexts() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, tip);
        QFETCH(QString, description);
        QAction* action = window->Bars().Action(name);
        QVERIFY(action != nullptr);
        QCOMPARE(action->text(), caption);
        if (!tip.isEmpty()) {
            QCOMPARE(action->toolTip(), tip);
        }
        QCOMPARE(action->statusTip(), description);
    }

    void oneActionPerToolNameSharedByMenuAndToolBar() {
        CommandBars& bars = window->Bars();
        for (const char* name :
             {"miOpenLog", "miSaveLog", "miPrintPreview", "miTimeSlip", "miRaceLog", "miFilter"}) {
            QAction* action = bars.Action(QString::fromLatin1(name));
            QVERIFY(bars.ToolBar(QStringLiteral("tbMain"))->actions().contains(action));
            QCOMPARE(window->findChildren<QAction*>(QString::fromLatin1(name)).size(), 1);
        }
        QCOMPARE(bars.Action(QStringLiteral("miOpenLog"))->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(bars.Action(QStringLiteral("miExit"))->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+Q")));
    }

    void paletteSetsTheBackgroundColour_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("value");
        QTest::newRow("Red") << QStringLiteral("miRed") << 192;
        QTest::newRow("Teal") << QStringLiteral("miTeal") << 8421376;
        QTest::newRow("White") << QStringLiteral("miWhite") << 16777215;
        QTest::newRow("Green") << QStringLiteral("miGreen") << 32768;
        QTest::newRow("Bright Green") << QStringLiteral("miBrightGreen") << 65280;
        QTest::newRow("Pink") << QStringLiteral("miPink") << 12583104;
        QTest::newRow("No Fill") << QStringLiteral("miNoFill") << -2147483647;
    }
    void paletteSetsTheBackgroundColour() {
        QFETCH(QString, name);
        QFETCH(int, value);
        window->Bars().Action(name)->trigger();
        QCOMPARE(window->BackColor(), value);
    }

    void dispatchKnowsEveryToolAndNothingElse() {
        for (const auto& row : kBandOrder) {
            for (const QString& name : QString::fromLatin1(row[1]).split(QLatin1Char(' '))) {
                if (name == QLatin1String("-") || name == QLatin1String("miBackgroundColor") ||
                    name == QLatin1String("miMoreColors") ||
                    name == QLatin1String("miChangeChannel") || name == QLatin1String("miAbout") ||
                    name == QLatin1String("miCalculator") || name == QLatin1String("miExit") ||
                    name == QLatin1String("miMyCar") || name == QLatin1String("miPitView") ||
                    name == QLatin1String("miWeather") ||
                    name.startsWith(QLatin1String("miSave")) ||
                    name == QLatin1String("miOpenLog") || name == QLatin1String("miClearLog")) {
                    continue;  // modal dialogs (the file commands have their own test), a
                               // program start and the exit: below
                }
                if (name == QLatin1String("miRaceLogCommands") ||
                    name == QLatin1String("miTextSize") || name == QLatin1String("miNextWindow") ||
                    name == QLatin1String("miPreviousWindow")) {
                    QVERIFY(!window->RunTool(name));  // the keyboard's additions, not tools
                    continue;
                }
                QVERIFY2(window->RunTool(name), qPrintable(name));
            }
        }
        QVERIFY(!window->RunTool(QStringLiteral("miBackgroundColor")));  // opens its sub-menu
        QVERIFY(!window->RunTool(QStringLiteral("miNoSuchTool")));
        QVERIFY(!window->RunTool(QString()));
    }

    void windowListAndItsEntriesRunNoCommand() {
        StartOn({});
        QMdiSubWindow* raceLog = window->Windows().RaceLogFrame();
        QVERIFY(raceLog != nullptr);
        auto* other = window->MdiArea().addSubWindow(new QWidget);
        other->show();
        window->MdiArea().setActiveSubWindow(other);
        const int color = window->BackColor();
        QVERIFY(window->RunTool(QStringLiteral("miWindowList")));
        QVERIFY(window->RunTool(QStringLiteral("miChildWindow")));
        QCOMPARE(window->MdiArea().activeSubWindow(), other);
        QCOMPARE(window->MdiArea().subWindowList().size(), 2);
        QCOMPARE(window->BackColor(), color);
        // Choosing an entry only activates its window.
        QMenu* list = window->Bars().WindowListMenu();
        Q_EMIT list->aboutToShow();
        QCOMPARE(list->actions().size(), 2);
        for (QAction* entry : list->actions()) {
            QCOMPARE(entry->objectName(), QStringLiteral("miChildWindow"));
            if (entry->text() == QLatin1String("Race Log")) {
                entry->trigger();
            }
        }
        QCOMPARE(window->MdiArea().activeSubWindow(), raceLog);
    }

    void arrangementsTileAndCloseAllEmptiesTheArea() {
        StartOn({});
        window->resize(1000, 800);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* second = window->MdiArea().addSubWindow(new QWidget);
        second->show();
        const QRect area = window->MdiArea().viewport()->rect();

        window->RunTool(QStringLiteral("miTileHorizontally"));
        // One above the other, each the full width, together the full height.
        QList<QMdiSubWindow*> children = window->MdiArea().subWindowList();
        for (QMdiSubWindow* child : children) {
            QCOMPARE(child->width(), area.width());
            QVERIFY(qAbs(child->height() - area.height() / 2) <= 1);
        }
        QCOMPARE(children[0]->height() + children[1]->height(), area.height());
        QVERIFY(children[0]->y() != children[1]->y());

        window->RunTool(QStringLiteral("miTileVertically"));
        for (QMdiSubWindow* child : children) {
            QCOMPARE(child->height(), area.height());
            QVERIFY(qAbs(child->width() - area.width() / 2) <= 1);
        }
        QCOMPARE(children[0]->width() + children[1]->width(), area.width());
        QVERIFY(children[0]->x() != children[1]->x());

        window->RunTool(QStringLiteral("miCloseAll"));
        QTRY_VERIFY(window->MdiArea().subWindowList().isEmpty());
        QTRY_VERIFY(!window->RaceLogOpen());
        QVERIFY(!window->Bars().ToolBar(QStringLiteral("tbRaceLog"))->isVisibleTo(window.get()));
        window->RunTool(QStringLiteral("miClose"));  // nothing to close: nothing happens
        window->RunTool(QStringLiteral("miRaceLog"));
        QVERIFY(window->RaceLogOpen());
        QVERIFY(window->Bars().ToolBar(QStringLiteral("tbRaceLog"))->isVisibleTo(window.get()));
    }

    // The Pause tool stays pressed exactly while the race log is paused, whichever way the
    // pause began or ended.
    void thePauseToolShowsThePause_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("paused");
        QTest::newRow("the tool") << "tool" << true;
        QTest::newRow("the tool twice") << "tool tool" << false;
        QTest::newRow("the window's menu") << "menu" << true;
        QTest::newRow("the menu, then the tool") << "menu tool" << false;
        QTest::newRow("refresh ends it") << "tool refresh" << false;
        QTest::newRow("all categories ends it") << "tool all" << false;
        QTest::newRow("closing ends it") << "tool close" << false;
        QTest::newRow("the tool with the window closed") << "close tool" << false;
    }
    void thePauseToolShowsThePause() {
        QFETCH(QString, command);
        QFETCH(bool, paused);
        StartOn({});
        QAction* pause = window->Bars().Action(QStringLiteral("miPause"));
        QVERIFY(pause->isCheckable());
        QVERIFY(!pause->isChecked());
        for (const QString& step : command.split(QLatin1Char(' '))) {
            frmRaceLog* raceLog = window->Windows().RaceLog();
            if (step == QLatin1String("tool")) {
                pause->trigger();
            } else if (step == QLatin1String("menu")) {
                raceLog->MenuItem(QStringLiteral("miPauseUpdates"))->trigger();
            } else if (step == QLatin1String("refresh")) {
                window->RunTool(QStringLiteral("miRefreshLog"));
            } else if (step == QLatin1String("all")) {
                raceLog->AllCategories();
            } else if (step == QLatin1String("close")) {
                qobject_cast<QMdiSubWindow*>(raceLog->parentWidget())->close();
                QTRY_VERIFY(!window->RaceLogOpen());
            }
        }
        QCOMPARE(pause->isChecked(), paused);
        if (frmRaceLog* raceLog = window->Windows().RaceLog()) {
            QCOMPARE(raceLog->Paused(), paused);
        }
    }

    // Each race log tool shows an icon, also on a desktop without an icon theme.
    void theRaceLogToolsHaveIconsWithoutATheme_data() {
        QTest::addColumn<QString>("tool");
        for (const char* name : {"miCategories", "miExpand", "miCollapse", "miPause"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }
    void theRaceLogToolsHaveIconsWithoutATheme() {
        QFETCH(QString, tool);
        const QString theme = QIcon::themeName();
        const QStringList paths = QIcon::themeSearchPaths();
        QIcon::setThemeSearchPaths({});
        QIcon::setThemeName(QString());
        const QIcon icon = ToolIcon(tool);
        QIcon::setThemeSearchPaths(paths);
        QIcon::setThemeName(theme);
        QVERIFY(!icon.isNull());
        QVERIFY(!icon.pixmap(22, 22).isNull());
        // The expand and collapse icons are not the same picture.
        if (tool != QLatin1String("miExpand")) {
            QVERIFY(icon.pixmap(22, 22).toImage() !=
                    ToolIcon(QStringLiteral("miExpand")).pixmap(22, 22).toImage());
        }
    }

    void statusBarFollowsTheReceiverOpenLostAndBack() {
        // Channel 2, a race's first replies, then the receiver pulled for 20 ticks.
        std::vector<trace::Step> steps = {trace::Frequency{217300000}, trace::Status{0x07},
                                          trace::Signal{100}};
        steps.push_back(trace::Idle{120});
        steps.push_back(trace::Unplug{20});
        steps.push_back(trace::Idle{200});
        StartOn(steps);
        auto* frequency = window->findChild<QLabel*>(QStringLiteral("lblFrequency"));
        auto* device = window->findChild<QLabel*>(QStringLiteral("lblOrvanUSB"));
        auto* cd = window->findChild<StatusLamp*>(QStringLiteral("txtCD"));
        auto* ff = window->findChild<StatusLamp*>(QStringLiteral("txtFF"));
        auto* signal = window->findChild<QProgressBar*>(QStringLiteral("usbSignal"));
        QCOMPARE(frequency->text(), QStringLiteral("Searching"));
        QVERIFY(device->isEnabled());
        QVERIFY(frequency->isEnabled());
        QVERIFY(!cd->Lit());

        RunCycles(100);  // one status refresh (3000 ms of timer time)
        QCOMPARE(frequency->text(), QStringLiteral("Channel 2"));
        QVERIFY(cd->Lit());
        QVERIFY(!ff->Lit());
        QCOMPARE(ff->ColorValue(), 64);
        const int level = signal->value();
        QVERIFY(level > 0 && level <= 244);

        RunCycles(30);  // the unplug: the receiver is lost
        QCOMPARE(frequency->text(), QStringLiteral("Channel ?"));
        QVERIFY(!device->isEnabled());
        QVERIFY(!frequency->isEnabled());
        QCOMPARE(signal->value(), level);  // the bars keep their values
        QVERIFY(cd->Lit());

        RunCycles(20);  // plugged in again: opened by the search
        QVERIFY(device->isEnabled());
        RunCycles(100);
        QCOMPARE(frequency->text(), QStringLiteral("Channel 2"));
    }

    // A save failure's text stands in line where it fits beside the panels, else on a row of
    // its own the bar's width, where on a laptop screen at twice the scale it reads in full up
    // to a short path; only a text wider than the window is cut short. The window never grows
    // past the screen, and every panel stays whole and in view.
    void aLongStatusTextReadsAndKeepsEveryPanelInView_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("ownRow");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<bool>("air");
        const QString usual =
            QStringLiteral("/home/racer/.local/share/OrvanRX/2026-12-07 0943.csv");
        const QString longest =
            QStringLiteral("/media/racer/USB STICK/") + QString(200, u'x') + QStringLiteral(".csv");
        QTest::newRow("1366 wide, short path")
            << 1366 << QStringLiteral("x.csv") << false << true << false;
        QTest::newRow("1366 wide") << 1366 << usual << true << true << false;
        QTest::newRow("1366 wide, long path") << 1366 << longest << true << false << false;
        QTest::newRow("at twice the scale, short path")
            << 683 << QStringLiteral("/tmp/x.csv") << true << true << false;
        QTest::newRow("at twice the scale")
            << 683 << QStringLiteral("/home/racer/2026-12-07 0943.csv") << true << true << false;
        QTest::newRow("at twice the scale, long path") << 683 << longest << true << false << false;
        QTest::newRow("1366 wide, the air known") << 1366 << usual << true << true << true;
        QTest::newRow("at twice the scale, the air known")
            << 683 << QStringLiteral("/home/racer/2026-12-07 0943.csv") << true << true << true;
    }
    void aLongStatusTextReadsAndKeepsEveryPanelInView() {
        QFETCH(int, width);
        QFETCH(QString, path);
        QFETCH(bool, ownRow);
        QFETCH(bool, whole);
        QFETCH(bool, air);
        MainStatusBar& bar = window->StatusBar();
        bar.AttachStatusControls();
        WeatherStore weather(dir->filePath(QStringLiteral("logbook.sqlite")));
        const QDateTime now(QDate(2026, 6, 13), QTime(14, 30));
        AirPanel* panel = nullptr;
        if (air) {
            panel = new AirPanel(weather, [now] { return now; });
            bar.AddAirPanel(panel);
            air::WeatherSample sample;
            sample.tempC = 31.0;
            sample.humidity = 40.0;
            sample.baroHpa = 980.0;
            QSignalSpy stored(&weather, &WeatherStore::Stored);
            for (const char* time : {"2026-06-13 13:30:00", "2026-06-13 14:20:00"}) {
                sample.time = QString::fromLatin1(time);
                sample.tempC += 3.0;
                weather.Add(sample);
            }
            QTRY_COMPARE(stored.size(), 2);
            QVERIFY(!panel->isHidden());
        }
        window->resize(width, 380);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const QString text = QStringLiteral("Race log not saved: ") + path +
                             QStringLiteral(": No space left on device");
        bar.SetStatusText(text);
        // A demo, with the venue's scroll message running.
        window->ShowSimulatedReceiver(QStringLiteral("Demo"));
        bar.SetScrollMessageText(QStringLiteral("ELIMINATIONS START AT 2 PM IN THE STOCK CLASS"));
        bar.SetScrollMessageVisible(true);
        QCoreApplication::processEvents();
        auto* status = bar.findChild<QLabel*>(QStringLiteral("lblStatus"));
        QCOMPARE(bar.StatusText(), text);
        QCOMPARE(status->toolTip(), text);
        QVERIFY(status->isVisible());
        // The window can stay on a laptop screen: nothing asks for more than its width.
        QVERIFY2(window->minimumSizeHint().width() <= width,
                 qPrintable(QString::number(window->minimumSizeHint().width())));
        QTRY_COMPARE(window->width(), width);
        QCOMPARE(bar.StatusTextOnOwnRow(), ownRow);
        const int textWidth = status->fontMetrics().horizontalAdvance(text);
        QCOMPARE(status->contentsRect().width() >= textWidth, whole);
        QVERIFY(status->geometry().right() < bar.width());
        if (ownRow) {
            QVERIFY(status->width() >= bar.width() - 2);
        }
        for (const char* name :
             {"lblSimulated", "lblFrequency", "lblOrvanUSB", "lblNUM", "lblDATE"}) {
            const auto* panel = bar.findChild<QLabel*>(QString::fromLatin1(name));
            QVERIFY2(panel->width() >= panel->sizeHint().width(), name);  // not cut either
            QVERIFY2(panel->isVisible(), name);
            QVERIFY2(panel->geometry().right() < bar.width(), name);
            QVERIFY2(!panel->geometry().intersects(status->geometry()), name);
            if (ownRow) {
                QVERIFY2(panel->geometry().top() > status->geometry().bottom(), name);
            } else {
                QVERIFY2(panel->geometry().left() > status->geometry().right(), name);
            }
        }
        if (panel != nullptr) {
            // The air panel gives way before any other.
            // While the status text speaks, the air steps aside; it comes back after.
            QVERIFY(panel->isHidden());
        }
        // A hovered command's description goes on the panels' row, lblStatus stays; with the
        // text gone, the bar is one row again.
        bar.showMessage(QStringLiteral("Realtime Time Slip View"));
        QCOMPARE(status->isVisible(), ownRow);
        bar.clearMessage();
        const int twoRows = bar.height();
        bar.SetStatusText(QString());
        QCoreApplication::processEvents();
        QVERIFY(!status->isVisible());
        QVERIFY(!bar.StatusTextOnOwnRow());
        QTRY_VERIFY(ownRow ? bar.height() < twoRows : bar.height() == twoRows);
        if (panel != nullptr) {
            QVERIFY(!panel->isHidden());
            delete panel;
        }
    }

    // In the usual bar (a demo with its scroll message, no status text) at twice the scale on a
    // laptop screen, the air panel keeps the density altitude and its trend.
    void theAirKeepsItsFigureAtTwiceTheScale() {
        MainStatusBar& bar = window->StatusBar();
        bar.AttachStatusControls();
        window->ShowSimulatedReceiver(QStringLiteral("Demo"));
        bar.SetScrollMessageText(QStringLiteral("ELIMINATIONS START AT 2 PM IN THE STOCK CLASS"));
        bar.SetScrollMessageVisible(true);
        WeatherStore weather(dir->filePath(QStringLiteral("logbook.sqlite")));
        auto* panel =
            new AirPanel(weather, [] { return QDateTime(QDate(2026, 6, 13), QTime(14, 30)); });
        bar.AddAirPanel(panel);
        air::WeatherSample sample;
        sample.humidity = 40.0;
        sample.baroHpa = 980.0;
        QSignalSpy stored(&weather, &WeatherStore::Stored);
        for (const char* time : {"2026-06-13 13:30:00", "2026-06-13 14:20:00"}) {
            sample.time = QString::fromLatin1(time);
            sample.tempC -= 3.0;
            weather.Add(sample);
        }
        QTRY_COMPARE(stored.size(), 2);
        window->resize(683, 380);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_COMPARE(window->width(), 683);
        // At least the trend, with the whole air in the tool tip.
        QVERIFY2(panel->ShownText().endsWith(QStringLiteral("\u25B2")) ||
                     panel->ShownText().endsWith(QStringLiteral("\u25BC")) ||
                     panel->ShownText().endsWith(QStringLiteral("\u25CF")),
                 qPrintable(panel->ShownText()));
        delete panel;
    }

    void aSimulatedReceiverIsNamedInTheCaptionAndTheStatusBar_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::newRow("demo") << QStringLiteral("Demo") << QStringLiteral("OrvanRX - Demo");
        QTest::newRow("replay") << QStringLiteral("Replay") << QStringLiteral("OrvanRX - Replay");
    }
    void aSimulatedReceiverIsNamedInTheCaptionAndTheStatusBar() {
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        window->StatusBar().AttachStatusControls();
        window->show();
        QCOMPARE(window->windowTitle(), QStringLiteral("OrvanRX"));
        QVERIFY(window->findChild<QLabel*>(QStringLiteral("lblSimulated")) == nullptr);
        window->ShowSimulatedReceiver(kind);
        QCOMPARE(window->windowTitle(), caption);
        auto* panel = window->findChild<QLabel*>(QStringLiteral("lblSimulated"));
        QVERIFY(panel != nullptr);
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->text(), kind);
    }

    // On a laptop screen the time slip first opens beside the race log's results, not on them.
    void theTimeSlipFirstOpensLeftOfTheRaceLogsResults() {
        StartOn({trace::Idle{10}});
        // The load maximizes the window on the test screen (800 x 600); a laptop's is wider.
        window->setWindowState(Qt::WindowNoState);
        window->setGeometry(0, 0, 1366, 740);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCoreApplication::processEvents();
        QCOMPARE(window->MdiArea().width(), 1366);
        frmRaceLog* raceLog = window->Windows().RaceLog();
        QVERIFY(raceLog != nullptr);
        QVERIFY(window->RunTool(QStringLiteral("miTimeSlip")));
        QCoreApplication::processEvents();
        frmTimeSlip* slip = window->Windows().TimeSlip();
        QVERIFY(slip != nullptr);
        auto* slipFrame = qobject_cast<QMdiSubWindow*>(slip->parentWidget());
        const QRect covered = slipFrame->geometry();
        QWidget* area = window->MdiArea().viewport();
        LogGridView& view = raceLog->View();
        for (const char* key : {"et1320", "mph1320", "margin", "win"}) {
            const int column = LogGridColumnOf(QLatin1String(key));
            const QPoint left = view.viewport()->mapTo(
                area, QPoint(view.header()->sectionViewportPosition(column), 0));
            const QRect shown(left, QSize(view.header()->sectionSize(column), 40));
            const QString where =
                QStringLiteral("%1: column %2, slip %3, area %4, log %5")
                    .arg(QLatin1String(key))
                    .arg(QStringLiteral("%1+%2").arg(shown.x()).arg(shown.width()))
                    .arg(QStringLiteral("%1+%2").arg(covered.x()).arg(covered.width()))
                    .arg(area->width())
                    .arg(raceLog->parentWidget()->width());
            // The column is in view at all, and not under the slip.
            QVERIFY2(shown.right() < area->width(), qPrintable(where));
            QVERIFY2(!covered.intersects(shown), qPrintable(where));
        }
        QVERIFY(covered.left() >= 0);
    }

    // A hovered command's description is never drawn over by the scroll message or lblStatus,
    // not even when they are refreshed while it shows.
    void aCommandsDescriptionHasTheBarToItself() {
        MainStatusBar& bar = window->StatusBar();
        bar.AttachStatusControls();
        window->resize(1366, 500);  // room for lblStatus in line
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* scroll = bar.findChild<QWidget*>(QStringLiteral("scrMessage"));
        auto* status = bar.findChild<QLabel*>(QStringLiteral("lblStatus"));
        bar.SetScrollMessageText(QStringLiteral("TECH CARD AT THE TOWER"));
        bar.SetScrollMessageVisible(true);
        bar.SetStatusText(QStringLiteral("Race log not saved: x.csv: No space left on device"));
        QVERIFY(scroll->isVisible() && status->isVisible());

        bar.showMessage(QStringLiteral("Realtime Time Slip View"));
        QVERIFY(!scroll->isVisible() && !status->isVisible());
        bar.SetScrollMessageVisible(true);  // the status refresh every 3000 ms
        bar.SetScrollMessageText(QStringLiteral("TECH CARD AT THE TOWER"));
        bar.SetStatusText(QStringLiteral("Race log not saved: y.csv: No space left on device"));
        QVERIFY(!scroll->isVisible() && !status->isVisible());

        bar.clearMessage();
        QVERIFY(scroll->isVisible() && status->isVisible());
        bar.SetScrollMessageVisible(false);
        bar.showMessage(QStringLiteral("Open Race Log (.csv)"));
        bar.clearMessage();
        QVERIFY(!scroll->isVisible());
    }

    // A tool tip shows only where it says more than the caption in view.
    void noToolTipOnlyRepeatsItsCaption_data() {
        QTest::addColumn<QString>("band");
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("shown");
        QTest::newRow("menu item, no tip of its own") << "miWindow"
                                                      << "miTileHorizontally"
                                                      << "";
        QTest::newRow("menu item, its dots dropped") << "miView"
                                                     << "miTimeSlip"
                                                     << "";
        QTest::newRow("menu item with a tip") << "miFile"
                                              << "miOpenLog"
                                              << "Open Race Log";
        QTest::newRow("text button") << "tbColor"
                                     << "miMoreColors"
                                     << "";
        QTest::newRow("text button with a tip") << "tbRaceLog"
                                                << "miPause"
                                                << "Pause Race Log Updates";
        QTest::newRow("icon button") << "tbMain"
                                     << "miTimeSlip"
                                     << "Time Slip";
    }
    void noToolTipOnlyRepeatsItsCaption() {
        QFETCH(QString, band);
        QFETCH(QString, tool);
        QFETCH(QString, shown);
        window->show();
        window->Bars().ToolBar(QStringLiteral("tbRaceLog"))->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QAction* action = window->Bars().Action(tool);
        QWidget* target = nullptr;
        QPoint at;
        if (QMenu* menu = window->Bars().Menu(band)) {
            menu->popup(QPoint(10, 10));
            QVERIFY(QTest::qWaitForWindowExposed(menu));
            target = menu;
            at = menu->actionGeometry(action).center();
        } else {
            target = window->Bars().ToolBar(band)->widgetForAction(action);
            at = target->rect().center();
        }
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, at, target->mapToGlobal(at));
        QCoreApplication::sendEvent(target, &help);
        QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), shown);
        QToolTip::hideText();
        if (auto* menu = qobject_cast<QMenu*>(target)) {
            menu->close();
        }
    }

    void capsAndNumFollowTheKeyboardsLockStates() {
        MainStatusBar& bar = window->StatusBar();
        bar.AttachStatusControls();
        auto* caps = bar.findChild<QLabel*>(QStringLiteral("lblCAPS"));
        auto* num = bar.findChild<QLabel*>(QStringLiteral("lblNUM"));
        // Without a screen the platform cannot tell: both greyed.
        QVERIFY(!ReadDesktopLockKeys());
        QVERIFY(!caps->isEnabled() && !num->isEnabled());

        std::optional<LockKeyStates> states = LockKeyStates{true, false};
        bar.SetLockKeySource([&states] { return states; });
        QVERIFY(caps->isEnabled());
        QVERIFY(!num->isEnabled());
        // Caps Lock pressed in one of the program's windows: shown at its release.
        states = LockKeyStates{false, true};
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_CapsLock, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &release);
        QVERIFY(!caps->isEnabled());
        QVERIFY(num->isEnabled());
        // Changed elsewhere, or no longer known: shown within a moment.
        states = LockKeyStates{true, true};
        QTRY_VERIFY_WITH_TIMEOUT(caps->isEnabled() && num->isEnabled(), 2000);
        states.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!caps->isEnabled() && !num->isEnabled(), 2000);
        bar.SetLockKeySource({});
    }

    void bufferBarFollowsDataRepliesWithinItsRange() {
        StartOn({});
        MainStatusBar& bar = window->StatusBar();
        auto* buffer = window->findChild<QProgressBar*>(QStringLiteral("usbBuffer"));
        bar.SetBufferPosition(32767);
        QCOMPARE(buffer->value(), 32767);
        bar.SetBufferPosition(40000);
        QCOMPARE(buffer->value(), 32768);
        bar.SetSignalLevel(300);
        QCOMPARE(window->findChild<QProgressBar*>(QStringLiteral("usbSignal"))->value(), 244);
    }

    void unloadKeepsTheColourAndTheRaceLogPlacementOnce() {
        StartOn(GenerateRaceDay({2, 3, 0.0, false}).steps);
        RunCycles(2000);
        window->RunTool(QStringLiteral("miTeal"));
        window->close();  // the close box: the orderly unload
        QVERIFY(window->Unloaded());
        QVERIFY(!window->tmrMain().isActive());
        QCOMPARE(settings->QueryValue(kMainScreenSettingsKey, QStringLiteral("BackColor")),
                 QStringLiteral("8421376"));
        QVERIFY(settings->QueryValue(kRaceLogScreenSettingsKey, QStringLiteral("WindowState")) !=
                QStringLiteral("No Key Value"));
        QVERIFY(settings->QueryValue(kProgramKey, QStringLiteral("Venue")) !=
                QStringLiteral("No Key Value"));
        QVERIFY(QFile::exists(station->LogFileName()));
        window->RunTool(QStringLiteral("miRed"));
        window->Unload();  // a second unload writes nothing
        QCOMPARE(settings->QueryValue(kMainScreenSettingsKey, QStringLiteral("BackColor")),
                 QStringLiteral("8421376"));
    }

    void firstStartStoresTheWorkspaceColourReference() {
        StartOn({}, /*keepTimer=*/true);
        QCOMPARE(settings->QueryValue(kMainScreenSettingsKey, QStringLiteral("BackColor")),
                 QStringLiteral("-2147483636"));
        QVERIFY(window->tmrMain().isActive());
        QCOMPARE(window->tmrMain().interval(), 30);
    }

private:
    // The main window over a station on a simulated receiver playing `steps`, not loaded.
    void Build(std::vector<trace::Step> steps) {
        window.reset();
        station.reset();
        sim = std::make_unique<SimulatedXpress>(std::move(steps));
        station = std::make_unique<Station>(Station::Setup{*sim, *settings, forwarders.indicators,
                                                           forwarders.observer, SystemClock(),
                                                           sim->Clock()});
        window = std::make_unique<frmMain>(*station, forwarders, *settings);
    }
    void StartOn(std::vector<trace::Step> steps, bool keepTimer = false) {
        Build(std::move(steps));
        window->Load(dir->filePath(QStringLiteral("data")));
        loaded = true;
        if (!keepTimer) {
            window->tmrMain().stop();  // the test drives the cycles itself
        }
    }
    void RunCycles(int count) {
        for (int i = 0; i < count; ++i) {
            station->Loop().RunPollCycle();
        }
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SettingsStore> settings;
    StationForwarders forwarders;
    bool loaded = false;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<SimulatedXpress> sim;
    std::unique_ptr<Station> station;
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
