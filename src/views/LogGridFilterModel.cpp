#include "views/LogGridFilterModel.h"

namespace orvanrx {

RowCondition CategoryFilterCondition(const QString& categoryName) {
    return {QString(kCategoryFilter), QStringLiteral("Category"), RowComparison::BeginsWith,
            categoryName, QString()};
}

RowCondition RoundFilterCondition(const QString& roundCode) {
    return {QString(kRoundFilter), QStringLiteral("Category"), RowComparison::EndsWith, roundCode,
            QString()};
}

RowCondition CarFilterCondition(const QString& carText) {
    return {QString(kCarFilter), QStringLiteral("Car"), RowComparison::Equal, carText, QString()};
}

RowCondition NoCarCondition() {
    return {QString(kNoCar), QStringLiteral("Car"), RowComparison::Equal, QString(), QString()};
}

LogGridFilterModel::LogGridFilterModel(LogGridModel& grid, QObject* parent)
    : QSortFilterProxyModel(parent), grid_(&grid) {
    setRecursiveFilteringEnabled(true);
    QSortFilterProxyModel::setSourceModel(&grid);
}

void LogGridFilterModel::setSourceModel(QAbstractItemModel* sourceModel) {
    grid_ = qobject_cast<LogGridModel*>(sourceModel);
    QSortFilterProxyModel::setSourceModel(grid_);
}

void LogGridFilterModel::SetFilterCondition(const QString& key, const QString& columnKey,
                                            RowComparison comparison, const QString& value1,
                                            const QString& value2) {
    SetFilterCondition(RowCondition{key, columnKey, comparison, value1, value2});
}

void LogGridFilterModel::SetFilterCondition(const RowCondition& condition) {
    set_.Set(condition);
}

void LogGridFilterModel::ClearFilterConditions() {
    set_.Clear();
}

void LogGridFilterModel::ApplyFilterConditions() {
    applied_ = set_;
    invalidateRowsFilter();
}

bool LogGridFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (applied_.IsEmpty()) {
        return true;
    }
    if (!grid_) {
        return false;
    }
    // A group header is kept through its rows (recursive filtering), never by itself.
    const QModelIndex row = grid_->index(sourceRow, 0, sourceParent);
    for (const RowCondition& condition : applied_.Items()) {
        if (!grid_->RowMatches(row, condition)) {
            return false;
        }
    }
    return true;
}

}  // namespace orvanrx
