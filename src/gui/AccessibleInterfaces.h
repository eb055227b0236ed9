#pragma once

class QAction;
class QString;

namespace orvanrx {

// Installs the program's own accessible interfaces (idempotent; call after QApplication is
// built, so they come before the toolkit's): a child window counts as shown while any part of it
// lies within the area, not only when all of it does, so a screen reader walking the tree reaches
// the controls of a window that sticks out past the area's edge; a log grid is the table of
// AccessibleLogGrid (the columns shown, a group header row one cell).
void InstallAccessibleInterfaces();

// The name assistive technology reads for `action` in a menu, where it is not its caption
// (the two colours captioned "Green"; the toolkit reads a menu item's caption only).
void SetMenuItemAccessibleName(QAction& action, const QString& name);

}  // namespace orvanrx
