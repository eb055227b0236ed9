#include "gui/AccessibleInterfaces.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>

#include "gui/AccessibleLogGrid.h"
#include "gui/LogGridView.h"

namespace orvanrx {

namespace {

// A child window of the MDI area: the window role, its title as name and its one content widget
// as the only child, like the toolkit's own; offscreen only when nothing of it is in the area.
// (The toolkit marks a window offscreen as soon as a pixel of it leaves the area, and the
// desktop bridge then reports it, and so the whole window, as neither visible nor showing.)
class AccessibleChildFrame final : public QAccessibleWidget {
public:
    explicit AccessibleChildFrame(QMdiSubWindow* frame)
        : QAccessibleWidget(frame, QAccessible::Window) {}

    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Name) {
            return Frame()->windowTitle().remove(QStringLiteral("[*]"));
        }
        return QAccessibleWidget::text(type);
    }

    QAccessible::State state() const override {
        const QMdiSubWindow* frame = Frame();
        QAccessible::State state;
        state.focusable = true;
        state.movable = state.sizeable = !frame->isMaximized();
        const QWidget* focus = QApplication::focusWidget();
        state.focused = focus == frame || frame->isAncestorOf(focus);
        state.invisible = !frame->isVisible();
        if (const QWidget* area = frame->parentWidget()) {
            state.offscreen = !area->rect().intersects(frame->geometry());
        }
        state.disabled = !frame->isEnabled();
        return state;
    }

    int childCount() const override { return Frame()->widget() != nullptr ? 1 : 0; }

    QAccessibleInterface* child(int index) const override {
        QWidget* content = Frame()->widget();
        return index == 0 && content != nullptr ? QAccessible::queryAccessibleInterface(content)
                                                : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && child->object() != nullptr &&
                       child->object() == Frame()->widget()
                   ? 0
                   : -1;
    }

private:
    QMdiSubWindow* Frame() const { return static_cast<QMdiSubWindow*>(widget()); }
};

constexpr char kMenuItemNameProperty[] = "orvanrxAccessibleName";

// A menu item named apart from its caption; otherwise as the toolkit's own menu item (state,
// place, the press action, the status tip as its description).
class AccessibleNamedMenuItem final : public QAccessibleInterface,
                                      public QAccessibleActionInterface {
public:
    explicit AccessibleNamedMenuItem(QAction* action) : action_(action) {}

    bool isValid() const override { return action_ != nullptr && Menu() != nullptr; }
    QObject* object() const override { return action_; }
    QWindow* window() const override {
        return Menu() != nullptr ? Menu()->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(Menu());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QString text(QAccessible::Text type) const override {
        if (action_ == nullptr) {
            return {};
        }
        switch (type) {
            case QAccessible::Name:
                return action_->property(kMenuItemNameProperty).toString();
            case QAccessible::Description:
                return action_->statusTip();
            case QAccessible::Accelerator:
                return action_->shortcut().toString(QKeySequence::NativeText);
            default:
                return {};
        }
    }

    QRect rect() const override {
        const QMenu* menu = Menu();
        return menu != nullptr
                   ? menu->actionGeometry(action_).translated(menu->mapToGlobal(QPoint(0, 0)))
                   : QRect();
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        const QMenu* menu = Menu();
        if (menu == nullptr) {
            state.invalid = true;
            return state;
        }
        state.focusable = true;
        state.invisible = !menu->isVisible() || !action_->isVisible();
        state.focused = menu->activeAction() == action_;
        state.disabled = !action_->isEnabled();
        state.checkable = action_->isCheckable();
        state.checked = action_->isChecked();
        return state;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && action_ != nullptr && action_->isEnabled()) {
            action_->trigger();
        }
    }
    QStringList keyBindingsForAction(const QString&) const override {
        return action_ != nullptr && !action_->shortcut().isEmpty()
                   ? QStringList{action_->shortcut().toString(QKeySequence::NativeText)}
                   : QStringList{};
    }

private:
    QMenu* Menu() const {
        if (action_ == nullptr) {
            return nullptr;
        }
        for (QObject* holder : action_->associatedObjects()) {
            if (auto* menu = qobject_cast<QMenu*>(holder)) {
                return menu;
            }
        }
        return nullptr;
    }

    QPointer<QAction> action_;
};

QAccessibleInterface* Create(const QString& className, QObject* object) {
    if (className == QLatin1String("QAction") && object != nullptr &&
        object->property(kMenuItemNameProperty).isValid()) {
        return new AccessibleNamedMenuItem(static_cast<QAction*>(object));
    }
    if (className == QLatin1String(LogGridView::staticMetaObject.className())) {
        if (auto* grid = qobject_cast<LogGridView*>(object)) {
            return new AccessibleLogGrid(grid);
        }
    }
    if (className == QLatin1String("QMdiSubWindow")) {
        if (auto* frame = qobject_cast<QMdiSubWindow*>(object)) {
            return new AccessibleChildFrame(frame);
        }
    }
    return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces() {
    // The toolkit keeps each factory once, however often it is installed.
    QAccessible::installFactory(&Create);
}

void SetMenuItemAccessibleName(QAction& action, const QString& name) {
    action.setProperty(kMenuItemNameProperty, name);
}

}  // namespace orvanrx
