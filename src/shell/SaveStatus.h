#pragma once

#include <QString>

#include "racelog/RaceLogFile.h"
#include "receiver/StatusIndicators.h"

namespace orvanrx {

// What the status text says about the race log's saves, for both programs. No save fails
// unnoticed: a failure puts RaceLogNotSavedText (the file and the reason) in the status text,
// and a success after failures clears it (""). Two streaks are kept apart:
// - the automatic saves of this start's log file (the poll loop's, the one at shut-down): only
//   the first failure of a streak sets the text, and a success after it clears the text;
// - the racer's own saves under another name (File > Save Log...): every failure sets the text,
//   and a success after one clears it unless the automatic saves are still failing.
class SaveStatus {
public:
    explicit SaveStatus(StatusIndicators& indicators) : indicators_(indicators) {}

    // An automatic save of `path` ended with `result`.
    void AutomaticSave(const QString& path, const RaceLogSaveResult& result);
    // A save of the racer's own to `path` ended with `result`.
    void OwnSave(const QString& path, const RaceLogSaveResult& result);

    // The last automatic save failed (and no later one succeeded).
    bool AutomaticFailing() const { return automaticFailing_; }

private:
    StatusIndicators& indicators_;
    bool automaticFailing_ = false;
    bool ownFailing_ = false;
};

}  // namespace orvanrx
