#include "gui/AirPanel.h"

#include <QPainter>

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
        compact_.clear();
        setToolTip({});
        setAccessibleName(QStringLiteral("Air"));
        known_ = false;
        hide();
        return;
    }
    setText(air::AirPanelText(*air));
    // The figure and the trend alone: "DA 2,350 ft ▲" as "2,350▲".
    compact_ = text().mid(3).remove(QStringLiteral(" ft")).remove(u' ');
    setToolTip(air::AirToolTip(*air));
    air::AirNow plain = *air;
    plain.trend = air::AirTrend::Unknown;
    setAccessibleName(
        QStringLiteral("Air: %1, %2").arg(air::AirPanelText(plain), air::TrendText(*air)));
    known_ = true;
    setVisible(!givingWay_);
}

void AirPanel::SetGivingWay(bool on) {
    givingWay_ = on;
    setVisible(known_ && !givingWay_);
}

QString AirPanel::ShownText() const {
    const QMargins m = contentsMargins();
    const int room = width() - m.left() - m.right();
    // The whole text, the figure and the trend, the trend alone, or nothing.
    for (const QString& shown : {text(), compact_, compact_.right(1)}) {
        if (fontMetrics().horizontalAdvance(shown) <= room) {
            return shown;
        }
    }
    return {};
}

QSize AirPanel::minimumSizeHint() const {
    // The trend alone: the panel gives way first, so the other panels keep their room on a
    // small screen.
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(compact_.right(1)) + m.left() + m.right(),
            QLabel::minimumSizeHint().height()};
}

void AirPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(contentsRect(), Qt::AlignCenter, ShownText());
}

}  // namespace orvanrx
