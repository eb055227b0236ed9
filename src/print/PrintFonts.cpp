#include "print/PrintFonts.h"

#include <algorithm>

namespace orvanrx {

namespace {

// Latin letters, digits and signs below the combining marks: each character is one glyph set
// after the one before. Other scripts and combining marks need shaping (joined forms, marks
// placed over their letter), which QPainter::drawText does.
bool OneGlyphPerCharacter(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.unicode() < 0x0300 && c.isPrint(); });
}

}  // namespace

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

const TextGlyphs& PrintFonts::Glyphs(Face& face, const QString& text) {
    const auto found = face.texts.constFind(text);
    if (found != face.texts.cend()) {
        return *found;
    }
    TextGlyphs shaped;
    shaped.complete = face.raw.isValid() && OneGlyphPerCharacter(text);
    if (shaped.complete) {
        shaped.glyphs = face.raw.glyphIndexesForString(text);
        shaped.complete = shaped.glyphs.size() == text.size();
        for (qsizetype i = 0; i < shaped.glyphs.size() && shaped.complete; ++i) {
            shaped.complete = shaped.glyphs[i] != 0 || text.at(i).isSpace();
        }
    }
    if (shaped.complete) {
        const QList<QPointF> advances =
            face.raw.advancesForGlyphIndexes(shaped.glyphs, QRawFont::UseDesignMetrics);
        shaped.offsets.reserve(advances.size());
        for (const QPointF& advance : advances) {
            shaped.offsets.push_back(shaped.width);
            shaped.width += advance.x();
        }
    }
    if (!shaped.complete) {
        shaped.glyphs.clear();
        shaped.offsets.clear();
        shaped.width = face.metrics.horizontalAdvance(text);
    }
    return *face.texts.insert(text, shaped);
}

PrintFontMetrics PrintFonts::Measure() {
    return {[this](const QString& text, const LogGridFont& font) {
                return text.isEmpty() ? 0.0 : Glyphs(FaceOf(font), text).width;
            },
            [this](const LogGridFont& font) { return FaceOf(font).metrics.height(); }};
}

}  // namespace orvanrx
