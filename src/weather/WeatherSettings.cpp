#include "weather/WeatherSettings.h"

#include "settings/SettingsKeys.h"

namespace orvanrx::air {

namespace {

QString Read(const SettingsStore& settings, const QString& key, const QString& value) {
    const QString text = settings.QueryValue(key, value);
    return text == QLatin1String(kNoKeyValue) ? QString() : text.trimmed();
}

}  // namespace

WeatherUnits ReadWeatherUnits(const SettingsStore& settings) {
    WeatherUnits units;
    if (Read(settings, kWeatherKey, kTempUnitValue) == QStringLiteral("C")) {
        units.temp = TempUnit::Celsius;
    }
    if (Read(settings, kWeatherKey, kMoistureValue) == QStringLiteral("DewPoint")) {
        units.moisture = MoistureKind::DewPoint;
    }
    if (Read(settings, kWeatherKey, kBaroUnitValue) == QStringLiteral("hPa")) {
        units.baro = BaroUnit::Hpa;
    }
    return units;
}

void SaveWeatherUnits(const SettingsStore& settings, const WeatherUnits& units) {
    settings.SetKeyValues(
        kWeatherKey,
        {{QString(kTempUnitValue),
          units.temp == TempUnit::Celsius ? QStringLiteral("C") : QStringLiteral("F")},
         {QString(kMoistureValue), units.moisture == MoistureKind::DewPoint
                                       ? QStringLiteral("DewPoint")
                                       : QStringLiteral("Humidity")},
         {QString(kBaroUnitValue),
          units.baro == BaroUnit::Hpa ? QStringLiteral("hPa") : QStringLiteral("inHg")}},
        ValueType::RegSz);
}

QString ReadWeatherServiceUrl(const SettingsStore& settings) {
    const QString url = Read(settings, kWeatherKey, kServiceUrlValue);
    return url.isEmpty() ? QString::fromLatin1(kDefaultWeatherServiceUrl) : url;
}

void SaveWeatherServiceUrl(const SettingsStore& settings, const QString& url) {
    settings.SetKeyValue(kWeatherKey, kServiceUrlValue, url.trimmed(), ValueType::RegSz);
}

std::optional<TrackPosition> ReadTrackPosition(const SettingsStore& settings, int venue) {
    return ParseTrackPosition(Read(settings, kTrackPositionsKey, QString::number(venue)));
}

void SaveTrackPosition(const SettingsStore& settings, int venue,
                       const std::optional<TrackPosition>& position) {
    settings.SetKeyValue(kTrackPositionsKey, QString::number(venue),
                         position ? TrackPositionText(*position) : QString(), ValueType::RegSz);
}

}  // namespace orvanrx::air
