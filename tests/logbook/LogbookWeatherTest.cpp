#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "logbook/Logbook.h"
#include "logbook/LogbookSchema.h"
#include "logbook/Sqlite.h"

namespace orvanrx {
namespace {

air::WeatherSample Sample(const char* time, double tempC, const char* source) {
    air::WeatherSample s;
    s.time = QString::fromLatin1(time);
    s.tempC = tempC;
    s.humidity = 40.0;
    s.baroHpa = 1001.5;
    s.source = QString::fromLatin1(source);
    return s;
}

TEST(LogbookWeatherTest, AVersionTwoFileTakesWeatherAfterItsUpgrade) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("v2.sqlite"));
    {
        sql::Database db;
        ASSERT_TRUE(db.Open(path, true, 1000));
        ASSERT_TRUE(logbook_schema::Upgrade(db, 0, 2));
        ASSERT_TRUE(
            db.Exec("INSERT INTO parts(car, name, since) VALUES('77', 'clutch', "
                    "'2026-01-01')"));
    }
    Logbook::OpenResult opened = Logbook::Open(path);
    ASSERT_TRUE(opened.logbook) << opened.error.toStdString();
    Logbook& book = *opened.logbook;
    EXPECT_EQ(book.SchemaVersion(), 3);
    EXPECT_EQ(book.Parts().size(), 1u);
    EXPECT_TRUE(book.Weather().empty());

    air::WeatherSample typed = Sample("2026-06-01 12:00:00", 20.0, "typed");
    typed.humidity.reset();
    typed.dewPointC = 9.5;
    typed.trackTempC = 41.0;
    ASSERT_TRUE(book.AddWeather({Sample("2026-06-01 12:15:00", 22.0, "station.csv"), typed,
                                 Sample("2026-06-02 09:00:00", 18.0, "station.csv")}));
    std::vector<air::WeatherSample> all = book.Weather();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].time, QStringLiteral("2026-06-01 12:00:00"));  // by time
    EXPECT_EQ(all[0].dewPointC, 9.5);
    EXPECT_FALSE(all[0].humidity);
    EXPECT_EQ(all[0].trackTempC, 41.0);
    EXPECT_EQ(all[0].source, QStringLiteral("typed"));
    EXPECT_EQ(all[1].humidity, 40.0);
    EXPECT_FALSE(all[1].trackTempC);

    // A later reading of the same moment replaces the earlier; a range selects.
    ASSERT_TRUE(book.AddWeather({Sample("2026-06-01 12:15:00", 23.5, "typed")}));
    all = book.Weather();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1].tempC, 23.5);
    EXPECT_EQ(
        book.Weather(QStringLiteral("2026-06-01 12:10:00"), QStringLiteral("2026-06-01 23:59:59"))
            .size(),
        1u);
    EXPECT_EQ(book.IntegrityCheck(), QStringLiteral("ok"));
}

}  // namespace
}  // namespace orvanrx
