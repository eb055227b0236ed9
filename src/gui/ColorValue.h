#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace orvanrx {

// Colour values as the settings store keeps them: red + 256 * green + 65536 * blue for a plain
// colour; a value with the top bit set refers to a colour of the desktop's own scheme by its
// index in the low byte.
inline constexpr int kSystemColorFlag = static_cast<int>(0x80000000u);
// "No Fill": the desktop colour.
inline constexpr int kDesktopColorReference = kSystemColorFlag | 1;  // -2147483647
// The default background of the MDI area (the application workspace).
inline constexpr int kAppWorkspaceReference = kSystemColorFlag | 12;  // -2147483636

constexpr int RgbColorValue(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}

constexpr bool IsSystemColorReference(int value) {
    return (static_cast<std::uint32_t>(value) & 0x80000000u) != 0;
}

// The colour a value stands for: a plain colour as it is (the top byte ignored), a reference
// as the matching role of `palette` (the desktop colour is the palette's window colour, the
// workspace its dark shade, as the MDI area paints by default).
QColor ColorForValue(int value, const QPalette& palette);

// The value of a plain colour chosen by the user (alpha dropped).
int ColorValueOf(const QColor& color);

}  // namespace orvanrx
