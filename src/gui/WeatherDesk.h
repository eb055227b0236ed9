#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

namespace orvanrx {

class AirPanel;
class MainStatusBar;
class SettingsStore;
class WeatherFetcher;
class WeatherStore;

// The desktop program's weather: the samples in the logbook, the fetching of the current
// conditions at the track (every 15 minutes while a position for the venue heard last is
// kept), the status bar's air panel and the Tools > Weather... dialog.
class WeatherDesk final : public QObject {
    Q_OBJECT
public:
    struct Parts {
        MainStatusBar& statusBar;
        const SettingsStore& settings;
        QString logbookPath;
        // The venue byte heard last.
        std::function<int()> venue;
    };

    explicit WeatherDesk(Parts parts, QObject* parent = nullptr);
    ~WeatherDesk() override;

    // Tools > Weather...
    void ShowDialog(QWidget* parent);

    WeatherStore& Store() { return *store_; }
    WeatherFetcher& Fetcher() { return *fetcher_; }
    AirPanel& Panel();

private:
    Parts parts_;
    std::unique_ptr<WeatherStore> store_;
    std::unique_ptr<WeatherFetcher> fetcher_;
    QPointer<AirPanel> panel_;
};

}  // namespace orvanrx
