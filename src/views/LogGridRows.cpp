#include "views/LogGridRows.h"

#include <QHash>
#include <algorithm>
#include <limits>
#include <numeric>
#include <utility>

#include "views/LogGridCells.h"

namespace orvanrx {

namespace {

constexpr double kEmptyCell = std::numeric_limits<double>::quiet_NaN();

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

// Rows by GeneralID descending, empty ones last, ties in source order, into `order`. A run
// table lists its races oldest first with ids (1, 0), (3, 2), ...: read backwards that is
// nearly in order, and an insertion sort finishes it in one pass. Anything far from that order
// goes to std::sort.
void SortByIdDescending(const std::vector<double>& ids, std::vector<int>& order) {
    const auto before = [&ids](int x, int y) {
        const double kx = ids[At(x)];
        const double ky = ids[At(y)];
        const bool ex = IsEmptyCell(kx);
        const bool ey = IsEmptyCell(ky);
        if (ex != ey) {
            return ey;
        }
        if (!ex && kx != ky) {
            return kx > ky;
        }
        return x < y;
    };
    order.resize(ids.size());
    std::iota(order.rbegin(), order.rend(), 0);
    std::size_t moves = 0;
    const std::size_t moveLimit = 4 * order.size();
    for (std::size_t i = 1; i < order.size() && moves <= moveLimit; ++i) {
        const int row = order[i];
        std::size_t j = i;
        for (; j > 0 && before(row, order[j - 1]); --j) {
            order[j] = order[j - 1];
        }
        order[j] = row;
        moves += i - j;
    }
    if (moves > moveLimit) {
        std::sort(order.begin(), order.end(), before);
    }
}

}  // namespace

int LogGridRows::GroupKeyOf(const QString& text) {
    const auto found = groupKeys_.constFind(text);
    if (found != groupKeys_.cend()) {
        return *found;
    }
    const int key = static_cast<int>(groupKeyTexts_.size());
    groupKeys_.insert(text, key);
    groupKeyTexts_.push_back(text);
    return key;
}

void LogGridRows::Load(const RunTable& table, int groupColumn) {
    if (groupColumn != groupColumn_) {
        ForgetGroupKeys();
    }
    const std::size_t count = At(table.RowCount());
    // The rows in table order. A reload mostly finds the rows of the last one: the table
    // copies a row before it changes one the grid holds, so the same row is the same content,
    // with the same GeneralID number and group. Those are taken back from the grid as they are.
    const int source = StartWork(count, groupColumn);
    for (std::size_t r = 0; r < count; ++r) {
        const RunRow* row = table.Row(static_cast<int>(r));
        if (r < loaded_.size() && loaded_[r].row == row) {
            const Loaded& known = loaded_[r];
            work_.byTable[r] = std::move(rows_[At(known.position)]);
            work_.ids[r] = known.id;
            work_.keys[r] = known.groupKey;
            continue;
        }
        work_.byTable[r] = table.SharedRow(static_cast<int>(r));
        work_.ids[r] = CellNumber((*row)[RunColumn::GeneralID], CellType::Integer);
        work_.keys[r] = source >= 0 ? GroupKeyOf((*row)[At(source)]) : -1;
    }
    Arrange(groupColumn);
}

void LogGridRows::Regroup(int groupColumn) {
    ForgetGroupKeys();
    const std::size_t count = rows_.size();
    const int source = StartWork(count, groupColumn);
    for (std::size_t r = 0; r < count; ++r) {
        const Loaded& known = loaded_[r];
        work_.byTable[r] = std::move(rows_[At(known.position)]);
        work_.ids[r] = known.id;
        work_.keys[r] = source >= 0 ? GroupKeyOf((*work_.byTable[r])[At(source)]) : -1;
    }
    Arrange(groupColumn);
}

int LogGridRows::StartWork(std::size_t count, int groupColumn) {
    work_.byTable.clear();
    work_.byTable.resize(count);
    work_.ids.resize(count);
    work_.keys.resize(count);
    return groupColumn >= 0 ? ColumnIndex(kLogGridColumns[At(groupColumn)].source) : -1;
}

// Takes the rows in work_ (table order) to grid order: by GeneralID descending, then gathered
// by group, the groups in the order of their first row, each keeping that order inside.
void LogGridRows::Arrange(int groupColumn) {
    groupColumn_ = groupColumn;
    std::vector<int>& order = work_.order;
    SortByIdDescending(work_.ids, order);
    groups_.clear();
    if (groupColumn >= 0) {
        std::vector<int>& groupOfKey = work_.groupOfKey;
        groupOfKey.assign(groupKeyTexts_.size(), -1);
        for (const int row : order) {
            int& group = groupOfKey[At(work_.keys[At(row)])];
            if (group < 0) {
                group = static_cast<int>(groups_.size());
                groups_.push_back({groupKeyTexts_[At(work_.keys[At(row)])], 0, 0});
            }
            ++groups_[At(group)].count;
        }
        std::vector<int>& next = work_.next;
        next.resize(groups_.size());
        int first = 0;
        for (std::size_t g = 0; g < groups_.size(); ++g) {
            groups_[g].first = next[g] = first;
            first += groups_[g].count;
        }
        std::vector<int>& grouped = work_.grouped;
        grouped.resize(order.size());
        for (const int row : order) {
            grouped[At(next[At(groupOfKey[At(work_.keys[At(row)])])]++)] = row;
        }
        order.swap(grouped);
    }

    // Rows of the last load that are not in this one are let go here.
    rows_.clear();
    rows_.resize(order.size());
    loaded_.resize(order.size());
    std::vector<double>& generalIds = numbers_[ColumnIndex(RunColumn::GeneralID)];
    generalIds.resize(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::size_t r = At(order[i]);
        loaded_[r] = {work_.byTable[r].get(), work_.ids[r], work_.keys[r], static_cast<int>(i)};
        rows_[i] = std::move(work_.byTable[r]);
        generalIds[i] = work_.ids[r];
    }
    for (std::size_t c = 0; c < numbers_.size(); ++c) {
        if (c != ColumnIndex(RunColumn::GeneralID)) {
            numbers_[c].clear();
        }
    }
}

void LogGridRows::ForgetGroupKeys() {
    groupKeys_.clear();
    groupKeyTexts_.clear();
    for (Loaded& known : loaded_) {
        known.row = nullptr;  // its group key is gone
    }
}

void LogGridRows::Clear() {
    rows_.clear();
    loaded_.clear();
    groups_.clear();
    groupKeys_.clear();
    groupKeyTexts_.clear();
    for (std::vector<double>& numbers : numbers_) {
        numbers.clear();
    }
}

const QString& LogGridRows::Text(int row, int column) const {
    static const QString empty;
    if (TypeOf(column) != CellType::Text && IsEmptyCell(Number(row, column))) {
        return empty;
    }
    return RawText(row, column);
}

double LogGridRows::Number(int row, int column) const {
    if (TypeOf(column) == CellType::Text) {
        return kEmptyCell;
    }
    if (numbers_[At(column)].size() != rows_.size()) {
        ConvertColumn(column);
    }
    return numbers_[At(column)][At(row)];
}

void LogGridRows::ConvertColumn(int column) const {
    std::vector<double>& numbers = numbers_[At(column)];
    numbers.resize(rows_.size());
    for (int row = 0; row < Count(); ++row) {
        numbers[At(row)] = CellNumber(RawText(row, column), TypeOf(column));
    }
}

std::optional<LogGridRows::Test> LogGridRows::Resolve(const RowCondition& condition) const {
    const int column = LogGridColumnOf(condition.columnKey);
    if (column < 0) {
        return std::nullopt;
    }
    Test test{column,           condition.comparison, condition.value1, condition.value2,
              condition.values, kEmptyCell,           kEmptyCell};
    if (TypeOf(column) != CellType::Text) {
        test.low = CellNumber(condition.value1, TypeOf(column));
        test.high = CellNumber(condition.value2, TypeOf(column));
    }
    return test;
}

bool LogGridRows::Matches(int row, const Test& test) const {
    const QString& text = Text(row, test.column);
    switch (test.comparison) {
        case RowComparison::BeginsWith:
            return text.startsWith(test.value1);
        case RowComparison::EndsWith:
            return text.endsWith(test.value1);
        case RowComparison::OneOf: {
            const QString trimmed = text.trimmed();
            return !trimmed.isEmpty() && test.values.contains(trimmed);
        }
        case RowComparison::Equal:
        case RowComparison::Between:
            break;
    }
    const bool between = test.comparison == RowComparison::Between;
    if (TypeOf(test.column) == CellType::Text) {
        if (!between) {
            return text == test.value1;
        }
        return !text.isEmpty() && test.value1 <= text && text <= test.value2;
    }
    const double cell = Number(row, test.column);
    if (!between) {
        return IsEmptyCell(cell) ? IsEmptyCell(test.low) : cell == test.low;
    }
    return !IsEmptyCell(cell) && test.low <= cell && cell <= test.high;
}

}  // namespace orvanrx
