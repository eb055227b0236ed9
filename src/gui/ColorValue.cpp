#include "gui/ColorValue.h"

namespace orvanrx {

namespace {

// The scheme indices the settings may refer to, and what stands for each here.
QPalette::ColorRole RoleForIndex(int index) {
    switch (index) {
        case 5:  // window background
            return QPalette::Base;
        case 8:  // window text
            return QPalette::Text;
        case 12:  // application workspace
            return QPalette::Dark;
        case 15:  // button face
            return QPalette::Button;
        default:  // the desktop (1) and anything else: the neutral background
            return QPalette::Window;
    }
}

}  // namespace

QColor ColorForValue(int value, const QPalette& palette) {
    const auto bits = static_cast<std::uint32_t>(value);
    if (IsSystemColorReference(value)) {
        return palette.color(QPalette::Active, RoleForIndex(static_cast<int>(bits & 0xFFu)));
    }
    return QColor(static_cast<int>(bits & 0xFFu), static_cast<int>((bits >> 8) & 0xFFu),
                  static_cast<int>((bits >> 16) & 0xFFu));
}

int ColorValueOf(const QColor& color) {
    const QColor rgb = color.toRgb();
    return RgbColorValue(rgb.red(), rgb.green(), rgb.blue());
}

}  // namespace orvanrx
