#pragma once

#include <QColor>
#include <QFont>
#include <QSet>
#include <QTreeView>

class QAbstractItemModel;

namespace orvanrx {

class LogGridModel;
struct LogGridFont;

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

    // The column fitted to its texts (FitColumn) whenever the shown view is resized or columns
    // are shown or hidden, until a width is chosen for it: by the user's resizing or through
    // SetChosenWidth (a kept width). Whatever the widths, the last shown column reaches the
    // grid's right edge on screen (its width in the grid stays as set).
    void SetFittedColumn(const QString& columnKey);
    void FitColumn();
    // The fitted column's chosen width in twips; 0 while it follows its texts.
    void SetChosenWidth(int twips) { chosenTwips_ = twips; }
    int ChosenWidth() const { return chosenTwips_; }
    // True once the user resized the column.
    bool UserSized(int column) const { return userSized_.contains(column); }

    // The racer's text size, as a factor of the grid's own font sizes (1: as designed, at least
    // 0.5): fonts, row heights and the columns' widths on screen follow it; the widths kept in
    // the grid stay in the grid's own twips.
    void SetTextScale(double scale);
    double TextScale() const { return textScale_; }
    // A style's font as shown: its face at the text size.
    QFont ShownFont(const LogGridFont& font) const;

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
    // The row cursor and the selection announced by the cells assistive technology knows (the
    // shown columns, a group header one cell), not by the tree view's every-column numbering.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    // The keyboard's row cursor drawn over `row` when `index` is the current row.
    void DrawRowCursor(QPainter* painter, const QRect& row, const QModelIndex& index) const;
    // The group header row at `at` (its first column), or an invalid index.
    QModelIndex GroupHeaderAt(const QPoint& at) const;
    void FollowColumns();
    void FollowRows();
    void PlaceRowCursor();
    void FollowBackground(int colorValue);
    void ColumnResized(int column, int oldSize, int newSize);
    void FillToEdge();
    // The width a column needs for its whole heading, in pixels.
    int HeadingWidth(int column) const;
    // A column's width on screen: its width in the grid, widened to its heading until the user
    // sizes it (the grid keeps its own width, which the pages and files use).
    int ShownWidth(int column, int twips) const;
    // Between the grid's twips and the pixels shown, at the text size.
    int ShownPixels(int twips) const;
    int GridTwips(int pixels) const;

    LogGridModel& grid_;
    bool following_ = false;
    int keptScroll_ = 0;
    QString fitted_;
    bool fitting_ = false;
    int chosenTwips_ = 0;
    int filled_ = -1;  // the column widened on screen to the grid's right edge
    QSet<int> userSized_;
    double textScale_ = 1.0;
};

}  // namespace orvanrx
