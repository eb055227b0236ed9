#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "weatherlink/WeatherFetcher.h"

namespace orvanrx {
namespace {

const QByteArray kGoodBody =
    R"({"current_units":{"temperature_2m":"°C","relative_humidity_2m":"%","surface_pressure":"hPa"},)"
    R"("current":{"time":"2026-06-13T18:30","temperature_2m":27.3,"relative_humidity_2m":48,)"
    R"("surface_pressure":987.6}})";

// A one-answer HTTP server on 127.0.0.1 at a free port: every request gets `answer` once the
// request head has arrived (nothing at all while `answer` is empty: a service that hangs).
class TestServer {
public:
    explicit TestServer(QByteArray answer) : answer_(std::move(answer)) {
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    head_ += socket->readAll();
                    if (head_.contains("\r\n\r\n") && !answer_.isEmpty()) {
                        socket->write(answer_);
                        socket->disconnectFromHost();
                    }
                });
            }
        });
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
    }
    QString Address() const {
        return QStringLiteral("http://127.0.0.1:%1/v1/forecast?latitude=41.4704&longitude=-88.1296")
            .arg(server_.serverPort());
    }
    const QByteArray& Head() const { return head_; }

private:
    QTcpServer server_;
    QByteArray answer_;
    QByteArray head_;
};

QByteArray Http(int status, const QByteArray& body) {
    return "HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Type: application/json\r\n" +
           "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

struct Outcome {
    std::vector<air::WeatherSample> stored;
    QStringList log;
    std::optional<air::WeatherSample> sample;
    QString reason;
    bool finished = false;
};

// One fetch from `address`, waited for on the event loop (at most 10 s).
Outcome FetchOnce(const QString& address, int timeoutMs = 5000) {
    Outcome out;
    WeatherFetcher fetcher(
        {[address] { return address; }, [] { return QStringLiteral("2026-06-13 14:30:00"); },
         [&out](const air::WeatherSample& s) { out.stored.push_back(s); },
         [&out](const QString& line) { out.log << line; }, 60 * 60 * 1000, timeoutMs});
    QEventLoop loop;
    QObject::connect(&fetcher, &WeatherFetcher::Fetched, &loop,
                     [&](const std::optional<air::WeatherSample>& sample, const QString& reason) {
                         out.sample = sample;
                         out.reason = reason;
                         out.finished = true;
                         loop.quit();
                     });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    fetcher.FetchNow();
    if (!out.finished) {
        loop.exec();
    }
    return out;
}

TEST(WeatherFetcherTest, AGoodReplyIsStoredAsASampleOfNow) {
    TestServer server(Http(200, kGoodBody));
    const Outcome out = FetchOnce(server.Address());
    ASSERT_TRUE(out.finished);
    ASSERT_EQ(out.stored.size(), 1U) << out.reason.toStdString();
    const air::WeatherSample& s = out.stored.front();
    EXPECT_EQ(s.time, QStringLiteral("2026-06-13 14:30:00"));
    EXPECT_DOUBLE_EQ(s.tempC, 27.3);
    EXPECT_DOUBLE_EQ(*s.humidity, 48.0);
    EXPECT_DOUBLE_EQ(s.baroHpa, 987.6);
    EXPECT_EQ(s.source, QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(out.log.isEmpty());
    EXPECT_TRUE(server.Head().startsWith(
        "GET /v1/forecast?latitude=41.4704&longitude=-88.1296 HTTP/1.1\r\n"))
        << server.Head().toStdString();
}

// Whatever goes wrong, nothing is stored and one line says why.
TEST(WeatherFetcherTest, BadRepliesStoreNothing) {
    struct Case {
        const char* what;
        QByteArray answer;
    };
    const Case cases[] = {
        {"HTTP 500", Http(500, kGoodBody)},
        {"HTTP 404", Http(404, "not here")},
        {"malformed JSON", Http(200, kGoodBody.left(kGoodBody.size() / 2))},
        {"not weather", Http(200, R"({"error":true,"reason":"Latitude must be in range"})")},
        {"an empty body", Http(200, "")},
        {"not HTTP", "SSH-2.0-OpenSSH_9.2\r\n\r\n"},
        {"a reply far too big", Http(200, QByteArray(200 * 1024, ' ') + kGoodBody)},
    };
    for (const Case& c : cases) {
        TestServer server(c.answer);
        const Outcome out = FetchOnce(server.Address());
        EXPECT_TRUE(out.finished) << c.what;
        EXPECT_TRUE(out.stored.empty()) << c.what;
        EXPECT_FALSE(out.sample) << c.what;
        EXPECT_EQ(out.log.size(), 1) << c.what;
        EXPECT_FALSE(out.reason.isEmpty()) << c.what;
    }
}

TEST(WeatherFetcherTest, ASilentServiceTimesOutAndNoServiceIsRefused) {
    TestServer silent{QByteArray()};
    QElapsedTimer clock;
    clock.start();
    const Outcome slow = FetchOnce(silent.Address(), 300);
    EXPECT_TRUE(slow.finished);
    EXPECT_TRUE(slow.stored.empty());
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(slow.log.size(), 1);

    // A port nobody listens on (a server's, closed again): offline.
    QString address;
    {
        TestServer gone(Http(200, kGoodBody));
        address = gone.Address();
    }
    const Outcome offline = FetchOnce(address);
    EXPECT_TRUE(offline.finished);
    EXPECT_TRUE(offline.stored.empty());
    EXPECT_EQ(offline.log.size(), 1);
}

// Without a track position there is nothing to ask; a run of failures is logged once, and a
// success ends the run.
TEST(WeatherFetcherTest, NoPositionAsksNothingAndFailuresAreLoggedOncePerRun) {
    const Outcome none = FetchOnce(QString());
    EXPECT_TRUE(none.finished);
    EXPECT_TRUE(none.stored.empty());
    EXPECT_TRUE(none.log.isEmpty());

    TestServer bad(Http(500, "{}"));
    TestServer good(Http(200, kGoodBody));
    QString address = bad.Address();
    QStringList log;
    int stored = 0;
    WeatherFetcher fetcher({[&address] { return address; },
                            [] { return QStringLiteral("2026-06-13 14:30:00"); },
                            [&stored](const air::WeatherSample&) { ++stored; },
                            [&log](const QString& line) { log << line; }, 60 * 60 * 1000, 5000});
    const auto fetch = [&fetcher] {
        QEventLoop loop;
        QObject::connect(&fetcher, &WeatherFetcher::Fetched, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        fetcher.FetchNow();
        loop.exec();
    };
    fetch();
    fetch();
    fetch();
    EXPECT_EQ(log.size(), 1);
    address = good.Address();
    fetch();
    EXPECT_EQ(stored, 1);
    address = bad.Address();
    fetch();
    EXPECT_EQ(log.size(), 2);
}

}  // namespace
}  // namespace orvanrx
