#include "export/LogExport.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QSaveFile>

#include "export/ExportFile.h"
#include "views/LogGridCells.h"
#include "views/LogGridModel.h"

namespace orvanrx {

namespace {

// The earliest and latest day of the data rows' DateTime cells under `parent`. The days come
// from the cells' texts as the grid reads them, without a QDateTime each (a local date-time
// asks the system's time zone every time).
void CollectDays(const LogGridModel& grid, const QModelIndex& parent, QDate& first, QDate& last) {
    for (int r = 0; r < grid.rowCount(parent); ++r) {
        const QModelIndex row = grid.index(r, 0, parent);
        if (grid.KindOf(row) == LogGridRowKind::GroupHeader) {
            CollectDays(grid, row, first, last);
            continue;
        }
        const double number = CellNumber(grid.index(r, ColumnIndex(RunColumn::DateTime), parent)
                                             .data(LogGridModel::TextRole)
                                             .toString(),
                                         CellType::DateTime);
        if (IsEmptyCell(number)) {
            continue;
        }
        const QDate day = CellDay(number);
        if (!day.isValid()) {
            continue;
        }
        if (!first.isValid() || day < first) {
            first = day;
        }
        if (!last.isValid() || day > last) {
            last = day;
        }
    }
}

QString DayText(QDate day) {
    return day.toString(Qt::ISODate);
}

}  // namespace

std::optional<ExportFormat> ExportFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"xml") {
        return ExportFormat::Xml;
    }
    if (suffix == u"html" || suffix == u"htm") {
        return ExportFormat::Html;
    }
    if (suffix == u"xlsx") {
        return ExportFormat::Xlsx;
    }
    if (suffix == u"pdf") {
        return ExportFormat::Pdf;
    }
    return std::nullopt;
}

QString LogTitle::Text() const {
    QString text = QStringLiteral("Race Log");
    for (const QString& part : {fileName, date}) {
        if (!part.isEmpty()) {
            text += QStringLiteral(" \u2013 ") + part;
        }
    }
    return text;
}

LogTitle LogTitleOf(const QString& logPath, const LogGridModel& grid) {
    LogTitle title;
    title.fileName = QFileInfo(logPath).fileName();
    QDate first;
    QDate last;
    CollectDays(grid, {}, first, last);
    if (first.isValid()) {
        title.date = first == last ? DayText(first)
                                   : DayText(first) + QStringLiteral(" \u2013 ") + DayText(last);
    } else {
        const QDate named = QDate::fromString(title.fileName.left(10), Qt::ISODate);
        if (named.isValid()) {
            title.date = DayText(named);
        }
    }
    return title;
}

ExportResult WriteExportFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return {false, file.errorString()};
    }
    // commit() does not notice a flush that fails when it closes the file, so it is checked
    // here (a full disk would otherwise put a truncated file in place of the old one).
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return {false, error};
    }
    if (!file.commit()) {
        return {false, file.errorString()};
    }
    return {true, {}};
}

ExportResult ExportLogGridXml(const LogGridSheet& sheet, const LogTitle& title,
                              const QString& path) {
    return WriteExportFile(path, LogGridXml(sheet, title));
}

ExportResult ExportLogGridHtml(const LogGridSheet& sheet, const LogTitle& title,
                               const QString& path) {
    return WriteExportFile(path, LogGridHtml(sheet, title));
}

}  // namespace orvanrx
