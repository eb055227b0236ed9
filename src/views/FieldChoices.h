#pragma once

#include <QLatin1String>
#include <array>
#include <functional>
#include <optional>

namespace orvanrx {

class LogGridModel;
class SettingsStore;

// The race log's field choices: twelve check items of its View menu, each showing or hiding
// one grid column, and the category mode "All Categories". Ten choices and the mode are kept
// under kRaceLogFieldsKey as "True" / "False"; the Category, Name and Lane choices last only
// while the window is open.
struct FieldChoice {
    QLatin1String item;     // the menu item's name
    QLatin1String caption;  // its text
    QLatin1String column;   // the grid column it shows or hides (empty: the category mode)
    bool checkedAtStart;    // after the window's load, before the saved choices
    // The settings value it is kept under (empty: never kept).
    QLatin1String savedAs;
};

inline constexpr QLatin1String kAllCategoriesItem{"miAllCategories"};

// The twelve items in menu order.
// clang-format off
inline constexpr std::array<FieldChoice, 12> kFieldChoices{{
    {QLatin1String("miCategory"),     QLatin1String("Category"),      QLatin1String("Category"), false, {}},
    {QLatin1String("miClass"),        QLatin1String("Class"),         QLatin1String("Class"),    true,  QLatin1String("Class")},
    {QLatin1String("miCarNumber"),    QLatin1String("Car Number"),    QLatin1String("Car"),      true,  QLatin1String("Car Number")},
    {QLatin1String("miName"),         QLatin1String("Name"),          QLatin1String("Name"),     true,  {}},
    {QLatin1String("miLane"),         QLatin1String("Lane"),          QLatin1String("Lane"),     true,  {}},
    {QLatin1String("miBump"),         QLatin1String("Bump"),          QLatin1String("Bump"),     true,  QLatin1String("Bump")},
    {QLatin1String("miDial"),         QLatin1String("Dial"),          QLatin1String("Dial"),     true,  QLatin1String("Dial")},
    {QLatin1String("miReactionTime"), QLatin1String("Reaction Time"), QLatin1String("RT"),       true,  QLatin1String("Reaction Time")},
    {QLatin1String("miMph1000"),      QLatin1String("1000' MPH"),     QLatin1String("mph1000"),  false, QLatin1String("1000' MPH")},
    {QLatin1String("miMargin"),       QLatin1String("Margin"),        QLatin1String("margin"),   true,  QLatin1String("Margin")},
    {QLatin1String("miOvrUnd"),       QLatin1String("Ovr/Und"),       QLatin1String("overund"),  true,  QLatin1String("Ovr/Und")},
    {QLatin1String("miWin"),          QLatin1String("Win"),           QLatin1String("win"),      true,  QLatin1String("Win")},
}};
// clang-format on

// The item named `item`, or nothing.
std::optional<FieldChoice> FindFieldChoice(QLatin1String item);

// LoadFieldChoices: in the kept order ("All Categories", "Class", "Car Number", "Bump", "Dial",
// "Reaction Time", "1000' MPH", "Margin", "Ovr/Und", "Win"), each value that differs from the
// item's start state ("True" for an item unchecked at start, "False" for one checked; exact
// letter case) toggles the item once: `toggle` gets its name (kAllCategoriesItem for the mode).
// Any other text, a missing value included, leaves the item alone.
void LoadFieldChoices(const SettingsStore& store, const std::function<void(QLatin1String)>& toggle);

// SaveFieldChoices: the same values in the same order, "True" where `checked` says so.
void SaveFieldChoices(const SettingsStore& store,
                      const std::function<bool(QLatin1String)>& checked);

// The kept choices applied to a grid that stands in its start state: the columns of the kept
// items shown or hidden as the race log window would show them after its load. (The category
// mode is not a column and is left to the caller.) The filter window and the exports made
// without a window use it.
void ApplyFieldChoices(const SettingsStore& store, LogGridModel& grid);

}  // namespace orvanrx
