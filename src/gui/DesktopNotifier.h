#pragma once

#include <QString>
#include <memory>

namespace orvanrx {

// A desktop notification, where the platform offers one. Notify never waits for the desktop:
// it is called from the poll loop's tick.
class DesktopNotifier {
public:
    virtual ~DesktopNotifier() = default;
    virtual void Notify(const QString& summary, const QString& body) = 0;
};

// The platform's notifier: the freedesktop notification service on the session's D-Bus where
// the program is built with Qt DBus (silently nothing when there is no bus or no service);
// elsewhere one that shows nothing.
std::unique_ptr<DesktopNotifier> MakeDesktopNotifier();

}  // namespace orvanrx
