#pragma once

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QStringList>
#include <QWidget>

namespace orvanrx::test {

// Roles that only hold or arrange other controls, or that are their own text (a label): they
// need no name of their own. A plain widget (Client) that holds nothing but has a tool tip or
// takes the focus is a control drawn by the program (a lamp, the marquee) and does need one;
// one without either is a spacer.
inline bool IsContainerRole(QAccessible::Role role) {
    switch (role) {
        case QAccessible::Client:
        case QAccessible::Pane:
        case QAccessible::Grouping:
        case QAccessible::Window:
        case QAccessible::Separator:
        case QAccessible::ScrollBar:
        case QAccessible::LayeredPane:
        case QAccessible::Splitter:
        case QAccessible::Grip:
        case QAccessible::TitleBar:
        case QAccessible::Border:
        case QAccessible::Whitespace:
        case QAccessible::StaticText:
            return true;
        default:
            return false;
    }
}

inline bool HoldsCells(QAccessible::Role role) {
    return role == QAccessible::Table || role == QAccessible::Tree || role == QAccessible::List ||
           role == QAccessible::TreeItem || role == QAccessible::Row;
}

// Every visible control below `iface` without an accessible name, as "path: role". The cells
// of tables, trees and lists are not walked (a cell may be empty).
inline void CollectUnnamed(QAccessibleInterface* iface, const QString& path, QStringList& out) {
    if (iface == nullptr || !iface->isValid() || iface->state().invisible) {
        return;
    }
    const QAccessible::Role role = iface->role();
    const int children = iface->childCount();
    const auto* widget = qobject_cast<const QWidget*>(iface->object());
    // A scroll area's viewport is its container's inside, not a control of its own.
    const auto* area = widget != nullptr
                           ? qobject_cast<const QAbstractScrollArea*>(widget->parentWidget())
                           : nullptr;
    const bool viewport = area != nullptr && area->viewport() == widget;
    const bool drawnControl =
        role == QAccessible::Client && children == 0 && widget != nullptr && !viewport &&
        (!widget->toolTip().isEmpty() || widget->focusPolicy() != Qt::NoFocus);
    const bool needsName = !IsContainerRole(role) || drawnControl;
    QString here = path;
    if (QObject* object = iface->object(); object != nullptr && !object->objectName().isEmpty()) {
        here += QLatin1Char('/') + object->objectName();
    }
    if (needsName && iface->text(QAccessible::Name).trimmed().isEmpty()) {
        out << QStringLiteral("%1 (%2): role 0x%3")
                   .arg(here, QString::fromLatin1(iface->object() != nullptr
                                                      ? iface->object()->metaObject()->className()
                                                      : "?"))
                   .arg(static_cast<int>(role), 0, 16);
    }
    if (HoldsCells(role)) {
        return;
    }
    for (int i = 0; i < children; ++i) {
        CollectUnnamed(iface->child(i), here, out);
    }
}

inline QStringList UnnamedControls(QWidget& window) {
    QStringList out;
    CollectUnnamed(QAccessible::queryAccessibleInterface(&window), window.objectName(), out);
    return out;
}

}  // namespace orvanrx::test
