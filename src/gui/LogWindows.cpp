#include "gui/LogWindows.h"

#include <QEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "gui/Appearance.h"
#include "gui/frmMain.h"
#include "gui/frmTimeSlip.h"
#include "settings/SettingsKeys.h"
#include "shell/Station.h"

namespace orvanrx {

LogWindows::LogWindows(frmMain& main, const SettingsStore& settings)
    : QObject(&main), main_(main), settings_(settings) {}

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

void LogWindows::ShowTimeSlip() {
    if (station_ == nullptr) {
        return;
    }
    if (!TimeSlipOpen()) {
        auto* window = new frmTimeSlip(station_->Buffer(), settings_);
        QMdiSubWindow* frame = AddFrame(window);
        timeSlip_ = window;
        window->Load(*frame);
    }
    Activate(qobject_cast<QMdiSubWindow*>(timeSlip_->parentWidget()));
}

void LogWindows::ShowRaceLog() {
    // Until the race log window exists, an empty child window of its name holds its place.
    if (raceLogFrame_.isNull()) {
        auto* content = new QLabel;
        content->setObjectName(QStringLiteral("frmRaceLog"));
        raceLogFrame_ = AddFrame(content);
        raceLogFrame_->setWindowTitle(QStringLiteral("Race Log"));
        RestoreWindowPlacement(settings_, kRaceLogScreenSettingsKey, *raceLogFrame_);
        raceLogFrame_->installEventFilter(this);
        main_.ShowRaceLogBand(true);
    }
    Activate(raceLogFrame_);
}

bool LogWindows::TimeSlipOpen() const {
    return !timeSlip_.isNull() && timeSlip_->IsOpen();
}

bool LogWindows::RaceLogOpen() const {
    return !raceLogFrame_.isNull() && raceLogFrame_->isVisible();
}

frmTimeSlip* LogWindows::TimeSlip() const {
    return timeSlip_.data();
}

bool LogWindows::FilterOpen() const {
    return false;
}

void LogWindows::RunTablesChanged() {}

void LogWindows::DataReplyStored() {
    if (TimeSlipOpen()) {
        timeSlip_->ParseMessage();
    }
}

bool LogWindows::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == raceLogFrame_.data()) {
        SaveWindowPlacement(settings_, kRaceLogScreenSettingsKey, *raceLogFrame_);
        main_.ShowRaceLogBand(false);
        raceLogFrame_ = nullptr;
    }
    return QObject::eventFilter(watched, event);
}

void LogWindows::CloseAtUnload() {
    if (!raceLogFrame_.isNull()) {
        raceLogFrame_->close();
    }
    if (TimeSlipOpen()) {
        timeSlip_->parentWidget()->close();
    }
}

}  // namespace orvanrx
