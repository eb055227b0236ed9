#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "weather/Air.h"

// A weather station's log file: a header line naming the columns, comma-separated, in any
// order (names in any case; columns of other names are ignored):
//   time                       local, "YYYY-MM-DD HH:MM" or "YYYY-MM-DD HH:MM:SS"
//   temp_f | temp_c            air temperature
//   humidity | dew_point_f | dew_point_c   % relative, or the dew point
//   baro_inhg | baro_hpa       the station's absolute pressure (not corrected to sea level)
//   track_temp_f | track_temp_c   optional
// Where a file has both units of a value, Celsius and hectopascals are read. A line that cannot
// be a sample (a missing or unreadable value, a value out of any weather's range: below
// -50 °C or above 60 °C, a humidity outside 0..100 %, a dew point above the temperature, a
// barometer outside 500..1100 hPa) is skipped with its line number and reason; blank lines are
// skipped silently.
namespace orvanrx::air {

struct WeatherCsvProblem {
    int line = 0;  // 1 is the header
    QString reason;
};

struct WeatherCsvResult {
    // False when the file could not be read at all, or its header names no time, temperature,
    // moisture or barometer column: `error` says why.
    bool read = false;
    QString error;
    std::vector<WeatherSample> samples;
    std::vector<WeatherCsvProblem> problems;
};

WeatherCsvResult ParseWeatherCsv(const QByteArray& text, const QString& source);
WeatherCsvResult ReadWeatherCsv(const QString& path);

// Checks a sample against the ranges above; the reason, or nothing when it is fine.
std::optional<QString> SampleProblem(const WeatherSample& sample);

// A weather file's text for samples (time,temp_c,dew_point_c,baro_hpa,track_temp_c; humidity
// when a sample has no dew point), as ParseWeatherCsv reads it.
QByteArray WeatherCsvText(const std::vector<WeatherSample>& samples);

}  // namespace orvanrx::air
