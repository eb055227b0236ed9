#include "gui/CommandBars.h"

#include <QAction>
#include <QHelpEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <algorithm>

#include "gui/AccessibleInterfaces.h"
#include "gui/ToolIcons.h"
#include "gui/ToolTable.h"

namespace orvanrx {

namespace {

// A tool's keys, the first one shown in the menu.
QList<QKeySequence> ShortcutsOf(const QString& name) {
    static constexpr struct {
        const char* name;
        QKeyCombination keys;
    } kShortcuts[] = {
        {tool::miOpenLog, Qt::CTRL | Qt::Key_O},
        {tool::miSaveLog, Qt::CTRL | Qt::Key_S},
        {tool::miPrintPreview, Qt::CTRL | Qt::Key_P},
        {tool::miClose, Qt::CTRL | Qt::Key_W},
        {tool::miClose, Qt::CTRL | Qt::Key_F4},
        {tool::miExit, Qt::CTRL | Qt::Key_Q},
        {tool::miRefreshLog, Qt::Key_F5},
    };
    QList<QKeySequence> keys;
    for (const auto& shortcut : kShortcuts) {
        if (name == QLatin1String(shortcut.name)) {
            keys << QKeySequence(shortcut.keys);
        }
    }
    return keys;
}

// The caption as read: without its mnemonic mark and the dots of a dialog command.
QString ReadCaption(QString text) {
    text.remove(QLatin1Char('&'));
    while (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    return text.trimmed();
}

// True when the action's tool tip says nothing its caption does not.
bool TipRepeatsCaption(const QAction* action) {
    return action != nullptr &&
           ReadCaption(action->toolTip())
                   .compare(ReadCaption(action->text()), Qt::CaseInsensitive) == 0;
}

// Keeps back the tool tips that would only repeat a caption already in view: a menu item's,
// or a tool button's that shows its text. (An icon's tool tip names it, and stays.)
class RepeatedTipFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip) {
            return false;
        }
        const QAction* action = nullptr;
        if (auto* menu = qobject_cast<QMenu*>(watched)) {
            action = menu->actionAt(static_cast<QHelpEvent*>(event)->pos());
        } else if (auto* button = qobject_cast<QToolButton*>(watched)) {
            const bool textShown =
                button->toolButtonStyle() != Qt::ToolButtonIconOnly || button->icon().isNull();
            action = textShown ? button->defaultAction() : nullptr;
        }
        if (TipRepeatsCaption(action)) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        return false;
    }
};

}  // namespace

CommandBars::CommandBars(QMainWindow& window, std::function<void(const QString&)> onTool)
    : QObject(&window), onTool_(std::move(onTool)) {
    setObjectName(QStringLiteral("abMain"));
    QMenuBar* bar = window.menuBar();
    bar->setObjectName(QLatin1String(tool::miMain));
    bar->setAccessibleName(FindBand(QLatin1String(tool::miMain))->title);
    for (const ToolSpec& menuTool : FindBand(QLatin1String(tool::miMain))->tools) {
        QMenu* menu = BuildMenu(menuTool.subBand, bar);
        menu->setTitle(menuTool.caption);
        bar->addMenu(menu);
    }
    BuildToolBar(QLatin1String(tool::tbMain), window);
    BuildToolBar(QLatin1String(tool::tbColor), window);
    window.addToolBarBreak();
    QToolBar* raceLog = BuildToolBar(QLatin1String(tool::tbRaceLog), window);
    raceLog->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    raceLog->hide();
    // The race log's tools also in View > Race Log Commands, for the keyboard.
    Menu(QLatin1String(tool::miView))->addSeparator();
    QMenu* raceLogCommands = Menu(QLatin1String(tool::miView))->addMenu(tr("Race Log &Commands"));
    raceLogCommands->setObjectName(QStringLiteral("miRaceLogCommands"));
    raceLogCommands->menuAction()->setObjectName(QStringLiteral("miRaceLogCommands"));
    for (QAction* action : raceLog->actions()) {
        raceLogCommands->addAction(action);
    }

    auto* tips = new RepeatedTipFilter(this);
    for (QMenu* menu : std::as_const(menus_)) {
        menu->installEventFilter(tips);
    }
    for (QToolBar* toolBar : std::as_const(toolBars_)) {
        for (QToolButton* button : toolBar->findChildren<QToolButton*>()) {
            button->installEventFilter(tips);
        }
    }

    windowList_ = new QMenu(&window);
    windowList_->setObjectName(QStringLiteral("miWindowListMenu"));
    Action(QLatin1String(tool::miWindowList))->setMenu(windowList_);
    connect(windowList_, &QMenu::aboutToShow, this, [this, &window] { FillWindowList(window); });
}

QAction* CommandBars::Action(const QString& name) const {
    return actions_.value(name, nullptr);
}

QMenu* CommandBars::Menu(const QString& band) const {
    return menus_.value(band, nullptr);
}

QToolBar* CommandBars::ToolBar(const QString& band) const {
    return toolBars_.value(band, nullptr);
}

QAction* CommandBars::ActionFor(const QString& name) {
    if (QAction* existing = Action(name)) {
        return existing;
    }
    const ToolSpec* tool = FindTool(name);
    auto* action = new QAction(tool->caption, this);
    action->setObjectName(name);
    action->setToolTip(tool->toolTip.isEmpty() ? QString(tool->caption).remove(QLatin1Char('&'))
                                               : tool->toolTip);
    action->setStatusTip(tool->description);
    action->setProperty("category", tool->category);
    action->setShortcuts(ShortcutsOf(name));
    action->setIcon(ToolIcon(name));
    action->setIconVisibleInMenu(true);
    // Pause stays pressed while the race log is paused (the race log sets the state).
    action->setCheckable(name == QLatin1String(tool::miPause));
    connect(action, &QAction::triggered, this, [this, name] { onTool_(name); });
    actions_.insert(name, action);
    return action;
}

QMenu* CommandBars::BuildMenu(const QString& band, QWidget* parent) {
    const BandSpec* tools = FindBand(band);
    auto* menu = new QMenu(tools->title, parent);
    menu->setObjectName(band);
    menu->setToolTipsVisible(true);
    for (const ToolSpec& tool : tools->tools) {
        if (tool.name == QLatin1String(kSeparatorName)) {
            menu->addSeparator();
        } else if (!tool.subBand.isEmpty()) {
            QAction* action = ActionFor(tool.name);
            action->setMenu(BuildMenu(tool.subBand, menu));
            menu->addAction(action);
        } else {
            menu->addAction(ActionFor(tool.name));
        }
    }
    menus_.insert(band, menu);
    return menu;
}

QToolBar* CommandBars::BuildToolBar(const QString& band, QMainWindow& window) {
    const BandSpec* tools = FindBand(band);
    auto* toolBar = new QToolBar(tools->title, &window);
    toolBar->setObjectName(band);
    toolBar->setAccessibleName(tools->title);
    toolBar->setIconSize(band == QLatin1String(tool::tbColor) ? QSize(16, 16) : QSize(22, 22));
    for (const ToolSpec& tool : tools->tools) {
        if (tool.name == QLatin1String(kSeparatorName)) {
            toolBar->addSeparator();
        } else {
            QAction* action = ActionFor(tool.name);
            toolBar->addAction(action);
            // Two tools with one caption (the two greens) are told apart by their
            // descriptions.
            if (QWidget* button = toolBar->widgetForAction(action);
                button != nullptr && !tool.description.isEmpty() &&
                std::count_if(
                    tools->tools.begin(), tools->tools.end(),
                    [&tool](const ToolSpec& other) { return other.caption == tool.caption; }) > 1) {
                button->setAccessibleName(tool.description);
                SetMenuItemAccessibleName(*action, tool.description);
            }
        }
    }
    // The tool bar's own button for the tools it has no room for.
    if (auto* more = toolBar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"))) {
        more->setAccessibleName(tr("More Tools"));
    }
    window.addToolBar(Qt::TopToolBarArea, toolBar);
    toolBars_.insert(band, toolBar);
    return toolBar;
}

void CommandBars::FillWindowList(QMainWindow& window) {
    windowList_->clear();
    auto* area = qobject_cast<QMdiArea*>(window.centralWidget());
    if (area == nullptr) {
        return;
    }
    const QList<QMdiSubWindow*> children = area->subWindowList();
    for (QMdiSubWindow* child : children) {
        QAction* entry = windowList_->addAction(child->windowTitle());
        entry->setObjectName(QLatin1String(tool::miChildWindow));
        entry->setCheckable(true);
        entry->setChecked(child == area->activeSubWindow());
        connect(entry, &QAction::triggered, this,
                [this, child] { Q_EMIT ChildWindowChosen(child); });
    }
    if (children.isEmpty()) {
        windowList_->addAction(tr("(no open windows)"))->setEnabled(false);
    }
}

void CommandBars::ShowRaceLogBand(bool visible) {
    if (QToolBar* band = ToolBar(QLatin1String(tool::tbRaceLog))) {
        band->setVisible(visible);
    }
}

}  // namespace orvanrx
