#pragma once

#include <gtest/gtest.h>

#include <tuple>
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
    using R = RunRecord;
    // clang-format off
    const std::tuple<RunColumn, QString R::*, QString R::*> laneCells[] = {
        {RunColumn::Class, &R::ClassL, &R::ClassR},        {RunColumn::Car, &R::CarL, &R::CarR},
        {RunColumn::Name, &R::NameL, &R::NameR},           {RunColumn::Bump, &R::BumpL, &R::BumpR},
        {RunColumn::Dial, &R::DialL, &R::DialR},           {RunColumn::RT, &R::RTL, &R::RTR},
        {RunColumn::et60, &R::et60L, &R::et60R},           {RunColumn::et330, &R::et330L, &R::et330R},
        {RunColumn::et660, &R::et660L, &R::et660R},        {RunColumn::mph660, &R::mph660L, &R::mph660R},
        {RunColumn::et1000, &R::et1000L, &R::et1000R},     {RunColumn::et1320, &R::et1320L, &R::et1320R},
        {RunColumn::mph1320, &R::mph1320L, &R::mph1320R},  {RunColumn::margin, &R::marginL, &R::marginR},
        {RunColumn::overund, &R::overundL, &R::overundR}};
    // clang-format on
    RunRow row;
    row[RunColumn::GeneralID] = QString::number(generalId);
    row[RunColumn::Category] = r.Category;
    row[RunColumn::Lane] = left ? QStringLiteral("L") : QStringLiteral("R");
    for (const auto& [column, leftText, rightText] : laneCells) {
        row[static_cast<std::size_t>(column)] = r.*(left ? leftText : rightText);
    }
    row[RunColumn::win] = (left ? r.winL : r.winR) ? QStringLiteral("W") : QString();
    return row;
}

// The log holds exactly `races`, two rows each, in order: every cell but DateTime.
inline void ExpectLogHoldsExactly(const RunTable& table, const std::vector<RunRecord>& races) {
    ASSERT_EQ(table.RowCount(), 2 * static_cast<int>(races.size()));
    for (int row = 0; row < table.RowCount(); ++row) {
        RunRow expected =
            ExpectedRow(races[static_cast<std::size_t>(row / 2)], row % 2 == 0, row ^ 1);
        expected[RunColumn::DateTime] = table.Cell(row, RunColumn::DateTime);
        for (int c = 0; c < kRunColumnCount; ++c) {
            EXPECT_EQ(table.Cell(row, c).toStdString(),
                      expected[static_cast<std::size_t>(c)].toStdString())
                << "race " << row / 2 << (row % 2 == 0 ? " left" : " right") << " column " << c;
        }
    }
}

}  // namespace orvanrx::testing
