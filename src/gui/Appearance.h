#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QMdiArea;
class QMdiSubWindow;

namespace orvanrx {

class SettingsStore;

// Window placement and the main window's background colour, kept in the settings store.
//
// A placement is five REG_SZ values of decimal text under the window's key path
// (kTimeSlipScreenSettingsKey, kRaceLogScreenSettingsKey): WindowState (0 normal,
// 1 minimised, 2 maximised) and the outer Width, Height, Top and Left in twips, the position
// within the MDI area. The colour is BackColor under kMainScreenSettingsKey: a colour value
// as gui/ColorValue.h describes it, as decimal text.

// Stores WindowState and, only while the window is in the normal state, Width, Height, Top
// and Left, so that the size and position always describe the last normal placement.
void SaveWindowPlacement(const SettingsStore& store, const QString& keyPath,
                         const QMdiSubWindow& window);

// Applies the stored placement:
// - WindowState "1" or "2" minimises or maximises the window, and nothing else is applied;
//   "0" sets the normal state; another number leaves the state alone; a text that is not a
//   number (also a missing value) is replaced by "0".
// - Then Width, Height, Top and Left in turn: a numeric text is rounded to a whole number of
//   twips (a half to the even neighbour) and applied; anything else, or a number beyond 32
//   bits, is replaced by the window's current value.
// - Finally a placement whose title bar cannot be reached in the MDI area's viewport (it was
//   left on a monitor unplugged since, or on a larger screen) is pulled back into view. Until
//   the area is shown, the available size of its screen stands in for the viewport.
// With MissingValues::Leave nothing is written: the filter window opens where the race log
// stood and never changes the race log's record.
enum class MissingValues { WriteBack, Leave };
void RestoreWindowPlacement(const SettingsStore& store, const QString& keyPath,
                            QMdiSubWindow& window,
                            MissingValues missing = MissingValues::WriteBack);

// `window` unchanged when its title strip (its top kTitleStripHeight pixels) lies within the
// viewport from top to bottom and overlaps it across by kMinVisibleWidth pixels (or the whole
// width of a narrower window). Otherwise the window shrunk to fit the viewport where it is
// larger, and moved the least distance that puts it wholly inside.
inline constexpr int kTitleStripHeight = 20;
inline constexpr int kMinVisibleWidth = 40;
QRect PulledIntoView(const QRect& window, const QSize& viewport);

// Stores BackColor = value.
void SaveBackColor(const SettingsStore& store, const QString& keyPath, int value);
// The stored BackColor when it is a number within 32 bits (a half rounded to even);
// otherwise stores currentValue and gives it back.
int RestoreBackColor(const SettingsStore& store, const QString& keyPath, int currentValue);

// Paints the background of `area` (behind the child windows) in the colour `value` stands
// for; references to the desktop's colours take the area's palette.
void ApplyBackColor(QMdiArea& area, int value);

}  // namespace orvanrx
