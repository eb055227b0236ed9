#pragma once

#include <QByteArray>
#include <QByteArrayView>

// What the pit view answers a connection before the HTTP server sees it. Every request is read
// here first, from the bytes the connection has sent so far, and only a well-formed GET of one
// of the fixed paths that carries the right access key is handed to the HTTP server.
namespace orvanrx {

// The pit view's bounds. The defaults suit phones at the track; tests make them small.
struct PitViewLimits {
    int maxConnections = 32;          // open connections of every kind; more get 503
    int maxHeadBytes = 8192;          // a request's line and headers; more get 431
    int maxHeaderCount = 32;          // header lines; more get 431
    int headTimeoutMs = 10000;        // a request head not complete by then: closed
    qint64 maxQueuedBytes = 1 << 20;  // a live client with more unsent: dropped
    int pingIntervalMs = 10000;       // live clients are pinged this often
    int pongTimeoutMs = 30000;        // a live client silent this long: dropped
};

// The fixed paths.
inline constexpr char kPitViewPagePath[] = "/";
inline constexpr char kPitViewLivePath[] = "/live";

// The gate's verdict on the bytes received so far.
struct PitViewVerdict {
    enum class Action {
        Wait,    // the head is not complete yet
        Page,    // a GET or HEAD of the page: hand over
        Live,    // a WebSocket upgrade to the live feed: hand over
        Refuse,  // answer `status` and close
    };
    Action action = Action::Wait;
    int status = 0;  // with Refuse
};

// The gate's rules, in order:
// - a head not complete within limits.maxHeadBytes, or with more than limits.maxHeaderCount
//   header lines: 431;
// - a head that is not "METHOD TARGET HTTP/1.x" with well-formed header lines, or bytes
//   after the head (no request here has a body, and requests are not pipelined): 400;
// - no key, a wrong key, or the key given more than once in the query: 403, whatever the
//   path or method;
// - a method other than GET or HEAD: 405; a request body announced: 413;
// - a path other than "/" and "/live" (compared as sent: no decoding, no dot segments): 404;
// - "/live" without a WebSocket upgrade: 426; "/" with one: 400.
PitViewVerdict CheckPitViewRequest(QByteArrayView received, QByteArrayView key,
                                   const PitViewLimits& limits);

// A complete short answer for a refused request: status line, plain text naming the status,
// no caching, a content security policy that allows nothing, and "Connection: close".
QByteArray PitViewRefusal(int status);

}  // namespace orvanrx
