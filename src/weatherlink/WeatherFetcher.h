#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

#include "weather/Air.h"

class QNetworkReply;

namespace orvanrx {

// Fetches the current conditions at the track from an online service on a slow schedule and
// hands each good reply on as a weather sample. Nothing waits: the request runs on the event
// loop, the reply arrives as a signal. Offline, a refused connection, a slow service (over the
// time-out), an HTTP error or a reply that is no weather store nothing; the first failure of a
// run of them is written as one line (through `log`), and the next success ends the run.
class WeatherFetcher final : public QObject {
    Q_OBJECT
public:
    struct Setup {
        // The address to ask now (the track's position put in), or empty when there is none
        // (no track position known): then nothing is fetched.
        std::function<QString()> address;
        // The local time now, "yyyy-MM-dd HH:mm:ss": the sample's time.
        std::function<QString()> now;
        // Where a good sample goes (the logbook).
        std::function<void(const air::WeatherSample&)> store;
        // One line about a failure.
        std::function<void(const QString&)> log;
        int intervalMs = 15 * 60 * 1000;
        int timeoutMs = 20 * 1000;
    };

    explicit WeatherFetcher(Setup setup, QObject* parent = nullptr);
    ~WeatherFetcher() override;

    // Fetches now and then every interval.
    void Start();
    void Stop();
    bool Running() const { return timer_.isActive(); }
    // One fetch now (a fetch still under way is left to finish and this one is skipped).
    void FetchNow();
    bool Busy() const { return !reply_.isNull(); }

Q_SIGNALS:
    // A fetch ended: the sample stored, or why not (also when there was nothing to ask).
    void Fetched(const std::optional<air::WeatherSample>& sample, const QString& reason);

private:
    void Finished(QNetworkReply* reply);
    void Fail(const QString& reason);

    Setup setup_;
    QNetworkAccessManager network_;
    QTimer timer_;
    QPointer<QNetworkReply> reply_;
    bool failing_ = false;
};

}  // namespace orvanrx
