#include "settings/SettingsCodec.h"

#include <QStringList>
#include <limits>

#include "settings/NumericText.h"
#include "settings/SettingsKeys.h"

namespace orvanrx {

namespace {

constexpr QLatin1String kDwordPrefix{"dword:"};
constexpr QLatin1String kSzPrefix{"sz:"};

// Escapes the characters QSettings treats as separators, the escape character itself and,
// for key path parts, the "." that marks a key path without its closing backslash.
QString EscapedPart(const QString& part) {
    QString out;
    out.reserve(part.size());
    for (const QChar c : part) {
        switch (c.unicode()) {
            case u'%':
                out += QLatin1String("%25");
                break;
            case u'/':
                out += QLatin1String("%2F");
                break;
            case u'\\':
                out += QLatin1String("%5C");
                break;
            default:
                out += c;
        }
    }
    return out;
}

bool IsHexDigits(QStringView text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F'))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<QString> SettingsKeyFor(const QString& keyPath, const QString& valueName) {
    if (valueName.isEmpty()) {
        return std::nullopt;
    }
    QString key;
    if (!keyPath.isEmpty()) {
        const bool closed = keyPath.endsWith(u'\\');
        const QStringList parts = (closed ? keyPath.chopped(1) : keyPath).split(u'\\');
        for (const QString& part : parts) {
            if (part.isEmpty()) {
                return std::nullopt;
            }
            key += EscapedPart(part);
            key += u'/';
        }
    }
    key += EscapedPart(valueName);
    return key;
}

QVariant EncodeSzValue(const QString& text, bool typedBackend) {
    if (typedBackend || !(text.startsWith(kDwordPrefix) || text.startsWith(kSzPrefix))) {
        return text;
    }
    return QString(kSzPrefix + text);
}

QVariant EncodeDwordValue(std::int32_t number, bool typedBackend) {
    if (typedBackend) {
        return static_cast<int>(number);
    }
    return QString(kDwordPrefix + QStringLiteral("%1").arg(static_cast<std::uint32_t>(number), 8,
                                                           16, QLatin1Char('0')));
}

QVariant DecodeStoredValue(const QVariant& stored, bool typedBackend) {
    if (typedBackend && stored.typeId() == QMetaType::Int) {
        return stored;
    }
    if (stored.typeId() != QMetaType::QString) {
        return {};
    }
    const QString text = stored.toString();
    if (typedBackend) {
        return text;
    }
    if (text.startsWith(kSzPrefix)) {
        return text.mid(kSzPrefix.size());
    }
    if (text.startsWith(kDwordPrefix)) {
        const QStringView digits = QStringView(text).mid(kDwordPrefix.size());
        if (digits.isEmpty() || digits.size() > 8 || !IsHexDigits(digits)) {
            return {};
        }
        bool ok = false;
        const std::uint32_t bits = digits.toUInt(&ok, 16);
        if (!ok) {
            return {};
        }
        return static_cast<int>(static_cast<std::int32_t>(bits));
    }
    return text;
}

QString SzText(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::UnknownType:
            return {};
        case QMetaType::Bool:
            return value.toBool() ? QString(kTrueText) : QString(kFalseText);
        case QMetaType::Double:
        case QMetaType::Float:
            return QString::number(value.toDouble(), 'g', 15);
        default:
            return value.toString();
    }
}

std::optional<std::int32_t> DwordNumber(const QVariant& value) {
    constexpr auto kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr auto kHighest = std::numeric_limits<std::int32_t>::max();
    std::optional<double> number;
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? -1 : 0;
        case QMetaType::Double:
        case QMetaType::Float:
            number = value.toDouble();
            break;
        case QMetaType::QString:
            number = NumericTextValue(value.toString());
            break;
        case QMetaType::Int:
        case QMetaType::Short:
        case QMetaType::SChar:
        case QMetaType::Char:
        case QMetaType::Long:
        case QMetaType::LongLong: {
            const qlonglong n = value.toLongLong();
            if (n < kLowest || n > kHighest) {
                return std::nullopt;
            }
            return static_cast<std::int32_t>(n);
        }
        case QMetaType::UInt:
        case QMetaType::UShort:
        case QMetaType::UChar:
        case QMetaType::ULong:
        case QMetaType::ULongLong: {
            const qulonglong n = value.toULongLong();
            if (n > static_cast<qulonglong>(kHighest)) {
                return std::nullopt;
            }
            return static_cast<std::int32_t>(n);
        }
        default:
            return std::nullopt;
    }
    if (!number) {
        return std::nullopt;
    }
    const auto rounded = RoundedInRange(*number, kLowest, kHighest);
    if (!rounded) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*rounded);
}

}  // namespace orvanrx
