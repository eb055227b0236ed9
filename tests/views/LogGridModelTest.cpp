#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QDateTime>
#include <QSignalSpy>
#include <random>

#include "LogTable.h"
#include "views/LogGridModel.h"

namespace orvanrx {
namespace {

using testing::LogOf;
using testing::Outline;
using Lines = std::vector<std::string>;

// The grid as the race log window sets it up at load.
void SetUpAsRaceLog(LogGridModel& grid) {
    for (const QLatin1String name :
         {kNormalStyle, kHeadingStyle, kGroupHeaderStyle, kSetOfCarsStyle}) {
        grid.SetStyle(QString(name), *StandardLogGridStyle(name));
    }
    grid.SetGroupBy(u"Category");
    grid.SetFormatCondition(SetOfCarsCondition());
    grid.SetAlignment(u"Name", Qt::AlignLeft | Qt::AlignVCenter);
}

class RaceLogGridTest : public ::testing::Test {
protected:
    RaceLogGridTest() { SetUpAsRaceLog(grid); }

    QModelIndex Cell(int group, int row, RunColumn column) const {
        return grid.index(row, ColumnIndex(column), grid.index(group, 0));
    }

    LogGridModel grid{LogGridFlavour::RaceLog};
    QAbstractItemModelTester tester{&grid, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(RaceLogGridTest, OneRaceShowsLeftThenRightWithThePairLineUnderTheRight) {
    grid.Load(LogOf({{"PRO E1", "1234", "567"}}));
    EXPECT_EQ(Outline(grid), (Lines{"[PRO E1]", "  PRO E1 1234 L", "  PRO E1 567 R"}));
    EXPECT_EQ(Cell(0, 0, RunColumn::Name).data(LogGridModel::StyleNameRole).toString(), u"Normal");
    EXPECT_EQ(Cell(0, 1, RunColumn::Name).data(LogGridModel::StyleNameRole).toString(),
              u"SetOfCars");
    const auto line =
        Cell(0, 1, RunColumn::Car).data(LogGridModel::StyleRole).value<LogGridStyle>();
    ASSERT_TRUE(line.bottomBorder);
    EXPECT_EQ(*line.bottomBorder, (LogGridBorder{16, GridColorValue(238, 149, 21)}));
    EXPECT_FALSE(Cell(0, 0, RunColumn::Car)
                     .data(LogGridModel::StyleRole)
                     .value<LogGridStyle>()
                     .bottomBorder);
    // Name is left-aligned, every other cell centred.
    EXPECT_EQ(Cell(0, 1, RunColumn::Name).data(Qt::TextAlignmentRole).toInt(),
              Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(Cell(0, 1, RunColumn::Car).data(Qt::TextAlignmentRole).toInt(), Qt::AlignCenter);
}

TEST_F(RaceLogGridTest, NewestRaceFirstAndGroupsInTheOrderOfTheirNewestRace) {
    const RunTable log = LogOf({{"PRO E1", "1", "2"},
                                {"SUPER E1", "3", "4"},
                                {"PRO E1", "5", "6"},
                                {"STREET E1", "7", "8"}});
    grid.Load(log);
    EXPECT_EQ(Outline(grid), (Lines{"[STREET E1]", "  STREET E1 7 L", "  STREET E1 8 R", "[PRO E1]",
                                    "  PRO E1 5 L", "  PRO E1 6 R", "  PRO E1 1 L", "  PRO E1 2 R",
                                    "[SUPER E1]", "  SUPER E1 3 L", "  SUPER E1 4 R"}));

    grid.SetGroupBy(u"");
    grid.Regroup();
    EXPECT_EQ(Outline(grid), (Lines{"STREET E1 7 L", "STREET E1 8 R", "PRO E1 5 L", "PRO E1 6 R",
                                    "SUPER E1 3 L", "SUPER E1 4 R", "PRO E1 1 L", "PRO E1 2 R"}));
    EXPECT_EQ(
        grid.index(7, ColumnIndex(RunColumn::Car)).data(LogGridModel::StyleNameRole).toString(),
        u"SetOfCars");
}

TEST_F(RaceLogGridTest, RowsWithoutACarAreShownAndKeepThePairLine) {
    grid.Load(LogOf({{"PRO E1", "", "567"}, {"PRO E1", "1234", ""}}));
    EXPECT_EQ(Outline(grid), (Lines{"[PRO E1]", "  PRO E1 1234 L", "  PRO E1  R", "  PRO E1  L",
                                    "  PRO E1 567 R"}));
    EXPECT_EQ(Cell(0, 1, RunColumn::Car).data(LogGridModel::StyleNameRole).toString(),
              u"SetOfCars");
    EXPECT_EQ(Cell(0, 2, RunColumn::Car).data(LogGridModel::StyleNameRole).toString(), u"Normal");
}

TEST_F(RaceLogGridTest, HiddenCategoryStillGroupsAndHeadsTheGroups) {
    QSignalSpy headers(&grid, &QAbstractItemModel::headerDataChanged);
    grid.SetHidden(u"Category", true);
    grid.SetHidden(u"Category", true);
    EXPECT_EQ(headers.count(), 1);
    grid.Load(LogOf({{"PRO E1", "1", "2"}, {"SUPER E1", "3", "4"}}));
    EXPECT_TRUE(grid.IsHidden(u"Category"));
    EXPECT_TRUE(
        grid.headerData(ColumnIndex(RunColumn::Category), Qt::Horizontal, LogGridModel::HiddenRole)
            .toBool());
    ASSERT_EQ(grid.rowCount(), 2);
    // A header shows its text in every column, so a spanned row shows it whatever is hidden.
    EXPECT_EQ(grid.index(0, ColumnIndex(RunColumn::Class)).data().toString(), u"SUPER E1");
    EXPECT_EQ(grid.index(1, ColumnIndex(RunColumn::Name)).data().toString(), u"PRO E1");
}

TEST_F(RaceLogGridTest, FormatConditionSetAfterTheRowsRestylesThem) {
    grid.ClearFormatConditions();
    grid.Load(LogOf({{"PRO E1", "1", "2"}}));
    EXPECT_EQ(Cell(0, 1, RunColumn::Car).data(LogGridModel::StyleNameRole).toString(), u"Normal");
    QSignalSpy changed(&grid, &QAbstractItemModel::dataChanged);
    grid.SetFormatCondition(SetOfCarsCondition());
    EXPECT_GE(changed.count(), 1);
    EXPECT_EQ(Cell(0, 1, RunColumn::Car).data(LogGridModel::StyleNameRole).toString(),
              u"SetOfCars");
}

// Counts every structural signal of a model.
struct StructureSignals {
    explicit StructureSignals(QAbstractItemModel* model)
        : resets(model, &QAbstractItemModel::modelReset),
          inserted(model, &QAbstractItemModel::rowsInserted),
          removed(model, &QAbstractItemModel::rowsRemoved),
          layouts(model, &QAbstractItemModel::layoutChanged) {}
    QSignalSpy resets;
    QSignalSpy inserted;
    QSignalSpy removed;
    QSignalSpy layouts;
};

TEST_F(RaceLogGridTest, LoadResetsOnceAndRegroupOnlyWhenTheGroupingChanged) {
    StructureSignals spies(&grid);
    const RunTable log =
        LogOf({{"PRO E1", "1", "2"}, {"SUPER E1", "3", "4"}, {"PRO E2", "5", "6"}});
    grid.Load(log);
    grid.Load(log);
    grid.Regroup();
    EXPECT_EQ(spies.resets.count(), 2);

    grid.SetGroupBy(u"Lane");
    EXPECT_EQ(grid.rowCount(), 3) << "a new grouping waits for Regroup";
    grid.Regroup();
    EXPECT_EQ(spies.resets.count(), 3);
    EXPECT_EQ(Outline(grid)[0], "[L]");
    EXPECT_EQ(grid.rowCount(), 2);

    grid.Clear();
    grid.Clear();
    EXPECT_EQ(spies.resets.count(), 4);
    EXPECT_EQ(grid.rowCount(), 0);
    EXPECT_EQ(spies.inserted.count() + spies.removed.count() + spies.layouts.count(), 0);
}

TEST_F(RaceLogGridTest, GroupsKeepTheirExpansionAcrossReloads) {
    QSignalSpy expansion(&grid, &LogGridModel::expansionChanged);
    const auto expanded = [this](int group) {
        return grid.index(group, 0).data(LogGridModel::ExpandedRole).toBool();
    };
    grid.Load(LogOf({{"PRO E1", "1", "2"}, {"SUPER E1", "3", "4"}}));
    EXPECT_TRUE(expanded(0) && expanded(1));

    grid.CollapseAll();
    EXPECT_EQ(expansion.count(), 1);
    grid.SetGroupExpanded(grid.index(1, 0), true);  // PRO E1, opened by the user
    grid.Load(LogOf({{"PRO E1", "1", "2"}, {"SUPER E1", "3", "4"}, {"STREET E1", "5", "6"}}));
    ASSERT_EQ(Outline(grid)[0], "[STREET E1]");
    EXPECT_FALSE(expanded(0)) << "a new group follows the last CollapseAll";
    EXPECT_FALSE(expanded(1));
    EXPECT_TRUE(expanded(2));

    grid.ExpandAll();
    EXPECT_EQ(expansion.count(), 2);
    EXPECT_TRUE(expanded(0) && expanded(1) && expanded(2));
}

TEST(LogGridColumnTest, WidthsInTwipsByKey) {
    LogGridModel grid(LogGridFlavour::RaceLog);
    EXPECT_EQ(grid.GetWidth(u"Name"), 888);
    grid.SetWidth(u"win", 500);
    grid.SetWidth(u"Lane", -5);
    grid.SetWidth(u"NoSuchColumn", 100);
    EXPECT_EQ(grid.GetWidth(u"win"), 500);
    EXPECT_EQ(grid.GetWidth(u"Lane"), 0);
    EXPECT_EQ(grid.GetWidth(u"NoSuchColumn"), 0);
    EXPECT_EQ(
        grid.headerData(ColumnIndex(RunColumn::win), Qt::Horizontal, LogGridModel::WidthTwipsRole)
            .toInt(),
        500);
    EXPECT_EQ(grid.headerData(ColumnIndex(RunColumn::et60), Qt::Horizontal).toString(), u"60' ET");
    EXPECT_EQ(
        grid.headerData(ColumnIndex(RunColumn::et60), Qt::Horizontal, LogGridModel::ColumnKeyRole)
            .toString(),
        u"et60");
}

TEST(LogGridColumnTest, FitColumnTakesTheWidestTextAndFollowsReloads) {
    LogGridModel grid(LogGridFlavour::RaceLog);
    SetUpAsRaceLog(grid);
    int calls = 0;
    grid.SetTextMeasure([&calls](const QString& text, const LogGridFont& font) {
        ++calls;
        return static_cast<int>(text.size()) * (font.bold ? 110 : 100);
    });
    const auto withNames = [](const char* left, const char* right) {
        return LogOf({{"PRO E1", "1", "2", {{RunColumn::Name, left}}, {{RunColumn::Name, right}}},
                      {"PRO E1", "3", "4", {{RunColumn::Name, left}}, {{RunColumn::Name, right}}}});
    };
    grid.Load(withNames("DOE", "RACER JANE Q"));
    grid.FitColumn(u"Name");
    EXPECT_EQ(grid.GetWidth(u"Name"), 12 * 100 + 120);
    const int measured = calls;
    grid.FitColumn(u"Name");
    EXPECT_EQ(calls, measured) << "nothing changed: the fitted width is reused";

    grid.Load(withNames("AN EVEN LONGER NAME", "X"));
    grid.FitColumn(u"Name");
    EXPECT_EQ(grid.GetWidth(u"Name"), 19 * 100 + 120);
    // An empty column is as wide as its caption in the bold heading font.
    grid.FitColumn(u"mph1000");
    EXPECT_EQ(grid.GetWidth(u"mph1000"), 9 * 110 + 120);
}

// How each column type holds a text: the filter window's typed cells, the race log's text.
struct CellCase {
    LogGridFlavour flavour;
    RunColumn column;
    const char* text;
    QVariant shown;  // Qt::DisplayRole
};

void PrintTo(const CellCase& c, std::ostream* out) {
    *out << (c.flavour == LogGridFlavour::Filter ? "filter " : "race log ") << ColumnIndex(c.column)
         << " \"" << c.text << '"';
}

class LogGridCellTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(LogGridCellTest, HoldsTheTextAsItsColumnType) {
    const CellCase& c = GetParam();
    LogGridModel grid(c.flavour);
    grid.Load(LogOf({{"PRO E1", "1", "2", {{c.column, c.text}}}}));
    ASSERT_EQ(grid.index(0, ColumnIndex(RunColumn::Car)).data().toString(), u"1")
        << "row 0 is the left lane";
    const QModelIndex cell = grid.index(0, ColumnIndex(c.column));
    const QVariant shown = cell.data();
    EXPECT_EQ(shown.metaType(), c.shown.metaType()) << c.text;
    EXPECT_EQ(shown, c.shown) << c.text;
    EXPECT_EQ(cell.data(LogGridModel::TextRole).toString(),
              c.shown.isValid() ? QString::fromUtf8(c.text) : QString());
}

const QDateTime kEvening(QDate(2026, 12, 4), QTime(18, 30, 5));

INSTANTIATE_TEST_SUITE_P(
    Cells, LogGridCellTest,
    ::testing::Values(
        CellCase{LogGridFlavour::Filter, RunColumn::Dial, "9.50", QVariant(9.5f)},
        CellCase{LogGridFlavour::Filter, RunColumn::RT, "-0.012", QVariant(-0.012f)},
        CellCase{LogGridFlavour::Filter, RunColumn::et1320, "", QVariant()},
        CellCase{LogGridFlavour::Filter, RunColumn::et1320, "9.5.1", QVariant()},
        CellCase{LogGridFlavour::Filter, RunColumn::mph1320, "--", QVariant()},
        CellCase{LogGridFlavour::Filter, RunColumn::margin, "nan", QVariant()},
        CellCase{LogGridFlavour::Filter, RunColumn::margin, "-inf", QVariant()},
        CellCase{LogGridFlavour::Filter, RunColumn::overund, "1e40", QVariant()},
        CellCase{LogGridFlavour::Filter, RunColumn::DateTime, "2026-12-04 18:30:05",
                 QVariant(kEvening)},
        CellCase{LogGridFlavour::Filter, RunColumn::DateTime, "2026-12-04T18:30:05",
                 QVariant(kEvening)},
        CellCase{LogGridFlavour::Filter, RunColumn::DateTime, "2026-02-30 18:30:05", QVariant()},
        CellCase{LogGridFlavour::Filter, RunColumn::DateTime, "2026-12-04 24:00:00", QVariant()},
        CellCase{LogGridFlavour::Filter, RunColumn::DateTime, "yesterday", QVariant()},
        CellCase{LogGridFlavour::RaceLog, RunColumn::Dial, "9.50",
                 QVariant(QStringLiteral("9.50"))},
        CellCase{LogGridFlavour::RaceLog, RunColumn::et1320, "9.5.1",
                 QVariant(QStringLiteral("9.5.1"))},
        CellCase{LogGridFlavour::RaceLog, RunColumn::DateTime, "2026-12-04 18:30:05",
                 QVariant(kEvening)},
        CellCase{LogGridFlavour::Filter, RunColumn::win, "W", QVariant(QStringLiteral("W"))}));

// The grid keeps the rows as loaded while the run table goes on (a paused race log).
TEST_F(RaceLogGridTest, RowsStayAsLoadedUntilTheNextLoad) {
    RunTable log = LogOf({{"PRO E1", "1", "2"}});
    grid.Load(log);
    (*log.MutableRow(1))[RunColumn::Car] = QStringLiteral("99");
    log.OpenNextPair();
    const RunTable twoRaces = LogOf({{"PRO E1", "1", "2"}, {"SUPER E1", "5", "6"}});
    *log.MutableRow(2) = *twoRaces.Row(2);
    *log.MutableRow(3) = *twoRaces.Row(3);
    EXPECT_EQ(Outline(grid), (Lines{"[PRO E1]", "  PRO E1 1 L", "  PRO E1 2 R"}));
    grid.Load(log);
    EXPECT_EQ(Outline(grid), (Lines{"[SUPER E1]", "  SUPER E1 5 L", "  SUPER E1 6 R", "[PRO E1]",
                                    "  PRO E1 1 L", "  PRO E1 99 R"}));
}

// A grid reloaded as a day goes on keeps what it can from the load before; whatever the table
// did in between, it must show what a grid loading that table afresh shows.
TEST(LogGridReloadTest, AReloadedGridShowsWhatAFreshOneShows) {
    const char* const categories[] = {"PRO E1", "SUPER E1", "STREET E2", "JR E1"};
    const char16_t* const groupings[] = {u"Category", u"Lane", u""};
    std::mt19937 random(20261206);
    const auto pick = [&random](int n) {
        return std::uniform_int_distribution<int>(0, n - 1)(random);
    };
    RunTable log;
    int races = 0;
    const auto writeRace = [&](int left, const char* category) {
        for (const int r : {left, left + 1}) {
            RunRow& row = *log.MutableRow(r);
            row[RunColumn::GeneralID] = QString::number(r == left ? left + 1 : left);
            row[RunColumn::Category] = QString::fromUtf8(category);
            row[RunColumn::Car] = QString::number(pick(900) + 100);
            row[RunColumn::Lane] = r == left ? QStringLiteral("L") : QStringLiteral("R");
        }
    };
    LogGridModel reloaded(LogGridFlavour::RaceLog);
    reloaded.SetGroupBy(u"Category");
    QString grouping = QStringLiteral("Category");
    for (int step = 0; step < 400; ++step) {
        const int what = pick(20);
        if (what < 9 || races == 0) {  // the next race
            races == 0 ? log.StartNew() : log.OpenNextPair();
            ++races;
            writeRace(log.LeftRow(), categories[pick(4)]);
        } else if (what < 14) {  // the last race rewritten, its category too at times
            writeRace(log.LeftRow(), categories[pick(4)]);
        } else if (what < 16) {  // an older row changed: another category, no id
            RunRow& row = *log.MutableRow(pick(log.RowCount()));
            row[pick(2) == 0 ? RunColumn::Category : RunColumn::GeneralID] =
                QString::fromUtf8(categories[pick(4)]);
        } else if (what < 17) {  // the last race dropped
            log.DropLastPair();
            races = log.RowCount() / 2;
        } else if (what < 18) {  // a new log
            log.Reset();
            races = 0;
        } else {  // grouped anew, at once or by the next load
            grouping = QString::fromUtf16(groupings[pick(3)]);
            reloaded.SetGroupBy(grouping);
            if (pick(2) == 0) {
                reloaded.Regroup();
            }
        }
        if (pick(4) == 0) {
            continue;  // more changes before the next load
        }
        reloaded.Load(log);
        reloaded.Regroup();
        LogGridModel fresh(LogGridFlavour::RaceLog);
        fresh.SetGroupBy(grouping);
        fresh.Load(log);
        ASSERT_EQ(Outline(reloaded), Outline(fresh)) << "step " << step;
        for (int r = 0; r < fresh.rowCount() && grouping.isEmpty(); ++r) {
            ASSERT_EQ(reloaded.index(r, ColumnIndex(RunColumn::GeneralID)).data(),
                      fresh.index(r, ColumnIndex(RunColumn::GeneralID)).data());
        }
    }
}

// Tables whose ids are far from the order the decoder writes them in.
TEST(LogGridIdTest, AnyIdOrderEndsDescending) {
    for (const bool shuffled : {false, true}) {
        RunTable log;
        log.StartNew();
        constexpr int kRows = 40;
        for (int r = 2; r < kRows; r += 2) {
            log.OpenNextPair();
        }
        for (int r = 0; r < kRows; ++r) {
            // Descending ids, or ids spread by a step prime to the row count.
            const int id = shuffled ? (r * 17) % kRows : kRows - 1 - r;
            (*log.MutableRow(r))[RunColumn::GeneralID] = QString::number(id);
        }
        LogGridModel grid(LogGridFlavour::RaceLog);
        grid.Load(log);
        ASSERT_EQ(grid.rowCount(), kRows);
        for (int r = 0; r < kRows; ++r) {
            EXPECT_EQ(grid.index(r, ColumnIndex(RunColumn::GeneralID)).data(),
                      QVariant(kRows - 1 - r))
                << shuffled;
        }
    }
}

TEST(LogGridIdTest, GeneralIdOrdersAsANumberAndNonNumbersGoLast) {
    RunTable log = LogOf({{"PRO E1", "a", "b"}, {"PRO E1", "c", "d"}, {"PRO E1", "e", "f"}});
    // 10 orders above 3 as a number, not as text; an id that is no number goes last.
    (*log.MutableRow(4))[RunColumn::GeneralID] = QStringLiteral("x");
    (*log.MutableRow(5))[RunColumn::GeneralID] = QStringLiteral("10");
    LogGridModel grid(LogGridFlavour::RaceLog);
    grid.Load(log);
    EXPECT_EQ(Outline(grid), (Lines{"PRO E1 f R", "PRO E1 c L", "PRO E1 d R", "PRO E1 a L",
                                    "PRO E1 b R", "PRO E1 e L"}));
    EXPECT_EQ(grid.index(0, ColumnIndex(RunColumn::GeneralID)).data(), QVariant(10));
    EXPECT_FALSE(grid.index(5, ColumnIndex(RunColumn::GeneralID)).data().isValid());
}

}  // namespace
}  // namespace orvanrx
