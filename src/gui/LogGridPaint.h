#pragma once

#include <QBrush>
#include <QFont>
#include <QRect>

#include "views/LogGridStyle.h"

class QPainter;

namespace orvanrx {

// The log grid's plain style values as the desktop draws them.

// The face by family name with a style hint, so a system without it substitutes a close one;
// its size times `scale` (the racer's text size: 1 for the grid's own sizes).
QFont GridFont(const LogGridFont& font, double scale = 1.0);
// The style's background over `rect`: its gradient from top to bottom, its solid colour, or
// nothing (Qt::NoBrush) for the view's own base.
QBrush GridBackground(const LogGridStyle& style, const QRect& rect);
// The style's bottom border along the bottom edge of `rect`, `pixels` thick (at least one).
void PaintBottomBorder(QPainter& painter, const LogGridStyle& style, const QRect& rect, int pixels);

}  // namespace orvanrx
