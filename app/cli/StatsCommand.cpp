#include <QCommandLineParser>
#include <QFileInfo>
#include <algorithm>

#include "Commands.h"
#include "analysis/CarStats.h"
#include "analysis/FigureText.h"
#include "analysis/HeadToHead.h"
#include "analysis/StatsTables.h"
#include "racelog/RaceLogFile.h"

namespace orvanrx::cli {

namespace {

// Columns padded to their widest cell, two blanks apart.
void PrintAligned(const TextTable& table, Console& console) {
    std::vector<qsizetype> widths;
    for (const QString& header : table.headers) {
        widths.push_back(header.size());
    }
    for (const QStringList& row : table.rows) {
        for (qsizetype c = 0; c < row.size() && c < qsizetype(widths.size()); ++c) {
            widths[static_cast<std::size_t>(c)] =
                std::max(widths[static_cast<std::size_t>(c)], row[c].size());
        }
    }
    const auto printLine = [&](const QStringList& cells) {
        QString line;
        for (qsizetype c = 0; c < cells.size() && c < qsizetype(widths.size()); ++c) {
            line += c == 0 ? QString() : QStringLiteral("  ");
            line += cells[c].leftJustified(widths[static_cast<std::size_t>(c)]);
        }
        while (line.endsWith(u' ')) {
            line.chop(1);
        }
        console.out << line << '\n';
    };
    printLine(table.headers);
    for (const QStringList& row : table.rows) {
        printLine(row);
    }
}

// A CSV field: quoted when it holds a comma, a quote, a line break or blanks at either end,
// with quotes doubled. A figure without a value is an empty field, which a spreadsheet takes
// for no value.
QString CsvField(const QString& text) {
    if (text == NoFigureText()) {
        return QString();
    }
    const bool quote = text.contains(u',') || text.contains(u'"') || text.contains(u'\n') ||
                       text.contains(u'\r') || text != text.trimmed();
    if (!quote) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

void PrintCsv(const TextTable& table, Console& console) {
    const auto printLine = [&](const QStringList& cells) {
        QStringList fields;
        for (const QString& cell : cells) {
            fields.append(CsvField(cell));
        }
        console.out << fields.join(u',') << '\n';
    };
    printLine(table.headers);
    for (const QStringList& row : table.rows) {
        printLine(row);
    }
}

}  // namespace

int StatsCommand(const QStringList& args, Console& console) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints the statistics of a race log: a line per car, or one car's figures and runs, "
        "or every race two cars ran against each other. Figures without a value show as a "
        "dash on the terminal and as an empty field in CSV."));
    parser.addPositionalArgument(QStringLiteral("LOG"), QStringLiteral("The race-log CSV file."));
    const QCommandLineOption carOption(QStringLiteral("car"),
                                       QStringLiteral("Only car N: its figures and its runs."),
                                       QStringLiteral("N"));
    const QCommandLineOption vsOption(
        QStringLiteral("vs"), QStringLiteral("With --car: every race between car N and car M."),
        QStringLiteral("M"));
    const QCommandLineOption csvOption(QStringLiteral("csv"),
                                       QStringLiteral("Print CSV for a spreadsheet."));
    parser.addOptions({carOption, vsOption, csvOption});
    if (const auto exit = ParseArguments(parser, args, 1, console)) {
        return *exit;
    }
    if (parser.isSet(vsOption) && !parser.isSet(carOption)) {
        console.err << "--vs needs --car.\n";
        return kExitUsage;
    }

    const QString logPath = parser.positionalArguments().constFirst();
    RunTables tables;
    const RaceLogLoadResult load = LoadRaceLog(logPath, tables);
    if (load.outcome == RaceLogLoadOutcome::NoFile) {
        console.err << logPath << ": no such file.\n";
        return kExitUsage;
    }
    if (load.outcome == RaceLogLoadOutcome::Failed) {
        console.err << QString(load.errorText).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                    << '\n';
        return kExitUsage;
    }

    const bool csv = parser.isSet(csvOption);
    const auto print = [&](const TextTable& table) {
        csv ? PrintCsv(table, console) : PrintAligned(table, console);
    };
    const RunTable& log = tables.AllRunsTable();

    if (!parser.isSet(carOption)) {
        const std::vector<CarFigures> cars = ComputeCarFigures(log);
        if (!csv) {
            console.out << QFileInfo(logPath).fileName() << ": " << log.RowCount() / 2 << " races, "
                        << cars.size() << " cars\n\n";
        }
        print(CarsTable(cars));
        return kExitOk;
    }

    const QString car = parser.value(carOption).trimmed();
    if (parser.isSet(vsOption)) {
        const HeadToHead meeting = ComputeHeadToHead(log, car, parser.value(vsOption));
        if (csv) {
            print(HeadToHeadTable(meeting));
        } else if (meeting.races.empty()) {
            console.out << HeadToHeadSummaryText(meeting) << '\n';
        } else {
            print(HeadToHeadTable(meeting));
            console.out << '\n' << HeadToHeadSummaryText(meeting) << '\n';
        }
        return kExitOk;
    }

    const std::vector<CarRun> runs = ReadCarRuns(log, car);
    if (runs.empty()) {
        console.err << "Car " << car << " has no runs in " << logPath << ".\n";
        return kExitFailure;
    }
    print(CarFiguresTable(SummarizeRuns(car, runs)));
    console.out << '\n';
    print(CarRunsTable(runs));
    return kExitOk;
}

}  // namespace orvanrx::cli
