#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "logbook/Logbook.h"
#include "weatherlink/WeatherStore.h"

namespace orvanrx {
namespace {

air::WeatherSample Sample(const char* time, double tempC) {
    air::WeatherSample s;
    s.time = QString::fromLatin1(time);
    s.tempC = tempC;
    s.humidity = 40.0;
    s.baroHpa = 990.0;
    s.source = QStringLiteral("typed");
    return s;
}

TEST(WeatherStoreTest, SamplesGoIntoTheLogbookAndTheChangeIsTold) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("logbook.sqlite"));
    WeatherStore store(path);
    int changes = 0;
    QObject::connect(&store, &WeatherStore::SamplesChanged, [&changes] { ++changes; });
    QString error;
    ASSERT_TRUE(store.Add(Sample("2026-06-13 10:00:00", 20.0), &error)) << error.toStdString();
    ASSERT_TRUE(store.Add(Sample("2026-06-13 11:00:00", 22.0), &error));
    ASSERT_TRUE(store.Add(Sample("2026-06-13 11:00:00", 23.0), &error));  // replaces
    EXPECT_EQ(changes, 3);

    const auto within =
        store.Samples(QStringLiteral("2026-06-13 10:30:00"), QStringLiteral("2026-06-13 12:00:00"));
    ASSERT_EQ(within.size(), 1U);
    EXPECT_DOUBLE_EQ(within.front().tempC, 23.0);
    // Another connection (the command line's) sees them.
    auto other = Logbook::Open(path);
    ASSERT_TRUE(other.logbook);
    EXPECT_EQ(other.logbook->Weather().size(), 2U);
}

TEST(WeatherStoreTest, ALogbookThatCannotBeOpenedStoresNothingAndSaysWhy) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("logbook.sqlite"));
    QFile notALogbook(path);
    ASSERT_TRUE(notALogbook.open(QIODevice::WriteOnly));
    notALogbook.write(QByteArray(4096, 'x'));
    notALogbook.close();
    WeatherStore store(path);
    int changes = 0;
    QObject::connect(&store, &WeatherStore::SamplesChanged, [&changes] { ++changes; });
    QString error;
    EXPECT_FALSE(store.Add(Sample("2026-06-13 10:00:00", 20.0), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(store.Samples({}, {}).empty());
}

}  // namespace
}  // namespace orvanrx
