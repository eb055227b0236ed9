#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "weather/Air.h"

// Current conditions from an online weather service, for a track's position: the address of
// the request and the reading of its JSON reply. No network here; the fetching is elsewhere.
namespace orvanrx::air {

// A free service without a key: the current temperature, relative humidity and surface
// (station, not sea-level) pressure at a position. "{lat}" and "{lon}" are put in.
inline constexpr char kDefaultWeatherServiceUrl[] =
    "https://api.open-meteo.com/v1/forecast?latitude={lat}&longitude={lon}"
    "&current=temperature_2m,relative_humidity_2m,surface_pressure";

struct TrackPosition {
    double latitude = 0.0;   // degrees north, -90..90
    double longitude = 0.0;  // degrees east, -180..180

    friend bool operator==(const TrackPosition&, const TrackPosition&) = default;
};

// "41.4704, -88.1296" (a comma, blanks or both between); nothing when it is not two numbers in
// range.
std::optional<TrackPosition> ParseTrackPosition(const QString& text);
QString TrackPositionText(const TrackPosition& position);

// The service's address with the position put in (4 decimals: about 10 m); empty when the
// address is not an http or https address.
QString CurrentConditionsUrl(const QString& service, const TrackPosition& position);

struct CurrentConditionsResult {
    std::optional<WeatherSample> sample;
    QString reason;  // why the reply is no sample; empty with a sample
};

// Reads a reply of the kind {"current": {"temperature_2m": 21.4, "relative_humidity_2m": 55,
// "surface_pressure": 991.2}, "current_units": {"temperature_2m": "°C", ...}}: a temperature in
// °C or °F, a humidity in %, a pressure in hPa (or inHg). The sample gets `time` (the local time
// it was fetched) and `source`, and must pass SampleProblem.
CurrentConditionsResult ParseCurrentConditions(const QByteArray& json, const QString& time,
                                               const QString& source);

}  // namespace orvanrx::air
