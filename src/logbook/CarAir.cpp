#include "logbook/CarAir.h"

#include <QDateTime>
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace orvanrx {

namespace {

// Full runs for the line: this far off the median ET at most.
constexpr double kLineFraction = 0.15;
constexpr int kLineLeastRuns = 3;
constexpr double kLineLeastSpanFt = 300.0;

std::optional<double> Number(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

QString Feet(double feet) {
    return QLocale(QLocale::English).toString(std::lround(feet));
}

QString Seconds(double seconds) {
    return QString::number(seconds, 'f', 3);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

void FitLine(EtAgainstAir& chart) {
    std::vector<double> ets;
    for (const EtAirPoint& p : chart.points) {
        if (!p.redLight) {
            ets.push_back(p.et);
        }
    }
    if (static_cast<int>(ets.size()) < kLineLeastRuns) {
        return;
    }
    const double median = Median(ets);
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    double low = 0, high = 0;
    for (const EtAirPoint& p : chart.points) {
        if (p.redLight || std::abs(p.et - median) > kLineFraction * median) {
            continue;
        }
        const double x = p.densityAltitudeFt;
        low = n == 0 ? x : std::min(low, x);
        high = n == 0 ? x : std::max(high, x);
        n += 1;
        sx += x;
        sy += p.et;
        sxx += x * x;
        sxy += x * p.et;
    }
    const double denominator = n * sxx - sx * sx;
    if (n < kLineLeastRuns || high - low < kLineLeastSpanFt || denominator <= 0.0) {
        return;
    }
    chart.slope = (n * sxy - sx * sy) / denominator;
    chart.intercept = (sy - *chart.slope * sx) / n;
}

}  // namespace

std::vector<air::PredictorRun> PredictorRunsOf(Logbook& logbook, const QString& car,
                                               const air::WeatherTimeline& timeline) {
    const QString number = car.trimmed();
    RaceSelection selection;
    selection.cars = {number};
    std::vector<air::PredictorRun> runs;
    for (const LogbookRun& run : logbook.SelectRuns(selection)) {
        if (run.row[RunColumn::Car].trimmed() != number) {
            continue;
        }
        const auto seconds = air::SecondsOf(run.row[RunColumn::DateTime]);
        const auto et = Number(run.row[RunColumn::et1320]);
        if (!seconds || !et) {
            continue;
        }
        runs.push_back({*seconds, *et, Number(run.row[RunColumn::RT]), timeline.At(*seconds)});
    }
    return runs;
}

CarDialIn PredictCarEt(Logbook& logbook, const QString& car, const QString& at) {
    return PredictCarEt(logbook, car, at, air::WeatherTimeline(logbook.Weather()));
}

CarDialIn PredictCarEt(Logbook& logbook, const QString& car, const QString& at,
                       const air::WeatherTimeline& timeline) {
    CarDialIn dialIn;
    dialIn.car = car.trimmed();
    dialIn.at = at;
    const std::optional<std::int64_t> seconds = air::SecondsOf(at);
    if (!seconds || dialIn.car.isEmpty()) {
        return dialIn;
    }
    dialIn.airAt = timeline.At(*seconds);
    dialIn.prediction =
        air::PredictEt(PredictorRunsOf(logbook, dialIn.car, timeline), *seconds, dialIn.airAt);
    return dialIn;
}

QString MomentAfter(const RunTable& races, const QString& until) {
    const std::optional<std::int64_t> seconds =
        races.RowCount() > 0 ? air::SecondsOf(races.Cell(races.RowCount() - 1, RunColumn::DateTime))
                             : std::nullopt;
    if (!seconds) {
        return until + QStringLiteral(" 23:59:59");
    }
    return QDateTime::fromSecsSinceEpoch(*seconds + 1, Qt::UTC)
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString DialInText(const CarDialIn& dialIn) {
    const air::DialPrediction& p = dialIn.prediction;
    if (!p.et) {
        return QStringLiteral("No next dial-in for car %1: no clean run before %2.")
            .arg(dialIn.car, dialIn.at);
    }
    QString text = QStringLiteral("Next dial-in %1").arg(Seconds(*p.et));
    if (p.spread) {
        text += QStringLiteral(" ± %1").arg(Seconds(*p.spread));
    }
    text += QStringLiteral(" s at %1, from %2 runs, ").arg(dialIn.at).arg(p.runs);
    if (p.usedAir && dialIn.airAt) {
        text += QStringLiteral("corrected to the air (%1 ft density altitude)")
                    .arg(Feet(air::FiguresOf(*dialIn.airAt).densityAltitudeFt));
    } else {
        text += dialIn.airAt
                    ? QStringLiteral("the mean of the last three (no air known for its runs)")
                    : QStringLiteral("the mean of the last three (no air known then)");
    }
    return text;
}

EtAgainstAir EtAgainstAirOf(const std::vector<CarRun>& runs, const air::WeatherTimeline& timeline) {
    EtAgainstAir chart;
    for (const CarRun& run : runs) {
        if (!run.et) {
            continue;
        }
        const std::optional<air::AirReading> reading = timeline.At(run.dateTime);
        if (!reading) {
            ++chart.runsWithoutAir;
            continue;
        }
        const air::AirFigures figures = air::FiguresOf(*reading);
        chart.points.push_back(
            {run.dateTime, *run.et, figures.densityAltitudeFt, figures.correction, run.RedLight()});
    }
    FitLine(chart);
    return chart;
}

QString EtAgainstAirText(const EtAgainstAir& chart) {
    if (chart.points.empty()) {
        return chart.runsWithoutAir > 0 ? QStringLiteral("No run with its air known (%1 without).")
                                              .arg(chart.runsWithoutAir)
                                        : QStringLiteral("No run with an ET.");
    }
    const auto [lowEt, highEt] =
        std::minmax_element(chart.points.begin(), chart.points.end(),
                            [](const EtAirPoint& a, const EtAirPoint& b) { return a.et < b.et; });
    const auto [lowDa, highDa] = std::minmax_element(
        chart.points.begin(), chart.points.end(), [](const EtAirPoint& a, const EtAirPoint& b) {
            return a.densityAltitudeFt < b.densityAltitudeFt;
        });
    const int n = static_cast<int>(chart.points.size());
    QString text = QStringLiteral("%1 %2, ET %3–%4 s over %5–%6 ft density altitude")
                       .arg(n)
                       .arg(n == 1 ? QStringLiteral("run") : QStringLiteral("runs"))
                       .arg(Seconds(lowEt->et), Seconds(highEt->et), Feet(lowDa->densityAltitudeFt),
                            Feet(highDa->densityAltitudeFt));
    if (chart.slope) {
        const double per1000 = *chart.slope * 1000.0;
        text += QStringLiteral("; the line: %1%2 s per 1,000 ft")
                    .arg(per1000 >= 0 ? QStringLiteral("+") : QString(),
                         QString::number(per1000, 'f', 3));
    }
    if (chart.runsWithoutAir > 0) {
        text += QStringLiteral(" (%1 without air)").arg(chart.runsWithoutAir);
    }
    return text + u'.';
}

}  // namespace orvanrx
