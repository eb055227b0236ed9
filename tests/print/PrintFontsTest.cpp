#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <cmath>

#include "print/PrintFonts.h"

namespace orvanrx {
namespace {

struct GlyphCase {
    const char16_t* text;
    bool drawnAsGlyphs;  // false: left to QPainter::drawText
};

// Plain Latin texts go out as glyphs from the character table; anything that needs shaping
// does not.
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
            // Asked twice: the character table is filled by the first.
            for (int pass = 0; pass < 2; ++pass) {
                QList<quint32> glyphs{7};
                QList<QPointF> positions{QPointF(1, 1)};
                const bool plain = fonts.AppendGlyphs(face, text, 100.4, 250, glyphs, positions);
                EXPECT_EQ(plain, c.drawnAsGlyphs) << text.toStdString();
                EXPECT_EQ(fonts.IsPlain(face, text), c.drawnAsGlyphs) << text.toStdString();
                // The width drawn is the width the text engine gives (kerning aside).
                const double width = fonts.TextWidth(face, text);
                const double expected = face.metrics.horizontalAdvance(text);
                EXPECT_NEAR(width, expected, 0.03 * expected + 1e-9) << text.toStdString();
                if (!plain) {
                    EXPECT_EQ(glyphs.size(), 1);  // nothing appended
                    EXPECT_EQ(positions.size(), 1);
                    continue;
                }
                ASSERT_EQ(glyphs.size(), text.size() + 1);
                ASSERT_EQ(positions.size(), text.size() + 1);
                if (text.isEmpty()) {
                    continue;
                }
                EXPECT_EQ(positions[1], QPointF(100, 250)) << text.toStdString();
                for (qsizetype i = 2; i < positions.size(); ++i) {
                    EXPECT_GT(positions[i].x(), positions[i - 1].x()) << text.toStdString();
                    EXPECT_EQ(positions[i].x(), std::round(positions[i].x()));
                }
                // The glyphs end where the width says.
                const double lastAdvance = fonts.TextWidth(face, text.right(1));
                EXPECT_NEAR(positions.back().x() + lastAdvance, 100.4 + width, 0.51)
                    << text.toStdString();
            }
        }
    }
}

// The faces asked for by name come out as their stand-ins where the system lacks them, in
// the printed pages as in the windows.
TEST(PrintFontsTest, NamedFacesTakeTheirStandInsWhereMissing) {
    const QStringList families = QFontDatabase::families();
    for (const auto& [asked, standIn] :
         {std::pair{"Tahoma", "Liberation Sans"}, std::pair{"MS Sans Serif", "Liberation Sans"},
          std::pair{"Courier New", "Liberation Mono"}}) {
        if (families.contains(QString::fromLatin1(asked)) ||
            !families.contains(QString::fromLatin1(standIn))) {
            continue;  // the face itself is there, or its stand-in is not
        }
        const QFont font = TwipsFont({QString::fromLatin1(asked), 9, false});
        EXPECT_EQ(QFontInfo(font).family(), QString::fromLatin1(standIn)) << asked;
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
    // Bold is wider (in Liberation Sans, as in Arial, only in some letters: not in "WIN").
    EXPECT_GT(measure.textWidth(QStringLiteral("Bright"), {QStringLiteral("Tahoma"), 9, true}),
              measure.textWidth(QStringLiteral("Bright"), small));
    EXPECT_EQ(measure.textWidth(QString(), large), 0.0);
}

}  // namespace
}  // namespace orvanrx
