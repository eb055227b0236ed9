#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "views/LogGridSheet.h"

namespace orvanrx {

class LogGridModel;

// The race log exported as XML, HTML or a spreadsheet workbook: what the race log grid holds
// and shows (a LogGridSheet), its rows in grid order with the group header rows and its shown
// columns with their captions. The print layout and the PDF file are the print library's
// (print/LogGridPrint.h); they read the same sheet.

enum class ExportFormat { Xml, Html, Xlsx, Pdf };

// The format a file name asks for by its extension (".xml", ".html" or ".htm", ".xlsx",
// ".pdf", any letter case); nothing for any other name.
std::optional<ExportFormat> ExportFormatOf(const QString& path);

// Which log an export or a printed page comes from, for titles and page headers.
struct LogTitle {
    QString fileName;  // the log file's name without its folder, such as "2026-12-04 1853.csv"
    QString date;      // the race day "2026-12-04", a span "2026-12-04 – 2026-12-05", or empty

    // "Race Log – 2026-12-04 1853.csv – 2026-12-04", leaving out the parts that are empty.
    QString Text() const;
};

// The title of the log at `logPath` shown in `grid`: the file's name and the day of the races
// the grid holds (from their DateTime cells, shown or not). Without a readable DateTime the
// date comes from a file name that starts with one ("2026-12-04 1853.csv"), else it is empty.
LogTitle LogTitleOf(const QString& logPath, const LogGridModel& grid);

// How a write ended. On failure the file at the path is as it was before (a file there is
// replaced only by a complete new one) and `error` says why.
struct ExportResult {
    bool ok = false;
    QString error;
};

// XML (UTF-8): a RaceLog element with the title, the shown columns (key, caption, width in
// twips), and one Row element per data row holding one element per shown column, named by the
// column's key, with the caption as its attribute and the cell's text as its content. Rows of
// a group stand inside a Group element that names the grouping column and the group's text.
// Characters XML cannot carry (control characters but tab and line ends, lone surrogates)
// are left out; every other text goes through unchanged.
QByteArray LogGridXml(const LogGridSheet& sheet, const LogTitle& title);

// One self-contained HTML page (inline CSS, no scripts, well-formed as XML too): the title
// with the log's file name and date, the headings in the grid's heading style, a group header
// row per group, the data rows with the pair line, widths from the grid's. It prints on
// landscape pages with the headings repeated on each.
QByteArray LogGridHtml(const LogGridSheet& sheet, const LogTitle& title);

// The three writers: each replaces the file at `path` with the export.
ExportResult ExportLogGridXml(const LogGridSheet& sheet, const LogTitle& title,
                              const QString& path);
ExportResult ExportLogGridHtml(const LogGridSheet& sheet, const LogTitle& title,
                               const QString& path);
// A workbook of one sheet, "Race Log": a bold heading row (frozen, repeated on printed pages),
// a merged group row per group, the data rows with the pair line as a bottom border, column
// widths from the grid's. A cell whose text is a plain decimal number is a number shown with
// the text's decimals ("9.50" is 9.5 shown as 0.00, "+0.012" keeps its sign); a DateTime cell
// is a date; every other cell is text. (A whole number with a leading zero, such as car
// "0123", stays text so the zero is not lost.)
ExportResult ExportLogGridXlsx(const LogGridSheet& sheet, const LogTitle& title,
                               const QString& path);

}  // namespace orvanrx
