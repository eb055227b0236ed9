// The race-log reader: the input is a race-log file. LoadRaceLog must either load it or fail
// with the import message and an empty log, never anything in between:
//   - Loaded: two rows per race, storage exactly rows 0..RightRow(); every race after the
//     first has a category (an empty one ends the log);
//   - Failed: the log is reset, and the error text is the import message;
// and a log whose cells the file format can carry (no comma, quote or line break in a cell,
// no blank or tab at a cell's start) comes back unchanged after a save and a second load.

#include <QTemporaryDir>

#include "FuzzSupport.h"
#include "racelog/RaceLogFile.h"

namespace orvanrx::fuzz {
namespace {

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool Carried(const QString& cell) {
    if (!cell.isEmpty() && (cell.front() == u' ' || cell.front() == u'\t')) {
        return false;
    }
    for (const QChar c : cell) {
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') {
            return false;
        }
    }
    return true;
}

bool AllCarried(const RunTable& table) {
    for (int r = 0; r < table.RowCount(); ++r) {
        for (const QString& cell : *table.Row(r)) {
            if (!Carried(cell)) {
                return false;
            }
        }
    }
    return true;
}

bool SameRows(const RunTable& a, const RunTable& b) {
    if (a.RowCount() != b.RowCount() || a.RightRow() != b.RightRow()) {
        return false;
    }
    for (int r = 0; r < a.RowCount(); ++r) {
        if (*a.Row(r) != *b.Row(r)) {
            return false;
        }
    }
    return true;
}

}  // namespace
}  // namespace orvanrx::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvanrx;
    QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("log.csv"));
    FUZZ_CHECK(fuzz::WriteFile(path, fuzz::Bytes(data, size)));

    RunTables tables;
    const RaceLogLoadResult result = LoadRaceLog(path, tables);
    const RunTable& all = tables.AllRunsTable();
    FUZZ_CHECK(all.RightRow() == all.LeftRow() + 1);
    FUZZ_CHECK(all.RowCount() == (all.IsEmpty() ? 0 : all.RightRow() + 1));
    FUZZ_CHECK(tables.IsCategoryTableEmpty());
    if (result.outcome == RaceLogLoadOutcome::Failed) {
        FUZZ_CHECK(tables.IsRunTableEmpty());
        FUZZ_CHECK(result.errorText == RaceLogImportErrorText());
        return 0;
    }
    FUZZ_CHECK(result.outcome == RaceLogLoadOutcome::Loaded);
    FUZZ_CHECK(result.errorText.isEmpty());
    for (int r = 3; r < all.RowCount(); r += 2) {
        FUZZ_CHECK(!all.Cell(r, RunColumn::Category).isEmpty());
    }
    if (tables.IsRunTableEmpty() || !fuzz::AllCarried(all)) {
        return 0;
    }
    const QString copy = dir.filePath(QStringLiteral("copy.csv"));
    FUZZ_CHECK(fuzz::WriteFile(copy, RaceLogFileBytes(all)));
    RunTables again;
    FUZZ_CHECK(LoadRaceLog(copy, again).outcome == RaceLogLoadOutcome::Loaded);
    FUZZ_CHECK(fuzz::SameRows(again.AllRunsTable(), all));
    return 0;
}
