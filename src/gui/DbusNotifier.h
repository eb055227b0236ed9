#pragma once

#include <QDBusConnection>
#include <QObject>

#include "gui/DesktopNotifier.h"

namespace orvanrx {

// Notifications through the freedesktop notification service (org.freedesktop.Notifications,
// its Notify method) on a D-Bus connection. The call is sent without waiting for the answer;
// the answer, when it comes, gives the notification's id, and the next notification replaces
// that one, so the desktop keeps only the latest. Without a connected bus nothing is sent;
// without the service the call fails on the bus and nothing shows.
class DbusNotifier final : public QObject, public DesktopNotifier {
    Q_OBJECT
public:
    static constexpr const char* kService = "org.freedesktop.Notifications";
    static constexpr const char* kPath = "/org/freedesktop/Notifications";
    static constexpr const char* kInterface = "org.freedesktop.Notifications";
    // How long a notification stays, in milliseconds.
    static constexpr int kShowMs = 10000;

    explicit DbusNotifier(QDBusConnection connection, QObject* parent = nullptr);

    void Notify(const QString& summary, const QString& body) override;

    // The id the service gave the last notification, 0 before any answer.
    quint32 LastId() const { return lastId_; }

private:
    QDBusConnection connection_;
    quint32 lastId_ = 0;
};

}  // namespace orvanrx
