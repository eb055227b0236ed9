#include "weather/WeatherCsv.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <cmath>

namespace orvanrx::air {

namespace {

QString Field(const QList<QByteArray>& fields, int column) {
    if (column < 0 || column >= fields.size()) {
        return {};
    }
    QString text = QString::fromUtf8(fields.at(column)).trimmed();
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"')) {
        text = text.mid(1, text.size() - 2).trimmed();
    }
    return text;
}

// The first of `names` the header has, as (column, index in names); column -1 when none.
std::pair<int, int> Column(const QHash<QString, int>& header,
                           std::initializer_list<const char*> names) {
    int i = 0;
    for (const char* name : names) {
        const auto it = header.find(QString::fromLatin1(name));
        if (it != header.end()) {
            return {it.value(), i};
        }
        ++i;
    }
    return {-1, -1};
}

QString Number(double value) {
    return QString::number(value, 'f', 2);
}

}  // namespace

std::optional<QString> SampleProblem(const WeatherSample& s) {
    if (!SecondsOf(s.time)) {
        return QStringLiteral("time '%1' is not YYYY-MM-DD HH:MM[:SS]").arg(s.time);
    }
    if (!(s.tempC >= -50.0 && s.tempC <= 60.0)) {
        return QStringLiteral("temperature %1 °C out of range").arg(Number(s.tempC));
    }
    if (s.humidity && !(*s.humidity >= 0.0 && *s.humidity <= 100.0)) {
        return QStringLiteral("humidity %1 % out of range").arg(Number(*s.humidity));
    }
    if (s.dewPointC && !(*s.dewPointC >= -80.0 && *s.dewPointC <= s.tempC + 0.5)) {
        return QStringLiteral("dew point %1 °C above the temperature or out of range")
            .arg(Number(*s.dewPointC));
    }
    if (!s.humidity && !s.dewPointC) {
        return QStringLiteral("no humidity or dew point");
    }
    if (!(s.baroHpa >= 500.0 && s.baroHpa <= 1100.0)) {
        return QStringLiteral("barometer %1 hPa out of range").arg(Number(s.baroHpa));
    }
    if (s.trackTempC && !(*s.trackTempC >= -50.0 && *s.trackTempC <= 90.0)) {
        return QStringLiteral("track temperature %1 °C out of range").arg(Number(*s.trackTempC));
    }
    return std::nullopt;
}

WeatherCsvResult ParseWeatherCsv(const QByteArray& text, const QString& source) {
    WeatherCsvResult result;
    QList<QByteArray> lines = text.split('\n');
    QHash<QString, int> header;
    int headerLine = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.isEmpty()) {
            continue;
        }
        const QList<QByteArray> names = line.split(',');
        for (int c = 0; c < names.size(); ++c) {
            header.insert(Field(names, c).toLower(), c);
        }
        headerLine = i + 1;
        break;
    }
    const auto time = Column(header, {"time"});
    const auto temp = Column(header, {"temp_c", "temp_f"});
    const auto moisture = Column(header, {"dew_point_c", "dew_point_f", "humidity"});
    std::vector<std::pair<int, int>> moistureColumns;
    int kind = 0;
    for (const char* name : {"dew_point_c", "dew_point_f", "humidity"}) {
        if (const auto it = header.find(QString::fromLatin1(name)); it != header.end()) {
            moistureColumns.emplace_back(it.value(), kind);
        }
        ++kind;
    }
    const auto baro = Column(header, {"baro_hpa", "baro_inhg"});
    const auto track = Column(header, {"track_temp_c", "track_temp_f"});
    QStringList missing;
    if (time.first < 0) {
        missing << QStringLiteral("time");
    }
    if (temp.first < 0) {
        missing << QStringLiteral("temp_f or temp_c");
    }
    if (moisture.first < 0) {
        missing << QStringLiteral("humidity, dew_point_f or dew_point_c");
    }
    if (baro.first < 0) {
        missing << QStringLiteral("baro_inhg or baro_hpa");
    }
    if (!missing.isEmpty()) {
        result.error = QStringLiteral("not a weather log: the header line names no ") +
                       missing.join(QStringLiteral(", no "));
        return result;
    }
    result.read = true;
    for (int i = headerLine; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.isEmpty()) {
            continue;
        }
        const QList<QByteArray> fields = line.split(',');
        const auto number = [&](std::pair<int, int> column, const char* what,
                                std::optional<double>& value) -> std::optional<QString> {
            const QString t = Field(fields, column.first);
            if (t.isEmpty()) {
                return QStringLiteral("no %1").arg(QString::fromLatin1(what));
            }
            bool ok = false;
            const double v = t.toDouble(&ok);
            if (!ok || !std::isfinite(v)) {
                return QStringLiteral("%1 '%2' is not a number").arg(QString::fromLatin1(what), t);
            }
            value = v;
            return std::nullopt;
        };
        WeatherSample s;
        s.source = source;
        s.time = Field(fields, time.first);
        std::optional<double> t, m, b, tt;
        std::optional<QString> problem = number(temp, "temperature", t);
        // The moisture from the first of its columns this line fills.
        auto moistureHere = moisture;
        for (const auto& [column, kind] : moistureColumns) {
            if (!Field(fields, column).isEmpty()) {
                moistureHere = {column, kind};
                break;
            }
        }
        if (!problem) {
            problem = number(moistureHere,
                             moistureHere.second == 2 ? "humidity or dew point" : "dew point", m);
        }
        if (!problem) {
            problem = number(baro, "barometer", b);
        }
        if (!problem && track.first >= 0 && !Field(fields, track.first).isEmpty()) {
            problem = number(track, "track temperature", tt);
        }
        if (!problem) {
            s.tempC = temp.second == 0 ? *t : CelsiusFromFahrenheit(*t);
            if (moistureHere.second == 2) {
                s.humidity = *m;
            } else {
                s.dewPointC = moistureHere.second == 0 ? *m : CelsiusFromFahrenheit(*m);
            }
            s.baroHpa = baro.second == 0 ? *b : HpaFromInHg(*b);
            if (tt) {
                s.trackTempC = track.second == 0 ? *tt : CelsiusFromFahrenheit(*tt);
            }
            problem = SampleProblem(s);
        }
        if (problem) {
            result.problems.push_back({i + 1, *problem});
        } else {
            if (s.time.size() == 16) {
                s.time += QStringLiteral(":00");
            }
            result.samples.push_back(s);
        }
    }
    return result;
}

WeatherCsvResult ReadWeatherCsv(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        WeatherCsvResult result;
        result.error = file.errorString();
        return result;
    }
    return ParseWeatherCsv(file.readAll(), path);
}

QByteArray WeatherCsvText(const std::vector<WeatherSample>& samples) {
    QByteArray text = "time,temp_c,dew_point_c,humidity,baro_hpa,track_temp_c\n";
    const auto optional = [](const std::optional<double>& v) {
        return v ? QByteArray::number(*v, 'f', 2) : QByteArray();
    };
    for (const WeatherSample& s : samples) {
        text += s.time.toUtf8() + ',' + QByteArray::number(s.tempC, 'f', 2) + ',' +
                optional(s.dewPointC) + ',' + optional(s.humidity) + ',' +
                QByteArray::number(s.baroHpa, 'f', 2) + ',' + optional(s.trackTempC) + '\n';
    }
    return text;
}

}  // namespace orvanrx::air
