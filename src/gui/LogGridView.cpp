#include "gui/LogGridView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cmath>

#include "gui/AccessibleLogGrid.h"
#include "gui/ColorValue.h"
#include "gui/GroupByArea.h"
#include "gui/LogGridDelegate.h"
#include "gui/LogGridPaint.h"
#include "gui/StaticTextCache.h"
#include "gui/SteadyScrollBar.h"
#include "gui/Twips.h"
#include "views/LogGridColumns.h"
#include "views/LogGridModel.h"

namespace orvanrx {

LogGridView::LogGridView(LogGridModel& grid, QAbstractItemModel& shown, QWidget* parent)
    : QTreeView(parent), grid_(grid) {
    setObjectName(QStringLiteral("grdLog"));
    setHeader(NewLogGridHeader(this));
    setVerticalScrollBar(new SteadyScrollBar(Qt::Vertical, this));
    setHorizontalScrollBar(new SteadyScrollBar(Qt::Horizontal, this));
    setItemDelegate(NewLogGridDelegate(this));
    setModel(&shown);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::StrongFocus);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
    setIndentation(14);
    setAnimated(false);
    setExpandsOnDoubleClick(true);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setMinimumSectionSize(8);

    connect(&shown, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { keptScroll_ = verticalScrollBar()->value(); });
    connect(&shown, &QAbstractItemModel::modelReset, this, &LogGridView::FollowRows);
    connect(&shown, &QAbstractItemModel::layoutChanged, this, &LogGridView::FollowRows);
    connect(&shown, &QAbstractItemModel::rowsInserted, this, &LogGridView::FollowRows);
    connect(&grid, &LogGridModel::expansionChanged, this, &LogGridView::FollowRows);
    // A longer name arriving widens the fitted column (unless the user chose its width).
    connect(&grid, &QAbstractItemModel::modelReset, this, [this] {
        if (isVisible()) {
            FitColumn();
        }
    });
    connect(&grid, &QAbstractItemModel::headerDataChanged, this, &LogGridView::FollowColumns);
    connect(&grid, &LogGridModel::redrawChanged, this, [this](bool on) {
        setUpdatesEnabled(on);
        if (on) {
            viewport()->update();
        }
    });
    connect(&grid, &LogGridModel::backgroundChanged, this, &LogGridView::FollowBackground);
    connect(header(), &QHeaderView::sectionResized, this, &LogGridView::ColumnResized);
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (!following_ && model() == &grid_) {
            grid_.SetGroupExpanded(index, true);
        }
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (!following_ && model() == &grid_) {
            grid_.SetGroupExpanded(index, false);
        }
    });

    // Whole pixels up from the text's exact width: the cell draws the text unrounded, and cuts it
    // short at a fraction of a pixel too many.
    grid.SetTextMeasure([this](const QString& text, const LogGridFont& font) {
        return GridTwips(
            static_cast<int>(std::ceil(QFontMetricsF(ShownFont(font)).horizontalAdvance(text))));
    });
    FollowColumns();
    FollowRows();
    FollowBackground(grid.Background());
}

void LogGridView::FollowColumns() {
    following_ = true;
    for (int column = 0; column < grid_.columnCount(); ++column) {
        const bool hidden =
            grid_.headerData(column, Qt::Horizontal, LogGridModel::HiddenRole).toBool();
        setColumnHidden(column, hidden);
        const int twips =
            grid_.headerData(column, Qt::Horizontal, LogGridModel::WidthTwipsRole).toInt();
        const int pixels = ShownWidth(column, twips);
        if (header()->sectionSize(column) != pixels && !hidden) {
            header()->resizeSection(column, pixels);
        }
    }
    filled_ = -1;
    following_ = false;
    if (!fitting_ && isVisible()) {
        fitting_ = true;
        FitColumn();
        fitting_ = false;
    }
    FillToEdge();
}

void LogGridView::FollowRows() {
    const bool wasFollowing = following_;
    following_ = true;
    QAbstractItemModel* shown = model();
    setRootIsDecorated(!grid_.GroupBy().isEmpty());
    const int rows = shown->rowCount();
    for (int row = 0; row < rows; ++row) {
        const QModelIndex index = shown->index(row, 0);
        // A group header is drawn across the whole row by drawRow; only its state is kept
        // here. (While the reset's layout is pending this merely notes the state.)
        if (IsGroupHeader(index)) {
            setExpanded(index, index.data(LogGridModel::ExpandedRole).toBool());
        }
    }
    following_ = wasFollowing;
    if (keptScroll_ > 0) {
        executeDelayedItemsLayout();
        verticalScrollBar()->setValue(keptScroll_);
        keptScroll_ = 0;
    }
    PlaceRowCursor();
}

void LogGridView::PlaceRowCursor() {
    QAbstractItemModel* shown = model();
    if (currentIndex().isValid() || shown->rowCount() == 0) {
        return;
    }
    // The cursor goes to the top row on screen, in the first column shown, so the focus row is
    // drawn from the start; it selects nothing and scrolls nothing.
    int column = 0;
    for (int visual = 0; visual < header()->count(); ++visual) {
        const int logical = header()->logicalIndex(visual);
        if (!isColumnHidden(logical)) {
            column = logical;
            break;
        }
    }
    QModelIndex top = indexAt(QPoint(1, 1));
    if (!top.isValid()) {
        top = shown->index(0, 0);
    }
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    selectionModel()->setCurrentIndex(top.siblingAtColumn(column), QItemSelectionModel::NoUpdate);
    setAutoScroll(scrolls);
}

void LogGridView::FollowBackground(int colorValue) {
    QPalette area = palette();
    area.setColor(QPalette::Base, ColorForValue(colorValue, QApplication::palette()));
    setPalette(area);
}

void LogGridView::ColumnResized(int column, int /*oldSize*/, int newSize) {
    if (following_ || newSize == 0) {
        return;
    }
    following_ = true;
    const QString key =
        grid_.headerData(column, Qt::Horizontal, LogGridModel::ColumnKeyRole).toString();
    const int twips = GridTwips(newSize);
    userSized_.insert(column);
    if (key == fitted_) {
        chosenTwips_ = twips;
    }
    if (column == filled_) {
        filled_ = -1;  // the user's width is the column's own now
    }
    grid_.SetWidth(key, twips);
    following_ = false;
}

void LogGridView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    if (IsGroupHeader(index)) {
        // The whole row in the group style: the gradient, the branch mark, and the group's
        // text centred across the grid (whatever columns are hidden).
        const std::optional<LogGridStyle> style = StyleAt(index);
        const QRect row(0, option.rect.top(), viewport()->width(), option.rect.height());
        if (style) {
            painter->fillRect(row, GridBackground(*style, row));
        }
        drawBranches(painter, QRect(0, row.top(), indentation(), row.height()), index);
        painter->save();
        painter->setPen(Qt::black);
        if (style) {
            painter->setFont(ShownFont(style->font));
        }
        const QRect text = row.adjusted(indentation(), 0, 0, 0);
        const int shownWidth = std::min(text.width(), header()->length() - header()->offset());
        painter->drawText(QRect(text.left(), text.top(), std::max(shownWidth, 0), text.height()),
                          Qt::AlignCenter, index.data(LogGridModel::TextRole).toString());
        painter->setPen(QColor(200, 120, 10));
        painter->drawLine(row.bottomLeft(), row.bottomRight());
        painter->restore();
        DrawRowCursor(painter, row, index);
        return;
    }
    // The indentation beside a group's rows in white, like the rows.
    const int indent = visualRect(index).left();
    if (indent > 0) {
        painter->fillRect(QRect(0, option.rect.top(), indent, option.rect.height()), Qt::white);
    }
    QTreeView::drawRow(painter, option, index);
    DrawRowCursor(painter, QRect(0, option.rect.top(), viewport()->width(), option.rect.height()),
                  index);
}

void LogGridView::DrawRowCursor(QPainter* painter, const QRect& row,
                                const QModelIndex& index) const {
    if (!hasFocus() || index.siblingAtColumn(0) != currentIndex().siblingAtColumn(0)) {
        return;
    }
    // A frame in the highlight colour round the whole row, on race rows and group headers
    // alike: bolder than the style's own focus line, so it shows on a laptop in sunlight.
    painter->save();
    painter->setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(row.adjusted(1, 1, -1, -1));
    painter->restore();
}

void LogGridView::SetFittedColumn(const QString& columnKey) {
    fitted_ = columnKey;
}

void LogGridView::SetTextScale(double scale) {
    scale = std::max(scale, 0.5);
    if (scale == textScale_) {
        return;
    }
    textScale_ = scale;
    FollowColumns();
    updateGeometries();            // the headings' height
    scheduleDelayedItemsLayout();  // the rows' heights
    viewport()->update();
}

QFont LogGridView::ShownFont(const LogGridFont& font) const {
    return GridFont(font, textScale_);
}

int LogGridView::ShownPixels(int twips) const {
    return TwipsToPixels(*this, static_cast<int>(std::lround(twips * textScale_)));
}

int LogGridView::GridTwips(int pixels) const {
    return static_cast<int>(std::lround(PixelsToTwips(*this, pixels) / textScale_));
}

void LogGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    viewport()->update();  // the row cursor is drawn across the row
    AnnounceLogGridCursor(*this, current);
    QAbstractItemView::currentChanged(current, previous);
}

void LogGridView::selectionChanged(const QItemSelection& selected,
                                   const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
    AnnounceLogGridSelection(*this, selected, deselected);
}

void LogGridView::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    FitColumn();
    FillToEdge();
}

void LogGridView::FitColumn() {
    if (fitted_.isEmpty()) {
        return;
    }
    if (chosenTwips_ > 0) {
        grid_.SetWidth(fitted_, chosenTwips_);
    } else {
        grid_.FitColumn(fitted_);
    }
}

int LogGridView::HeadingWidth(int column) const {
    QString caption = grid_.headerData(column, Qt::Horizontal).toString();
    if (isSortingEnabled()) {
        caption += QStringLiteral(" \u25BC");  // the sort mark drawn after it
    }
    const QVariant style = grid_.headerData(column, Qt::Horizontal, LogGridModel::StyleRole);
    const QFont font =
        style.isValid() ? ShownFont(style.value<LogGridStyle>().font) : header()->font();
    // LogGridHeader draws a caption 3 pixels in from each side; a pixel more for the line.
    return QFontMetrics(font).horizontalAdvance(caption) + 7;
}

int LogGridView::ShownWidth(int column, int twips) const {
    const int pixels = ShownPixels(twips);
    // The fitted column (Name) may have the width the user chose in an earlier run.
    const bool own =
        userSized_.contains(column) ||
        (chosenTwips_ > 0 &&
         grid_.headerData(column, Qt::Horizontal, LogGridModel::ColumnKeyRole).toString() ==
             fitted_);
    return own ? pixels : std::max(pixels, HeadingWidth(column));
}

void LogGridView::FillToEdge() {
    const bool wasFollowing = following_;
    following_ = true;
    // The column filled before goes back to its own width first.
    if (filled_ >= 0 && filled_ < grid_.columnCount() && !isColumnHidden(filled_)) {
        const int twips =
            grid_.headerData(filled_, Qt::Horizontal, LogGridModel::WidthTwipsRole).toInt();
        header()->resizeSection(filled_, ShownWidth(filled_, twips));
    }
    filled_ = -1;
    int last = -1;
    for (int c = grid_.columnCount() - 1; c >= 0 && last < 0; --c) {
        last = isColumnHidden(c) ? -1 : c;
    }
    const int free = viewport()->width() - header()->length();
    if (last >= 0 && free > 0) {
        header()->resizeSection(last, header()->sectionSize(last) + free);
        filled_ = last;
    }
    following_ = wasFollowing;
}

QModelIndex LogGridView::GroupHeaderAt(const QPoint& at) const {
    const QModelIndex index = indexAt(at);
    return index.isValid() && IsGroupHeader(index) ? index.siblingAtColumn(0) : QModelIndex();
}

void LogGridView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        Q_EMIT SettingsMenuRequested(event->globalPosition().toPoint());
        return;
    }
    // The branch mark at the left of a group header opens or closes the group. (The tree's own
    // hit test looks for the mark in the Category column, which the grid hides.)
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && at.x() < indentation()) {
        if (const QModelIndex group = GroupHeaderAt(at); group.isValid()) {
            setExpanded(group, !isExpanded(group));
            return;
        }
    }
    QTreeView::mousePressEvent(event);
}

void LogGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click anywhere on a group header opens or closes the group.
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && at.x() >= indentation()) {
        if (const QModelIndex group = GroupHeaderAt(at); group.isValid()) {
            setExpanded(group, !isExpanded(group));
            return;
        }
    }
    QTreeView::mouseDoubleClickEvent(event);
}

void LogGridView::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    const bool menuKey = event->key() == Qt::Key_Menu ||
                         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (menuKey) {
        const QRect row = current.isValid() ? visualRect(current) : QRect();
        const QPoint at =
            row.isValid() ? QPoint(row.left() + 8, row.bottom()) : viewport()->rect().topLeft();
        Q_EMIT SettingsMenuRequested(viewport()->mapToGlobal(at));
        event->accept();
        return;
    }
    if (current.isValid() && event->modifiers() == Qt::NoModifier &&
        (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
        const QModelIndex row = current.siblingAtColumn(0);
        const bool open = event->key() == Qt::Key_Right;
        if (IsGroupHeader(row)) {
            if (isExpanded(row) != open) {
                setExpanded(row, open);
            }
            event->accept();
            return;
        }
        if (!open && row.parent().isValid()) {
            setCurrentIndex(row.parent());
            event->accept();
            return;
        }
    }
    QTreeView::keyPressEvent(event);
}

void LogGridView::contextMenuEvent(QContextMenuEvent* event) {
    // The mouse opens the menu on its press; the keyboard's menu key comes here.
    if (event->reason() == QContextMenuEvent::Keyboard) {
        const QModelIndex current = currentIndex();
        const QRect row = current.isValid() ? visualRect(current) : QRect();
        Q_EMIT SettingsMenuRequested(
            viewport()->mapToGlobal(row.isValid() ? row.bottomLeft() : QPoint(0, 0)));
    }
    event->accept();
}

}  // namespace orvanrx
