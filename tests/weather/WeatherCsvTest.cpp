#include <gtest/gtest.h>

#include "weather/WeatherCsv.h"

namespace orvanrx::air {
namespace {

TEST(WeatherCsvTest, ColumnsInAnyOrderInEitherUnit) {
    const WeatherCsvResult r = ParseWeatherCsv(
        "Station,Baro_inHg,TIME,temp_f,humidity,wind\n"
        "x,29.92,2026-06-01 12:00,59,50,3\n"
        "\n"
        "x, 28.50 ,2026-06-01 12:15:30,95,20,4\n",
        QStringLiteral("station.csv"));
    ASSERT_TRUE(r.read) << r.error.toStdString();
    EXPECT_TRUE(r.problems.empty());
    ASSERT_EQ(r.samples.size(), 2u);
    EXPECT_EQ(r.samples[0].time, QStringLiteral("2026-06-01 12:00:00"));
    EXPECT_NEAR(r.samples[0].tempC, 15.0, 1e-9);
    EXPECT_NEAR(r.samples[0].baroHpa, 1013.21, 0.01);
    EXPECT_EQ(r.samples[0].humidity, 50.0);
    EXPECT_FALSE(r.samples[0].dewPointC);
    EXPECT_EQ(r.samples[1].time, QStringLiteral("2026-06-01 12:15:30"));
    EXPECT_NEAR(r.samples[1].tempC, 35.0, 1e-9);
    EXPECT_EQ(r.samples[1].source, QStringLiteral("station.csv"));

    const WeatherCsvResult c = ParseWeatherCsv(
        "dew_point_f,baro_hpa,track_temp_f,time,temp_c\n50,990.5,122,2026-06-01 13:00:00,20\n",
        QStringLiteral("s"));
    ASSERT_EQ(c.samples.size(), 1u);
    EXPECT_NEAR(*c.samples[0].dewPointC, 10.0, 1e-9);
    EXPECT_NEAR(*c.samples[0].trackTempC, 50.0, 1e-9);
    EXPECT_DOUBLE_EQ(c.samples[0].baroHpa, 990.5);
}

TEST(WeatherCsvTest, BadLinesAreNamedAndSkipped) {
    const WeatherCsvResult r = ParseWeatherCsv(
        "time,temp_c,dew_point_c,baro_hpa\n"
        "2026-06-01 12:00:00,20,10,1000\n"   // 2: good
        "2026-06-01 12:00:00,20,,1000\n"     // 3: no moisture
        "2026-06-01,20,10,1000\n"            // 4: no clock
        "2026-06-01 12:10:00,hot,10,1000\n"  // 5: not a number
        "2026-06-01 12:20:00,20,25,1000\n"   // 6: dew point above the temperature
        "2026-06-01 12:30:00,20,10,29.9\n"   // 7: inHg in the hPa column
        "2026-06-01 12:40:00,80,10,1000\n"   // 8: too hot
        "2026-06-01 12:50:00,20,10\n"        // 9: short line
        "2026-06-01 13:00:00,21,11,1001\n",  // 10: good
        QStringLiteral("s"));
    ASSERT_TRUE(r.read);
    ASSERT_EQ(r.samples.size(), 2u);
    EXPECT_EQ(r.samples[1].time, QStringLiteral("2026-06-01 13:00:00"));
    std::vector<int> lines;
    for (const WeatherCsvProblem& p : r.problems) {
        lines.push_back(p.line);
        EXPECT_FALSE(p.reason.isEmpty());
    }
    EXPECT_EQ(lines, (std::vector<int>{3, 4, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(r.problems[0].reason.contains(QStringLiteral("dew point")));
    EXPECT_TRUE(r.problems[2].reason.contains(QStringLiteral("hot")));
    EXPECT_TRUE(r.problems[4].reason.contains(QStringLiteral("barometer")));
}

TEST(WeatherCsvTest, FilesThatAreNoWeatherLogAreNotRead) {
    for (const char* text :
         {"", "time,temp_c,baro_hpa\n2026-06-01 12:00,20,1000\n", "a,b,c\n1,2,3\n", "\n\n"}) {
        const WeatherCsvResult r = ParseWeatherCsv(text, QStringLiteral("s"));
        EXPECT_FALSE(r.read) << text;
        EXPECT_FALSE(r.error.isEmpty());
    }
    EXPECT_FALSE(ReadWeatherCsv(QStringLiteral("/nonexistent/weather.csv")).read);
}

TEST(WeatherCsvTest, WrittenSamplesReadBack) {
    WeatherSample a;
    a.time = QStringLiteral("2026-06-01 12:00:00");
    a.tempC = 21.5;
    a.dewPointC = 8.25;
    a.baroHpa = 845.3;
    a.trackTempC = 40.0;
    WeatherSample b = a;
    b.time = QStringLiteral("2026-06-01 12:15:00");
    b.dewPointC.reset();
    b.humidity = 35.0;
    b.trackTempC.reset();
    const WeatherCsvResult r = ParseWeatherCsv(WeatherCsvText({a, b}), QStringLiteral("s"));
    ASSERT_TRUE(r.read);
    EXPECT_TRUE(r.problems.empty());
    ASSERT_EQ(r.samples.size(), 2u);
    EXPECT_NEAR(*r.samples[0].dewPointC, 8.25, 1e-9);
    EXPECT_NEAR(*r.samples[0].trackTempC, 40.0, 1e-9);
    EXPECT_EQ(r.samples[1].humidity, 35.0);
    EXPECT_FALSE(r.samples[1].dewPointC);
    EXPECT_FALSE(r.samples[1].trackTempC);
}

}  // namespace
}  // namespace orvanrx::air
