#include "print/PrintFonts.h"

#include <algorithm>
#include <cmath>

namespace orvanrx {

void UseFaceStandIns() {
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono")});
    for (const QString& family : {QStringLiteral("Tahoma"), QStringLiteral("MS Sans Serif")}) {
        QFont::insertSubstitutions(family, {QStringLiteral("Liberation Sans")});
    }
}

QFont TwipsFont(const LogGridFont& font) {
    QFont qfont(font.family.isEmpty() ? QStringLiteral("Tahoma") : font.family);
    qfont.setStyleHint(QFont::SansSerif);
    qfont.setPixelSize(std::max(1, font.pointSize * 20));
    qfont.setBold(font.bold);
    qfont.setHintingPreference(QFont::PreferNoHinting);
    return qfont;
}

PrintFonts::Face& PrintFonts::FaceOf(const LogGridFont& font) {
    // Rows ask for the same font again and again.
    if (last_ && lastKey_ == font) {
        return *last_;
    }
    auto found = std::find_if(faces_.begin(), faces_.end(),
                              [&](const Entry& entry) { return entry.key == font; });
    if (found == faces_.end()) {
        auto face = std::make_unique<Face>();
        face->font = TwipsFont(font);
        face->raw = QRawFont::fromFont(face->font);
        face->metrics = QFontMetricsF(face->font);
        faces_.push_back({font, std::move(face)});
        found = std::prev(faces_.end());
    }
    last_ = found->face.get();
    lastKey_ = font;
    return *last_;
}

const PrintFonts::Face::CharGlyph& PrintFonts::CharOf(Face& face, QChar c) {
    static const Face::CharGlyph kOutside{Face::CharGlyph::State::NeedsTextEngine, 0, 0};
    if (c.unicode() >= Face::kPlainEnd) {
        return kOutside;
    }
    Face::CharGlyph& entry = face.chars[c.unicode()];
    if (entry.state != Face::CharGlyph::State::Unknown) {
        return entry;
    }
    entry.state = Face::CharGlyph::State::NeedsTextEngine;
    if (!face.raw.isValid() || !c.isPrint()) {
        return entry;
    }
    const QList<quint32> glyphs = face.raw.glyphIndexesForString(QString(c));
    if (glyphs.size() != 1 || (glyphs[0] == 0 && !c.isSpace())) {
        return entry;
    }
    const QList<QPointF> advances =
        face.raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
    entry.glyph = glyphs[0];
    entry.advance = advances.isEmpty() ? 0 : advances[0].x();
    entry.state = Face::CharGlyph::State::Plain;
    return entry;
}

bool PrintFonts::IsPlain(Face& face, QStringView text) {
    return std::all_of(text.cbegin(), text.cend(), [&](QChar c) {
        return CharOf(face, c).state == Face::CharGlyph::State::Plain;
    });
}

double PrintFonts::TextWidth(Face& face, const QString& text) {
    double width = 0;
    for (const QChar c : text) {
        const Face::CharGlyph& glyph = CharOf(face, c);
        if (glyph.state != Face::CharGlyph::State::Plain) {
            const auto found = face.shapedWidths.constFind(text);
            if (found != face.shapedWidths.cend()) {
                return *found;
            }
            return *face.shapedWidths.insert(text, face.metrics.horizontalAdvance(text));
        }
        width += glyph.advance;
    }
    return width;
}

bool PrintFonts::AppendGlyphs(Face& face, QStringView text, double x, double baseline,
                              QList<quint32>& glyphs, QList<QPointF>& positions) {
    if (!IsPlain(face, text)) {
        return false;
    }
    for (const QChar c : text) {
        const Face::CharGlyph& glyph = face.chars[c.unicode()];
        glyphs.append(glyph.glyph);
        positions.append(QPointF(std::round(x), baseline));
        x += glyph.advance;
    }
    return true;
}

PrintFontMetrics PrintFonts::Measure() {
    return {[this](const QString& text, const LogGridFont& font) {
                return text.isEmpty() ? 0.0 : TextWidth(FaceOf(font), text);
            },
            [this](const LogGridFont& font) { return FaceOf(font).metrics.height(); }};
}

}  // namespace orvanrx
