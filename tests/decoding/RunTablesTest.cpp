#include <gtest/gtest.h>

#include <QStringList>

#include "RaceRows.h"
#include "TestRace.h"
#include "decoding/RunDecoder.h"
#include "decoding/RunTables.h"

namespace orvanrx {
namespace {

using testing::TestRace;

QString L1(const char* s) {
    return QString::fromLatin1(s);
}

// A clock that moves one minute on every reading, so tests see which write stamped a row.
Clock SteppingClock() {
    auto minutes = std::make_shared<int>(0);
    return [minutes] {
        return QDateTime(QDate(2026, 12, 4), QTime(18, 0)).addSecs(60LL * (*minutes)++);
    };
}

// The finished test race (every field filled, the right car 567) with the given category and
// left car; unless given, the left lane's ET is made from its car number, so that two races with
// different cars also differ in their data.
RunRecord Race(const char* category, const char* carL, const char* et1320L = nullptr) {
    ReceiveBuffer buffer;
    TestRace{}.WriteTo(buffer, 1000);
    RunRecord r = *DecodeRunRecord(buffer);
    r.Category = L1(category);
    r.CarL = L1(carL);
    r.et1320L = et1320L ? L1(et1320L) : QStringLiteral("9.%1").arg(L1(carL));
    return r;
}

QStringList Column(const RunTable& table, RunColumn column) {
    QStringList cells;
    for (int row = 0; row < table.RowCount(); ++row) {
        cells << table.Cell(row, column);
    }
    return cells;
}

class RunTablesTest : public ::testing::Test {
protected:
    RunTables tables{SteppingClock()};
};

TEST_F(RunTablesTest, FirstRaceOpensTwoRowsThatNameEachOther) {
    EXPECT_TRUE(tables.IsRunTableEmpty());
    const RunRecord race = Race("PRO E1", "1234");
    ASSERT_TRUE(tables.StoreRun(race));
    RunRow left = testing::ExpectedRow(race, true, 1);
    RunRow right = testing::ExpectedRow(race, false, 0);
    left[RunColumn::DateTime] = L1("2026-12-04 18:00:00");
    right[RunColumn::DateTime] = L1("2026-12-04 18:01:00");
    EXPECT_EQ(testing::Rows(tables.AllRunsTable()), (std::vector<RunRow>{left, right}));
    EXPECT_EQ(testing::Rows(tables.CategoryRunsTable()), testing::Rows(tables.AllRunsTable()));
    EXPECT_FALSE(tables.IsRunTableEmpty());
    EXPECT_FALSE(tables.IsCategoryTableEmpty());
    EXPECT_TRUE(tables.PairWritten());
}

TEST_F(RunTablesTest, IdenticalRebroadcastWritesNothing) {
    ASSERT_TRUE(tables.StoreRun(Race("PRO E1", "1234")));
    EXPECT_FALSE(tables.StoreRun(Race("PRO E1", "1234")));
    // Names and classes are not race data: a change in them alone rewrites nothing.
    RunRecord renamed = Race("PRO E1", "1234");
    renamed.NameL = L1("SOMEONE ELSE");
    EXPECT_FALSE(tables.StoreRun(renamed));
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::Name), L1("JOHN DOE"));
}

TEST_F(RunTablesTest, RowsAreRewrittenInPlaceUntilANewLeftCarNumber) {
    ASSERT_TRUE(tables.StoreRun(Race("PRO E1", "1234", "9.600")));
    ASSERT_TRUE(tables.StoreRun(Race("PRO E1", "1234", "9.512")));
    EXPECT_EQ(tables.AllRunsTable().RightRow(), 1);
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::et1320), L1("9.512"));
    // The stamp of the first write stays.
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::DateTime), L1("2026-12-04 18:00:00"));

    ASSERT_TRUE(tables.StoreRun(Race("PRO E1", "777")));
    EXPECT_EQ(Column(tables.AllRunsTable(), RunColumn::GeneralID),
              (QStringList{L1("1"), L1("0"), L1("3"), L1("2")}));
    EXPECT_EQ(tables.CategoryRunsTable().RightRow(), 3);

    // Same left car as the race before: it lands in that race's rows.
    ASSERT_TRUE(tables.StoreRun(Race("PRO E1", "777", "8.888")));
    EXPECT_EQ(tables.AllRunsTable().RightRow(), 3);
    EXPECT_EQ(tables.AllRunsTable().Cell(2, RunColumn::et1320), L1("8.888"));
}

TEST_F(RunTablesTest, ReactionTimeRule) {
    RunRecord r = Race("PRO E1", "1234");
    ASSERT_TRUE(tables.StoreRun(r));
    // RT gone (four characters are too few) but the car is past 60 feet: the cell keeps its
    // reaction time.
    r.RTL = L1("0.51");
    r.et1320L = L1("9.999");
    ASSERT_TRUE(tables.StoreRun(r));
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::RT), L1("0.512"));
    // RT and 60-foot time both gone: the cell empties.
    r.et60L = L1("1.31");
    ASSERT_TRUE(tables.StoreRun(r));
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::RT), QString());
    EXPECT_EQ(tables.AllRunsTable().Cell(1, RunColumn::RT), L1("0.498"));
}

TEST_F(RunTablesTest, ResultCellsWaitForTheQuarterMileSpeed) {
    RunRecord r = Race("PRO E1", "1234");
    r.mph1320L = L1("140.");  // fewer than five characters
    r.overundL = L1("0.012");
    ASSERT_TRUE(tables.StoreRun(r));
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::margin), QString());
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::overund), QString());
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::win), QString());
    EXPECT_EQ(tables.AllRunsTable().Cell(1, RunColumn::margin), L1("0.0123"));

    r.mph1320L = L1("140.11");
    ASSERT_TRUE(tables.StoreRun(r));
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::overund), L1("0.012"));
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::win), L1("W"));
    // A win mark that disappears does not clear the cell...
    r.winL = false;
    ASSERT_TRUE(tables.StoreRun(r));
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::win), L1("W"));
    // ...only a missing quarter-mile speed does.
    r.mph1320L.clear();
    ASSERT_TRUE(tables.StoreRun(r));
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::win), QString());
}

TEST_F(RunTablesTest, NewCategoryRestartsTheCategoryTableOnItsSecondWrite) {
    ASSERT_TRUE(tables.StoreRun(Race("PRO E1", "1")));
    ASSERT_TRUE(tables.StoreRun(Race("PRO E1", "2")));
    ASSERT_TRUE(tables.StoreRun(Race("STREET E1", "3", "12.000")));
    // First write of the new category: still appended after the old one's races.
    EXPECT_EQ(Column(tables.CategoryRunsTable(), RunColumn::Category),
              (QStringList{L1("PRO E1"), L1("PRO E1"), L1("PRO E1"), L1("PRO E1"), L1("STREET E1"),
                           L1("STREET E1")}));
    ASSERT_TRUE(tables.StoreRun(Race("STREET E1", "3", "11.900")));
    EXPECT_EQ(Column(tables.CategoryRunsTable(), RunColumn::Car),
              (QStringList{L1("3"), L1("567")}));
    EXPECT_EQ(tables.CategoryRunsTable().Cell(0, RunColumn::GeneralID), L1("5"));

    ASSERT_TRUE(tables.StoreRun(Race("STREET E1", "4")));
    EXPECT_EQ(Column(tables.CategoryRunsTable(), RunColumn::Car),
              (QStringList{L1("3"), L1("567"), L1("4"), L1("567")}));
    EXPECT_EQ(tables.AllRunsTable().RightRow(), 7);
}

TEST_F(RunTablesTest, ResetEmptiesTablesAndForgetsTheLastRace) {
    ASSERT_TRUE(tables.StoreRun(Race("PRO E1", "1")));
    tables.ResetRunTables();
    EXPECT_TRUE(tables.IsRunTableEmpty());
    EXPECT_TRUE(tables.IsCategoryTableEmpty());
    EXPECT_EQ(tables.AllRunsTable().LeftRow(), -2);
    EXPECT_EQ(tables.LastRun().CarL, RunTables::ResetSentinel());

    // The race on the air right after a reset is only logged once its data change.
    EXPECT_FALSE(tables.StoreRun(Race("PRO E1", "1")));
    EXPECT_FALSE(tables.PairWritten());
    ASSERT_TRUE(tables.StoreRun(Race("PRO E1", "1", "9.000")));
    EXPECT_EQ(Column(tables.AllRunsTable(), RunColumn::GeneralID), (QStringList{L1("1"), L1("0")}));
}

TEST_F(RunTablesTest, AFailedWriteEndsWithPairWrittenTrue) {
    ASSERT_TRUE(tables.StoreRun(Race("PRO E1", "1")));
    // A new car number with unchanged race data opens rows without writing them.
    EXPECT_FALSE(tables.StoreRun(Race("PRO E1", "2", "9.1")));
    EXPECT_FALSE(tables.PairWritten());

    // A log read from a file fills AllRunsTable only; the category table stays reset.
    tables.ResetRunTables();
    RunTable& all = tables.MutableAllRunsTable();
    all.StartNew();
    (*all.MutableRow(0))[RunColumn::Category] = L1("LOADED");
    (*all.MutableRow(1))[RunColumn::Category] = L1("LOADED");

    EXPECT_FALSE(tables.StoreRun(Race("PRO E1", "2", "9.100")));
    EXPECT_TRUE(tables.PairWritten());
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::Category),
              L1("PRO E1"));  // written before failing
    EXPECT_TRUE(tables.IsCategoryTableEmpty());
}

TEST(DecodeRun, RebroadcastsAndAPacketTurningInvalid) {
    RunTables tables(FixedClock(QDateTime(QDate(2026, 12, 4), QTime(18, 53))));
    ReceiveBuffer buffer;
    TestRace race;
    race.WriteTo(buffer, 1000);
    EXPECT_TRUE(DecodeRun(buffer, tables));
    EXPECT_FALSE(DecodeRun(buffer, tables));
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::et60), L1("1.312"));

    // Half of the 60-foot Packet replaced by a newer piece: it fails its checksum.
    buffer.Set(1000 + 24 * 8 + 6, '9');
    EXPECT_TRUE(DecodeRun(buffer, tables));
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::et60), QString());
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::RT), L1("0.512"));  // RT still read

    race.WriteTo(buffer, 1000);
    EXPECT_TRUE(DecodeRun(buffer, tables));
    EXPECT_EQ(tables.AllRunsTable().Cell(0, RunColumn::et60), L1("1.312"));
    EXPECT_EQ(tables.AllRunsTable().RightRow(), 1);
}

// A row handed out (to the log grid) or a copy of the table keeps its texts while the table
// writes the row; the table sees its own write.
TEST(RunTableRows, WritesNeverReachARowSharedOrCopied) {
    RunTable table;
    table.StartNew();
    (*table.MutableRow(0))[RunColumn::Car] = L1("1234");
    const std::shared_ptr<const RunRow> shared = table.SharedRow(0);
    const RunTable copy = table;
    (*table.MutableRow(0))[RunColumn::Car] = L1("567");
    (*table.MutableRow(1))[RunColumn::Car] = L1("89");
    EXPECT_EQ((*shared)[RunColumn::Car], L1("1234"));
    EXPECT_EQ(copy.Cell(0, RunColumn::Car), L1("1234"));
    EXPECT_EQ(copy.Cell(1, RunColumn::Car), QString());
    EXPECT_EQ(table.Cell(0, RunColumn::Car), L1("567"));
    EXPECT_EQ(table.Cell(1, RunColumn::Car), L1("89"));
    EXPECT_FALSE(table.SharedRow(2));
}

}  // namespace
}  // namespace orvanrx
