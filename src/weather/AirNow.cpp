#include "weather/AirNow.h"

#include <QLocale>
#include <QStringList>
#include <cmath>

namespace orvanrx::air {

namespace {

QString Feet(double feet) {
    return QLocale().toString(static_cast<qlonglong>(std::lround(feet / 10.0) * 10));
}

}  // namespace

std::optional<AirNow> AirNowOf(const std::vector<WeatherSample>& samples, std::int64_t seconds) {
    const WeatherTimeline timeline(samples);
    const std::optional<AirReading> reading = timeline.At(seconds);
    if (!reading) {
        return std::nullopt;
    }
    AirNow air;
    air.reading = *reading;
    air.figures = FiguresOf(*reading);

    const WeatherSample* latest = nullptr;
    std::int64_t latestAt = 0;
    const WeatherSample* nearest = nullptr;
    std::int64_t nearestDistance = 0;
    // The samples of the trend's window, as (time, density altitude), first and last.
    std::optional<std::pair<std::int64_t, double>> first;
    std::optional<std::pair<std::int64_t, double>> last;
    for (const WeatherSample& s : samples) {
        const auto at = SecondsOf(s.time);
        if (!at) {
            continue;
        }
        if (*at <= seconds && (latest == nullptr || *at >= latestAt)) {
            latest = &s;
            latestAt = *at;
        }
        const std::int64_t distance = std::llabs(*at - seconds);
        if (nearest == nullptr || distance < nearestDistance) {
            nearest = &s;
            nearestDistance = distance;
        }
        if (*at <= seconds && *at >= seconds - kTrendWindowSeconds) {
            const double da = FiguresOf(s.Reading()).densityAltitudeFt;
            if (!first || *at < first->first) {
                first = {*at, da};
            }
            if (!last || *at >= last->first) {
                last = {*at, da};
            }
        }
    }
    air.latest = latest != nullptr ? *latest : *nearest;
    if (first && last && last->first - first->first >= kTrendMinSpanSeconds) {
        air.feetPerHour = (last->second - first->second) * 3600.0 /
                          static_cast<double>(last->first - first->first);
        air.trend = std::abs(air.feetPerHour) < kSteadyFeetPerHour ? AirTrend::Steady
                    : air.feetPerHour > 0.0                        ? AirTrend::Rising
                                                                   : AirTrend::Falling;
    }
    return air;
}

QString AirPanelText(const AirNow& air) {
    QString text = QStringLiteral("DA %1 ft").arg(Feet(air.figures.densityAltitudeFt));
    switch (air.trend) {
        case AirTrend::Rising:
            return text + QStringLiteral(" \u25B2");
        case AirTrend::Falling:
            return text + QStringLiteral(" \u25BC");
        case AirTrend::Steady:
            return text + QStringLiteral(" \u25CF");
        case AirTrend::Unknown:
            break;
    }
    return text;
}

QString TrendText(const AirNow& air) {
    switch (air.trend) {
        case AirTrend::Rising:
            return QStringLiteral("rising %1 ft an hour").arg(Feet(air.feetPerHour));
        case AirTrend::Falling:
            return QStringLiteral("falling %1 ft an hour").arg(Feet(-air.feetPerHour));
        case AirTrend::Steady:
            return QStringLiteral("steady");
        case AirTrend::Unknown:
            break;
    }
    return QStringLiteral("trend not known yet");
}

QString AirToolTip(const AirNow& air) {
    const WeatherSample& s = air.latest;
    QStringList lines;
    lines << QStringLiteral("Density altitude %1 ft, %2")
                 .arg(Feet(air.figures.densityAltitudeFt), TrendText(air));
    lines << QStringLiteral("Temperature %1 °F (%2 °C)")
                 .arg(QString::number(FahrenheitFromCelsius(s.tempC), 'f', 1),
                      QString::number(s.tempC, 'f', 1));
    if (s.humidity) {
        lines << QStringLiteral("Humidity %1 %").arg(QString::number(*s.humidity, 'f', 0));
    }
    if (s.dewPointC) {
        lines << QStringLiteral("Dew point %1 °F (%2 °C)")
                     .arg(QString::number(FahrenheitFromCelsius(*s.dewPointC), 'f', 1),
                          QString::number(*s.dewPointC, 'f', 1));
    }
    lines << QStringLiteral("Barometer %1 inHg (%2 hPa), uncorrected")
                 .arg(QString::number(InHgFromHpa(s.baroHpa), 'f', 2),
                      QString::number(s.baroHpa, 'f', 1));
    if (s.trackTempC) {
        lines << QStringLiteral("Track %1 °F (%2 °C)")
                     .arg(QString::number(FahrenheitFromCelsius(*s.trackTempC), 'f', 0),
                          QString::number(*s.trackTempC, 'f', 0));
    }
    lines << QStringLiteral("Correction factor %1, air density %2 kg/m³")
                 .arg(QString::number(air.figures.correction, 'f', 4),
                      QString::number(air.figures.density, 'f', 4));
    lines << QStringLiteral("Sample of %1 (%2)").arg(s.time, s.source);
    return lines.join(u'\n');
}

}  // namespace orvanrx::air
