#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace orvanrx {

// abMain: the main window's menus and tool bars built from the command bands. Every tool name
// has exactly one QAction (objectName = the name; caption, tool tip and description as text,
// tool tip and status tip), shared by the menu and the tool bar that show it; a click on it
// reports the name to `onTool`, which dispatches it.
class CommandBars final : public QObject {
    Q_OBJECT
public:
    CommandBars(QMainWindow& window, std::function<void(const QString&)> onTool);

    // The action of a tool name, or nullptr.
    QAction* Action(const QString& name) const;
    // The menu of a band ("miFile" … "miHelp", "tbColor" as the Background Color sub-menu).
    QMenu* Menu(const QString& band) const;
    // The tool bars "tbMain", "tbColor", "tbRaceLog".
    QToolBar* ToolBar(const QString& band) const;
    // Every action, for tests and the refresh command.
    const QHash<QString, QAction*>& Actions() const { return actions_; }

    // Shows or hides the race-log tool bar "tbRaceLog" (the race log window does, as it opens
    // and closes).
    void ShowRaceLogBand(bool visible);

    // The Window List sub-menu: the open child windows, each entry named "miChildWindow".
    QMenu* WindowListMenu() const { return windowList_; }

Q_SIGNALS:
    // An entry of the window list was chosen: the child window to activate.
    void ChildWindowChosen(QWidget* child);

private:
    QAction* ActionFor(const QString& name);
    QMenu* BuildMenu(const QString& band, QWidget* parent);
    QToolBar* BuildToolBar(const QString& band, QMainWindow& window);
    void FillWindowList(QMainWindow& window);

    std::function<void(const QString&)> onTool_;
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
    QHash<QString, QToolBar*> toolBars_;
    QMenu* windowList_ = nullptr;
};

}  // namespace orvanrx
