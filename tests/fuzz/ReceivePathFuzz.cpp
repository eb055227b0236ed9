// The receive path: the input is a run of receiver replies, 12 bytes each (a last, shorter
// piece overwrites only the front of the reply, as a short read does). Each goes through
// ApplyDataReply into the mirror, then DecodeRun into the run tables and the time slip text is
// built, as on every poll tick. After each reply the run tables must hold together:
//   - two rows per race: storage holds exactly rows 0..RightRow(), RightRow() = LeftRow() + 1;
//   - a written pair links its rows: the left row's GeneralID names the right row and the
//     other way round, lanes "L" and "R"; a pair opened but not written yet is all empty;
//   - every row of the category table is a race of the log (its GeneralID names a row there);
//   - every cell, and every line of the time slip, holds printable characters only.

#include <QDateTime>
#include <algorithm>

#include "FuzzSupport.h"
#include "decoding/RunDecoder.h"
#include "decoding/RunTables.h"
#include "decoding/TimeSlipText.h"
#include "shell/DataReply.h"

namespace orvanrx::fuzz {
namespace {

bool IsEmptyRow(const RunRow& row) {
    return std::all_of(row.begin(), row.end(), [](const QString& c) { return c.isEmpty(); });
}

// The checks for one table; `all` is the log the GeneralIDs point into.
void CheckTable(const RunTable& table, const RunTable& all, bool isAll) {
    FUZZ_CHECK(table.RightRow() == table.LeftRow() + 1);
    FUZZ_CHECK(table.LeftRow() >= -2 && table.LeftRow() % 2 == 0);
    FUZZ_CHECK(table.RowCount() == (table.IsEmpty() ? 0 : table.RightRow() + 1));
    for (int r = 0; r + 1 < table.RowCount(); r += 2) {
        const RunRow& left = *table.Row(r);
        const RunRow& right = *table.Row(r + 1);
        for (const RunRow* row : {&left, &right}) {
            for (const QString& cell : *row) {
                FUZZ_CHECK(AllPrintable(cell));
            }
        }
        if (IsEmptyRow(left) && IsEmptyRow(right)) {
            continue;
        }
        FUZZ_CHECK(left[RunColumn::Lane] == QStringLiteral("L") &&
                   right[RunColumn::Lane] == QStringLiteral("R"));
        bool leftOk = false;
        bool rightOk = false;
        const int leftId = left[RunColumn::GeneralID].toInt(&leftOk);
        const int rightId = right[RunColumn::GeneralID].toInt(&rightOk);
        FUZZ_CHECK(leftOk && rightOk);
        FUZZ_CHECK(leftId == rightId + 1 && rightId % 2 == 0);
        FUZZ_CHECK(rightId >= 0 && leftId <= all.RightRow());
        if (isAll) {
            FUZZ_CHECK(leftId == r + 1);
        }
    }
}

}  // namespace
}  // namespace orvanrx::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvanrx;
    ReceiveBuffer buffer;
    InitReceiveState(buffer);
    std::int16_t venue = 0;
    RunTables tables(FixedClock(QDateTime(QDate(2026, 12, 4), QTime(18, 53, 12))));
    tables.ResetRunTables();
    ReplyBuffer reply{};

    for (std::size_t at = 0; at < size; at += kDataReplyLength) {
        const std::size_t n = std::min<std::size_t>(kDataReplyLength, size - at);
        std::copy_n(data + at, n, reply.begin());
        const std::int16_t venueBefore = venue;
        const DataReplyResult stored = ApplyDataReply(reply, buffer, venue);
        if (stored.kind == DataReplyResult::Kind::NotDataReply) {
            FUZZ_CHECK(venue == venueBefore);
            continue;
        }
        FUZZ_CHECK(venue == reply[1]);
        FUZZ_CHECK(stored.venueChanged == (venueBefore != reply[1]));
        if (stored.kind == DataReplyResult::Kind::OutOfRange) {
            continue;
        }
        for (int k = 0; k < kDataBytesPerReply; ++k) {
            FUZZ_CHECK(buffer.At(stored.address + k) == reply[static_cast<std::size_t>(4 + k)]);
        }
        const int rowsBefore = tables.AllRunsTable().RowCount();
        const bool changed = DecodeRun(buffer, tables);
        FUZZ_CHECK(tables.AllRunsTable().RowCount() - rowsBefore <= 2);
        FUZZ_CHECK(!changed || !tables.IsRunTableEmpty());
        fuzz::CheckTable(tables.AllRunsTable(), tables.AllRunsTable(), true);
        fuzz::CheckTable(tables.CategoryRunsTable(), tables.AllRunsTable(), false);
        if (const std::optional<QString> slip = TimeSlipText(buffer)) {
            for (const QChar c : *slip) {
                FUZZ_CHECK(c == u'\r' || c == u'\n' || (c.unicode() >= 20 && c.unicode() <= 126));
            }
        }
    }
    return 0;
}
