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

#include "gui/Appearance.h"
#include "gui/ColorValue.h"
#include "gui/CommandBars.h"
#include "gui/FileCommands.h"
#include "gui/LogWindows.h"
#include "gui/MainStatusBar.h"
#include "gui/MyCarAlert.h"
#include "gui/ToolTable.h"
#include "gui/frmAbout.h"
#include "gui/frmChangeChannel.h"
#include "gui/frmLogbook.h"
#include "gui/frmRaceLog.h"
#include "settings/SettingsKeys.h"
#include "shell/DataFolder.h"
#include "shell/Station.h"

namespace orvanrx {

// The poll loop's news for the views: the race log reloads when the run tables change, the
// time slip redraws on every data reply.
class frmMain::ViewForwarder final : public PollObserver {
public:
    explicit ViewForwarder(frmMain& window) : window_(window) {}
    void RunTablesChanged() override { window_.windows_->RunTablesChanged(); }
    void DataReplyStored() override { window_.windows_->DataReplyStored(); }

private:
    frmMain& window_;
};

frmMain::frmMain(const SettingsStore& settings, QWidget* parent)
    : QMainWindow(parent),
      settings_(settings),
      mdiArea_(new QMdiArea(this)),
      statusBar_(new MainStatusBar(this)),
      windows_(new LogWindows(*this, settings)),
      forwarder_(std::make_unique<ViewForwarder>(*this)),
      files_(std::make_unique<FileCommands>(*this, settings)),
      backColor_(kAppWorkspaceReference) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("OrvanRX"));
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea_);
    setStatusBar(statusBar_);
    bars_ = new CommandBars(*this, [this](const QString& name) { RunTool(name); });
    connect(bars_, &CommandBars::ChildWindowChosen, this, [this](QWidget* child) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(child)) {
            mdiArea_->setActiveSubWindow(sub);
        }
    });
    BuildDispatch();
    tmrMain_.setObjectName(QStringLiteral("tmrMain"));
    tmrMain_.setInterval(PollLoop::kIntervalMs);
    tmrMain_.setTimerType(Qt::PreciseTimer);
    connect(&tmrMain_, &QTimer::timeout, this, &frmMain::tmrMain_Timer);
    resize(1024, 700);
}

frmMain::~frmMain() = default;

StatusIndicators& frmMain::Indicators() {
    return *statusBar_;
}

PollObserver& frmMain::Observer() {
    return *forwarder_;
}

void frmMain::Load(Station& station, const QString& dataFolderBase) {
    station_ = &station;
    try {
        setWindowState(windowState() | Qt::WindowMaximized);
        const QString logFileName =
            RaceLogFileName(GetDataFolder(dataFolderBase, QStringLiteral("/OrvanRX")),
                            QCoreApplication::applicationDirPath(), QDateTime::currentDateTime());
        windows_->Attach(station);
        files_->Attach(station);
        station.Start(logFileName, [this] { windows_->ShowRaceLog(); });
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
    if (station_ != nullptr) {
        station_->Stop([this] { windows_->CloseAtUnload(); });
    } else {
        windows_->CloseAtUnload();
    }
    SaveBackColor(settings_, kMainScreenSettingsKey, backColor_);
}

void frmMain::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

void frmMain::tmrMain_Timer() {
    if (station_ == nullptr) {
        return;
    }
    for (int i = 0; i < cyclesPerTimeout_ && tmrMain_.isActive(); ++i) {
        const TickOutcome outcome = station_->Loop().RunPollCycle();
        if (afterCycle_) {
            afterCycle_(outcome);
        }
    }
}

void frmMain::SetBackColor(int value) {
    backColor_ = value;
    ApplyBackColor(*mdiArea_, value);
}

void frmMain::ShowRaceLogBand(bool visible) {
    if (QToolBar* band = bars_->ToolBar(QStringLiteral("tbRaceLog"))) {
        band->setVisible(visible);
    }
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
        {QStringLiteral("miOpenLog"), [this] { files_->OpenLog(); }},
        {QStringLiteral("miSaveLog"), [this] { files_->SaveLog(); }},
        {QStringLiteral("miSaveXML"), [this] { files_->Export(ExportCommand::Xml); }},
        {QStringLiteral("miSaveHTML"), [this] { files_->Export(ExportCommand::Html); }},
        {QStringLiteral("miSaveXLS"), [this] { files_->Export(ExportCommand::Xlsx); }},
        {QStringLiteral("miClearLog"), [this] { files_->ClearLog(); }},
        {QStringLiteral("miPrintPreview"), [this] { windows_->ShowPrintViews(); }},
        {QStringLiteral("miClose"),
         [this] {
             if (QMdiSubWindow* active = mdiArea_->activeSubWindow()) {
                 active->close();
             }
         }},
        {QStringLiteral("miExit"), [this] { close(); }},
        {QStringLiteral("miRaceLog"), [this] { windows_->ShowRaceLog(); }},
        {QStringLiteral("miFilter"), [this] { windows_->ShowFilter(); }},
        {QStringLiteral("miTimeSlip"), [this] { windows_->ShowTimeSlip(); }},
        {QStringLiteral("miStats"), [this] { windows_->ShowStats(); }},
        {QStringLiteral("miLogbook"), [this] { windows_->ShowLogbook(); }},
        {QStringLiteral("miImportLogs"),
         [this] {
             if (!windows_->LogbookPath().isEmpty()) {
                 ImportRaceLogsWithDialog(this, windows_->LogbookPath(), settings_);
                 if (frmLogbook* logbook = windows_->LogbookWindow()) {
                     logbook->Refresh();
                 }
             }
         }},
        {QStringLiteral("miMyCar"), [this] { windows_->MyCar().ShowDialog(this); }},
        {QStringLiteral("miChangeChannel"), [this] { miChangeChannel_Click(); }},
        {QStringLiteral("miCalculator"), [this] { miCalculator_Click(); }},
        {QStringLiteral("miRefresh"), [this] { miRefresh_Click(); }},
        {QStringLiteral("miMoreColors"), [this] { miMoreColors_Click(); }},
        {QStringLiteral("miTileHorizontally"), [this] { TileHorizontally(); }},
        {QStringLiteral("miTileVertically"), [this] { TileVertically(); }},
        {QStringLiteral("miCascade"), [this] { mdiArea_->cascadeSubWindows(); }},
        {QStringLiteral("miCloseAll"), [this] { miCloseAll_Click(); }},
        {QStringLiteral("miWindowList"), nothing},
        {QStringLiteral("miChildWindow"), nothing},
        {QStringLiteral("miCategories"), RaceLogCommand(&frmRaceLog::miAllCategories_Click)},
        {QStringLiteral("miExpand"), RaceLogCommand(&frmRaceLog::miExpandAll_Click)},
        {QStringLiteral("miCollapse"), RaceLogCommand(&frmRaceLog::miCollapseAll_Click)},
        {QStringLiteral("miPause"), RaceLogCommand(&frmRaceLog::miPauseUpdates_Click)},
        {QStringLiteral("miRefreshLog"), RaceLogCommand(&frmRaceLog::miRefresh_Click)},
        {QStringLiteral("miAbout"), [this] { miAbout_Click(); }},
    };
    for (const ToolSpec& tool : FindBand(QStringLiteral("tbColor"))->tools) {
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
    if (station_ == nullptr) {
        return;
    }
    frmChangeChannel dialog(station_->ReceiverLink(), this);
    dialog.exec();
}

void frmMain::miAbout_Click() {
    if (station_ == nullptr) {
        return;
    }
    frmAbout dialog(station_->ReceiverLink(), this);
    dialog.exec();
}

}  // namespace orvanrx
