#include "weatherlink/WeatherFetcher.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include "weather/CurrentConditions.h"

namespace orvanrx {

namespace {

// A current-conditions reply is a few hundred bytes; anything far bigger is not one.
constexpr qint64 kMaxReplyBytes = 64 * 1024;

}  // namespace

WeatherFetcher::WeatherFetcher(Setup setup, QObject* parent)
    : QObject(parent), setup_(std::move(setup)) {
    timer_.setInterval(setup_.intervalMs);
    connect(&timer_, &QTimer::timeout, this, &WeatherFetcher::FetchNow);
    connect(&network_, &QNetworkAccessManager::finished, this, &WeatherFetcher::Finished);
}

WeatherFetcher::~WeatherFetcher() {
    if (reply_) {
        reply_->abort();
    }
}

void WeatherFetcher::Start() {
    timer_.start();
    FetchNow();
}

void WeatherFetcher::Stop() {
    timer_.stop();
}

void WeatherFetcher::FetchNow() {
    if (reply_) {
        return;
    }
    const QString address = setup_.address ? setup_.address() : QString();
    if (address.isEmpty()) {
        Q_EMIT Fetched(std::nullopt, QStringLiteral("no track position"));
        return;
    }
    QNetworkRequest request{QUrl(address)};
    request.setTransferTimeout(setup_.timeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("OrvanRX"));
    reply_ = network_.get(request);
    connect(reply_.data(), &QNetworkReply::downloadProgress, reply_.data(),
            [reply = reply_.data()](qint64 received, qint64) {
                if (received > kMaxReplyBytes) {
                    reply->abort();
                }
            });
}

void WeatherFetcher::Finished(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply == reply_.data()) {
        reply_.clear();
    }
    // An HTTP error status (4xx, 5xx) is an error of the reply too.
    if (reply->error() != QNetworkReply::NoError) {
        Fail(reply->errorString());
        return;
    }
    const QString source = reply->url().host();
    const air::CurrentConditionsResult read = air::ParseCurrentConditions(
        reply->read(kMaxReplyBytes), setup_.now ? setup_.now() : QString(), source);
    if (!read.sample) {
        Fail(read.reason);
        return;
    }
    failing_ = false;
    if (setup_.store) {
        setup_.store(*read.sample);
    }
    Q_EMIT Fetched(read.sample, {});
}

void WeatherFetcher::Fail(const QString& reason) {
    if (!failing_ && setup_.log) {
        setup_.log(QStringLiteral("weather not fetched: ") + reason);
    }
    failing_ = true;
    Q_EMIT Fetched(std::nullopt, reason);
}

}  // namespace orvanrx
