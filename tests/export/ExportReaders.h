#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

#include "decoding/RunTables.h"
#include "views/LogGridSheet.h"

namespace orvanrx::testing {

// The sheet of `table` in the race log window's grid as set up at load: grouped, the default
// columns.
LogGridSheet RaceLogSheet(const RunTable& table);

// What an export holds, read back from the file, in one shape for every format: the column
// captions and the rows top down, a group header as "[text]", a data row as its cell texts
// joined by " | ". `keys` are the column keys where the format names them (XML).
struct ExportOutline {
    bool readable = false;
    QString error;
    QStringList keys;
    QStringList captions;
    QStringList rows;
};

// The outline an export of `sheet` must have: cells as XML can carry them.
ExportOutline SheetOutline(const LogGridSheet& sheet);

ExportOutline XmlOutline(const QByteArray& xml);
// The page must be well-formed XML; its headings and body rows.
ExportOutline HtmlOutline(const QByteArray& html);

// A cell of an .xlsx file's first worksheet.
struct WorkbookCell {
    bool isNumber = false;
    bool isBlank = false;
    double number = 0;
    QString text;          // a text cell's string
    QString numberFormat;  // the cell's number format code ("General" when none)
    bool bold = false;
};

struct Workbook {
    bool readable = false;
    QString error;
    std::map<int, std::map<int, WorkbookCell>> cells;  // row -> column -> cell, from 0
    QStringList merges;                                // "A2:Q2"
    QString frozenTopLeft;                             // "A2" when the first row is frozen
    std::map<int, double> columnWidths;                // column -> width in characters
    QString title;                                     // the document's title
};

// Reads a workbook written by the spreadsheet export (its zip with minizip, its parts with
// QXmlStreamReader).
Workbook ReadWorkbook(const QString& path);

// A cell as a spreadsheet shows it: a number through its format's decimals and signs
// ("0.00", "+0.000;-0.000;+0.000"), a date as yyyy-MM-dd HH:mm:ss.
QString ShownText(const WorkbookCell& cell);

ExportOutline WorkbookOutline(const Workbook& book);

// The number of pages of a PDF file written by Qt.
int PdfPageCount(const QByteArray& pdf);

}  // namespace orvanrx::testing
