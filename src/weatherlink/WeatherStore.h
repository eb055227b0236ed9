#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

#include "weather/Air.h"

namespace orvanrx {

class Logbook;

// The program's weather samples: kept in the season logbook (as `orvanrx-cli weather add`
// keeps them), read back for the status bar. The logbook is opened at the first use and kept
// open; a logbook that cannot be opened is tried again at the next use. Everything here runs
// on the caller's thread: call it from a dialog, a slow timer or a finished download, never
// from the 30 ms tick.
class WeatherStore final : public QObject {
    Q_OBJECT
public:
    explicit WeatherStore(QString logbookPath, QObject* parent = nullptr);
    ~WeatherStore() override;

    // Stores the sample (one of the same moment is replaced); SamplesChanged follows. False
    // with the reason in `error` when the logbook could not be opened or written.
    bool Add(const air::WeatherSample& sample, QString* error = nullptr);
    // The samples from `since` to `until` (local times as text), by time; none when the
    // logbook cannot be read.
    std::vector<air::WeatherSample> Samples(const QString& since, const QString& until);

    const QString& LogbookPath() const { return path_; }

Q_SIGNALS:
    void SamplesChanged();

private:
    Logbook* Open(QString* error);

    QString path_;
    std::unique_ptr<Logbook> logbook_;
};

}  // namespace orvanrx
