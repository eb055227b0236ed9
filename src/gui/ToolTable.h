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

// The names of the main window's bands and tools, each written once here: the table, the
// dispatch, the shortcuts and the icons use these, so a misspelt name does not compile. (The
// palette's colour tools are named in the table alone.)
namespace tool {
inline constexpr char miNoFill[] = "miNoFill";
inline constexpr char miMoreColors[] = "miMoreColors";
inline constexpr char miMain[] = "miMain";
inline constexpr char miFile[] = "miFile";
inline constexpr char miView[] = "miView";
inline constexpr char miTools[] = "miTools";
inline constexpr char miWindow[] = "miWindow";
inline constexpr char miHelp[] = "miHelp";
inline constexpr char miOpenLog[] = "miOpenLog";
inline constexpr char miSaveLog[] = "miSaveLog";
inline constexpr char miSaveXML[] = "miSaveXML";
inline constexpr char miSaveHTML[] = "miSaveHTML";
inline constexpr char miSaveXLS[] = "miSaveXLS";
inline constexpr char miClearLog[] = "miClearLog";
inline constexpr char miImportLogs[] = "miImportLogs";
inline constexpr char miPrintPreview[] = "miPrintPreview";
inline constexpr char miClose[] = "miClose";
inline constexpr char miExit[] = "miExit";
inline constexpr char miRaceLog[] = "miRaceLog";
inline constexpr char miFilter[] = "miFilter";
inline constexpr char miStats[] = "miStats";
inline constexpr char miLogbook[] = "miLogbook";
inline constexpr char miTimeSlip[] = "miTimeSlip";
inline constexpr char miChangeChannel[] = "miChangeChannel";
inline constexpr char miMyCar[] = "miMyCar";
inline constexpr char miPitView[] = "miPitView";
inline constexpr char miWeather[] = "miWeather";
inline constexpr char miCalculator[] = "miCalculator";
inline constexpr char miBackgroundColor[] = "miBackgroundColor";
inline constexpr char tbColor[] = "tbColor";
inline constexpr char miRefresh[] = "miRefresh";
inline constexpr char miTileHorizontally[] = "miTileHorizontally";
inline constexpr char miTileVertically[] = "miTileVertically";
inline constexpr char miCascade[] = "miCascade";
inline constexpr char miCloseAll[] = "miCloseAll";
inline constexpr char miWindowList[] = "miWindowList";
inline constexpr char miAbout[] = "miAbout";
inline constexpr char tbMain[] = "tbMain";
inline constexpr char tbRaceLog[] = "tbRaceLog";
inline constexpr char miCategories[] = "miCategories";
inline constexpr char miExpand[] = "miExpand";
inline constexpr char miCollapse[] = "miCollapse";
inline constexpr char miPause[] = "miPause";
inline constexpr char miRefreshLog[] = "miRefreshLog";
inline constexpr char miChildWindow[] = "miChildWindow";
}  // namespace tool

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
