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

double RoundHalfEven(double x) {
    const double below = std::floor(x);
    const double fraction = x - below;
    if (fraction < 0.5) {
        return below;
    }
    if (fraction > 0.5) {
        return below + 1.0;
    }
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
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
