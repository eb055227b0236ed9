#include "gui/ChildWindows.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <algorithm>

#include "decoding/ReceiveBuffer.h"
#include "decoding/RunTables.h"
#include "gui/CommandBars.h"
#include "gui/LogGridView.h"
#include "gui/MyCarAlert.h"
#include "gui/PrintView.h"
#include "gui/ToolTable.h"
#include "gui/Twips.h"
#include "gui/frmFilter.h"
#include "gui/frmLogbook.h"
#include "gui/frmRaceLog.h"
#include "gui/frmStats.h"
#include "gui/frmTimeSlip.h"
#include "views/LogGridColumns.h"
#include "views/LogGridSetup.h"

namespace orvanrx {

namespace {

QMdiSubWindow* FrameOf(QWidget* window) {
    return window != nullptr ? qobject_cast<QMdiSubWindow*>(window->parentWidget()) : nullptr;
}

}  // namespace

ChildWindows::ChildWindows(Parts parts, QObject* parent)
    : QObject(parent), parts_(std::move(parts)), settings_(parts_.settings) {
    MyCarAlert::Views views;
    views.showTimeSlip = [this]() -> QWidget* {
        ShowTimeSlip();
        return TimeSlip();
    };
    views.markTimeSlip = [this](MyCarLanes lanes) {
        if (TimeSlipOpen()) {
            timeSlip_->SetMarkedLanes(lanes);
        }
    };
    views.markNumbers = [this](const QStringList& numbers) {
        if (frmRaceLog* raceLog = RaceLog()) {
            SetMyCarMark(raceLog->Grid(), numbers);
        }
        if (frmStats* stats = Stats()) {
            stats->SetMyCars(numbers);
        }
    };
    if (!parts_.now) {
        parts_.now = SystemClock();
    }
    views.nextDialIn = [this]() -> MyCarAlert::DialInLookup {
        // A connection of its own for each question, and never a new logbook file; asked on
        // the alert's thread, so it holds copies of the path and of now.
        return [path = logbookPath_,
                now = parts_.now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))](
                   const QString& car, const QString& at) -> std::optional<CarDialIn> {
            if (path.isEmpty() || !QFileInfo::exists(path)) {
                return std::nullopt;
            }
            const Logbook::OpenResult opened = Logbook::Open(path);
            if (!opened.logbook) {
                return std::nullopt;
            }
            return PredictCarEt(*opened.logbook, car, at.isEmpty() ? now : at);
        };
    };
    myCar_ = std::make_unique<MyCarAlert>(settings_, std::move(views));
    connect(&parts_.area, &QMdiArea::subWindowActivated, this, &ChildWindows::ChildActivated);
    AddWindowKeys();
}

void ChildWindows::AddWindowKeys() {
    QMenu* windowMenu = parts_.bars.Menu(QLatin1String(tool::miWindow));
    if (windowMenu == nullptr) {
        return;
    }
    windowMenu->addSeparator();
    const auto add = [this, windowMenu](const char* name, const QString& caption,
                                        QList<QKeySequence> keys, void (QMdiArea::*step)()) {
        QAction* action = windowMenu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, &parts_.area, step);
    };
    add("miNextWindow", tr("&Next Window"),
        {QKeySequence(Qt::CTRL | Qt::Key_F6), QKeySequence(Qt::CTRL | Qt::Key_Tab)},
        &QMdiArea::activateNextSubWindow);
    add("miPreviousWindow", tr("&Previous Window"),
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)},
        &QMdiArea::activatePreviousSubWindow);
}

ChildWindows::~ChildWindows() = default;

QMdiSubWindow* ChildWindows::AddFrame(QWidget* content) {
    QMdiSubWindow* frame = parts_.area.addSubWindow(content);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowIcon(parts_.area.window()->windowIcon());
    // The frame's own menu keeps its items but not their keys: Ctrl+W and Ctrl+F4 belong to
    // File > Close, which closes the active child window; two owners would leave both dead.
    for (QAction* item : frame->systemMenu()->actions()) {
        item->setShortcuts({});
    }
    return frame;
}

void ChildWindows::Activate(QMdiSubWindow* frame) {
    frame->show();
    frame->raise();
    parts_.area.setActiveSubWindow(frame);
}

void ChildWindows::ChildActivated(QMdiSubWindow* frame) {
    if (frame != nullptr && RaceLogOpen() && frame == FrameOf(raceLog_)) {
        raceLog_->Activate(parts_.backColor());
    }
    if (frame != nullptr && FilterOpen() && frame == FrameOf(filter_)) {
        filter_->Activate(parts_.backColor());
    }
    if (frame != nullptr && StatsOpen() && frame == FrameOf(stats_)) {
        stats_->Activate(parts_.backColor());
    }
}

void ChildWindows::ShowTimeSlip() {
    if (!TimeSlipOpen()) {
        auto* window = new frmTimeSlip(parts_.buffer, settings_);
        window->SetTextScale(textScale_);
        QMdiSubWindow* frame = AddFrame(window);
        timeSlip_ = window;
        // Without a saved placement the slip stands at the top of the area, at its right, but
        // left of the race log's results (1/4 ET, 1/4 MPH, Margin, Win) while that is open.
        int right = FirstRaceLogPlace().width() - 8;
        if (RaceLogOpen()) {
            const LogGridView& view = raceLog_->View();
            const int et =
                view.header()->sectionViewportPosition(LogGridColumnOf(QLatin1String("et1320")));
            if (et >= 0 &&
                !view.header()->isSectionHidden(LogGridColumnOf(QLatin1String("et1320")))) {
                const QPoint at = view.viewport()->mapTo(parts_.area.viewport(), QPoint(et, 0));
                right = std::min(right, at.x() - 4);
            }
        }
        const QSize areaSize = parts_.area.viewport()->size();
        const QSize size = window->FitInto(*frame, areaSize);
        frame->move(
            std::clamp(right - size.width(), 0, std::max(0, areaSize.width() - size.width())),
            std::clamp(areaSize.height() - size.height(), 0, 8));
        window->Load(*frame);
        window->SetMarkedLanes(myCar_->Lanes());
    }
    Activate(FrameOf(timeSlip_));
}

void ChildWindows::SetTextSize(int percent) {
    textScale_ = percent / 100.0;
    if (TimeSlipOpen()) {
        timeSlip_->SetTextScale(textScale_);
    }
    if (RaceLogOpen()) {
        raceLog_->View().SetTextScale(textScale_);
    }
    if (FilterOpen()) {
        filter_->View().SetTextScale(textScale_);
    }
}

QRect ChildWindows::FirstRaceLogPlace() const {
    const QMdiArea& area = parts_.area;
    QSize size = area.viewport()->size();
    if (!area.isVisible() && area.screen() != nullptr) {
        size = area.screen()->availableSize() - QSize(0, 160);
    }
    // Two thirds of the height, leaving the rest free below; on a short area (a laptop at a
    // larger scale) the whole height, so that more than a race or two shows.
    constexpr int kShortArea = 600;
    return {0, 0, size.width(), size.height() < kShortArea ? size.height() : size.height() * 2 / 3};
}

void ChildWindows::ShowRaceLog() {
    if (!RaceLogOpen()) {
        auto* window = new frmRaceLog(parts_.tables, settings_);
        window->View().SetTextScale(textScale_);
        ConnectPages(*window);
        QMdiSubWindow* frame = AddFrame(window);
        frame->setGeometry(FirstRaceLogPlace());
        raceLog_ = window;
        CommandBars& bars = parts_.bars;
        for (const char* name : {tool::miPrintPreview, tool::miFilter}) {
            bars.Action(QString::fromLatin1(name))->setEnabled(true);
        }
        QAction* categories = bars.Action(QLatin1String(tool::miCategories));
        connect(window, &frmRaceLog::CategoryCaptionChanged, categories, &QAction::setText);
        connect(window, &frmRaceLog::Unloaded, this, &ChildWindows::RaceLogUnloaded);
        QAction* pause = bars.Action(QLatin1String(tool::miPause));
        connect(window, &frmRaceLog::PausedChanged, pause, &QAction::setChecked);
        pause->setChecked(false);
        window->Load(*frame, parts_.backColor());
        SetMyCarMark(window->Grid(), myCar_->Numbers());
        categories->setText(window->CategoryCaption());
        bars.ShowRaceLogBand(true);
    }
    Activate(FrameOf(raceLog_));
    raceLog_->miGridView_Click();
    raceLog_->View().setFocus(Qt::OtherFocusReason);
}

void ChildWindows::ShowFilter() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!FilterOpen()) {
        auto* window = new frmFilter(parts_.tables, settings_);
        window->View().SetTextScale(textScale_);
        ConnectPages(*window);
        QMdiSubWindow* frame = AddFrame(window);
        frame->setGeometry(FirstRaceLogPlace());
        filter_ = window;
        window->Load(*frame, parts_.backColor());
    }
    Activate(FrameOf(filter_));
    filter_->miGridView_Click();
    filter_->UpdateDisplay();
    QApplication::restoreOverrideCursor();
}

template <typename Window>
void ChildWindows::ConnectPages(Window& window) {
    window.SetLogPath(parts_.shownLogPath);
    window.Pages().SetPdfExport(parts_.exportPdf);
}

void ChildWindows::ShowStats() {
    if (!StatsOpen()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        auto* window = new frmStats(parts_.tables, settings_);
        window->UseLogbook(logbookPath_);
        QMdiSubWindow* frame = AddFrame(window);
        frame->move(16, 16);
        stats_ = window;
        window->Load(*frame, parts_.backColor(), myCar_->Numbers());
        QApplication::restoreOverrideCursor();
    }
    Activate(FrameOf(stats_));
}

void ChildWindows::ShowPrintViews() {
    if (RaceLogOpen()) {
        raceLog_->miPrintView_Click();
    }
    if (FilterOpen()) {
        filter_->miPrintView_Click();
    }
}

void ChildWindows::RaceLogUnloaded() {
    // The exports stay available: with the window closed they write the log as it would show.
    parts_.bars.ShowRaceLogBand(false);
    parts_.bars.Action(QLatin1String(tool::miPause))->setChecked(false);
}

bool ChildWindows::TimeSlipOpen() const {
    return !timeSlip_.isNull() && timeSlip_->IsOpen();
}

bool ChildWindows::RaceLogOpen() const {
    return !raceLog_.isNull() && raceLog_->IsOpen();
}

bool ChildWindows::FilterOpen() const {
    return !filter_.isNull() && filter_->IsOpen();
}

frmFilter* ChildWindows::Filter() const {
    return FilterOpen() ? filter_.data() : nullptr;
}

frmTimeSlip* ChildWindows::TimeSlip() const {
    return timeSlip_.data();
}

frmRaceLog* ChildWindows::RaceLog() const {
    return RaceLogOpen() ? raceLog_.data() : nullptr;
}

QMdiSubWindow* ChildWindows::RaceLogFrame() const {
    return RaceLogOpen() ? FrameOf(raceLog_) : nullptr;
}

void ChildWindows::RunTablesChanged() {
    if (RaceLogOpen()) {
        raceLog_->UpdateDisplay();
    }
    if (StatsOpen()) {
        stats_->UpdateDisplay();
    }
    myCar_->RaceStored(parts_.tables.AllRunsTable());
    if (LogbookOpen()) {
        logbook_->RaceStored();
    }
}

void ChildWindows::LogReplaced() {
    if (StatsOpen()) {
        stats_->UpdateDisplay();
    }
    myCar_->LogReplaced(parts_.tables.AllRunsTable());
}

bool ChildWindows::StatsOpen() const {
    return !stats_.isNull() && stats_->IsOpen();
}

frmStats* ChildWindows::Stats() const {
    return StatsOpen() ? stats_.data() : nullptr;
}

void ChildWindows::DataReplyStored() {
    if (TimeSlipOpen()) {
        timeSlip_->ParseMessage();
    }
}

void ChildWindows::CloseAtUnload() {
    if (RaceLogOpen()) {
        FrameOf(raceLog_)->close();
    }
    if (TimeSlipOpen()) {
        FrameOf(timeSlip_)->close();
    }
    if (StatsOpen()) {
        FrameOf(stats_)->close();
    }
    if (LogbookOpen()) {
        FrameOf(logbook_)->close();
    }
}

void ChildWindows::ShowLogbook() {
    if (logbookPath_.isEmpty()) {
        return;
    }
    if (!LogbookOpen()) {
        auto* window = new frmLogbook(logbookPath_, settings_);
        window->SetClock(parts_.now);
        QMdiSubWindow* frame = AddFrame(window);
        frame->move(24, 24);
        logbook_ = window;
        window->Load(*frame, myCar_->Numbers());
    }
    Activate(FrameOf(logbook_));
}

bool ChildWindows::LogbookOpen() const {
    return !logbook_.isNull() && logbook_->IsOpen();
}

frmLogbook* ChildWindows::LogbookWindow() const {
    return LogbookOpen() ? logbook_.data() : nullptr;
}

}  // namespace orvanrx
