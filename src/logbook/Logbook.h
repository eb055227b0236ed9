#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "decoding/RunTables.h"
#include "weather/Air.h"

// The season logbook: every race of every day in one SQLite database, with the racer's notes
// and set-up per run and the parts counted by runs. The race-log CSV files stay what they
// are; the logbook gathers them.
//
// A race is two runs (left lane, right lane), each holding the 21 texts of its race-log row
// as logged, and the figures read from them as numbers (ParseFigure; a text that is not a
// number is NULL). A race belongs to an event: the day (the DateTime text before its blank)
// at a track. The track is the name the racer gave the venue byte, or empty when unknown.
//
// Where a race came from is kept as (file, pair, stamp): the race-log file, the race's place
// in it (rows 2 × pair and 2 × pair + 1) and the DateTime of its left row, which the decoder
// sets when the rows are first written and never changes afterwards. A race is stored once:
//   - the same (file, pair, stamp) again is the same race: a rewrite, stored in place;
//   - a race of another file with the same stamp and the same car numbers is a copy of the
//     same race (a copied file, a log opened and saved on; the copy holding more values wins);
//   - a race of another file whose values are all the same as a stored race's (DateTime and
//     GeneralID aside) is the same race seen again: the last race of a start is decoded again
//     after a restart and then carries a later time. The stored race keeps its first time;
//   - the first race of a file whose values agree with the last race of another file (each
//     value in one of them only, or the same in both; the same category and cars) is that race
//     going on: a start ended while it was running. It is completed in place.
// A race grown by rewrites until it equals a stored race of another file is merged into the
// one stored first. Races of one file are never taken for each other, however alike.
// A pair of rows without a single value (reaction time to win mark, either lane) is not a
// run and is not stored.
namespace orvanrx {

// The schema this program writes; older files are upgraded when opened, newer ones refused.
inline constexpr int kLogbookSchemaVersion = 3;

// A connection waits this long for another program's write before a statement gives up.
inline constexpr int kLogbookBusyTimeoutMs = 10000;

struct RaceOrigin {
    QString source;  // the race-log file, an absolute path
    int pair = 0;    // the race's place in the file
    QString track;   // the track's name; empty when not known
};

enum class StoreOutcome {
    Inserted,   // a new race
    Updated,    // a stored race took the new texts
    Unchanged,  // a stored race already held them
    Duplicate,  // a copy of a stored race: remembered as its source, nothing else
    NotARun,    // no value in either lane: nothing stored
    Failed,     // the database refused (its message in ErrorText())
};

struct LogbookEvent {
    std::int64_t id = 0;
    QString day;    // yyyy-MM-dd, as the race log's DateTime has it
    QString track;  // empty when not known
    int races = 0;
    QString first;  // the time of its first race
    QString last;   // the time of its last race
};

// The racer's notes and set-up of one run, as typed (free text each).
struct RunNotes {
    QString delay;         // delay box setting
    QString throttleStop;  // throttle stop setting
    QString dialGiven;     // the dial-in given for the run
    QString tyrePressure;
    QString weight;
    QString text;  // anything else: why a round was lost, the weather felt

    bool IsEmpty() const;
    friend bool operator==(const RunNotes&, const RunNotes&) = default;
};

// One run with its race's time and track and its notes.
struct LogbookRun {
    std::int64_t id = 0;
    std::int64_t raceId = 0;
    QString track;
    RunRow row;        // the texts of its race-log row
    QString opponent;  // the other lane's car number
    QString otherWin;  // the other lane's win mark
    RunNotes notes;
};

// A part of a car (engine, clutch, tyres) and the runs the car made since it was fitted.
struct LogbookPart {
    std::int64_t id = 0;
    QString car;
    QString name;
    QString since;  // yyyy-MM-dd: runs from this day on count
    QString notes;
    int runs = 0;
};

enum class RoundChoice { All, Qualifying, Eliminations };

// Which races a season query takes; every empty field takes all.
struct RaceSelection {
    QStringList tracks;
    QString since;  // first day, yyyy-MM-dd
    QString until;  // last day, yyyy-MM-dd
    QList<std::int64_t> events;
    // From the round code at the end of the Category (a letter and a digit): E is an
    // elimination round, any other letter (qualifying, time runs) qualifying. A category
    // without a round code counts as qualifying.
    RoundChoice rounds = RoundChoice::All;
    QStringList cars;  // races with one of these car numbers in either lane
};

// The round code of a Category text ("E1"), or empty when it ends otherwise.
QString RoundCodeOf(const QString& category);
// True when a pair of rows holds a value of a run (RT .. win) in either lane.
bool IsRun(const RunRow& left, const RunRow& right);

class Logbook {
public:
    struct OpenResult {
        std::unique_ptr<Logbook> logbook;
        QString error;         // why it could not be opened
        bool created = false;  // the file did not exist before
    };
    // Opens the logbook at path, creating the file (and its folder) when missing and
    // upgrading an older schema. WAL journal, a busy time-out of kLogbookBusyTimeoutMs.
    // Only creating or upgrading takes the write lock: a current logbook opens at once while
    // another program writes.
    // A file that is not a logbook, or one of a newer schema, is refused and left as it is.
    static OpenResult Open(const QString& path);

    ~Logbook();
    Logbook(const Logbook&) = delete;
    Logbook& operator=(const Logbook&) = delete;

    const QString& Path() const { return path_; }
    QString ErrorText() const;
    int SchemaVersion();
    // SQLite's own check of the file: "ok", or what is wrong.
    QString IntegrityCheck();

    // Stores one race (see the rules above).
    StoreOutcome StoreRace(const RaceOrigin& origin, const RunRow& left, const RunRow& right);

    // Many stores in one transaction (an import): far quicker, and all or nothing.
    bool BeginBatch();
    bool CommitBatch();
    void RollbackBatch();

    // A page cache of 128 MB instead of 32 MB while on: an import of many files changes index
    // pages all over the file, and reading them back from the disk costs more than the memory.
    // Off gives the memory back.
    void SetBulkCache(bool on);

    // Gives the events of a track without a name (from files of unknown venue) this name.
    // Inside a batch the events left without races go when the batch is committed.
    bool NameTrack(const QStringList& sources, const QString& track);

    int RaceCount();
    // Car numbers that start with `text` or whose driver's name holds it (letter case
    // ignored), the exact number first, then by their number of runs.
    QStringList FindCars(const QString& text);
    std::vector<LogbookEvent> Events();
    QStringList Tracks();

    // The selected races as a run table, two rows per race (left lane first) in order of
    // time: what the statistics read.
    RunTable SelectRaces(const RaceSelection& selection);
    // The runs of the selection's cars (all runs when none), in order of time.
    std::vector<LogbookRun> SelectRuns(const RaceSelection& selection);

    std::optional<RunNotes> Notes(std::int64_t runId);
    bool SaveNotes(std::int64_t runId, const RunNotes& notes);

    std::vector<LogbookPart> Parts();
    std::optional<std::int64_t> AddPart(const LogbookPart& part);
    bool UpdatePart(const LogbookPart& part);
    bool RemovePart(std::int64_t id);

    // Weather samples, in one transaction; a sample of a moment already held replaces it.
    bool AddWeather(const std::vector<air::WeatherSample>& samples);
    // The samples from `since` to `until` (times as text, either empty: no bound), by time.
    std::vector<air::WeatherSample> Weather(const QString& since = {}, const QString& until = {});

    // Every run, a line each, under a header line naming the columns; plain CSV.
    bool ExportCsv(const QString& file, QString* error);
    // A consistent copy of the database while other programs may write to it.
    bool Backup(const QString& file, QString* error);

private:
    struct Impl;
    explicit Logbook(std::unique_ptr<Impl> impl, QString path);
    std::unique_ptr<Impl> d_;
    QString path_;
};

// The logbook's place: `dataFolder` + "/logbook.sqlite".
QString LogbookPath(const QString& dataFolder);
// The demo's own logbook beside it: `dataFolder` + "/demo-logbook.sqlite". The races a demo
// invents never go into the racer's season.
QString DemoLogbookPath(const QString& dataFolder);

}  // namespace orvanrx
