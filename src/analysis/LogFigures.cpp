#include "analysis/LogFigures.h"

#include <array>
#include <cstdint>

namespace orvanrx {

namespace {

constexpr int kMaxDigits = 18;

constexpr std::array<double, kMaxDigits + 1> kPowersOfTen = [] {
    std::array<double, kMaxDigits + 1> powers{};
    double p = 1.0;
    for (double& power : powers) {
        power = p;
        p *= 10.0;
    }
    return powers;
}();

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool IsLetter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// The whole number a car number starts with, and how many digits it has.
std::pair<std::uint64_t, int> LeadingNumber(const QString& car) {
    std::uint64_t value = 0;
    int digits = 0;
    for (const QChar c : car) {
        if (!IsDigit(c) || digits == kMaxDigits) {
            break;
        }
        value = value * 10 + static_cast<std::uint64_t>(c.unicode() - u'0');
        ++digits;
    }
    return {value, digits};
}

}  // namespace

std::optional<double> ParseFigure(QStringView text) {
    text = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Up to 18 digits fit the mantissa exactly, and dividing by an exact power of ten then
    // gives the double nearest to the decimal text.
    std::uint64_t mantissa = 0;
    int digits = 0;
    int decimals = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (IsDigit(c)) {
            if (++digits > kMaxDigits) {
                return std::nullopt;
            }
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c.unicode() - u'0');
            decimals += point ? 1 : 0;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    const double value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
    return negative ? -value : value;
}

std::optional<double> ParsePositiveFigure(QStringView text) {
    const std::optional<double> value = ParseFigure(text);
    if (value && *value > 0.0) {
        return value;
    }
    return std::nullopt;
}

QStringView FiguresCategoryName(QStringView category) {
    const QStringView text = category.trimmed();
    const qsizetype n = text.size();
    if (n >= 2 && IsLetter(text[n - 2]) && IsDigit(text[n - 1])) {
        return text.first(n - 2).trimmed();
    }
    return text;
}

std::optional<QString> FilterListCategoryName(const QString& category) {
    if (category.size() < 4) {
        return std::nullopt;
    }
    return category.left(category.size() - 2).trimmed();
}

QStringView DayOf(QStringView dateTime) {
    const qsizetype blank = dateTime.indexOf(u' ');
    return blank < 0 ? dateTime : dateTime.first(blank);
}

bool CarNumberLess(const QString& a, const QString& b) {
    const auto [numberA, digitsA] = LeadingNumber(a);
    const auto [numberB, digitsB] = LeadingNumber(b);
    if ((digitsA == 0) != (digitsB == 0)) {
        return digitsB == 0;
    }
    if (numberA != numberB) {
        return numberA < numberB;
    }
    return a < b;
}

}  // namespace orvanrx
