#include "sim/AirSeason.h"

#include <QDate>
#include <algorithm>
#include <cmath>

#include "sim/RaceDayRandom.h"

namespace orvanrx {

namespace {

constexpr double kPi = 3.14159265358979323846;

class Chance {
public:
    explicit Chance(std::uint32_t seed) : random_(seed) {}
    // Uniform in (0, 1).
    double Unit() { return (static_cast<double>(random_.Next()) + 0.5) / 4294967296.0; }
    double Between(double lo, double hi) { return lo + (hi - lo) * Unit(); }
    // Box-Muller.
    double Normal(double mean, double sd) {
        const double u = Unit();
        const double v = Unit();
        return mean + sd * std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * kPi * v);
    }
    bool Maybe(double p) { return random_.Chance(p); }
    RaceDayRandom& Random() { return random_; }

private:
    RaceDayRandom random_;
};

// The weather of one event's day, as a smooth function of the hour.
struct DayWeather {
    double meanC = 20.0;
    double swingC = 5.0;  // half the day's range; warmest at 15:00
    double dewC = 10.0;
    double dewDrift = 0.0;        // °C over the day
    double pressureHpa = 1013.0;  // at 08:00
    double pressureDrift = 0.0;   // hPa over the day

    air::AirReading At(double hour) const {
        const double f = (hour - 8.0) / 13.0;
        const double t = meanC + swingC * std::sin(2.0 * kPi * (hour - 9.0) / 24.0);
        const double dew = std::min(t - 0.5, dewC + dewDrift * f);
        const double p = pressureHpa + pressureDrift * f + 0.6 * std::cos(4.0 * kPi * hour / 24.0);
        return {t, air::VapourPressureFromDewPoint(dew), p};
    }
};

QString TimeText(const QString& day, double hour) {
    const int seconds = static_cast<int>(std::lround(hour * 3600.0));
    return day + QStringLiteral(" %1:%2:%3")
                     .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                     .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                     .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

double IsaPressure(double feet) {
    return 1013.25 * std::pow(1.0 - 2.25577e-5 * feet * 0.3048, 5.25588);
}

}  // namespace

AirSeason GenerateAirSeason(const AirSeasonOptions& options) {
    const int carCount = std::clamp(options.cars, 2, 2000);
    const int events = std::clamp(options.events, 1, 60);
    const int runsPerCar = std::clamp(options.runsPerCar, 1, 12);
    const int timeTrials = std::clamp(options.timeTrials, 0, 12);
    Chance chance(options.seed);
    AirSeason season;
    season.tracks = {{QStringLiteral("BAYSIDE DRAGWAY"), 40.0},
                     {QStringLiteral("PRAIRIE RACEWAY"), 2700.0},
                     {QStringLiteral("HIGH MESA DRAGWAY"), 5800.0}};

    for (int c = 0; c < carCount; ++c) {
        SeasonCar car;
        car.number = QString::number(100 + c);
        car.name = QStringLiteral("DRIVER %1").arg(c + 1);
        car.baseEt = chance.Between(7.5, 12.5);
        car.perDegree = chance.Between(0.0003, 0.0012);
        car.perHpa = chance.Between(0.00015, 0.00055);
        car.scatter = chance.Between(0.006, 0.020);
        season.cars.push_back(car);
    }
    std::vector<double> form(static_cast<std::size_t>(carCount), 0.0);

    const QDate first = QDate::fromString(options.firstDay, QStringLiteral("yyyy-MM-dd"));
    const QDate start = first.isValid() ? first : QDate(2026, 4, 4);
    for (int e = 0; e < events; ++e) {
        const int track = e % 3 == 0 ? 0 : (e % 3 == 1 ? 2 : 1);
        const double feet = season.tracks[static_cast<std::size_t>(track)].elevationFt;
        const QString day = start.addDays(14 * e).toString(QStringLiteral("yyyy-MM-dd"));
        season.eventTrack.push_back(track);
        season.eventDay.push_back(day);

        DayWeather w;
        const double summer = std::sin(kPi * (0.15 + 0.7 * e / std::max(1, events - 1)));
        w.meanC = 12.0 + 16.0 * summer - 1.5 * feet / 1000.0 + chance.Normal(0.0, 3.0);
        w.swingC = chance.Between(3.5, 7.5);
        w.dewC = w.meanC - w.swingC - chance.Between(2.0, 14.0);
        w.dewDrift = chance.Normal(0.0, 1.5);
        w.pressureHpa = IsaPressure(feet) + chance.Normal(0.0, 6.0);
        w.pressureDrift = chance.Normal(0.0, 2.5);

        // The station: a sample every 15 minutes from 08:00 to 21:00, with its own small error.
        for (int q = 0; q <= 13 * 4; ++q) {
            const double hour = 8.0 + q / 4.0;
            const air::AirReading a = w.At(hour);
            air::WeatherSample s;
            s.time = TimeText(day, hour);
            s.tempC = std::round((a.tempC + chance.Normal(0.0, 0.15)) * 10.0) / 10.0;
            // The dew point back from the vapour pressure (Buck's equation solved by bisection).
            double lo = -60.0;
            double hi = a.tempC;
            for (int i = 0; i < 50; ++i) {
                const double mid = (lo + hi) / 2.0;
                (air::VapourPressureFromDewPoint(mid) < a.vapourHpa ? lo : hi) = mid;
            }
            s.dewPointC =
                std::min(s.tempC, std::round((lo + chance.Normal(0.0, 0.3)) * 10.0) / 10.0);
            s.baroHpa = std::round((a.pressureHpa + chance.Normal(0.0, 0.2)) * 10.0) / 10.0;
            s.trackTempC =
                std::round((a.tempC + 8.0 * std::max(0.0, std::sin(kPi * (hour - 8.0) / 13.0))) *
                           10.0) /
                10.0;
            s.source = QStringLiteral("simulated station");
            season.weather.push_back(s);
        }

        // Who comes, and their runs in a shuffled order, two to a race.
        std::vector<int> entries;
        for (int c = 0; c < carCount; ++c) {
            form[static_cast<std::size_t>(c)] += chance.Normal(0.0, 0.006);
            if (e < 2 || chance.Maybe(0.65)) {
                const int n =
                    std::max(1, runsPerCar + static_cast<int>(chance.Random().Between(-1, 1)));
                entries.insert(entries.end(), static_cast<std::size_t>(n), c);
            }
        }
        chance.Random().Shuffle(entries);
        if (entries.size() % 2 == 1) {
            entries.pop_back();
        }
        for (std::size_t i = 0; i + 1 < entries.size(); i += 2) {
            if (entries[i] == entries[i + 1]) {
                // A car does not race itself: trade places with a later entry.
                for (std::size_t j = i + 2; j < entries.size(); ++j) {
                    if (entries[j] != entries[i]) {
                        std::swap(entries[i + 1], entries[j]);
                        break;
                    }
                }
            }
        }
        const std::size_t races = entries.size() / 2;
        std::vector<int> runsOfEvent(static_cast<std::size_t>(carCount), 0);
        for (std::size_t r = 0; r < races; ++r) {
            const double hour =
                9.0 + 11.0 * (static_cast<double>(r) + 0.5) / static_cast<double>(races);
            const air::AirReading a = w.At(hour);
            for (int lane = 0; lane < 2; ++lane) {
                const int c = entries[2 * r + static_cast<std::size_t>(lane)];
                const SeasonCar& car = season.cars[static_cast<std::size_t>(c)];
                SeasonRun run;
                run.car = c;
                run.event = e;
                run.time = TimeText(day, hour);
                run.timeTrial = runsOfEvent[static_cast<std::size_t>(c)]++ < timeTrials;
                run.expectedEt = car.baseEt * (1.0 + car.perDegree * (a.tempC - 25.0) +
                                               car.perHpa * (990.0 - air::DryAirPressure(a))) +
                                 form[static_cast<std::size_t>(c)];
                run.et = run.expectedEt + chance.Normal(0.0, car.scatter);
                run.rt = chance.Between(0.005, 0.08);
                if (chance.Maybe(options.abortedShare)) {
                    run.aborted = true;
                    run.et += chance.Between(0.4, 3.0);
                } else if (chance.Maybe(options.redLightShare)) {
                    run.rt = -chance.Between(0.001, 0.06);
                    run.et += chance.Between(0.0, 0.25);
                }
                season.runs.push_back(run);
            }
        }
    }
    return season;
}

std::vector<SeasonRace> SeasonRaces(const AirSeason& season) {
    std::vector<SeasonRace> races;
    int id = 0;
    for (std::size_t i = 0; i + 1 < season.runs.size(); i += 2) {
        SeasonRace race;
        race.event = season.runs[i].event;
        double package[2] = {0.0, 0.0};
        for (int lane = 0; lane < 2; ++lane) {
            const SeasonRun& run = season.runs[i + static_cast<std::size_t>(lane)];
            const SeasonCar& car = season.cars[static_cast<std::size_t>(run.car)];
            RunRow& row = lane == 0 ? race.left : race.right;
            row[RunColumn::GeneralID] = QString::number(++id);
            row[RunColumn::DateTime] = run.time;
            row[RunColumn::Category] = QStringLiteral("SUPER PRO     T1");
            row[RunColumn::Class] = QStringLiteral("SP");
            row[RunColumn::Car] = car.number;
            row[RunColumn::Name] = car.name;
            row[RunColumn::Lane] = lane == 0 ? QStringLiteral("L") : QStringLiteral("R");
            // Time trials have no dial-in: the package is then reaction and ET.
            const double dial = run.timeTrial ? 0.0 : std::round(run.expectedEt * 100.0) / 100.0;
            if (!run.timeTrial) {
                row[RunColumn::Dial] = QString::number(dial, 'f', 2);
                row[RunColumn::overund] = QString::number(run.et - dial, 'f', 3);
            }
            row[RunColumn::RT] = QString::number(run.rt, 'f', 3);
            row[RunColumn::et60] = QString::number(run.et * 0.128, 'f', 3);
            row[RunColumn::et1320] = QString::number(run.et, 'f', 3);
            row[RunColumn::mph1320] = QString::number(1320.0 / run.et * 0.68 * 1.3, 'f', 2);
            package[lane] =
                run.rt < 0.0 ? 1e9
                             : run.rt + std::max(0.0, run.et - dial) + (run.et < dial ? 1e6 : 0.0);
        }
        (package[0] <= package[1] ? race.left : race.right)[RunColumn::win] = QStringLiteral("W");
        races.push_back(race);
    }
    return races;
}

}  // namespace orvanrx
