#include "weather/CurrentConditions.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrl>
#include <cmath>

#include "weather/WeatherCsv.h"

namespace orvanrx::air {

std::optional<TrackPosition> ParseTrackPosition(const QString& text) {
    static const QRegularExpression separator(QStringLiteral("[,;\\s]+"));
    const QStringList parts = text.trimmed().split(separator, Qt::SkipEmptyParts);
    if (parts.size() != 2) {
        return std::nullopt;
    }
    bool latOk = false;
    bool lonOk = false;
    const TrackPosition p{parts.at(0).toDouble(&latOk), parts.at(1).toDouble(&lonOk)};
    if (!latOk || !lonOk || !(std::abs(p.latitude) <= 90.0) || !(std::abs(p.longitude) <= 180.0)) {
        return std::nullopt;
    }
    return p;
}

QString TrackPositionText(const TrackPosition& position) {
    return QStringLiteral("%1, %2").arg(QString::number(position.latitude, 'f', 4),
                                        QString::number(position.longitude, 'f', 4));
}

QString CurrentConditionsUrl(const QString& service, const TrackPosition& position) {
    QString text = service.trimmed();
    text.replace(QStringLiteral("{lat}"), QString::number(position.latitude, 'f', 4));
    text.replace(QStringLiteral("{lon}"), QString::number(position.longitude, 'f', 4));
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QStringLiteral("http") && url.scheme() != QStringLiteral("https"))) {
        return {};
    }
    return text;
}

CurrentConditionsResult ParseCurrentConditions(const QByteArray& json, const QString& time,
                                               const QString& source) {
    CurrentConditionsResult result;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        result.reason = QStringLiteral("the reply is not JSON (%1)").arg(error.errorString());
        return result;
    }
    const QJsonObject current = document.object().value(QStringLiteral("current")).toObject();
    const QJsonObject units = document.object().value(QStringLiteral("current_units")).toObject();
    const auto number = [&current](const char* name) -> std::optional<double> {
        const QJsonValue v = current.value(QLatin1String(name));
        return v.isDouble() && std::isfinite(v.toDouble()) ? std::optional<double>(v.toDouble())
                                                           : std::nullopt;
    };
    const auto temp = number("temperature_2m");
    const auto humidity = number("relative_humidity_2m");
    const auto pressure = number("surface_pressure");
    if (!temp || !humidity || !pressure) {
        result.reason = QStringLiteral(
            "the reply has no current temperature_2m, relative_humidity_2m and surface_pressure");
        return result;
    }
    const QString tempUnit = units.value(QStringLiteral("temperature_2m")).toString();
    const QString pressureUnit = units.value(QStringLiteral("surface_pressure")).toString();
    WeatherSample s;
    s.time = time;
    s.tempC = tempUnit.contains(u'F') ? CelsiusFromFahrenheit(*temp) : *temp;
    s.humidity = *humidity;
    s.baroHpa = pressureUnit.contains(QStringLiteral("inHg"), Qt::CaseInsensitive)
                    ? HpaFromInHg(*pressure)
                    : *pressure;
    s.source = source;
    if (const auto problem = SampleProblem(s)) {
        result.reason = QStringLiteral("the reply's values are no weather: ") + *problem;
        return result;
    }
    result.sample = s;
    return result;
}

}  // namespace orvanrx::air
