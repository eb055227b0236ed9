// The XML export:
//
//   <RaceLog file="2026-12-04 1853.csv" date="2026-12-04">
//     <Columns>
//       <Column key="Car" caption="Car #" width="888"/>
//       ...
//     </Columns>
//     <Group column="Category" caption="Category" text="SUPER PRO E1">
//       <Row>
//         <Car caption="Car #">1234</Car>
//         ...
//       </Row>
//     </Group>
//   </RaceLog>
//
// Rows of an ungrouped grid stand directly in RaceLog. Column keys are XML names as they are.

#include <QBuffer>
#include <QXmlStreamWriter>

#include "export/ExportText.h"
#include "export/LogExport.h"
#include "views/LogGridColumns.h"

namespace orvanrx {

namespace {

QString CaptionOfColumn(const QString& key) {
    const int column = LogGridColumnOf(key);
    return column < 0 ? key : QString(kLogGridColumns[static_cast<std::size_t>(column)].caption);
}

void WriteRow(QXmlStreamWriter& xml, const LogGridSheet& sheet, const LogGridSheetRow& row) {
    xml.writeStartElement(QStringLiteral("Row"));
    for (std::size_t c = 0; c < sheet.columns.size() && c < row.cells.size(); ++c) {
        const LogGridSheetColumn& column = sheet.columns[c];
        xml.writeStartElement(column.key);
        xml.writeAttribute(QStringLiteral("caption"), XmlSafeText(column.caption));
        xml.writeCharacters(XmlSafeText(row.cells[c].text));
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

}  // namespace

QByteArray LogGridXml(const LogGridSheet& sheet, const LogTitle& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter xml(&buffer);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("RaceLog"));
    xml.writeAttribute(QStringLiteral("file"), XmlSafeText(title.fileName));
    xml.writeAttribute(QStringLiteral("date"), XmlSafeText(title.date));

    xml.writeStartElement(QStringLiteral("Columns"));
    for (const LogGridSheetColumn& column : sheet.columns) {
        xml.writeEmptyElement(QStringLiteral("Column"));
        xml.writeAttribute(QStringLiteral("key"), column.key);
        xml.writeAttribute(QStringLiteral("caption"), XmlSafeText(column.caption));
        xml.writeAttribute(QStringLiteral("width"), QString::number(column.widthTwips));
    }
    xml.writeEndElement();

    bool inGroup = false;
    for (const LogGridSheetRow& row : sheet.rows) {
        if (row.kind == LogGridRowKind::GroupHeader) {
            if (inGroup) {
                xml.writeEndElement();
            }
            xml.writeStartElement(QStringLiteral("Group"));
            xml.writeAttribute(QStringLiteral("column"), sheet.groupBy);
            xml.writeAttribute(QStringLiteral("caption"), CaptionOfColumn(sheet.groupBy));
            xml.writeAttribute(QStringLiteral("text"), XmlSafeText(row.groupText));
            inGroup = true;
        } else {
            WriteRow(xml, sheet, row);
        }
    }
    if (inGroup) {
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

}  // namespace orvanrx
