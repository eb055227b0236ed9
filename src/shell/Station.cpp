#include "shell/Station.h"

#include "racelog/RaceLogFile.h"
#include "racelog/ReceiveMemory.h"

namespace orvanrx {

Station::Station(Setup setup)
    : settings_(setup.settings),
      clock_(setup.clock),
      tables_(setup.clock),
      receiver_(setup.usb, setup.indicators, setup.waitClock),
      loop_(PollLoop::Parts{receiver_, buffer_, currentVenue_, tables_, setup.indicators,
                            setup.observer, setup.waitClock, [this] { SaveLog(); }}),
      saveStatus_(setup.indicators) {}

void Station::Start(const QString& logFileName, const std::function<void()>& openViews) {
    ClearReceiveBuffer(buffer_);
    InitReceiveState(buffer_);
    LoadVenue(settings_, currentVenue_);

    logFileName_ = logFileName;
    tables_.ResetRunTables();
    if (openViews) {
        openViews();
    }
    LoadRunBlockPointer(settings_, buffer_);
    LoadRunBlock(settings_, buffer_);
    receiver_.OpenDevice();
}

RaceLogSaveResult Station::Stop(const std::function<void()>& closeViews) {
    receiver_.CloseDevice();
    RaceLogSaveResult saved = SaveLog();
    if (closeViews) {
        closeViews();
    }
    SaveRunBlockPointer(settings_, buffer_);
    SaveVenue(settings_, currentVenue_);
    SaveRunBlock(settings_, buffer_);
    return saved;
}

RaceLogSaveResult Station::SaveLog() {
    RaceLogSaveResult result = SaveRaceLog(logFileName_, tables_, settings_);
    saveStatus_.AutomaticSave(logFileName_, result);
    return result;
}

RaceLogSaveResult Station::SaveLogAs(const QString& path) {
    RaceLogSaveResult result = SaveRaceLog(path, tables_, settings_);
    saveStatus_.OwnSave(path, result);
    return result;
}

}  // namespace orvanrx
