#pragma once

#include <QString>

#include "weather/Air.h"

// A weather sample as the racer types it: texts in the units the racer reads off the station,
// checked and turned into a sample, or the first problem with the field it is in.
namespace orvanrx::air {

enum class TempUnit { Fahrenheit, Celsius };
enum class MoistureKind { Humidity, DewPoint };  // a dew point is in the temperature's unit
enum class BaroUnit { InHg, Hpa };

struct WeatherUnits {
    TempUnit temp = TempUnit::Fahrenheit;
    MoistureKind moisture = MoistureKind::Humidity;
    BaroUnit baro = BaroUnit::InHg;

    friend bool operator==(const WeatherUnits&, const WeatherUnits&) = default;
};

// The texts as typed; the track temperature and the time may be empty (no track temperature;
// the time is now). The time is "YYYY-MM-DD HH:MM[:SS]", or "HH:MM[:SS]" for today.
struct WeatherEntry {
    WeatherUnits units;
    QString temp;
    QString moisture;
    QString baro;
    QString trackTemp;
    QString time;
};

enum class WeatherEntryField { None, Temp, Moisture, Baro, TrackTemp, Time };

struct WeatherEntryResult {
    WeatherEntryField field = WeatherEntryField::None;  // where the problem is
    QString reason;                                     // empty when the entry is a sample
    WeatherSample sample;                               // source "typed"

    bool Ok() const { return reason.isEmpty(); }
};

// Reads an entry at the local time `now` ("yyyy-MM-dd HH:mm:ss"). Numbers are read with a
// point or the system's decimal separator. Each value must be within what any weather can be
// (the ranges of SampleProblem, told in the typed unit); a time later than now is refused,
// and so is a barometer that reads as the other unit (29.92 typed as hPa, 1013 as inHg).
WeatherEntryResult ReadWeatherEntry(const WeatherEntry& entry, const QString& now);

// The unit's short text: "°F", "°C", "inHg", "hPa".
QString UnitText(TempUnit unit);
QString UnitText(BaroUnit unit);

}  // namespace orvanrx::air
