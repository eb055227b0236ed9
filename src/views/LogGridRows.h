#pragma once

#include <QHash>
#include <QString>
#include <QStringView>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "decoding/RunTables.h"
#include "views/LogGridColumns.h"
#include "views/RowCondition.h"

namespace orvanrx {

// The rows of a log grid: a run table's rows in grid order (by group, then GeneralID
// descending, rows without a GeneralID number last, ties in table order), with the groups and
// the typed cells of the grid's flavour. Rows and columns are grid positions.
//
// The rows are the table's own, shared (RunTable::SharedRow): a load takes one reference per
// row, not a copy of 21 texts, and the table writes a shared row only to a copy, so the rows
// stay as loaded until the next load.
class LogGridRows {
public:
    struct Group {
        QString text;
        int first = 0;  // the group's rows are first .. first + count - 1
        int count = 0;
    };

    // A row condition with its column found and its values converted by the column type.
    struct Test {
        int column = 0;
        RowComparison comparison = RowComparison::Equal;
        QString value1;
        QString value2;
        QStringList values{};
        double low = 0;
        double high = 0;
    };

    explicit LogGridRows(LogGridFlavour flavour) : flavour_(flavour) {}

    CellType TypeOf(int column) const { return LogGridCellType(column, flavour_); }

    // Rows 0 to the table's last row, grouped by the texts of `groupColumn` (-1: not grouped).
    void Load(const RunTable& table, int groupColumn);
    // The rows held, arranged anew for `groupColumn`.
    void Regroup(int groupColumn);
    void Clear();

    int Count() const { return static_cast<int>(rows_.size()); }
    // The column the groups were built for, -1 when not grouped.
    int GroupColumn() const { return groupColumn_; }
    const std::vector<Group>& Groups() const { return groups_; }

    // The table's text of a cell, whatever the column type.
    const QString& RawText(int row, int column) const {
        return (*rows_[static_cast<std::size_t>(row)])[static_cast<std::size_t>(
            kLogGridColumns[static_cast<std::size_t>(column)].source)];
    }
    // The cell as text: the table's text, empty for an empty typed cell.
    const QString& Text(int row, int column) const;
    // A typed cell as a number (see CellNumber; NaN for an empty cell or a text column).
    double Number(int row, int column) const;

    // Nothing for a condition on an unknown column.
    std::optional<Test> Resolve(const RowCondition& condition) const;
    bool Matches(int row, const Test& test) const;

private:
    // A row of the last load, by its table position.
    struct Loaded {
        const RunRow* row = nullptr;  // null when it may not be taken back as it is
        double id = 0;                // its GeneralID number
        int groupKey = -1;            // its group text's key (GroupKeyOf), -1 when not grouped
        int position = 0;             // where rows_ holds it
    };
    // Room for a load's work, kept from one load to the next so that a reload of a long log
    // allocates nothing.
    struct Work {
        std::vector<std::shared_ptr<const RunRow>> byTable;
        std::vector<double> ids;
        std::vector<int> keys;
        std::vector<int> order;
        std::vector<int> grouped;
        std::vector<int> groupOfKey;
        std::vector<int> next;
    };

    // work_ made ready for `count` rows in table order; gives the run table column of the group
    // texts, -1 when not grouped.
    int StartWork(std::size_t count, int groupColumn);
    void Arrange(int groupColumn);
    // A number for each group text, so rows are grouped without comparing their texts.
    int GroupKeyOf(const QString& text);
    void ForgetGroupKeys();
    void ConvertColumn(int column) const;

    LogGridFlavour flavour_;
    int groupColumn_ = -1;
    std::vector<Group> groups_;
    std::vector<std::shared_ptr<const RunRow>> rows_;
    // The rows of the last load in table order; only rows that rows_ still holds, so an
    // address here cannot belong to another row.
    std::vector<Loaded> loaded_;
    QHash<QString, int> groupKeys_;
    std::vector<QString> groupKeyTexts_;
    Work work_;
    // Typed cells by column, in grid order; a column is converted when it is first read, but
    // GeneralID at every load (the rows are sorted by it).
    mutable std::array<std::vector<double>, kLogGridColumnCount> numbers_;
};

}  // namespace orvanrx
