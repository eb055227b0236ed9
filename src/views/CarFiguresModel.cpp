#include "views/CarFiguresModel.h"

#include <algorithm>

#include "analysis/LogFigures.h"
#include "analysis/StatsTables.h"

namespace orvanrx {

namespace {

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

// How many rows a merge of `old` into `now` (both in car-number order) inserts and removes.
int RowChanges(const std::vector<CarFigures>& old, const std::vector<CarFigures>& now) {
    int changes = 0;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < old.size() || j < now.size()) {
        if (j == now.size() || (i < old.size() && CarNumberLess(old[i].car, now[j].car))) {
            ++i;
            ++changes;
        } else if (i == old.size() || CarNumberLess(now[j].car, old[i].car)) {
            ++j;
            ++changes;
        } else {
            ++i;
            ++j;
        }
    }
    return changes;
}

}  // namespace

CarFiguresModel::CarFiguresModel(QObject* parent) : QAbstractTableModel(parent) {}

void CarFiguresModel::Update(const std::vector<CarFigures>& figures) {
    if (RowChanges(cars_, figures) > kMostRowChanges) {
        beginResetModel();
        cars_ = figures;
        endResetModel();
        return;
    }
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < cars_.size() || j < figures.size()) {
        const int row = static_cast<int>(i);
        if (j == figures.size() ||
            (i < cars_.size() && CarNumberLess(cars_[i].car, figures[j].car))) {
            beginRemoveRows({}, row, row);
            cars_.erase(cars_.begin() + row);
            endRemoveRows();
        } else if (i == cars_.size() || CarNumberLess(figures[j].car, cars_[i].car)) {
            beginInsertRows({}, row, row);
            cars_.insert(cars_.begin() + row, figures[j]);
            endInsertRows();
            ++i;
            ++j;
        } else {
            if (!(cars_[i] == figures[j])) {
                EmitRowChanged(row, figures[j]);
            }
            ++i;
            ++j;
        }
    }
}

int CarFiguresModel::RowOf(const QString& car) const {
    const auto found = std::find_if(cars_.begin(), cars_.end(),
                                    [&](const CarFigures& figures) { return figures.car == car; });
    return found != cars_.end() ? static_cast<int>(found - cars_.begin()) : -1;
}

void CarFiguresModel::SetMyCars(const QStringList& numbers) {
    if (numbers == myCars_) {
        return;
    }
    myCars_ = numbers;
    if (!cars_.empty()) {
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {MyCarRole});
    }
}

bool CarFiguresModel::IsMyCar(int row) const {
    return row >= 0 && At(row) < cars_.size() && myCars_.contains(cars_[At(row)].car);
}

void CarFiguresModel::EmitRowChanged(int row, const CarFigures& figures) {
    // Only the span of cells whose text changes: a view sorted by a column outside it (the
    // car number, say) need not sort again.
    int first = -1;
    int last = -1;
    for (int c = 0; c < columnCount(); ++c) {
        if (CarsTableCell(cars_[At(row)], c) != CarsTableCell(figures, c)) {
            first = first < 0 ? c : first;
            last = c;
        }
    }
    cars_[At(row)] = figures;
    if (first >= 0) {
        Q_EMIT dataChanged(index(row, first), index(row, last));
    }
}

int CarFiguresModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(cars_.size());
}

int CarFiguresModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : CarsTableColumnCount();
}

QVariant CarFiguresModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const CarFigures& car = cars_[At(index.row())];
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return CarsTableCell(car, column);
        case SortRole:
            if (!CarsTableIsNumeric(column)) {
                return CarsTableCell(car, column);
            }
            if (const std::optional<double> number = CarsTableNumber(car, column)) {
                return *number;
            }
            return {};
        case Qt::TextAlignmentRole:
            return static_cast<int>(CarsTableIsNumeric(column) ? Qt::AlignCenter
                                                               : Qt::AlignLeft | Qt::AlignVCenter);
        case MyCarRole:
            return myCars_.contains(car.car);
        default:
            return {};
    }
}

QVariant CarFiguresModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= CarsTableColumnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (role) {
        case Qt::DisplayRole:
            return CarsTableHeader(section);
        case Qt::ToolTipRole:
            return CarsTableLabel(section);
        case Qt::InitialSortOrderRole:
            return static_cast<int>(Qt::AscendingOrder);
        default:
            return {};
    }
}

CarFiguresFilterModel::CarFiguresFilterModel(CarFiguresModel& cars, QObject* parent)
    : QSortFilterProxyModel(parent), cars_(cars) {
    setSourceModel(&cars);
    setSortRole(CarFiguresModel::SortRole);
    setDynamicSortFilter(true);
}

void CarFiguresFilterModel::SetSearch(const QString& text) {
    const QString search = text.trimmed();
    if (search == search_) {
        return;
    }
    search_ = search;
    invalidateFilter();
}

bool CarFiguresFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (search_.isEmpty() || sourceParent.isValid()) {
        return true;
    }
    const CarFigures& car = cars_.Figures()[At(sourceRow)];
    if (car.car.startsWith(search_, Qt::CaseInsensitive)) {
        return true;
    }
    return std::any_of(car.names.begin(), car.names.end(), [this](const QString& name) {
        return name.contains(search_, Qt::CaseInsensitive);
    });
}

bool CarFiguresFilterModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    if (left.column() == 0) {
        const std::vector<CarFigures>& cars = cars_.Figures();
        return CarNumberLess(cars[At(left.row())].car, cars[At(right.row())].car);
    }
    const QVariant a = left.data(CarFiguresModel::SortRole);
    const QVariant b = right.data(CarFiguresModel::SortRole);
    if (a.isValid() != b.isValid()) {
        // The dash last either way: a descending sort asks the other way round.
        return a.isValid() == (sortOrder() == Qt::AscendingOrder);
    }
    if (!a.isValid()) {
        return false;
    }
    if (CarsTableIsNumeric(left.column())) {
        return a.toDouble() < b.toDouble();
    }
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive) < 0;
}

}  // namespace orvanrx
