#include "pitview/PitViewServer.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <algorithm>

namespace orvanrx {

// The listening socket: every connection starts here and is handed to the HTTP server only
// when its request passed the gate.
class PitViewServer::Gate final : public QTcpServer {
public:
    explicit Gate(PitViewServer& owner) : owner_(owner) {}
    // A connection whose request passed: QHttpServer takes it from the pending queue.
    void HandOver(QTcpSocket* socket) {
        addPendingConnection(socket);
        Q_EMIT newConnection();
    }

protected:
    void incomingConnection(qintptr descriptor) override {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        owner_.Incoming(socket);
    }

private:
    PitViewServer& owner_;
};

namespace {

// "'sha256-…'" for each inline element `tag` of the page, for its content security policy.
QByteArray InlineHashes(const QByteArray& page, const char* tag) {
    QByteArray sources;
    const QRegularExpression element(QStringLiteral("<%1>(.*?)</%1>").arg(QLatin1String(tag)),
                                     QRegularExpression::DotMatchesEverythingOption);
    const QString text = QString::fromUtf8(page);
    auto it = element.globalMatch(text);
    while (it.hasNext()) {
        const QByteArray content = it.next().captured(1).toUtf8();
        sources += " 'sha256-" +
                   QCryptographicHash::hash(content, QCryptographicHash::Sha256).toBase64() + '\'';
    }
    return sources;
}

qint64 NowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

}  // namespace

PitViewServer::PitViewServer(QString key, QByteArray page, PitViewLimits limits, QObject* parent)
    : QObject(parent),
      key_(std::move(key)),
      keyBytes_(key_.toLatin1()),
      page_(std::move(page)),
      limits_(limits) {
    pagePolicy_ = "default-src 'none'; script-src" + InlineHashes(page_, "script") + "; style-src" +
                  InlineHashes(page_, "style") +
                  "; connect-src 'self'; img-src data:; base-uri 'none'; form-action 'none'; "
                  "frame-ancestors 'none'";
    pingTimer_ = new QTimer(this);
    pingTimer_->setInterval(limits_.pingIntervalMs);
    connect(pingTimer_, &QTimer::timeout, this, &PitViewServer::PingLive);
}

PitViewServer::~PitViewServer() {
    Close();
}

bool PitViewServer::Listen(const QHostAddress& address, quint16 port) {
    Close();
    http_ = std::make_unique<QHttpServer>();
    http_->route(QString::fromLatin1(kPitViewPagePath), [this](const QHttpServerRequest&) {
        QHttpServerResponse response("text/html; charset=utf-8", page_);
        response.addHeader("Content-Security-Policy", pagePolicy_);
        response.addHeader("Cache-Control", "no-store");
        response.addHeader("X-Content-Type-Options", "nosniff");
        response.addHeader("Referrer-Policy", "no-referrer");
        response.addHeader("Connection", "close");
        return response;
    });
    // Qt's HTTP server upgrades a request to a WebSocket only when a route takes it; this one
    // writes nothing, so the handshake answer is the only thing on the socket. The gate lets
    // nothing but WebSocket upgrades through to this path.
    http_->route(QString::fromLatin1(kPitViewLivePath),
                 [](const QHttpServerRequest&, QHttpServerResponder&&) {});
    connect(http_.get(), &QHttpServer::newWebSocketConnection, this, &PitViewServer::AcceptLive);
    auto* gate = new Gate(*this);
    gate->setMaxPendingConnections(limits_.maxConnections);
    if (!gate->listen(address, port)) {
        error_ = gate->errorString();
        delete gate;
        http_.reset();
        return false;
    }
    http_->bind(gate);  // the HTTP server owns the gate from here on
    gate_ = gate;
    error_.clear();
    pingTimer_->start();
    return true;
}

void PitViewServer::Close() {
    pingTimer_->stop();
    const bool hadLive = !live_.empty();
    // Live clients first: each owns its QWebSocket; the sockets are the gate's children.
    std::map<QWebSocket*, LiveClient> live;
    live.swap(live_);
    for (auto& [client, info] : live) {
        client->disconnect(this);
        client->abort();
        delete client;
    }
    for (auto& [socket, connection] : connections_) {
        if (connection.socket) {
            connection.socket->disconnect(this);
        }
    }
    connections_.clear();
    gate_ = nullptr;
    http_.reset();  // deletes the gate and with it every connection's socket
    if (hadLive) {
        Q_EMIT LivePeersChanged();
    }
}

bool PitViewServer::IsListening() const {
    return gate_ != nullptr && gate_->isListening();
}

quint16 PitViewServer::Port() const {
    return gate_ != nullptr ? gate_->serverPort() : 0;
}

void PitViewServer::SetKey(const QString& key) {
    key_ = key;
    keyBytes_ = key_.toLatin1();
    if (gate_ == nullptr) {
        return;
    }
    const QHostAddress address = gate_->serverAddress();
    const quint16 port = gate_->serverPort();
    Listen(address, port);
}

void PitViewServer::Prune() {
    std::erase_if(connections_, [](const auto& entry) { return entry.second.socket.isNull(); });
}

int PitViewServer::ConnectionCount() const {
    return static_cast<int>(
        std::count_if(connections_.begin(), connections_.end(),
                      [](const auto& entry) { return !entry.second.socket.isNull(); }));
}

void PitViewServer::Incoming(QTcpSocket* socket) {
    Prune();
    if (static_cast<int>(connections_.size()) >= limits_.maxConnections) {
        socket->write(PitViewRefusal(503));
        socket->disconnectFromHost();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->state() == QAbstractSocket::UnconnectedState) {
            socket->deleteLater();
        }
        return;
    }
    Connection& connection = connections_[socket];
    connection.socket = socket;
    connection.headTimer = new QTimer(socket);
    connection.headTimer->setSingleShot(true);
    connect(connection.headTimer, &QTimer::timeout, this, [this, socket] {
        auto it = connections_.find(socket);
        if (it != connections_.end() && it->second.state == Connection::State::Checking) {
            Refuse(socket, 408);
        }
    });
    connection.headTimer->start(limits_.headTimeoutMs);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { ReadHead(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        Forget(socket);
        socket->deleteLater();
    });
    // A socket's buffered unsent bytes are the measure of a slow client; HTTP connections
    // close once their answer is out.
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
        auto it = connections_.find(socket);
        if (it != connections_.end() && it->second.state == Connection::State::Http &&
            socket->bytesToWrite() == 0) {
            socket->disconnectFromHost();
        }
    });
}

void PitViewServer::ReadHead(QTcpSocket* socket) {
    auto it = connections_.find(socket);
    if (it == connections_.end()) {
        return;
    }
    Connection& connection = it->second;
    if (connection.state != Connection::State::Checking) {
        // One request per connection: anything sent after it is not read.
        socket->abort();
        return;
    }
    // Never more than the head may hold is looked at, or kept.
    const QByteArray received = socket->peek(limits_.maxHeadBytes + 1);
    const PitViewVerdict verdict = CheckPitViewRequest(received, keyBytes_, limits_);
    switch (verdict.action) {
        case PitViewVerdict::Action::Wait:
            return;
        case PitViewVerdict::Action::Refuse:
            Refuse(socket, verdict.status);
            return;
        case PitViewVerdict::Action::Page:
            connection.state = Connection::State::Http;
            break;
        case PitViewVerdict::Action::Live:
            connection.state = Connection::State::Live;
            break;
    }
    connection.headTimer->stop();
    // The HTTP server reads the request from the socket itself; the gate stops reading. An
    // HTTP connection reads at most a head's worth at a time and is closed once its answer is
    // out (bytesWritten above). The socket's readyRead has fired already, so it is given once
    // more to the HTTP server.
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    if (connection.state == Connection::State::Http) {
        socket->setReadBufferSize(limits_.maxHeadBytes);
    }
    gate_->HandOver(socket);
    QPointer<QTcpSocket> guarded(socket);
    QMetaObject::invokeMethod(
        socket,
        [guarded] {
            if (guarded && guarded->bytesAvailable() > 0) {
                Q_EMIT guarded->readyRead();
            }
        },
        Qt::QueuedConnection);
}

void PitViewServer::Refuse(QTcpSocket* socket, int status) {
    auto it = connections_.find(socket);
    if (it != connections_.end()) {
        it->second.state = Connection::State::Http;  // closes once the answer is out
    }
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    // What it sent is not wanted; what it sends from now on is not read.
    socket->read(socket->bytesAvailable());
    socket->setReadBufferSize(1);
    socket->write(PitViewRefusal(status));
    socket->disconnectFromHost();
}

void PitViewServer::Forget(QTcpSocket* socket) {
    connections_.erase(socket);
}

void PitViewServer::AcceptLive() {
    while (http_ && http_->hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> owned = http_->nextPendingWebSocketConnection();
        QWebSocket* client = owned.release();
        client->setParent(this);
        // The page sends nothing that matters; what it might send is kept small.
        client->setMaxAllowedIncomingFrameSize(1024);
        client->setMaxAllowedIncomingMessageSize(1024);
        LiveClient info;
        info.address = client->peerAddress().toString();
        info.since = QDateTime::currentDateTime();
        info.lastHeard = NowMs();
        Prune();
        for (const auto& [socket, connection] : connections_) {
            if (connection.state == Connection::State::Live &&
                socket->peerPort() == client->peerPort() &&
                socket->peerAddress() == client->peerAddress()) {
                info.socket = socket;
                break;
            }
        }
        if (info.socket == nullptr) {
            // Not a connection the gate let through as live: cannot happen; closed anyway.
            client->abort();
            client->deleteLater();
            continue;
        }
        live_[client] = info;
        connect(client, &QWebSocket::disconnected, this, [this, client] { DropLive(client); });
        connect(client, &QWebSocket::pong, this, [this, client] {
            auto it = live_.find(client);
            if (it != live_.end()) {
                it->second.lastHeard = NowMs();
            }
        });
        connect(client, &QWebSocket::textMessageReceived, this, [this, client] {
            auto it = live_.find(client);
            if (it != live_.end()) {
                it->second.lastHeard = NowMs();
            }
        });
        if (greeting_) {
            client->sendTextMessage(greeting_());
        }
        Q_EMIT LivePeersChanged();
    }
}

void PitViewServer::DropLive(QWebSocket* client) {
    auto it = live_.find(client);
    if (it == live_.end()) {
        return;
    }
    if (it->second.socket) {
        connections_.erase(it->second.socket.data());
    }
    live_.erase(it);
    Prune();
    client->disconnect(this);
    client->abort();
    client->deleteLater();
    Q_EMIT LivePeersChanged();
}

void PitViewServer::Broadcast(const QString& message) {
    std::vector<QWebSocket*> slow;
    for (const auto& [client, info] : live_) {
        if (!info.socket || info.socket->bytesToWrite() > limits_.maxQueuedBytes) {
            slow.push_back(client);
            continue;
        }
        client->sendTextMessage(message);
    }
    for (QWebSocket* client : slow) {
        ++dropped_;
        DropLive(client);
    }
}

void PitViewServer::PingLive() {
    const qint64 now = NowMs();
    std::vector<QWebSocket*> silent;
    for (const auto& [client, info] : live_) {
        if (now - info.lastHeard > limits_.pongTimeoutMs || !info.socket ||
            info.socket->bytesToWrite() > limits_.maxQueuedBytes) {
            silent.push_back(client);
        } else {
            client->ping();
        }
    }
    for (QWebSocket* client : silent) {
        ++dropped_;
        DropLive(client);
    }
}

std::vector<PitViewServer::Peer> PitViewServer::LivePeers() const {
    std::vector<Peer> peers;
    for (const auto& [client, info] : live_) {
        peers.push_back({info.address, info.since});
    }
    std::sort(peers.begin(), peers.end(),
              [](const Peer& a, const Peer& b) { return a.since < b.since; });
    return peers;
}

}  // namespace orvanrx
