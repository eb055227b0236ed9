#include <gtest/gtest.h>

#include <QLocale>

#include "weather/AirNow.h"

namespace orvanrx::air {
namespace {

WeatherSample Sample(const char* time, double tempC, double baroHpa, double humidity = 40.0) {
    WeatherSample s;
    s.time = QString::fromLatin1(time);
    s.tempC = tempC;
    s.baroHpa = baroHpa;
    s.humidity = humidity;
    s.source = QStringLiteral("typed");
    return s;
}

std::int64_t At(const char* time) {
    return *SecondsOf(QString::fromLatin1(time));
}

class AirNowTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

// Nothing is shown when the nearest sample is more than two hours from the moment.
TEST_F(AirNowTest, OnlyWhileASampleIsWithinTwoHours) {
    const std::vector<WeatherSample> samples = {Sample("2026-06-13 10:00:00", 25.0, 990.0)};
    EXPECT_FALSE(AirNowOf({}, At("2026-06-13 10:00:00")));
    EXPECT_TRUE(AirNowOf(samples, At("2026-06-13 12:00:00")));
    EXPECT_FALSE(AirNowOf(samples, At("2026-06-13 12:00:01")));
    EXPECT_TRUE(AirNowOf(samples, At("2026-06-13 08:00:00")));  // a sample a little ahead
    EXPECT_FALSE(AirNowOf(samples, At("2026-06-13 07:59:59")));
}

// Rising when the air thins (heat, falling barometer), falling when it thickens, steady within
// 100 ft an hour, unknown from one sample or samples too close together.
TEST_F(AirNowTest, TrendFollowsTheDensityAltitudeOverTheLastHour) {
    struct Case {
        std::vector<WeatherSample> samples;
        AirTrend trend;
        const char* glyph;
    };
    const Case cases[] = {
        {{Sample("2026-06-13 13:00:00", 24.0, 990.0), Sample("2026-06-13 14:00:00", 28.0, 990.0)},
         AirTrend::Rising,
         "\u25B2"},
        {{Sample("2026-06-13 13:00:00", 28.0, 990.0), Sample("2026-06-13 14:00:00", 28.0, 995.0)},
         AirTrend::Falling,
         "\u25BC"},
        {{Sample("2026-06-13 13:00:00", 28.0, 990.0), Sample("2026-06-13 14:00:00", 28.1, 990.0)},
         AirTrend::Steady,
         "\u25CF"},
        {{Sample("2026-06-13 14:00:00", 28.0, 990.0)}, AirTrend::Unknown, ""},
        {{Sample("2026-06-13 13:50:00", 20.0, 990.0), Sample("2026-06-13 14:00:00", 28.0, 990.0)},
         AirTrend::Unknown,
         ""},
        // Older than the window: not part of the trend.
        {{Sample("2026-06-13 12:00:00", 10.0, 990.0), Sample("2026-06-13 14:00:00", 28.0, 990.0)},
         AirTrend::Unknown,
         ""},
        // A later sample does not make the trend of now.
        {{Sample("2026-06-13 14:00:00", 28.0, 990.0), Sample("2026-06-13 15:00:00", 10.0, 990.0)},
         AirTrend::Unknown,
         ""},
    };
    for (const Case& c : cases) {
        const auto air = AirNowOf(c.samples, At("2026-06-13 14:10:00"));
        ASSERT_TRUE(air);
        EXPECT_EQ(air->trend, c.trend) << air->feetPerHour;
        EXPECT_TRUE(AirPanelText(*air).endsWith(QString::fromUtf8(c.glyph)))
            << AirPanelText(*air).toStdString();
    }
    // 4 °C in an hour at 990 hPa is about 500 ft of density altitude.
    const auto rising = AirNowOf(cases[0].samples, At("2026-06-13 14:00:00"));
    EXPECT_GT(rising->feetPerHour, 400.0);
    EXPECT_LT(rising->feetPerHour, 650.0);
}

TEST_F(AirNowTest, PanelAndToolTipShowTheAirOfTheLatestSample) {
    WeatherSample early = Sample("2026-06-13 13:00:00", 20.0, 1013.25, 0.0);
    WeatherSample late = Sample("2026-06-13 14:00:00", 15.0, 1013.25, 0.0);
    late.humidity.reset();
    late.dewPointC = -40.0;
    late.trackTempC = 40.0;
    late.source = QStringLiteral("api.open-meteo.com");
    const auto air = AirNowOf({early, late}, At("2026-06-13 14:20:00"));
    ASSERT_TRUE(air);
    EXPECT_EQ(air->latest.time, late.time);
    // Standard air at sea level, nearly dry: a density altitude about 0.
    EXPECT_NEAR(air->figures.densityAltitudeFt, 0.0, 30.0);
    EXPECT_TRUE(AirPanelText(*air).startsWith(QStringLiteral("DA ")));
    EXPECT_EQ(air->trend, AirTrend::Falling);
    const QString tip = AirToolTip(*air);
    for (const char* part :
         {"falling", "Temperature 59.0 °F (15.0 °C)", "Dew point -40.0 °F",
          "Barometer 29.92 inHg (1013.3 hPa)", "Track 104 °F", "Correction factor",
          "Sample of 2026-06-13 14:00:00 (api.open-meteo.com)"}) {
        EXPECT_TRUE(tip.contains(QString::fromUtf8(part))) << part << "\n" << tip.toStdString();
    }
    EXPECT_FALSE(tip.contains(QStringLiteral("Humidity")));

    // Thousands grouped, rounded to 10 ft.
    const auto high =
        AirNowOf({Sample("2026-06-13 14:00:00", 35.0, 900.0)}, At("2026-06-13 14:00:00"));
    const QString text = AirPanelText(*high);
    EXPECT_TRUE(text.contains(u',')) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("0 ft"))) << text.toStdString();
}

}  // namespace
}  // namespace orvanrx::air
