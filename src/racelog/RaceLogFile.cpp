#include "racelog/RaceLogFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <string>

#include "racelog/RaceLogItemReader.h"
#include "settings/SettingsKeys.h"
#include "support/Support.h"

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
// The columns written between quotes: DateTime .. Lane and win. A quote inside one of them is
// written doubled, so the file reads back to the same cell.
constexpr std::array<bool, kRunColumnCount> kQuoted{
    false, true,  true,  true,  true,  true,  true,  false, false, false, false,
    false, false, false, false, false, false, false, false, false, true,
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

// True when cell holds exactly the Latin-1 text bytes (inline: a load compares every cell with
// the rows above).
bool SameText(const QString& cell, QByteArrayView bytes) {
    if (cell.size() != bytes.size()) {
        return false;
    }
    const QChar* chars = cell.constData();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (chars[i].unicode() != static_cast<unsigned char>(bytes[i])) {
            return false;
        }
    }
    return true;
}

RaceLogLoadResult Failure(RunTables& tables) {
    tables.ResetRunTables();
    return {RaceLogLoadOutcome::Failed, RaceLogImportErrorText()};
}

// Reads the 21 items of one row; false when the data runs out first. Most cells repeat a cell
// of one of the two rows above (the category, the class, the lane letter, the DateTime of
// the race's other row), so such a cell shares that row's text instead of a new copy. The
// other cells are converted together, in one string of the row's new texts each followed by a
// NUL, and every cell is a slice of that string sharing its storage (each slice is
// NUL-terminated like any QString; a cell changed later gets a copy of its own, as a shared
// QString always does). A log of thousands of races so loads with one allocation per row
// instead of one per cell.
bool ReadRow(RaceLogItemReader& reader, RunRow& row, const RunRow* above1, const RunRow* above2,
             std::string& latin) {
    // Per cell: -1 for a text shared with a row above (already in row), else its offset in
    // latin.
    std::array<qsizetype, kRunColumnCount> offset{};
    std::array<qsizetype, kRunColumnCount> length{};
    latin.clear();
    for (std::size_t c = 0; c < row.size(); ++c) {
        const std::optional<QByteArrayView> item = reader.NextItemBytes();
        if (!item) {
            return false;
        }
        offset[c] = -1;
        if (item->isEmpty()) {
            row[c] = QString(QLatin1StringView(*item));  // empty, no storage
        } else if (above1 && SameText((*above1)[c], *item)) {
            row[c] = (*above1)[c];
        } else if (above2 && SameText((*above2)[c], *item)) {
            row[c] = (*above2)[c];
        } else {
            offset[c] = static_cast<qsizetype>(latin.size());
            length[c] = item->size();
            latin.append(item->data(), static_cast<std::size_t>(item->size()));
            latin.push_back('\0');
        }
    }
    if (latin.empty()) {
        return true;
    }
    const QString texts = QString::fromLatin1(latin.data(), static_cast<qsizetype>(latin.size()));
    for (std::size_t c = 0; c < row.size(); ++c) {
        if (offset[c] >= 0) {
            QString::DataPointer slice(texts.data_ptr());  // one more reference to the storage
            slice.ptr += offset[c];
            slice.size = length[c];
            row[c] = QString(std::move(slice));
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
            const QString& cell = (*row)[c];
            if (kQuoted[c] && cell.contains(u'"')) {
                AppendLatin1(out, QString(cell).replace(u'"', QStringLiteral("\"\"")));
            } else {
                AppendLatin1(out, cell);
            }
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
    // Unbuffered: every write reaches the file system at once, so a failure carries its reason.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return failed();
    }
    // commit() does not notice a flush that fails when it closes the file (a full disk then
    // leaves a truncated file in place of the old one), so the flush is checked here.
    if (!WriteAllAndFlush(file, bytes)) {
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
    std::string latin;
    latin.reserve(512);
    RunTable& all = tables.MutableAllRunsTable();
    while (!reader.AtEnd()) {
        all.OpenNextPair();
        RunRow* left = all.MutableRow(all.LeftRow());
        RunRow* right = all.MutableRow(all.RightRow());
        const RunRow* above = all.Row(all.LeftRow() - 1);
        if (!left || !right || !ReadRow(reader, *left, above, all.Row(all.LeftRow() - 2), latin) ||
            !ReadRow(reader, *right, left, above, latin)) {
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
