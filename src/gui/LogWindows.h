#pragma once

#include <QObject>
#include <QPointer>

class QMdiSubWindow;
class QWidget;

namespace orvanrx {

class frmMain;
class frmTimeSlip;
class SettingsStore;
class Station;

// The main window's child windows: the time slip, the race log and the filter view. Each
// exists at most once, in a child window of the MDI area that goes away when it closes; its
// open flag is true from its load to its unload. The poll loop's news reach them here.
class LogWindows final : public QObject {
    Q_OBJECT
public:
    LogWindows(frmMain& main, const SettingsStore& settings);

    // The station whose mirror and run tables the windows show (set as the main window loads).
    void Attach(Station& station);

    // miTimeSlip: open the time slip (or bring it to the front).
    void ShowTimeSlip();
    // miRaceLog: open the race log (or bring it to the front), showing its grid.
    void ShowRaceLog();

    bool TimeSlipOpen() const;
    bool RaceLogOpen() const;
    bool FilterOpen() const;
    frmTimeSlip* TimeSlip() const;
    QMdiSubWindow* RaceLogFrame() const { return raceLogFrame_; }

    // The poll loop changed the run tables: the race log reloads.
    void RunTablesChanged();
    // A data reply was stored: the time slip redraws.
    void DataReplyStored();

    // At the main window's unload: the race log, then the time slip, each keeping its
    // placement as it closes.
    void CloseAtUnload();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // `content` in a new child window that is deleted when it closes.
    QMdiSubWindow* AddFrame(QWidget* content);
    void Activate(QMdiSubWindow* frame);

    frmMain& main_;
    const SettingsStore& settings_;
    Station* station_ = nullptr;
    QPointer<frmTimeSlip> timeSlip_;
    QPointer<QMdiSubWindow> raceLogFrame_;
};

}  // namespace orvanrx
