#include "gui/AccessibleInterfaces.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QMdiSubWindow>

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

QAccessibleInterface* Create(const QString& className, QObject* object) {
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

}  // namespace orvanrx
