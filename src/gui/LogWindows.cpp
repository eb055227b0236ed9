#include "gui/LogWindows.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <algorithm>

#include "gui/CommandBars.h"
#include "gui/FileCommands.h"
#include "gui/MyCarAlert.h"
#include "gui/PrintView.h"
#include "gui/Twips.h"
#include "gui/frmFilter.h"
#include "gui/frmLogbook.h"
#include "gui/frmMain.h"
#include "gui/frmRaceLog.h"
#include "gui/frmStats.h"
#include "gui/frmTimeSlip.h"
#include "shell/Station.h"
#include "views/LogGridSetup.h"

namespace orvanrx {

namespace {

QMdiSubWindow* FrameOf(QWidget* window) {
    return window != nullptr ? qobject_cast<QMdiSubWindow*>(window->parentWidget()) : nullptr;
}

}  // namespace

LogWindows::LogWindows(frmMain& main, const SettingsStore& settings)
    : QObject(&main),
      main_(main),
      settings_(settings),
      myCar_(std::make_unique<MyCarAlert>(*this, settings)) {
    connect(&main.MdiArea(), &QMdiArea::subWindowActivated, this, &LogWindows::ChildActivated);
}

LogWindows::~LogWindows() = default;

void LogWindows::Attach(Station& station) {
    station_ = &station;
}

QMdiSubWindow* LogWindows::AddFrame(QWidget* content) {
    QMdiSubWindow* frame = main_.MdiArea().addSubWindow(content);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowIcon(main_.windowIcon());
    return frame;
}

void LogWindows::Activate(QMdiSubWindow* frame) {
    frame->show();
    frame->raise();
    main_.MdiArea().setActiveSubWindow(frame);
}

void LogWindows::ChildActivated(QMdiSubWindow* frame) {
    if (frame != nullptr && RaceLogOpen() && frame == FrameOf(raceLog_)) {
        raceLog_->Activate(main_.BackColor());
    }
    if (frame != nullptr && FilterOpen() && frame == FrameOf(filter_)) {
        filter_->Activate(main_.BackColor());
    }
    if (frame != nullptr && StatsOpen() && frame == FrameOf(stats_)) {
        stats_->Activate(main_.BackColor());
    }
}

void LogWindows::ShowTimeSlip() {
    if (station_ == nullptr) {
        return;
    }
    if (!TimeSlipOpen()) {
        auto* window = new frmTimeSlip(station_->Buffer(), settings_);
        QMdiSubWindow* frame = AddFrame(window);
        timeSlip_ = window;
        // Without a saved placement the slip stands at the top right of the area, beside the
        // race log's names.
        frame->move(std::max(0, FirstRaceLogPlace().width() -
                                    TwipsToPixels(*frame, frmTimeSlip::kDesignWidthTwips) - 8),
                    8);
        window->Load(*frame);
        window->SetMarkedLanes(myCar_->Lanes());
    }
    Activate(FrameOf(timeSlip_));
}

QRect LogWindows::FirstRaceLogPlace() const {
    const QMdiArea& area = main_.MdiArea();
    QSize size = area.viewport()->size();
    if (!area.isVisible() && area.screen() != nullptr) {
        size = area.screen()->availableSize() - QSize(0, 160);
    }
    return {0, 0, size.width(), size.height() * 2 / 3};
}

void LogWindows::ShowRaceLog() {
    if (station_ == nullptr) {
        return;
    }
    if (!RaceLogOpen()) {
        auto* window = new frmRaceLog(station_->Tables(), settings_);
        ConnectPages(*window);
        QMdiSubWindow* frame = AddFrame(window);
        frame->setGeometry(FirstRaceLogPlace());
        raceLog_ = window;
        CommandBars& bars = main_.Bars();
        for (const char* tool :
             {"miPrintPreview", "miFilter", "miSaveXML", "miSaveHTML", "miSaveXLS"}) {
            bars.Action(QString::fromLatin1(tool))->setEnabled(true);
        }
        QAction* categories = bars.Action(QStringLiteral("miCategories"));
        connect(window, &frmRaceLog::CategoryCaptionChanged, categories, &QAction::setText);
        connect(window, &frmRaceLog::Unloaded, this, &LogWindows::RaceLogUnloaded);
        window->Load(*frame, main_.BackColor());
        SetMyCarMark(window->Grid(), myCar_->Numbers());
        categories->setText(window->CategoryCaption());
        main_.ShowRaceLogBand(true);
    }
    Activate(FrameOf(raceLog_));
    raceLog_->miGridView_Click();
}

void LogWindows::ShowFilter() {
    if (station_ == nullptr) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!FilterOpen()) {
        auto* window = new frmFilter(station_->Tables(), settings_);
        ConnectPages(*window);
        QMdiSubWindow* frame = AddFrame(window);
        frame->setGeometry(FirstRaceLogPlace());
        filter_ = window;
        window->Load(*frame, main_.BackColor());
    }
    Activate(FrameOf(filter_));
    filter_->miGridView_Click();
    filter_->UpdateDisplay();
    QApplication::restoreOverrideCursor();
}

template <typename Window>
void LogWindows::ConnectPages(Window& window) {
    window.SetLogPath([this] { return main_.Files().ShownLogPath(); });
    window.Pages().SetPdfExport([this](const LogGridSheet& sheet, const LogTitle& title) {
        main_.Files().ExportPdf(sheet, title);
    });
}

void LogWindows::ShowStats() {
    if (station_ == nullptr) {
        return;
    }
    if (!StatsOpen()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        auto* window = new frmStats(station_->Tables(), settings_);
        QMdiSubWindow* frame = AddFrame(window);
        frame->move(16, 16);
        stats_ = window;
        window->Load(*frame, main_.BackColor(), myCar_->Numbers());
        QApplication::restoreOverrideCursor();
    }
    Activate(FrameOf(stats_));
}

void LogWindows::ShowPrintViews() {
    if (RaceLogOpen()) {
        raceLog_->miPrintView_Click();
    }
    if (FilterOpen()) {
        filter_->miPrintView_Click();
    }
}

void LogWindows::RaceLogUnloaded() {
    main_.ShowRaceLogBand(false);
    for (const char* tool : {"miSaveXML", "miSaveHTML"}) {
        main_.Bars().Action(QString::fromLatin1(tool))->setEnabled(false);
    }
}

bool LogWindows::TimeSlipOpen() const {
    return !timeSlip_.isNull() && timeSlip_->IsOpen();
}

bool LogWindows::RaceLogOpen() const {
    return !raceLog_.isNull() && raceLog_->IsOpen();
}

bool LogWindows::FilterOpen() const {
    return !filter_.isNull() && filter_->IsOpen();
}

frmFilter* LogWindows::Filter() const {
    return FilterOpen() ? filter_.data() : nullptr;
}

frmTimeSlip* LogWindows::TimeSlip() const {
    return timeSlip_.data();
}

frmRaceLog* LogWindows::RaceLog() const {
    return RaceLogOpen() ? raceLog_.data() : nullptr;
}

QMdiSubWindow* LogWindows::RaceLogFrame() const {
    return RaceLogOpen() ? FrameOf(raceLog_) : nullptr;
}

void LogWindows::RunTablesChanged() {
    if (RaceLogOpen()) {
        raceLog_->UpdateDisplay();
    }
    if (StatsOpen()) {
        stats_->UpdateDisplay();
    }
    if (station_ != nullptr) {
        myCar_->RaceStored(station_->Tables().AllRunsTable());
    }
    if (LogbookOpen()) {
        logbook_->RaceStored();
    }
}

void LogWindows::LogReplaced() {
    if (StatsOpen()) {
        stats_->UpdateDisplay();
    }
    if (station_ != nullptr) {
        myCar_->LogReplaced(station_->Tables().AllRunsTable());
    }
}

bool LogWindows::StatsOpen() const {
    return !stats_.isNull() && stats_->IsOpen();
}

frmStats* LogWindows::Stats() const {
    return StatsOpen() ? stats_.data() : nullptr;
}

void LogWindows::DataReplyStored() {
    if (TimeSlipOpen()) {
        timeSlip_->ParseMessage();
    }
}

void LogWindows::CloseAtUnload() {
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

void LogWindows::ShowLogbook() {
    if (logbookPath_.isEmpty()) {
        return;
    }
    if (!LogbookOpen()) {
        auto* window = new frmLogbook(logbookPath_, settings_);
        QMdiSubWindow* frame = AddFrame(window);
        frame->move(24, 24);
        logbook_ = window;
        window->Load(*frame, myCar_->Numbers());
    }
    Activate(FrameOf(logbook_));
}

bool LogWindows::LogbookOpen() const {
    return !logbook_.isNull() && logbook_->IsOpen();
}

frmLogbook* LogWindows::LogbookWindow() const {
    return LogbookOpen() ? logbook_.data() : nullptr;
}

}  // namespace orvanrx
