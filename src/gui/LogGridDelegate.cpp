#include "gui/LogGridDelegate.h"

#include <QApplication>
#include <QDrag>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cmath>

#include "gui/ColorValue.h"
#include "gui/GroupByArea.h"
#include "gui/LogGridPaint.h"
#include "gui/LogGridView.h"
#include "gui/StaticTextCache.h"
#include "gui/Twips.h"
#include "views/LogGridColumns.h"
#include "views/LogGridModel.h"

namespace orvanrx {

std::optional<LogGridStyle> StyleAt(const QModelIndex& index) {
    const QVariant style = index.data(LogGridModel::StyleRole);
    if (!style.isValid()) {
        return std::nullopt;
    }
    return style.value<LogGridStyle>();
}

bool IsGroupHeader(const QModelIndex& index) {
    return index.data(LogGridModel::RowKindRole).toInt() ==
           static_cast<int>(LogGridRowKind::GroupHeader);
}

namespace {

// Draws each cell in its row's style: the face, the alignment, a solid background over the
// row colour, and the style's bottom border (the pair line). Group headers have their
// background painted across the whole row by the view. Texts are laid out once and kept
// (QStaticText): a reload mostly shows the same texts again, and laying out text is most of
// what drawing a grid costs.
class LogGridDelegate final : public QStyledItemDelegate {
public:
    static constexpr int kTextMargin = 4;
    static constexpr qsizetype kMaxKeptTexts = 8192;

    explicit LogGridDelegate(LogGridView* view) : QStyledItemDelegate(view), view_(*view) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const std::optional<LogGridStyle> style = StyleAt(index);
        const QFont font = style ? FontFor(style->font) : option.font;
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        if (selected) {
            painter->fillRect(option.rect, option.palette.brush(QPalette::Highlight));
        } else if (!style || !IsGroupHeader(index)) {
            const QBrush background = style ? GridBackground(*style, option.rect) : QBrush();
            painter->fillRect(option.rect,
                              background.style() == Qt::NoBrush ? QBrush(Qt::white) : background);
        }
        const QString text = index.data(LogGridModel::TextRole).toString();
        if (!text.isEmpty()) {
            const Qt::Alignment alignment =
                Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
            const QRect room = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
            painter->setFont(font);
            painter->setPen(selected ? option.palette.color(QPalette::HighlightedText)
                                     : QColor(Qt::black));
            laid_.Draw(*painter, room, alignment, text, font, lastFontKey_);
        }
        if (style && style->bottomBorder) {
            PaintBottomBorder(*painter, *style, option.rect,
                              TwipsToPixels(view_, style->bottomBorder->thicknessTwips));
        }
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (const std::optional<LogGridStyle> style = StyleAt(index)) {
            size.setHeight(QFontMetrics(view_.ShownFont(style->font)).height() + 6);
        }
        return size;
    }

private:
    QFont FontFor(const LogGridFont& font) const {
        if (!(font == lastFont_) || lastScale_ != view_.TextScale()) {
            lastFont_ = font;
            lastScale_ = view_.TextScale();
            lastQFont_ = view_.ShownFont(font);
            lastFontKey_ = lastQFont_.key();
        }
        return lastQFont_;
    }

    const LogGridView& view_;
    mutable LogGridFont lastFont_;
    mutable double lastScale_ = 1.0;
    mutable QFont lastQFont_;
    mutable QString lastFontKey_;
    mutable StaticTextCache laid_{kMaxKeptTexts};
};

// The headings in the "Heading" style. A heading dragged up out of the headings carries its
// column key to the group-by area.
class LogGridHeader final : public QHeaderView {
public:
    static constexpr int kResizeZone = 5;

    explicit LogGridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
        setSectionsClickable(true);
        setHighlightSections(false);
        setDefaultAlignment(Qt::AlignCenter);
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int section) const override {
        const QVariant styleData =
            model()->headerData(section, orientation(), LogGridModel::StyleRole);
        if (!styleData.isValid()) {
            QHeaderView::paintSection(painter, rect, section);
            return;
        }
        const LogGridStyle style = styleData.value<LogGridStyle>();
        painter->save();
        painter->fillRect(rect, GridBackground(style, rect));
        painter->setPen(QColor(110, 140, 190));
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->setPen(Qt::black);
        painter->setFont(View().ShownFont(style.font));
        QString caption = model()->headerData(section, orientation()).toString();
        if (isSortIndicatorShown() && sortIndicatorSection() == section) {
            caption += sortIndicatorOrder() == Qt::AscendingOrder ? QStringLiteral(" \u25B2")
                                                                  : QStringLiteral(" \u25BC");
        }
        painter->drawText(
            rect.adjusted(3, 0, -3, 0), static_cast<int>(style.alignment),
            painter->fontMetrics().elidedText(caption, Qt::ElideRight, rect.width() - 6));
        painter->restore();
    }

    QSize sizeHint() const override {
        QSize size = QHeaderView::sizeHint();
        if (model() != nullptr) {
            const QVariant styleData =
                model()->headerData(0, orientation(), LogGridModel::StyleRole);
            if (styleData.isValid()) {
                size.setHeight(
                    QFontMetrics(View().ShownFont(styleData.value<LogGridStyle>().font)).height() +
                    10);
            }
        }
        return size;
    }

    const LogGridView& View() const { return *static_cast<const LogGridView*>(parentWidget()); }

    void mousePressEvent(QMouseEvent* event) override {
        pressed_ = -1;
        if (event->button() == Qt::LeftButton) {
            const int section = logicalIndexAt(event->position().toPoint());
            const int x = event->position().toPoint().x();
            if (section >= 0) {
                const int left = sectionViewportPosition(section);
                const int right = left + sectionSize(section);
                if (x - left > kResizeZone && right - x > kResizeZone) {
                    pressed_ = section;
                    pressAt_ = event->position().toPoint();
                }
            }
        }
        QHeaderView::mousePressEvent(event);
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        if (pressed_ >= 0 && (event->buttons() & Qt::LeftButton) && at.y() < 0 &&
            (at - pressAt_).manhattanLength() >= QApplication::startDragDistance()) {
            const int section = pressed_;
            pressed_ = -1;
            auto* mime = new QMimeData;
            mime->setData(QString::fromLatin1(kColumnMimeType),
                          model()
                              ->headerData(section, orientation(), LogGridModel::ColumnKeyRole)
                              .toString()
                              .toUtf8());
            mime->setText(model()->headerData(section, orientation()).toString());
            auto* drag = new QDrag(this);
            drag->setMimeData(mime);
            drag->exec(Qt::CopyAction);
            return;
        }
        QHeaderView::mouseMoveEvent(event);
    }

private:
    int pressed_ = -1;
    QPoint pressAt_;
};

}  // namespace

QStyledItemDelegate* NewLogGridDelegate(LogGridView* view) {
    return new LogGridDelegate(view);
}

QHeaderView* NewLogGridHeader(LogGridView* view) {
    return new LogGridHeader(view);
}

}  // namespace orvanrx
