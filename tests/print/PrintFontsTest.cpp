#include <gtest/gtest.h>

#include <QFontMetricsF>

#include "print/PrintFonts.h"

namespace orvanrx {
namespace {

struct GlyphCase {
    const char16_t* text;
    bool drawnAsGlyphs;  // false: left to QPainter::drawText
};

// Plain Latin texts go out as glyphs measured once; anything that needs shaping does not.
TEST(PrintFontsTest, PlainLatinTextsBecomeGlyphsOthersAreLeftToTheTextEngine) {
    const GlyphCase cases[] = {
        {u"TINA MITCHELL", true},
        {u"9.534", true},
        {u"-0.0870", true},
        {u"Zoë O'Brien & Søren", true},
        {u"", true},
        {u"e\u0301", false},                         // a combining accent
        {u"\u0645\u0631\u062D\u0628\u0627", false},  // Arabic letters join
        {u"a\tb", false},
        {u"\U0001F3C1", false},  // outside the basic plane: two code units
    };
    PrintFonts fonts;
    for (const LogGridFont& font : {LogGridFont{QStringLiteral("Tahoma"), 10, false},
                                    LogGridFont{QStringLiteral("Tahoma"), 9, true}}) {
        PrintFonts::Face& face = fonts.FaceOf(font);
        for (const GlyphCase& c : cases) {
            const QString text = QString::fromUtf16(c.text);
            const TextGlyphs& glyphs = fonts.Glyphs(face, text);
            EXPECT_EQ(glyphs.complete, c.drawnAsGlyphs) << text.toStdString();
            // The width drawn is the width the text engine gives (kerning aside).
            const double expected = face.metrics.horizontalAdvance(text);
            EXPECT_NEAR(glyphs.width, expected, 0.03 * expected + 1e-9) << text.toStdString();
            if (!glyphs.complete) {
                EXPECT_TRUE(glyphs.glyphs.isEmpty());
                continue;
            }
            ASSERT_EQ(glyphs.glyphs.size(), text.size());
            ASSERT_EQ(glyphs.offsets.size(), text.size());
            for (qsizetype i = 1; i < glyphs.offsets.size(); ++i) {
                EXPECT_GT(glyphs.offsets[i], glyphs.offsets[i - 1]) << text.toStdString();
            }
        }
    }
}

TEST(PrintFontsTest, SizesAreTwentyTwipsAPointWhateverTheFace) {
    PrintFonts fonts;
    const PrintFontMetrics measure = fonts.Measure();
    const LogGridFont small{QStringLiteral("Tahoma"), 9, false};
    const LogGridFont large{QStringLiteral("Tahoma"), 18, false};
    const LogGridFont unnamed{QString(), 9, false};
    EXPECT_EQ(fonts.FaceOf(small).font.pixelSize(), 180);
    EXPECT_EQ(fonts.FaceOf(unnamed).font.pixelSize(), 180);
    EXPECT_NEAR(measure.lineHeight(large), 2 * measure.lineHeight(small),
                0.05 * measure.lineHeight(large));
    EXPECT_NEAR(measure.textWidth(QStringLiteral("8.888"), large),
                2 * measure.textWidth(QStringLiteral("8.888"), small),
                0.05 * measure.textWidth(QStringLiteral("8.888"), large));
    EXPECT_GT(measure.textWidth(QStringLiteral("WIN"), {QStringLiteral("Tahoma"), 9, true}),
              measure.textWidth(QStringLiteral("WIN"), small));
    EXPECT_EQ(measure.textWidth(QString(), large), 0.0);
}

}  // namespace
}  // namespace orvanrx
