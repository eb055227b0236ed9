#include "racelog/RaceLogFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>

#include "racelog/RaceLogItemReader.h"
#include "settings/SettingsKeys.h"

namespace orvanrx {

namespace {

// What follows each column on a line: the quotes close and open around the quoted columns.
// clang-format off
constexpr std::array<QByteArrayView, kRunColumnCount> kSeparatorAfter{
    ",\"",                                         // GeneralID
    "\",\"", "\",\"", "\",\"", "\",\"", "\",\"",    // DateTime .. Name
    "\",",                                         // Lane
    ",", ",", ",", ",", ",", ",",                  // Bump .. et660
    ",", ",", ",", ",", ",", ",",                  // mph660 .. margin
    ",\"",                                         // overund
    "\"\r\n",                                      // win, then the line end
};
// clang-format on

// Appends text as Latin-1, "?" for any other character.
void AppendLatin1(QByteArray& out, const QString& text) {
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* p = out.data() + start;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        *p++ = u < 0x100 ? static_cast<char>(u) : '?';
    }
}

RaceLogLoadResult Failure(RunTables& tables) {
    tables.ResetRunTables();
    return {RaceLogLoadOutcome::Failed, RaceLogImportErrorText()};
}

// Reads the 21 items of one row; false when the data runs out first. Most cells repeat a cell
// of one of the two rows above (the category, the class, the lane letter, the DateTime of
// the race's other row), so such a cell shares that row's text instead of a new copy: a log
// of thousands of races loads with far fewer allocations.
bool ReadRow(RaceLogItemReader& reader, RunRow& row, const RunRow* above1, const RunRow* above2) {
    for (std::size_t c = 0; c < row.size(); ++c) {
        const std::optional<QByteArrayView> item = reader.NextItemBytes();
        if (!item) {
            return false;
        }
        const QLatin1StringView text(*item);
        if (above1 && (*above1)[c] == text) {
            row[c] = (*above1)[c];
        } else if (above2 && (*above2)[c] == text) {
            row[c] = (*above2)[c];
        } else {
            row[c] = QString(text);
        }
    }
    return true;
}

}  // namespace

QString RaceLogImportErrorText() {
    return QStringLiteral(
        "Error:\r\n"
        "  Unable to import race log file!\r\n\r\n"
        "  Please try closing the file if it is open or select\r\n"
        "  a valid formated Race Log CSV file");
}

QByteArray RaceLogFileBytes(const RunTable& table) {
    QByteArray out;
    if (table.IsEmpty()) {
        return out;
    }
    out.reserve(static_cast<qsizetype>(table.RowCount()) * 160);
    for (int r = 0; r <= table.RightRow(); ++r) {
        const RunRow* row = table.Row(r);
        if (!row) {
            break;
        }
        for (std::size_t c = 0; c < row->size(); ++c) {
            AppendLatin1(out, (*row)[c]);
            out.append(kSeparatorAfter[c]);
        }
    }
    return out;
}

RaceLogSaveResult SaveRaceLog(const QString& path, const RunTables& tables,
                              const SettingsStore& settings) {
    if (tables.IsRunTableEmpty()) {
        return {};
    }
    const QByteArray bytes = RaceLogFileBytes(tables.AllRunsTable());
    QSaveFile file(path);
    const auto failed = [&file] {
        return RaceLogSaveResult{RaceLogSaveOutcome::Failed, file.errorString()};
    };
    if (!file.open(QIODevice::WriteOnly)) {
        return failed();
    }
    // commit() does not notice a flush that fails when it closes the file (a full disk then
    // leaves a truncated file in place of the old one), so the flush is checked here.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const RaceLogSaveResult result = failed();
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        return failed();
    }
    settings.SetKeyValue(kLogFileKey, kLogFileValue, path, ValueType::RegSz);
    return {RaceLogSaveOutcome::Saved, QString()};
}

QString RaceLogNotSavedText(const QString& path, const QString& reason) {
    return QStringLiteral("Race log not saved: ") + QDir::toNativeSeparators(path) +
           QStringLiteral(": ") + reason;
}

RaceLogLoadResult LoadRaceLog(const QString& path, RunTables& tables) {
    if (!QFileInfo::exists(path)) {
        return {};
    }
    tables.ResetRunTables();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Failure(tables);
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return Failure(tables);
    }

    RaceLogItemReader reader(data);
    RunTable& all = tables.MutableAllRunsTable();
    while (!reader.AtEnd()) {
        all.OpenNextPair();
        RunRow* left = all.MutableRow(all.LeftRow());
        RunRow* right = all.MutableRow(all.RightRow());
        const RunRow* above = all.Row(all.LeftRow() - 1);
        if (!left || !right || !ReadRow(reader, *left, above, all.Row(all.LeftRow() - 2)) ||
            !ReadRow(reader, *right, left, above)) {
            return Failure(tables);
        }
        if ((*right)[RunColumn::Category].isEmpty()) {
            // A race without a category marks the end of the log, unless it is the first.
            if (all.RightRow() - 2 >= 1) {
                all.DropLastPair();
                break;
            }
        }
    }
    return {RaceLogLoadOutcome::Loaded, QString()};
}

}  // namespace orvanrx
