#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "LogbookRows.h"
#include "logbook/LogbookImport.h"
#include "logbook/Sqlite.h"
#include "racelog/RaceLogFile.h"

namespace orvanrx {

using enum RunColumn;
namespace {

using testing::MakeRace;
using testing::Race;

Race NumberedRace(int index, int number, const QString& time) {
    return MakeRace(index, time, QStringLiteral("PRO ET        E1"),
                    {QString::number(100 + number), QStringLiteral("0.5%1").arg(number),
                     QStringLiteral("10.%1").arg(100 + number), QStringLiteral("130.00"), true},
                    {QString::number(200 + number), QStringLiteral("0.4%1").arg(number),
                     QStringLiteral("11.%1").arg(100 + number), QStringLiteral("120.00")});
}

QString Time(int minute) {
    return QStringLiteral("2026-07-04 11:%1:00").arg(minute, 2, 10, QLatin1Char('0'));
}

class LogbookImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir().mkpath(Path("logs")));
        Logbook::OpenResult opened = Logbook::Open(Path("logbook.sqlite"));
        ASSERT_TRUE(opened.logbook) << opened.error.toStdString();
        logbook = std::move(opened.logbook);
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    QString Path(const char* name) const { return Path(QString::fromLatin1(name)); }
    void WriteLog(const QString& name, const std::vector<Race>& races) {
        RunTable table;
        for (const Race& race : races) {
            table.OpenNextPair();
            *table.MutableRow(table.LeftRow()) = race.left;
            *table.MutableRow(table.RightRow()) = race.right;
        }
        WriteFile(name, RaceLogFileBytes(table));
    }
    void WriteFile(const QString& name, const QByteArray& bytes) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir dir;
    std::unique_ptr<Logbook> logbook;
};

TEST_F(LogbookImportTest, AFolderWithCopiesABrokenFileAndARestart) {
    std::vector<Race> first;
    for (int i = 0; i < 5; ++i) {
        first.push_back(NumberedRace(i, i, Time(i)));
    }
    // The last race still running when the first start ended.
    Race running = NumberedRace(5, 5, Time(5));
    running.left[et1320].clear();
    running.left[mph1320].clear();
    running.left[win].clear();
    running.right[et1320].clear();
    running.right[mph1320].clear();
    first.push_back(running);
    WriteLog(QStringLiteral("logs/2026-07-04 1100.csv"), first);
    WriteLog(QStringLiteral("logs/copy of first.csv"), first);

    // The next start decodes the last race again, at its own time, and goes on; the pair it
    // opened for the next race was never written.
    std::vector<Race> second = {NumberedRace(0, 5, Time(30)), NumberedRace(1, 6, Time(31)),
                                NumberedRace(2, 7, Time(32)),
                                MakeRace(3, Time(33), QStringLiteral("PRO ET        E1"),
                                         {QStringLiteral("108")}, {QStringLiteral("208")})};
    WriteLog(QStringLiteral("logs/2026-07-04 1130.csv"), second);

    WriteFile(QStringLiteral("logs/broken.csv"), "1,\"2026-07-04 12:00:00\",\"PRO\"\r\n");
    WriteFile(QStringLiteral("logs/notes.csv"),
              QByteArray("these are my notes, not a race log\r\n").repeated(42));
    WriteFile(QStringLiteral("logs/readme.txt"), "not a csv file");

    const QStringList files = RaceLogFilesIn({Path(QStringLiteral("logs"))});
    ASSERT_EQ(files.size(), 5);
    std::vector<std::pair<int, int>> progress;
    const ImportReport report =
        ImportRaceLogs(*logbook, files, QStringLiteral("SUMMER STRIP"),
                       [&](int done, int total) { progress.emplace_back(done, total); });
    EXPECT_EQ(report.filesRead, 3);
    ASSERT_EQ(report.skipped.size(), 2);
    EXPECT_TRUE(report.skipped[0].contains(QStringLiteral("broken.csv")));
    EXPECT_TRUE(report.skipped[1].contains(QStringLiteral("notes.csv")));
    EXPECT_EQ(progress.back(), std::make_pair(5, 5));
    EXPECT_EQ(report.races, 6 + 6 + 4);
    EXPECT_EQ(report.notRuns, 1);

    // Races 0..7 once each: the running race completed by the second start, at its first time.
    const RunTable table = logbook->SelectRaces({});
    ASSERT_EQ(table.RowCount(), 2 * 8);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(table.Cell(2 * i, Car), QString::number(100 + i));
        EXPECT_EQ(table.Cell(2 * i, et1320), QStringLiteral("10.%1").arg(100 + i));
    }
    EXPECT_EQ(table.Cell(10, DateTime), Time(5));
    const std::vector<LogbookEvent> events = logbook->Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].day, QStringLiteral("2026-07-04"));
    EXPECT_EQ(events[0].track, QStringLiteral("SUMMER STRIP"));
    EXPECT_EQ(events[0].races, 8);

    // Once more: nothing new.
    const ImportReport again = ImportRaceLogs(*logbook, files, QString());
    EXPECT_EQ(again.inserted, 0);
    EXPECT_EQ(again.updated, 0);
    EXPECT_EQ(logbook->RaceCount(), 8);
}

TEST_F(LogbookImportTest, ATrackGivenLaterNamesTheUnknownOnes) {
    WriteLog(QStringLiteral("logs/a.csv"), {NumberedRace(0, 1, Time(1))});
    ImportRaceLogs(*logbook, RaceLogFilesIn({Path(QStringLiteral("logs/a.csv"))}), QString());
    ASSERT_EQ(logbook->Events().size(), 1u);
    EXPECT_EQ(logbook->Events()[0].track, QString());
    ImportRaceLogs(*logbook, RaceLogFilesIn({Path(QStringLiteral("logs/a.csv"))}),
                   QStringLiteral("WEST"));
    ASSERT_EQ(logbook->Events().size(), 1u);
    EXPECT_EQ(logbook->Events()[0].track, QStringLiteral("WEST"));
    EXPECT_EQ(logbook->RaceCount(), 1);
}

// Files share a transaction: one the logbook refuses (here by a trigger another program might
// as well have hit as a full disk) stays out alone, named with the logbook's reason, and the
// files before and after it are in.
TEST_F(LogbookImportTest, AFileTheLogbookRefusesStaysOutAlone) {
    {
        sql::Database db;
        ASSERT_TRUE(db.Open(Path("logbook.sqlite"), false, kLogbookBusyTimeoutMs));
        ASSERT_TRUE(
            db.Exec("CREATE TRIGGER refuse BEFORE INSERT ON races WHEN NEW.car_l = '166' "
                    "BEGIN SELECT RAISE(ABORT, 'car 166 refused'); END;"));
    }
    for (int f = 0; f < 5; ++f) {
        std::vector<Race> races;
        for (int i = 0; i < 3; ++i) {
            races.push_back(NumberedRace(i, 22 * f + i, Time(10 * f + i)));
        }
        WriteLog(QStringLiteral("logs/%1.csv").arg(f), races);
    }
    const ImportReport report =
        ImportRaceLogs(*logbook, RaceLogFilesIn({Path(QStringLiteral("logs"))}), QString());
    EXPECT_EQ(report.filesRead, 4);
    EXPECT_EQ(report.inserted, 12);
    EXPECT_EQ(report.races, 12);
    ASSERT_EQ(report.skipped.size(), 1);
    EXPECT_TRUE(report.skipped[0].endsWith(QStringLiteral("3.csv: car 166 refused")))
        << report.skipped[0].toStdString();
    EXPECT_EQ(logbook->RaceCount(), 12);
    RaceSelection third;
    third.cars = QStringList{QStringLiteral("166"), QStringLiteral("167"), QStringLiteral("168")};
    EXPECT_EQ(logbook->SelectRaces(third).RowCount(), 0);
    RaceSelection fifth;
    fifth.cars = QStringList{QStringLiteral("188")};
    EXPECT_EQ(logbook->SelectRaces(fifth).RowCount(), 2);
}

TEST_F(LogbookImportTest, MissingFilesAreNamed) {
    const ImportReport report = ImportRaceLogs(
        *logbook, RaceLogFilesIn({Path(QStringLiteral("logs/none.csv"))}), QString());
    EXPECT_EQ(report.filesRead, 0);
    ASSERT_EQ(report.skipped.size(), 1);
    EXPECT_TRUE(report.skipped[0].endsWith(QStringLiteral("none.csv: no such file")));
}

}  // namespace
}  // namespace orvanrx
