#pragma once

#include <QLatin1String>
#include <QSortFilterProxyModel>

#include "views/LogGridModel.h"
#include "views/RowCondition.h"

namespace orvanrx {

// The filter window's condition keys.
inline constexpr QLatin1String kCategoryFilter{"CategoryFilter"};
inline constexpr QLatin1String kRoundFilter{"RoundFilter"};
inline constexpr QLatin1String kCarFilter{"CarFilter"};
inline constexpr QLatin1String kNoCar{"NoCar"};

// Keeps the rows whose Category begins with the category name (so "PRO" also keeps "PRO ET").
RowCondition CategoryFilterCondition(const QString& categoryName);
// Keeps the rows whose Category ends with the round code.
RowCondition RoundFilterCondition(const QString& roundCode);
// Keeps the rows whose Car is exactly the typed text.
RowCondition CarFilterCondition(const QString& carText);
// Keeps the rows without a car number.
RowCondition NoCarCondition();

// The log grid as a window shows it: the rows that match every filter condition in force,
// sortable by any column (sorting uses Qt::DisplayRole, so numbers and date-times of the filter
// flavour sort as such; until the view sorts, the grid order stands). Grouped, a group header
// stays while one of its rows is shown.
//
// Conditions are set and cleared as a list; ApplyFilterConditions puts the list in force and
// recomputes which rows are shown. The conditions in force apply to every later load of the
// grid.
class LogGridFilterModel : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit LogGridFilterModel(LogGridModel& grid, QObject* parent = nullptr);

    // Adds the condition or replaces the one with the same key.
    void SetFilterCondition(const QString& key, const QString& columnKey, RowComparison comparison,
                            const QString& value1, const QString& value2 = {});
    void SetFilterCondition(const RowCondition& condition);
    void ClearFilterConditions();
    void ApplyFilterConditions();

    // As set, and as in force since the last ApplyFilterConditions.
    const RowConditionList& FilterConditions() const { return set_; }
    const RowConditionList& AppliedFilterConditions() const { return applied_; }

    // The source must stay a LogGridModel; any other model is refused (no source).
    void setSourceModel(QAbstractItemModel* sourceModel) override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    LogGridModel* grid_;
    RowConditionList set_;
    RowConditionList applied_;
};

}  // namespace orvanrx
