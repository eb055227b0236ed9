#include <gtest/gtest.h>

#include <QLocale>

#include "weather/WeatherEntry.h"

namespace orvanrx::air {
namespace {

const QString kNow = QStringLiteral("2026-06-13 14:30:00");

WeatherEntry Entry(const char* temp, const char* moisture, const char* baro, const char* track = "",
                   const char* time = "") {
    WeatherEntry e;
    e.temp = QString::fromUtf8(temp);
    e.moisture = QString::fromUtf8(moisture);
    e.baro = QString::fromUtf8(baro);
    e.trackTemp = QString::fromUtf8(track);
    e.time = QString::fromUtf8(time);
    return e;
}

// What the racer typed, in the units chosen, becomes the sample in °C and hPa.
TEST(WeatherEntryTest, TypedValuesBecomeASampleInCelsiusAndHectopascals) {
    WeatherEntry f = Entry("86", "40", "29.10", "120");
    const WeatherEntryResult a = ReadWeatherEntry(f, kNow);
    ASSERT_TRUE(a.Ok()) << a.reason.toStdString();
    EXPECT_NEAR(a.sample.tempC, 30.0, 1e-9);
    EXPECT_NEAR(*a.sample.humidity, 40.0, 1e-9);
    EXPECT_FALSE(a.sample.dewPointC);
    EXPECT_NEAR(a.sample.baroHpa, 29.10 * kHpaPerInHg, 1e-9);
    EXPECT_NEAR(*a.sample.trackTempC, CelsiusFromFahrenheit(120.0), 1e-9);
    EXPECT_EQ(a.sample.time, kNow);  // empty: now
    EXPECT_EQ(a.sample.source, QStringLiteral("typed"));

    WeatherEntry c = Entry(" 21,5 ", "12", "985.4", "", "2026-06-13 09:05");
    c.units = {TempUnit::Celsius, MoistureKind::DewPoint, BaroUnit::Hpa};
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const WeatherEntryResult b = ReadWeatherEntry(c, kNow);
    QLocale::setDefault(QLocale::c());
    ASSERT_TRUE(b.Ok()) << b.reason.toStdString();
    EXPECT_NEAR(b.sample.tempC, 21.5, 1e-9);  // a decimal comma is read too
    EXPECT_NEAR(*b.sample.dewPointC, 12.0, 1e-9);
    EXPECT_FALSE(b.sample.humidity);
    EXPECT_NEAR(b.sample.baroHpa, 985.4, 1e-9);
    EXPECT_FALSE(b.sample.trackTempC);
    EXPECT_EQ(b.sample.time, QStringLiteral("2026-06-13 09:05:00"));

    // A dew point in °F is converted like the temperature.
    WeatherEntry d = Entry("70", "50", "29.92");
    d.units.moisture = MoistureKind::DewPoint;
    EXPECT_NEAR(*ReadWeatherEntry(d, kNow).sample.dewPointC, 10.0, 1e-9);
}

TEST(WeatherEntryTest, TimesAreNowTodayOrAFullDate) {
    struct Case {
        const char* typed;
        const char* stored;  // "" when refused
    };
    const Case cases[] = {
        {"", "2026-06-13 14:30:00"},
        {"  ", "2026-06-13 14:30:00"},
        {"9:05", "2026-06-13 09:05:00"},
        {"13:45:10", "2026-06-13 13:45:10"},
        {"2026-06-12 23:59:59", "2026-06-12 23:59:59"},
        {"2026-06-13 14:34", "2026-06-13 14:34:00"},  // a clock a little fast
        {"2026-06-13 14:40", ""},                     // later than now
        {"2026-02-30 10:00", ""},
        {"25:00", ""},
        {"noon", ""},
        {"9:5", ""},
        {"2026-06-13T10:00", ""},
    };
    for (const Case& c : cases) {
        const WeatherEntryResult r =
            ReadWeatherEntry(Entry("70", "50", "29.92", "", c.typed), kNow);
        if (*c.stored == 0) {
            EXPECT_FALSE(r.Ok()) << c.typed;
            EXPECT_EQ(r.field, WeatherEntryField::Time) << c.typed;
        } else {
            EXPECT_TRUE(r.Ok()) << c.typed << ": " << r.reason.toStdString();
            EXPECT_EQ(r.sample.time, QString::fromLatin1(c.stored)) << c.typed;
        }
    }
}

// Each bad value is refused with the field it is in and a reason in the racer's units.
TEST(WeatherEntryTest, BadValuesAreRefusedWithTheirFieldAndReason) {
    struct Case {
        WeatherUnits units;
        WeatherEntry entry;
        WeatherEntryField field;
        const char* reasonHas;
    };
    const WeatherUnits f;
    const WeatherUnits c{TempUnit::Celsius, MoistureKind::DewPoint, BaroUnit::Hpa};
    const Case cases[] = {
        {f, Entry("", "50", "29.92"), WeatherEntryField::Temp, "Type the air temperature"},
        {f, Entry("warm", "50", "29.92"), WeatherEntryField::Temp, "\"warm\" is not a number"},
        {f, Entry("150", "50", "29.92"), WeatherEntryField::Temp, "-58 to 140 °F"},
        {c, Entry("61", "5", "1000"), WeatherEntryField::Temp, "-50 to 60 °C"},
        {f, Entry("70", "", "29.92"), WeatherEntryField::Moisture, "Type the humidity"},
        {f, Entry("70", "101", "29.92"), WeatherEntryField::Moisture, "0 to 100 %"},
        {f, Entry("70", "-1", "29.92"), WeatherEntryField::Moisture, "0 to 100 %"},
        {c, Entry("20", "", "1000"), WeatherEntryField::Moisture, "Type the dew point"},
        {c, Entry("20", "21", "1000"), WeatherEntryField::Moisture, "above the temperature"},
        {f, Entry("70", "50", ""), WeatherEntryField::Baro, "Type the barometer"},
        {f, Entry("70", "50", "29.92.1"), WeatherEntryField::Baro, "not a number"},
        {f, Entry("70", "50", "1013"), WeatherEntryField::Baro, "1013 looks like hPa: choose hPa"},
        {c, Entry("20", "10", "29.92"), WeatherEntryField::Baro, "29.92 looks like inHg"},
        {c, Entry("20", "10", "400"), WeatherEntryField::Baro, "500 to 1100 hPa"},
        {f, Entry("70", "50", "29.92", "hot"), WeatherEntryField::TrackTemp, "not a number"},
        {f, Entry("70", "50", "29.92", "200"), WeatherEntryField::TrackTemp, "-58 to 194 °F"},
        {f, Entry("nan", "50", "29.92"), WeatherEntryField::Temp, "not a number"},
        {f, Entry("inf", "50", "29.92"), WeatherEntryField::Temp, "not a number"},
    };
    for (const Case& k : cases) {
        WeatherEntry e = k.entry;
        e.units = k.units;
        const WeatherEntryResult r = ReadWeatherEntry(e, kNow);
        EXPECT_FALSE(r.Ok()) << k.reasonHas;
        EXPECT_EQ(r.field, k.field) << k.reasonHas << " / " << r.reason.toStdString();
        EXPECT_TRUE(r.reason.contains(QString::fromUtf8(k.reasonHas)))
            << k.reasonHas << " / " << r.reason.toStdString();
    }
}

}  // namespace
}  // namespace orvanrx::air
