#include "gui/LogGridPaint.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

#include "gui/ColorValue.h"

namespace orvanrx {

QFont GridFont(const LogGridFont& font, double scale) {
    QFont face(font.family, font.pointSize > 0 ? font.pointSize : -1,
               font.bold ? QFont::Bold : QFont::Normal);
    face.setStyleHint(QFont::SansSerif);
    if (scale > 0 && scale != 1.0 && face.pointSizeF() > 0) {
        face.setPointSizeF(face.pointSizeF() * scale);
    }
    return face;
}

QBrush GridBackground(const LogGridStyle& style, const QRect& rect) {
    if (style.gradient) {
        QLinearGradient blend(rect.topLeft(), rect.bottomLeft());
        blend.setColorAt(0.0, ColorForValue(style.gradient->top, {}));
        blend.setColorAt(1.0, ColorForValue(style.gradient->bottom, {}));
        return QBrush(blend);
    }
    if (style.background) {
        return QBrush(ColorForValue(*style.background, {}));
    }
    return Qt::NoBrush;
}

void PaintBottomBorder(QPainter& painter, const LogGridStyle& style, const QRect& rect,
                       int pixels) {
    if (!style.bottomBorder) {
        return;
    }
    const int thickness = std::max(1, pixels);
    painter.fillRect(QRect(rect.left(), rect.bottom() - thickness + 1, rect.width(), thickness),
                     ColorForValue(style.bottomBorder->color, {}));
}

}  // namespace orvanrx
