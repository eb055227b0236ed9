#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QList>
#include <QModelIndex>
#include <QPersistentModelIndex>

class QItemSelection;
class QTreeView;

namespace orvanrx {

// The rows and columns of a log grid as the racer sees them: the rows shown (a closed group's
// races left out), each a group header or a race, and the columns shown, in the order shown.
struct LogGridShape {
    QList<QModelIndex> rows;  // column 0 of each shown row, top to bottom
    QList<bool> groupRow;     // per row: a group header
    QList<int> columns;       // the model columns shown, left to right

    static LogGridShape Of(const QTreeView& view);
    int RowOf(const QModelIndex& index) const;
    // The accessible child number of a cell: the column headings first, then row by row, a
    // group header one cell, a race one cell per shown column (a column not shown counts as the
    // row's first); -1 for a row not shown.
    int ChildOf(const QModelIndex& index) const;
};

// Tell assistive technology of the row cursor and of a changed selection, by the cells of
// AccessibleLogGrid.
void AnnounceLogGridCursor(QTreeView& view, const QModelIndex& current);
void AnnounceLogGridSelection(QTreeView& view, const QItemSelection& selected,
                              const QItemSelection& deselected);

// What assistive technology reads of a log grid (the grid view's accessible interface): a table
// of the shown columns only, where a group header row is one cell, spanning the row, holding its
// group text, and a race row's cells read their drawn texts (the model's accessible text) with
// the whole row as their description.
class AccessibleLogGrid final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit AccessibleLogGrid(QTreeView* view);
    ~AccessibleLogGrid() override;

    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleInterface
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    int columnCount() const override;
    int rowCount() const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int) override { return false; }
    bool unselectRow(int row) override;
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    QTreeView* View() const;
    // The cell of a shown index (a group header's whole row), made once and kept until the
    // rows change; the heading of a model column for `heading`.
    QAccessibleInterface* CellFor(const QModelIndex& index) const;
    QAccessibleInterface* HeadingFor(int modelColumn) const;

private:
    void Forget() const;

    mutable QHash<QPersistentModelIndex, QAccessible::Id> cells_;
    mutable QHash<int, QAccessible::Id> headings_;
};

}  // namespace orvanrx
