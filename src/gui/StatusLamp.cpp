#include "gui/StatusLamp.h"

#include <QPainter>

#include "gui/ColorValue.h"

namespace orvanrx {

StatusLamp::StatusLamp(const QString& name, const QString& toolTip, int litValue, int darkValue,
                       QWidget* parent)
    : QWidget(parent), litValue_(litValue), darkValue_(darkValue) {
    setObjectName(name);
    setToolTip(toolTip);
    setAccessibleName(toolTip);
    setAccessibleDescription(QStringLiteral("Dark"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void StatusLamp::SetLit(bool lit) {
    if (lit != lit_) {
        lit_ = lit;
        setAccessibleDescription(lit ? QStringLiteral("Lit") : QStringLiteral("Dark"));
        update();
    }
}

QSize StatusLamp::sizeHint() const {
    const int h = fontMetrics().height();
    return {h + h / 2, h - 2};
}

void StatusLamp::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor color = ColorForValue(ColorValue(), palette());
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(palette().color(QPalette::Shadow), 1));
    painter.setBrush(color);
    painter.drawRoundedRect(box, 2, 2);
    if (lit_) {
        // A soft highlight on the upper half, so a lit lamp reads as a light.
        QColor shine(255, 255, 255, 90);
        painter.setPen(Qt::NoPen);
        painter.setBrush(shine);
        painter.drawRoundedRect(box.adjusted(2, 1.5, -2, -box.height() / 2), 1.5, 1.5);
    }
}

}  // namespace orvanrx
