#include "gui/DbusNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace orvanrx {

DbusNotifier::DbusNotifier(QDBusConnection connection, QObject* parent)
    : QObject(parent), connection_(std::move(connection)) {}

void DbusNotifier::Notify(const QString& summary, const QString& body) {
    if (!connection_.isConnected()) {
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                       QString::fromLatin1(kInterface), QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("orvanrx"));
    call << QStringLiteral("OrvanRX") << lastId_ << QStringLiteral("orvanrx") << summary << body
         << QStringList() << hints << static_cast<qint32>(kShowMs);
    auto* watcher = new QDBusPendingCallWatcher(connection_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                const QDBusPendingReply<quint32> reply = *finished;
                if (reply.isValid()) {
                    lastId_ = reply.value();
                }
                finished->deleteLater();
            });
}

}  // namespace orvanrx
