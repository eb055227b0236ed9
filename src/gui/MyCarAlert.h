#pragma once

#include <QObject>
#include <QStringList>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "analysis/MyCar.h"
#include "logbook/CarAir.h"

class QWidget;

namespace orvanrx {

class DesktopNotifier;
class SettingsStore;

// My Car in the desktop program: the racer's car numbers (read from the settings at start,
// changed through the My Car dialog), marked in the race log's rows and the statistics table,
// and the alert when a race with one of them arrives: the time slip opens or comes to the
// front with the car's lane marked, the main window asks for attention, and the desktop shows
// a notification, which gives the car's next dial-in from the season logbook when there is one
// (corrected to the air when the weather is known, else the mean of the last three). The
// slip's mark follows the latest race: a race without the racer's cars clears it. The My Car
// dialog shows the next dial-in of each car as well.
//
// The alert's dial-in is read on a thread of the alert's own, so the 30 ms tick never waits on
// the logbook: the slip and the window's call for attention come at once, the notification
// when the answer is read (in the order of the races).
class MyCarAlert {
public:
    // The next dial-in of a car at a moment ("yyyy-MM-dd HH:mm:ss", empty: the moment the
    // lookup was made) from the season logbook; nothing without a logbook. Safe to call on any
    // thread: it holds copies of what it needs.
    using DialInLookup =
        std::function<std::optional<CarDialIn>(const QString& car, const QString& at)>;

    // What the alert does to the windows, reported to their owner.
    struct Views {
        // Opens the time slip or brings it to the front; gives its window (nullptr if none).
        std::function<QWidget*()> showTimeSlip;
        // Marks `lanes` on the time slip, if it is open.
        std::function<void(MyCarLanes)> markTimeSlip;
        // Marks the numbers' rows in the open race log and statistics windows.
        std::function<void(const QStringList&)> markNumbers;
        // A lookup of the next dial-in for the logbook and the moment of now. May be left
        // empty.
        std::function<DialInLookup()> nextDialIn;
    };

    MyCarAlert(const SettingsStore& settings, Views views);
    ~MyCarAlert();
    MyCarAlert(const MyCarAlert&) = delete;
    MyCarAlert& operator=(const MyCarAlert&) = delete;

    const QStringList& Numbers() const { return watch_.Numbers(); }
    // Keeps the numbers in the settings and marks them in the open windows.
    void SetNumbers(const QStringList& numbers);
    // Tools > My Car...: the dialog, then the numbers it was left with on OK.
    void ShowDialog(QWidget* parent);

    // The poll loop stored a race in the run tables.
    void RaceStored(const RunTable& table);
    // A log was opened or the log cleared: its latest race raises no alert.
    void LogReplaced(const RunTable& table);
    // The lanes of the latest race that hold the racer's cars.
    MyCarLanes Lanes() const { return watch_.Lanes(); }

    void SetNotifier(std::unique_ptr<DesktopNotifier> notifier);
    // Replaces the logbook's lookup (tests).
    void SetDialInLookup(std::function<DialInLookup()> lookup);
    // Waits until every dial-in asked so far is read; its notification is then posted to this
    // thread's event loop (tests).
    void Flush();

private:
    // The line of each car with a next dial-in, "1234: Next dial-in …" when `named`.
    static QStringList DialInLines(const DialInLookup& lookup, const QStringList& cars,
                                   const QString& at, bool named, bool withoutPrediction);
    void Notify(const QString& summary, const QString& body);
    void RunLookups();

    const SettingsStore& settings_;
    Views views_;
    MyCarWatch watch_;
    std::unique_ptr<DesktopNotifier> notifier_;
    // The notifications' way back to the thread of the windows.
    QObject context_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> lookups_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;  // started at the first lookup
};

}  // namespace orvanrx
