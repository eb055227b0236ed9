#pragma once

#include <QStringList>
#include <functional>
#include <memory>

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
class MyCarAlert {
public:
    // What the alert does to the windows, reported to their owner.
    struct Views {
        // Opens the time slip or brings it to the front; gives its window (nullptr if none).
        std::function<QWidget*()> showTimeSlip;
        // Marks `lanes` on the time slip, if it is open.
        std::function<void(MyCarLanes)> markTimeSlip;
        // Marks the numbers' rows in the open race log and statistics windows.
        std::function<void(const QStringList&)> markNumbers;
        // The next dial-in of a car at a moment ("yyyy-MM-dd HH:mm:ss", empty: now) from the
        // season logbook; nothing without a logbook. May be left empty.
        std::function<std::optional<CarDialIn>(const QString& car, const QString& at)> nextDialIn;
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

private:
    // The line of each car with a next dial-in, "1234: Next dial-in …" when `named`.
    QStringList DialInLines(const QStringList& cars, const QString& at, bool named,
                            bool withoutPrediction) const;

    const SettingsStore& settings_;
    Views views_;
    MyCarWatch watch_;
    std::unique_ptr<DesktopNotifier> notifier_;
};

}  // namespace orvanrx
