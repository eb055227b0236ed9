#include "views/LogGridStyle.h"

namespace orvanrx {

namespace {

LogGridFont Tahoma(int pointSize, bool bold) {
    return {QStringLiteral("Tahoma"), pointSize, bold};
}

}  // namespace

std::optional<LogGridStyle> StandardLogGridStyle(QAnyStringView name) {
    LogGridStyle style;
    style.alignment = Qt::AlignCenter;
    if (name == kNormalStyle) {
        style.font = Tahoma(10, false);
    } else if (name == kHeadingStyle) {
        style.font = Tahoma(9, true);
        style.gradient =
            LogGridGradient{GridColorValue(203, 225, 252), GridColorValue(135, 173, 228)};
    } else if (name == kGroupHeaderStyle) {
        style.font = Tahoma(10, true);
        style.gradient = LogGridGradient{GridColorValue(251, 230, 148), kAccentColor};
    } else if (name == kSetOfCarsStyle) {
        style.font = Tahoma(10, false);
        style.bottomBorder = LogGridBorder{16, kAccentColor};
    } else if (name == kMyCarStyle) {
        style.font = Tahoma(10, true);
        style.background = kAccentTintColor;
    } else {
        return std::nullopt;
    }
    return style;
}

}  // namespace orvanrx
