#pragma once

#include <QAbstractItemModel>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "decoding/RunTables.h"
#include "views/LogGridModel.h"

namespace orvanrx::testing {

using Cells = std::vector<std::pair<RunColumn, const char*>>;

// One race as the log holds it; cells not named stay empty.
struct RaceCells {
    const char* category;
    const char* carL;
    const char* carR;
    Cells left = {};
    Cells right = {};
};

// A run table of the races, oldest first, each row's GeneralID naming the other row of its race.
inline RunTable LogOf(std::initializer_list<RaceCells> races) {
    RunTable table;
    for (const RaceCells& race : races) {
        if (table.IsEmpty()) {
            table.StartNew();
        } else {
            table.OpenNextPair();
        }
        for (const bool left : {true, false}) {
            RunRow& row = *table.MutableRow(left ? table.LeftRow() : table.RightRow());
            row[RunColumn::GeneralID] = QString::number(left ? table.RightRow() : table.LeftRow());
            row[RunColumn::Category] = QString::fromUtf8(race.category);
            row[RunColumn::Car] = QString::fromUtf8(left ? race.carL : race.carR);
            row[RunColumn::Lane] = left ? QStringLiteral("L") : QStringLiteral("R");
            for (const auto& [column, text] : left ? race.left : race.right) {
                row[static_cast<std::size_t>(column)] = QString::fromUtf8(text);
            }
        }
    }
    return table;
}

// The rows of `model` top down: a group header as "[its text]", a data row as
// "category car lane", indented under its header.
inline std::vector<std::string> Outline(const QAbstractItemModel& model,
                                        const QModelIndex& parent = {}) {
    std::vector<std::string> lines;
    for (int r = 0; r < model.rowCount(parent); ++r) {
        const QModelIndex index = model.index(r, 0, parent);
        const auto text = [&](RunColumn column) {
            return model.index(r, ColumnIndex(column), parent)
                .data(LogGridModel::TextRole)
                .toString();
        };
        const auto kind =
            static_cast<LogGridRowKind>(index.data(LogGridModel::RowKindRole).toInt());
        if (kind == LogGridRowKind::GroupHeader) {
            lines.push_back(QStringLiteral("[%1]").arg(text(RunColumn::GeneralID)).toStdString());
            for (const std::string& child : Outline(model, index)) {
                lines.push_back("  " + child);
            }
        } else {
            lines.push_back(
                QStringLiteral("%1 %2 %3")
                    .arg(text(RunColumn::Category), text(RunColumn::Car), text(RunColumn::Lane))
                    .toStdString());
        }
    }
    return lines;
}

}  // namespace orvanrx::testing
