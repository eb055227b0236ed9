#include "logbook/LogbookCsv.h"

namespace orvanrx {

using enum RunColumn;

namespace {

// The race-log columns that follow time and track, in this order.
constexpr RunColumn kRowColumns[] = {Category, Class,   Car,    Name,    Lane,   Bump,   Dial,
                                     RT,       et60,    et330,  et660,   mph660, et1000, mph1000,
                                     et1320,   mph1320, margin, overund, win};

}  // namespace

QString CsvField(const QString& text) {
    bool quote = false;
    for (const QChar c : text) {
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r') {
            quote = true;
            break;
        }
    }
    if (!quote) {
        return text;
    }
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QByteArray LogbookCsvHeader() {
    return "time,track,category,class,car,name,lane,bump,dial,rt,et60,et330,et660,mph660,"
           "et1000,mph1000,et1320,mph1320,margin,overund,win,opponent,delay,throttle_stop,"
           "dial_given,tyre_pressure,weight,notes\r\n";
}

QByteArray LogbookCsvLine(const LogbookRun& run) {
    QString line = CsvField(run.row[DateTime]) + u',' + CsvField(run.track);
    for (const RunColumn c : kRowColumns) {
        line += u',';
        line += CsvField(run.row[c]);
    }
    for (const QString* text :
         {&run.opponent, &run.notes.delay, &run.notes.throttleStop, &run.notes.dialGiven,
          &run.notes.tyrePressure, &run.notes.weight, &run.notes.text}) {
        line += u',';
        line += CsvField(*text);
    }
    line += QStringLiteral("\r\n");
    return line.toUtf8();
}

}  // namespace orvanrx
