// The HTML export: one page with its CSS inline, no scripts. It is written well-formed as XML as
// well (closed empty elements, escaped text), so an XML reader can check it.

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include "export/ExportText.h"
#include "export/LogExport.h"

namespace orvanrx {

namespace {

QString Escaped(const QString& text) {
    return XmlSafeText(text).toHtmlEscaped();
}

QString CssColor(int value) {
    return QStringLiteral("#%1%2%3")
        .arg(value & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((value >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((value >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

// Points from twips, as CSS wants them.
QString Points(int twips) {
    return QString::number(twips / 20.0, 'g', 6) + QStringLiteral("pt");
}

QString CssFont(const LogGridFont& font) {
    QString family = font.family;
    family.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9 _-]")));
    QString css;
    if (!family.isEmpty()) {
        // A browser without the face takes the next one, as the desktop program's style hint does.
        css += QStringLiteral("font-family: \"%1\", Verdana, \"DejaVu Sans\", sans-serif; ")
                   .arg(family);
    }
    if (font.pointSize > 0) {
        css += QStringLiteral("font-size: %1pt; ").arg(font.pointSize);
    }
    css +=
        font.bold ? QStringLiteral("font-weight: bold; ") : QStringLiteral("font-weight: normal; ");
    return css;
}

QString CssTextAlign(Qt::Alignment alignment) {
    if (alignment & Qt::AlignLeft) {
        return QStringLiteral("left");
    }
    if (alignment & Qt::AlignRight) {
        return QStringLiteral("right");
    }
    return QStringLiteral("center");
}

QString CssStyle(const LogGridStyle& style) {
    QString css = CssFont(style.font);
    if (style.gradient) {
        css += QStringLiteral("background: linear-gradient(%1, %2); ")
                   .arg(CssColor(style.gradient->top), CssColor(style.gradient->bottom));
    } else if (style.background) {
        css += QStringLiteral("background: %1; ").arg(CssColor(*style.background));
    }
    if (style.bottomBorder) {
        css += QStringLiteral("border-bottom: %1 solid %2; ")
                   .arg(Points(style.bottomBorder->thicknessTwips),
                        CssColor(style.bottomBorder->color));
    }
    return css;
}

std::optional<LogGridStyle> NamedStyle(const LogGridSheet& sheet, QLatin1String name) {
    const auto found = sheet.styles.constFind(QString(name));
    return found != sheet.styles.cend() ? std::optional<LogGridStyle>(*found) : std::nullopt;
}

QString StyleNameOf(const LogGridSheetRow& row) {
    return row.styleName.isEmpty() ? QString(kNormalStyle) : row.styleName;
}

// CSS classes for the data rows' styles: s0, s1, ... in the order they first appear.
class RowClasses {
public:
    explicit RowClasses(const LogGridSheet& sheet) {
        for (const LogGridSheetRow& row : sheet.rows) {
            const QString name = StyleNameOf(row);
            if (row.kind == LogGridRowKind::Data && !classes_.contains(name)) {
                const std::optional<LogGridStyle> style = sheet.StyleOf(row);
                const QString cls = QStringLiteral("s%1").arg(classes_.size());
                classes_.insert(name, cls);
                if (style) {
                    css_ += QStringLiteral("tr.%1 td { %2}\n").arg(cls, CssStyle(*style));
                }
            }
        }
    }
    QString ClassOf(const LogGridSheetRow& row) const { return classes_.value(StyleNameOf(row)); }
    const QString& Css() const { return css_; }

private:
    QHash<QString, QString> classes_;
    QString css_;
};

QString PageCss(const LogGridSheet& sheet, const RowClasses& rowClasses) {
    const std::optional<LogGridStyle> normal = NamedStyle(sheet, kNormalStyle);
    const std::optional<LogGridStyle> heading = sheet.HeadingStyle();
    const std::optional<LogGridStyle> group = NamedStyle(sheet, kGroupHeaderStyle);
    QString css = QStringLiteral(
        "@page { size: landscape; margin: 12mm; }\n"
        "* { -webkit-print-color-adjust: exact; print-color-adjust: exact; }\n"
        "body { margin: 16px; background: #ffffff; color: #000000; }\n"
        "header { display: flex; align-items: baseline; gap: 16pt; margin: 0 0 8pt; }\n"
        "h1 { font-size: 15pt; margin: 0; }\n"
        "header p { margin: 0; font-size: 10pt; color: #333333; }\n"
        "table.log { border-collapse: collapse; }\n"
        "table.log th, table.log td { padding: 2pt 5pt; white-space: pre; "
        "vertical-align: middle; border: 0.75pt solid #d5dde8; }\n"
        "thead { display: table-header-group; }\n"
        "thead th { position: sticky; top: 0; }\n"
        "tr { break-inside: avoid; page-break-inside: avoid; }\n"
        "tr.g { break-after: avoid; page-break-after: avoid; }\n"
        "td.l { text-align: left; }\ntd.c { text-align: center; }\ntd.r { text-align: right; }\n"
        "@media print { body { margin: 0; } thead th { position: static; } }\n");
    if (normal) {
        css += QStringLiteral("body, td { %1}\n").arg(CssFont(normal->font));
        css += QStringLiteral("td { text-align: %1; }\n").arg(CssTextAlign(normal->alignment));
    }
    if (heading) {
        css += QStringLiteral("thead th { %1text-align: %2; }\n")
                   .arg(CssStyle(*heading), CssTextAlign(heading->alignment));
    }
    if (group) {
        css += QStringLiteral("tr.g th { %1text-align: %2; }\n")
                   .arg(CssStyle(*group), CssTextAlign(group->alignment));
    }
    return css + rowClasses.Css();
}

}  // namespace

QByteArray LogGridHtml(const LogGridSheet& sheet, const LogTitle& title) {
    const RowClasses rowClasses(sheet);
    const std::optional<LogGridStyle> normal = NamedStyle(sheet, kNormalStyle);
    const Qt::Alignment plainAlignment =
        normal ? normal->alignment & Qt::AlignHorizontal_Mask : Qt::AlignHCenter;
    const auto span = static_cast<qsizetype>(std::max<std::size_t>(sheet.columns.size(), 1));

    QString html;
    html.reserve(static_cast<qsizetype>(sheet.rows.size() * sheet.columns.size()) * 16 + 4096);
    html +=
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n");
    html += QStringLiteral("<title>") + Escaped(title.Text()) + QStringLiteral("</title>\n");
    html += QStringLiteral("<style>\n") + PageCss(sheet, rowClasses) + QStringLiteral("</style>\n");
    html += QStringLiteral("</head>\n<body>\n<header><h1>Race Log</h1><p>");
    QStringList about;
    for (const QString& part : {title.fileName, title.date}) {
        if (!part.isEmpty()) {
            about += Escaped(part);
        }
    }
    html += about.join(QStringLiteral(" &#183; ")) + QStringLiteral("</p></header>\n");

    html += QStringLiteral("<table class=\"log\">\n<colgroup>");
    for (const LogGridSheetColumn& column : sheet.columns) {
        html += QStringLiteral("<col style=\"width: %1\"/>").arg(Points(column.widthTwips));
    }
    html += QStringLiteral("</colgroup>\n<thead><tr>");
    for (const LogGridSheetColumn& column : sheet.columns) {
        html += QStringLiteral("<th scope=\"col\">") + Escaped(column.caption) +
                QStringLiteral("</th>");
    }
    html += QStringLiteral("</tr></thead>\n<tbody>\n");

    bool firstBody = true;
    for (const LogGridSheetRow& row : sheet.rows) {
        if (row.kind == LogGridRowKind::GroupHeader) {
            // Each group is a row group of its own.
            if (!firstBody) {
                html += QStringLiteral("</tbody>\n<tbody>\n");
            }
            html +=
                QStringLiteral("<tr class=\"g\"><th colspan=\"%1\" scope=\"rowgroup\">").arg(span);
            html += Escaped(row.groupText) + QStringLiteral("</th></tr>\n");
            firstBody = false;
            continue;
        }
        firstBody = false;
        html += QStringLiteral("<tr class=\"") + rowClasses.ClassOf(row) + QStringLiteral("\">");
        for (const LogGridSheetCell& cell : row.cells) {
            const Qt::Alignment align = cell.alignment & Qt::AlignHorizontal_Mask;
            if (align == plainAlignment || align == 0) {
                html += QStringLiteral("<td>");
            } else {
                html += QStringLiteral("<td class=\"") + CssTextAlign(align).left(1) +
                        QStringLiteral("\">");
            }
            html += Escaped(cell.text) + QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</tbody>\n</table>\n</body>\n</html>\n");
    return html.toUtf8();
}

}  // namespace orvanrx
