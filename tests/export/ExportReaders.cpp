#include "export/ExportReaders.h"

#include <minizip/unzip.h>

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

#include "export/ExportText.h"
#include "views/LogGridModel.h"
#include "views/LogGridSetup.h"

namespace orvanrx::testing {

namespace {

QString Joined(const QStringList& cells) {
    return cells.join(QStringLiteral(" | "));
}

ExportOutline Unreadable(const QString& error) {
    ExportOutline outline;
    outline.error = error;
    return outline;
}

// The zip part `name`, or nothing.
std::optional<QByteArray> ZipPart(unzFile zip, const char* name) {
    if (unzLocateFile(zip, name, 1) != UNZ_OK || unzOpenCurrentFile(zip) != UNZ_OK) {
        return std::nullopt;
    }
    QByteArray bytes;
    char buffer[65536];
    int got = 0;
    while ((got = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0) {
        bytes.append(buffer, got);
    }
    const bool crcOk = unzCloseCurrentFile(zip) == UNZ_OK;
    if (got < 0 || !crcOk) {
        return std::nullopt;
    }
    return bytes;
}

// "AB12" -> (11, 27): row and column from 0.
std::pair<int, int> CellPosition(const QString& reference) {
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && reference[i].isLetter(); ++i) {
        column = column * 26 + (reference[i].unicode() - u'A' + 1);
    }
    return {reference.mid(i).toInt() - 1, column - 1};
}

const std::map<int, QString> kBuiltInFormats{
    {0, QStringLiteral("General")}, {1, QStringLiteral("0")}, {2, QStringLiteral("0.00")}};

}  // namespace

ExportOutline SheetOutline(const LogGridSheet& sheet) {
    ExportOutline outline;
    outline.readable = true;
    for (const LogGridSheetColumn& column : sheet.columns) {
        outline.keys += column.key;
        outline.captions += column.caption;
    }
    for (const LogGridSheetRow& row : sheet.rows) {
        if (row.kind == LogGridRowKind::GroupHeader) {
            outline.rows += u'[' + XmlSafeText(row.groupText) + u']';
            continue;
        }
        QStringList cells;
        for (const LogGridSheetCell& cell : row.cells) {
            cells += XmlSafeText(cell.text);
        }
        outline.rows += Joined(cells);
    }
    return outline;
}

ExportOutline XmlOutline(const QByteArray& xml) {
    ExportOutline outline;
    QXmlStreamReader reader(xml);
    QStringList cells;
    bool inRow = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement() && reader.name() == u"Row") {
            outline.rows += Joined(cells);
            inRow = false;
        }
        if (!reader.isStartElement()) {
            continue;
        }
        const QStringView name = reader.name();
        const QXmlStreamAttributes a = reader.attributes();
        if (name == u"Column") {
            outline.keys += a.value(QLatin1String("key")).toString();
            outline.captions += a.value(QLatin1String("caption")).toString();
        } else if (name == u"Group") {
            outline.rows += u'[' + a.value(QLatin1String("text")).toString() + u']';
        } else if (name == u"Row") {
            cells.clear();
            inRow = true;
        } else if (inRow) {
            // A cell: named by its column's key, with the caption.
            const auto column = cells.size();
            if (outline.keys.value(column) != name ||
                outline.captions.value(column) != a.value(QLatin1String("caption"))) {
                return Unreadable(QStringLiteral("cell %1 is <%2>").arg(column).arg(name));
            }
            cells += reader.readElementText();
        }
    }
    if (reader.hasError()) {
        return Unreadable(reader.errorString());
    }
    outline.readable = true;
    return outline;
}

ExportOutline HtmlOutline(const QByteArray& html) {
    ExportOutline outline;
    QXmlStreamReader reader(html);
    QString section;
    QStringList cells;
    bool groupRow = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const QStringView name = reader.name();
            if (name == u"thead" || name == u"tbody") {
                section = name.toString();
            } else if (name == u"tr") {
                cells.clear();
                groupRow = reader.attributes().value(QLatin1String("class")) == u"g";
            } else if (name == u"th" && section == u"thead") {
                outline.captions += reader.readElementText();
            } else if ((name == u"td" || name == u"th") && section == u"tbody") {
                cells += reader.readElementText();
            }
        } else if (reader.isEndElement() && reader.name() == u"tr" && section == u"tbody") {
            outline.rows += groupRow ? u'[' + cells.value(0) + u']' : Joined(cells);
        }
    }
    if (reader.hasError()) {
        return Unreadable(reader.errorString());
    }
    outline.readable = true;
    return outline;
}

Workbook ReadWorkbook(const QString& path) {
    Workbook book;
    unzFile zip = unzOpen(QFile::encodeName(path).constData());
    if (!zip) {
        book.error = QStringLiteral("not a zip file");
        return book;
    }
    const std::optional<QByteArray> sheet = ZipPart(zip, "xl/worksheets/sheet1.xml");
    const std::optional<QByteArray> styles = ZipPart(zip, "xl/styles.xml");
    const QByteArray strings = ZipPart(zip, "xl/sharedStrings.xml").value_or(QByteArray());
    const QByteArray core = ZipPart(zip, "docProps/core.xml").value_or(QByteArray());
    unzClose(zip);
    if (!sheet || !styles) {
        book.error = QStringLiteral("no worksheet or styles");
        return book;
    }

    QStringList shared;
    for (QXmlStreamReader reader(strings); !reader.atEnd();) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"si") {
            QString text;
            while (!(reader.readNext() == QXmlStreamReader::EndElement && reader.name() == u"si")) {
                if (reader.isStartElement() && reader.name() == u"t") {
                    text += reader.readElementText();
                }
            }
            shared += text;
        }
    }

    // Cell formats: each xf's number format code and whether its font is bold.
    std::map<int, QString> formatCodes = kBuiltInFormats;
    std::vector<bool> boldFonts;
    std::vector<std::pair<int, int>> xfs;  // number format id, font id
    QString list;
    for (QXmlStreamReader reader(*styles); !reader.atEnd();) {
        reader.readNext();
        if (reader.isStartElement()) {
            const QStringView name = reader.name();
            const QXmlStreamAttributes a = reader.attributes();
            if (name == u"fonts" || name == u"cellXfs" || name == u"cellStyleXfs") {
                list = name.toString();
            } else if (name == u"numFmt") {
                formatCodes[a.value(QLatin1String("numFmtId")).toInt()] =
                    a.value(QLatin1String("formatCode")).toString();
            } else if (name == u"font" && list == u"fonts") {
                boldFonts.push_back(false);
            } else if (name == u"b" && list == u"fonts" && !boldFonts.empty()) {
                boldFonts.back() = true;
            } else if (name == u"xf" && list == u"cellXfs") {
                xfs.emplace_back(a.value(QLatin1String("numFmtId")).toInt(),
                                 a.value(QLatin1String("fontId")).toInt());
            }
        } else if (reader.isEndElement() &&
                   (reader.name() == u"fonts" || reader.name() == u"cellXfs")) {
            list.clear();
        }
    }

    for (QXmlStreamReader reader(*sheet); !reader.atEnd();) {
        reader.readNext();
        if (!reader.isStartElement()) {
            continue;
        }
        const QXmlStreamAttributes a = reader.attributes();
        if (reader.name() == u"pane" && a.value(QLatin1String("state")) == u"frozen") {
            book.frozenTopLeft = a.value(QLatin1String("topLeftCell")).toString();
        } else if (reader.name() == u"col") {
            for (int c = a.value(QLatin1String("min")).toInt();
                 c <= a.value(QLatin1String("max")).toInt(); ++c) {
                book.columnWidths[c - 1] = a.value(QLatin1String("width")).toDouble();
            }
        } else if (reader.name() == u"mergeCell") {
            book.merges += a.value(QLatin1String("ref")).toString();
        } else if (reader.name() == u"c") {
            const auto [row, column] = CellPosition(a.value(QLatin1String("r")).toString());
            WorkbookCell cell;
            const std::size_t xf = a.value(QLatin1String("s")).toUInt();
            if (xf < xfs.size()) {
                cell.numberFormat = formatCodes[xfs[xf].first];
                const auto font = static_cast<std::size_t>(xfs[xf].second);
                cell.bold = font < boldFonts.size() && boldFonts[font];
            }
            const QString type = a.value(QLatin1String("t")).toString();
            QString value;
            QString inlineText;
            while (!(reader.readNext() == QXmlStreamReader::EndElement && reader.name() == u"c")) {
                if (reader.isStartElement() && reader.name() == u"v") {
                    value = reader.readElementText();
                } else if (reader.isStartElement() && reader.name() == u"t") {
                    inlineText += reader.readElementText();
                }
            }
            if (type == u"s") {
                cell.text = shared.value(value.toInt());
            } else if (type == u"inlineStr" || type == u"str") {
                cell.text = inlineText.isEmpty() ? value : inlineText;
            } else if (value.isEmpty()) {
                cell.isBlank = true;
            } else {
                cell.isNumber = true;
                cell.number = value.toDouble();
            }
            book.cells[row][column] = cell;
        }
    }
    const QRegularExpression title(QStringLiteral("<dc:title>(.*)</dc:title>"));
    book.title = title.match(QString::fromUtf8(core)).captured(1);
    book.readable = true;
    return book;
}

QString ShownText(const WorkbookCell& cell) {
    if (!cell.isNumber) {
        return cell.text;
    }
    if (cell.numberFormat.contains(u'y')) {
        const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
        return epoch.addMSecs(std::llround(cell.number * 86400000.0))
            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    // positive;negative;zero
    const QStringList sections = cell.numberFormat.split(u';');
    QString section = sections.value(0);
    bool ownMinus = false;
    if (cell.number < 0 && sections.size() > 1) {
        section = sections[1];
        ownMinus = true;
    } else if (cell.number == 0 && sections.size() > 2) {
        section = sections[2];
        ownMinus = true;
    }
    if (section == u"General") {
        return QString::number(cell.number);
    }
    const qsizetype digits = section.indexOf(u'0');
    const QString prefix = section.left(std::max<qsizetype>(digits, 0));
    const qsizetype point = section.indexOf(u'.');
    const int decimals = point < 0 ? 0 : static_cast<int>(section.size() - point - 1);
    const double shown = ownMinus ? std::fabs(cell.number) : cell.number;
    return prefix + QString::number(shown, 'f', decimals);
}

ExportOutline WorkbookOutline(const Workbook& book) {
    ExportOutline outline;
    if (!book.readable) {
        return Unreadable(book.error);
    }
    outline.readable = true;
    const auto heading = book.cells.find(0);
    if (heading != book.cells.end()) {
        for (const auto& [column, cell] : heading->second) {
            outline.captions += cell.text;
        }
    }
    const int columns = static_cast<int>(outline.captions.size());
    for (auto it = book.cells.upper_bound(0); it != book.cells.end(); ++it) {
        const QString firstCell = QStringLiteral("A%1").arg(it->first + 1);
        const bool merged =
            std::any_of(book.merges.cbegin(), book.merges.cend(),
                        [&](const QString& m) { return m.startsWith(firstCell + u':'); });
        // A group row: merged over the columns (or, with one column, in bold).
        if (merged || it->second.begin()->second.bold) {
            outline.rows += u'[' + it->second.begin()->second.text + u']';
            continue;
        }
        QStringList cells;
        for (int c = 0; c < columns; ++c) {
            const auto cell = it->second.find(c);
            cells += cell == it->second.end() ? QString() : ShownText(cell->second);
        }
        outline.rows += Joined(cells);
    }
    return outline;
}

LogGridSheet RaceLogSheet(const RunTable& table) {
    LogGridModel grid(LogGridFlavour::RaceLog);
    SetUpRaceLogGrid(grid);
    if (!table.IsEmpty()) {
        grid.Load(table);
    }
    grid.Regroup();
    return ReadLogGridSheet(grid);
}

int PdfPageCount(const QByteArray& pdf) {
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

}  // namespace orvanrx::testing
