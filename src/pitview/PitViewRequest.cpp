#include "pitview/PitViewRequest.h"

#include <QList>
#include <optional>

#include "pitview/PitViewKey.h"

namespace orvanrx {

namespace {

using Action = PitViewVerdict::Action;

PitViewVerdict Refuse(int status) {
    return {Action::Refuse, status};
}

bool IsTokenChar(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return true;
    }
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool IsToken(QByteArrayView text) {
    if (text.isEmpty()) {
        return false;
    }
    for (const char c : text) {
        if (!IsTokenChar(c)) {
            return false;
        }
    }
    return true;
}

// Visible ASCII only: no blanks, no controls, nothing above 126.
bool IsVisible(QByteArrayView text) {
    for (const char c : text) {
        if (c <= ' ' || c > '~') {
            return false;
        }
    }
    return true;
}

// A header value: tabs and visible characters; no other controls.
bool IsFieldValue(QByteArrayView text) {
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7F) {
            return false;
        }
    }
    return true;
}

bool ContainsToken(QByteArrayView list, QByteArrayView token) {
    for (const QByteArrayView item : QByteArray(list.data(), list.size()).split(',')) {
        if (item.trimmed().compare(token, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

struct Head {
    QByteArrayView method;
    QByteArrayView path;
    QByteArrayView query;
    bool upgrade = false;        // Upgrade: websocket and Connection: upgrade
    bool upgradeHeader = false;  // any Upgrade header
    bool body = false;           // Content-Length other than 0, or Transfer-Encoding
};

// The value of the single "key" parameter of the query; nothing when there is none or more
// than one.
std::optional<QByteArrayView> KeyParameter(QByteArrayView query) {
    std::optional<QByteArrayView> found;
    qsizetype start = 0;
    while (start <= query.size()) {
        qsizetype end = query.indexOf('&', start);
        if (end < 0) {
            end = query.size();
        }
        const QByteArrayView item = query.sliced(start, end - start);
        if (item.startsWith("key=")) {
            if (found) {
                return std::nullopt;
            }
            found = item.sliced(4);
        }
        start = end + 1;
    }
    return found;
}

}  // namespace

PitViewVerdict CheckPitViewRequest(QByteArrayView received, QByteArrayView key,
                                   const PitViewLimits& limits) {
    const qsizetype headEnd = received.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        return received.size() >= limits.maxHeadBytes ? Refuse(431) : PitViewVerdict{};
    }
    if (headEnd + 4 > limits.maxHeadBytes) {
        return Refuse(431);
    }
    if (headEnd + 4 != received.size()) {
        return Refuse(400);
    }
    const QByteArrayView headText = received.first(headEnd);
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    while (start <= headText.size()) {
        qsizetype end = headText.indexOf("\r\n", start);
        if (end < 0) {
            end = headText.size();
        }
        lines.append(headText.sliced(start, end - start));
        start = end + 2;
    }
    if (lines.size() - 1 > limits.maxHeaderCount) {
        return Refuse(431);
    }

    // The request line: exactly three parts separated by single blanks.
    const QByteArrayView requestLine = lines.constFirst();
    const qsizetype firstBlank = requestLine.indexOf(' ');
    const qsizetype lastBlank = requestLine.lastIndexOf(' ');
    if (firstBlank <= 0 || lastBlank == firstBlank) {
        return Refuse(400);
    }
    Head head;
    head.method = requestLine.first(firstBlank);
    const QByteArrayView target = requestLine.sliced(firstBlank + 1, lastBlank - firstBlank - 1);
    const QByteArrayView version = requestLine.sliced(lastBlank + 1);
    if (!IsToken(head.method) || !IsVisible(target) || !target.startsWith('/') ||
        (version != "HTTP/1.1" && version != "HTTP/1.0")) {
        return Refuse(400);
    }
    const qsizetype question = target.indexOf('?');
    head.path = question < 0 ? target : target.first(question);
    head.query = question < 0 ? QByteArrayView() : target.sliced(question + 1);

    bool upgradeWebSocket = false;
    bool connectionUpgrade = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArrayView line = lines.at(i);
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !IsToken(line.first(colon)) || !IsFieldValue(line.sliced(colon + 1))) {
            return Refuse(400);
        }
        const QByteArrayView name = line.first(colon);
        const QByteArrayView value = line.sliced(colon + 1).trimmed();
        if (name.compare("Upgrade", Qt::CaseInsensitive) == 0) {
            head.upgradeHeader = true;
            upgradeWebSocket = value.compare("websocket", Qt::CaseInsensitive) == 0;
        } else if (name.compare("Connection", Qt::CaseInsensitive) == 0) {
            connectionUpgrade = connectionUpgrade || ContainsToken(value, "upgrade");
        } else if (name.compare("Content-Length", Qt::CaseInsensitive) == 0) {
            head.body = head.body || value != "0";
        } else if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0) {
            head.body = true;
        }
    }
    head.upgrade = upgradeWebSocket && connectionUpgrade;

    const std::optional<QByteArrayView> offered = KeyParameter(head.query);
    if (!offered || !PitViewKeysEqual(*offered, key)) {
        return Refuse(403);
    }
    if (head.method != "GET" && head.method != "HEAD") {
        return Refuse(405);
    }
    if (head.body) {
        return Refuse(413);
    }
    if (head.path == kPitViewPagePath) {
        return head.upgradeHeader ? Refuse(400) : PitViewVerdict{Action::Page, 0};
    }
    if (head.path == kPitViewLivePath) {
        return head.upgrade && head.method == "GET" ? PitViewVerdict{Action::Live, 0} : Refuse(426);
    }
    return Refuse(404);
}

QByteArray PitViewRefusal(int status) {
    QByteArray reason;
    switch (status) {
        case 400:
            reason = "Bad Request";
            break;
        case 403:
            reason = "Forbidden";
            break;
        case 404:
            reason = "Not Found";
            break;
        case 405:
            reason = "Method Not Allowed";
            break;
        case 408:
            reason = "Request Timeout";
            break;
        case 413:
            reason = "Content Too Large";
            break;
        case 426:
            reason = "Upgrade Required";
            break;
        case 431:
            reason = "Request Header Fields Too Large";
            break;
        case 503:
            reason = "Service Unavailable";
            break;
        default:
            reason = "Error";
            break;
    }
    const QByteArray body = QByteArray::number(status) + ' ' + reason + '\n';
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    answer += "Content-Type: text/plain; charset=utf-8\r\n";
    answer += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    answer += "Cache-Control: no-store\r\n";
    answer += "Content-Security-Policy: default-src 'none'; frame-ancestors 'none'\r\n";
    answer += "X-Content-Type-Options: nosniff\r\n";
    if (status == 405) {
        answer += "Allow: GET, HEAD\r\n";
    }
    if (status == 426) {
        answer += "Upgrade: websocket\r\n";
    }
    answer += "Connection: close\r\n\r\n";
    return answer + body;
}

}  // namespace orvanrx
