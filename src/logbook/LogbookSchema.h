#pragma once

#include "logbook/Sqlite.h"

// The logbook's tables, version by version. Each step takes a database of the version before
// to its own; a new version adds a step and never changes an old one, so every earlier file
// can be brought up to date.
//
// Version 1: events, races, runs (the 21 texts of each lane's row and the figures as numbers),
// where each race came from, and the racer's notes per run.
// Version 2: parts of the racer's cars.
// Version 3: weather samples (temperature, humidity or dew point, the station's barometer,
// track temperature) by time.
//
// Times are the race log's own texts, local time "yyyy-MM-dd HH:mm:ss": they sort as text,
// and SQLite's date functions read them, so samples taken by time (the air a run was made in)
// can be matched to runs by a later version without a new time column.
namespace orvanrx::logbook_schema {

// Stamped into every logbook's header (PRAGMA application_id): "ORVX".
inline constexpr int kApplicationId = 0x4F525658;

// Takes the database from `from` to `to` (inside the caller's transaction); false when a step
// failed.
bool Upgrade(sql::Database& db, int from, int to);

}  // namespace orvanrx::logbook_schema
