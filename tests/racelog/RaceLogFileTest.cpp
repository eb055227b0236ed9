#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <optional>
#include <vector>

#include "decoding/RaceRows.h"
#include "racelog/RaceLogFile.h"
#include "racelog/RaceLogItemReader.h"
#include "settings/SettingsKeys.h"
#include "settings/TestFiles.h"

namespace orvanrx {
namespace {

using testing::Block;
using testing::Blocker;
using testing::L1;
using testing::ReadBytes;
using testing::Rows;
using testing::S;
using testing::WriteBytes;

// Appends a race to the log (texts UTF-8); the other cells are the same in every race.
void AddRace(RunTables& tables, const char* category, const char* nameL = "DOE, JOHN",
             const char* nameR = "JOS\xC3\x89 R\xC3\x9A") {
    RunTable& all = tables.MutableAllRunsTable();
    all.OpenNextPair();
    for (const int row : {all.LeftRow(), all.RightRow()}) {
        const bool left = row == all.LeftRow();
        const QStringList cells =
            QStringLiteral(
                "%1|2026-12-04 18:53:12|%2|SP|1234|%3|%4||9.50|0.512|1.312|3.801|"
                "5.901|112.34|7.601|125.67|9.512|140.11|0.0456|+0.012|%5")
                .arg(QString::number(row ^ 1), QString::fromUtf8(category),
                     QString::fromUtf8(left ? nameL : nameR), L1(left ? "L" : "R"),
                     L1(left ? "W" : ""))
                .split(u'|');
        std::copy(cells.begin(), cells.end(), all.MutableRow(row)->begin());
    }
}

class RaceLogFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    QString logPath_ = dir_.filePath(QStringLiteral("2026-12-04 1853.csv"));
    SettingsStore settings_{dir_.filePath(QStringLiteral("OrvanRX.ini"))};
};

TEST_F(RaceLogFileTest, WritesTheExactBytes) {
    RunTables tables;
    AddRace(tables, "SUPER PRO", "DOE, JOHN", "\xC5\x81UKASZ JOS\xC3\x89");
    tables.MutableAllRunsTable().OpenNextPair();  // a race opened but never written

    const QByteArray expected =
        "1,\"2026-12-04 18:53:12\",\"SUPER PRO\",\"SP\",\"1234\",\"DOE, JOHN\",\"L\",,9.50,0.512,"
        "1.312,3.801,5.901,112.34,7.601,125.67,9.512,140.11,0.0456,+0.012,\"W\"\r\n"
        "0,\"2026-12-04 18:53:12\",\"SUPER PRO\",\"SP\",\"1234\",\"?UKASZ JOS\xC9\",\"R\",,9.50,"
        "0.512,1.312,3.801,5.901,112.34,7.601,125.67,9.512,140.11,0.0456,+0.012,\"\"\r\n"
        ",\"\",\"\",\"\",\"\",\"\",\"\",,,,,,,,,,,,,,\"\"\r\n"
        ",\"\",\"\",\"\",\"\",\"\",\"\",,,,,,,,,,,,,,\"\"\r\n";
    EXPECT_EQ(RaceLogFileBytes(tables.AllRunsTable()).toStdString(), expected.toStdString());
    ASSERT_TRUE(SaveRaceLog(logPath_, tables, settings_));
    EXPECT_EQ(ReadBytes(logPath_).toStdString(), expected.toStdString());
}

TEST_F(RaceLogFileTest, SaveThenLoadGivesTheSameRows) {
    RunTables saved;
    AddRace(saved, "SUPER PRO");
    AddRace(saved, "SUPER PRO", "JOE \"BIG, RED\" DOE");
    AddRace(saved, "\"Q\" PRO", "\"");
    AddRace(saved, "PRO ET");
    ASSERT_TRUE(WriteBytes(logPath_, QByteArray(100000, 'x')));  // a longer old file
    ASSERT_TRUE(SaveRaceLog(logPath_, saved, settings_));
    EXPECT_EQ(ReadBytes(logPath_), RaceLogFileBytes(saved.AllRunsTable()));
    EXPECT_EQ(settings_.QueryValue(kLogFileKey, kLogFileValue), logPath_);

    RunTables loaded;
    AddRace(loaded, "OLD");
    const RaceLogLoadResult result = LoadRaceLog(logPath_, loaded);
    EXPECT_EQ(result.outcome, RaceLogLoadOutcome::Loaded);
    EXPECT_TRUE(result.errorText.isEmpty());
    EXPECT_TRUE(loaded.IsCategoryTableEmpty());
    EXPECT_EQ(loaded.AllRunsTable().RightRow(), 7);

    // Commas and quotes inside quoted cells survive: the quotes are written doubled.
    EXPECT_TRUE(ReadBytes(logPath_).contains("\"JOE \"\"BIG, RED\"\" DOE\""));
    EXPECT_TRUE(ReadBytes(logPath_).contains("\"\"\"Q\"\" PRO\""));
    EXPECT_EQ(Rows(loaded.AllRunsTable()), Rows(saved.AllRunsTable()));
}

TEST_F(RaceLogFileTest, LineEndsDoNotMatter) {
    RunTables saved;
    AddRace(saved, "SUPER PRO");
    AddRace(saved, "PRO ET");
    const QByteArray bytes = RaceLogFileBytes(saved.AllRunsTable());
    struct Case {
        const char* name;
        QByteArray file;
    };
    QByteArray splitRow = bytes;
    splitRow.replace(splitRow.indexOf("9.50,") + 4, 1, "\r\n");  // a short line and its rest
    const std::vector<Case> cases = {
        {"no last line end", bytes.chopped(2)},
        {"blank lines at the end", bytes + "\r\n  \r\n\r\n"},
        {"LF line ends", QByteArray(bytes).replace("\r\n", "\n")},
        {"row split over two lines", splitRow},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteBytes(logPath_, c.file));
        RunTables loaded;
        EXPECT_EQ(LoadRaceLog(logPath_, loaded).outcome, RaceLogLoadOutcome::Loaded) << c.name;
        EXPECT_EQ(Rows(loaded.AllRunsTable()), Rows(saved.AllRunsTable())) << c.name;
    }
}

TEST_F(RaceLogFileTest, EmptyCategoryEndsTheLogAfterTheFirstRace) {
    // The races' categories in the file and in the loaded log, joined with "|".
    const std::pair<QString, QString> cases[] = {{L1("|X"), L1("|X")},
                                                 {L1("X||Y"), L1("X")},
                                                 {L1("||Y"), L1("")},
                                                 {L1("X|Y|Z"), L1("X|Y|Z")}};
    for (const auto& [file, expected] : cases) {
        RunTables saved;
        for (const QString& category : file.split(u'|')) {
            AddRace(saved, category.toUtf8().constData());
        }
        ASSERT_TRUE(WriteBytes(logPath_, RaceLogFileBytes(saved.AllRunsTable())));
        RunTables loaded;
        EXPECT_EQ(LoadRaceLog(logPath_, loaded).outcome, RaceLogLoadOutcome::Loaded);
        QStringList categories;
        for (int r = 1; r < loaded.AllRunsTable().RowCount(); r += 2) {
            categories << loaded.AllRunsTable().Cell(r, RunColumn::Category);
        }
        EXPECT_EQ(categories, expected.split(u'|')) << S(file);
    }
}

TEST_F(RaceLogFileTest, FilesThatEndInsideARaceFailAndResetTheLog) {
    RunTables saved;
    AddRace(saved, "SUPER PRO");
    AddRace(saved, "PRO ET");
    const QByteArray bytes = RaceLogFileBytes(saved.AllRunsTable());
    const qsizetype thirdLine = bytes.indexOf('\n', bytes.indexOf('\n') + 1) + 1;
    const std::vector<std::pair<const char*, QByteArray>> files = {
        {"odd number of lines", bytes.left(bytes.lastIndexOf("\r\n", bytes.size() - 3) + 2)},
        {"one line", bytes.left(bytes.indexOf('\n') + 1)},
        {"cut inside a line", bytes.left(thirdLine + 20)},
        {"blank line between races", bytes.left(thirdLine) + "\r\n" + bytes.mid(thirdLine)},
    };
    for (const auto& [name, file] : files) {
        ASSERT_TRUE(WriteBytes(logPath_, file));
        RunTables loaded;
        AddRace(loaded, "OLD");
        const RaceLogLoadResult result = LoadRaceLog(logPath_, loaded);
        EXPECT_EQ(result.outcome, RaceLogLoadOutcome::Failed) << name;
        EXPECT_EQ(S(result.errorText),
                  "Error:\r\n  Unable to import race log file!\r\n\r\n  Please try closing the "
                  "file if it is open or select\r\n  a valid formated Race Log CSV file")
            << name;
        EXPECT_TRUE(loaded.IsRunTableEmpty()) << name;
        EXPECT_EQ(loaded.AllRunsTable().RowCount(), 0) << name;
    }
    EXPECT_EQ(S(kRaceLogImportCaption), "OrvanRX - Race Log Import");
}

TEST_F(RaceLogFileTest, MissingFileChangesNothingAndAFolderFails) {
    RunTables tables;
    AddRace(tables, "KEEP");
    EXPECT_EQ(LoadRaceLog(dir_.filePath(QStringLiteral("none.csv")), tables).outcome,
              RaceLogLoadOutcome::NoFile);
    EXPECT_EQ(S(tables.AllRunsTable().Cell(1, RunColumn::Category)), "KEEP");

    EXPECT_EQ(LoadRaceLog(dir_.path(), tables).outcome, RaceLogLoadOutcome::Failed);
    EXPECT_TRUE(tables.IsRunTableEmpty());
}

TEST_F(RaceLogFileTest, EmptyTableLeavesTheFileAlone) {
    ASSERT_TRUE(WriteBytes(logPath_, "old\r\n"));
    RunTables empty;
    EXPECT_EQ(SaveRaceLog(logPath_, empty, settings_).outcome, RaceLogSaveOutcome::NothingToSave);
    EXPECT_EQ(ReadBytes(logPath_), QByteArray("old\r\n"));
    EXPECT_EQ(SaveRaceLog(dir_.filePath(QStringLiteral("new.csv")), empty, settings_).outcome,
              RaceLogSaveOutcome::NothingToSave);
    EXPECT_FALSE(QFile::exists(dir_.filePath(QStringLiteral("new.csv"))));
    EXPECT_EQ(S(settings_.QueryValue(kLogFileKey, kLogFileValue)), "No Key Value");
}

// A save that cannot be completed keeps the old file byte for byte, leaves no other file
// behind, does not record the path, and says why.
TEST_F(RaceLogFileTest, FailedSaveKeepsTheOldFile) {
    RunTables tables;
    AddRace(tables, "SUPER PRO");
    settings_.SetKeyValue(kLogFileKey, kLogFileValue, L1("earlier.csv"), ValueType::RegSz);
    const std::optional<Blocker> diskFull;
    for (const std::optional<Blocker> how :
         {diskFull, std::optional(Blocker::ReadOnlyFolder), std::optional(Blocker::ReadOnlyFile),
          std::optional(Blocker::FileInPlaceOfTheFolder)}) {
        QTemporaryDir dir;
        ASSERT_TRUE(WriteBytes(dir.filePath(QStringLiteral("log.csv")), "old\r\n"));
        const auto path =
            how ? Block(dir.path(), L1("log.csv"), *how) : dir.filePath(L1("log.csv"));
        if (!path) {
            continue;
        }
        RaceLogSaveResult saved;
        {
            std::optional<testing::FileSizeLimit> limit;
            if (!how) {
                limit.emplace(64);
            }
            saved = SaveRaceLog(*path, tables, settings_);
        }
        testing::Unblock(dir.path(), *path);
        const int c = how ? static_cast<int>(*how) : -1;
        EXPECT_EQ(saved.outcome, RaceLogSaveOutcome::Failed) << c;
        EXPECT_FALSE(saved.reason.isEmpty()) << c;
        EXPECT_EQ(ReadBytes(dir.filePath(QStringLiteral("log.csv"))), QByteArray("old\r\n")) << c;
        QStringList files = QDir(dir.path()).entryList(QDir::Files);
        files.removeAll(QStringLiteral("sub"));
        EXPECT_EQ(files, QStringList{QStringLiteral("log.csv")}) << c;
        EXPECT_EQ(S(settings_.QueryValue(kLogFileKey, kLogFileValue)), "earlier.csv") << c;
    }
}

// Every item up to the end of the data, joined with "|".
std::string Items(const char* data) {
    RaceLogItemReader reader{QByteArrayView(data)};
    QStringList items;
    while (auto item = reader.NextItem()) {
        items << *item;
    }
    return items.join(QLatin1Char('|')).toStdString();
}

TEST(RaceLogItemReader, SplitsTheStreamIntoItems) {
    struct Case {
        const char* data;
        const char* items;
    };
    const std::vector<Case> cases = {
        {"a,b,c", "a|b|c"},
        {"\"x,y\",z", "x,y|z"},
        {"  a,\t \"b\"", "a|b"},
        {"a ,b", "a |b"},                         // trailing blanks of a bare item stay
        {"\"ab\"cd,e", "ab|e"},                   // text after a closing quote is dropped
        {"\"Bob \"Bubba\" Smith\",x", "Bob |x"},  // a single quote inside ends the item
        {"\"JOE \"\"BIG, RED\"\" DOE\",x", "JOE \"BIG, RED\" DOE|x"},  // doubled: one quote
        {"\"\"\"\",\"\"", "\"|"},     // a lone quote, then an empty item
        {"\"a\"\"\r\nb", "a\"|b"},    // an open quote after a doubled one
        {"a,\r\nb", "a||b"},          // comma before a line end: empty item
        {"a\r\n\r\nb", "a||b"},       // a blank line is one empty item
        {"a\nb\rc\r\nd", "a|b|c|d"},  // LF, CR and CR LF each end a line
        {"\"open\r\nb", "open|b"},    // an open quote ends at the line end
        {"\"\",,\"\"", "||"},
        {"\xC9t\xE9", "\xC3\x89t\xC3\xA9"},  // 8-bit text is Latin-1
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Items(c.data), c.items) << c.data;
    }
}

// The cells of a loaded row share their storage: changing one, in any way, leaves the others
// as they were, and each reads as a NUL-terminated text of its own.
TEST_F(RaceLogFileTest, LoadedCellsChangeAlone) {
    RunTables saved;
    AddRace(saved, "SUPER PRO");
    AddRace(saved, "PRO ET", "JOE \"BIG, RED\" DOE");
    ASSERT_TRUE(SaveRaceLog(logPath_, saved, settings_));

    RunTables loaded;
    ASSERT_EQ(LoadRaceLog(logPath_, loaded).outcome, RaceLogLoadOutcome::Loaded);
    RunTable& all = loaded.MutableAllRunsTable();
    ASSERT_EQ(all.RowCount(), 4);
    for (int r = 0; r < all.RowCount(); ++r) {
        for (const QString& cell : *all.Row(r)) {
            EXPECT_EQ(cell.utf16()[cell.size()], u'\0') << r << ": " << cell.toStdString();
        }
    }
    // Row 2's GeneralID, Category and Name are texts no row above holds.
    const auto change = [](RunRow& row) {
        row[RunColumn::GeneralID].append(QStringLiteral("-ZZZZZZZZZZZZZZZZZZZZ"));
        row[RunColumn::Category][0] = u'X';
        row[RunColumn::Name].chop(1);
        row[RunColumn::RT] = QString();
    };
    change(*all.MutableRow(2));
    change(*saved.MutableAllRunsTable().MutableRow(2));
    EXPECT_EQ((*all.Row(2))[RunColumn::GeneralID], QStringLiteral("3-ZZZZZZZZZZZZZZZZZZZZ"));
    EXPECT_EQ((*all.Row(2))[RunColumn::Category], QStringLiteral("XRO ET"));
    for (int r = 0; r < all.RowCount(); ++r) {
        EXPECT_EQ(*all.Row(r), *saved.AllRunsTable().Row(r)) << r;
    }
}

TEST(RaceLogItemReader, EndsWhereOnlyBlankLinesRemain) {
    RaceLogItemReader reader{QByteArrayView("a,\"b\"\r\n \r\n\t\r\n")};
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.NextItem(), QStringLiteral("a"));
    EXPECT_EQ(reader.NextItem(), QStringLiteral("b"));
    EXPECT_TRUE(reader.AtEnd());

    RaceLogItemReader noLineEnd{QByteArrayView("a")};
    EXPECT_EQ(noLineEnd.NextItem(), QStringLiteral("a"));
    EXPECT_TRUE(noLineEnd.AtEnd());
    EXPECT_EQ(noLineEnd.NextItem(), std::nullopt);
}

}  // namespace
}  // namespace orvanrx
