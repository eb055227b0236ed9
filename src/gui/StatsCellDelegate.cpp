#include "gui/StatsCellDelegate.h"

#include <QPainter>

#include "gui/ColorValue.h"
#include "views/CarFiguresModel.h"
#include "views/LogGridStyle.h"

namespace orvanrx {

namespace {

const QColor kEvenRow(Qt::white);
const QColor kOddRow(243, 245, 249);
const QColor kWinText(0, 120, 50);
const QColor kLossText(190, 20, 20);

}  // namespace

StatsCellDelegate::StatsCellDelegate(int resultColumn, QObject* parent)
    : QStyledItemDelegate(parent), resultColumn_(resultColumn), laid_(kMaxKeptTexts) {}

StatsCellDelegate::Look StatsCellDelegate::LookOf(const QStyleOptionViewItem& option,
                                                  const QModelIndex& index) const {
    Look look{false, QColor(Qt::black), index.row() % 2 == 0 ? kEvenRow : kOddRow};
    if (index.data(CarFiguresModel::MyCarRole).toBool()) {
        look.bold = true;
        look.background = ColorForValue(kAccentTintColor, {});
    }
    if (index.column() == resultColumn_) {
        const QString result = index.data().toString();
        if (result == u"W" || result == u"L") {
            look.bold = true;
            look.text = result == u"W" ? kWinText : kLossText;
        }
    }
    if ((option.state & QStyle::State_Selected) != 0) {
        look.background = option.palette.color(QPalette::Highlight);
        look.text = option.palette.color(QPalette::HighlightedText);
    }
    return look;
}

void StatsCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const Look look = LookOf(option, index);
    painter->fillRect(option.rect, look.background);
    const QString text = index.data().toString();
    if (text.isEmpty()) {
        return;
    }
    QFont font = option.font;
    font.setBold(look.bold);
    const auto alignment = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
    const QRect room = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    painter->save();
    painter->setFont(font);
    painter->setPen(look.text);
    laid_.Draw(*painter, room, alignment, text, font,
               look.bold ? QStringLiteral("bold") : QStringLiteral("normal"));
    painter->restore();
}

QSize StatsCellDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    QFont font = option.font;
    font.setBold(LookOf(option, index).bold);
    const QFontMetrics metrics(font);
    return {metrics.horizontalAdvance(index.data().toString()) + 2 * kTextMargin + 2,
            metrics.height() + 6};
}

}  // namespace orvanrx
