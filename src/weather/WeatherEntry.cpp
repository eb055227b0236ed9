#include "weather/WeatherEntry.h"

#include "weather/WeatherCsv.h"

#include <QLocale>
#include <QStringList>
#include <QTime>
#include <cmath>

namespace orvanrx::air {

namespace {

constexpr double kMinTempC = -50.0;
constexpr double kMaxTempC = 60.0;
constexpr double kMinTrackC = -50.0;
constexpr double kMaxTrackC = 90.0;
constexpr double kMinBaroHpa = 500.0;
constexpr double kMaxBaroHpa = 1100.0;
// A time this far past now is a typing slip, not a clock a little fast.
constexpr std::int64_t kFutureSlackSeconds = 5 * 60;

std::optional<double> Number(const QString& text) {
    const QString t = text.trimmed();
    bool ok = false;
    double v = QLocale::c().toDouble(t, &ok);
    if (!ok) {
        v = QLocale().toDouble(t, &ok);
    }
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

double ToCelsius(double value, TempUnit unit) {
    return unit == TempUnit::Celsius ? value : CelsiusFromFahrenheit(value);
}

double FromCelsius(double c, TempUnit unit) {
    return unit == TempUnit::Celsius ? c : FahrenheitFromCelsius(c);
}

QString Shown(double value) {
    return QString::number(std::round(value * 10.0) / 10.0, 'f',
                           value == std::round(value) ? 0 : 1);
}

QString RangeText(double lowC, double highC, TempUnit unit) {
    return QStringLiteral("%1 to %2 %3")
        .arg(Shown(std::round(FromCelsius(lowC, unit))),
             Shown(std::round(FromCelsius(highC, unit))), UnitText(unit));
}

// The time of the entry as "yyyy-MM-dd HH:mm:ss", or nothing when it is not a time.
std::optional<QString> TimeOf(const QString& typed, const QString& now) {
    const QString t = typed.trimmed();
    if (t.isEmpty()) {
        return now;
    }
    if (!t.contains(u'-')) {
        // A clock time alone: today.
        const QStringList parts = t.split(u':');
        bool ok = parts.size() == 2 || parts.size() == 3;
        int hms[3] = {0, 0, 0};
        for (qsizetype i = 0; ok && i < parts.size(); ++i) {
            hms[i] = parts.at(i).toInt(&ok);
            ok = ok && parts.at(i).size() <= 2 && (i == 0 || parts.at(i).size() == 2);
        }
        const QTime clock(hms[0], hms[1], hms[2]);
        if (!ok || !clock.isValid()) {
            return std::nullopt;
        }
        return now.left(10) + u' ' + clock.toString(QStringLiteral("HH:mm:ss"));
    }
    if (!SecondsOf(t)) {
        return std::nullopt;
    }
    return t.size() == 16 ? t + QStringLiteral(":00") : t;
}

struct Problem {
    WeatherEntryField field;
    QString reason;
};

}  // namespace

QString UnitText(TempUnit unit) {
    return unit == TempUnit::Celsius ? QStringLiteral("°C") : QStringLiteral("°F");
}

QString UnitText(BaroUnit unit) {
    return unit == BaroUnit::Hpa ? QStringLiteral("hPa") : QStringLiteral("inHg");
}

WeatherEntryResult ReadWeatherEntry(const WeatherEntry& entry, const QString& now) {
    WeatherEntryResult result;
    const auto fail = [&result](WeatherEntryField field, const QString& reason) {
        result.field = field;
        result.reason = reason;
        return result;
    };
    const WeatherUnits& u = entry.units;
    const QString tempUnit = UnitText(u.temp);

    const auto temp = Number(entry.temp);
    if (entry.temp.trimmed().isEmpty()) {
        return fail(WeatherEntryField::Temp, QStringLiteral("Type the air temperature."));
    }
    if (!temp) {
        return fail(
            WeatherEntryField::Temp,
            QStringLiteral("The temperature \"%1\" is not a number.").arg(entry.temp.trimmed()));
    }
    const double tempC = ToCelsius(*temp, u.temp);
    if (!(tempC >= kMinTempC && tempC <= kMaxTempC)) {
        return fail(WeatherEntryField::Temp, QStringLiteral("The temperature must be from %1.")
                                                 .arg(RangeText(kMinTempC, kMaxTempC, u.temp)));
    }

    const bool dew = u.moisture == MoistureKind::DewPoint;
    const QString moistureName = dew ? QStringLiteral("dew point") : QStringLiteral("humidity");
    const auto moisture = Number(entry.moisture);
    if (entry.moisture.trimmed().isEmpty()) {
        return fail(WeatherEntryField::Moisture, QStringLiteral("Type the %1.").arg(moistureName));
    }
    if (!moisture) {
        return fail(WeatherEntryField::Moisture, QStringLiteral("The %1 \"%2\" is not a number.")
                                                     .arg(moistureName, entry.moisture.trimmed()));
    }
    if (dew) {
        const double dewC = ToCelsius(*moisture, u.temp);
        if (dewC > tempC + 0.05) {
            return fail(WeatherEntryField::Moisture,
                        QStringLiteral("The dew point cannot be above the temperature (%1 %2).")
                            .arg(Shown(*temp), tempUnit));
        }
        if (dewC < -80.0) {
            return fail(WeatherEntryField::Moisture,
                        QStringLiteral("The dew point must be above %1 %2.")
                            .arg(Shown(std::round(FromCelsius(-80.0, u.temp))), tempUnit));
        }
        result.sample.dewPointC = std::min(dewC, tempC);
    } else {
        if (!(*moisture >= 0.0 && *moisture <= 100.0)) {
            return fail(WeatherEntryField::Moisture,
                        QStringLiteral("The humidity must be from 0 to 100 %."));
        }
        result.sample.humidity = *moisture;
    }

    const auto baro = Number(entry.baro);
    if (entry.baro.trimmed().isEmpty()) {
        return fail(WeatherEntryField::Baro, QStringLiteral("Type the barometer."));
    }
    if (!baro) {
        return fail(
            WeatherEntryField::Baro,
            QStringLiteral("The barometer \"%1\" is not a number.").arg(entry.baro.trimmed()));
    }
    const double hpa = u.baro == BaroUnit::Hpa ? *baro : HpaFromInHg(*baro);
    if (!(hpa >= kMinBaroHpa && hpa <= kMaxBaroHpa)) {
        const double otherHpa = u.baro == BaroUnit::Hpa ? HpaFromInHg(*baro) : *baro;
        const bool other = otherHpa >= kMinBaroHpa && otherHpa <= kMaxBaroHpa;
        const QString range = u.baro == BaroUnit::Hpa
                                  ? QStringLiteral("%1 to %2 hPa").arg(kMinBaroHpa).arg(kMaxBaroHpa)
                                  : QStringLiteral("%1 to %2 inHg")
                                        .arg(QString::number(InHgFromHpa(kMinBaroHpa), 'f', 2),
                                             QString::number(InHgFromHpa(kMaxBaroHpa), 'f', 2));
        const QString otherUnit =
            UnitText(u.baro == BaroUnit::Hpa ? BaroUnit::InHg : BaroUnit::Hpa);
        return fail(
            WeatherEntryField::Baro,
            QStringLiteral("The barometer must be from %1%2.")
                .arg(range, other ? QStringLiteral(" (%1 looks like %2: choose %2 as its unit)")
                                        .arg(entry.baro.trimmed(), otherUnit)
                                  : QString()));
    }

    if (!entry.trackTemp.trimmed().isEmpty()) {
        const auto track = Number(entry.trackTemp);
        if (!track) {
            return fail(WeatherEntryField::TrackTemp,
                        QStringLiteral("The track temperature \"%1\" is not a number.")
                            .arg(entry.trackTemp.trimmed()));
        }
        const double trackC = ToCelsius(*track, u.temp);
        if (!(trackC >= kMinTrackC && trackC <= kMaxTrackC)) {
            return fail(WeatherEntryField::TrackTemp,
                        QStringLiteral("The track temperature must be from %1.")
                            .arg(RangeText(kMinTrackC, kMaxTrackC, u.temp)));
        }
        result.sample.trackTempC = trackC;
    }

    const std::optional<QString> time = TimeOf(entry.time, now);
    if (!time) {
        return fail(WeatherEntryField::Time,
                    QStringLiteral("The time must be YYYY-MM-DD HH:MM, HH:MM for today, or empty "
                                   "for now."));
    }
    const auto at = SecondsOf(*time);
    const auto nowSeconds = SecondsOf(now);
    if (!at) {
        return fail(WeatherEntryField::Time,
                    QStringLiteral("The time \"%1\" is not a time.").arg(*time));
    }
    if (nowSeconds && *at > *nowSeconds + kFutureSlackSeconds) {
        return fail(WeatherEntryField::Time,
                    QStringLiteral("The time %1 is later than now.").arg(*time));
    }

    result.sample.time = *time;
    result.sample.tempC = tempC;
    result.sample.baroHpa = hpa;
    result.sample.source = QStringLiteral("typed");
    if (const auto problem = SampleProblem(result.sample)) {
        return fail(WeatherEntryField::None, *problem);
    }
    return result;
}

}  // namespace orvanrx::air
