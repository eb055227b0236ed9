#include "gui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QToolBar>
#include <exception>

#include "gui/AccessibleInterfaces.h"
#include "gui/Appearance.h"
#include "gui/ChildWindows.h"
#include "gui/ColorValue.h"
#include "gui/CommandBars.h"
#include "gui/FileCommands.h"
#include "gui/MainStatusBar.h"
#include "gui/MyCarAlert.h"
#include "gui/TextSize.h"
#include "gui/ToolTable.h"
#include "gui/frmAbout.h"
#include "gui/frmChangeChannel.h"
#include "gui/frmLogbook.h"
#include "gui/frmRaceLog.h"
#include "settings/SettingsKeys.h"
#include "shell/DataFolder.h"
#include "shell/Station.h"
#include "shell/StationForwarders.h"

namespace orvanrx {

frmMain::frmMain(Station& station, StationForwarders& forwarders, const SettingsStore& settings,
                 QWidget* parent)
    : QMainWindow(parent),
      station_(station),
      forwarders_(forwarders),
      settings_(settings),
      mdiArea_(new QMdiArea(this)),
      statusBar_(new MainStatusBar(this)),
      backColor_(kAppWorkspaceReference) {
    InstallAccessibleInterfaces();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("OrvanRX"));
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea_);
    setStatusBar(statusBar_);
    bars_ = new CommandBars(*this, [this](const QString& name) { RunTool(name); });
    windows_ = new ChildWindows(
        ChildWindows::Parts{*mdiArea_, *bars_, station.Buffer(), station.Tables(), settings,
                            [this] { return backColor_; },
                            [this] { return files_->ShownLogPath(); },
                            [this](const LogGridSheet& sheet, const LogTitle& title) {
                                files_->ExportPdf(sheet, title);
                            },
                            station.Now()},
        this);
    files_ = std::make_unique<FileCommands>(FileCommands::Parts{
        *this, station, settings, [this] { return windows_->RaceLog(); },
        [this] { windows_->LogReplaced(); },
        [this](const std::function<void()>& command) { WithTimerStopped(command); }});
    forwarders_.indicators.ForwardTo(statusBar_);
    forwarders_.observer.ForwardTo(windows_);
    connect(bars_, &CommandBars::ChildWindowChosen, this, [this](QWidget* child) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(child)) {
            mdiArea_->setActiveSubWindow(sub);
        }
    });
    BuildDispatch();
    const int textSize = ReadTextSize(settings_);
    windows_->SetTextSize(textSize);
    AddTextSizeMenu(*bars_->Menu(QLatin1String(tool::miView)), textSize, [this](int percent) {
        SaveTextSize(settings_, percent);
        windows_->SetTextSize(percent);
    });
    tmrMain_.setObjectName(QStringLiteral("tmrMain"));
    tmrMain_.setInterval(PollLoop::kIntervalMs);
    tmrMain_.setTimerType(Qt::PreciseTimer);
    connect(&tmrMain_, &QTimer::timeout, this, &frmMain::tmrMain_Timer);
    resize(1024, 700);
}

frmMain::~frmMain() {
    forwarders_.indicators.ForwardTo(nullptr);
    forwarders_.observer.ForwardTo(nullptr);
}

void frmMain::Load(const QString& dataFolderBase) {
    try {
        setWindowState(windowState() | Qt::WindowMaximized);
        const QString logFileName = StartLogFileName(dataFolderBase, station_.Now());
        station_.Start(logFileName, [this] { windows_->ShowRaceLog(); });
        statusBar_->AttachStatusControls();
        SetBackColor(RestoreBackColor(settings_, kMainScreenSettingsKey, backColor_));
    } catch (const std::exception&) {
        QMessageBox::critical(this, QStringLiteral("Error - frmMain"),
                              QStringLiteral("Error detected in form load event!"));
    }
    tmrMain_.start();
}

void frmMain::Unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    tmrMain_.stop();
    station_.Stop([this] { windows_->CloseAtUnload(); });
    SaveBackColor(settings_, kMainScreenSettingsKey, backColor_);
}

void frmMain::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

void frmMain::tmrMain_Timer() {
    for (int i = 0; i < cyclesPerTimeout_ && tmrMain_.isActive(); ++i) {
        const TickOutcome outcome = station_.Loop().RunPollCycle();
        if (afterCycle_) {
            afterCycle_(outcome);
        }
    }
}

void frmMain::SetBackColor(int value) {
    backColor_ = value;
    ApplyBackColor(*mdiArea_, value);
}

bool frmMain::RunTool(const QString& name) {
    const auto command = dispatch_.find(name);
    if (command == dispatch_.end()) {
        return false;
    }
    if (command->second) {
        command->second();
    }
    return true;
}

void frmMain::WithTimerStopped(const Command& command) {
    tmrMain_.stop();
    if (command) {
        command();
    }
    if (!unloaded_) {
        tmrMain_.start();
    }
}

void frmMain::BuildDispatch() {
    const Command nothing;
    dispatch_ = {
        {QLatin1String(tool::miOpenLog), [this] { files_->OpenLog(); }},
        {QLatin1String(tool::miSaveLog), [this] { files_->SaveLog(); }},
        {QLatin1String(tool::miSaveXML), [this] { files_->Export(ExportCommand::Xml); }},
        {QLatin1String(tool::miSaveHTML), [this] { files_->Export(ExportCommand::Html); }},
        {QLatin1String(tool::miSaveXLS), [this] { files_->Export(ExportCommand::Xlsx); }},
        {QLatin1String(tool::miClearLog), [this] { files_->ClearLog(); }},
        {QLatin1String(tool::miPrintPreview), [this] { windows_->ShowPrintViews(); }},
        {QLatin1String(tool::miClose),
         [this] {
             if (QMdiSubWindow* active = mdiArea_->activeSubWindow()) {
                 active->close();
             }
         }},
        {QLatin1String(tool::miExit), [this] { close(); }},
        {QLatin1String(tool::miRaceLog), [this] { windows_->ShowRaceLog(); }},
        {QLatin1String(tool::miFilter), [this] { windows_->ShowFilter(); }},
        {QLatin1String(tool::miTimeSlip), [this] { windows_->ShowTimeSlip(); }},
        {QLatin1String(tool::miStats), [this] { windows_->ShowStats(); }},
        {QLatin1String(tool::miLogbook), [this] { windows_->ShowLogbook(); }},
        {QLatin1String(tool::miImportLogs),
         [this] {
             if (!windows_->LogbookPath().isEmpty()) {
                 ImportRaceLogsWithDialog(this, windows_->LogbookPath());
                 if (frmLogbook* logbook = windows_->LogbookWindow()) {
                     logbook->Refresh();
                 }
             }
         }},
        {QLatin1String(tool::miMyCar), [this] { windows_->MyCar().ShowDialog(this); }},
        {QLatin1String(tool::miChangeChannel), [this] { miChangeChannel_Click(); }},
        {QLatin1String(tool::miCalculator), [this] { miCalculator_Click(); }},
        {QLatin1String(tool::miRefresh), [this] { miRefresh_Click(); }},
        {QLatin1String(tool::miMoreColors), [this] { miMoreColors_Click(); }},
        {QLatin1String(tool::miTileHorizontally), [this] { TileHorizontally(); }},
        {QLatin1String(tool::miTileVertically), [this] { TileVertically(); }},
        {QLatin1String(tool::miCascade), [this] { mdiArea_->cascadeSubWindows(); }},
        {QLatin1String(tool::miCloseAll), [this] { miCloseAll_Click(); }},
        {QLatin1String(tool::miWindowList), nothing},
        {QLatin1String(tool::miChildWindow), nothing},
        {QLatin1String(tool::miCategories), RaceLogCommand(&frmRaceLog::miAllCategories_Click)},
        {QLatin1String(tool::miExpand), RaceLogCommand(&frmRaceLog::miExpandAll_Click)},
        {QLatin1String(tool::miCollapse), RaceLogCommand(&frmRaceLog::miCollapseAll_Click)},
        {QLatin1String(tool::miPause),
         [this] {
             // The tool shows the race log's state, also when there is none to pause.
             frmRaceLog* raceLog = windows_->RaceLog();
             if (raceLog != nullptr) {
                 raceLog->miPauseUpdates_Click();
             }
             bars_->Action(QLatin1String(tool::miPause))
                 ->setChecked(raceLog != nullptr && raceLog->Paused());
         }},
        {QLatin1String(tool::miRefreshLog), RaceLogCommand(&frmRaceLog::miRefresh_Click)},
        {QLatin1String(tool::miAbout), [this] { miAbout_Click(); }},
    };
    for (const ToolSpec& tool : FindBand(QLatin1String(tool::tbColor))->tools) {
        int value = 0;
        if (PaletteColorValue(tool.name, value)) {
            dispatch_[tool.name] = [this, value] { SetBackColor(value); };
        }
    }
}

frmMain::Command frmMain::RaceLogCommand(void (frmRaceLog::*command)()) {
    // The race log's commands do nothing while it is closed.
    return [this, command] {
        if (frmRaceLog* raceLog = windows_->RaceLog()) {
            (raceLog->*command)();
        }
    };
}

QList<QMdiSubWindow*> frmMain::ArrangedWindows() const {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* child : mdiArea_->subWindowList(QMdiArea::StackingOrder)) {
        if (child->isVisible() && !child->isMinimized()) {
            child->showNormal();
            windows.append(child);
        }
    }
    return windows;
}

void frmMain::TileHorizontally() {
    // One above another, each the full width of the area.
    const QList<QMdiSubWindow*> windows = ArrangedWindows();
    const QRect area = mdiArea_->viewport()->rect();
    for (int i = 0; i < windows.size(); ++i) {
        const int top = area.height() * i / static_cast<int>(windows.size());
        const int bottom = area.height() * (i + 1) / static_cast<int>(windows.size());
        windows[i]->setGeometry(0, top, area.width(), bottom - top);
    }
}

void frmMain::TileVertically() {
    // Side by side, each the full height of the area.
    const QList<QMdiSubWindow*> windows = ArrangedWindows();
    const QRect area = mdiArea_->viewport()->rect();
    for (int i = 0; i < windows.size(); ++i) {
        const int left = area.width() * i / static_cast<int>(windows.size());
        const int right = area.width() * (i + 1) / static_cast<int>(windows.size());
        windows[i]->setGeometry(left, 0, right - left, area.height());
    }
}

bool frmMain::RaceLogOpen() const {
    return windows_->RaceLogOpen();
}

void frmMain::ShowSimulatedReceiver(const QString& kind) {
    setWindowTitle(QStringLiteral("OrvanRX - ") + kind);
    statusBar_->ShowSimulatedReceiver(kind);
}

bool frmMain::TimeSlipOpen() const {
    return windows_->TimeSlipOpen();
}

bool frmMain::FilterOpen() const {
    return windows_->FilterOpen();
}

void frmMain::miCloseAll_Click() {
    // Close the active child until none is left; a child that refuses to close ends it.
    while (QMdiSubWindow* active = mdiArea_->activeSubWindow()) {
        if (!active->close()) {
            break;
        }
        QCoreApplication::processEvents();
        if (mdiArea_->activeSubWindow() == active) {
            break;
        }
    }
    // Children that are open but not active (all minimised, say) close as well.
    for (QMdiSubWindow* child : mdiArea_->subWindowList()) {
        if (!child->close()) {
            break;
        }
    }
}

void frmMain::miMoreColors_Click() {
    const QColor current = ColorForValue(backColor_, mdiArea_->palette());
    const QColor chosen = QColorDialog::getColor(current, this);
    if (chosen.isValid()) {
        SetBackColor(ColorValueOf(chosen));
    }
}

void frmMain::miCalculator_Click() {
    // The desktop's calculator, whichever is installed; nothing when none is.
    static constexpr const char* kCalculators[] = {
#ifdef Q_OS_WIN
        "calc",
#endif
        "gnome-calculator",
        "kcalc",
        "galculator",
        "mate-calc",
        "qalculate-gtk",
        "xcalc"};
    for (const char* name : kCalculators) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty() && QProcess::startDetached(program, {})) {
            return;
        }
    }
}

void frmMain::miRefresh_Click() {
    // Re-lay out and repaint the bars, letting the events run between the steps.
    menuBar()->updateGeometry();
    for (QToolBar* bar : findChildren<QToolBar*>()) {
        bar->updateGeometry();
        bar->update();
    }
    QCoreApplication::processEvents();
    menuBar()->update();
    QCoreApplication::processEvents();
    statusBar_->RedrawStatusBar();
}

void frmMain::miChangeChannel_Click() {
    frmChangeChannel dialog(station_.ReceiverLink(), this);
    dialog.exec();
}

void frmMain::miAbout_Click() {
    frmAbout dialog(station_.ReceiverLink(), this);
    dialog.exec();
}

}  // namespace orvanrx
