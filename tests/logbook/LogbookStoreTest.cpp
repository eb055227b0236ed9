#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <thread>

#include "LogbookRows.h"
#include "logbook/Logbook.h"
#include "logbook/LogbookCsv.h"
#include "logbook/LogbookSchema.h"
#include "logbook/Sqlite.h"

namespace orvanrx {

using enum RunColumn;
namespace {

using testing::Entrant;
using testing::MakeRace;
using testing::Race;

const QString kT1 = QStringLiteral("2026-06-06 10:00:00");
const QString kT2 = QStringLiteral("2026-06-06 10:05:00");
const QString kSp = QStringLiteral("SUPER PRO     E1");

class LogbookStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        OpenNew(Path("logbook.sqlite"));
    }
    void OpenNew(const QString& path) {
        Logbook::OpenResult opened = Logbook::Open(path);
        ASSERT_TRUE(opened.logbook) << opened.error.toStdString();
        EXPECT_TRUE(opened.created);
        logbook = std::move(opened.logbook);
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    StoreOutcome Store(const QString& source, int pair, const Race& race,
                       const QString& track = QString()) {
        return logbook->StoreRace({source, pair, track}, race.left, race.right);
    }
    std::vector<RunRow> Rows() {
        const RunTable table = logbook->SelectRaces({});
        std::vector<RunRow> rows;
        for (int r = 0; r < table.RowCount(); ++r) {
            rows.push_back(*table.Row(r));
        }
        return rows;
    }

    QTemporaryDir dir;
    std::unique_ptr<Logbook> logbook;
};

TEST_F(LogbookStoreTest, NewFileHasTheCurrentSchemaInWalMode) {
    EXPECT_EQ(logbook->SchemaVersion(), kLogbookSchemaVersion);
    EXPECT_EQ(logbook->IntegrityCheck(), QStringLiteral("ok"));
    sql::Database db;
    ASSERT_TRUE(db.Open(Path("logbook.sqlite"), false, 1000));
    {
        sql::Statement mode(db, "PRAGMA journal_mode");
        ASSERT_TRUE(mode.Step());
        EXPECT_EQ(mode.Text(0), QStringLiteral("wal"));
    }
    EXPECT_EQ(db.QueryInt("PRAGMA application_id"), logbook_schema::kApplicationId);
    // Opened again: nothing to create.
    Logbook::OpenResult again = Logbook::Open(Path("logbook.sqlite"));
    ASSERT_TRUE(again.logbook);
    EXPECT_FALSE(again.created);
}

TEST_F(LogbookStoreTest, AVersionOneFileIsUpgradedWithItsRacesAndNotes) {
    const QString path = Path("old.sqlite");
    {
        sql::Database db;
        ASSERT_TRUE(db.Open(path, true, 1000));
        ASSERT_TRUE(logbook_schema::Upgrade(db, 0, 1));
        ASSERT_TRUE(db.Exec(
            "INSERT INTO events(id, day, track) VALUES(1, '2026-05-01', 'OLD TRACK');"
            "INSERT INTO races VALUES(1, 1, '2026-05-01 12:00:00', 'E1', '77', '', 5, 9);"
            "INSERT INTO runs(id, race_id, side, GeneralID, DateTime, Category, Class, Car, Name, "
            "Lane, Bump, Dial, RT, et60, et330, et660, mph660, et1000, mph1000, et1320, mph1320, "
            "margin, overund, win, n_et1320) VALUES"
            "(1, 1, 0, '1', '2026-05-01 12:00:00', 'PRO E1', '', '77', 'X', 'L', '', '', '0.5', "
            "'', '', '', '', '', '', '9.9', '130', '', '', 'W', 9.9),"
            "(2, 1, 1, '0', '2026-05-01 12:00:00', 'PRO E1', '', '', '', 'R', '', '', '', '', "
            "'', '', '', '', '', '', '', '', '', '', NULL);"
            "INSERT INTO run_notes(run_id, delay, notes) VALUES(1, '1.20', 'good run');"));
        EXPECT_EQ(db.QueryInt("PRAGMA user_version"), 1);
    }
    Logbook::OpenResult opened = Logbook::Open(path);
    ASSERT_TRUE(opened.logbook) << opened.error.toStdString();
    Logbook& old = *opened.logbook;
    EXPECT_EQ(old.SchemaVersion(), kLogbookSchemaVersion);
    EXPECT_EQ(old.RaceCount(), 1);
    ASSERT_EQ(old.Events().size(), 1u);
    EXPECT_EQ(old.Events()[0].track, QStringLiteral("OLD TRACK"));
    EXPECT_EQ(old.Notes(1).value_or(RunNotes{}).text, QStringLiteral("good run"));
    // What version 2 added works on the upgraded file.
    ASSERT_TRUE(old.AddPart(
        {0, QStringLiteral("77"), QStringLiteral("clutch"), QStringLiteral("2026-01-01"), {}, 0}));
    ASSERT_EQ(old.Parts().size(), 1u);
    EXPECT_EQ(old.Parts()[0].runs, 1);
}

TEST_F(LogbookStoreTest, RefusesNewerSchemasAndOtherFiles) {
    const QString newer = Path("newer.sqlite");
    {
        sql::Database db;
        ASSERT_TRUE(db.Open(newer, true, 1000));
        ASSERT_TRUE(logbook_schema::Upgrade(db, 0, kLogbookSchemaVersion));
        ASSERT_TRUE(db.Exec("PRAGMA user_version = 99"));
    }
    Logbook::OpenResult opened = Logbook::Open(newer);
    EXPECT_FALSE(opened.logbook);
    EXPECT_TRUE(opened.error.contains(QStringLiteral("newer"))) << opened.error.toStdString();

    const QString other = Path("other.sqlite");
    {
        sql::Database db;
        ASSERT_TRUE(db.Open(other, true, 1000));
        ASSERT_TRUE(db.Exec("CREATE TABLE t(x)"));
    }
    EXPECT_FALSE(Logbook::Open(other).logbook);

    const QString text = Path("text.sqlite");
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    EXPECT_FALSE(Logbook::Open(text).logbook);
    QFile check(text);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray(4096, 'x'));  // left as it was
}

TEST_F(LogbookStoreTest, RewritesUpdateInPlaceAndKeepTheNotes) {
    const QString a = QStringLiteral("/logs/a.csv");
    Race race = MakeRace(0, kT1, kSp, {QStringLiteral("77"), QStringLiteral("0.512")},
                         {QStringLiteral("88"), QStringLiteral("0.430")});
    EXPECT_EQ(Store(a, 0, race), StoreOutcome::Inserted);
    const std::vector<LogbookRun> runs = logbook->SelectRuns({});
    ASSERT_EQ(runs.size(), 2u);
    ASSERT_TRUE(logbook->SaveNotes(
        runs[0].id, {QStringLiteral("1.25"), {}, {}, {}, {}, QStringLiteral("late light")}));

    race.left[et1320] = QStringLiteral("9.512");
    race.left[mph1320] = QStringLiteral("135.20");
    race.left[win] = QStringLiteral("W");
    EXPECT_EQ(Store(a, 0, race), StoreOutcome::Updated);
    EXPECT_EQ(Store(a, 0, race), StoreOutcome::Unchanged);
    EXPECT_EQ(logbook->RaceCount(), 1);
    EXPECT_EQ(Rows(), (std::vector<RunRow>{race.left, race.right}));
    const std::vector<LogbookRun> after = logbook->SelectRuns({});
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].id, runs[0].id);
    EXPECT_EQ(after[0].notes.text, QStringLiteral("late light"));
    EXPECT_EQ(after[0].opponent, QStringLiteral("88"));

    // The same place of the file with another first-write time is another race (the log was
    // cleared and started again).
    Race next = MakeRace(0, kT2, kSp, {QStringLiteral("77"), QStringLiteral("0.500")},
                         {QStringLiteral("88"), QStringLiteral("0.400")});
    EXPECT_EQ(Store(a, 0, next), StoreOutcome::Inserted);
    EXPECT_EQ(logbook->RaceCount(), 2);
}

TEST_F(LogbookStoreTest, CopiesInOtherFilesAreKeptOnce) {
    const Race partial = MakeRace(3, kT1, kSp, {QStringLiteral("77"), QStringLiteral("0.512")},
                                  {QStringLiteral("88"), QStringLiteral("0.430")});
    Race full = partial;
    full.left[et1320] = QStringLiteral("9.512");
    struct Case {
        const char* what;
        Race first;
        Race second;
        StoreOutcome outcome;
        const Race* kept;
    } cases[] = {
        {"a copy of the file", full, full, StoreOutcome::Duplicate, &full},
        {"a fuller copy", partial, full, StoreOutcome::Updated, &full},
        {"an earlier copy", full, partial, StoreOutcome::Duplicate, &full},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString suffix = QString::number(n++);
        OpenNew(dir.filePath(QStringLiteral("case") + suffix));
        ASSERT_EQ(Store(QStringLiteral("/a") + suffix, 3, c.first), StoreOutcome::Inserted);
        EXPECT_EQ(Store(QStringLiteral("/b") + suffix, 7, c.second), c.outcome);
        EXPECT_EQ(logbook->RaceCount(), 1);
        EXPECT_EQ(Rows(), (std::vector<RunRow>{c.kept->left, c.kept->right}));
    }
}

TEST_F(LogbookStoreTest, ARaceDecodedAgainAfterARestartKeepsItsFirstTime) {
    const Race first = MakeRace(9, kT1, kSp,
                                {QStringLiteral("77"), QStringLiteral("0.512"),
                                 QStringLiteral("9.512"), QStringLiteral("135.20"), true},
                                {QStringLiteral("88"), QStringLiteral("0.430"),
                                 QStringLiteral("9.611"), QStringLiteral("133.00")});
    ASSERT_EQ(Store(QStringLiteral("/a.csv"), 9, first), StoreOutcome::Inserted);

    // The next start decodes it again, a piece at a time, with its own (later) time.
    const Race again = MakeRace(0, kT2, kSp,
                                {QStringLiteral("77"), QStringLiteral("0.512"),
                                 QStringLiteral("9.512"), QStringLiteral("135.20"), true},
                                {QStringLiteral("88"), QStringLiteral("0.430"),
                                 QStringLiteral("9.611"), QStringLiteral("133.00")});
    Race piece = again;
    piece.right[et1320].clear();
    piece.right[mph1320].clear();
    piece.left[win].clear();
    // Its first piece already agrees with the last race of the first file: the same race.
    EXPECT_EQ(Store(QStringLiteral("/b.csv"), 0, piece), StoreOutcome::Duplicate);
    EXPECT_EQ(logbook->RaceCount(), 1);
    EXPECT_EQ(Store(QStringLiteral("/b.csv"), 0, again), StoreOutcome::Unchanged);
    EXPECT_EQ(Rows(), (std::vector<RunRow>{first.left, first.right}));
    // In the middle of another file the same values are still the same race (the stored one
    // grows into it); an earlier stage of a stored race changes nothing.
    Race middle = again;
    middle.left[GeneralID] = QStringLiteral("9");
    middle.left[DateTime] = middle.right[DateTime] = QStringLiteral("2026-06-07 09:00:00");
    middle.left[et1320].clear();
    EXPECT_EQ(Store(QStringLiteral("/c.csv"), 4, middle), StoreOutcome::Inserted);
    EXPECT_EQ(logbook->RaceCount(), 2);
    middle.left[et1320] = again.left[et1320];
    EXPECT_EQ(Store(QStringLiteral("/c.csv"), 4, middle), StoreOutcome::Updated);
    EXPECT_EQ(logbook->RaceCount(), 1);  // merged into the first
    EXPECT_EQ(Rows(), (std::vector<RunRow>{first.left, first.right}));
    EXPECT_EQ(Store(QStringLiteral("/b.csv"), 0, piece), StoreOutcome::Unchanged);
    EXPECT_EQ(Store(QStringLiteral("/copy of b.csv"), 0, again), StoreOutcome::Duplicate);
    EXPECT_EQ(logbook->RaceCount(), 1);
}

TEST_F(LogbookStoreTest, AlikeRacesOfOneFileStayTwoAndPairsWithoutValuesAreNoRuns) {
    const Race race = MakeRace(0, kT1, kSp, {QStringLiteral("77"), QStringLiteral("0.512")},
                               {QStringLiteral("88")});
    EXPECT_EQ(Store(QStringLiteral("/a.csv"), 0, race), StoreOutcome::Inserted);
    EXPECT_EQ(Store(QStringLiteral("/a.csv"), 1, race), StoreOutcome::Inserted);
    EXPECT_EQ(logbook->RaceCount(), 2);

    const Race entrants = MakeRace(2, kT2, kSp, {QStringLiteral("77")}, {QStringLiteral("88")});
    EXPECT_EQ(Store(QStringLiteral("/a.csv"), 2, entrants), StoreOutcome::NotARun);
    EXPECT_EQ(Store(QStringLiteral("/a.csv"), 3, Race{}), StoreOutcome::NotARun);
    EXPECT_EQ(logbook->RaceCount(), 2);
}

TEST_F(LogbookStoreTest, PartsCountTheCarsRunsSinceTheirDay) {
    Store(QStringLiteral("/a"), 0,
          MakeRace(0, QStringLiteral("2026-05-01 10:00:00"), kSp,
                   {QStringLiteral("77"), QStringLiteral("0.5")}, {QStringLiteral("88")}));
    Store(QStringLiteral("/a"), 1,
          MakeRace(1, QStringLiteral("2026-06-01 10:00:00"), kSp, {QStringLiteral("99")},
                   {QStringLiteral("77"), QStringLiteral("0.5")}));
    Store(QStringLiteral("/a"), 2,
          MakeRace(2, QStringLiteral("2026-06-02 10:00:00"), kSp,
                   {QStringLiteral("77"), QStringLiteral("0.5")}, {}));
    const auto engine = logbook->AddPart(
        {0, QStringLiteral("77"), QStringLiteral("engine"), QStringLiteral("2026-01-01"), {}, 0});
    const auto tyres = logbook->AddPart(
        {0, QStringLiteral(" 77 "), QStringLiteral("tyres"), QStringLiteral("2026-06-01"), {}, 0});
    ASSERT_TRUE(engine && tyres);
    std::vector<LogbookPart> parts = logbook->Parts();
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].name, QStringLiteral("engine"));
    EXPECT_EQ(parts[0].runs, 3);
    EXPECT_EQ(parts[1].runs, 2);
    parts[1].since = QStringLiteral("2026-06-02");
    ASSERT_TRUE(logbook->UpdatePart(parts[1]));
    EXPECT_EQ(logbook->Parts()[1].runs, 1);
    ASSERT_TRUE(logbook->RemovePart(*engine));
    EXPECT_EQ(logbook->Parts().size(), 1u);
}

TEST_F(LogbookStoreTest, ExportWritesEveryRunAsPlainCsv) {
    Entrant left{QStringLiteral("77"),
                 QStringLiteral("0.512"),
                 QStringLiteral("9.512"),
                 QStringLiteral("135.20"),
                 true,
                 QStringLiteral("9.50"),
                 QStringLiteral("DOE, \"JJ\"")};
    Store(QStringLiteral("/a"), 0, MakeRace(0, kT1, kSp, left, {QStringLiteral("88")}),
          QStringLiteral("MAPLE"));
    Store(QStringLiteral("/a"), 1,
          MakeRace(1, kT2, kSp, {QStringLiteral("5"), QStringLiteral("-0.010")}, {}));
    const std::vector<LogbookRun> runs = logbook->SelectRuns({});
    ASSERT_EQ(runs.size(), 3u);  // the empty lane of the bye is nobody's run
    ASSERT_TRUE(logbook->SaveNotes(
        runs[0].id, {{}, QStringLiteral("40%"), {}, {}, {}, QStringLiteral("line one\nline two")}));
    QString error;
    ASSERT_TRUE(logbook->ExportCsv(Path("out.csv"), &error)) << error.toStdString();
    QFile file(Path("out.csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 5);  // header, three runs, the empty text after the last line end
    EXPECT_TRUE(lines[0].startsWith(
        QStringLiteral("time,track,category,class,car,name,lane,bump,dial,rt,et60,")));
    EXPECT_EQ(lines[1],
              QStringLiteral("2026-06-06 10:00:00,MAPLE,SUPER PRO     E1,SP,77,\"DOE, \"\"JJ\"\"\","
                             "L,,9.50,0.512,,,,,,,9.512,135.20,,,W,88,,40%,,,,\"line one\nline "
                             "two\""));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("2026-06-06 10:05:00,,SUPER PRO     E1,SP,5,")));
}

TEST_F(LogbookStoreTest, BackupIsAStandAloneCopy) {
    Store(QStringLiteral("/a"), 0,
          MakeRace(0, kT1, kSp, {QStringLiteral("77"), QStringLiteral("0.5")}, {}));
    QString error;
    ASSERT_TRUE(logbook->Backup(Path("copy.sqlite"), &error)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(Path("copy.sqlite-wal")));
    Logbook::OpenResult copy = Logbook::Open(Path("copy.sqlite"));
    ASSERT_TRUE(copy.logbook);
    EXPECT_EQ(copy.logbook->RaceCount(), 1);
    EXPECT_FALSE(logbook->Backup(Path("no/such/folder/copy.sqlite"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(LogbookStoreTest, TwoConnectionsWriteAtOnce) {
    // Two writers on their own connections, as the desktop program and orvanrx-cli are: every
    // race of both ends up stored, none is refused for a busy database.
    constexpr int kRaces = 150;
    std::atomic<int> failures = 0;
    const auto write = [&](const QString& source) {
        Logbook::OpenResult opened = Logbook::Open(Path("logbook.sqlite"));
        if (!opened.logbook) {
            ++failures;
            return;
        }
        for (int i = 0; i < kRaces; ++i) {
            const Race race =
                MakeRace(i,
                         QStringLiteral("2026-06-06 10:%1:%2")
                             .arg(i / 60, 2, 10, QLatin1Char('0'))
                             .arg(i % 60, 2, 10, QLatin1Char('0')),
                         kSp, {source + QString::number(i), QStringLiteral("0.5")}, {});
            if (opened.logbook->StoreRace({source, i, {}}, race.left, race.right) !=
                StoreOutcome::Inserted) {
                ++failures;
            }
        }
    };
    std::thread a(write, QStringLiteral("A"));
    std::thread b(write, QStringLiteral("B"));
    a.join();
    b.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(logbook->RaceCount(), 2 * kRaces);
}

TEST_F(LogbookStoreTest, OpeningACurrentLogbookDoesNotWaitForAnotherWriter) {
    Store(QStringLiteral("/a"), 0,
          MakeRace(0, kT1, kSp, {QStringLiteral("77"), QStringLiteral("0.5")}, {}));
    // Another program in the middle of a long import holds the write lock.
    sql::Database writer;
    ASSERT_TRUE(writer.Open(Path("logbook.sqlite"), false, 1000));
    ASSERT_TRUE(writer.Exec("BEGIN IMMEDIATE"));
    const auto started = std::chrono::steady_clock::now();
    Logbook::OpenResult opened = Logbook::Open(Path("logbook.sqlite"));
    const auto waited = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(opened.logbook) << opened.error.toStdString();
    EXPECT_LT(waited, std::chrono::milliseconds(200));
    EXPECT_EQ(opened.logbook->RaceCount(), 1);
    EXPECT_EQ(opened.logbook->SchemaVersion(), kLogbookSchemaVersion);
    EXPECT_TRUE(writer.Exec("COMMIT"));
}

TEST(LogbookRoundTest, RoundCodes) {
    const std::pair<const char*, const char*> cases[] = {{"SUPER PRO     E1", "E1"},
                                                         {"TOP SPORTSMAN Q2", "Q2"},
                                                         {"PRO ET", ""},
                                                         {"HEADS UP t1  ", "T1"},
                                                         {"", ""},
                                                         {"E", ""}};
    for (const auto& [category, round] : cases) {
        EXPECT_EQ(RoundCodeOf(QString::fromLatin1(category)), QString::fromLatin1(round))
            << category;
    }
}

}  // namespace
}  // namespace orvanrx
