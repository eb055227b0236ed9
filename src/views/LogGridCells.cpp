#include "views/LogGridCells.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <limits>
#include <optional>

namespace orvanrx {

namespace {

constexpr double kEmpty = std::numeric_limits<double>::quiet_NaN();
constexpr qint64 kMSecsPerDay = 86400000;

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The common case without the locale machinery: an optional minus sign and up to ten digits.
std::optional<qint64> PlainInteger(QStringView text) {
    const bool negative = text.startsWith(u'-');
    const QStringView digits = negative ? text.mid(1) : text;
    if (digits.isEmpty() || digits.size() > 10) {
        return std::nullopt;
    }
    qint64 value = 0;
    for (const QChar c : digits) {
        if (!IsDigit(c)) {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - u'0');
    }
    return negative ? -value : value;
}

double IntegerNumber(QStringView text) {
    if (const std::optional<qint64> plain = PlainInteger(text)) {
        const bool fits = *plain >= std::numeric_limits<qint32>::min() &&
                          *plain <= std::numeric_limits<qint32>::max();
        return fits ? static_cast<double>(*plain) : kEmpty;
    }
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : kEmpty;
}

double SingleNumber(QStringView text) {
    bool ok = false;
    const float value = text.toFloat(&ok);
    return ok && std::isfinite(value) ? value : kEmpty;
}

double CivilNumber(QDate date, QTime time) {
    if (!date.isValid() || !time.isValid()) {
        return kEmpty;
    }
    return static_cast<double>(date.toJulianDay() * kMSecsPerDay + time.msecsSinceStartOfDay());
}

// "yyyy-MM-dd HH:mm:ss", read field by field: the run tables stamp every row in this form,
// and a grid load reads thousands of them.
std::optional<double> StampNumber(QStringView text) {
    static constexpr char16_t kPattern[] = u"dddd-dd-dd dd:dd:dd";
    if (text.size() != 19) {
        return std::nullopt;
    }
    for (qsizetype i = 0; i < 19; ++i) {
        const bool ok = kPattern[i] == u'd' ? IsDigit(text[i]) : text[i] == QChar(kPattern[i]);
        if (!ok) {
            return std::nullopt;
        }
    }
    const auto field = [text](qsizetype at, qsizetype length) {
        int value = 0;
        for (qsizetype i = at; i < at + length; ++i) {
            value = value * 10 + (text[i].unicode() - u'0');
        }
        return value;
    };
    return CivilNumber(QDate(field(0, 4), field(5, 2), field(8, 2)),
                       QTime(field(11, 2), field(14, 2), field(17, 2)));
}

double DateTimeNumber(QStringView text) {
    if (const std::optional<double> stamp = StampNumber(text)) {
        return *stamp;
    }
    const QDateTime iso = QDateTime::fromString(text.toString(), Qt::ISODate);
    if (!iso.isValid()) {
        return kEmpty;
    }
    const QDateTime local = iso.toLocalTime();
    return CivilNumber(local.date(), local.time());
}

}  // namespace

double CellNumber(QStringView text, CellType type) {
    if (text.isEmpty()) {
        return kEmpty;
    }
    switch (type) {
        case CellType::Integer:
            return IntegerNumber(text);
        case CellType::Single:
            return SingleNumber(text);
        case CellType::DateTime:
            return DateTimeNumber(text);
        case CellType::Text:
            break;
    }
    return kEmpty;
}

QDate CellDay(double number) {
    return QDate::fromJulianDay(static_cast<qint64>(number) / kMSecsPerDay);
}

QVariant CellValue(double number, CellType type) {
    if (IsEmptyCell(number)) {
        return {};
    }
    switch (type) {
        case CellType::Integer:
            return static_cast<qint32>(number);
        case CellType::Single:
            return static_cast<float>(number);
        case CellType::DateTime: {
            const auto msecs = static_cast<qint64>(number);
            return QDateTime(CellDay(number), QTime::fromMSecsSinceStartOfDay(
                                                  static_cast<int>(msecs % kMSecsPerDay)));
        }
        case CellType::Text:
            break;
    }
    return {};
}

}  // namespace orvanrx
