#include "export/ExportText.h"

namespace orvanrx {

namespace {

bool XmlChar(char32_t u) {
    if (u < 0x20) {
        return u == 0x09 || u == 0x0A || u == 0x0D;
    }
    return (u < 0xD800) || (u >= 0xE000 && u <= 0xFFFD) || (u >= 0x10000 && u <= 0x10FFFF);
}

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

}  // namespace

QString XmlSafeText(const QString& text) {
    // Most texts need no change: keep them shared. (Surrogates take the slow path.)
    bool clean = true;
    for (qsizetype i = 0; i < text.size() && clean; ++i) {
        const char16_t u = text[i].unicode();
        clean = (u >= 0x20 && u < 0xD800) || (u >= 0xE000 && u <= 0xFFFD) || u == 0x09 ||
                u == 0x0A || u == 0x0D;
    }
    if (clean) {
        return text;
    }
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            const char32_t u = QChar::surrogateToUcs4(c, text[i + 1]);
            if (XmlChar(u)) {
                out += c;
                out += text[i + 1];
            }
            ++i;
        } else if (!c.isSurrogate() && XmlChar(c.unicode())) {
            out += c;
        }
    }
    return out;
}

std::optional<NumberText> ReadNumberText(const QString& text) {
    const QStringView t = QStringView(text).trimmed();
    qsizetype i = 0;
    NumberText number;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) {
        number.sign = t[i++];
    }
    const qsizetype wholeStart = i;
    while (i < t.size() && IsDigit(t[i])) {
        ++i;
    }
    const qsizetype wholeDigits = i - wholeStart;
    qsizetype fractionDigits = 0;
    if (i < t.size() && t[i] == u'.') {
        ++i;
        const qsizetype fractionStart = i;
        while (i < t.size() && IsDigit(t[i])) {
            ++i;
        }
        fractionDigits = i - fractionStart;
    }
    if (i != t.size() || wholeDigits + fractionDigits == 0 || wholeDigits + fractionDigits > 15) {
        return std::nullopt;
    }
    if (wholeDigits > 1 && t[wholeStart] == u'0') {
        return std::nullopt;
    }
    bool ok = false;
    number.value = t.toDouble(&ok);
    if (!ok) {
        return std::nullopt;
    }
    number.decimals = static_cast<int>(fractionDigits);
    return number;
}

QString SpreadsheetNumberFormat(const NumberText& number) {
    QString digits = QStringLiteral("0");
    if (number.decimals > 0) {
        digits += u'.' + QString(number.decimals, u'0');
    }
    // Sections: positive; negative; zero. A plain format shows a minus for negatives itself.
    if (number.sign == u'+') {
        return QStringLiteral("+%1;-%1;+%1").arg(digits);
    }
    if (number.sign == u'-' && number.value == 0) {
        return QStringLiteral("%1;-%1;-%1").arg(digits);
    }
    return digits;
}

}  // namespace orvanrx
