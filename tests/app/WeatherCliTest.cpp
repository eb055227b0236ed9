// orvanrx-cli with the air: weather add and import, a simulated season with its weather file,
// and predict.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "app/CliRun.h"
#include "logbook/Logbook.h"

namespace orvanrx {
namespace {

QString Q(const char* text) {
    return QString::fromUtf8(text);
}
QString Q(const QString& text) {
    return text;
}
template <typename... T>
QStringList A(const T&... args) {
    return QStringList{Q(args)...};
}

using WeatherCliTest = testing::CliFixture;

TEST_F(WeatherCliTest, AddAndImportWeather) {
    const QString book = Path("book.sqlite");
    Result r = Run(A("weather", "add", "--temp-f", "86", "--humidity", "40", "--baro-inhg", "29.10",
                     "--track-temp-f", "120", "--time", "2026-06-01 12:00:00", "--logbook", book));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("density altitude"))) << r.out.toStdString();
    // Bad arguments: exit 2, nothing stored.
    for (const QStringList& bad :
         {A("weather", "add", "--temp-f", "86", "--baro-inhg", "29.1"),
          A("weather", "add", "--temp-f", "86", "--temp-c", "30", "--humidity", "40", "--baro-inhg",
            "29.1"),
          A("weather", "add", "--temp-f", "warm", "--humidity", "40", "--baro-inhg", "29.1"),
          A("weather", "add", "--temp-c", "20", "--humidity", "140", "--baro-hpa", "1000"),
          A("weather", "add", "--temp-c", "20", "--humidity", "40", "--baro-hpa", "1000", "--time",
            "noon"),
          A("weather", "import"), A("weather", "fetch")}) {
        QStringList args = bad;
        args << QStringLiteral("--logbook") << book;
        EXPECT_EQ(Run(args).exitCode, 2) << args.join(u' ').toStdString();
    }

    ASSERT_TRUE(Write(Path("station.csv"),
                      "baro_hpa,time,temp_c,dew_point_c\n"
                      "1000.0,2026-06-01 12:15,25.0,12.0\n"
                      "1000.0,2026-06-01 12:30,25.0\n"
                      "1000.0,2026-06-01 12:45,oops,12\n"
                      "999.0,2026-06-01 13:00:00,26.0,12.5\n"));
    r = Run(A("weather", "import", Path("station.csv"), "--logbook", book));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(Path("station.csv") + QStringLiteral(":3: no dew point")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(Path("station.csv") + QStringLiteral(":4: temperature 'oops'")))
        << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("2 weather samples stored, 2 lines skipped")))
        << r.out.toStdString();

    ASSERT_TRUE(Write(Path("other.csv"), "a,b\n1,2\n"));
    r = Run(A("weather", "import", Path("other.csv"), "--logbook", book));
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("not a weather log")));
    EXPECT_EQ(Run(A("weather", "import", Path("missing.csv"), "--logbook", book)).exitCode, 2);

    auto opened = Logbook::Open(book);
    ASSERT_TRUE(opened.logbook);
    const auto samples = opened.logbook->Weather();
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_NEAR(samples[0].tempC, 30.0, 1e-9);
    EXPECT_NEAR(*samples[0].trackTempC, 48.89, 0.01);
    EXPECT_EQ(samples[2].time, QStringLiteral("2026-06-01 13:00:00"));
}

TEST_F(WeatherCliTest, PredictOnASimulatedSeason) {
    const QString book = Path("season.sqlite");
    Result r = Run(A("simulate", "--weather", Path("weather.csv"), "--logbook", book, "--cars",
                     "12", "--events", "4", "--seed", "5"));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = Run(A("weather", "import", Path("weather.csv"), "--logbook", book));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();

    // The first event's day is 2026-04-04; the last event's six weeks later.
    r = Run(
        A("predict", "--car", "105", "--at", "2026-05-16 14:00:00", "--csv", "--logbook", book));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("car,at,et1320,spread,runs"));
    QStringList fields = lines[1].split(u',');
    ASSERT_EQ(fields.size(), 5);
    EXPECT_EQ(fields[0], QStringLiteral("105"));
    EXPECT_EQ(fields[1], QStringLiteral("2026-05-16 14:00:00"));
    EXPECT_GT(fields[2].toDouble(), 7.0);
    EXPECT_EQ(fields[2].section(u'.', 1).size(), 3);
    EXPECT_GT(fields[4].toInt(), 3);
    const int allRuns = fields[4].toInt();

    // --at never sees later runs: a week after the first event the car has only its first
    // event's runs, the same as at the end of that day.
    r = Run(
        A("predict", "--car", "105", "--at", "2026-04-11 12:00:00", "--csv", "--logbook", book));
    ASSERT_EQ(r.exitCode, 0);
    const QString weekLater = r.out.split(u'\n').value(1);
    EXPECT_LT(weekLater.section(u',', 4, 4).toInt(), allRuns);
    r = Run(
        A("predict", "--car", "105", "--at", "2026-04-04 23:59:59", "--csv", "--logbook", book));
    EXPECT_EQ(r.out.split(u'\n').value(1).section(u',', 2), weekLater.section(u',', 2));
    // Before its first run: nothing, exit 1; an unknown car likewise.
    r = Run(
        A("predict", "--car", "105", "--at", "2026-04-04 08:00:00", "--csv", "--logbook", book));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, QStringLiteral("car,at,et1320,spread,runs\n105,2026-04-04 08:00:00,,,0\n"));
    EXPECT_EQ(Run(A("predict", "--car", "9999", "--logbook", book)).exitCode, 1);
    // Bad arguments.
    EXPECT_EQ(Run(A("predict", "--logbook", book)).exitCode, 2);
    EXPECT_EQ(Run(A("predict", "--car", "105", "--at", "2026-04-04", "--logbook", book)).exitCode,
              2);
    EXPECT_EQ(Run(A("simulate", "--cars", "5")).exitCode, 2);
    // The plain text says what the prediction rests on.
    r = Run(A("predict", "--car", "105", "--at", "2026-05-16 14:00:00", "--logbook", book));
    EXPECT_TRUE(r.out.contains(QStringLiteral("corrected to the air"))) << r.out.toStdString();
}

}  // namespace
}  // namespace orvanrx
