#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <QStringView>
#include <array>
#include <memory>
#include <vector>

#include "print/LogGridPageLayout.h"
#include "views/LogGridStyle.h"

namespace orvanrx {

// The faces the windows and the printed pages ask for by name, where the system lacks them:
// Liberation Mono has the metrics of "Courier New"; Liberation Sans is close to "Tahoma" and
// "MS Sans Serif". For the whole program (Qt keeps font substitutions per process): the desktop
// program sets them at start, orvanrx-cli before an export.
void UseFaceStandIns();

// A grid font for drawing in twips: its size is given in twips as pixels, so it scales with the
// painter like every other length. A sans-serif style hint lets a system without the face take
// a close one; no hinting, so the widths measured for the layout are the widths drawn at any
// resolution.
QFont TwipsFont(const LogGridFont& font);

// The fonts of a printed log: metrics, and each face's glyphs for the plain Latin characters.
// A cell text of such characters is one glyph per character, each set after the one before;
// its glyphs and widths come from a per-character table, so a page of numbers is laid out
// without shaping or looking texts up. Any other text (other scripts, combining marks, a
// character the face lacks) is left to QPainter::drawText, which shapes it and finds another
// font where needed.
class PrintFonts {
public:
    struct Face {
        QFont font;
        QRawFont raw;
        QFontMetricsF metrics{QFont()};

        // The plain Latin characters, each looked up in the font at its first use.
        struct CharGlyph {
            enum class State : quint8 { Unknown, Plain, NeedsTextEngine };
            State state = State::Unknown;
            quint32 glyph = 0;
            double advance = 0;
        };
        static constexpr char16_t kPlainEnd = 0x0300;  // the combining marks start here
        std::array<CharGlyph, kPlainEnd> chars{};
        QHash<QString, double> shapedWidths;  // texts left to the text engine
    };

    Face& FaceOf(const LogGridFont& font);

    // True when `text` is drawn as the face's glyphs, one per character.
    bool IsPlain(Face& face, QStringView text);
    // The width `text` takes in `face`, in twips.
    double TextWidth(Face& face, const QString& text);
    // Appends the glyphs of a plain text (see IsPlain) started at `x` on `baseline`, each on
    // whole twips: a PDF then holds short whole numbers for the positions. Appends nothing and
    // gives false for any other text.
    bool AppendGlyphs(Face& face, QStringView text, double x, double baseline,
                      QList<quint32>& glyphs, QList<QPointF>& positions);

    // Widths and line heights for LayOutLogGridPages, from the same glyphs that are drawn.
    PrintFontMetrics Measure();

private:
    const Face::CharGlyph& CharOf(Face& face, QChar c);

    struct Entry {
        LogGridFont key;
        std::unique_ptr<Face> face;
    };
    std::vector<Entry> faces_;
    Face* last_ = nullptr;
    LogGridFont lastKey_;
};

}  // namespace orvanrx
