#pragma once

#include <QLatin1String>
#include <QString>
#include <optional>

#include "settings/SettingsStore.h"
#include "weather/CurrentConditions.h"
#include "weather/WeatherEntry.h"

// What the program keeps about the weather: the units the racer types in, the online
// service's address, and each track's position (by venue number, beside the track names).
namespace orvanrx::air {

inline constexpr QLatin1String kWeatherKey{"SOFTWARE\\OrvanRX\\Weather\\"};
inline constexpr QLatin1String kTempUnitValue{"TempUnit"};      // "F" or "C"
inline constexpr QLatin1String kMoistureValue{"Moisture"};      // "Humidity" or "DewPoint"
inline constexpr QLatin1String kBaroUnitValue{"BaroUnit"};      // "inHg" or "hPa"
inline constexpr QLatin1String kServiceUrlValue{"ServiceUrl"};  // with {lat} and {lon}
// "41.4704, -88.1296" as a value named by the venue's number.
inline constexpr QLatin1String kTrackPositionsKey{"SOFTWARE\\OrvanRX\\Logbook\\TrackPositions\\"};

// °F, humidity and inHg until the racer chooses others.
WeatherUnits ReadWeatherUnits(const SettingsStore& settings);
void SaveWeatherUnits(const SettingsStore& settings, const WeatherUnits& units);

// The service's address; the default one when none is kept.
QString ReadWeatherServiceUrl(const SettingsStore& settings);
void SaveWeatherServiceUrl(const SettingsStore& settings, const QString& url);

// The venue's position; nothing when none is kept (or it is unreadable).
std::optional<TrackPosition> ReadTrackPosition(const SettingsStore& settings, int venue);
// Keeps the position; nothing clears it to "" (the fetching stops for that track).
void SaveTrackPosition(const SettingsStore& settings, int venue,
                       const std::optional<TrackPosition>& position);

}  // namespace orvanrx::air
