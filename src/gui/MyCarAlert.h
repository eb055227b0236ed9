#pragma once

#include <QStringList>
#include <memory>

#include "analysis/MyCar.h"

class QWidget;

namespace orvanrx {

class DesktopNotifier;
class ChildWindows;
class SettingsStore;

// My Car in the desktop program: the racer's car numbers (read from the settings at start,
// changed through the My Car dialog), marked in the race log's rows and the statistics table,
// and the alert when a race with one of them arrives: the time slip opens or comes to the
// front with the car's lane marked, the main window asks for attention, and the desktop shows
// a notification. The slip's mark follows the latest race: a race without the racer's cars
// clears it.
class MyCarAlert {
public:
    MyCarAlert(ChildWindows& windows, const SettingsStore& settings);
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
    void MarkTimeSlip();

    ChildWindows& windows_;
    const SettingsStore& settings_;
    MyCarWatch watch_;
    std::unique_ptr<DesktopNotifier> notifier_;
};

}  // namespace orvanrx
