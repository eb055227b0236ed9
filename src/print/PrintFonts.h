#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <memory>
#include <vector>

#include "print/LogGridPageLayout.h"
#include "views/LogGridStyle.h"

namespace orvanrx {

// A grid font for drawing in twips: its size is given in twips as pixels, so it scales with the
// painter like every other length. A sans-serif style hint lets a system without the face take
// a close one; no hinting, so the widths measured for the layout are the widths drawn at any
// resolution.
QFont TwipsFont(const LogGridFont& font);

// A cell text as glyphs of one font, laid out once and drawn as often as it occurs.
struct TextGlyphs {
    QList<quint32> glyphs;
    QList<double> offsets;  // each glyph's x from the text's start
    double width = 0;
    // False when the text needs shaping or the font lacks a glyph: the text is then drawn
    // with QPainter::drawText, which shapes it and finds another font where needed.
    bool complete = true;
};

// The fonts of a printed log: metrics and the glyphs of every text, each text shaped once.
class PrintFonts {
public:
    struct Face {
        QFont font;
        QRawFont raw;
        QFontMetricsF metrics{QFont()};
        QHash<QString, TextGlyphs> texts;
    };

    Face& FaceOf(const LogGridFont& font);
    const TextGlyphs& Glyphs(Face& face, const QString& text);

    // Widths and line heights for LayOutLogGridPages, from the same glyphs that are drawn.
    PrintFontMetrics Measure();

private:
    struct Entry {
        LogGridFont key;
        std::unique_ptr<Face> face;
    };
    std::vector<Entry> faces_;
    Face* last_ = nullptr;
    LogGridFont lastKey_;
};

}  // namespace orvanrx
