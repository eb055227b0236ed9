#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "decoding/RunRecord.h"
#include "decoding/RunTables.h"

namespace orvanrx::testing {

inline std::vector<RunRow> Rows(const RunTable& table) {
    std::vector<RunRow> rows;
    for (int r = 0; r < table.RowCount(); ++r) {
        rows.push_back(*table.Row(r));
    }
    return rows;
}

// The row one lane of a finished race leaves in the log, DateTime aside.
inline RunRow ExpectedRow(const RunRecord& r, bool left, int generalId) {
    RunRow row;
    row[GeneralID] = QString::number(generalId);
    row[Category] = r.Category;
    row[Class] = left ? r.ClassL : r.ClassR;
    row[Car] = left ? r.CarL : r.CarR;
    row[Name] = left ? r.NameL : r.NameR;
    row[Lane] = left ? QStringLiteral("L") : QStringLiteral("R");
    row[Bump] = left ? r.BumpL : r.BumpR;
    row[Dial] = left ? r.DialL : r.DialR;
    row[RT] = left ? r.RTL : r.RTR;
    row[et60] = left ? r.et60L : r.et60R;
    row[et330] = left ? r.et330L : r.et330R;
    row[et660] = left ? r.et660L : r.et660R;
    row[mph660] = left ? r.mph660L : r.mph660R;
    row[et1000] = left ? r.et1000L : r.et1000R;
    row[et1320] = left ? r.et1320L : r.et1320R;
    row[mph1320] = left ? r.mph1320L : r.mph1320R;
    row[margin] = left ? r.marginL : r.marginR;
    row[overund] = left ? r.overundL : r.overundR;
    row[win] = (left ? r.winL : r.winR) ? QStringLiteral("W") : QString();
    return row;
}

// The log holds exactly `races`, two rows each, in order: every cell but DateTime.
inline void ExpectLogHoldsExactly(const RunTable& table, const std::vector<RunRecord>& races) {
    ASSERT_EQ(table.RowCount(), 2 * static_cast<int>(races.size()));
    for (int row = 0; row < table.RowCount(); ++row) {
        RunRow expected =
            ExpectedRow(races[static_cast<std::size_t>(row / 2)], row % 2 == 0, row ^ 1);
        expected[DateTime] = table.Cell(row, DateTime);
        for (int c = 0; c < kRunColumnCount; ++c) {
            EXPECT_EQ(table.Cell(row, c).toStdString(),
                      expected[static_cast<std::size_t>(c)].toStdString())
                << "race " << row / 2 << (row % 2 == 0 ? " left" : " right") << " column " << c;
        }
    }
}

}  // namespace orvanrx::testing
