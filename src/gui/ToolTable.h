#pragma once

#include <QString>
#include <vector>

namespace orvanrx {

// One tool of the main window's menus and tool bars: the name every command is dispatched by,
// the caption with its "&" letter, the tool tip and the status-bar description (either may be
// empty), the category, and for a tool that opens a sub-menu the band it opens.
struct ToolSpec {
    QString name;
    QString caption;
    QString toolTip;
    QString description;
    QString category;
    QString subBand;
};

// A band of the main window's command bars: its name, its title and its tools in order. A
// separator is a tool named "miSeparator".
struct BandSpec {
    QString name;
    QString title;
    std::vector<ToolSpec> tools;
};

inline constexpr char kSeparatorName[] = "miSeparator";

// Every band the main window shows: the menu bar "miMain" with its five menus ("miFile",
// "miView", "miTools", "miWindow", "miHelp"), the tool bar "tbMain", the colour palette
// "tbColor" (also the sub-menu of Tools > Background Color) and the race-log tool bar
// "tbRaceLog". The status bar "sbMain" is built by the status bar itself.
const std::vector<BandSpec>& CommandBands();

// The band named `name`, or nullptr.
const BandSpec* FindBand(const QString& name);

// The first tool named `name` in any band, or nullptr.
const ToolSpec* FindTool(const QString& name);

// A palette tool's colour value (red + 256 * green + 65536 * blue, or the desktop colour
// reference for "miNoFill"); false for a name that is not a palette colour.
bool PaletteColorValue(const QString& toolName, int& value);

}  // namespace orvanrx
