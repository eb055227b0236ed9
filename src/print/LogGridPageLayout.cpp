#include "print/LogGridPageLayout.h"

#include <algorithm>

namespace orvanrx {

namespace {

const LogGridFont kFallbackFont{QStringLiteral("Tahoma"), 10, false};

LogGridFont RowFont(const LogGridSheet& sheet, const LogGridSheetRow& row) {
    const std::optional<LogGridStyle> style = sheet.StyleOf(row);
    return style && style->font.pointSize > 0 ? style->font : kFallbackFont;
}

LogGridFont HeadingFont(const LogGridSheet& sheet) {
    const std::optional<LogGridStyle> style = sheet.HeadingStyle();
    return style && style->font.pointSize > 0 ? style->font : kFallbackFont;
}

bool PairLineUnder(const LogGridSheet& sheet, const LogGridSheetRow& row) {
    const std::optional<LogGridStyle> style = sheet.StyleOf(row);
    return style && style->bottomBorder && style->bottomBorder->thicknessTwips > 0;
}

}  // namespace

LogGridFont PrintHeaderFont(const LogGridSheet& sheet) {
    return {HeadingFont(sheet).family, 9, false};
}

LogGridPageLayout LayOutLogGridPages(const LogGridSheet& sheet, double pageWidth, double pageHeight,
                                     const PrintFontMetrics& metrics) {
    LogGridPageLayout layout;
    const auto textWidth = [&](const QString& text, const LogGridFont& font) {
        return text.isEmpty() ? 0.0 : metrics.textWidth(text, font);
    };
    const LogGridFont headingFont = HeadingFont(sheet);
    const std::size_t columnCount = sheet.columns.size();
    const std::size_t rowCount = sheet.rows.size();

    // Columns: the grid's width, widened to the widest text.
    std::vector<double> columnWidths(columnCount);
    for (std::size_t c = 0; c < columnCount; ++c) {
        columnWidths[c] = std::max<double>(
            sheet.columns[c].widthTwips,
            textWidth(sheet.columns[c].caption, headingFont) + 2 * kPrintCellPaddingX);
    }
    double widestGroup = 0;
    layout.rowHeights.reserve(rowCount);
    for (const LogGridSheetRow& row : sheet.rows) {
        const LogGridFont font = RowFont(sheet, row);
        layout.rowHeights.push_back(metrics.lineHeight(font) + 2 * kPrintCellPaddingY);
        if (row.kind == LogGridRowKind::GroupHeader) {
            widestGroup = std::max(widestGroup,
                                   textWidth(row.groupText + QStringLiteral(" (continued)"), font));
            continue;
        }
        for (std::size_t c = 0; c < columnCount && c < row.cells.size(); ++c) {
            columnWidths[c] = std::max(columnWidths[c],
                                       textWidth(row.cells[c].text, font) + 2 * kPrintCellPaddingX);
        }
    }
    double tableWidth = 0;
    layout.columnLeft.reserve(columnCount + 1);
    for (const double width : columnWidths) {
        layout.columnLeft.push_back(tableWidth);
        tableWidth += width;
    }
    // A group header spans the table; a table too narrow for one is widened at its right.
    tableWidth = std::max(tableWidth, widestGroup + 2 * kPrintCellPaddingX);
    layout.columnLeft.push_back(tableWidth);

    layout.scale = tableWidth > pageWidth && tableWidth > 0 ? pageWidth / tableWidth : 1.0;
    layout.headerHeight = metrics.lineHeight(PrintHeaderFont(sheet)) + kPrintHeaderGap;
    layout.headingHeight = metrics.lineHeight(headingFont) + 2 * kPrintCellPaddingY;
    const double room = (pageHeight - layout.headerHeight) / layout.scale - layout.headingHeight;

    // Where a page may end: after a race's pair line, before a group header, at the end. A
    // grid without pair lines may end a page after any data row.
    std::vector<int> groupOf(rowCount, -1);
    bool anyPairLine = false;
    int group = -1;
    for (std::size_t r = 0; r < rowCount; ++r) {
        if (sheet.rows[r].kind == LogGridRowKind::GroupHeader) {
            group = static_cast<int>(r);
        } else {
            groupOf[r] = group;
            anyPairLine = anyPairLine || PairLineUnder(sheet, sheet.rows[r]);
        }
    }
    const auto mayEndAfter = [&](std::size_t r) {
        if (sheet.rows[r].kind == LogGridRowKind::GroupHeader) {
            return false;
        }
        return r + 1 == rowCount || sheet.rows[r + 1].kind == LogGridRowKind::GroupHeader ||
               !anyPairLine || PairLineUnder(sheet, sheet.rows[r]);
    };

    std::size_t start = 0;
    do {
        LogGridPage page;
        page.firstRow = static_cast<int>(start);
        double used = 0;
        if (start < rowCount && sheet.rows[start].kind == LogGridRowKind::Data &&
            groupOf[start] >= 0) {
            page.continuedGroup = groupOf[start];
            used += layout.rowHeights[static_cast<std::size_t>(groupOf[start])];
        }
        std::size_t end = start;
        std::size_t lastGoodEnd = start;  // rows start..lastGoodEnd-1 end at a good place
        while (end < rowCount) {
            // The first row of a page is placed even if it is taller than the page.
            if (end > start && used + layout.rowHeights[end] > room) {
                break;
            }
            used += layout.rowHeights[end];
            if (mayEndAfter(end)) {
                lastGoodEnd = end + 1;
            }
            ++end;
        }
        if (end < rowCount) {
            if (lastGoodEnd > start) {
                end = lastGoodEnd;
            } else if (end - start > 1 && sheet.rows[end - 1].kind == LogGridRowKind::GroupHeader) {
                --end;  // no good place on the page: at least keep a header with its rows
            }
        }
        page.endRow = static_cast<int>(end);
        layout.pages.push_back(page);
        start = end;
    } while (start < rowCount);
    return layout;
}

}  // namespace orvanrx
