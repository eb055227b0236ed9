#pragma once

#include <QStyledItemDelegate>

#include "gui/StaticTextCache.h"

namespace orvanrx {

// The cells of the statistics window's tables: on white, every other row a shade darker (the
// view's base, the main window's colour, shows only below the rows), the racer's own cars bold
// on the accent tint, and in the results column a win green and a loss red, each text laid out
// once and kept.
class StatsCellDelegate final : public QStyledItemDelegate {
public:
    static constexpr int kTextMargin = 4;
    static constexpr qsizetype kMaxKeptTexts = 4096;

    // `resultColumn`: the column of the runs' results, or -1.
    StatsCellDelegate(int resultColumn, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // The face, colour and background of a cell.
    struct Look {
        bool bold = false;
        QColor text;
        QColor background;
    };
    Look LookOf(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    int resultColumn_;
    mutable StaticTextCache laid_;
};

}  // namespace orvanrx
