// The season's commands: logbook, weather and predict, and stats (of a race log or the season).

#include <QCommandLineParser>
#include <QDateTime>
#include <cmath>
#include <optional>

#include "ArgumentParsing.h"
#include "Arguments.h"
#include "weather/WeatherCsv.h"

namespace orvanrx::cli {

namespace {

// A day as YYYY-MM-DD, or nothing when the text is not one.
bool IsDay(const QString& text) {
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid() && text.size() == 10;
}

}  // namespace

Invocation ParseStats(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints the statistics of a race log, or with --logbook of the season in the logbook: "
        "a line per car, or one car's figures and runs, or every race two cars ran against "
        "each other. Figures without a value show as a dash on the terminal and as an empty "
        "field in CSV."));
    parser.addPositionalArgument(
        QStringLiteral("LOG"),
        QStringLiteral("The race-log CSV file; with --logbook, the logbook file (optional)."));
    const QCommandLineOption car(QStringLiteral("car"),
                                 QStringLiteral("Only car N: its figures and its runs."),
                                 QStringLiteral("N"));
    const QCommandLineOption vs(QStringLiteral("vs"),
                                QStringLiteral("With --car: every race between car N and car M."),
                                QStringLiteral("M"));
    const QCommandLineOption csv(QStringLiteral("csv"),
                                 QStringLiteral("Print CSV for a spreadsheet."));
    const QCommandLineOption logbook(
        QStringLiteral("logbook"),
        QStringLiteral("The races of the logbook (LOG names it; default: the data folder's)."));
    const QCommandLineOption track(QStringLiteral("track"),
                                   QStringLiteral("With --logbook: only races at track T."),
                                   QStringLiteral("T"));
    const QCommandLineOption since(QStringLiteral("since"),
                                   QStringLiteral("With --logbook: from day D (YYYY-MM-DD) on."),
                                   QStringLiteral("D"));
    const QCommandLineOption until(QStringLiteral("until"),
                                   QStringLiteral("With --logbook: up to day D (YYYY-MM-DD)."),
                                   QStringLiteral("D"));
    const QCommandLineOption eliminations(
        QStringLiteral("eliminations"),
        QStringLiteral("With --logbook: elimination rounds only (round code E1, E2 ...)."));
    parser.addOptions({car, vs, csv, logbook, track, since, until, eliminations});
    if (auto exit = Parse(parser, args, -1)) {
        return *exit;
    }
    const bool season = parser.isSet(logbook);
    const QStringList positional = parser.positionalArguments();
    if (season ? positional.size() > 1 : positional.size() != 1) {
        return Usage(QStringLiteral("Expected %1 argument(s), got %2.\n\n")
                         .arg(season ? QStringLiteral("0 or 1") : QStringLiteral("1"))
                         .arg(positional.size()) +
                     HelpText(parser, args.value(0)));
    }
    if (!season) {
        for (const QCommandLineOption* option : {&track, &since, &until, &eliminations}) {
            if (parser.isSet(*option)) {
                return Usage(
                    QStringLiteral("--%1 needs --logbook.\n").arg(option->names().first()));
            }
        }
    }
    for (const QCommandLineOption* option : {&since, &until}) {
        if (parser.isSet(*option) && !IsDay(parser.value(*option))) {
            return Usage(
                QStringLiteral("--%1 takes a day as YYYY-MM-DD.\n").arg(option->names().first()));
        }
    }
    if (parser.isSet(vs) && !parser.isSet(car)) {
        return Usage(QStringLiteral("--vs needs --car.\n"));
    }
    StatsOptions options;
    options.season = season;
    (season ? options.logbook : options.log) = positional.value(0);
    options.car = parser.value(car).trimmed();
    options.vs = parser.value(vs);
    options.csv = parser.isSet(csv);
    options.track = parser.value(track);
    options.since = parser.value(since);
    options.until = parser.value(until);
    options.eliminations = parser.isSet(eliminations);
    return options;
}

Invocation ParseLogbook(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Works on the season logbook (default: logbook.sqlite in the data folder).\n"
        "  logbook import PATH...     race-log files, or folders of them, into the logbook\n"
        "  logbook export FILE.csv    every run with its notes as CSV\n"
        "  logbook backup FILE        a consistent copy of the logbook, also while the\n"
        "                             programs write to it"));
    parser.addPositionalArgument(QStringLiteral("import|export|backup"),
                                 QStringLiteral("What to do."));
    parser.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("Files or folders."),
                                 QStringLiteral("PATH..."));
    const QCommandLineOption track(
        QStringLiteral("track"),
        QStringLiteral("import: the track of the files' races, when the logbook has none."),
        QStringLiteral("NAME"));
    const QCommandLineOption logbook = FileOption("logbook", "The logbook file.");
    parser.addOptions({track, logbook});
    if (auto exit = Parse(parser, args, -1)) {
        return *exit;
    }
    const QStringList positional = parser.positionalArguments();
    const QString action = positional.value(0);
    LogbookOptions options;
    options.paths = positional.mid(1);
    options.track = parser.value(track).trimmed();
    options.logbook = parser.value(logbook);
    if (action == QStringLiteral("import")) {
        options.action = LogbookOptions::Action::Import;
        if (options.paths.isEmpty()) {
            return Usage(QStringLiteral("logbook import needs at least one PATH.\n"));
        }
        return options;
    }
    if (parser.isSet(track)) {
        return Usage(QStringLiteral("--track goes with import.\n"));
    }
    if (action == QStringLiteral("export") || action == QStringLiteral("backup")) {
        options.action = action == QStringLiteral("export") ? LogbookOptions::Action::Export
                                                            : LogbookOptions::Action::Backup;
        if (options.paths.size() != 1) {
            return Usage(QStringLiteral("logbook %1 takes one FILE.\n").arg(action));
        }
        return options;
    }
    return Usage((action.isEmpty()
                      ? QStringLiteral("No logbook action given.\n\n")
                      : QStringLiteral("Unknown logbook action '%1'.\n\n").arg(action)) +
                 HelpText(parser, args.value(0)));
}

// A number option's value; nothing when it is not set, or not a number (then `bad` is set).
std::optional<double> NumberOf(const QCommandLineParser& parser, const QCommandLineOption& option,
                               bool& bad) {
    if (!parser.isSet(option)) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = parser.value(option).toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        bad = true;
        return std::nullopt;
    }
    return value;
}

bool IsTime(const QString& text) {
    return text.size() == 19 && air::SecondsOf(text).has_value();
}

Invocation ParseWeather(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Weather samples in the season logbook (default: logbook.sqlite in the data folder).\n"
        "  weather add ...            one sample: a temperature, a humidity or dew point and\n"
        "                             the station's barometer (absolute, not corrected to sea\n"
        "                             level); the time is now unless --time gives it\n"
        "  weather import FILE.csv    a weather station's log: a header line naming the\n"
        "                             columns (time, temp_f or temp_c, humidity or dew_point_f\n"
        "                             or dew_point_c, baro_inhg or baro_hpa, optional\n"
        "                             track_temp_f or track_temp_c) in any order. A bad line\n"
        "                             is named on stderr (FILE:LINE: reason) and skipped; exit\n"
        "                             0 when the file was read, 2 when it could not be."));
    parser.addPositionalArgument(QStringLiteral("add|import"), QStringLiteral("What to do."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("import: the CSV file."),
                                 QStringLiteral("[FILE]"));
    const auto value = [](const char* name, const char* text, const char* unit) {
        return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(text),
                                  QString::fromLatin1(unit));
    };
    const QCommandLineOption tempF = value("temp-f", "Air temperature, °F.", "F");
    const QCommandLineOption tempC = value("temp-c", "Air temperature, °C.", "C");
    const QCommandLineOption humidity = value("humidity", "Relative humidity, %.", "H");
    const QCommandLineOption dewF = value("dew-point-f", "Dew point, °F.", "D");
    const QCommandLineOption dewC = value("dew-point-c", "Dew point, °C.", "D");
    const QCommandLineOption baroInHg =
        value("baro-inhg", "The station's uncorrected barometer, inHg.", "P");
    const QCommandLineOption baroHpa =
        value("baro-hpa", "The station's uncorrected barometer, hPa.", "P");
    const QCommandLineOption trackF = value("track-temp-f", "Track temperature, °F.", "T");
    const QCommandLineOption trackC = value("track-temp-c", "Track temperature, °C.", "T");
    const QCommandLineOption time =
        value("time", "The sample's local time (default: now).", "YYYY-MM-DD HH:MM:SS");
    const QCommandLineOption logbook = FileOption("logbook", "The logbook file.");
    const QList<QCommandLineOption> addOptions = {tempF,    tempC,   humidity, dewF,   dewC,
                                                  baroInHg, baroHpa, trackF,   trackC, time};
    parser.addOptions(addOptions);
    parser.addOption(logbook);
    if (auto exit = Parse(parser, args, -1)) {
        return *exit;
    }
    const QStringList positional = parser.positionalArguments();
    const QString action = positional.value(0);
    WeatherOptions options;
    options.logbook = parser.value(logbook);
    if (action == QStringLiteral("import")) {
        if (positional.size() != 2) {
            return Usage(QStringLiteral("weather import takes one FILE.\n"));
        }
        for (const QCommandLineOption& o : addOptions) {
            if (parser.isSet(o)) {
                return Usage(QStringLiteral("--%1 goes with add.\n").arg(o.names().constFirst()));
            }
        }
        options.action = WeatherOptions::Action::Import;
        options.file = positional.at(1);
        return options;
    }
    if (action != QStringLiteral("add")) {
        return Usage((action.isEmpty()
                          ? QStringLiteral("No weather action given.\n\n")
                          : QStringLiteral("Unknown weather action '%1'.\n\n").arg(action)) +
                     HelpText(parser, args.value(0)));
    }
    if (positional.size() != 1) {
        return Usage(QStringLiteral("weather add takes no FILE.\n"));
    }
    const auto one = [&](std::initializer_list<const QCommandLineOption*> choices, bool needed,
                         const char* what) -> std::optional<QString> {
        int set = 0;
        for (const QCommandLineOption* o : choices) {
            set += parser.isSet(*o) ? 1 : 0;
        }
        if (set > 1 || (needed && set == 0)) {
            return QStringLiteral("weather add needs %1 %2.\n")
                .arg(needed ? QStringLiteral("one of") : QStringLiteral("at most one of"),
                     QString::fromLatin1(what));
        }
        return std::nullopt;
    };
    for (const auto& problem :
         {one({&tempF, &tempC}, true, "--temp-f, --temp-c"),
          one({&humidity, &dewF, &dewC}, true, "--humidity, --dew-point-f, --dew-point-c"),
          one({&baroInHg, &baroHpa}, true, "--baro-inhg, --baro-hpa"),
          one({&trackF, &trackC}, false, "--track-temp-f, --track-temp-c")}) {
        if (problem) {
            return Usage(*problem);
        }
    }
    bool bad = false;
    air::WeatherSample& s = options.sample;
    const auto f = NumberOf(parser, tempF, bad);
    const auto c = NumberOf(parser, tempC, bad);
    s.tempC = c ? *c : air::CelsiusFromFahrenheit(f.value_or(0.0));
    s.humidity = NumberOf(parser, humidity, bad);
    const auto df = NumberOf(parser, dewF, bad);
    s.dewPointC = parser.isSet(dewF)
                      ? std::optional<double>(air::CelsiusFromFahrenheit(df.value_or(0.0)))
                      : NumberOf(parser, dewC, bad);
    const auto inHg = NumberOf(parser, baroInHg, bad);
    const auto hpa = NumberOf(parser, baroHpa, bad);
    s.baroHpa = hpa ? *hpa : air::HpaFromInHg(inHg.value_or(0.0));
    const auto tf = NumberOf(parser, trackF, bad);
    s.trackTempC = parser.isSet(trackF)
                       ? std::optional<double>(air::CelsiusFromFahrenheit(tf.value_or(0.0)))
                       : NumberOf(parser, trackC, bad);
    if (bad) {
        return Usage(QStringLiteral("weather add: every value must be a number.\n"));
    }
    s.source = QStringLiteral("typed");
    if (parser.isSet(time)) {
        s.time = parser.value(time).trimmed();
        if (!IsTime(s.time)) {
            return Usage(QStringLiteral("--time takes a local time as YYYY-MM-DD HH:MM:SS.\n"));
        }
    }
    air::WeatherSample check = s;
    if (check.time.isEmpty()) {
        check.time = QStringLiteral("2000-01-01 00:00:00");
    }
    if (const auto problem = air::SampleProblem(check)) {
        return Usage(QStringLiteral("weather add: ") + *problem + QStringLiteral(".\n"));
    }
    return options;
}

Invocation ParsePredict(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Predicts a car's next 1/4-mile ET at a moment from its own runs in the logbook "
        "strictly before it, each corrected from the air it was made in to the air of the "
        "moment (the logbook's weather samples), by the car's own response to temperature and "
        "pressure learned from its history. Without the air it is the mean of the car's last "
        "three clean runs. Exit 0 with a prediction, 1 without one, 2 on bad arguments."));
    const QCommandLineOption car(QStringLiteral("car"), QStringLiteral("The car number."),
                                 QStringLiteral("N"));
    const QCommandLineOption at(QStringLiteral("at"),
                                QStringLiteral("The moment, local time (default: now)."),
                                QStringLiteral("YYYY-MM-DD HH:MM:SS"));
    const QCommandLineOption csv(QStringLiteral("csv"),
                                 QStringLiteral("A header line car,at,et1320,spread,runs and one "
                                                "line (ET and spread in seconds)."));
    const QCommandLineOption logbook = FileOption("logbook", "The logbook file.");
    parser.addOptions({car, at, csv, logbook});
    if (auto exit = Parse(parser, args, 0)) {
        return *exit;
    }
    PredictOptions options;
    options.car = parser.value(car).trimmed();
    if (options.car.isEmpty()) {
        return Usage(QStringLiteral("predict needs --car N.\n"));
    }
    options.at = parser.value(at).trimmed();
    if (parser.isSet(at) && !IsTime(options.at)) {
        return Usage(QStringLiteral("--at takes a local time as YYYY-MM-DD HH:MM:SS.\n"));
    }
    options.csv = parser.isSet(csv);
    options.logbook = parser.value(logbook);
    return options;
}

}  // namespace orvanrx::cli
