#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <vector>

#include "racelog/RaceLogFile.h"
#include "settings/SettingsKeys.h"
#include "settings/TestFiles.h"

namespace orvanrx {
namespace {

using testing::L1;
using testing::ReadBytes;
using testing::S;
using testing::WriteBytes;

RunRow Lane(const char* id, const char* category, const char* name, const char* lane,
            const char* win) {
    RunRow row;
    const char* cells[kRunColumnCount] = {id,       "2026-12-04 18:53:12",
                                          category, "SP",
                                          "1234",   name,
                                          lane,     "",
                                          "9.50",   "0.512",
                                          "1.312",  "3.801",
                                          "5.901",  "112.34",
                                          "7.601",  "125.67",
                                          "9.512",  "140.11",
                                          "0.0456", "+0.012",
                                          win};
    for (int c = 0; c < kRunColumnCount; ++c) {
        row[static_cast<std::size_t>(c)] = QString::fromUtf8(cells[c]);
    }
    return row;
}

void AddRace(RunTables& tables, const RunRow& left, const RunRow& right) {
    RunTable& all = tables.MutableAllRunsTable();
    all.OpenNextPair();
    *all.MutableRow(all.LeftRow()) = left;
    *all.MutableRow(all.RightRow()) = right;
}

void AddRace(RunTables& tables, const char* category, const char* nameL = "DOE, JOHN") {
    const QString id = QString::number(tables.AllRunsTable().RightRow() + 2);
    const QByteArray idText = id.toLatin1();
    AddRace(tables, Lane(idText.constData(), category, nameL, "L", "W"),
            Lane(idText.constData(), category, "JOS\xC3\x89 R\xC3\x9A", "R", ""));
}

std::vector<RunRow> Rows(const RunTable& table) {
    std::vector<RunRow> rows;
    for (int r = 0; r < table.RowCount(); ++r) {
        rows.push_back(*table.Row(r));
    }
    return rows;
}

class RaceLogFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    QString logPath_ = dir_.filePath(QStringLiteral("2026-12-04 1853.csv"));
    SettingsStore settings_{dir_.filePath(QStringLiteral("OrvanRX.ini"))};
};

TEST_F(RaceLogFileTest, WritesTheExactBytes) {
    RunTables tables;
    AddRace(tables, Lane("1", "SUPER PRO", "DOE, JOHN", "L", "W"),
            Lane("0", "SUPER PRO", "\xC5\x81UKASZ JOS\xC3\x89", "R", ""));
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
    AddRace(saved, "SUPER PRO", "SMITH, \"BUBBA\"");
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
    EXPECT_EQ(loaded.AllRunsTable().RightRow(), 5);

    // The name with a comma survives; the one with double quotes is cut at its first quote.
    std::vector<RunRow> expected = Rows(saved.AllRunsTable());
    expected[2][Name] = L1("SMITH, ");
    EXPECT_EQ(Rows(loaded.AllRunsTable()), expected);
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
    struct Case {
        std::vector<const char*> fileCategories;
        std::vector<const char*> loadedCategories;
    };
    const std::vector<Case> cases = {
        {{"", "X"}, {"", "X"}},
        {{"X", "", "Y"}, {"X"}},
        {{"", "", "Y"}, {""}},
        {{"X", "Y", "Z"}, {"X", "Y", "Z"}},
    };
    for (const Case& c : cases) {
        RunTables saved;
        for (const char* category : c.fileCategories) {
            AddRace(saved, category);
        }
        ASSERT_TRUE(WriteBytes(logPath_, RaceLogFileBytes(saved.AllRunsTable())));
        RunTables loaded;
        EXPECT_EQ(LoadRaceLog(logPath_, loaded).outcome, RaceLogLoadOutcome::Loaded);
        std::vector<std::string> categories;
        for (int r = 1; r < loaded.AllRunsTable().RowCount(); r += 2) {
            categories.push_back(S(loaded.AllRunsTable().Cell(r, Category)));
        }
        EXPECT_EQ(categories,
                  std::vector<std::string>(c.loadedCategories.begin(), c.loadedCategories.end()))
            << c.fileCategories.size() << " races, first '" << c.fileCategories[0] << "'";
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
    EXPECT_EQ(S(tables.AllRunsTable().Cell(1, Category)), "KEEP");

    EXPECT_EQ(LoadRaceLog(dir_.path(), tables).outcome, RaceLogLoadOutcome::Failed);
    EXPECT_TRUE(tables.IsRunTableEmpty());
}

TEST_F(RaceLogFileTest, EmptyTableLeavesTheFileAlone) {
    ASSERT_TRUE(WriteBytes(logPath_, "old\r\n"));
    RunTables empty;
    EXPECT_FALSE(SaveRaceLog(logPath_, empty, settings_));
    EXPECT_EQ(ReadBytes(logPath_), QByteArray("old\r\n"));
    EXPECT_FALSE(SaveRaceLog(dir_.filePath(QStringLiteral("new.csv")), empty, settings_));
    EXPECT_FALSE(QFile::exists(dir_.filePath(QStringLiteral("new.csv"))));
    EXPECT_EQ(S(settings_.QueryValue(kLogFileKey, kLogFileValue)), "No Key Value");
}

// A save that cannot be completed keeps the old file byte for byte, leaves no other file
// behind and does not record the path.
TEST_F(RaceLogFileTest, FailedSaveKeepsTheOldFile) {
    struct Case {
        const char* name;
        std::function<QString(const QString& dir)> prepare;  // returns the log path
        bool needsPermissions;
        bool diskFull;
    };
    const std::vector<Case> cases = {
        {"disk full", [](const QString& d) { return d + L1("/log.csv"); }, false, true},
        {"read-only folder",
         [](const QString& d) {
             QFile::setPermissions(d, QFile::ReadOwner | QFile::ExeOwner);
             return d + L1("/log.csv");
         },
         true, false},
        {"read-only file",
         [](const QString& d) {
             QFile::setPermissions(d + L1("/log.csv"), QFile::ReadOwner);
             return d + L1("/log.csv");
         },
         true, false},
        {"folder is a file",
         [](const QString& d) {
             WriteBytes(d + L1("/sub"), "x");
             return d + L1("/sub/log.csv");
         },
         false, false},
    };
    RunTables tables;
    AddRace(tables, "SUPER PRO");
    settings_.SetKeyValue(kLogFileKey, kLogFileValue, L1("earlier.csv"), ValueType::RegSz);
    for (const Case& c : cases) {
        if (c.needsPermissions && testing::RunningAsRoot()) {
            continue;  // root writes regardless of permission bits
        }
        QTemporaryDir dir;
        ASSERT_TRUE(WriteBytes(dir.filePath(QStringLiteral("log.csv")), "old\r\n"));
        const QString path = c.prepare(dir.path());
        bool saved = true;
        if (c.diskFull) {
            testing::FileSizeLimit diskFull(64);
            saved = SaveRaceLog(path, tables, settings_);
        } else {
            saved = SaveRaceLog(path, tables, settings_);
        }
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_FALSE(saved) << c.name;
        EXPECT_EQ(ReadBytes(dir.filePath(QStringLiteral("log.csv"))), QByteArray("old\r\n"))
            << c.name;
        QStringList files = QDir(dir.path()).entryList(QDir::Files);
        files.removeAll(QStringLiteral("sub"));
        EXPECT_EQ(files, QStringList{QStringLiteral("log.csv")}) << c.name;
        EXPECT_EQ(S(settings_.QueryValue(kLogFileKey, kLogFileValue)), "earlier.csv") << c.name;
    }
}

}  // namespace
}  // namespace orvanrx
