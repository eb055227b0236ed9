#pragma once

#include <QPagedPaintDevice>
#include <QString>

#include "export/LogExport.h"
#include "views/LogGridModel.h"
#include "views/LogGridSheet.h"

namespace orvanrx {

// The printed race log: one page layout for the print view, printing, the PDF export and
// `orvanrx-cli export`. It needs Qt Gui (fonts, QPainter) and no widget: the desktop program's
// QPrintPreviewWidget hands its QPrinter (a QPagedPaintDevice) to PrintLogGrid from
// paintRequested, a print dialog's QPrinter goes the same way, and a QPdfWriter makes the PDF.
//
// The pages are landscape. Each has a header line (the log's file name, its date, "Page n of
// N") and the column headings, then the rows in grid order: group headers in the group header
// style, data rows in their styles with the pair line under each race. A page that starts in the
// middle of a group repeats the group's header. Fonts are the sheet's, with a sans-serif style
// hint so a system without Tahoma takes a close face. Columns are the grid's widths, widened to
// their widest text; a table wider than the page is drawn smaller to fit it.

// Turns `device` to landscape, lays the sheet out on its pages and paints them. Gives the
// number of pages painted, 0 when the device could not be painted on.
int PrintLogGrid(const LogGridSheet& sheet, const LogTitle& title, QPagedPaintDevice& device);

// The number of pages PrintLogGrid paints on `device` (turned landscape), without painting.
int LogGridPageCount(const LogGridSheet& sheet, QPagedPaintDevice& device);

// The log grid as a PDF file (through QPdfWriter): A4, or Letter where the system's locale
// measures in inches, 12 mm margins, the log's title as the document's title. An existing file
// is replaced only by a complete new one.
ExportResult ExportLogGridPdf(const LogGridSheet& sheet, const LogTitle& title,
                              const QString& path);

// Text widths in twips with the real fonts, for LogGridModel::SetTextMeasure (FitColumn).
TextWidthMeasure FontTextMeasure();

}  // namespace orvanrx
