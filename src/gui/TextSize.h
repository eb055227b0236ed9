#pragma once

#include <QString>
#include <array>
#include <functional>

class QMenu;

namespace orvanrx {

class SettingsStore;

// The racer's text size for the race log, the filter and the time slip (View > Text Size), as
// a percentage of the sizes the windows are designed with; kept in the settings.
struct TextSizeChoice {
    int percent;
    const char* caption;
};
inline constexpr std::array<TextSizeChoice, 3> kTextSizes{{
    {100, "&Normal"},
    {150, "&Large"},
    {200, "La&rgest"},
}};
inline constexpr int kNormalTextSize = 100;

// The kept size; a missing value or one not among the choices is the normal size.
int ReadTextSize(const SettingsStore& settings);
void SaveTextSize(const SettingsStore& settings, int percent);

// Adds the "Text Size" submenu to `view`, one checked choice at `percent`; `chosen` hears the
// racer's choice.
QMenu* AddTextSizeMenu(QMenu& view, int percent, std::function<void(int)> chosen);

}  // namespace orvanrx
