#include "settings/NumericText.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace orvanrx {

std::optional<double> NumericTextValue(const QString& text) {
    static const QRegularExpression kNumber(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    const QString trimmed = text.trimmed();
    if (!kNumber.match(trimmed).hasMatch()) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int64_t> RoundedInRange(double x, std::int64_t lowest, std::int64_t highest) {
    if (!std::isfinite(x)) {
        return std::nullopt;
    }
    const double rounded = RoundHalfEven(x);
    if (rounded < static_cast<double>(lowest) || rounded > static_cast<double>(highest)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(rounded);
}

}  // namespace orvanrx
