#include "weatherlink/WeatherStore.h"

#include "logbook/Logbook.h"

namespace orvanrx {

WeatherStore::WeatherStore(QString logbookPath, QObject* parent)
    : QObject(parent), path_(std::move(logbookPath)) {}

WeatherStore::~WeatherStore() = default;

Logbook* WeatherStore::Open(QString* error) {
    if (!logbook_) {
        Logbook::OpenResult opened = Logbook::Open(path_);
        logbook_ = std::move(opened.logbook);
        if (!logbook_ && error != nullptr) {
            *error = opened.error;
        }
    }
    return logbook_.get();
}

bool WeatherStore::Add(const air::WeatherSample& sample, QString* error) {
    Logbook* logbook = Open(error);
    if (logbook == nullptr) {
        return false;
    }
    if (!logbook->AddWeather({sample})) {
        if (error != nullptr) {
            *error = logbook->ErrorText();
        }
        return false;
    }
    Q_EMIT SamplesChanged();
    return true;
}

std::vector<air::WeatherSample> WeatherStore::Samples(const QString& since, const QString& until) {
    Logbook* logbook = Open(nullptr);
    return logbook != nullptr ? logbook->Weather(since, until) : std::vector<air::WeatherSample>{};
}

}  // namespace orvanrx
