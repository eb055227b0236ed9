#include "logbook/Logbook.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include "analysis/LogFigures.h"
#include "logbook/LogbookCsv.h"
#include "logbook/LogbookImpl.h"
#include "logbook/LogbookSchema.h"
#include "logbook/Sqlite.h"

namespace orvanrx {

using enum RunColumn;

namespace {

// The run-table columns whose texts are read as numbers, and their number columns.
constexpr RunColumn kNumberColumns[] = {Dial,   RT,      et60,   et330,   et660,  mph660,
                                        et1000, mph1000, et1320, mph1320, margin, overund};
constexpr int kNumberCount = static_cast<int>(std::size(kNumberColumns));

QString Trimmed(const QString& text) {
    return text.trimmed();
}

QString RaceTime(const RunRow& left, const RunRow& right) {
    return !left[DateTime].isEmpty() ? left[DateTime] : right[DateTime];
}

// A hash of the race's values (every cell but GeneralID and DateTime, both lanes), the same
// in every version of the program: FNV-1a over the UTF-16 code units.
std::int64_t Fingerprint(const RunRow& left, const RunRow& right) {
    std::uint64_t hash = 14695981039346656037ull;
    const auto add = [&hash](char16_t unit) {
        hash ^= static_cast<std::uint64_t>(unit);
        hash *= 1099511628211ull;
    };
    for (const RunRow* row : {&left, &right}) {
        for (int c = ColumnIndex(Category); c < kRunColumnCount; ++c) {
            for (const QChar ch : (*row)[static_cast<std::size_t>(c)]) {
                add(ch.unicode());
            }
            add(0x1f);
        }
    }
    return static_cast<std::int64_t>(hash);
}

int FilledCells(const RunRow& left, const RunRow& right) {
    int filled = 0;
    for (const RunRow* row : {&left, &right}) {
        for (int c = ColumnIndex(Category); c < kRunColumnCount; ++c) {
            filled += (*row)[static_cast<std::size_t>(c)].isEmpty() ? 0 : 1;
        }
    }
    return filled;
}

// Two copies of a race at different stages: every value either is in one copy only or is the
// same in both.
bool Compatible(const RunRow& a, const RunRow& b) {
    for (int c = ColumnIndex(Category); c < kRunColumnCount; ++c) {
        const QString& x = a[static_cast<std::size_t>(c)];
        const QString& y = b[static_cast<std::size_t>(c)];
        if (c != ColumnIndex(DateTime) && !x.isEmpty() && !y.isEmpty() && x != y) {
            return false;
        }
    }
    return a[Category] == b[Category] && a[Car] == b[Car];
}

bool SameValues(const RunRow& a, const RunRow& b) {
    for (int c = ColumnIndex(Category); c < kRunColumnCount; ++c) {
        if (a[static_cast<std::size_t>(c)] != b[static_cast<std::size_t>(c)]) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool RunNotes::IsEmpty() const {
    return delay.isEmpty() && throttleStop.isEmpty() && dialGiven.isEmpty() &&
           tyrePressure.isEmpty() && weight.isEmpty() && text.isEmpty();
}

QString RoundCodeOf(const QString& category) {
    const QString trimmed = category.trimmed();
    if (trimmed.size() >= 2 && trimmed.at(trimmed.size() - 2).isLetter() &&
        trimmed.at(trimmed.size() - 1).isDigit()) {
        return trimmed.right(2).toUpper();
    }
    return {};
}

bool IsRun(const RunRow& left, const RunRow& right) {
    for (const RunRow* row : {&left, &right}) {
        for (int c = ColumnIndex(RT); c < kRunColumnCount; ++c) {
            if (!(*row)[static_cast<std::size_t>(c)].trimmed().isEmpty()) {
                return true;
            }
        }
    }
    return false;
}

QString LogbookPath(const QString& dataFolder) {
    return dataFolder + QStringLiteral("/logbook.sqlite");
}

QString DemoLogbookPath(const QString& dataFolder) {
    return dataFolder + QStringLiteral("/demo-logbook.sqlite");
}

bool Logbook::Impl::Prepare() {
    const QByteArray insertRunSql =
        QByteArray("INSERT INTO runs(race_id, side, ") + kTextColumns +
        ", n_dial, n_rt, n_et60, n_et330, n_et660, n_mph660, n_et1000, n_mph1000, n_et1320, "
        "n_mph1320, n_margin, n_overund) VALUES(?,?" +
        QByteArray(",?").repeated(kRunColumnCount + kNumberCount) + ")";
    QByteArray updateRunSql = "UPDATE runs SET ";
    for (const char* column :
         {"Category",  "Class",    "Car",      "Name",     "Lane",     "Bump",      "Dial",
          "RT",        "et60",     "et330",    "et660",    "mph660",   "et1000",    "mph1000",
          "et1320",    "mph1320",  "margin",   "overund",  "win",      "n_dial",    "n_rt",
          "n_et60",    "n_et330",  "n_et660",  "n_mph660", "n_et1000", "n_mph1000", "n_et1320",
          "n_mph1320", "n_margin", "n_overund"}) {
        updateRunSql += column;
        updateRunSql += "=?,";
    }
    updateRunSql.chop(1);
    updateRunSql += " WHERE race_id=? AND side=?";
    const QByteArray readRaceSql =
        QByteArray("SELECT side, ") + kTextColumns + " FROM runs WHERE race_id=? ORDER BY side";

    findSource = sql::Statement(
        db, "SELECT race_id FROM race_sources WHERE source=? AND pair=? AND stamp=?");
    findStamp = sql::Statement(db,
                               "SELECT s.race_id FROM race_sources s JOIN races r ON r.id = "
                               "s.race_id WHERE s.stamp=? AND r.car_l=? AND r.car_r=? AND "
                               "s.source<>? LIMIT 1");
    findFingerprint =
        sql::Statement(db, "SELECT id FROM races WHERE fingerprint=? ORDER BY time, id");
    readRace = sql::Statement(db, readRaceSql.constData());
    insertEvent = sql::Statement(db, "INSERT OR IGNORE INTO events(day, track) VALUES(?,?)");
    findEvent = sql::Statement(db, "SELECT id FROM events WHERE day=? AND track=?");
    insertRace = sql::Statement(db,
                                "INSERT INTO races(event_id, time, round, car_l, car_r, "
                                "fingerprint, filled) VALUES(?,?,?,?,?,?,?)");
    insertRun = sql::Statement(db, insertRunSql.constData());
    insertSource = sql::Statement(
        db, "INSERT OR REPLACE INTO race_sources(source, pair, stamp, race_id) VALUES(?,?,?,?)");
    updateRace = sql::Statement(
        db, "UPDATE races SET round=?, car_l=?, car_r=?, fingerprint=?, filled=? WHERE id=?");
    updateRun = sql::Statement(db, updateRunSql.constData());
    raceTime = sql::Statement(db, "SELECT time FROM races WHERE id=?");
    hasSource = sql::Statement(db, "SELECT 1 FROM race_sources WHERE race_id=? AND source=?");
    shareSource = sql::Statement(db,
                                 "SELECT 1 FROM race_sources a JOIN race_sources b ON "
                                 "a.source = b.source WHERE a.race_id=? AND b.race_id=?");
    findCars = sql::Statement(
        db, "SELECT id FROM races WHERE car_l=? AND car_r=? ORDER BY time DESC, id DESC LIMIT 8");
    lastOfSource = sql::Statement(db,
                                  "SELECT 1 FROM race_sources s WHERE s.race_id=? AND s.source<>? "
                                  "AND s.pair = (SELECT max(pair) FROM race_sources t WHERE "
                                  "t.source = s.source)");
    for (const sql::Statement* s :
         {&findCars, &lastOfSource, &findSource, &findStamp, &findFingerprint, &readRace,
          &insertEvent, &findEvent, &insertRace, &insertRun, &insertSource, &updateRace, &updateRun,
          &raceTime, &hasSource, &shareSource}) {
        if (!s->Ok()) {
            return false;
        }
    }
    return true;
}

std::optional<std::int64_t> Logbook::Impl::EventId(const QString& day, const QString& track) {
    const QString key = day + u'\n' + track;
    if (const auto it = events.constFind(key); it != events.constEnd()) {
        return *it;
    }
    insertEvent.Bind(1, day);
    insertEvent.Bind(2, track);
    if (!insertEvent.Run()) {
        return std::nullopt;
    }
    findEvent.Bind(1, day);
    findEvent.Bind(2, track);
    std::optional<std::int64_t> id;
    if (findEvent.Step()) {
        id = findEvent.Int(0);
    }
    findEvent.Reset();
    // Kept only inside a batch: outside one, another program may change the events.
    if (id && inBatch) {
        events.insert(key, *id);
    }
    return id;
}

bool Logbook::Impl::ReadRace(std::int64_t raceId, RunRow& left, RunRow& right) {
    readRace.Bind(1, raceId);
    int rows = 0;
    while (readRace.Step()) {
        RunRow& row = readRace.Int(0) == 0 ? left : right;
        for (int c = 0; c < kRunColumnCount; ++c) {
            row[static_cast<std::size_t>(c)] = readRace.Text(c + 1);
        }
        ++rows;
    }
    const bool ok = !readRace.Failed() && rows == 2;
    readRace.Reset();
    return ok;
}

std::optional<std::int64_t> Logbook::Impl::Insert(const RaceOrigin& origin, const RunRow& left,
                                                  const RunRow& right) {
    const QString time = RaceTime(left, right);
    const std::optional<std::int64_t> eventId = EventId(DayOf(time).toString(), origin.track);
    if (!eventId) {
        return std::nullopt;
    }
    insertRace.Bind(1, *eventId);
    insertRace.Bind(2, time);
    insertRace.Bind(3, RoundCodeOf(left[Category]));
    insertRace.Bind(4, Trimmed(left[Car]));
    insertRace.Bind(5, Trimmed(right[Car]));
    insertRace.Bind(6, Fingerprint(left, right));
    insertRace.Bind(7, FilledCells(left, right));
    if (!insertRace.Run()) {
        return std::nullopt;
    }
    const std::int64_t raceId = db.LastInsertId();
    int lane = 0;
    for (const RunRow* row : {&left, &right}) {
        insertRun.Bind(1, raceId);
        insertRun.Bind(2, lane++);
        int p = 3;
        for (int c = 0; c < kRunColumnCount; ++c) {
            insertRun.Bind(p++, (*row)[static_cast<std::size_t>(c)]);
        }
        for (const RunColumn c : kNumberColumns) {
            insertRun.Bind(p++, ParseFigure((*row)[c]));
        }
        if (!insertRun.Run()) {
            return std::nullopt;
        }
    }
    if (!AddSource(origin, left[DateTime], raceId)) {
        return std::nullopt;
    }
    return raceId;
}

bool Logbook::Impl::AddSource(const RaceOrigin& origin, const QString& stamp, std::int64_t raceId) {
    insertSource.Bind(1, origin.source);
    insertSource.Bind(2, origin.pair);
    insertSource.Bind(3, stamp);
    insertSource.Bind(4, raceId);
    return insertSource.Run();
}

bool Logbook::Impl::Update(std::int64_t raceId, const RunRow& left, const RunRow& right) {
    updateRace.Bind(1, RoundCodeOf(left[Category]));
    updateRace.Bind(2, Trimmed(left[Car]));
    updateRace.Bind(3, Trimmed(right[Car]));
    updateRace.Bind(4, Fingerprint(left, right));
    updateRace.Bind(5, FilledCells(left, right));
    updateRace.Bind(6, raceId);
    if (!updateRace.Run()) {
        return false;
    }
    int lane = 0;
    for (const RunRow* row : {&left, &right}) {
        int p = 1;
        for (int c = ColumnIndex(Category); c < kRunColumnCount; ++c) {
            updateRun.Bind(p++, (*row)[static_cast<std::size_t>(c)]);
        }
        for (const RunColumn c : kNumberColumns) {
            updateRun.Bind(p++, ParseFigure((*row)[c]));
        }
        updateRun.Bind(p++, raceId);
        updateRun.Bind(p++, lane++);
        if (!updateRun.Run()) {
            return false;
        }
    }
    return true;
}

bool Logbook::Impl::MergeIfSame(std::int64_t raceId, const RunRow& left, const RunRow& right) {
    findFingerprint.Bind(1, Fingerprint(left, right));
    std::vector<std::int64_t> candidates;
    while (findFingerprint.Step()) {
        if (findFingerprint.Int(0) != raceId) {
            candidates.push_back(findFingerprint.Int(0));
        }
    }
    findFingerprint.Reset();
    for (const std::int64_t other : candidates) {
        // Two races of one file are two races, however alike.
        shareSource.Bind(1, raceId);
        shareSource.Bind(2, other);
        const bool sameFile = shareSource.Step();
        shareSource.Reset();
        RunRow otherLeft;
        RunRow otherRight;
        if (sameFile || !ReadRace(other, otherLeft, otherRight) || !SameValues(left, otherLeft) ||
            !SameValues(right, otherRight)) {
            continue;
        }
        // The race stored first stays; the other's sources and notes move over to it.
        const auto timeOf = [this](std::int64_t id) {
            raceTime.Bind(1, id);
            const QString time = raceTime.Step() ? raceTime.Text(0) : QString();
            raceTime.Reset();
            return time;
        };
        const QString timeA = timeOf(raceId);
        const QString timeB = timeOf(other);
        const bool keepOther = timeB < timeA || (timeB == timeA && other < raceId);
        const std::int64_t keep = keepOther ? other : raceId;
        const std::int64_t drop = keepOther ? raceId : other;
        const QByteArray moves =
            QStringLiteral(
                "UPDATE race_sources SET race_id=%1 WHERE race_id=%2;"
                "INSERT OR IGNORE INTO run_notes(run_id, delay, throttle_stop, dial_given, "
                "tyre_pressure, weight, notes) SELECT k.id, n.delay, n.throttle_stop, "
                "n.dial_given, n.tyre_pressure, n.weight, n.notes FROM run_notes n JOIN runs d "
                "ON d.id = n.run_id JOIN runs k ON k.race_id=%1 AND k.side=d.side WHERE "
                "d.race_id=%2;"
                "DELETE FROM races WHERE id=%2;")
                .arg(keep)
                .arg(drop)
                .toLatin1();
        return db.Exec(moves.constData());
    }
    return true;
}

// The first race of a file may be the last race of another file going on: a start ended while
// a race was running, and the next start decodes it again as the rest comes in.
std::optional<std::int64_t> Logbook::Impl::FindContinued(const RaceOrigin& origin,
                                                         const RunRow& left, const RunRow& right) {
    if (origin.pair != 0) {
        return std::nullopt;
    }
    findCars.Bind(1, Trimmed(left[Car]));
    findCars.Bind(2, Trimmed(right[Car]));
    std::vector<std::int64_t> candidates;
    while (findCars.Step()) {
        candidates.push_back(findCars.Int(0));
    }
    findCars.Reset();
    for (const std::int64_t candidate : candidates) {
        lastOfSource.Bind(1, candidate);
        lastOfSource.Bind(2, origin.source);
        const bool last = lastOfSource.Step();
        lastOfSource.Reset();
        RunRow storedLeft;
        RunRow storedRight;
        if (last && ReadRace(candidate, storedLeft, storedRight) && Compatible(storedLeft, left) &&
            Compatible(storedRight, right)) {
            return candidate;
        }
    }
    return std::nullopt;
}

StoreOutcome Logbook::Impl::Store(const RaceOrigin& origin, const RunRow& left,
                                  const RunRow& right) {
    if (!IsRun(left, right)) {
        return StoreOutcome::NotARun;
    }
    const QString& stamp = left[DateTime];

    // The same place in the same file: a rewrite.
    findSource.Bind(1, origin.source);
    findSource.Bind(2, origin.pair);
    findSource.Bind(3, stamp);
    std::optional<std::int64_t> raceId;
    if (findSource.Step()) {
        raceId = findSource.Int(0);
    }
    findSource.Reset();
    if (raceId) {
        RunRow storedLeft;
        RunRow storedRight;
        if (!ReadRace(*raceId, storedLeft, storedRight)) {
            return StoreOutcome::Failed;
        }
        // An earlier stage of what is stored (the file imported again after another file
        // completed its last race) changes nothing.
        if ((SameValues(storedLeft, left) && SameValues(storedRight, right)) ||
            (Compatible(storedLeft, left) && Compatible(storedRight, right) &&
             FilledCells(left, right) <= FilledCells(storedLeft, storedRight))) {
            return StoreOutcome::Unchanged;
        }
        if (!Update(*raceId, left, right) || !MergeIfSame(*raceId, left, right)) {
            return StoreOutcome::Failed;
        }
        return StoreOutcome::Updated;
    }

    // A copy of a file: the same first write of the same cars.
    if (!stamp.isEmpty()) {
        findStamp.Bind(1, stamp);
        findStamp.Bind(2, Trimmed(left[Car]));
        findStamp.Bind(3, Trimmed(right[Car]));
        findStamp.Bind(4, origin.source);
        if (findStamp.Step()) {
            raceId = findStamp.Int(0);
        }
        findStamp.Reset();
    }
    if (raceId) {
        RunRow storedLeft;
        RunRow storedRight;
        if (!ReadRace(*raceId, storedLeft, storedRight) || !AddSource(origin, stamp, *raceId)) {
            return StoreOutcome::Failed;
        }
        if (FilledCells(left, right) <= FilledCells(storedLeft, storedRight) ||
            (SameValues(storedLeft, left) && SameValues(storedRight, right))) {
            return StoreOutcome::Duplicate;
        }
        if (!Update(*raceId, left, right) || !MergeIfSame(*raceId, left, right)) {
            return StoreOutcome::Failed;
        }
        return StoreOutcome::Updated;
    }

    // The same values seen again (after a restart, at a later time).
    findFingerprint.Bind(1, Fingerprint(left, right));
    std::vector<std::int64_t> candidates;
    while (findFingerprint.Step()) {
        candidates.push_back(findFingerprint.Int(0));
    }
    findFingerprint.Reset();
    for (const std::int64_t candidate : candidates) {
        hasSource.Bind(1, candidate);
        hasSource.Bind(2, origin.source);
        const bool sameFile = hasSource.Step();
        hasSource.Reset();
        RunRow storedLeft;
        RunRow storedRight;
        if (!sameFile && ReadRace(candidate, storedLeft, storedRight) &&
            SameValues(storedLeft, left) && SameValues(storedRight, right)) {
            return AddSource(origin, stamp, candidate) ? StoreOutcome::Duplicate
                                                       : StoreOutcome::Failed;
        }
    }

    if (const std::optional<std::int64_t> continued = FindContinued(origin, left, right)) {
        RunRow storedLeft;
        RunRow storedRight;
        if (!ReadRace(*continued, storedLeft, storedRight) ||
            !AddSource(origin, stamp, *continued)) {
            return StoreOutcome::Failed;
        }
        if (FilledCells(left, right) <= FilledCells(storedLeft, storedRight)) {
            return StoreOutcome::Duplicate;
        }
        return Update(*continued, left, right) && MergeIfSame(*continued, left, right)
                   ? StoreOutcome::Updated
                   : StoreOutcome::Failed;
    }

    return Insert(origin, left, right) ? StoreOutcome::Inserted : StoreOutcome::Failed;
}

}  // namespace orvanrx
