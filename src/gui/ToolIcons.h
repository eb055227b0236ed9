#pragma once

#include <QIcon>
#include <QString>

namespace orvanrx {

// The icon of a tool: from the desktop's icon theme where it has one, otherwise a built-in
// one (the style's standard icons, or a painted one); a colour swatch for the palette tools.
// An empty icon for tools that show only their caption.
QIcon ToolIcon(const QString& toolName);

}  // namespace orvanrx
