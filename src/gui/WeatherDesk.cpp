#include "gui/WeatherDesk.h"

#include <QDateTime>
#include <QTextStream>

#include "gui/AirPanel.h"
#include "gui/MainStatusBar.h"
#include "gui/frmWeather.h"
#include "logbook/TrackNames.h"
#include "weather/WeatherSettings.h"
#include "weatherlink/WeatherFetcher.h"
#include "weatherlink/WeatherStore.h"

namespace orvanrx {

namespace {

QString NowText() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

}  // namespace

WeatherDesk::WeatherDesk(Parts parts, QObject* parent)
    : QObject(parent),
      parts_(std::move(parts)),
      store_(std::make_unique<WeatherStore>(parts_.logbookPath)) {
    WeatherFetcher::Setup setup;
    setup.address = [this]() -> QString {
        const int venue = parts_.venue();
        const auto position = air::ReadTrackPosition(parts_.settings, venue);
        return position ? air::CurrentConditionsUrl(air::ReadWeatherServiceUrl(parts_.settings),
                                                    *position)
                        : QString();
    };
    setup.now = NowText;
    setup.store = [this](const air::WeatherSample& sample) { store_->Add(sample); };
    setup.log = [](const QString& line) { QTextStream(stderr) << "orvanrx: " << line << '\n'; };
    // A sample that could not be stored, fetched or typed, is said here too: the dialog may
    // be closed before the answer comes.
    connect(store_.get(), &WeatherStore::Stored, this,
            [](std::uint64_t, bool ok, const QString& error) {
                if (!ok) {
                    QTextStream(stderr) << "orvanrx: weather not stored: " << error << '\n';
                }
            });
    fetcher_ = std::make_unique<WeatherFetcher>(std::move(setup));
    panel_ = new AirPanel(*store_, [] { return QDateTime::currentDateTime(); });
    parts_.statusBar.AddAirPanel(panel_);
    panel_->Refresh();
    fetcher_->Start();
}

WeatherDesk::~WeatherDesk() {
    // The panel lives in the status bar but reads the store, which goes now.
    delete panel_.data();
}

AirPanel& WeatherDesk::Panel() {
    return *panel_;
}

void WeatherDesk::ShowDialog(QWidget* parent) {
    const int venue = parts_.venue();
    frmWeather dialog({*store_, parts_.settings, venue, TrackNameOf(parts_.settings, venue),
                       fetcher_.get(), NowText},
                      parent);
    dialog.exec();
}

}  // namespace orvanrx
