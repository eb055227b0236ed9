#include "gui/DialogKit.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvanrx {

namespace {

QFont Face(const char* family, int pointSize, QFont::StyleHint hint) {
    QFont font(QString::fromLatin1(family), pointSize);
    font.setStyleHint(hint);
    return font;
}

// A blank transparent pixmap of `side` logical pixels and a painter on it, in logical units.
QPixmap BlankPixmap(int side, qreal devicePixelRatio) {
    QPixmap pixmap(QSize(side, side) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

}  // namespace

QLabel* NamedLabel(const char* objectName, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    return label;
}

QPushButton* NamedButton(const char* objectName, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

QHBoxLayout* ButtonRow(QPushButton* first, QPushButton* second) {
    first->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(first);
    row->addWidget(second);
    return row;
}

void CentreOnScreen(QWidget& dialog) {
    const QWidget* parent = dialog.parentWidget();
    const QScreen* screen = parent != nullptr ? parent->screen() : dialog.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->geometry();
    dialog.move(area.left() + (area.width() - dialog.width()) / 2,
                area.top() + (area.height() - dialog.height()) / 2);
}

QFont SansSerifFont(int pointSize) {
    return Face("MS Sans Serif", pointSize, QFont::SansSerif);
}

QFont TahomaFont(int pointSize) {
    return Face("Tahoma", pointSize, QFont::SansSerif);
}

QFont MonospaceFont(int pointSize) {
    return Face("Courier New", pointSize, QFont::TypeWriter);
}

QPixmap ChequeredFlagPixmap(int side, qreal devicePixelRatio) {
    QPixmap pixmap = BlankPixmap(side, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = side;

    // The pole.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(90, 90, 90));
    painter.drawRoundedRect(QRectF(0.10 * s, 0.08 * s, 0.06 * s, 0.86 * s), 0.02 * s, 0.02 * s);

    // The cloth: a grid of squares whose rows follow a sine wave, clipped to the wavy outline.
    constexpr int kColumns = 6;
    constexpr int kRows = 4;
    const qreal left = 0.16 * s;
    const qreal width = 0.78 * s;
    const qreal top = 0.12 * s;
    const qreal height = 0.48 * s;
    const auto wave = [&](qreal x) {
        return 0.05 * s * std::sin((x - left) / width * 2.0 * std::numbers::pi);
    };
    const qreal cell = width / kColumns;
    const qreal rowHeight = height / kRows;
    QPainterPath outline;
    outline.moveTo(left, top);
    for (int i = 1; i <= 24; ++i) {
        const qreal x = left + width * i / 24;
        outline.lineTo(x, top + wave(x));
    }
    for (int i = 24; i >= 0; --i) {
        const qreal x = left + width * i / 24;
        outline.lineTo(x, top + height + wave(x));
    }
    outline.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(outline);
    painter.setClipPath(outline);
    painter.setBrush(Qt::black);
    for (int column = 0; column < kColumns; ++column) {
        const qreal x0 = left + column * cell;
        for (int row = 0; row < kRows; ++row) {
            if ((row + column) % 2 == 0) {
                continue;
            }
            QPainterPath square;
            const qreal y0 = top + row * rowHeight;
            square.moveTo(x0, y0 + wave(x0));
            square.lineTo(x0 + cell, y0 + wave(x0 + cell));
            square.lineTo(x0 + cell, y0 + rowHeight + wave(x0 + cell));
            square.lineTo(x0, y0 + rowHeight + wave(x0));
            square.closeSubpath();
            painter.drawPath(square);
        }
    }
    painter.setClipping(false);
    painter.setPen(QPen(QColor(40, 40, 40), std::max(1.0, 0.02 * s)));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);
    return pixmap;
}

QPixmap AerialPixmap(int side, qreal devicePixelRatio) {
    QPixmap pixmap = BlankPixmap(side, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = side;
    const QPointF tip(0.5 * s, 0.34 * s);

    // The receiver box with its lamp, and the mast on top.
    painter.setPen(QPen(QColor(40, 40, 40), std::max(1.0, 0.03 * s)));
    painter.setBrush(QColor(70, 110, 170));
    painter.drawRoundedRect(QRectF(0.22 * s, 0.70 * s, 0.56 * s, 0.22 * s), 0.04 * s, 0.04 * s);
    painter.setBrush(QColor(0, 220, 0));
    painter.drawEllipse(QPointF(0.34 * s, 0.81 * s), 0.04 * s, 0.04 * s);
    painter.setPen(QPen(QColor(60, 60, 60), std::max(1.5, 0.05 * s), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(tip, QPointF(0.5 * s, 0.70 * s));
    painter.setBrush(QColor(200, 40, 40));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(tip, 0.05 * s, 0.05 * s);

    // Waves on either side of the tip.
    painter.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 3; ++i) {
        const qreal r = 0.1 * s * i;
        painter.setPen(QPen(QColor(40, 90, 200, 255 - 50 * i), std::max(1.0, 0.035 * s),
                            Qt::SolidLine, Qt::RoundCap));
        const QRectF box(tip.x() - r, tip.y() - r, 2 * r, 2 * r);
        painter.drawArc(box, -40 * 16, 80 * 16);
        painter.drawArc(box, 140 * 16, 80 * 16);
    }
    return pixmap;
}

}  // namespace orvanrx
