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

// The palette in its order; "miNoFill" and "miMoreColors" stand apart.
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
    bands.push_back(BandSpec{QStringLiteral("miMain"),
                             QStringLiteral("Menu Bar"),
                             {Tool("miFile", "&File", "", "", "", "miFile"),
                              Tool("miView", "&View", "", "", "", "miView"),
                              Tool("miTools", "&Tools", "", "", "", "miTools"),
                              Tool("miWindow", "&Window", "", "", "", "miWindow"),
                              Tool("miHelp", "&Help", "", "", "", "miHelp")}});
    bands.push_back(BandSpec{
        QStringLiteral("miFile"),
        QStringLiteral("File"),
        {Tool("miOpenLog", "Open Log...", "Open Race Log", "Open Race Log (.csv)", "File"),
         Tool("miSaveLog", "Save Log...", "Save Logged Runs", "Save Logged Runs to Disk", "File"),
         Tool("miSaveXML", "Save as XML...", "", "Save Log as a XML File", "File"),
         Tool("miSaveHTML", "Save as HTML...", "", "Save Log as a HTML File", "File"),
         Tool("miSaveXLS", "Save as Excel...", "", "Save Log as a Excel File", "File"),
         Tool("miClearLog", "Clear Log", "Clear Logged Runs", "Clear Logged Runs", "File"),
         Tool("miImportLogs", "Import Race Logs...", "Import Race Logs into the Logbook",
              "Import Race Log Files into the Season Logbook", "File"),
         Separator(),
         Tool("miPrintPreview", "Print Preview...", "Print Preview", "Print Preview", "File"),
         Separator(),
         Tool("miClose", "&Close", "Close Active Window", "Close Active Window", "File"),
         Separator(), Tool("miExit", "E&xit", "Exit Software", "Exit Software", "File")}});
    bands.push_back(BandSpec{
        QStringLiteral("miView"),
        QStringLiteral("View"),
        {Tool("miRaceLog", "Race Log...", "Time Slip Race Log", "Time Slip Race Log", "View"),
         Tool("miFilter", "Filter...", "Race Log Filter", "Race Log Filter", "View"),
         Tool("miStats", "Statistics...", "Car Statistics", "Figures and Charts of Every Car",
              "View"),
         Tool("miLogbook", "Logbook...", "Season Logbook",
              "Every Race of the Season, Notes and Set-up of My Car's Runs", "View"),
         Separator(),
         Tool("miTimeSlip", "Time Slip...", "Time Slip", "Realtime Time Slip View", "View")}});
    bands.push_back(BandSpec{
        QStringLiteral("miTools"),
        QStringLiteral("Tools"),
        {Tool("miChangeChannel", "Change Channel...", "Change USB Frequency",
              "Change USB Frequency", "Tools"),
         Tool("miMyCar", "My Car...", "My Car Alert", "Alert When My Car Races", "Tools"),
         Separator(),
         Tool("miCalculator", "Calculator...", "Launch Calculator", "Launch Calculator", "Tools"),
         Tool("miBackgroundColor", "Background Color", "Set Background Color",
              "Set Background Color", "Tools", "tbColor"),
         Separator(), Tool("miRefresh", "Refresh", "Refresh Screen", "Refresh Screen", "Tools")}});
    bands.push_back(BandSpec{
        QStringLiteral("miWindow"),
        QStringLiteral("Window"),
        {Tool("miTileHorizontally", "Tile &Horizontally", "", "Tile Windows Horizontally",
              "Window"),
         Tool("miTileVertically", "Tile &Vertically", "", "Tile Windows Vertically", "Window"),
         Tool("miCascade", "&Cascade", "", "Cascade Windows", "Window"), Separator(),
         Tool("miCloseAll", "Close All", "", "Close All Open Windows", "Window"),
         Tool("miWindowList", "Window List", "", "Open Window Listing", "Window")}});
    bands.push_back(
        BandSpec{QStringLiteral("miHelp"),
                 QStringLiteral("Help"),
                 {Tool("miAbout", "&About OrvanRX...", "", "About OrvanRX and OrvanUSB", "Help")}});
    // The tool bar shows tools of the menus: the same names with the same texts.
    BandSpec toolBar{QStringLiteral("tbMain"), QStringLiteral("Tool Bar"), {}};
    for (const char* name : {"miOpenLog", "miSaveLog", "miPrintPreview", "", "miTimeSlip",
                             "miRaceLog", "miFilter", "miStats"}) {
        toolBar.tools.push_back(*name ? *FindIn(bands, QString::fromLatin1(name)) : Separator());
    }
    bands.push_back(toolBar);

    BandSpec color{QStringLiteral("tbColor"), QStringLiteral("Color"), {}};
    color.tools.push_back(Tool("miNoFill", "No Fill", "", "Desktop Background Color", "Colors"));
    color.tools.push_back(Separator());
    for (const PaletteEntry& entry : kPalette) {
        color.tools.push_back(Tool(entry.name, entry.caption, "", entry.description, "Colors"));
    }
    color.tools.push_back(Separator());
    color.tools.push_back(
        Tool("miMoreColors", "More Colors...", "", "Additional Colors...", "Colors"));
    bands.push_back(color);

    bands.push_back(
        BandSpec{QStringLiteral("tbRaceLog"),
                 QStringLiteral("Race Log"),
                 {Tool("miCategories", "One Category", "One / All Categories", "", ""), Separator(),
                  Tool("miExpand", "Expand", "Expand All Categories", "", ""),
                  Tool("miCollapse", "Collapse", "Collapse All Categories", "", ""), Separator(),
                  Tool("miPause", "Pause", "Pause Race Log Updates", "", ""),
                  Tool("miRefreshLog", "Refresh", "Refresh Race Log", "", "")}});
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
    if (toolName == QLatin1String("miNoFill")) {
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
