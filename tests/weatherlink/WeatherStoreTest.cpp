#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "logbook/Logbook.h"
#include "logbook/Sqlite.h"
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

// Runs the event loop until `done` or `ms` have passed; whether it was done.
bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

// What a store told, in order.
struct Told {
    struct Answer {
        std::uint64_t ticket;
        bool ok;
        QString error;
    };
    std::vector<Answer> stored;
    int changes = 0;

    explicit Told(WeatherStore& store) {
        QObject::connect(&store, &WeatherStore::Stored,
                         [this](std::uint64_t ticket, bool ok, const QString& error) {
                             stored.push_back({ticket, ok, error});
                         });
        QObject::connect(&store, &WeatherStore::SamplesChanged, [this] { ++changes; });
    }
};

// Another program's connection in the middle of a long write (an import): it holds the
// logbook's write lock until released.
struct WriteLock {
    sql::Database db;
    std::unique_ptr<sql::Transaction> transaction;

    explicit WriteLock(const QString& path) {
        if (db.Open(path, false, 0)) {
            transaction = std::make_unique<sql::Transaction>(db);
        }
    }
    bool Held() const { return transaction && transaction->Begun(); }
    void Release() { transaction.reset(); }
};

std::int64_t MsOf(const std::function<void()>& work) {
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.elapsed();
}

TEST(WeatherStoreTest, SamplesGoIntoTheLogbookAndTheChangeIsTold) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("logbook.sqlite"));
    WeatherStore store(path);
    Told told(store);
    const std::uint64_t first = store.Add(Sample("2026-06-13 10:00:00", 20.0));
    store.Add(Sample("2026-06-13 11:00:00", 22.0));
    const std::uint64_t last = store.Add(Sample("2026-06-13 11:00:00", 23.0));  // replaces
    ASSERT_TRUE(WaitFor([&] { return told.stored.size() == 3; }));
    EXPECT_EQ(told.stored.front().ticket, first);
    EXPECT_EQ(told.stored.back().ticket, last);
    for (const auto& answer : told.stored) {
        EXPECT_TRUE(answer.ok) << answer.error.toStdString();
    }
    EXPECT_GE(told.changes, 3);

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
    Told told(store);
    store.Add(Sample("2026-06-13 10:00:00", 20.0));
    ASSERT_TRUE(WaitFor([&] { return !told.stored.empty(); }));
    EXPECT_FALSE(told.stored.front().ok);
    EXPECT_TRUE(told.stored.front().error.startsWith(QDir::toNativeSeparators(path) + u':'))
        << told.stored.front().error.toStdString();
    EXPECT_EQ(told.changes, 0);
    EXPECT_TRUE(store.Samples({}, {}).empty());
}

// While another program holds the write lock, Add and Samples return at once; the sample goes
// in when the lock is let go.
TEST(WeatherStoreTest, AnotherProgramsWriteLockNeverHoldsTheCallerUp) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("logbook.sqlite"));
    WeatherStore store(path);
    Told told(store);
    store.Add(Sample("2026-06-13 10:00:00", 20.0));
    ASSERT_TRUE(WaitFor([&] { return told.stored.size() == 1; }));
    ASSERT_TRUE(told.stored.front().ok) << told.stored.front().error.toStdString();

    WriteLock lock(path);
    ASSERT_TRUE(lock.Held());
    // A store started now cannot open the logbook yet: it reads nothing, without waiting.
    WeatherStore late(path);
    std::vector<air::WeatherSample> seen;
    std::uint64_t ticket = 0;
    EXPECT_LT(MsOf([&] { seen = late.Samples({}, {}); }), 200);
    EXPECT_TRUE(seen.empty());
    EXPECT_LT(MsOf([&] { ticket = store.Add(Sample("2026-06-13 11:00:00", 22.0)); }), 200);
    // A reader already open reads past the writer (WAL).
    EXPECT_LT(MsOf([&] { seen = store.Samples({}, {}); }), 200);
    EXPECT_EQ(seen.size(), 1U);
    // The store waits for the lock...
    EXPECT_FALSE(WaitFor([&] { return told.stored.size() > 1; }, 300));
    lock.Release();
    // ... and stores when it is free.
    ASSERT_TRUE(WaitFor([&] { return told.stored.size() == 2; }));
    EXPECT_EQ(told.stored.back().ticket, ticket);
    EXPECT_TRUE(told.stored.back().ok) << told.stored.back().error.toStdString();
    EXPECT_EQ(store.Samples({}, {}).size(), 2U);
    EXPECT_TRUE(WaitFor([&] { return late.Samples({}, {}).size() == 2; }));
}

TEST(WeatherStoreTest, WhatIsQueuedIsStoredBeforeTheStoreGoes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("logbook.sqlite"));
    {
        WeatherStore store(path);
        store.Add(Sample("2026-06-13 10:00:00", 20.0));
        store.Add(Sample("2026-06-13 10:15:00", 21.0));
    }
    auto other = Logbook::Open(path);
    ASSERT_TRUE(other.logbook);
    EXPECT_EQ(other.logbook->Weather().size(), 2U);
}

}  // namespace
}  // namespace orvanrx
