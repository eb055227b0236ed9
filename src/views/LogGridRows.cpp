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

// Rows by GeneralID descending, empty ones last, ties in source order. A run table lists its
// races oldest first with ids (1, 0), (3, 2), ...: read backwards that is nearly in order, and
// an insertion sort finishes it in one pass. Anything far from that order goes to std::sort.
std::vector<int> SortedByIdDescending(const std::vector<double>& ids) {
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
    std::vector<int> order(ids.size());
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
    return order;
}

// Grid order of rows given their GeneralID numbers (SortedByIdDescending). With `groupTextOf`,
// the rows are then gathered by group text, the groups in the order of their first row, each
// keeping that order inside.
template <typename GroupTextOf>
std::vector<int> Arrange(const std::vector<double>& ids, const GroupTextOf* groupTextOf,
                         std::vector<LogGridRows::Group>& groups) {
    std::vector<int> order = SortedByIdDescending(ids);
    groups.clear();
    if (!groupTextOf) {
        return order;
    }

    std::vector<int> groupOf(ids.size());
    QHash<QString, int> groupByText;
    QStringView lastText;
    int lastGroup = -1;
    for (const int row : order) {
        const QStringView text = (*groupTextOf)(row);
        // Neighbouring rows mostly share their group: the race's other lane, the next race.
        const bool sameData = text.data() == lastText.data() && text.size() == lastText.size();
        if (lastGroup < 0 || (!sameData && text != lastText)) {
            const QString key = text.toString();
            const auto found = groupByText.constFind(key);
            if (found != groupByText.cend()) {
                lastGroup = *found;
            } else {
                lastGroup = static_cast<int>(groups.size());
                groupByText.insert(key, lastGroup);
                groups.push_back({key, 0, 0});
            }
            lastText = text;
        }
        groupOf[At(row)] = lastGroup;
        ++groups[At(lastGroup)].count;
    }
    std::vector<int> next(groups.size());
    int first = 0;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        groups[g].first = next[g] = first;
        first += groups[g].count;
    }
    std::vector<int> grouped(order.size());
    for (const int row : order) {
        grouped[At(next[At(groupOf[At(row)])]++)] = row;
    }
    return grouped;
}

}  // namespace

void LogGridRows::Load(const RunTable& table, int groupColumn) {
    const int count = table.RowCount();
    std::vector<std::shared_ptr<const RunRow>> rows;
    rows.reserve(At(count));
    std::vector<double> ids(At(count));
    std::vector<std::pair<const RunRow*, double>> loaded(At(count));
    for (int r = 0; r < count; ++r) {
        rows.push_back(table.SharedRow(r));
        const RunRow* row = rows.back().get();
        // A reload mostly finds the rows of the last one (the table copies a row before it
        // changes one the grid holds, so the same row is the same content).
        const bool known = At(r) < loaded_.size() && loaded_[At(r)].first == row;
        ids[At(r)] =
            known ? loaded_[At(r)].second : CellNumber((*row)[GeneralID], CellType::Integer);
        loaded[At(r)] = {row, ids[At(r)]};
    }
    rows_ = std::move(rows);
    loaded_ = std::move(loaded);
    Regroup(groupColumn, std::move(ids));
}

void LogGridRows::Regroup(int groupColumn) {
    std::vector<double> ids = Count() > 0 ? std::move(numbers_[GeneralID]) : std::vector<double>();
    Regroup(groupColumn, std::move(ids));
}

void LogGridRows::Regroup(int groupColumn, std::vector<double> ids) {
    groupColumn_ = groupColumn;
    const auto groupTextOf = [this, groupColumn](int r) {
        return QStringView(RawText(r, groupColumn));
    };
    const std::vector<int> order = Arrange(ids, groupColumn >= 0 ? &groupTextOf : nullptr, groups_);
    std::vector<std::shared_ptr<const RunRow>> rows(rows_.size());
    std::vector<double> generalIds(ids.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        rows[i] = std::move(rows_[At(order[i])]);
        generalIds[i] = ids[At(order[i])];
    }
    rows_ = std::move(rows);
    numbers_.fill({});
    numbers_[GeneralID] = std::move(generalIds);
}

void LogGridRows::Clear() {
    rows_.clear();
    loaded_.clear();
    groups_.clear();
    numbers_.fill({});
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
