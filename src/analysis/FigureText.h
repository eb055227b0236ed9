#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "analysis/CarStats.h"

// Figures as text for display. The statistics keep numbers; the tables of the command line
// and the windows show them through these functions, so every place rounds alike.
namespace orvanrx {

inline constexpr int kTimeDecimals = 3;    // elapsed and reaction times, dial-ins, over/under
inline constexpr int kSpeedDecimals = 2;   // speeds
inline constexpr int kMarginDecimals = 4;  // margins of victory, as the broadcaster shows them

// The dash shown in place of a figure that has no value ("–", an en dash).
QString NoFigureText();

// `value` rounded to `decimals` places, halves away from zero ("9.5125" to 3 places gives
// "9.513", "-0.0125" gives "-0.013"); a value that rounds to zero has no minus sign. The dash
// when there is no value.
QString FigureText(std::optional<double> value, int decimals);

inline QString TimeText(std::optional<double> value) {
    return FigureText(value, kTimeDecimals);
}
inline QString SpeedText(std::optional<double> value) {
    return FigureText(value, kSpeedDecimals);
}
inline QString MarginText(std::optional<double> value) {
    return FigureText(value, kMarginDecimals);
}

// Times separated by blanks, oldest first ("9.512 9.498 9.530"); the dash for none.
QString TimesText(const std::vector<double>& times);

// "W", "L", "Bye", or the dash for a race without a decision.
QString RunResultText(RunResult result);

// "9.513 (spread 0.032 over 3 runs)", "9.513 (1 run)", or the dash.
QString DialSuggestionText(const DialSuggestion& suggestion);

}  // namespace orvanrx
