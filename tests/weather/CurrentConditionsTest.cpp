#include <gtest/gtest.h>

#include "weather/CurrentConditions.h"

namespace orvanrx::air {
namespace {

const QString kTime = QStringLiteral("2026-06-13 14:30:00");

TEST(CurrentConditionsTest, ReadsTheServicesCurrentConditions) {
    const QByteArray reply = R"({"latitude":41.47,"longitude":-88.13,
        "current_units":{"time":"iso8601","temperature_2m":"°C","relative_humidity_2m":"%",
                         "surface_pressure":"hPa"},
        "current":{"time":"2026-06-13T18:30","interval":900,"temperature_2m":27.3,
                   "relative_humidity_2m":48,"surface_pressure":987.6}})";
    const CurrentConditionsResult r = ParseCurrentConditions(reply, kTime, QStringLiteral("svc"));
    ASSERT_TRUE(r.sample) << r.reason.toStdString();
    EXPECT_EQ(r.sample->time, kTime);  // the moment it was fetched, on the local clock
    EXPECT_DOUBLE_EQ(r.sample->tempC, 27.3);
    EXPECT_DOUBLE_EQ(*r.sample->humidity, 48.0);
    EXPECT_DOUBLE_EQ(r.sample->baroHpa, 987.6);
    EXPECT_EQ(r.sample->source, QStringLiteral("svc"));

    const QByteArray fahrenheit =
        R"({"current_units":{"temperature_2m":"°F","surface_pressure":"inHg"},
            "current":{"temperature_2m":86,"relative_humidity_2m":40,"surface_pressure":29.5}})";
    const CurrentConditionsResult f = ParseCurrentConditions(fahrenheit, kTime, {});
    ASSERT_TRUE(f.sample) << f.reason.toStdString();
    EXPECT_NEAR(f.sample->tempC, 30.0, 1e-9);
    EXPECT_NEAR(f.sample->baroHpa, HpaFromInHg(29.5), 1e-9);
}

TEST(CurrentConditionsTest, ARepliesThatIsNoWeatherGivesNoSample) {
    for (const char* reply : {
             "",
             "<html>503 Service Unavailable</html>",
             "{\"current\":{\"temperature_2m\":27.3,\"relative_humidity_2m\":48",
             "[1,2,3]",
             "{\"error\":true,\"reason\":\"Latitude must be in range\"}",
             "{\"current\":{\"temperature_2m\":\"27\",\"relative_humidity_2m\":48,"
             "\"surface_pressure\":987}}",
             "{\"current\":{\"temperature_2m\":27,\"relative_humidity_2m\":48}}",
             "{\"current\":{\"temperature_2m\":27,\"relative_humidity_2m\":148,"
             "\"surface_pressure\":987}}",
             // A sea-level pressure of a very high track is still a pressure; 0 is not.
             "{\"current\":{\"temperature_2m\":27,\"relative_humidity_2m\":48,"
             "\"surface_pressure\":0}}",
         }) {
        const CurrentConditionsResult r =
            ParseCurrentConditions(QByteArray(reply), kTime, QStringLiteral("svc"));
        EXPECT_FALSE(r.sample) << reply;
        EXPECT_FALSE(r.reason.isEmpty()) << reply;
    }
}

TEST(CurrentConditionsTest, PositionsAndTheServiceAddress) {
    struct Case {
        const char* text;
        bool ok;
        double lat;
        double lon;
    };
    const Case cases[] = {{"41.4704, -88.1296", true, 41.4704, -88.1296},
                          {" 41.4704 -88.1296 ", true, 41.4704, -88.1296},
                          {"-33.9;151.2", true, -33.9, 151.2},
                          {"91, 0", false, 0, 0},
                          {"0, 181", false, 0, 0},
                          {"41.47", false, 0, 0},
                          {"north, west", false, 0, 0},
                          {"1, 2, 3", false, 0, 0},
                          {"", false, 0, 0}};
    for (const Case& c : cases) {
        const auto p = ParseTrackPosition(QString::fromLatin1(c.text));
        ASSERT_EQ(p.has_value(), c.ok) << c.text;
        if (p) {
            EXPECT_DOUBLE_EQ(p->latitude, c.lat);
            EXPECT_DOUBLE_EQ(p->longitude, c.lon);
            EXPECT_EQ(ParseTrackPosition(TrackPositionText(*p)), p);
        }
    }
    const TrackPosition p{41.47041, -88.12961};
    EXPECT_EQ(CurrentConditionsUrl(QString::fromLatin1(kDefaultWeatherServiceUrl), p),
              QStringLiteral("https://api.open-meteo.com/v1/forecast?latitude=41.4704&longitude="
                             "-88.1296&current=temperature_2m,relative_humidity_2m,"
                             "surface_pressure"));
    EXPECT_EQ(CurrentConditionsUrl(QStringLiteral("http://127.0.0.1:8080/w?{lat},{lon}"), p),
              QStringLiteral("http://127.0.0.1:8080/w?41.4704,-88.1296"));
    EXPECT_TRUE(CurrentConditionsUrl(QStringLiteral("file:///etc/passwd"), p).isEmpty());
    EXPECT_TRUE(CurrentConditionsUrl(QStringLiteral("not an address"), p).isEmpty());
}

}  // namespace
}  // namespace orvanrx::air
