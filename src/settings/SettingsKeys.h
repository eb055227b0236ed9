#pragma once

#include <QLatin1String>

namespace orvanrx {

// Every settings key path and value name the program uses. Key paths are relative to the
// current user's root and end with a backslash, except the RAM key, which has none; the
// store keeps the two spellings apart, so use these constants rather than retyping a path.

// --- Key paths ----------------------------------------------------------------------------
inline constexpr QLatin1String kProgramKey{"SOFTWARE\\OrvanRX\\"};
inline constexpr QLatin1String kMainScreenSettingsKey{"SOFTWARE\\OrvanRX\\Main\\ScreenSettings\\"};
inline constexpr QLatin1String kTimeSlipScreenSettingsKey{
    "SOFTWARE\\OrvanRX\\TimeSlip\\ScreenSettings\\"};
inline constexpr QLatin1String kRaceLogScreenSettingsKey{
    "SOFTWARE\\OrvanRX\\RaceLog\\ScreenSettings\\"};
inline constexpr QLatin1String kRaceLogFieldsKey{"SOFTWARE\\OrvanRX\\RaceLog\\Fields\\"};
inline constexpr QLatin1String kRaceLogPathKey{"SOFTWARE\\OrvanRX\\RaceLog\\Path\\"};
inline constexpr QLatin1String kMemoryDumpKey{"SOFTWARE\\OrvanRX\\RaceLog\\MemoryDump\\"};
inline constexpr QLatin1String kRamKey{"SOFTWARE\\OrvanRX\\RAM"};
inline constexpr QLatin1String kLogFileKey{"SOFTWARE\\OrvanRX\\LogFile\\"};
inline constexpr QLatin1String kStatsScreenSettingsKey{
    "SOFTWARE\\OrvanRX\\Stats\\ScreenSettings\\"};
// The statistics window's source of figures and its choice of the logbook's races.
inline constexpr QLatin1String kStatsSourceKey{"SOFTWARE\\OrvanRX\\Stats\\Source\\"};
inline constexpr QLatin1String kMyCarKey{"SOFTWARE\\OrvanRX\\MyCar\\"};
inline constexpr QLatin1String kPitViewKey{"SOFTWARE\\OrvanRX\\PitView\\"};

// --- Value names --------------------------------------------------------------------------
// Under kProgramKey: the venue byte of the last data reply, as decimal text.
inline constexpr QLatin1String kVenueValue{"Venue"};
// Under kMainScreenSettingsKey: the main window's background colour.
inline constexpr QLatin1String kBackColorValue{"BackColor"};
// Under kMainScreenSettingsKey: the text size of the log grids and the time slip, in percent.
inline constexpr QLatin1String kTextSizeValue{"TextSize"};
// Under the ScreenSettings keys: window state, size and position in twips.
inline constexpr QLatin1String kWindowStateValue{"WindowState"};
inline constexpr QLatin1String kWidthValue{"Width"};
inline constexpr QLatin1String kHeightValue{"Height"};
inline constexpr QLatin1String kTopValue{"Top"};
inline constexpr QLatin1String kLeftValue{"Left"};
// Under kRaceLogScreenSettingsKey: the width of the race-log grid's Name column.
inline constexpr QLatin1String kNameColumnWidthValue{"Name"};
// Under kRaceLogFieldsKey: the race-log view choices, "True" or "False".
inline constexpr QLatin1String kAllCategoriesField{"All Categories"};
inline constexpr QLatin1String kClassField{"Class"};
inline constexpr QLatin1String kCarNumberField{"Car Number"};
inline constexpr QLatin1String kBumpField{"Bump"};
inline constexpr QLatin1String kDialField{"Dial"};
inline constexpr QLatin1String kReactionTimeField{"Reaction Time"};
inline constexpr QLatin1String k1000MphField{"1000' MPH"};
inline constexpr QLatin1String kMarginField{"Margin"};
inline constexpr QLatin1String kOvrUndField{"Ovr/Und"};
inline constexpr QLatin1String kWinField{"Win"};
// Under kRaceLogPathKey: the folder last used in a race-log file dialog.
inline constexpr QLatin1String kDialogFolderValue{"0"};
// Under kMemoryDumpKey: bytes 2 and 3 of the receive mirror (the RunBlock pointer).
inline constexpr QLatin1String kRunBlockPointerHighValue{"2"};
inline constexpr QLatin1String kRunBlockPointerLowValue{"3"};
// Under kLogFileKey: the full path of the race-log file written last.
inline constexpr QLatin1String kLogFileValue{"LogFile"};
// Under kMyCarKey: the racer's own car numbers, separated by commas ("1234, 77A").
inline constexpr QLatin1String kMyCarNumbersValue{"Numbers"};
// Under kPitViewKey: the pit view's access key (hex), its port, whether it runs ("True" or
// "False"), and whether the racer agreed to listening on the network ("True").
inline constexpr QLatin1String kPitViewAccessKeyValue{"AccessKey"};
inline constexpr QLatin1String kPitViewPortValue{"Port"};
inline constexpr QLatin1String kPitViewEnabledValue{"Enabled"};
inline constexpr QLatin1String kPitViewNetworkAgreedValue{"NetworkAgreed"};
// Under kStatsSourceKey: "Log" or "Season"; the track's name (empty: all tracks); the first
// and last day (yyyy-MM-dd, empty: open); the rounds, "All", "Qualifying" or "Eliminations".
inline constexpr QLatin1String kStatsSourceValue{"Source"};
inline constexpr QLatin1String kStatsTrackValue{"Track"};
inline constexpr QLatin1String kStatsSinceValue{"Since"};
inline constexpr QLatin1String kStatsUntilValue{"Until"};
inline constexpr QLatin1String kStatsRoundsValue{"Rounds"};
// Under kRamKey the value names are the mirror offsets in plain decimal ("1000").

// --- Texts --------------------------------------------------------------------------------
// What a read answers for a value that is missing, empty or unreadable.
inline constexpr QLatin1String kNoKeyValue{"No Key Value"};
// How Booleans are stored as text.
inline constexpr QLatin1String kTrueText{"True"};
inline constexpr QLatin1String kFalseText{"False"};

}  // namespace orvanrx
