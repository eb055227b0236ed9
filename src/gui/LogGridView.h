#pragma once

#include <QColor>
#include <QTreeView>

class QAbstractItemModel;

namespace orvanrx {

class LogGridModel;

// grdLog: the log grid as a tree view. It shows `shown` (the grid model itself, or a proxy
// over it such as the filter window's) and follows the grid: group header rows drawn across
// the whole row and opened or closed as the grid keeps them, columns hidden and sized in twips as
// the grid says (the user's resizing goes back to the grid), painting paused while the grid's
// drawing is off, the named styles drawn (fonts, the heading and group gradients, the pair
// line), and the area without rows in the grid's background colour. Cells are not edited. The
// grid takes the focus with a row cursor, drawn as the selected row: arrows, Page Up/Down and
// Home/End move it, Left closes the row's group (from one of its rows, goes to its header),
// Right opens it; the Menu key and Shift+F10 open the settings menu at the row. A reload keeps the
// scroll position, unless the view stood at the top, where the newest race comes in.
class LogGridView final : public QTreeView {
    Q_OBJECT
public:
    LogGridView(LogGridModel& grid, QAbstractItemModel& shown, QWidget* parent = nullptr);

    LogGridModel& Grid() const { return grid_; }

    // The column fitted (FitColumn) whenever the shown view is resized or columns are shown or
    // hidden, and widened further to the grid's free width when that is more, so that the
    // grid fills its window.
    void SetFittedColumn(const QString& columnKey);
    void FitColumn();

Q_SIGNALS:
    // The right mouse button was clicked over the grid, at `globalPos`.
    void SettingsMenuRequested(const QPoint& globalPos);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The group header row at `at` (its first column), or an invalid index.
    QModelIndex GroupHeaderAt(const QPoint& at) const;
    void FollowColumns();
    void FollowRows();
    void PlaceRowCursor();
    void FollowBackground(int colorValue);
    void ColumnResized(int column, int oldSize, int newSize);

    LogGridModel& grid_;
    bool following_ = false;
    int keptScroll_ = 0;
    QString fitted_;
    bool fitting_ = false;
};

}  // namespace orvanrx
