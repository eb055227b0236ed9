#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpSocket>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "pitview/PitViewRequest.h"

class QHttpServer;
class QWebSocket;
class QTimer;

namespace orvanrx {

// The pit view's server: the page at "/" and the live feed, a WebSocket at "/live", for the
// phones of the racer's people, behind the access key. It runs in the thread that creates it
// (the program's event loop) and never blocks: a message is queued to each live client and
// written out by the event loop; a client that does not take its messages in is dropped.
//
// Connections arrive at a gate of our own (a QTcpServer) that reads each request head first
// (CheckPitViewRequest: size, header count, form, key, method, path) without taking the bytes
// out of the socket, answers every refusal itself, and only then hands the connection to
// Qt's HTTP server, which serves the page or upgrades the connection to a WebSocket. The gate
// also counts connections (limits.maxConnections; more get 503 at once), closes a connection
// whose head is not complete within limits.headTimeoutMs, and closes an HTTP connection after
// its one answer: a second request on it is never read.
class PitViewServer final : public QObject {
    Q_OBJECT
public:
    explicit PitViewServer(QString key, QByteArray page, PitViewLimits limits = {},
                           QObject* parent = nullptr);
    ~PitViewServer() override;

    // Starts listening; false (and ErrorString) when the address or port cannot be used.
    // Port 0 takes any free port.
    bool Listen(const QHostAddress& address, quint16 port);
    // Stops listening and closes every connection.
    void Close();
    bool IsListening() const;
    quint16 Port() const;
    QString ErrorString() const { return error_; }

    // A new access key: every connection is closed; only the new key gets in.
    void SetKey(const QString& key);
    const QString& Key() const { return key_; }

    // The first message a live client gets (the whole state); asked for at each connection.
    void SetGreeting(std::function<QString()> greeting) { greeting_ = std::move(greeting); }
    // Queues `message` to every live client. A client with more than limits.maxQueuedBytes
    // still unsent is dropped instead.
    void Broadcast(const QString& message);

    struct Peer {
        QString address;
        QDateTime since;
    };
    // The live clients, oldest first.
    std::vector<Peer> LivePeers() const;
    int LiveCount() const { return static_cast<int>(live_.size()); }
    // Every open connection, live or not.
    int ConnectionCount() const;
    // Live clients dropped for not taking their messages in or not answering pings.
    int DroppedCount() const { return dropped_; }

    // The page's headers: its content security policy allows only the page's own script and
    // style (by their hashes) and connections back to this server.
    QByteArray PageSecurityPolicy() const { return pagePolicy_; }

Q_SIGNALS:
    // A live client came or went.
    void LivePeersChanged();

private:
    class Gate;
    struct Connection {
        enum class State { Checking, Http, Live } state = State::Checking;
        // Qt's HTTP server disconnects every signal of a socket it upgrades, so a connection
        // cannot count on hearing of its socket's end: the pointer tells.
        QPointer<QTcpSocket> socket;
        QTimer* headTimer = nullptr;
    };
    struct LiveClient {
        QPointer<QTcpSocket> socket;
        QString address;
        QDateTime since;
        qint64 lastHeard = 0;  // ms since the epoch of the last pong or message
    };

    void Incoming(QTcpSocket* socket);
    void ReadHead(QTcpSocket* socket);
    void Refuse(QTcpSocket* socket, int status);
    void Forget(QTcpSocket* socket);
    // Drops the connections whose socket is gone.
    void Prune();
    void AcceptLive();
    void DropLive(QWebSocket* client);
    void PingLive();

    QString key_;
    QByteArray keyBytes_;
    QByteArray page_;
    QByteArray pagePolicy_;
    PitViewLimits limits_;
    QString error_;
    std::function<QString()> greeting_;
    std::unique_ptr<QHttpServer> http_;
    Gate* gate_ = nullptr;  // owned by http_ once bound
    std::map<QTcpSocket*, Connection> connections_;
    std::map<QWebSocket*, LiveClient> live_;
    QTimer* pingTimer_ = nullptr;
    int dropped_ = 0;
};

}  // namespace orvanrx
