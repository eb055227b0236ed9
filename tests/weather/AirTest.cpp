#include <gtest/gtest.h>

#include "weather/Air.h"

namespace orvanrx::air {
namespace {

// Saturation vapour pressure against the Buck (1981) table values (hPa).
TEST(AirTest, SaturationVapourPressureMatchesPublishedTable) {
    struct Case {
        double tempC;
        double hpa;
    };
    const Case cases[] = {{0.0, 6.1121},  {10.0, 12.281}, {20.0, 23.388},
                          {30.0, 42.455}, {40.0, 73.814}, {-10.0, 2.8652}};
    for (const Case& c : cases) {
        EXPECT_NEAR(SaturationVapourPressure(c.tempC), c.hpa, c.hpa * 0.002) << c.tempC;
    }
    // A dew point equal to the temperature is 100 % relative humidity.
    EXPECT_DOUBLE_EQ(VapourPressureFromDewPoint(25.0), VapourPressureFromHumidity(25.0, 100.0));
    EXPECT_DOUBLE_EQ(VapourPressureFromHumidity(25.0, 150.0), SaturationVapourPressure(25.0));
    EXPECT_DOUBLE_EQ(VapourPressureFromHumidity(25.0, -3.0), 0.0);
}

// Densities of the International Standard Atmosphere tables (dry air at the standard
// temperature and pressure of each height) give their height back as the density altitude,
// and the table density itself.
TEST(AirTest, StandardAtmosphereHeightsAreTheirOwnDensityAltitude) {
    struct Case {
        double feet;
        double tempC;
        double hpa;
        double density;
    };
    const Case cases[] = {
        {0.0, 15.0, 1013.25, 1.2250},
        {2000.0, 11.04, 942.13, 1.1549},
        {5000.0, 5.09, 843.07, 1.0556},
        {10000.0, -4.81, 696.82, 0.9046},
    };
    for (const Case& c : cases) {
        const AirReading r{c.tempC, 0.0, c.hpa};
        EXPECT_NEAR(Density(r), c.density, 0.0006) << c.feet;
        EXPECT_NEAR(DensityAltitudeFeet(Density(r)), c.feet, 15.0) << c.feet;
    }
}

// Moist air: at 20 °C, 1013.25 hPa and 50 % relative humidity air weighs about 1.199 kg/m³
// (the CIPM-2007 equation gives 1.1987); humid air is lighter than dry air, and the density
// from the virtual temperature equals the sum of the dry and vapour parts.
TEST(AirTest, MoistAirDensityAndVirtualTemperature) {
    const AirReading moist{20.0, VapourPressureFromHumidity(20.0, 50.0), 1013.25};
    EXPECT_NEAR(Density(moist), 1.1988, 0.0008);
    EXPECT_NEAR(DryAirPressure(moist), 1013.25 - 11.69, 0.02);
    const double fromVirtual = moist.pressureHpa * 100.0 / (287.058 * VirtualTemperature(moist));
    EXPECT_NEAR(fromVirtual, Density(moist), 1e-4);
    EXPECT_GT(VirtualTemperature(moist), 293.15);
    EXPECT_LT(Density(moist), Density({20.0, 0.0, 1013.25}));
    // A hot day at a sea-level track, 32.2 °C (90 °F) at 29.92 inHg: the pilots' rule of about
    // 120 ft of density altitude per °C over the standard 15 °C (±10 %) for dry air, and a
    // muggy dew point of 21 °C (70 °F) adds a few hundred feet more.
    const double dry = DensityAltitudeFeet(Density({32.22, 0.0, HpaFromInHg(29.92)}));
    EXPECT_NEAR(dry, 120.0 * (32.22 - 15.0), 0.1 * 120.0 * (32.22 - 15.0));
    const double muggy =
        DensityAltitudeFeet(Density({32.22, VapourPressureFromDewPoint(21.1), HpaFromInHg(29.92)}));
    EXPECT_GT(muggy - dry, 200.0);
    EXPECT_LT(muggy - dry, 600.0);
}

// SAE J1349: 1 in its reference air (99 kPa dry, 25 °C), above 1 in thinner air, below in
// denser; and the standard day of the older SAE J607 (60 °F, 29.92 inHg dry) corrects by
// about 0.94 (J607 engines read about 4 % high).
TEST(AirTest, SaeCorrectionFactor) {
    EXPECT_NEAR(SaeCorrectionFactor({25.0, 0.0, 990.0}), 1.0, 1e-9);
    EXPECT_NEAR(SaeCorrectionFactor({25.0, 10.0, 1000.0}), 1.0, 1e-9);
    EXPECT_GT(SaeCorrectionFactor({35.0, 0.0, 990.0}), 1.0);
    EXPECT_GT(SaeCorrectionFactor({25.0, 0.0, 840.0}), 1.15);
    EXPECT_LT(SaeCorrectionFactor({10.0, 0.0, 1013.25}), 1.0);
    EXPECT_NEAR(SaeCorrectionFactor({15.56, 0.0, HpaFromInHg(29.92)}), 0.955, 0.006);
    const AirFigures f = FiguresOf({25.0, 0.0, 990.0});
    EXPECT_DOUBLE_EQ(f.correction, 1.0);
    EXPECT_DOUBLE_EQ(f.dryHpa, 990.0);
}

TEST(AirTest, SampleReadingPrefersDewPoint) {
    WeatherSample s;
    s.tempC = 30.0;
    s.baroHpa = 1000.0;
    EXPECT_DOUBLE_EQ(s.Reading().vapourHpa, 0.0);
    s.humidity = 40.0;
    EXPECT_DOUBLE_EQ(s.Reading().vapourHpa, VapourPressureFromHumidity(30.0, 40.0));
    s.dewPointC = 10.0;
    EXPECT_DOUBLE_EQ(s.Reading().vapourHpa, SaturationVapourPressure(10.0));
    EXPECT_NEAR(CelsiusFromFahrenheit(FahrenheitFromCelsius(21.5)), 21.5, 1e-12);
    EXPECT_NEAR(HpaFromInHg(29.92), 1013.21, 0.01);
}

TEST(AirTest, TimesReadAsWallClock) {
    EXPECT_EQ(*SecondsOf(QStringLiteral("2026-06-01 12:00:30")) -
                  *SecondsOf(QStringLiteral("2026-06-01 12:00")),
              30);
    // A time a daylight change skips in many zones is still a time.
    EXPECT_TRUE(SecondsOf(QStringLiteral("2026-03-29 02:30:00")));
    for (const char* bad : {"", "2026-06-01", "2026-06-01T12:00:00", "2026-13-01 12:00",
                            "2026-06-01 25:00:00", "yesterday noon"}) {
        EXPECT_FALSE(SecondsOf(QString::fromLatin1(bad))) << bad;
    }
}

WeatherSample Sample(const char* time, double tempC, double baro) {
    WeatherSample s;
    s.time = QString::fromLatin1(time);
    s.tempC = tempC;
    s.baroHpa = baro;
    s.dewPointC = 10.0;
    return s;
}

TEST(AirTest, TimelineInterpolatesAndKnowsNothingFarFromItsSamples) {
    const WeatherTimeline timeline(
        {Sample("2026-06-01 14:00:00", 30.0, 1000.0), Sample("2026-06-01 12:00:00", 20.0, 1010.0),
         Sample("not a time", 99.0, 500.0), Sample("2026-06-01 20:00:00", 10.0, 990.0)});
    EXPECT_EQ(timeline.Size(), 3);
    struct Case {
        const char* time;
        std::optional<double> tempC;
        double baro;
    };
    const Case cases[] = {
        {"2026-06-01 12:00:00", 20.0, 1010.0},  // on a sample
        {"2026-06-01 13:00:00", 25.0, 1005.0},  // halfway
        {"2026-06-01 13:30", 27.5, 1002.5},
        {"2026-06-01 10:00:00", 20.0, 1010.0},  // two hours before the first: still it
        {"2026-06-01 09:59:59", std::nullopt, 0.0},
        {"2026-06-01 16:00:00", 30.0, 1000.0},       // the next is 4 h off: the nearest alone
        {"2026-06-01 17:00:00", std::nullopt, 0.0},  // three hours from either side
        {"2026-06-01 18:00:00", 10.0, 990.0},
        {"2026-06-01 22:00:00", 10.0, 990.0},
        {"2026-06-01 22:00:01", std::nullopt, 0.0},
        {"garbage", std::nullopt, 0.0},
    };
    for (const Case& c : cases) {
        const auto air = timeline.At(QString::fromLatin1(c.time));
        ASSERT_EQ(air.has_value(), c.tempC.has_value()) << c.time;
        if (air) {
            EXPECT_NEAR(air->tempC, *c.tempC, 1e-9) << c.time;
            EXPECT_NEAR(air->pressureHpa, c.baro, 1e-9) << c.time;
            EXPECT_NEAR(air->vapourHpa, SaturationVapourPressure(10.0), 1e-9) << c.time;
        }
    }
    EXPECT_FALSE(WeatherTimeline().At(QStringLiteral("2026-06-01 12:00:00")));
}

}  // namespace
}  // namespace orvanrx::air
