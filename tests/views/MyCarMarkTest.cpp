#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

#include "LogTable.h"
#include "views/LogGridModel.h"
#include "views/LogGridSetup.h"

namespace orvanrx {
namespace {

using testing::LogOf;

// Each data row of the grouped grid as "car:style", with "_" when the style draws the pair line.
std::string Marks(const LogGridModel& grid) {
    std::string marks;
    for (int g = 0; g < grid.rowCount(); ++g) {
        const QModelIndex group = grid.index(g, 0);
        for (int r = 0; r < grid.rowCount(group); ++r) {
            const QModelIndex cell = grid.index(r, ColumnIndex(RunColumn::Car), group);
            const auto style = cell.data(LogGridModel::StyleRole).value<LogGridStyle>();
            marks += cell.data(LogGridModel::TextRole).toString().trimmed().toStdString() + ":" +
                     cell.data(LogGridModel::StyleNameRole).toString().toStdString() +
                     (style.bottomBorder ? "_ " : " ");
        }
    }
    return marks;
}

TEST(MyCarMark, TheRacersRowsTakeTheAccentAndKeepThePairLine) {
    LogGridModel grid(LogGridFlavour::RaceLog);
    QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::Fatal);
    SetUpRaceLogGrid(grid);
    // Newest first: 77A with its number padded as a loaded file may have it, then a bye.
    grid.Load(
        LogOf({{"PRO E1", "1234", "567"}, {"PRO E1", "12345", " 77A "}, {"PRO E1", "", "9"}}));
    EXPECT_EQ(Marks(grid),
              ":Normal 9:SetOfCars_ 12345:Normal 77A:SetOfCars_ 1234:Normal "
              "567:SetOfCars_ ");

    SetMyCarMark(grid, {QStringLiteral("1234"), QStringLiteral("77A")});
    EXPECT_EQ(Marks(grid),
              ":Normal 9:SetOfCars_ 12345:Normal 77A:MyCar_ 1234:MyCar "
              "567:SetOfCars_ ");
    const auto mine = grid.Style(kMyCarStyle);
    ASSERT_TRUE(mine);
    EXPECT_EQ(mine->background, kAccentTintColor);
    EXPECT_TRUE(mine->font.bold);
    EXPECT_EQ(grid.FormatConditions().Items().size(), 2u);

    // Other numbers replace the mark; the pair line stays through it all; none removes it.
    SetMyCarMark(grid, {QStringLiteral("9")});
    EXPECT_EQ(Marks(grid),
              ":Normal 9:MyCar_ 12345:Normal 77A:SetOfCars_ 1234:Normal "
              "567:SetOfCars_ ");
    SetMyCarMark(grid, {});
    EXPECT_EQ(Marks(grid),
              ":Normal 9:SetOfCars_ 12345:Normal 77A:SetOfCars_ 1234:Normal "
              "567:SetOfCars_ ");
    ASSERT_EQ(grid.FormatConditions().Items().size(), 1u);
    EXPECT_EQ(grid.FormatConditions().Items()[0], SetOfCarsCondition());
}

}  // namespace
}  // namespace orvanrx
