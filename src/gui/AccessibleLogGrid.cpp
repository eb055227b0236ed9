#include "gui/AccessibleLogGrid.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPointer>
#include <QTreeView>
#include <algorithm>

#include "gui/LogGridDelegate.h"
#include "views/LogGridModel.h"

namespace orvanrx {

namespace {

constexpr qsizetype kPruneEvery = 1024;

// One cell of the grid: a race's cell, a group header's whole row, or a column heading.
class AccessibleLogGridCell final : public QAccessibleInterface,
                                    public QAccessibleTableCellInterface {
public:
    AccessibleLogGridCell(QTreeView* view, const QModelIndex& index, int heading)
        : view_(view), index_(index), heading_(heading) {}

    bool isValid() const override {
        return view_ != nullptr && view_->model() != nullptr &&
               (heading_ >= 0 ? heading_ < view_->model()->columnCount(view_->rootIndex())
                              : index_.isValid());
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return Table() ? Table()->window() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return Table(); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface && heading_ < 0
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    QAccessible::Role role() const override {
        return heading_ >= 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }

    QString text(QAccessible::Text type) const override {
        if (!isValid()) {
            return {};
        }
        if (heading_ >= 0) {
            return type == QAccessible::Name
                       ? view_->model()->headerData(heading_, Qt::Horizontal).toString()
                       : QString();
        }
        switch (type) {
            case QAccessible::Name:
                return index_.data(Qt::AccessibleTextRole).toString();
            case QAccessible::Description:
                return index_.data(Qt::AccessibleDescriptionRole).toString();
            default:
                return {};
        }
    }

    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        QRect area;
        if (heading_ >= 0) {
            const QHeaderView* header = view_->header();
            area = QRect(header->sectionViewportPosition(heading_), 0,
                         header->sectionSize(heading_), header->height());
            return area.translated(header->viewport()->mapToGlobal(QPoint(0, 0)));
        }
        area = view_->visualRect(index_);
        if (IsGroupRow()) {
            area.setLeft(0);
            area.setRight(view_->viewport()->width() - 1);
        }
        return area.translated(view_->viewport()->mapToGlobal(QPoint(0, 0)));
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        if (heading_ >= 0) {
            return state;
        }
        const QRect shown = view_->viewport()->rect();
        const QRect here = view_->visualRect(index_);
        state.invisible = !view_->isVisible();
        state.offscreen = !shown.intersects(here);
        state.selectable = true;
        state.focusable = true;
        state.selected = isSelected();
        const QModelIndex current = view_->currentIndex();
        state.focused = view_->hasFocus() && current.isValid() &&
                        current.sibling(current.row(), 0) == index_.sibling(index_.row(), 0);
        if (IsGroupRow()) {
            state.expandable = true;
            state.expanded = view_->isExpanded(index_);
            state.collapsed = !state.expanded;
        }
        return state;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override {
        return isValid() && view_->selectionModel() != nullptr &&
               view_->selectionModel()->isRowSelected(index_.row(), index_.parent());
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        AccessibleLogGrid* table = Table();
        if (table == nullptr || IsGroupRow()) {
            return {};
        }
        return {table->HeadingFor(index_.column())};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override {
        if (!isValid() || IsGroupRow()) {
            return 0;
        }
        return static_cast<int>(LogGridShape::Of(*view_).columns.indexOf(index_.column()));
    }
    int rowIndex() const override {
        return isValid() ? LogGridShape::Of(*view_).RowOf(index_) : -1;
    }
    int columnExtent() const override {
        return isValid() && IsGroupRow() ? static_cast<int>(LogGridShape::Of(*view_).columns.size())
                                         : 1;
    }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return Table(); }

private:
    bool IsGroupRow() const { return IsGroupHeader(index_); }
    AccessibleLogGrid* Table() const {
        return view_ != nullptr ? static_cast<AccessibleLogGrid*>(
                                      QAccessible::queryAccessibleInterface(view_.data()))
                                : nullptr;
    }

    QPointer<QTreeView> view_;
    QPersistentModelIndex index_;
    int heading_;  // the model column of a heading; -1 for a cell
};

}  // namespace

LogGridShape LogGridShape::Of(const QTreeView& view) {
    LogGridShape shape;
    const QAbstractItemModel* model = view.model();
    if (model == nullptr) {
        return shape;
    }
    const QHeaderView* header = view.header();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!header->isSectionHidden(column)) {
            shape.columns << column;
        }
    }
    const auto addRows = [&](const QModelIndex& parent, auto& self) -> void {
        for (int row = 0; row < model->rowCount(parent); ++row) {
            if (view.isRowHidden(row, parent)) {
                continue;
            }
            const QModelIndex index = model->index(row, 0, parent);
            const bool group = IsGroupHeader(index);
            shape.rows << index;
            shape.groupRow << group;
            if (group && view.isExpanded(index)) {
                self(index, self);
            }
        }
    };
    addRows(view.rootIndex(), addRows);
    return shape;
}

int LogGridShape::RowOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<int>(rows.indexOf(index.sibling(index.row(), 0))) : -1;
}

int LogGridShape::ChildOf(const QModelIndex& index) const {
    const int row = RowOf(index);
    if (row < 0) {
        return -1;
    }
    int child = static_cast<int>(columns.size());
    for (int r = 0; r < row; ++r) {
        child += groupRow[r] ? 1 : static_cast<int>(columns.size());
    }
    if (groupRow[row]) {
        return child;
    }
    const auto column = std::max<qsizetype>(columns.indexOf(index.column()), 0);
    return columns.isEmpty() ? -1 : child + static_cast<int>(column);
}

void AnnounceLogGridCursor(QTreeView& view, const QModelIndex& current) {
    if (!QAccessible::isActive() || !current.isValid() || !view.hasFocus()) {
        return;
    }
    const int child = LogGridShape::Of(view).ChildOf(current);
    if (child >= 0) {
        QAccessibleEvent event(&view, QAccessible::Focus);
        event.setChild(child);
        QAccessible::updateAccessibility(&event);
    }
}

void AnnounceLogGridSelection(QTreeView& view, const QItemSelection& selected,
                              const QItemSelection& deselected) {
    if (!QAccessible::isActive()) {
        return;
    }
    const LogGridShape shape = LogGridShape::Of(view);
    const auto announce = [&](const QItemSelection& selection, QAccessible::Event type) {
        const QModelIndex first = selection.indexes().value(0);
        const int child = first.isValid() ? shape.ChildOf(first) : -1;
        if (child >= 0) {
            QAccessibleEvent event(&view, type);
            event.setChild(child);
            QAccessible::updateAccessibility(&event);
        }
    };
    announce(selected, QAccessible::SelectionAdd);
    announce(deselected, QAccessible::SelectionRemove);
}

AccessibleLogGrid::AccessibleLogGrid(QTreeView* view)
    : QAccessibleWidget(view, QAccessible::Tree) {}

AccessibleLogGrid::~AccessibleLogGrid() {
    Forget();
}

QTreeView* AccessibleLogGrid::View() const {
    return static_cast<QTreeView*>(widget());
}

void* AccessibleLogGrid::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface) {
        return static_cast<QAccessibleTableInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

void AccessibleLogGrid::Forget() const {
    for (QAccessible::Id id : std::as_const(cells_)) {
        QAccessible::deleteAccessibleInterface(id);
    }
    for (QAccessible::Id id : std::as_const(headings_)) {
        QAccessible::deleteAccessibleInterface(id);
    }
    cells_.clear();
    headings_.clear();
}

QAccessibleInterface* AccessibleLogGrid::CellFor(const QModelIndex& index) const {
    if (!index.isValid()) {
        return nullptr;
    }
    const QModelIndex key = IsGroupHeader(index) ? index.sibling(index.row(), 0) : index;
    if (const auto found = cells_.constFind(key); found != cells_.cend()) {
        return QAccessible::accessibleInterface(*found);
    }
    if (cells_.size() % kPruneEvery == kPruneEvery - 1) {
        // Without a desktop bridge no model change reaches modelChange: cells of rows that are
        // gone are let go here.
        for (auto it = cells_.begin(); it != cells_.end();) {
            if (it.key().isValid()) {
                ++it;
            } else {
                QAccessible::deleteAccessibleInterface(it.value());
                it = cells_.erase(it);
            }
        }
    }
    auto* cell = new AccessibleLogGridCell(View(), key, -1);
    cells_.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

QAccessibleInterface* AccessibleLogGrid::HeadingFor(int modelColumn) const {
    if (const auto found = headings_.constFind(modelColumn); found != headings_.cend()) {
        return QAccessible::accessibleInterface(*found);
    }
    auto* heading = new AccessibleLogGridCell(View(), {}, modelColumn);
    headings_.insert(modelColumn, QAccessible::registerAccessibleInterface(heading));
    return heading;
}

int AccessibleLogGrid::childCount() const {
    const LogGridShape shape = LogGridShape::Of(*View());
    int count = static_cast<int>(shape.columns.size());
    for (bool group : shape.groupRow) {
        count += group ? 1 : static_cast<int>(shape.columns.size());
    }
    return count;
}

QAccessibleInterface* AccessibleLogGrid::child(int index) const {
    const LogGridShape shape = LogGridShape::Of(*View());
    const int columns = static_cast<int>(shape.columns.size());
    if (index < 0 || columns == 0) {
        return nullptr;
    }
    if (index < columns) {
        return HeadingFor(shape.columns[index]);
    }
    index -= columns;
    for (int row = 0; row < shape.rows.size(); ++row) {
        const int cells = shape.groupRow[row] ? 1 : columns;
        if (index < cells) {
            const QModelIndex first = shape.rows[row];
            return CellFor(
                first.sibling(first.row(), shape.groupRow[row] ? 0 : shape.columns[index]));
        }
        index -= cells;
    }
    return nullptr;
}

int AccessibleLogGrid::indexOfChild(const QAccessibleInterface* child) const {
    if (child == nullptr || child->parent() != this) {
        return -1;
    }
    const LogGridShape shape = LogGridShape::Of(*View());
    if (child->role() == QAccessible::ColumnHeader) {
        for (int column = 0; column < shape.columns.size(); ++column) {
            if (headings_.value(shape.columns[column]) ==
                QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child))) {
                return column;
            }
        }
        return -1;
    }
    for (auto it = cells_.cbegin(); it != cells_.cend(); ++it) {
        if (QAccessible::accessibleInterface(it.value()) == child) {
            return shape.ChildOf(it.key());
        }
    }
    return -1;
}

QAccessibleInterface* AccessibleLogGrid::childAt(int x, int y) const {
    const QPoint at = View()->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex index = View()->indexAt(at);
    return index.isValid() ? CellFor(index) : nullptr;
}

QAccessibleInterface* AccessibleLogGrid::cellAt(int row, int column) const {
    const LogGridShape shape = LogGridShape::Of(*View());
    if (row < 0 || row >= shape.rows.size() || column < 0 || column >= shape.columns.size()) {
        return nullptr;
    }
    const QModelIndex first = shape.rows[row];
    return CellFor(first.sibling(first.row(), shape.groupRow[row] ? 0 : shape.columns[column]));
}

int AccessibleLogGrid::columnCount() const {
    return static_cast<int>(LogGridShape::Of(*View()).columns.size());
}

int AccessibleLogGrid::rowCount() const {
    return static_cast<int>(LogGridShape::Of(*View()).rows.size());
}

QString AccessibleLogGrid::columnDescription(int column) const {
    const LogGridShape shape = LogGridShape::Of(*View());
    return column >= 0 && column < shape.columns.size()
               ? View()->model()->headerData(shape.columns[column], Qt::Horizontal).toString()
               : QString();
}

QString AccessibleLogGrid::rowDescription(int row) const {
    const LogGridShape shape = LogGridShape::Of(*View());
    return row >= 0 && row < shape.rows.size()
               ? shape.rows[row].data(Qt::AccessibleDescriptionRole).toString()
               : QString();
}

QList<int> AccessibleLogGrid::selectedRows() const {
    QList<int> rows;
    const QItemSelectionModel* selection = View()->selectionModel();
    if (selection == nullptr) {
        return rows;
    }
    const LogGridShape shape = LogGridShape::Of(*View());
    for (int row = 0; row < shape.rows.size(); ++row) {
        if (selection->isRowSelected(shape.rows[row].row(), shape.rows[row].parent())) {
            rows << row;
        }
    }
    return rows;
}

bool AccessibleLogGrid::isRowSelected(int row) const {
    return selectedRows().contains(row);
}

int AccessibleLogGrid::selectedCellCount() const {
    return static_cast<int>(selectedCells().size());
}

QList<QAccessibleInterface*> AccessibleLogGrid::selectedCells() const {
    QList<QAccessibleInterface*> cells;
    const int columns = columnCount();
    for (int row : selectedRows()) {
        for (int column = 0; column < columns; ++column) {
            QAccessibleInterface* cell = cellAt(row, column);
            if (!cells.contains(cell)) {
                cells << cell;
            }
        }
    }
    return cells;
}

bool AccessibleLogGrid::selectRow(int row) {
    const LogGridShape shape = LogGridShape::Of(*View());
    if (row < 0 || row >= shape.rows.size()) {
        return false;
    }
    View()->setCurrentIndex(shape.rows[row]);
    return true;
}

bool AccessibleLogGrid::unselectRow(int row) {
    const LogGridShape shape = LogGridShape::Of(*View());
    if (row < 0 || row >= shape.rows.size() || View()->selectionModel() == nullptr) {
        return false;
    }
    View()->selectionModel()->select(shape.rows[row],
                                     QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    return true;
}

void AccessibleLogGrid::modelChange(QAccessibleTableModelChangeEvent*) {
    // Rows came or went, or a group opened or closed: the cells are made again as asked for.
    Forget();
}

}  // namespace orvanrx
