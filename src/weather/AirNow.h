#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "weather/Air.h"

// The air now, for a glance at the status bar: the density altitude at a moment, which way it
// is going, and the sample it rests on.
namespace orvanrx::air {

// Density altitude moving slower than this many feet an hour counts as steady: about what a
// bracket car notices (a hundredth or less in the quarter mile).
inline constexpr double kSteadyFeetPerHour = 100.0;
// The trend looks back this far, and wants samples at least kTrendMinSpanSeconds apart.
inline constexpr std::int64_t kTrendWindowSeconds = 90 * 60;
inline constexpr std::int64_t kTrendMinSpanSeconds = 15 * 60;

enum class AirTrend { Unknown, Rising, Falling, Steady };

struct AirNow {
    AirReading reading;  // at the moment, interpolated between samples
    AirFigures figures;
    WeatherSample latest;  // the newest sample at or before the moment (else the nearest)
    AirTrend trend = AirTrend::Unknown;
    double feetPerHour = 0.0;  // the density altitude's change, when the trend is known
};

// The air at `seconds` (SecondsOf's scale) from the samples, by the two-hour rule of
// WeatherTimeline; nothing when no sample is within two hours. The trend is the density
// altitude's change between the first and the last sample of the 90 minutes up to the moment,
// per hour; unknown with fewer than two such samples 15 minutes apart.
std::optional<AirNow> AirNowOf(const std::vector<WeatherSample>& samples, std::int64_t seconds);

// "DA 2,350 ft ▲": the density altitude rounded to 10 ft, with ▲ rising, ▼ falling, ● steady,
// nothing when the trend is unknown.
QString AirPanelText(const AirNow& air);
// The whole air, a line each: density altitude and trend, temperature, humidity or dew point,
// barometer, correction factor, air density, and the sample's time and source.
QString AirToolTip(const AirNow& air);
// The trend in words: "rising 180 ft an hour", "steady", "not known yet".
QString TrendText(const AirNow& air);

}  // namespace orvanrx::air
