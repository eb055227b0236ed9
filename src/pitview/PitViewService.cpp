#include "pitview/PitViewService.h"

#include <QNetworkInterface>

#include "pitview/PitViewKey.h"
#include "pitview/PitViewPage.h"

namespace orvanrx {

QString PitViewAddress(const QString& host, quint16 port, const QString& key) {
    return QStringLiteral("http://%1:%2/?key=%3").arg(host).arg(port).arg(key);
}

QStringList PitViewHosts() {
    QStringList hosts;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack)) {
            continue;
        }
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            const QHostAddress ip = entry.ip();
            if (ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback()) {
                hosts.append(ip.toString());
            }
        }
    }
    if (hosts.isEmpty()) {
        hosts.append(QStringLiteral("127.0.0.1"));
    }
    return hosts;
}

PitViewService::PitViewService(PollObserver& next, const SettingsStore& settings,
                               PitViewLimits limits)
    : settings_(settings),
      feed_(next, settings),
      server_(ReadPitViewKey(settings), PitViewPage(), limits) {
    feed_.SetSend([this](const QString& message) { server_.Broadcast(message); });
    server_.SetGreeting([this] { return feed_.Greeting(); });
}

PitViewService::~PitViewService() {
    server_.Close();
}

bool PitViewService::Start(quint16 port) {
    return Start(port, listen_);
}

bool PitViewService::Start(quint16 port, const QHostAddress& address) {
    server_.SetKey(ReadPitViewKey(settings_));
    return server_.Listen(address, port);
}

void PitViewService::Stop() {
    server_.Close();
}

QString PitViewService::Address() const {
    const QString host =
        listen_ == QHostAddress(QHostAddress::Any) || listen_ == QHostAddress(QHostAddress::AnyIPv4)
            ? PitViewHosts().constFirst()
            : listen_.toString();
    return PitViewAddress(host, server_.Port(), server_.Key());
}

void PitViewService::RenewKey() {
    server_.SetKey(RenewPitViewKey(settings_));
}

}  // namespace orvanrx
