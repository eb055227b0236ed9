#include "weather/Air.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace orvanrx::air {

namespace {

constexpr double kKelvin = 273.15;
constexpr double kDryGasConstant = 287.058;     // J/(kg K)
constexpr double kVapourGasConstant = 461.495;  // J/(kg K)
constexpr double kEpsilon = kDryGasConstant / kVapourGasConstant;

// International Standard Atmosphere, troposphere.
constexpr double kIsaSeaLevelTempK = 288.15;
constexpr double kIsaLapse = 0.0065;  // K/m
constexpr double kIsaGasConstant = 287.05287;
constexpr double kGravity = 9.80665;
constexpr double kIsaSeaLevelDensity = 1.225;
constexpr double kFeetPerMetre = 1.0 / 0.3048;

}  // namespace

double SaturationVapourPressure(double tempC) {
    return 6.1121 * std::exp((18.678 - tempC / 234.5) * tempC / (257.14 + tempC));
}

double VapourPressureFromDewPoint(double dewPointC) {
    return SaturationVapourPressure(dewPointC);
}

double VapourPressureFromHumidity(double tempC, double humidityPercent) {
    return std::clamp(humidityPercent, 0.0, 100.0) / 100.0 * SaturationVapourPressure(tempC);
}

double DryAirPressure(const AirReading& reading) {
    return reading.pressureHpa - reading.vapourHpa;
}

double VirtualTemperature(const AirReading& reading) {
    const double t = reading.tempC + kKelvin;
    return t / (1.0 - reading.vapourHpa / reading.pressureHpa * (1.0 - kEpsilon));
}

double Density(const AirReading& reading) {
    const double t = reading.tempC + kKelvin;
    return DryAirPressure(reading) * 100.0 / (kDryGasConstant * t) +
           reading.vapourHpa * 100.0 / (kVapourGasConstant * t);
}

double DensityAltitudeFeet(double density) {
    const double exponent = kIsaLapse * kIsaGasConstant / (kGravity - kIsaLapse * kIsaGasConstant);
    const double metres =
        kIsaSeaLevelTempK / kIsaLapse * (1.0 - std::pow(density / kIsaSeaLevelDensity, exponent));
    return metres * kFeetPerMetre;
}

double SaeCorrectionFactor(const AirReading& reading) {
    return 1.18 * (990.0 / DryAirPressure(reading)) * std::sqrt((reading.tempC + 273.0) / 298.0) -
           0.18;
}

AirFigures FiguresOf(const AirReading& reading) {
    AirFigures f;
    f.dryHpa = DryAirPressure(reading);
    f.virtualTempK = VirtualTemperature(reading);
    f.density = Density(reading);
    f.densityAltitudeFt = DensityAltitudeFeet(f.density);
    f.correction = SaeCorrectionFactor(reading);
    return f;
}

AirReading WeatherSample::Reading() const {
    AirReading r;
    r.tempC = tempC;
    r.pressureHpa = baroHpa;
    if (dewPointC) {
        r.vapourHpa = VapourPressureFromDewPoint(*dewPointC);
    } else if (humidity) {
        r.vapourHpa = VapourPressureFromHumidity(tempC, *humidity);
    }
    return r;
}

std::optional<std::int64_t> SecondsOf(const QString& time) {
    // Read as date and time apart: a local time that a daylight change skips is still a time.
    const QString t = time.trimmed();
    if (t.size() != 16 && t.size() != 19) {
        return std::nullopt;
    }
    const QDate date = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime clock = QTime::fromString(
        t.mid(11), t.size() == 19 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
    if (t.at(10) != QLatin1Char(' ') || !date.isValid() || !clock.isValid()) {
        return std::nullopt;
    }
    return QDateTime(date, clock, Qt::UTC).toSecsSinceEpoch();
}

WeatherTimeline::WeatherTimeline(const std::vector<WeatherSample>& samples) {
    points_.reserve(samples.size());
    for (const WeatherSample& s : samples) {
        if (const auto seconds = SecondsOf(s.time)) {
            points_.push_back({*seconds, s.Reading()});
        }
    }
    std::stable_sort(points_.begin(), points_.end(),
                     [](const Point& a, const Point& b) { return a.seconds < b.seconds; });
}

std::optional<AirReading> WeatherTimeline::At(std::int64_t seconds) const {
    const auto after =
        std::lower_bound(points_.begin(), points_.end(), seconds,
                         [](const Point& p, std::int64_t s) { return p.seconds < s; });
    const Point* next = after != points_.end() ? &*after : nullptr;
    const Point* prev = after != points_.begin() ? &*std::prev(after) : nullptr;
    const auto near = [&](const Point* p) {
        return p && std::llabs(p->seconds - seconds) <= kMaxSampleDistanceSeconds;
    };
    if (near(prev) && near(next)) {
        const double f = static_cast<double>(seconds - prev->seconds) /
                         static_cast<double>(next->seconds - prev->seconds);
        const auto mix = [f](double a, double b) { return a + (b - a) * f; };
        return AirReading{mix(prev->reading.tempC, next->reading.tempC),
                          mix(prev->reading.vapourHpa, next->reading.vapourHpa),
                          mix(prev->reading.pressureHpa, next->reading.pressureHpa)};
    }
    if (near(next)) {
        return next->reading;
    }
    if (near(prev)) {
        return prev->reading;
    }
    return std::nullopt;
}

std::optional<AirReading> WeatherTimeline::At(const QString& time) const {
    const auto seconds = SecondsOf(time);
    if (!seconds) {
        return std::nullopt;
    }
    return At(*seconds);
}

}  // namespace orvanrx::air
