#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "decoding/ReceiveBuffer.h"
#include "decoding/RunTables.h"
#include "racelog/RaceLogFile.h"
#include "receiver/Receiver.h"
#include "receiver/StatusIndicators.h"
#include "receiver/UsbXpress.h"
#include "receiver/WaitClock.h"
#include "settings/SettingsStore.h"
#include "shell/PollLoop.h"
#include "shell/SaveStatus.h"
#include "support/Clock.h"

namespace orvanrx {

// Everything one running OrvanRX owns on the receive path, without windows: the mirror, the
// venue, the run tables, the receiver link, the poll loop and this start's race-log file.
// The desktop program and the headless program each create one in main() and drive its
// PollLoop with their timer; they add only their windows or their printing.
class Station {
public:
    struct Setup {
        UsbXpress& usb;
        const SettingsStore& settings;
        StatusIndicators& indicators;
        PollObserver& observer;
        Clock clock;
        MonotonicClock waitClock;
    };

    explicit Station(Setup setup);
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // Program start: a clean mirror with no scroll message and the venue of the last run;
    // then, as the main window loads: this start's race-log file (`logFileName`), empty run
    // tables, the last race's pointer and first bytes back in the mirror, and the receiver
    // opened if one is attached. `openViews` runs once the run tables are reset, before the last
    // race comes back: the desktop program opens its race log window there.
    void Start(const QString& logFileName, const std::function<void()>& openViews = {});

    // Orderly end, after the caller has stopped its timer: the receiver closed, the race log
    // saved (SaveLog), and the last race's pointer, the venue and the race's first bytes kept
    // for the next start. Gives the save's result. `closeViews` runs right after the save,
    // before the receive memory is kept: the desktop program closes its log windows there,
    // each keeping its placement.
    RaceLogSaveResult Stop(const std::function<void()>& closeViews = {});

    // Rewrites this start's race-log file (the automatic save of the poll loop, the save at
    // shut-down); the status text follows as SaveStatus::AutomaticSave says. The in-memory log
    // is never touched, and the next save writes the whole log again.
    RaceLogSaveResult SaveLog();
    // Writes the race log to `path`, a file of the racer's choice (File > Save Log...); the
    // automatic saves go on writing this start's log file. The status text follows as
    // SaveStatus::OwnSave says.
    RaceLogSaveResult SaveLogAs(const QString& path);
    // The last automatic save failed (and no later one succeeded).
    bool SaveFailing() const { return saveStatus_.AutomaticFailing(); }

    PollLoop& Loop() { return loop_; }
    Receiver& ReceiverLink() { return receiver_; }
    const ReceiveBuffer& Buffer() const { return buffer_; }
    ReceiveBuffer& Buffer() { return buffer_; }
    const RunTables& Tables() const { return tables_; }
    RunTables& Tables() { return tables_; }
    std::int16_t CurrentVenue() const { return currentVenue_; }
    const QString& LogFileName() const { return logFileName_; }
    const SettingsStore& Settings() const { return settings_; }
    // The clock the run tables stamp races with; this start's log-file name reads it too.
    const Clock& Now() const { return clock_; }

private:
    const SettingsStore& settings_;
    Clock clock_;
    ReceiveBuffer buffer_;
    std::int16_t currentVenue_ = 0;
    RunTables tables_;
    Receiver receiver_;
    PollLoop loop_;
    QString logFileName_;
    SaveStatus saveStatus_;
};

}  // namespace orvanrx
