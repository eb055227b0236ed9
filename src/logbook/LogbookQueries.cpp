// The logbook read: cars, events, tracks, selections of races and runs; the racer's own notes,
// parts and weather samples; the CSV export and the backup.

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "logbook/Logbook.h"
#include "logbook/LogbookCsv.h"
#include "logbook/LogbookImpl.h"
#include "logbook/Sqlite.h"

namespace orvanrx {

using enum RunColumn;

int Logbook::RaceCount() {
    return static_cast<int>(d_->db.QueryInt("SELECT count(*) FROM races").value_or(0));
}

QStringList Logbook::FindCars(const QString& text) {
    QStringList cars;
    const QString wanted = text.trimmed();
    if (wanted.isEmpty()) {
        return cars;
    }
    sql::Statement query(d_->db,
                         "SELECT trim(Car) AS car, count(*) AS n FROM runs WHERE trim(Car) <> '' "
                         "AND (trim(Car) LIKE ?1 || '%' OR Name LIKE '%' || ?1 || '%') GROUP BY "
                         "car ORDER BY car = ?1 DESC, n DESC, car LIMIT 50");
    query.Bind(1, wanted);
    while (query.Step()) {
        cars.append(query.Text(0));
    }
    return cars;
}

std::vector<LogbookEvent> Logbook::Events() {
    std::vector<LogbookEvent> events;
    sql::Statement query(d_->db,
                         "SELECT e.id, e.day, e.track, count(r.id), min(r.time), max(r.time) FROM "
                         "events e JOIN races r ON r.event_id = e.id GROUP BY e.id ORDER BY "
                         "e.day, e.track");
    while (query.Step()) {
        events.push_back({query.Int(0), query.Text(1), query.Text(2),
                          static_cast<int>(query.Int(3)), query.Text(4), query.Text(5)});
    }
    return events;
}

QStringList Logbook::Tracks() {
    QStringList tracks;
    sql::Statement query(d_->db,
                         "SELECT DISTINCT e.track FROM events e JOIN races r ON r.event_id = "
                         "e.id ORDER BY e.track");
    while (query.Step()) {
        tracks.append(query.Text(0));
    }
    return tracks;
}

namespace {

// The WHERE clause of a selection over races r joined to events e, with its parameters in
// order (all texts or integers).
struct Where {
    QByteArray sql;
    std::vector<QString> texts;  // bound first, in order
    std::vector<std::int64_t> ints;
};

Where SelectionWhere(const RaceSelection& s) {
    Where where;
    QByteArrayList parts;
    const auto list = [](qsizetype n) { return QByteArray("?,").repeated(n).chopped(1); };
    if (!s.tracks.isEmpty()) {
        parts.append("e.track IN (" + list(s.tracks.size()) + ")");
        where.texts.insert(where.texts.end(), s.tracks.begin(), s.tracks.end());
    }
    if (!s.since.isEmpty()) {
        parts.append("e.day >= ?");
        where.texts.push_back(s.since);
    }
    if (!s.until.isEmpty()) {
        parts.append("e.day <= ?");
        where.texts.push_back(s.until);
    }
    if (!s.cars.isEmpty()) {
        const QByteArray cars = list(s.cars.size());
        parts.append("(r.car_l IN (" + cars + ") OR r.car_r IN (" + cars + "))");
        for (int twice = 0; twice < 2; ++twice) {
            for (const QString& car : s.cars) {
                where.texts.push_back(car.trimmed());
            }
        }
    }
    if (s.rounds == RoundChoice::Eliminations) {
        parts.append("r.round LIKE 'E%'");
    } else if (s.rounds == RoundChoice::Qualifying) {
        parts.append("r.round NOT LIKE 'E%'");
    }
    if (!s.events.isEmpty()) {
        parts.append("r.event_id IN (" + list(s.events.size()) + ")");
        where.ints.insert(where.ints.end(), s.events.begin(), s.events.end());
    }
    where.sql = parts.isEmpty() ? QByteArray("1") : parts.join(" AND ");
    return where;
}

int BindWhere(sql::Statement& statement, const Where& where, int first) {
    int p = first;
    for (const QString& text : where.texts) {
        statement.Bind(p++, text);
    }
    for (const std::int64_t value : where.ints) {
        statement.Bind(p++, value);
    }
    return p;
}

}  // namespace

RunTable Logbook::SelectRaces(const RaceSelection& selection) {
    RunTable table;
    const Where where = SelectionWhere(selection);
    const QByteArray sql = QByteArray("SELECT ") + kTextColumns +
                           " FROM races r JOIN events e ON e.id = r.event_id JOIN runs u ON "
                           "u.race_id = r.id WHERE " +
                           where.sql + " ORDER BY r.time, r.id, u.side";
    sql::Statement query(d_->db, sql.constData());
    BindWhere(query, where, 1);
    bool left = true;
    while (query.Step()) {
        if (left) {
            table.OpenNextPair();
        }
        RunRow* row = table.MutableRow(left ? table.LeftRow() : table.RightRow());
        for (int c = 0; c < kRunColumnCount; ++c) {
            (*row)[static_cast<std::size_t>(c)] = query.Text(c);
        }
        left = !left;
    }
    return table;
}

std::vector<LogbookRun> Logbook::SelectRuns(const RaceSelection& selection) {
    std::vector<LogbookRun> runs;
    const Where where = SelectionWhere(selection);
    QByteArray sql =
        "SELECT u.id, r.id, e.track, o.Car, o.win, n.delay, n.throttle_stop, "
        "n.dial_given, n.tyre_pressure, n.weight, n.notes, u.GeneralID, r.time, "
        "u.Category, u.Class, u.Car, u.Name, u.Lane, u.Bump, u.Dial, u.RT, u.et60, "
        "u.et330, u.et660, u.mph660, u.et1000, u.mph1000, u.et1320, u.mph1320, "
        "u.margin, u.overund, u.win FROM races r JOIN events e ON e.id = "
        "r.event_id JOIN runs u ON u.race_id = r.id JOIN runs o ON o.race_id = "
        "r.id AND o.side <> u.side LEFT JOIN run_notes n ON n.run_id = u.id WHERE " +
        where.sql + " AND trim(u.Car) <> ''";
    std::vector<QString> cars;
    if (!selection.cars.isEmpty()) {
        sql += " AND trim(u.Car) IN (" +
               QByteArray("?,").repeated(selection.cars.size()).chopped(1) + ")";
    }
    sql += " ORDER BY r.time, r.id, u.side";
    sql::Statement query(d_->db, sql.constData());
    int p = BindWhere(query, where, 1);
    for (const QString& car : selection.cars) {
        query.Bind(p++, car.trimmed());
    }
    while (query.Step()) {
        LogbookRun run;
        run.id = query.Int(0);
        run.raceId = query.Int(1);
        run.track = query.Text(2);
        run.opponent = query.Text(3).trimmed();
        run.otherWin = query.Text(4);
        run.notes = {query.Text(5), query.Text(6), query.Text(7),
                     query.Text(8), query.Text(9), query.Text(10)};
        for (int c = 0; c < kRunColumnCount; ++c) {
            run.row[static_cast<std::size_t>(c)] = query.Text(11 + c);
        }
        runs.push_back(std::move(run));
    }
    return runs;
}

std::optional<RunNotes> Logbook::Notes(std::int64_t runId) {
    sql::Statement query(d_->db,
                         "SELECT delay, throttle_stop, dial_given, tyre_pressure, weight, notes "
                         "FROM run_notes WHERE run_id=?");
    query.Bind(1, runId);
    if (!query.Step()) {
        return std::nullopt;
    }
    return RunNotes{query.Text(0), query.Text(1), query.Text(2),
                    query.Text(3), query.Text(4), query.Text(5)};
}

bool Logbook::SaveNotes(std::int64_t runId, const RunNotes& notes) {
    if (notes.IsEmpty()) {
        sql::Statement remove(d_->db, "DELETE FROM run_notes WHERE run_id=?");
        remove.Bind(1, runId);
        return remove.Run();
    }
    sql::Statement save(d_->db,
                        "INSERT OR REPLACE INTO run_notes(run_id, delay, throttle_stop, "
                        "dial_given, tyre_pressure, weight, notes) SELECT id,?,?,?,?,?,? FROM "
                        "runs WHERE id=?");
    int p = 1;
    for (const QString* text : {&notes.delay, &notes.throttleStop, &notes.dialGiven,
                                &notes.tyrePressure, &notes.weight, &notes.text}) {
        save.Bind(p++, *text);
    }
    save.Bind(p, runId);
    return save.Run() && d_->db.Changes() == 1;
}

std::vector<LogbookPart> Logbook::Parts() {
    std::vector<LogbookPart> parts;
    sql::Statement query(d_->db,
                         "SELECT p.id, p.car, p.name, p.since, p.notes, (SELECT count(*) FROM "
                         "races r WHERE (r.car_l = p.car OR r.car_r = p.car) AND r.time >= "
                         "p.since) FROM parts p ORDER BY p.car, p.since, p.name");
    while (query.Step()) {
        parts.push_back({query.Int(0), query.Text(1), query.Text(2), query.Text(3), query.Text(4),
                         static_cast<int>(query.Int(5))});
    }
    return parts;
}

bool Logbook::AddWeather(const std::vector<air::WeatherSample>& samples) {
    sql::Transaction transaction(d_->db);
    if (!transaction.Begun()) {
        return false;
    }
    sql::Statement insert(d_->db,
                          "INSERT INTO weather(time, temp_c, humidity, dew_point_c, baro_hpa, "
                          "track_temp_c, source) VALUES(?,?,?,?,?,?,?)");
    for (const air::WeatherSample& s : samples) {
        insert.Reset();
        insert.Bind(1, s.time);
        insert.Bind(2, std::optional<double>(s.tempC));
        insert.Bind(3, s.humidity);
        insert.Bind(4, s.dewPointC);
        insert.Bind(5, std::optional<double>(s.baroHpa));
        insert.Bind(6, s.trackTempC);
        insert.Bind(7, s.source);
        if (!insert.Run()) {
            return false;
        }
    }
    return transaction.Commit();
}

std::vector<air::WeatherSample> Logbook::Weather(const QString& since, const QString& until) {
    std::vector<air::WeatherSample> samples;
    sql::Statement query(d_->db,
                         "SELECT time, temp_c, humidity, dew_point_c, baro_hpa, track_temp_c, "
                         "source FROM weather WHERE (?1 = '' OR time >= ?1) AND (?2 = '' OR "
                         "time <= ?2) ORDER BY time");
    query.Bind(1, since);
    query.Bind(2, until);
    while (query.Step()) {
        air::WeatherSample s;
        s.time = query.Text(0);
        s.tempC = query.Real(1).value_or(0.0);
        s.humidity = query.Real(2);
        s.dewPointC = query.Real(3);
        s.baroHpa = query.Real(4).value_or(0.0);
        s.trackTempC = query.Real(5);
        s.source = query.Text(6);
        samples.push_back(s);
    }
    return samples;
}

std::optional<std::int64_t> Logbook::AddPart(const LogbookPart& part) {
    sql::Statement insert(d_->db, "INSERT INTO parts(car, name, since, notes) VALUES(?,?,?,?)");
    insert.Bind(1, part.car.trimmed());
    insert.Bind(2, part.name);
    insert.Bind(3, part.since);
    insert.Bind(4, part.notes);
    if (!insert.Run()) {
        return std::nullopt;
    }
    return d_->db.LastInsertId();
}

bool Logbook::UpdatePart(const LogbookPart& part) {
    sql::Statement update(d_->db, "UPDATE parts SET car=?, name=?, since=?, notes=? WHERE id=?");
    update.Bind(1, part.car.trimmed());
    update.Bind(2, part.name);
    update.Bind(3, part.since);
    update.Bind(4, part.notes);
    update.Bind(5, part.id);
    return update.Run() && d_->db.Changes() == 1;
}

bool Logbook::RemovePart(std::int64_t id) {
    sql::Statement remove(d_->db, "DELETE FROM parts WHERE id=?");
    remove.Bind(1, id);
    return remove.Run() && d_->db.Changes() == 1;
}

bool Logbook::ExportCsv(const QString& file, QString* error) {
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error) {
            *error = out.errorString();
        }
        return false;
    }
    QByteArray text = LogbookCsvHeader();
    // Read in one transaction, so the file is one moment of the logbook.
    d_->db.Exec("BEGIN");
    for (const LogbookRun& run : SelectRuns({})) {
        text += LogbookCsvLine(run);
        if (text.size() > (1 << 20)) {
            out.write(text);
            text.clear();
        }
    }
    d_->db.Exec("COMMIT");
    out.write(text);
    if (!out.flush() || !out.commit()) {
        if (error) {
            *error = out.errorString();
        }
        return false;
    }
    return true;
}

bool Logbook::Backup(const QString& file, QString* error) {
    const auto failed = [error](const QString& why) {
        if (error) {
            *error = why;
        }
        return false;
    };
    const QString part = file + QStringLiteral(".part");
    QFile::remove(part);
    sql::Database target;
    if (!target.Open(part, true, kLogbookBusyTimeoutMs)) {
        const QString why = target.ErrorText();
        target.Close();
        QFile::remove(part);
        return failed(why);
    }
    sqlite3_backup* backup = sqlite3_backup_init(target.Handle(), "main", d_->db.Handle(), "main");
    if (!backup) {
        const QString why = target.ErrorText();
        target.Close();
        QFile::remove(part);
        return failed(why);
    }
    // The whole database in one step: the copy is one moment of the logbook even while
    // another program writes (it waits for the reader's lock, not the other way round).
    int rc = SQLITE_OK;
    do {
        rc = sqlite3_backup_step(backup, -1);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            sqlite3_sleep(50);
        }
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        const QString why = QString::fromUtf8(sqlite3_errstr(rc));
        target.Close();
        QFile::remove(part);
        return failed(why);
    }
    // A copy that stands alone: no WAL file beside it.
    target.Exec("PRAGMA journal_mode=DELETE");
    target.Close();
    QFile::remove(file);
    if (!QFile::rename(part, file)) {
        QFile::remove(part);
        return failed(QStringLiteral("cannot write %1").arg(QDir::toNativeSeparators(file)));
    }
    return true;
}

}  // namespace orvanrx
