#include "gui/ToolTable.h"

#include "gui/ColorValue.h"

namespace orvanrx {

namespace {

ToolSpec Separator() {
    return ToolSpec{QString::fromLatin1(kSeparatorName), {}, {}, {}, {}, {}};
}

ToolSpec Tool(const char* name, const char* caption, const char* tip, const char* description,
              const char* category, const char* subBand = "") {
    return ToolSpec{QString::fromLatin1(name),     QString::fromLatin1(caption),
                    QString::fromLatin1(tip),      QString::fromLatin1(description),
                    QString::fromLatin1(category), QString::fromLatin1(subBand)};
}

struct PaletteEntry {
    const char* name;
    const char* caption;
    const char* description;
    int red, green, blue;
};

// The palette in its order; tool::miNoFill and tool::miMoreColors stand apart.
constexpr PaletteEntry kPalette[] = {
    {"miBlack", "Black", "Black", 0, 0, 0},
    {"miGray50", "Gray 50%", "Gray 50%", 128, 128, 128},
    {"miDarkRed", "Dark Red", "Dark Red", 128, 0, 0},
    {"miDarkYellow", "Dark Yellow", "Dark Yellow", 128, 128, 0},
    {"miGreen", "Green", "Green", 0, 128, 0},
    {"miTeal", "Teal", "Teal", 0, 128, 128},
    {"miDarkBlue", "Dark Blue", "Dark Blue", 0, 0, 128},
    {"miVioliet", "Violiet", "Violiet", 128, 0, 128},
    {"miWhite", "White", "White", 255, 255, 255},
    {"miGray25", "Gray 25%", "Gray 25%", 192, 192, 192},
    {"miRed", "Red", "Red", 192, 0, 0},
    {"miYellow", "Yellow", "Yellow", 255, 255, 0},
    {"miBrightGreen", "Green", "Bright Green", 0, 255, 0},
    {"miTurquoise", "Turquoise", "Turquoise", 0, 255, 255},
    {"miBlue", "Blue", "Blue", 0, 0, 192},
    {"miPink", "Pink", "Pink", 192, 0, 192},
};

const ToolSpec* FindIn(const std::vector<BandSpec>& bands, const QString& name) {
    for (const BandSpec& band : bands) {
        for (const ToolSpec& tool : band.tools) {
            if (tool.name == name) {
                return &tool;
            }
        }
    }
    return nullptr;
}

std::vector<BandSpec> BuildBands() {
    std::vector<BandSpec> bands;
    bands.push_back(BandSpec{QLatin1String(tool::miMain),
                             QStringLiteral("Menu Bar"),
                             {Tool(tool::miFile, "&File", "", "", "", tool::miFile),
                              Tool(tool::miView, "&View", "", "", "", tool::miView),
                              Tool(tool::miTools, "&Tools", "", "", "", tool::miTools),
                              Tool(tool::miWindow, "&Window", "", "", "", tool::miWindow),
                              Tool(tool::miHelp, "&Help", "", "", "", tool::miHelp)}});
    bands.push_back(BandSpec{
        QLatin1String(tool::miFile),
        QStringLiteral("File"),
        {Tool(tool::miOpenLog, "Open Log...", "Open Race Log", "Open Race Log (.csv)", "File"),
         Tool(tool::miSaveLog, "Save Log...", "Save Logged Runs", "Save Logged Runs to Disk",
              "File"),
         Tool(tool::miSaveXML, "Save as XML...", "", "Save Log as a XML File", "File"),
         Tool(tool::miSaveHTML, "Save as HTML...", "", "Save Log as a HTML File", "File"),
         Tool(tool::miSaveXLS, "Save as Excel...", "", "Save Log as a Excel File", "File"),
         Tool(tool::miClearLog, "Clear Log", "Clear Logged Runs", "Clear Logged Runs", "File"),
         Tool(tool::miImportLogs, "Import Race Logs...", "Import Race Logs into the Logbook",
              "Import Race Log Files into the Season Logbook", "File"),
         Separator(),
         Tool(tool::miPrintPreview, "Print Preview...", "Print Preview", "Print Preview", "File"),
         Separator(),
         Tool(tool::miClose, "&Close", "Close Active Window", "Close Active Window", "File"),
         Separator(), Tool(tool::miExit, "E&xit", "Exit Software", "Exit Software", "File")}});
    bands.push_back(BandSpec{
        QLatin1String(tool::miView),
        QStringLiteral("View"),
        {Tool(tool::miRaceLog, "Race Log...", "Time Slip Race Log", "Time Slip Race Log", "View"),
         Tool(tool::miFilter, "Filter...", "Race Log Filter", "Race Log Filter", "View"),
         Tool(tool::miStats, "Statistics...", "Car Statistics", "Figures and Charts of Every Car",
              "View"),
         Tool(tool::miLogbook, "Logbook...", "Season Logbook",
              "Every Race of the Season, Notes and Set-up of My Car's Runs", "View"),
         Separator(),
         Tool(tool::miTimeSlip, "Time Slip...", "Time Slip", "Realtime Time Slip View", "View")}});
    bands.push_back(BandSpec{
        QLatin1String(tool::miTools),
        QStringLiteral("Tools"),
        {Tool(tool::miChangeChannel, "Change Channel...", "Change USB Frequency",
              "Change USB Frequency", "Tools"),
         Tool(tool::miMyCar, "My Car...", "My Car Alert", "Alert When My Car Races", "Tools"),
         Tool(tool::miPitView, "Pit View...", "Pit View", "Live Time Slips on Phones in the Pits",
              "Tools"),
         Tool(tool::miWeather, "Weather...", "Weather",
              "Type or Fetch the Air: Temperature, Humidity, Barometer", "Tools"),
         Separator(),
         Tool(tool::miCalculator, "Calculator...", "Launch Calculator", "Launch Calculator",
              "Tools"),
         Tool(tool::miBackgroundColor, "Background Color", "Set Background Color",
              "Set Background Color", "Tools", tool::tbColor),
         Separator(),
         Tool(tool::miRefresh, "Refresh", "Refresh Screen", "Refresh Screen", "Tools")}});
    bands.push_back(BandSpec{
        QLatin1String(tool::miWindow),
        QStringLiteral("Window"),
        {Tool(tool::miTileHorizontally, "Tile &Horizontally", "", "Tile Windows Horizontally",
              "Window"),
         Tool(tool::miTileVertically, "Tile &Vertically", "", "Tile Windows Vertically", "Window"),
         Tool(tool::miCascade, "&Cascade", "", "Cascade Windows", "Window"), Separator(),
         Tool(tool::miCloseAll, "Close All", "", "Close All Open Windows", "Window"),
         Tool(tool::miWindowList, "Window List", "", "Open Window Listing", "Window")}});
    bands.push_back(BandSpec{
        QLatin1String(tool::miHelp),
        QStringLiteral("Help"),
        {Tool(tool::miAbout, "&About OrvanRX...", "", "About OrvanRX and OrvanUSB", "Help")}});
    // The tool bar shows tools of the menus: the same names with the same texts.
    BandSpec toolBar{QLatin1String(tool::tbMain), QStringLiteral("Tool Bar"), {}};
    for (const char* name : {tool::miOpenLog, tool::miSaveLog, tool::miPrintPreview, "",
                             tool::miTimeSlip, tool::miRaceLog, tool::miFilter, tool::miStats}) {
        toolBar.tools.push_back(*name ? *FindIn(bands, QString::fromLatin1(name)) : Separator());
    }
    bands.push_back(toolBar);

    BandSpec color{QLatin1String(tool::tbColor), QStringLiteral("Color"), {}};
    color.tools.push_back(
        Tool(tool::miNoFill, "No Fill", "", "Desktop Background Color", "Colors"));
    color.tools.push_back(Separator());
    for (const PaletteEntry& entry : kPalette) {
        color.tools.push_back(Tool(entry.name, entry.caption, "", entry.description, "Colors"));
    }
    color.tools.push_back(Separator());
    color.tools.push_back(
        Tool(tool::miMoreColors, "More Colors...", "", "Additional Colors...", "Colors"));
    bands.push_back(color);

    bands.push_back(
        BandSpec{QLatin1String(tool::tbRaceLog),
                 QStringLiteral("Race Log"),
                 {Tool(tool::miCategories, "One Category", "One / All Categories", "", ""),
                  Separator(), Tool(tool::miExpand, "Expand", "Expand All Categories", "", ""),
                  Tool(tool::miCollapse, "Collapse", "Collapse All Categories", "", ""),
                  Separator(), Tool(tool::miPause, "Pause", "Pause Race Log Updates", "", ""),
                  Tool(tool::miRefreshLog, "Refresh", "Refresh Race Log", "", "")}});
    return bands;
}

}  // namespace

const std::vector<BandSpec>& CommandBands() {
    // Immutable data built once; nothing writes to it.
    static const std::vector<BandSpec> bands = BuildBands();
    return bands;
}

const BandSpec* FindBand(const QString& name) {
    for (const BandSpec& band : CommandBands()) {
        if (band.name == name) {
            return &band;
        }
    }
    return nullptr;
}

const ToolSpec* FindTool(const QString& name) {
    return FindIn(CommandBands(), name);
}

bool PaletteColorValue(const QString& toolName, int& value) {
    if (toolName == QLatin1String(tool::miNoFill)) {
        value = kDesktopColorReference;
        return true;
    }
    for (const PaletteEntry& entry : kPalette) {
        if (toolName == QLatin1String(entry.name)) {
            value = RgbColorValue(entry.red, entry.green, entry.blue);
            return true;
        }
    }
    return false;
}

}  // namespace orvanrx
