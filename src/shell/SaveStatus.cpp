#include "shell/SaveStatus.h"

namespace orvanrx {

void SaveStatus::AutomaticSave(const QString& path, const RaceLogSaveResult& result) {
    if (result.outcome == RaceLogSaveOutcome::Failed && !automaticFailing_) {
        automaticFailing_ = true;
        indicators_.SetStatusText(RaceLogNotSavedText(path, result.reason));
    } else if (result.outcome == RaceLogSaveOutcome::Saved && automaticFailing_) {
        automaticFailing_ = false;
        indicators_.SetStatusText(QString());
    }
}

void SaveStatus::OwnSave(const QString& path, const RaceLogSaveResult& result) {
    if (result.outcome == RaceLogSaveOutcome::Failed) {
        ownFailing_ = true;
        indicators_.SetStatusText(RaceLogNotSavedText(path, result.reason));
    } else if (result.outcome == RaceLogSaveOutcome::Saved && ownFailing_) {
        ownFailing_ = false;
        if (!automaticFailing_) {
            indicators_.SetStatusText(QString());
        }
    }
}

}  // namespace orvanrx
