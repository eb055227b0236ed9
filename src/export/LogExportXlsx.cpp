// The spreadsheet export, written by libxlsxwriter. The library writes a file of its own
// choosing, so the workbook goes to a temporary file first; the target is then replaced with
// it in one step like every other export.

#include <xlsxwriter.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryFile>
#include <algorithm>
#include <vector>

#include "export/ExportFile.h"
#include "export/ExportText.h"
#include "export/LogExport.h"

namespace orvanrx {

namespace {

constexpr int kMaxCellText = 32767;      // characters in one cell
constexpr int kMaxHeaderText = 255;      // characters in the printed page header
constexpr lxw_row_t kMaxRows = 1048576;  // rows in one worksheet

lxw_color_t LxwColor(int value) {
    const auto v = static_cast<lxw_color_t>(value);
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

// A spreadsheet cell has one fill: a gradient is shown by the colour halfway between its ends.
int Blend(const LogGridGradient& gradient) {
    int blended = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int top = (gradient.top >> shift) & 0xFF;
        const int bottom = (gradient.bottom >> shift) & 0xFF;
        blended |= ((top + bottom) / 2) << shift;
    }
    return blended;
}

uint8_t LxwBorder(int twips) {
    return twips >= 45 ? LXW_BORDER_THICK : twips >= 30 ? LXW_BORDER_MEDIUM : LXW_BORDER_THIN;
}

uint8_t LxwAlign(Qt::Alignment alignment) {
    if (alignment & Qt::AlignLeft) {
        return LXW_ALIGN_LEFT;
    }
    if (alignment & Qt::AlignRight) {
        return LXW_ALIGN_RIGHT;
    }
    return LXW_ALIGN_CENTER;
}

QByteArray CellText(const QString& text) {
    return XmlSafeText(text).left(kMaxCellText).toUtf8();
}

// The workbook's formats, made once per distinct look: a style, an alignment and a number
// format, each known by a small number so that a cell finds its format without building text.
class Formats {
public:
    explicit Formats(lxw_workbook* workbook) : workbook_(workbook) {}

    // The number of a style (the same for equal styles).
    int StyleId(const std::optional<LogGridStyle>& style) {
        const auto found = std::find(styles_.cbegin(), styles_.cend(), style);
        if (found != styles_.cend()) {
            return static_cast<int>(found - styles_.cbegin());
        }
        styles_.push_back(style);
        return static_cast<int>(styles_.size() - 1);
    }

    static constexpr int kGeneral = 0;
    static constexpr int kDateTime = 1;
    // The number format that shows `number` as it was written.
    static int NumberFormatId(const NumberText& number) {
        const int sign = number.sign == u'+' ? 1 : number.sign == u'-' && number.value == 0 ? 2 : 0;
        return 2 + number.decimals * 3 + sign;
    }

    lxw_format* Get(int styleId, Qt::Alignment alignment, int numberFormatId,
                    const NumberText* number = nullptr) {
        const quint64 key = (quint64(styleId) << 40) | (quint64(LxwAlign(alignment)) << 32) |
                            quint64(numberFormatId);
        if (lxw_format* made = formats_.value(key)) {
            return made;
        }
        lxw_format* format = workbook_add_format(workbook_);
        if (const std::optional<LogGridStyle>& style = styles_[std::size_t(styleId)]) {
            Apply(format, *style);
        }
        format_set_align(format, LxwAlign(alignment));
        format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
        if (numberFormatId == kDateTime) {
            format_set_num_format(format, "yyyy-mm-dd hh:mm:ss");
        } else if (numberFormatId != kGeneral && number) {
            format_set_num_format(format, SpreadsheetNumberFormat(*number).toUtf8().constData());
        }
        formats_.insert(key, format);
        return format;
    }

private:
    static void Apply(lxw_format* format, const LogGridStyle& style) {
        if (!style.font.family.isEmpty()) {
            format_set_font_name(format, style.font.family.toUtf8().constData());
        }
        if (style.font.pointSize > 0) {
            format_set_font_size(format, style.font.pointSize);
        }
        if (style.font.bold) {
            format_set_bold(format);
        }
        if (style.gradient || style.background) {
            format_set_bg_color(
                format, LxwColor(style.gradient ? Blend(*style.gradient) : *style.background));
        }
        if (style.bottomBorder && style.bottomBorder->thicknessTwips > 0) {
            format_set_bottom(format, LxwBorder(style.bottomBorder->thicknessTwips));
            format_set_bottom_color(format, LxwColor(style.bottomBorder->color));
        }
    }

    lxw_workbook* workbook_;
    std::vector<std::optional<LogGridStyle>> styles_;
    QHash<quint64, lxw_format*> formats_;
};

// "&" starts a code in a page header; a literal one is doubled.
QString HeaderText(const QString& text) {
    return XmlSafeText(text).replace(u'&', QStringLiteral("&&"));
}

QByteArray PageHeader(const LogTitle& title) {
    QString header = QStringLiteral("&L&\"Tahoma,Bold\"Race Log");
    if (!title.fileName.isEmpty()) {
        header += QStringLiteral("&\"Tahoma,Regular\" \u2013 ") + HeaderText(title.fileName);
    }
    const QString right = QStringLiteral("&R&\"Tahoma,Regular\"Page &P of &N");
    if (!title.date.isEmpty()) {
        header += QStringLiteral("&C&\"Tahoma,Regular\"") + HeaderText(title.date);
    }
    header += right;
    return header.left(kMaxHeaderText).toUtf8();
}

void WriteCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, const LogGridSheetCell& cell,
               int styleId, Formats& formats) {
    if (cell.value.typeId() == QMetaType::QDateTime && cell.value.toDateTime().isValid()) {
        const QDateTime at = cell.value.toDateTime();
        lxw_datetime datetime{at.date().year(),   at.date().month(),
                              at.date().day(),    at.time().hour(),
                              at.time().minute(), at.time().second() + at.time().msec() / 1000.0};
        worksheet_write_datetime(sheet, row, col, &datetime,
                                 formats.Get(styleId, cell.alignment, Formats::kDateTime));
        return;
    }
    if (const std::optional<NumberText> number = ReadNumberText(cell.text)) {
        worksheet_write_number(
            sheet, row, col, number->value,
            formats.Get(styleId, cell.alignment, Formats::NumberFormatId(*number), &*number));
        return;
    }
    lxw_format* format = formats.Get(styleId, cell.alignment, Formats::kGeneral);
    if (cell.text.isEmpty()) {
        // Blank, but with its format: the pair line runs under every cell of the row.
        worksheet_write_blank(sheet, row, col, format);
        return;
    }
    worksheet_write_string(sheet, row, col, CellText(cell.text).constData(), format);
}

// Writes the workbook to `fileName`; an error text on failure.
QString WriteWorkbook(const LogGridSheet& sheet, const LogTitle& title,
                      const QByteArray& fileName) {
    if (sheet.rows.size() + 1 > kMaxRows) {
        return QStringLiteral("The log has more rows than a worksheet can hold.");
    }
    // Rows go out in order, so the library can write each row as it ends instead of keeping
    // every cell until the end (faster and bounded in memory; texts are then kept in their
    // cells rather than in a shared table).
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(fileName.constData(), &options);
    if (!workbook) {
        return QStringLiteral("Cannot create the workbook.");
    }
    const QByteArray titleText = XmlSafeText(title.Text()).toUtf8();
    lxw_doc_properties properties{};
    properties.title = const_cast<char*>(titleText.constData());
    workbook_set_properties(workbook, &properties);

    lxw_worksheet* ws = workbook_add_worksheet(workbook, "Race Log");
    Formats formats(workbook);
    const auto lastColumn =
        static_cast<lxw_col_t>(sheet.columns.empty() ? 0 : sheet.columns.size() - 1);

    // Headings, frozen above the rows and repeated on every printed page.
    const std::optional<LogGridStyle> heading = sheet.HeadingStyle();
    for (std::size_t c = 0; c < sheet.columns.size(); ++c) {
        const LogGridSheetColumn& column = sheet.columns[c];
        const auto col = static_cast<lxw_col_t>(c);
        worksheet_set_column_pixels(ws, col, col, column.widthTwips / 15, nullptr);
        worksheet_write_string(
            ws, 0, col, CellText(column.caption).constData(),
            formats.Get(formats.StyleId(heading), heading ? heading->alignment : Qt::AlignCenter,
                        Formats::kGeneral));
    }
    worksheet_freeze_panes(ws, 1, 0);
    worksheet_repeat_rows(ws, 0, 0);
    worksheet_set_landscape(ws);
    worksheet_fit_to_pages(ws, 1, 0);
    worksheet_set_header(ws, PageHeader(title).constData());

    lxw_row_t r = 1;
    for (const LogGridSheetRow& row : sheet.rows) {
        const std::optional<LogGridStyle> style = sheet.StyleOf(row);
        const int styleId = formats.StyleId(style);
        if (row.kind == LogGridRowKind::GroupHeader) {
            lxw_format* format =
                formats.Get(styleId, style ? style->alignment : Qt::AlignCenter, Formats::kGeneral);
            const QByteArray text = CellText(row.groupText);
            if (lastColumn > 0) {
                worksheet_merge_range(ws, r, 0, r, lastColumn, text.constData(), format);
            } else {
                worksheet_write_string(ws, r, 0, text.constData(), format);
            }
            worksheet_set_row(ws, r, 18, nullptr);
        } else {
            for (std::size_t c = 0; c < row.cells.size() && c < sheet.columns.size(); ++c) {
                WriteCell(ws, r, static_cast<lxw_col_t>(c), row.cells[c], styleId, formats);
            }
        }
        ++r;
    }
    const lxw_error closed = workbook_close(workbook);
    if (closed != LXW_NO_ERROR) {
        return QString::fromUtf8(lxw_strerror(closed));
    }
    return {};
}

}  // namespace

ExportResult ExportLogGridXlsx(const LogGridSheet& sheet, const LogTitle& title,
                               const QString& path) {
    QTemporaryFile temp(QDir::tempPath() + QStringLiteral("/orvanrx-export-XXXXXX.xlsx"));
    if (!temp.open()) {
        return {false, temp.errorString()};
    }
    temp.close();
    const QString error = WriteWorkbook(sheet, title, QFile::encodeName(temp.fileName()));
    if (!error.isEmpty()) {
        return {false, error};
    }
    if (!temp.open()) {
        return {false, temp.errorString()};
    }
    return WriteExportFile(path, temp.readAll());
}

}  // namespace orvanrx
