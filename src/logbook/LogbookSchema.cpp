#include "logbook/LogbookSchema.h"

namespace orvanrx::logbook_schema {

namespace {

constexpr const char* kVersion1 = R"sql(
CREATE TABLE events(
    id INTEGER PRIMARY KEY,
    day TEXT NOT NULL,
    track TEXT NOT NULL DEFAULT '',
    UNIQUE(day, track));
CREATE TABLE races(
    id INTEGER PRIMARY KEY,
    event_id INTEGER NOT NULL REFERENCES events(id),
    time TEXT NOT NULL,
    round TEXT NOT NULL,
    car_l TEXT NOT NULL,
    car_r TEXT NOT NULL,
    fingerprint INTEGER NOT NULL,
    filled INTEGER NOT NULL);
CREATE INDEX races_time ON races(time, id);
CREATE INDEX races_event ON races(event_id);
CREATE INDEX races_fingerprint ON races(fingerprint);
CREATE INDEX races_car_l ON races(car_l, time);
CREATE INDEX races_car_r ON races(car_r, time);
CREATE TABLE runs(
    id INTEGER PRIMARY KEY,
    race_id INTEGER NOT NULL REFERENCES races(id) ON DELETE CASCADE,
    side INTEGER NOT NULL,
    GeneralID TEXT NOT NULL, DateTime TEXT NOT NULL, Category TEXT NOT NULL,
    Class TEXT NOT NULL, Car TEXT NOT NULL, Name TEXT NOT NULL, Lane TEXT NOT NULL,
    Bump TEXT NOT NULL, Dial TEXT NOT NULL, RT TEXT NOT NULL, et60 TEXT NOT NULL,
    et330 TEXT NOT NULL, et660 TEXT NOT NULL, mph660 TEXT NOT NULL, et1000 TEXT NOT NULL,
    mph1000 TEXT NOT NULL, et1320 TEXT NOT NULL, mph1320 TEXT NOT NULL, margin TEXT NOT NULL,
    overund TEXT NOT NULL, win TEXT NOT NULL,
    n_dial REAL, n_rt REAL, n_et60 REAL, n_et330 REAL, n_et660 REAL, n_mph660 REAL,
    n_et1000 REAL, n_mph1000 REAL, n_et1320 REAL, n_mph1320 REAL, n_margin REAL,
    n_overund REAL,
    UNIQUE(race_id, side));
CREATE TABLE race_sources(
    source TEXT NOT NULL,
    pair INTEGER NOT NULL,
    stamp TEXT NOT NULL,
    race_id INTEGER NOT NULL REFERENCES races(id) ON DELETE CASCADE,
    PRIMARY KEY(source, pair, stamp)) WITHOUT ROWID;
CREATE INDEX race_sources_stamp ON race_sources(stamp);
CREATE INDEX race_sources_race ON race_sources(race_id);
CREATE TABLE run_notes(
    run_id INTEGER PRIMARY KEY REFERENCES runs(id) ON DELETE CASCADE,
    delay TEXT NOT NULL DEFAULT '',
    throttle_stop TEXT NOT NULL DEFAULT '',
    dial_given TEXT NOT NULL DEFAULT '',
    tyre_pressure TEXT NOT NULL DEFAULT '',
    weight TEXT NOT NULL DEFAULT '',
    notes TEXT NOT NULL DEFAULT '');
)sql";

constexpr const char* kVersion2 = R"sql(
CREATE TABLE parts(
    id INTEGER PRIMARY KEY,
    car TEXT NOT NULL,
    name TEXT NOT NULL,
    since TEXT NOT NULL,
    notes TEXT NOT NULL DEFAULT '');
)sql";

// One row per moment: a later reading of the same moment replaces the earlier.
constexpr const char* kVersion3 = R"sql(
CREATE TABLE weather(
    id INTEGER PRIMARY KEY,
    time TEXT NOT NULL UNIQUE ON CONFLICT REPLACE,
    temp_c REAL NOT NULL,
    humidity REAL,
    dew_point_c REAL,
    baro_hpa REAL NOT NULL,
    track_temp_c REAL,
    source TEXT NOT NULL DEFAULT '');
)sql";

constexpr const char* kSteps[] = {kVersion1, kVersion2, kVersion3};

}  // namespace

bool Upgrade(sql::Database& db, int from, int to) {
    constexpr int kLast = static_cast<int>(std::size(kSteps));
    if (from < 0 || to > kLast || from > to) {
        return false;
    }
    for (int version = from + 1; version <= to; ++version) {
        if (!db.Exec(kSteps[version - 1])) {
            return false;
        }
    }
    const QByteArray pragmas =
        QStringLiteral("PRAGMA application_id = %1; PRAGMA user_version = %2;")
            .arg(kApplicationId)
            .arg(to)
            .toLatin1();
    return db.Exec(pragmas.constData());
}

}  // namespace orvanrx::logbook_schema
