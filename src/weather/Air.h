#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// The air a run is made in, and what it does to an engine: the moist-air figures racers and
// dyno rooms use, from the temperature, the moisture (relative humidity or dew point) and the
// station's uncorrected (absolute) barometer.
//
// Units inside: degrees Celsius, hectopascals (hPa, millibar), kilograms per cubic metre, feet
// for the density altitude. The conversions racers type in (°F, inHg) are here too.
namespace orvanrx::air {

inline constexpr double kHpaPerInHg = 33.8638866667;

constexpr double CelsiusFromFahrenheit(double f) {
    return (f - 32.0) * 5.0 / 9.0;
}
constexpr double FahrenheitFromCelsius(double c) {
    return c * 9.0 / 5.0 + 32.0;
}
constexpr double HpaFromInHg(double inHg) {
    return inHg * kHpaPerInHg;
}
constexpr double InHgFromHpa(double hpa) {
    return hpa / kHpaPerInHg;
}

// Saturation vapour pressure over water, hPa, by the Buck (1981) equation
// 6.1121 exp((18.678 - T/234.5) T / (257.14 + T)), T in °C; within 0.05 % from -40 to 50 °C.
double SaturationVapourPressure(double tempC);
// The vapour pressure of air at a dew point (the saturation pressure at the dew point).
double VapourPressureFromDewPoint(double dewPointC);
// The vapour pressure of air at a relative humidity (0..100 %).
double VapourPressureFromHumidity(double tempC, double humidityPercent);

// One reading of the air: what a weather station shows.
struct AirReading {
    double tempC = 15.0;
    double vapourHpa = 0.0;        // partial pressure of the water vapour
    double pressureHpa = 1013.25;  // absolute (station) pressure, not corrected to sea level

    friend bool operator==(const AirReading&, const AirReading&) = default;
};

// The figures of a reading.
struct AirFigures {
    double dryHpa = 0.0;             // dry-air pressure: the station pressure less the vapour
    double virtualTempK = 0.0;       // the temperature dry air would need for the same density
    double density = 0.0;            // kg/m³
    double densityAltitudeFt = 0.0;  // the height of the standard atmosphere with this density
    double correction = 1.0;         // SAE J1349 correction factor (above 1: weaker air)
};

AirFigures FiguresOf(const AirReading& reading);

// Dry-air pressure, hPa.
double DryAirPressure(const AirReading& reading);
// Virtual temperature, kelvin: T / (1 - (e/p)(1 - ε)), ε = Rd/Rv = 0.622.
double VirtualTemperature(const AirReading& reading);
// Density of moist air, kg/m³: the dry-air part pd/(Rd T) plus the vapour part e/(Rv T).
double Density(const AirReading& reading);
// Density altitude, feet: the height at which the International Standard Atmosphere
// (troposphere: 15 °C and 1013.25 hPa at sea level, lapse 6.5 K/km) has this density,
// h = (T0/L) (1 - (ρ/ρ0)^(L R / (g - L R))).
double DensityAltitudeFeet(double density);
// SAE J1349 (June 1990) engine power correction factor to 99 kPa dry air at 25 °C:
// CF = 1.18 (990 / pd) sqrt((T + 273) / 298) - 0.18, pd in hPa. Observed power times CF is
// the power in the reference air.
double SaeCorrectionFactor(const AirReading& reading);

// A sample of the weather, as typed, imported or fetched. The time is the local wall clock,
// like the race log's DateTime ("yyyy-MM-dd HH:mm:ss").
struct WeatherSample {
    QString time;
    double tempC = 15.0;
    std::optional<double> humidity;  // % relative
    std::optional<double> dewPointC;
    double baroHpa = 1013.25;  // the station's absolute pressure
    std::optional<double> trackTempC;
    QString source;  // "typed", a file name, a service

    // The reading: the vapour pressure from the dew point when known, else the humidity, else
    // dry air.
    AirReading Reading() const;
};

// Seconds of a local time text ("yyyy-MM-dd HH:mm:ss" or "yyyy-MM-dd HH:mm") on a steady scale
// (the wall clock read as if it were UTC, so no zone or daylight change moves it); nothing when
// the text is not such a time.
std::optional<std::int64_t> SecondsOf(const QString& time);

// The farthest a sample may be from a moment to say anything about the air then.
inline constexpr std::int64_t kMaxSampleDistanceSeconds = 2 * 60 * 60;

// Samples in order of time, for looking up the air at any moment.
class WeatherTimeline {
public:
    WeatherTimeline() = default;
    // Samples whose time is not a time are left out; the order does not matter.
    explicit WeatherTimeline(const std::vector<WeatherSample>& samples);

    bool IsEmpty() const { return points_.empty(); }
    int Size() const { return static_cast<int>(points_.size()); }

    // The air at a moment: linear between the samples either side (temperature, vapour
    // pressure and barometer each), or the nearest sample alone when the other side is more
    // than two hours away or missing. Nothing when the nearest sample is more than two hours
    // away.
    std::optional<AirReading> At(std::int64_t seconds) const;
    std::optional<AirReading> At(const QString& time) const;

private:
    struct Point {
        std::int64_t seconds = 0;
        AirReading reading;
    };
    std::vector<Point> points_;
};

}  // namespace orvanrx::air
