#include "print/LogGridPrint.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <cmath>
#include <memory>

#include "print/LogGridPageLayout.h"
#include "print/PrintFonts.h"

namespace orvanrx {

namespace {

// Lines drawn by the layout itself rather than by a style.
const QColor kGridLineColor(0xD5, 0xDD, 0xE8);
const QColor kHeadingLineColor(0x9F, 0xB7, 0xDA);
const QColor kHeaderTextColor(0x33, 0x33, 0x33);
constexpr double kGridLineTwips = 10;
constexpr double kHeaderRuleTwips = 15;

QColor ColorOf(int value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

struct PageArea {
    double width = 0;   // twips
    double height = 0;  // twips
    double dpiX = 1440;
    double dpiY = 1440;
};

PageArea AreaOf(QPagedPaintDevice& device) {
    device.setPageOrientation(QPageLayout::Landscape);
    PageArea area;
    area.dpiX = std::max(1, device.logicalDpiX());
    area.dpiY = std::max(1, device.logicalDpiY());
    area.width = device.width() * 1440.0 / area.dpiX;
    area.height = device.height() * 1440.0 / area.dpiY;
    return area;
}

QBrush Background(const std::optional<LogGridStyle>& style, const QRectF& rect) {
    if (style && style->gradient) {
        QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
        gradient.setColorAt(0, ColorOf(style->gradient->top));
        gradient.setColorAt(1, ColorOf(style->gradient->bottom));
        return gradient;
    }
    if (style && style->background) {
        return ColorOf(*style->background);
    }
    return Qt::white;
}

Qt::Alignment CellAlignment(Qt::Alignment alignment) {
    const Qt::Alignment horizontal = alignment & Qt::AlignHorizontal_Mask;
    return (horizontal ? horizontal : Qt::AlignHCenter) | Qt::AlignVCenter;
}

class PagePainter {
public:
    PagePainter(const LogGridSheet& sheet, const LogTitle& title, const LogGridPageLayout& layout,
                const PageArea& area, PrintFonts& fonts, QPainter& painter)
        : sheet_(sheet),
          title_(title),
          layout_(layout),
          area_(area),
          fonts_(fonts),
          painter_(painter) {}

    void Paint(std::size_t pageIndex) {
        const LogGridPage& page = layout_.pages[pageIndex];
        PaintHeader(static_cast<int>(pageIndex) + 1);

        QTransform table;
        table.scale(area_.dpiX / 1440.0, area_.dpiY / 1440.0);
        table.translate(0, layout_.headerHeight);
        table.scale(layout_.scale, layout_.scale);
        painter_.setTransform(table);

        double y = PaintHeadings();
        if (page.continuedGroup >= 0) {
            y = PaintGroupHeader(sheet_.rows[static_cast<std::size_t>(page.continuedGroup)],
                                 layout_.rowHeights[static_cast<std::size_t>(page.continuedGroup)],
                                 y, true);
        }
        // The rows' texts and lines are gathered and drawn once for the page: a PDF then holds
        // a few long runs of glyphs and lines instead of one per cell.
        double blockTop = -1;  // the top of the data rows since the last group header
        const auto endBlock = [&](double bottom) {
            if (blockTop >= 0) {
                for (const double x : layout_.columnLeft) {
                    gridLines_.append(QLineF(x, blockTop, x, bottom));
                }
            }
            blockTop = -1;
        };
        for (int r = page.firstRow; r < page.endRow; ++r) {
            const LogGridSheetRow& row = sheet_.rows[static_cast<std::size_t>(r)];
            const double height = layout_.rowHeights[static_cast<std::size_t>(r)];
            if (row.kind == LogGridRowKind::GroupHeader) {
                endBlock(y);
                y = PaintGroupHeader(row, height, y, false);
            } else {
                blockTop = blockTop < 0 ? y : blockTop;
                y = PaintDataRow(row, height, y);
            }
        }
        endBlock(y);
        FlushRows();
        if (sheet_.rows.empty()) {
            PaintNoRows(y);
        }
    }

private:
    double Width() const { return layout_.TableWidth(); }

    void PaintHeader(int pageNumber) {
        painter_.setTransform(QTransform::fromScale(area_.dpiX / 1440.0, area_.dpiY / 1440.0));
        const LogGridFont font = PrintHeaderFont(sheet_);
        const LogGridFont bold{font.family, font.pointSize, true};
        const QFontMetricsF regularMetrics(TwipsFont(font));
        const QFontMetricsF boldMetrics(TwipsFont(bold));
        const double line = regularMetrics.height();
        painter_.setPen(kHeaderTextColor);

        const QString pageText = QStringLiteral("Page %1 of %2")
                                     .arg(pageNumber)
                                     .arg(static_cast<int>(layout_.pages.size()));
        const double pageTextWidth = regularMetrics.horizontalAdvance(pageText);
        const double dateWidth = regularMetrics.horizontalAdvance(title_.date);
        const QString label = QStringLiteral("Race Log");
        const double labelWidth = boldMetrics.horizontalAdvance(label);
        // The file name gets what the date (centred) and the page number leave.
        const double nameRoom = std::max(0.0, (area_.width - dateWidth) / 2 - labelWidth - 240);
        const QString name =
            title_.fileName.isEmpty()
                ? QString()
                : regularMetrics.elidedText(QStringLiteral(" \u2013 ") + title_.fileName,
                                            Qt::ElideMiddle, nameRoom);

        painter_.setFont(TwipsFont(bold));
        painter_.drawText(QRectF(0, 0, labelWidth + 20, line), Qt::AlignLeft | Qt::AlignVCenter,
                          label);
        painter_.setFont(TwipsFont(font));
        painter_.drawText(QRectF(labelWidth, 0, nameRoom + 20, line),
                          Qt::AlignLeft | Qt::AlignVCenter, name);
        painter_.drawText(QRectF((area_.width - dateWidth) / 2 - 10, 0, dateWidth + 20, line),
                          Qt::AlignCenter, title_.date);
        painter_.drawText(QRectF(area_.width - pageTextWidth - 20, 0, pageTextWidth + 20, line),
                          Qt::AlignRight | Qt::AlignVCenter, pageText);
        const std::optional<LogGridStyle> heading = sheet_.HeadingStyle();
        const QColor rule =
            heading && heading->gradient ? ColorOf(heading->gradient->bottom) : kHeadingLineColor;
        painter_.fillRect(QRectF(0, line + kPrintHeaderGap / 2 - kHeaderRuleTwips / 2, area_.width,
                                 kHeaderRuleTwips),
                          rule);
    }

    // The heading row; gives the y below it.
    double PaintHeadings() {
        const std::optional<LogGridStyle> style = sheet_.HeadingStyle();
        const double height = layout_.headingHeight;
        // The gradient runs top to bottom, so one fill serves every heading.
        const QRectF row(0, 0, Width(), height);
        painter_.fillRect(row, Background(style, row));
        painter_.setFont(
            TwipsFont(style ? style->font : LogGridFont{QStringLiteral("Tahoma"), 9, true}));
        painter_.setPen(Qt::black);
        for (std::size_t c = 0; c < sheet_.columns.size(); ++c) {
            const QRectF cell(layout_.columnLeft[c], 0,
                              layout_.columnLeft[c + 1] - layout_.columnLeft[c], height);
            painter_.drawText(cell.adjusted(kPrintCellPaddingX, 0, -kPrintCellPaddingX, 0),
                              CellAlignment(style ? style->alignment : Qt::AlignCenter),
                              sheet_.columns[c].caption);
        }
        painter_.setPen(QPen(kHeadingLineColor, kGridLineTwips));
        painter_.drawRect(QRectF(0, 0, Width(), height));
        ColumnLines(0, height);
        return height;
    }

    // A group header; `continued` at the top of a page that goes on with the group.
    double PaintGroupHeader(const LogGridSheetRow& row, double height, double y, bool continued) {
        const std::optional<LogGridStyle> style = sheet_.StyleOf(row);
        const QRectF rect(0, y, Width(), height);
        painter_.fillRect(rect, Background(style, rect));
        painter_.setFont(
            TwipsFont(style ? style->font : LogGridFont{QStringLiteral("Tahoma"), 10, true}));
        painter_.setPen(Qt::black);
        painter_.drawText(
            rect.adjusted(kPrintCellPaddingX, 0, -kPrintCellPaddingX, 0),
            CellAlignment(style ? style->alignment : Qt::AlignCenter),
            continued ? row.groupText + QStringLiteral(" (continued)") : row.groupText);
        return y + height;
    }

    // A data row: its background at once, its glyphs and lines for FlushRows.
    double PaintDataRow(const LogGridSheetRow& row, double height, double y) {
        const std::optional<LogGridStyle> style = sheet_.StyleOf(row);
        const QRectF rect(0, y, Width(), height);
        if (style && (style->gradient || style->background)) {
            painter_.fillRect(rect, Background(style, rect));
        }
        PrintFonts::Face& face =
            fonts_.FaceOf(style ? style->font : LogGridFont{QStringLiteral("Tahoma"), 10, false});
        PendingText& pending = PendingTextOf(face);
        // Glyphs sit on whole twips (a fiftieth of a millimetre): the PDF writer puts every
        // glyph's position in the page as text, and whole numbers are far shorter and repeat,
        // so the pages take less to write and compress.
        const double baseline =
            std::round(y + (height - face.metrics.height()) / 2 + face.metrics.ascent());
        for (std::size_t c = 0; c < row.cells.size() && c < sheet_.columns.size(); ++c) {
            const LogGridSheetCell& cell = row.cells[c];
            if (cell.text.isEmpty()) {
                continue;
            }
            const double left = layout_.columnLeft[c] + kPrintCellPaddingX;
            const double room =
                layout_.columnLeft[c + 1] - layout_.columnLeft[c] - 2 * kPrintCellPaddingX;
            const double width = fonts_.TextWidth(face, cell.text);
            const Qt::Alignment align = cell.alignment & Qt::AlignHorizontal_Mask;
            const double x = align & Qt::AlignLeft    ? left
                             : align & Qt::AlignRight ? left + room - width
                                                      : left + (room - width) / 2;
            if (!fonts_.AppendGlyphs(face, cell.text, x, baseline, pending.glyphs,
                                     pending.positions)) {
                painter_.setPen(Qt::black);
                painter_.setFont(face.font);
                painter_.drawText(QRectF(left, y, room, height), CellAlignment(cell.alignment),
                                  cell.text);
            }
        }
        if (style && style->bottomBorder && style->bottomBorder->thicknessTwips > 0) {
            const double thickness = style->bottomBorder->thicknessTwips;
            const double lineY = y + height - thickness / 2;
            LinesOf(ColorOf(style->bottomBorder->color), thickness)
                .append(QLineF(0, lineY, Width(), lineY));
        } else {
            const double lineY = y + height - kGridLineTwips / 2;
            gridLines_.append(QLineF(0, lineY, Width(), lineY));
        }
        return y + height;
    }

    struct PendingText {
        PrintFonts::Face* face;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };
    struct PendingLines {
        QColor color;
        double thickness;
        QList<QLineF> lines;
    };

    PendingText& PendingTextOf(PrintFonts::Face& face) {
        for (PendingText& pending : texts_) {
            if (pending.face == &face) {
                return pending;
            }
        }
        texts_.push_back({&face, {}, {}});
        return texts_.back();
    }

    QList<QLineF>& LinesOf(const QColor& color, double thickness) {
        for (PendingLines& pending : lines_) {
            if (pending.color == color && pending.thickness == thickness) {
                return pending.lines;
            }
        }
        lines_.push_back({color, thickness, {}});
        return lines_.back().lines;
    }

    // The gathered glyphs, the grid lines, then the pair lines over them.
    void FlushRows() {
        painter_.setPen(Qt::black);
        for (PendingText& pending : texts_) {
            if (!pending.glyphs.isEmpty()) {
                QGlyphRun run;
                run.setRawFont(pending.face->raw);
                run.setGlyphIndexes(pending.glyphs);
                run.setPositions(pending.positions);
                painter_.drawGlyphRun(QPointF(), run);
            }
            pending.glyphs.clear();
            pending.positions.clear();
        }
        painter_.setPen(QPen(kGridLineColor, kGridLineTwips, Qt::SolidLine, Qt::FlatCap));
        painter_.drawLines(gridLines_);
        gridLines_.clear();
        for (PendingLines& pending : lines_) {
            painter_.setPen(QPen(pending.color, pending.thickness, Qt::SolidLine, Qt::FlatCap));
            painter_.drawLines(pending.lines);
            pending.lines.clear();
        }
    }

    // The lines between the columns and at the table's edges, in the painter's pen.
    void ColumnLines(double top, double bottom) {
        for (const double x : layout_.columnLeft) {
            painter_.drawLine(QPointF(x, top), QPointF(x, bottom));
        }
    }

    void PaintNoRows(double y) {
        LogGridFont font = PrintHeaderFont(sheet_);
        QFont qfont = TwipsFont(font);
        qfont.setItalic(true);
        painter_.setFont(qfont);
        painter_.setPen(kHeaderTextColor);
        painter_.drawText(QRectF(kPrintCellPaddingX, y + kPrintCellPaddingY, Width(), 400),
                          Qt::AlignLeft | Qt::AlignTop, QStringLiteral("No races."));
    }

    const LogGridSheet& sheet_;
    const LogTitle& title_;
    const LogGridPageLayout& layout_;
    const PageArea area_;
    PrintFonts& fonts_;
    QPainter& painter_;
    std::vector<PendingText> texts_;
    QList<QLineF> gridLines_;
    std::vector<PendingLines> lines_;
};

QPageSize PdfPageSize() {
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
               ? QPageSize(QPageSize::Letter)
               : QPageSize(QPageSize::A4);
}

}  // namespace

int LogGridPageCount(const LogGridSheet& sheet, QPagedPaintDevice& device) {
    const PageArea area = AreaOf(device);
    PrintFonts fonts;
    return static_cast<int>(
        LayOutLogGridPages(sheet, area.width, area.height, fonts.Measure()).pages.size());
}

int PrintLogGrid(const LogGridSheet& sheet, const LogTitle& title, QPagedPaintDevice& device) {
    const PageArea area = AreaOf(device);
    PrintFonts fonts;
    const LogGridPageLayout layout =
        LayOutLogGridPages(sheet, area.width, area.height, fonts.Measure());
    QPainter painter;
    if (!painter.begin(&device)) {
        return 0;
    }
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    PagePainter pages(sheet, title, layout, area, fonts, painter);
    for (std::size_t p = 0; p < layout.pages.size(); ++p) {
        if (p > 0 && !device.newPage()) {
            painter.end();
            return static_cast<int>(p);
        }
        pages.Paint(p);
    }
    painter.end();
    return static_cast<int>(layout.pages.size());
}

ExportResult ExportLogGridPdf(const LogGridSheet& sheet, const LogTitle& title,
                              const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return {false, file.errorString()};
    }
    int pages = 0;
    {
        QPdfWriter pdf(&file);
        pdf.setCreator(QStringLiteral("OrvanRX"));
        pdf.setTitle(title.Text());
        pdf.setPageLayout(QPageLayout(PdfPageSize(), QPageLayout::Landscape,
                                      QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        pages = PrintLogGrid(sheet, title, pdf);
    }
    // As with the other exports, a failed flush is caught before the old file is replaced.
    if (pages == 0 || !file.flush()) {
        const QString error =
            pages == 0 ? QStringLiteral("Cannot paint the PDF pages.") : file.errorString();
        file.cancelWriting();
        return {false, error};
    }
    if (!file.commit()) {
        return {false, file.errorString()};
    }
    return {true, {}};
}

TextWidthMeasure FontTextMeasure() {
    auto fonts = std::make_shared<PrintFonts>();
    return [fonts](const QString& text, const LogGridFont& font) {
        return static_cast<int>(std::ceil(fonts->TextWidth(fonts->FaceOf(font), text)));
    };
}

}  // namespace orvanrx
