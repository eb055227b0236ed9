#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>
#include <memory>

#include "pitview/PitViewFeed.h"
#include "pitview/PitViewServer.h"

namespace orvanrx {

class SettingsStore;

// The page's address: "http://HOST:PORT/?key=KEY".
QString PitViewAddress(const QString& host, quint16 port, const QString& key);
// The machine's addresses phones on its network can reach: IPv4, not loopback, up and
// running; the loopback address when there is none.
QStringList PitViewHosts();

// The pit view of one running program: the feed that follows its poll loop and the server,
// started and stopped as the racer asks. The key comes from the settings.
class PitViewService {
public:
    PitViewService(PollObserver& next, const SettingsStore& settings, PitViewLimits limits = {});
    ~PitViewService();

    // What the station tells: the feed, which passes everything on to `next`.
    PollObserver& Observer() { return feed_; }
    void Attach(const RunTables& tables) { feed_.Attach(tables); }

    // Listens at `port` (0: any free port) on every address, or on the one given here or
    // set with SetListenAddress; false with ErrorString when it cannot.
    bool Start(quint16 port);
    bool Start(quint16 port, const QHostAddress& address);
    void SetListenAddress(const QHostAddress& address) { listen_ = address; }
    void Stop();
    bool Running() const { return server_.IsListening(); }
    quint16 Port() const { return server_.Port(); }
    QString ErrorString() const { return server_.ErrorString(); }
    // The address of the page on the first of PitViewHosts().
    QString Address() const;

    // A new key kept in the settings and used at once: every phone must scan again.
    void RenewKey();
    QString Key() const { return server_.Key(); }

    PitViewServer& Server() { return server_; }
    PitViewFeed& Feed() { return feed_; }

private:
    const SettingsStore& settings_;
    QHostAddress listen_{QHostAddress::Any};
    PitViewFeed feed_;
    PitViewServer server_;
};

}  // namespace orvanrx
