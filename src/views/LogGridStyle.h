#pragma once

#include <QAnyStringView>
#include <QLatin1String>
#include <QMetaType>
#include <QString>
#include <optional>

namespace orvanrx {

// The grid's named styles as plain values: this library has no fonts or brushes. The desktop
// program turns them into QFont, QBrush and QLinearGradient when it draws; exports and the print
// layout read them as they are.
//
// Colours are colour values as the settings store keeps them: red + 256 * green + 65536 * blue.
// Only the grid background (SetBackground) can also be a reference to a desktop colour (top bit
// set).
constexpr int GridColorValue(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}

struct LogGridFont {
    QString family;
    int pointSize = 0;
    bool bold = false;
    friend bool operator==(const LogGridFont&, const LogGridFont&) = default;
};

// A background blended from `top` at the top edge of the cell to `bottom` at its bottom edge.
struct LogGridGradient {
    int top = 0;
    int bottom = 0;
    friend bool operator==(const LogGridGradient&, const LogGridGradient&) = default;
};

// A solid line along the bottom edge of every cell of a row.
struct LogGridBorder {
    int thicknessTwips = 0;
    int color = 0;
    friend bool operator==(const LogGridBorder&, const LogGridBorder&) = default;
};

struct LogGridStyle {
    LogGridFont font;
    Qt::Alignment alignment = Qt::AlignCenter;
    // Without a gradient the background is solid: `background`, or the view's own base colour.
    std::optional<LogGridGradient> gradient;
    std::optional<int> background;
    std::optional<LogGridBorder> bottomBorder;
    friend bool operator==(const LogGridStyle&, const LogGridStyle&) = default;
};

// Every data cell.
inline constexpr QLatin1String kNormalStyle{"Normal"};
// The column headings.
inline constexpr QLatin1String kHeadingStyle{"Heading"};
// The group header rows.
inline constexpr QLatin1String kGroupHeaderStyle{"GroupHeader"};
// Rows matched by the race log window's pair-marking format condition of the same name.
inline constexpr QLatin1String kSetOfCarsStyle{"SetOfCars"};
// Rows of the racer's own cars, matched by the race log window's condition of the same name.
inline constexpr QLatin1String kMyCarStyle{"MyCar"};

// The program's accent: the orange of the group headers and the pair line.
inline constexpr int kAccentColor = GridColorValue(238, 149, 21);
// The accent lightened for a background under black text.
inline constexpr int kAccentTintColor = GridColorValue(255, 216, 150);

// The styles the log windows set at load, by name; nothing for any other name.
std::optional<LogGridStyle> StandardLogGridStyle(QAnyStringView name);

}  // namespace orvanrx

Q_DECLARE_METATYPE(orvanrx::LogGridStyle)
