// The logbook's connection: opening (creating or upgrading the schema), the checks, the
// batches an import stores in, and naming the track of imported files. Storing one race is in
// Logbook.cpp, reading in LogbookQueries.cpp.
#include <sqlite3.h>

#include <QDir>
#include <QFileInfo>

#include "logbook/Logbook.h"
#include "logbook/LogbookImpl.h"
#include "logbook/LogbookSchema.h"
#include "logbook/Sqlite.h"

namespace orvanrx {

namespace {

constexpr const char* kDropUnusedEvents =
    "DELETE FROM events WHERE id NOT IN (SELECT event_id FROM races)";

}  // namespace

Logbook::Logbook(std::unique_ptr<Impl> impl, QString path)
    : d_(std::move(impl)), path_(std::move(path)) {}

Logbook::~Logbook() = default;

Logbook::OpenResult Logbook::Open(const QString& path) {
    OpenResult result;
    const QFileInfo info(path);
    result.created = !info.exists();
    if (result.created && !QDir().mkpath(info.absolutePath())) {
        result.error = QStringLiteral("cannot create the folder %1")
                           .arg(QDir::toNativeSeparators(info.absolutePath()));
        return result;
    }
    auto impl = std::make_unique<Impl>();
    sql::Database& db = impl->db;
    const auto fail = [&](const QString& what) {
        result.error = what.isEmpty() ? db.ErrorText() : what;
        result.logbook.reset();
        return std::move(result);
    };
    if (!db.Open(path, true, kLogbookBusyTimeoutMs)) {
        return fail({});
    }
    // A file that is no database fails here, at its first read. One statement reads the
    // mark and the tables together: another program creating the logbook at this moment
    // commits both at once, and two reads could see one before and one after.
    const std::optional<std::int64_t> ours = db.QueryInt(
        QStringLiteral("SELECT application_id = %1 OR (SELECT count(*) FROM sqlite_schema WHERE "
                       "type = 'table') = 0 FROM pragma_application_id()")
            .arg(logbook_schema::kApplicationId)
            .toUtf8()
            .constData());
    if (!ours) {
        return fail({});
    }
    if (*ours == 0) {
        return fail(QStringLiteral("not an OrvanRX logbook"));
    }
    // A logbook already in WAL is left as it is: switching the journal needs the write lock,
    // and an open must not wait behind another program's write.
    std::optional<QString> journal;
    {
        sql::Statement mode(db, "PRAGMA journal_mode");
        if (mode.Step()) {
            journal = mode.Text(0);
        }
    }
    if (!journal) {
        return fail({});
    }
    if (journal->compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0 &&
        !db.Exec("PRAGMA journal_mode=WAL")) {
        return fail({});
    }
    // A larger page cache than SQLite's 2 MB: a season's queries read the indexes all over.
    if (!db.Exec("PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON; "
                 "PRAGMA cache_size=-32768; PRAGMA temp_store=MEMORY; "
                 "PRAGMA journal_size_limit=67108864;")) {
        return fail({});
    }
    const auto newer = [&](int version) {
        return fail(QStringLiteral("written by a newer OrvanRX (logbook version %1; this "
                                   "program knows up to %2)")
                        .arg(version)
                        .arg(kLogbookSchemaVersion));
    };
    // Read first: a current logbook is opened without the write lock, so an open on the GUI
    // thread never waits for another program's import.
    const int seen = static_cast<int>(db.QueryInt("PRAGMA user_version").value_or(-1));
    if (seen < 0) {
        return fail({});
    }
    if (seen > kLogbookSchemaVersion) {
        return newer(seen);
    }
    if (seen < kLogbookSchemaVersion) {
        // Created or upgraded under the write lock, so two programs starting together agree:
        // the version is read again inside.
        sql::Transaction transaction(db);
        if (!transaction.Begun()) {
            return fail({});
        }
        const int version = static_cast<int>(db.QueryInt("PRAGMA user_version").value_or(-1));
        if (version > kLogbookSchemaVersion) {
            return newer(version);
        }
        if (version < 0 ||
            (version < kLogbookSchemaVersion &&
             !logbook_schema::Upgrade(db, version, kLogbookSchemaVersion)) ||
            !transaction.Commit()) {
            return fail({});
        }
    }
    if (!impl->Prepare()) {
        return fail({});
    }
    result.logbook.reset(new Logbook(std::move(impl), path));
    return result;
}

QString Logbook::ErrorText() const {
    return d_->db.ErrorText();
}

int Logbook::SchemaVersion() {
    return static_cast<int>(d_->db.QueryInt("PRAGMA user_version").value_or(-1));
}

QString Logbook::IntegrityCheck() {
    sql::Statement check(d_->db, "PRAGMA integrity_check");
    QStringList problems;
    while (check.Step()) {
        problems.append(check.Text(0));
    }
    return check.Failed() ? d_->db.ErrorText() : problems.join(u'\n');
}

StoreOutcome Logbook::StoreRace(const RaceOrigin& origin, const RunRow& left, const RunRow& right) {
    if (d_->inBatch) {
        return d_->Store(origin, left, right);
    }
    sql::Transaction transaction(d_->db);
    if (!transaction.Begun()) {
        return StoreOutcome::Failed;
    }
    const StoreOutcome outcome = d_->Store(origin, left, right);
    if (outcome == StoreOutcome::Failed || !transaction.Commit()) {
        return StoreOutcome::Failed;
    }
    return outcome;
}

bool Logbook::BeginBatch() {
    if (d_->inBatch) {
        return false;
    }
    // A batch's commit copies the write-ahead log into the database file only once the log
    // has grown past 256 MB instead of 4 MB: an import of a season then writes out and syncs
    // the index pages that every file changes far less often (once or twice instead of every
    // few files). Single stores keep the usual size (this connection's own setting; another
    // program keeps its own); the log file is cut back to 64 MB after a copy.
    d_->db.Exec("PRAGMA wal_autocheckpoint=65536");
    d_->inBatch = d_->db.Exec("BEGIN IMMEDIATE");
    d_->events.clear();
    if (!d_->inBatch) {
        d_->db.Exec("PRAGMA wal_autocheckpoint=1000");
    }
    return d_->inBatch;
}

bool Logbook::CommitBatch() {
    if (!d_->inBatch) {
        return false;
    }
    d_->inBatch = false;
    d_->events.clear();
    const bool committed =
        (!d_->unusedEvents || d_->db.Exec(kDropUnusedEvents)) && d_->db.Exec("COMMIT");
    d_->unusedEvents = false;
    if (!committed) {
        d_->db.Exec("ROLLBACK");
    }
    d_->db.Exec("PRAGMA wal_autocheckpoint=1000");
    return committed;
}

void Logbook::RollbackBatch() {
    if (d_->inBatch) {
        d_->inBatch = false;
        d_->unusedEvents = false;
        d_->events.clear();
        d_->db.Exec("ROLLBACK");
        d_->db.Exec("PRAGMA wal_autocheckpoint=1000");
    }
}

void Logbook::SetBulkCache(bool on) {
    d_->db.Exec(on ? "PRAGMA cache_size=-131072" : "PRAGMA cache_size=-32768");
}

bool Logbook::NameTrack(const QStringList& sources, const QString& track) {
    if (track.isEmpty()) {
        return true;
    }
    // Its own transaction unless it is part of a batch.
    std::optional<sql::Transaction> transaction;
    if (!d_->inBatch) {
        transaction.emplace(d_->db);
        if (!transaction->Begun()) {
            return false;
        }
    }
    sql::Statement races(d_->db,
                         "SELECT DISTINCT r.id, e.day FROM race_sources s JOIN races r ON r.id = "
                         "s.race_id JOIN events e ON e.id = r.event_id WHERE s.source=? AND "
                         "e.track=''");
    sql::Statement move(d_->db, "UPDATE races SET event_id=? WHERE id=?");
    if (!races.Ok() || !move.Ok()) {
        return false;
    }
    for (const QString& source : sources) {
        races.Bind(1, source);
        std::vector<std::pair<std::int64_t, QString>> found;
        while (races.Step()) {
            found.emplace_back(races.Int(0), races.Text(1));
        }
        races.Reset();
        for (const auto& [raceId, day] : found) {
            const std::optional<std::int64_t> eventId = d_->EventId(day, track);
            if (!eventId) {
                return false;
            }
            move.Bind(1, *eventId);
            move.Bind(2, raceId);
            if (!move.Run()) {
                return false;
            }
        }
    }
    if (!transaction) {
        d_->unusedEvents = true;
        return true;
    }
    return d_->db.Exec(kDropUnusedEvents) && transaction->Commit();
}

}  // namespace orvanrx
