#include "gui/AirPanel.h"

#include "weather/AirNow.h"
#include "weatherlink/WeatherStore.h"

namespace orvanrx {

AirPanel::AirPanel(WeatherStore& store, std::function<QDateTime()> now, QWidget* parent)
    : QLabel(parent), store_(store), now_(std::move(now)) {
    setObjectName(QStringLiteral("lblAir"));
    setAlignment(Qt::AlignCenter);
    setContentsMargins(4, 0, 4, 0);
    setStatusTip(QStringLiteral("Density Altitude and its Trend over the Last Hour"));
    hide();
    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, &AirPanel::Refresh);
    connect(&store_, &WeatherStore::SamplesChanged, this, &AirPanel::Refresh);
    timer_.start();
}

void AirPanel::Refresh() {
    ++reads_;
    const QDateTime now = now_();
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    const qint64 reach = air::kMaxSampleDistanceSeconds;
    const std::vector<air::WeatherSample> samples =
        store_.Samples(now.addSecs(-reach).toString(format), now.addSecs(reach).toString(format));
    const auto seconds = air::SecondsOf(now.toString(format));
    const std::optional<air::AirNow> air =
        seconds ? air::AirNowOf(samples, *seconds) : std::nullopt;
    if (!air) {
        clear();
        setToolTip({});
        setAccessibleName(QStringLiteral("Air"));
        hide();
        return;
    }
    setText(air::AirPanelText(*air));
    setToolTip(air::AirToolTip(*air));
    air::AirNow plain = *air;
    plain.trend = air::AirTrend::Unknown;
    setAccessibleName(
        QStringLiteral("Air: %1, %2").arg(air::AirPanelText(plain), air::TrendText(*air)));
    show();
}

}  // namespace orvanrx
