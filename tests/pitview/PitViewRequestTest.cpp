#include <gtest/gtest.h>

#include <QSet>

#include "pitview/PitViewKey.h"
#include "pitview/PitViewRequest.h"

namespace orvanrx {
namespace {

using Action = PitViewVerdict::Action;

const QByteArray kKey = "0123456789abcdef0123456789abcdef";

QByteArray Get(const QByteArray& target, const QByteArray& headers = {}) {
    return "GET " + target + " HTTP/1.1\r\nHost: pit\r\n" + headers + "\r\n";
}

struct Case {
    const char* what;
    QByteArray request;
    Action action;
    int status;
};

TEST(PitViewRequestTest, EveryRequestGetsItsAnswer) {
    const QByteArray key = "?key=" + kKey;
    const QByteArray upgrade = "Upgrade: websocket\r\nConnection: keep-alive, Upgrade\r\n";
    const Case cases[] = {
        {"the page", Get("/" + key), Action::Page, 0},
        {"HEAD of the page", "HEAD /" + key + " HTTP/1.0\r\n\r\n", Action::Page, 0},
        {"the live feed", Get("/live" + key, upgrade), Action::Live, 0},
        {"key among other parameters", Get("/?x=1&key=" + kKey + "&y"), Action::Page, 0},
        {"no key", Get("/"), Action::Refuse, 403},
        {"no key, live", Get("/live", upgrade), Action::Refuse, 403},
        {"empty key", Get("/?key="), Action::Refuse, 403},
        {"wrong key", Get("/?key=" + QByteArray(32, 'f')), Action::Refuse, 403},
        {"key one short", Get("/?key=" + kKey.chopped(1)), Action::Refuse, 403},
        {"key one long", Get("/?key=" + kKey + "0"), Action::Refuse, 403},
        {"key in upper case", Get("/?key=" + kKey.toUpper()), Action::Refuse, 403},
        {"key twice", Get("/?key=" + kKey + "&key=" + kKey), Action::Refuse, 403},
        {"key percent-encoded", Get("/?key=%30" + kKey.mid(1)), Action::Refuse, 403},
        {"key in a header only", Get("/", "X-Key: " + kKey + "\r\n"), Action::Refuse, 403},
        {"traversal without key", Get("/../../etc/passwd"), Action::Refuse, 403},
        {"traversal", Get("/../../etc/passwd" + key), Action::Refuse, 404},
        {"encoded traversal", Get("/%2e%2e/%2e%2e/etc/passwd" + key), Action::Refuse, 404},
        {"dot segment", Get("/./" + key), Action::Refuse, 404},
        {"double slash", Get("//" + key), Action::Refuse, 404},
        {"backslash", Get("/..\\..\\win.ini" + key), Action::Refuse, 404},
        {"another file", Get("/pitview.html" + key), Action::Refuse, 404},
        {"resource path", Get("/:/pitview/pitview.html" + key), Action::Refuse, 404},
        {"POST", "POST /" + key + " HTTP/1.1\r\n\r\n", Action::Refuse, 405},
        {"POST without key", "POST / HTTP/1.1\r\n\r\n", Action::Refuse, 403},
        {"body announced", Get("/" + key, "Content-Length: 5\r\n"), Action::Refuse, 413},
        {"chunked body", Get("/" + key, "Transfer-Encoding: chunked\r\n"), Action::Refuse, 413},
        {"live without upgrade", Get("/live" + key), Action::Refuse, 426},
        {"page with upgrade", Get("/" + key, upgrade), Action::Refuse, 400},
        {"bytes after the head", Get("/" + key) + "GET / HTTP/1.1\r\n\r\n", Action::Refuse, 400},
        {"HTTP/2 preface", "PRI * HTTP/2.0\r\n\r\nSM\r\n\r\n", Action::Refuse, 400},
        {"HTTP/0.9", "GET /\r\n\r\n", Action::Refuse, 400},
        {"two blanks", "GET  /" + key + " HTTP/1.1\r\n\r\n", Action::Refuse, 400},
        {"absolute target", "GET http://x/" + key + " HTTP/1.1\r\n\r\n", Action::Refuse, 400},
        {"header without colon", Get("/" + key, "Oops\r\n"), Action::Refuse, 400},
        {"folded header", Get("/" + key, " folded\r\n"), Action::Refuse, 400},
        {"control in a header", Get("/" + key, QByteArray("X: a\0b\r\n", 8)), Action::Refuse, 400},
        {"control in the target", "GET /\x01" + key + " HTTP/1.1\r\n\r\n", Action::Refuse, 400},
        {"binary garbage", QByteArray("\x16\x03\x01\x02\x00\x01\r\n\r\n", 10), Action::Refuse, 400},
        {"half a head", "GET /" + key + " HTTP/1.1\r\nHost:", Action::Wait, 0},
        {"nothing yet", "", Action::Wait, 0},
    };
    for (const Case& c : cases) {
        const PitViewVerdict verdict = CheckPitViewRequest(c.request, kKey, PitViewLimits{});
        EXPECT_EQ(verdict.action, c.action) << c.what;
        EXPECT_EQ(verdict.status, c.status) << c.what;
    }
}

TEST(PitViewRequestTest, BoundsHeadSizeAndHeaderCount) {
    PitViewLimits limits;
    limits.maxHeadBytes = 512;
    limits.maxHeaderCount = 4;
    const QByteArray key = "/?key=" + kKey;
    const QByteArray three = "X-1: 1\r\nX-2: 2\r\nX-3: 3\r\n";
    // Host and three more are four header lines: in; one more is out.
    EXPECT_EQ(CheckPitViewRequest(Get(key, three), kKey, limits).action, Action::Page);
    EXPECT_EQ(CheckPitViewRequest(Get(key, three + "X-4: 4\r\n"), kKey, limits).status, 431);
    // A long head is refused whether it is complete or not, before any key is checked.
    const QByteArray filler = "X-Fill: " + QByteArray(600, 'a') + "\r\n";
    EXPECT_EQ(CheckPitViewRequest(Get("/", filler), kKey, limits).status, 431);
    EXPECT_EQ(CheckPitViewRequest(QByteArray(512, 'G'), kKey, limits).status, 431);
    EXPECT_EQ(CheckPitViewRequest(QByteArray(511, 'G'), kKey, limits).action, Action::Wait);
}

TEST(PitViewRequestTest, RefusalsSayNothingButTheirStatus) {
    for (const int status : {400, 403, 404, 405, 408, 413, 426, 431, 503}) {
        const QByteArray answer = PitViewRefusal(status);
        EXPECT_TRUE(answer.startsWith("HTTP/1.1 " + QByteArray::number(status) + ' '));
        EXPECT_TRUE(answer.contains("\r\nConnection: close\r\n"));
        EXPECT_TRUE(answer.contains("\r\nCache-Control: no-store\r\n"));
        EXPECT_TRUE(answer.contains("Content-Security-Policy: default-src 'none'"));
        const QByteArray body = answer.mid(answer.indexOf("\r\n\r\n") + 4);
        EXPECT_TRUE(body.startsWith(QByteArray::number(status))) << body.constData();
        EXPECT_LT(body.size(), 40);
    }
}

TEST(PitViewKeyTest, KeysAreRandomHexOf128Bits) {
    QSet<QString> keys;
    for (int i = 0; i < 64; ++i) {
        const QString key = NewPitViewKey();
        EXPECT_EQ(key.size(), 32);
        EXPECT_TRUE(IsPitViewKey(key)) << key.toStdString();
        keys.insert(key);
    }
    EXPECT_EQ(keys.size(), 64);
    EXPECT_FALSE(IsPitViewKey(QStringLiteral("0123")));
    EXPECT_FALSE(IsPitViewKey(QString(32, u'g')));
    EXPECT_FALSE(IsPitViewKey(QString(32, u'A')));
}

TEST(PitViewKeyTest, ComparesWholeKeys) {
    const QByteArray key = kKey;
    EXPECT_TRUE(PitViewKeysEqual(key, key));
    EXPECT_FALSE(PitViewKeysEqual(key.chopped(1), key));
    EXPECT_FALSE(PitViewKeysEqual(key + 'a', key));
    EXPECT_FALSE(PitViewKeysEqual({}, key));
    QByteArray last = key;
    last[31] = 'e';
    EXPECT_FALSE(PitViewKeysEqual(last, key));
    QByteArray first = key;
    first[0] = '1';
    EXPECT_FALSE(PitViewKeysEqual(first, key));
}

TEST(PitViewKeyTest, PortsOnTheCommandLine) {
    quint16 port = 1;
    EXPECT_TRUE(ParsePitViewPort(QStringLiteral("8400"), port));
    EXPECT_EQ(port, 8400);
    EXPECT_TRUE(ParsePitViewPort(QStringLiteral("0"), port));
    EXPECT_EQ(port, 0);
    for (const char* bad : {"65536", "-1", "80a", "", "0x50"}) {
        EXPECT_FALSE(ParsePitViewPort(QString::fromLatin1(bad), port)) << bad;
    }
}

}  // namespace
}  // namespace orvanrx
