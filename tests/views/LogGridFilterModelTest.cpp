#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

#include "LogTable.h"
#include "views/LogGridFilterModel.h"
#include "views/LogGridSheet.h"

namespace orvanrx {
namespace {

using testing::LogOf;
using testing::Outline;
using Lines = std::vector<std::string>;
constexpr auto kFatal = QAbstractItemModelTester::FailureReportingMode::Fatal;

// Category names that are prefixes of others, a race with one lane empty, and dial-ins that
// are a number written two ways, no number, and none.
RunTable FilterLog() {
    return LogOf(
        {{"PRO E1", "1234", "567", {{RunColumn::Dial, "9.50"}}, {{RunColumn::Dial, "10.25"}}},
         {"PRO E2", "1234", "", {{RunColumn::Dial, "abc"}}},
         {"PRO ET E1", "77", "1234"},
         {"SUPER PRO E1", "88", "99"}});
}

struct FilterCase {
    const char* name;
    std::vector<RowCondition> conditions;
    Lines shown;
};

void PrintTo(const FilterCase& c, std::ostream* out) {
    *out << c.name;
}

class FilterConditionTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterConditionTest, KeepsTheRowsMatchingEveryCondition) {
    LogGridModel grid(LogGridFlavour::Filter);
    LogGridFilterModel filter(grid);
    QAbstractItemModelTester tester(&filter, kFatal);
    grid.Load(FilterLog());
    for (const RowCondition& condition : GetParam().conditions) {
        filter.SetFilterCondition(condition);
    }
    filter.ApplyFilterConditions();
    EXPECT_EQ(Outline(filter), GetParam().shown);
}

RowCondition Dial(RowComparison comparison, const char* low, const char* high = "") {
    return {QStringLiteral("DialFilter"), QStringLiteral("Dial"), comparison,
            QString::fromUtf8(low), QString::fromUtf8(high)};
}

const QString kPro = QStringLiteral("PRO");
const QString kE1 = QStringLiteral("E1");
const QString k1234 = QStringLiteral("1234");

INSTANTIATE_TEST_SUITE_P(
    Conditions, FilterConditionTest,
    ::testing::Values(
        FilterCase{"None",
                   {},
                   {"SUPER PRO E1 88 L", "SUPER PRO E1 99 R", "PRO ET E1 77 L", "PRO ET E1 1234 R",
                    "PRO E2 1234 L", "PRO E2  R", "PRO E1 1234 L", "PRO E1 567 R"}},
        // A category keeps every round of it, and every category its name begins.
        FilterCase{"Category",
                   {CategoryFilterCondition(kPro)},
                   {"PRO ET E1 77 L", "PRO ET E1 1234 R", "PRO E2 1234 L", "PRO E2  R",
                    "PRO E1 1234 L", "PRO E1 567 R"}},
        FilterCase{"CategoryAndRound",
                   {CategoryFilterCondition(kPro), RoundFilterCondition(kE1)},
                   {"PRO ET E1 77 L", "PRO ET E1 1234 R", "PRO E1 1234 L", "PRO E1 567 R"}},
        FilterCase{"RoundAlone",
                   {RoundFilterCondition(kE1)},
                   {"SUPER PRO E1 88 L", "SUPER PRO E1 99 R", "PRO ET E1 77 L", "PRO ET E1 1234 R",
                    "PRO E1 1234 L", "PRO E1 567 R"}},
        FilterCase{"Car",
                   {CarFilterCondition(k1234)},
                   {"PRO ET E1 1234 R", "PRO E2 1234 L", "PRO E1 1234 L"}},
        FilterCase{"CarIsTheWholeText", {CarFilterCondition(QStringLiteral("123"))}, {}},
        FilterCase{"AllThree",
                   {CategoryFilterCondition(kPro), RoundFilterCondition(QStringLiteral("E2")),
                    CarFilterCondition(k1234)},
                   {"PRO E2 1234 L"}},
        FilterCase{"NoCar", {NoCarCondition()}, {"PRO E2  R"}},
        FilterCase{"CarAndNoCar", {CarFilterCondition(k1234), NoCarCondition()}, {}},
        // A key set twice keeps its last condition.
        FilterCase{"SameKeyReplaced",
                   {CarFilterCondition(k1234), CarFilterCondition(QStringLiteral("88"))},
                   {"SUPER PRO E1 88 L"}},
        // The filter window's dial-ins are numbers: 9.5 is 9.50, and "abc" an empty cell.
        FilterCase{"NumberEqual", {Dial(RowComparison::Equal, "9.5")}, {"PRO E1 1234 L"}},
        FilterCase{"NumberBetween", {Dial(RowComparison::Between, "9", "10")}, {"PRO E1 1234 L"}},
        FilterCase{"BetweenTakesItsEnds",
                   {Dial(RowComparison::Between, "9.6", "10.25")},
                   {"PRO E1 567 R"}},
        FilterCase{
            "EmptyNumber",
            {Dial(RowComparison::Equal, ""), CategoryFilterCondition(QStringLiteral("PRO E"))},
            {"PRO ET E1 77 L", "PRO ET E1 1234 R", "PRO E2 1234 L", "PRO E2  R"}}),
    [](const ::testing::TestParamInfo<FilterCase>& info) { return std::string(info.param.name); });

TEST(LogGridFilterTest, ConditionsTakeEffectWhenAppliedAndStayForLaterLoads) {
    LogGridModel grid(LogGridFlavour::Filter);
    LogGridFilterModel filter(grid);
    QAbstractItemModelTester tester(&filter, kFatal);
    grid.Load(FilterLog());
    filter.SetFilterCondition(QString(kCategoryFilter), QStringLiteral("Category"),
                              RowComparison::BeginsWith, QStringLiteral("SUPER"));
    EXPECT_EQ(filter.rowCount(), 8) << "not applied yet";
    filter.ApplyFilterConditions();
    EXPECT_EQ(Outline(filter), (Lines{"SUPER PRO E1 88 L", "SUPER PRO E1 99 R"}));

    // Set but not applied: the next load still filters by what is in force.
    filter.SetFilterCondition(CarFilterCondition(QStringLiteral("88")));
    grid.Load(
        LogOf({{"SUPER PRO E1", "88", "99"}, {"PRO E1", "1", "2"}, {"SUPER PRO E2", "5", "6"}}));
    EXPECT_EQ(Outline(filter), (Lines{"SUPER PRO E2 5 L", "SUPER PRO E2 6 R", "SUPER PRO E1 88 L",
                                      "SUPER PRO E1 99 R"}));

    filter.ClearFilterConditions();
    EXPECT_EQ(filter.rowCount(), 4);
    filter.ApplyFilterConditions();
    EXPECT_EQ(filter.rowCount(), 6);
}

// Sorting by a column: typed cells as numbers and date-times, empty cells after them.
TEST(LogGridFilterTest, SortsNumbersAndDateTimesByValue) {
    LogGridModel grid(LogGridFlavour::Filter);
    LogGridFilterModel filter(grid);
    grid.Load(
        LogOf({{"A E1",
                "1",
                "2",
                {{RunColumn::et1320, "10.1"}, {RunColumn::DateTime, "2026-12-04 10:00:00"}},
                {{RunColumn::et1320, "9.5"}, {RunColumn::DateTime, "2026-12-04T09:00:00"}}},
               {"A E1", "3", "4", {{RunColumn::et1320, ""}}, {{RunColumn::et1320, "10.05"}}},
               {"A E1", "5", "6", {{RunColumn::et1320, "9.75"}}, {{RunColumn::et1320, "x"}}}}));
    const auto cars = [&filter] {
        QStringList cars;
        for (int r = 0; r < filter.rowCount(); ++r) {
            cars << filter.index(r, ColumnIndex(RunColumn::Car)).data().toString();
        }
        return cars.join(u' ').toStdString();
    };
    filter.sort(ColumnIndex(RunColumn::et1320), Qt::AscendingOrder);
    EXPECT_EQ(cars(), "2 5 4 1 6 3");
    filter.sort(ColumnIndex(RunColumn::DateTime), Qt::AscendingOrder);
    EXPECT_EQ(cars().substr(0, 3), "2 1");
}

class LogGridSheetTest : public ::testing::Test {
protected:
    LogGridSheetTest() {
        for (const QLatin1String name : {kNormalStyle, kGroupHeaderStyle, kSetOfCarsStyle}) {
            grid.SetStyle(QString(name), *StandardLogGridStyle(name));
        }
        grid.SetGroupBy(u"Category");
        grid.SetFormatCondition(SetOfCarsCondition());
        grid.SetAlignment(u"Name", Qt::AlignLeft | Qt::AlignVCenter);
        for (const char16_t* key : {u"Category", u"GeneralID", u"DateTime", u"mph1000", u"Bump",
                                    u"Dial", u"RT", u"et60", u"et330", u"et660", u"mph660",
                                    u"et1000", u"et1320", u"mph1320", u"margin", u"overund"}) {
            grid.SetHidden(QStringView(key), true);
        }
        grid.SetWidth(u"win", 500);
        grid.Load(LogOf({{"PRO E1", "1", "2", {{RunColumn::Name, "DOE"}, {RunColumn::win, "W"}}},
                         {"SUPER E1", "3", "4"}}));
    }

    static std::vector<std::string> Texts(const LogGridSheet& sheet) {
        std::vector<std::string> lines;
        for (const LogGridSheetRow& row : sheet.rows) {
            std::string line = row.kind == LogGridRowKind::GroupHeader ? "[" : "";
            line += row.kind == LogGridRowKind::GroupHeader ? row.groupText.toStdString() + "]"
                                                            : row.styleName.toStdString() + ":";
            for (const LogGridSheetCell& cell : row.cells) {
                line += ' ';
                line += cell.text.toStdString();
            }
            lines.push_back(line);
        }
        return lines;
    }

    LogGridModel grid{LogGridFlavour::RaceLog};
};

TEST_F(LogGridSheetTest, HoldsTheShownColumnsAndRowsInGridOrder) {
    grid.CollapseAll();
    grid.SetGroupExpanded(grid.index(1, 0), true);
    const LogGridSheet sheet = ReadLogGridSheet(grid);
    std::vector<std::string> columns;
    for (const LogGridSheetColumn& c : sheet.columns) {
        columns.push_back(
            QStringLiteral("%1=%2@%3").arg(c.key, c.caption).arg(c.widthTwips).toStdString());
    }
    EXPECT_EQ(columns, (Lines{"Class=Class@888", "Car=Car #@888", "Name=Name@888", "Lane=Lane@888",
                              "win=Win@500"}));
    EXPECT_EQ(sheet.groupBy, u"Category");
    EXPECT_EQ(Texts(sheet), (Lines{"[SUPER E1]", "Normal:  3  L ", "SetOfCars:  4  R ", "[PRO E1]",
                                   "Normal:  1 DOE L W", "SetOfCars:  2  R "}));
    EXPECT_FALSE(sheet.rows[0].expanded);
    EXPECT_EQ(sheet.rows[4].cells[2].alignment, Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_TRUE(sheet.StyleOf(sheet.rows[5])->bottomBorder);
    EXPECT_EQ(sheet.StyleOf(sheet.rows[3])->font.bold, true);
    EXPECT_FALSE(sheet.HeadingStyle()) << "not set in this grid";

    EXPECT_EQ(Texts(ReadLogGridSheet(grid, CollapsedGroups::Skip)),
              (Lines{"[SUPER E1]", "[PRO E1]", "Normal:  1 DOE L W", "SetOfCars:  2  R "}));
}

TEST_F(LogGridSheetTest, FollowsTheFilterOverTheGrid) {
    LogGridFilterModel filter(grid);
    QAbstractItemModelTester tester(&filter, kFatal);
    filter.SetFilterCondition(CarFilterCondition(QStringLiteral("2")));
    filter.ApplyFilterConditions();
    EXPECT_EQ(Outline(filter), (Lines{"[PRO E1]", "  PRO E1 2 R"}));
    EXPECT_EQ(Texts(ReadLogGridSheet(grid, filter)), (Lines{"[PRO E1]", "SetOfCars:  2  R "}));
}

}  // namespace
}  // namespace orvanrx
