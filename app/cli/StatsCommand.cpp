#include <QFileInfo>
#include <algorithm>

#include "Commands.h"
#include "LogbookSupport.h"
#include "analysis/CarStats.h"
#include "analysis/FigureText.h"
#include "analysis/HeadToHead.h"
#include "analysis/StatsTables.h"
#include "logbook/SeasonStats.h"
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

int RunStats(const StatsOptions& options, Console& console) {
    // One log file, or the chosen races of the logbook, figured by the same season queries the
    // statistics window makes.
    const QString logPath = options.season ? LogbookFileOf(options.logbook) : options.log;
    RunTables tables;
    std::unique_ptr<Logbook> logbook;
    RaceSelection selection;
    if (options.season) {
        logbook = OpenLogbookFor(options.logbook, console);
        if (!logbook) {
            return kExitUsage;
        }
        if (!options.track.isEmpty()) {
            selection.tracks = QStringList{options.track};
        }
        selection.since = options.since;
        selection.until = options.until;
        selection.rounds = options.eliminations ? RoundChoice::Eliminations : RoundChoice::All;
    } else if (const std::optional<int> exit = LoadRaceLogFile(logPath, tables, console)) {
        return *exit;
    }

    const bool csv = options.csv;
    const auto print = [&](const TextTable& table) {
        csv ? PrintCsv(table, console) : PrintAligned(table, console);
    };
    const RunTable& log = tables.AllRunsTable();

    if (options.car.isEmpty()) {
        const RunTable season = logbook ? logbook->SelectRaces(selection) : RunTable();
        const RunTable& races = logbook ? season : log;
        const std::vector<CarFigures> cars = ComputeCarFigures(races);
        if (!csv) {
            console.out << QFileInfo(logPath).fileName() << ": " << races.RowCount() / 2
                        << " races, " << cars.size() << " cars\n\n";
        }
        print(CarsTable(cars));
        return kExitOk;
    }

    const QString& car = options.car;
    if (!options.vs.isEmpty()) {
        const HeadToHead meeting = logbook ? SeasonHeadToHead(*logbook, selection, car, options.vs)
                                           : ComputeHeadToHead(log, car, options.vs);
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

    const std::vector<CarRun> runs =
        logbook ? ReadCarSeason(*logbook, selection, car).runs : ReadCarRuns(log, car);
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
