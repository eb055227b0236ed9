#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "views/LogGridSheet.h"

namespace orvanrx {

// The pages of a printed log grid, worked out before anything is painted. All lengths are
// twips. The table is laid out at its natural size (the heading row, then the rows); when it
// is wider than the page it is drawn scaled down to the page's width, so nothing is cut off.

// Text sizes in twips for a grid font (QFontMetricsF in the printer; a fixed rule in tests).
struct PrintFontMetrics {
    std::function<double(const QString& text, const LogGridFont& font)> textWidth;
    std::function<double(const LogGridFont& font)> lineHeight;
};

// The room around a cell's text.
inline constexpr int kPrintCellPaddingX = 70;
inline constexpr int kPrintCellPaddingY = 40;
// The page header above the table: its line of text and the gap under it.
inline constexpr int kPrintHeaderGap = 160;

// The font of the page header (title, date, page number).
LogGridFont PrintHeaderFont(const LogGridSheet& sheet);

struct LogGridPage {
    int firstRow = 0;  // sheet rows firstRow..endRow-1 are on the page
    int endRow = 0;
    // The page starts inside a group: the group header row to repeat at its top, else -1.
    int continuedGroup = -1;
};

struct LogGridPageLayout {
    double scale = 1;                // table twips to page twips (at most 1)
    std::vector<double> columnLeft;  // per sheet column, then the table's right edge
    double headerHeight = 0;         // the page header band, unscaled
    double headingHeight = 0;        // the heading row, table twips
    std::vector<double> rowHeights;  // per sheet row, table twips
    std::vector<LogGridPage> pages;  // one at least, even without rows

    double TableWidth() const { return columnLeft.empty() ? 0 : columnLeft.back(); }
};

// Lays `sheet` out on pages whose printable area is `pageWidth` by `pageHeight` twips. Each
// column is as wide as the grid's width or its widest text (caption or cell), whichever is
// more. A page holds the heading row and as many rows as fit; where it can, a page ends after
// a race's pair line or before a group header, never right after a group header. A page that
// starts inside a group repeats that group's header row, marked "(continued)".
LogGridPageLayout LayOutLogGridPages(const LogGridSheet& sheet, double pageWidth, double pageHeight,
                                     const PrintFontMetrics& metrics);

}  // namespace orvanrx
