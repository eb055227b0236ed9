#pragma once

// The logbook's connection and its prepared statements, shared by the files that implement
// Logbook (storing in Logbook.cpp, reading and the racer's own records in LogbookQueries.cpp).

#include <QHash>
#include <optional>

#include "logbook/Logbook.h"
#include "logbook/Sqlite.h"

namespace orvanrx {

// The 21 text columns, in table order, as the runs table names them.
inline constexpr const char* kTextColumns =
    "GeneralID, DateTime, Category, Class, Car, Name, Lane, Bump, Dial, RT, et60, et330, "
    "et660, mph660, et1000, mph1000, et1320, mph1320, margin, overund, win";

struct Logbook::Impl {
    sql::Database db;
    // Prepared once: an import runs these a hundred thousand times.
    sql::Statement findSource;
    sql::Statement findStamp;
    sql::Statement findFingerprint;
    sql::Statement readRace;
    sql::Statement insertEvent;
    sql::Statement findEvent;
    sql::Statement insertRace;
    sql::Statement insertRun;
    sql::Statement insertSource;
    sql::Statement updateRace;
    sql::Statement updateRun;
    sql::Statement raceTime;
    sql::Statement hasSource;
    sql::Statement shareSource;
    sql::Statement findCars;
    sql::Statement lastOfSource;
    QHash<QString, std::int64_t> events;  // "day\ntrack" → id
    bool inBatch = false;
    // A track was named inside the batch: events without races are dropped at its commit.
    bool unusedEvents = false;

    bool Prepare();
    std::optional<std::int64_t> EventId(const QString& day, const QString& track);
    bool ReadRace(std::int64_t raceId, RunRow& left, RunRow& right);
    std::optional<std::int64_t> Insert(const RaceOrigin& origin, const RunRow& left,
                                       const RunRow& right);
    bool AddSource(const RaceOrigin& origin, const QString& stamp, std::int64_t raceId);
    bool Update(std::int64_t raceId, const RunRow& left, const RunRow& right);
    bool MergeIfSame(std::int64_t raceId, const RunRow& left, const RunRow& right);
    std::optional<std::int64_t> FindContinued(const RaceOrigin& origin, const RunRow& left,
                                              const RunRow& right);
    StoreOutcome Store(const RaceOrigin& origin, const RunRow& left, const RunRow& right);
};

}  // namespace orvanrx
