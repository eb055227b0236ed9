#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QStringList>
#include <vector>

#include "analysis/CarStats.h"

namespace orvanrx {

// Every car's figures as a table: a row per car in car-number order, the columns of CarsTable
// (analysis/StatsTables.h). Qt::DisplayRole is the cell's text ("–" for a figure without a
// value), SortRole the number it shows (a double; nothing for a dash) or, in the text
// columns, the text. Numeric columns are centred, text columns left-aligned; a heading's tool
// tip is the figure's name written out, and a first click on it sorts ascending.
//
// Update takes the figures as they now are (CarFiguresTracker::Figures) and tells the views
// only what changed: rows inserted for new cars, removed for cars gone, dataChanged for the
// cells whose text changed (from the first to the last of a row). A change of many rows (a log
// opened) is one model reset.
class CarFiguresModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Role : int {
        SortRole = Qt::UserRole + 1,
        MyCarRole,  // bool: the row's car is one of the racer's own
    };
    // More inserted and removed rows than this make the update a reset.
    static constexpr int kMostRowChanges = 64;

    explicit CarFiguresModel(QObject* parent = nullptr);

    void Update(const std::vector<CarFigures>& figures);
    const std::vector<CarFigures>& Figures() const { return cars_; }
    // The row of a car number, or -1.
    int RowOf(const QString& car) const;

    void SetMyCars(const QStringList& numbers);
    bool IsMyCar(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // Takes a car's new figures and tells of the cells that changed.
    void EmitRowChanged(int row, const CarFigures& figures);

    std::vector<CarFigures> cars_;
    QStringList myCars_;
};

// The car table as the statistics window shows it: the rows a search keeps, sorted by a
// heading. The search keeps a car whose number begins with the text or one of whose driver
// names holds it (letter case aside); an empty search keeps every car. Sorting compares car
// numbers as CarNumberLess does, the figures as numbers, other texts letter case aside; a
// dash comes after every value whichever way the column is sorted.
class CarFiguresFilterModel : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit CarFiguresFilterModel(CarFiguresModel& cars, QObject* parent = nullptr);

    void SetSearch(const QString& text);
    const QString& Search() const { return search_; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    CarFiguresModel& cars_;
    QString search_;
};

}  // namespace orvanrx
