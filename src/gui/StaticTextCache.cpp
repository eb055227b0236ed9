#include "gui/StaticTextCache.h"

#include <QFontMetrics>
#include <QPainter>

namespace orvanrx {

const QStaticText& StaticTextCache::Laid(const QString& text, const QFont& font,
                                         const QString& fontKey) {
    const QString key = fontKey + QChar(0x1F) + text;
    auto found = laid_.find(key);
    if (found == laid_.end()) {
        if (laid_.size() >= most_) {
            laid_.clear();
        }
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        laid.setPerformanceHint(QStaticText::AggressiveCaching);
        laid.prepare(QTransform(), font);
        found = laid_.insert(key, laid);
    }
    return *found;
}

void StaticTextCache::Draw(QPainter& painter, const QRect& room, Qt::Alignment alignment,
                           const QString& text, const QFont& font, const QString& fontKey) {
    const QStaticText& laid = Laid(text, font, fontKey);
    const QSizeF size = laid.size();
    if (size.width() > room.width()) {
        painter.drawText(room, static_cast<int>(alignment),
                         QFontMetrics(font).elidedText(text, Qt::ElideRight, room.width()));
        return;
    }
    qreal x = room.left();
    if (alignment & Qt::AlignHCenter) {
        x += (room.width() - size.width()) / 2;
    } else if (alignment & Qt::AlignRight) {
        x += room.width() - size.width();
    }
    painter.drawStaticText(QPointF(x, room.top() + (room.height() - size.height()) / 2), laid);
}

}  // namespace orvanrx
