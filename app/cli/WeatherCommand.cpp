#include <QDateTime>
#include <QDir>
#include <QFile>

#include "Commands.h"
#include "LogbookSupport.h"
#include "logbook/CarAir.h"
#include "sim/AirSeason.h"
#include "weather/DialPrediction.h"
#include "weather/WeatherCsv.h"

namespace orvanrx::cli {

namespace {

QString Now() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

}  // namespace

int RunWeather(const WeatherOptions& options, Console& console) {
    if (options.action == WeatherOptions::Action::Import) {
        const air::WeatherCsvResult read = air::ReadWeatherCsv(options.file);
        const QString name = QDir::toNativeSeparators(options.file);
        if (!read.read) {
            console.err << name << ": " << read.error << '\n';
            return kExitUsage;
        }
        for (const air::WeatherCsvProblem& p : read.problems) {
            console.err << name << ':' << p.line << ": " << p.reason << '\n';
        }
        const std::unique_ptr<Logbook> logbook = OpenLogbookFor(options.logbook, console);
        if (!logbook) {
            return kExitFailure;
        }
        if (!logbook->AddWeather(read.samples)) {
            console.err << logbook->Path() << ": " << logbook->ErrorText() << '\n';
            return kExitFailure;
        }
        console.out << read.samples.size() << " weather samples stored, " << read.problems.size()
                    << " lines skipped.\n";
        return kExitOk;
    }
    air::WeatherSample sample = options.sample;
    if (sample.time.isEmpty()) {
        sample.time = Now();
    }
    const std::unique_ptr<Logbook> logbook = OpenLogbookFor(options.logbook, console);
    if (!logbook) {
        return kExitFailure;
    }
    if (!logbook->AddWeather({sample})) {
        console.err << logbook->Path() << ": " << logbook->ErrorText() << '\n';
        return kExitFailure;
    }
    const air::AirFigures f = air::FiguresOf(sample.Reading());
    console.out << sample.time << ": density altitude "
                << QString::number(f.densityAltitudeFt, 'f', 0) << " ft, air density "
                << QString::number(f.density, 'f', 4) << " kg/m³, SAE J1349 correction "
                << QString::number(f.correction, 'f', 4) << '\n';
    return kExitOk;
}

int RunPredict(const PredictOptions& options, Console& console) {
    const QString at = options.at.isEmpty() ? Now() : options.at;
    const std::unique_ptr<Logbook> logbook = OpenLogbookFor(options.logbook, console);
    if (!logbook) {
        return kExitFailure;
    }
    const CarDialIn dialIn = PredictCarEt(*logbook, options.car, at);
    const air::DialPrediction& p = dialIn.prediction;
    const std::optional<air::AirReading>& airAt = dialIn.airAt;
    const auto fixed = [](const std::optional<double>& v) {
        return v ? QString::number(*v, 'f', 3) : QString();
    };
    if (options.csv) {
        QString car = options.car;
        if (car.contains(u',') || car.contains(u'"')) {
            car = u'"' + QString(car).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
        }
        console.out << "car,at,et1320,spread,runs\n"
                    << car << ',' << at << ',' << fixed(p.et) << ',' << fixed(p.spread) << ','
                    << p.runs << '\n';
    } else if (!p.et) {
        console.out << "Car " << options.car << " at " << at
                    << ": no prediction, no clean run before.\n";
    } else {
        console.out << "Car " << options.car << " at " << at << ": " << fixed(p.et) << " s";
        if (p.spread) {
            console.out << " ± " << fixed(p.spread);
        }
        console.out << ", from " << p.runs << " runs";
        if (p.usedAir) {
            const air::AirFigures f = air::FiguresOf(*airAt);
            console.out << " corrected to the air (" << QString::number(airAt->tempC, 'f', 1)
                        << " °C, dry air " << QString::number(f.dryHpa, 'f', 1)
                        << " hPa, density altitude " << QString::number(f.densityAltitudeFt, 'f', 0)
                        << " ft; the car gains " << QString::number(p.perDegree * 1000.0, 'f', 1)
                        << " ms per °C and " << QString::number(-p.perHpa * 1000.0, 'f', 1)
                        << " ms per hPa less).\n";
        } else {
            console.out << ", the mean of the last three (no air known"
                        << (airAt ? " for its runs" : " at that moment") << ").\n";
        }
    }
    return p.et ? kExitOk : kExitFailure;
}

int RunSimulateSeason(const SimulateOptions& options, Console& console) {
    AirSeasonOptions o;
    o.cars = options.cars;
    o.events = options.events;
    o.seed = options.day.seed;
    const AirSeason season = GenerateAirSeason(o);
    QFile file(options.weatherFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(air::WeatherCsvText(season.weather)) < 0 || !file.flush()) {
        console.err << QDir::toNativeSeparators(options.weatherFile) << ": " << file.errorString()
                    << '\n';
        return kExitFailure;
    }
    file.close();
    const std::unique_ptr<Logbook> logbook = OpenLogbookFor(options.logbook, console);
    if (!logbook) {
        return kExitFailure;
    }
    const QString source = QStringLiteral("simulated season, seed %1").arg(o.seed);
    const std::vector<SeasonRace> races = SeasonRaces(season);
    if (!logbook->BeginBatch()) {
        console.err << logbook->Path() << ": " << logbook->ErrorText() << '\n';
        return kExitFailure;
    }
    int pair = 0;
    for (const SeasonRace& race : races) {
        const QString& track = season
                                   .tracks[static_cast<std::size_t>(
                                       season.eventTrack[static_cast<std::size_t>(race.event)])]
                                   .name;
        if (logbook->StoreRace({source, pair++, track}, race.left, race.right) ==
            StoreOutcome::Failed) {
            logbook->RollbackBatch();
            console.err << logbook->Path() << ": " << logbook->ErrorText() << '\n';
            return kExitFailure;
        }
    }
    if (!logbook->CommitBatch()) {
        console.err << logbook->Path() << ": " << logbook->ErrorText() << '\n';
        return kExitFailure;
    }
    console.out << races.size() << " races of " << season.cars.size() << " cars at "
                << season.eventDay.size() << " events stored; " << season.weather.size()
                << " weather samples written to " << QDir::toNativeSeparators(options.weatherFile)
                << ".\n";
    return kExitOk;
}

}  // namespace orvanrx::cli
