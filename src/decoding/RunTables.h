#pragma once

#include <QString>
#include <array>
#include <memory>
#include <vector>

#include "decoding/RunRecord.h"
#include "support/Clock.h"

namespace orvanrx {

// Columns of a run table; a column's number is also the suffix of the log grid's field name.
enum class RunColumn : int {
    GeneralID = 0,
    DateTime,
    Category,
    Class,
    Car,
    Name,
    Lane,
    Bump,
    Dial,
    RT,
    et60,
    et330,
    et660,
    mph660,
    et1000,
    mph1000,
    et1320,
    mph1320,
    margin,
    overund,
    win,
};
inline constexpr int kRunColumnCount = 21;

// A column's index in a row, a model or a file line.
constexpr int ColumnIndex(RunColumn column) {
    return static_cast<int>(column);
}

// One row of a run table: its 21 cells in column order, indexed by RunColumn (or by number,
// for code that walks every column).
struct RunRow : std::array<QString, kRunColumnCount> {
    using std::array<QString, kRunColumnCount>::operator[];
    using std::array<QString, kRunColumnCount>::at;
    QString& operator[](RunColumn column) { return (*this)[Index(column)]; }
    const QString& operator[](RunColumn column) const { return (*this)[Index(column)]; }
    const QString& at(RunColumn column) const { return at(Index(column)); }

private:
    static constexpr std::size_t Index(RunColumn column) {
        return static_cast<std::size_t>(column);
    }
};

// The text form of the DateTime cell: local time, sortable, and read back unchanged from CSV.
inline constexpr const char* kDateTimeCellFormat = "yyyy-MM-dd HH:mm:ss";

// One run table: two rows per race, left lane first, rows 0..RightRow(). LeftRow() is always
// RightRow() - 1; an empty (reset) table has LeftRow() = -2 and RightRow() = -1.
//
// Rows are copy-on-write: SharedRow hands a row out for keeping (the log grid keeps every row
// it shows), and the table never changes a row that is shared; MutableRow first gives the table
// a copy of its own. A pointer from Row or MutableRow stays valid while the table keeps that
// row, but after a later MutableRow of the same row it may show the row as it was.
class RunTable {
public:
    int LeftRow() const { return left_; }
    int RightRow() const { return left_ + 1; }
    // Counts as empty while its last row index is below 1.
    bool IsEmpty() const { return RightRow() < 1; }
    int RowCount() const { return static_cast<int>(rows_.size()); }

    // Row r, or nothing outside 0..RightRow().
    const RunRow* Row(int r) const;
    RunRow* MutableRow(int r);
    std::shared_ptr<const RunRow> SharedRow(int r) const;
    // The text of a cell; empty outside the table.
    QString Cell(int row, int column) const;
    QString Cell(int row, RunColumn column) const { return Cell(row, ColumnIndex(column)); }

    // Back to no rows, indices (-2, -1).
    void Reset();
    // A new table holding two empty rows, indices (0, 1).
    void StartNew();
    // Two more empty rows at the end, the indices moved onto them.
    void OpenNextPair();
    // The last two rows removed, the indices moved back.
    void DropLastPair();

private:
    void ResizeToIndices();

    std::vector<std::shared_ptr<RunRow>> rows_;
    int left_ = -2;
};

// The race log in memory: every race since the last reset or load (AllRunsTable) and the races
// of the current category (CategoryRunsTable), with the state that decides when a decoded race
// opens new rows and when it rewrites the rows it already has.
class RunTables {
public:
    explicit RunTables(Clock clock = SystemClock());

    const RunTable& AllRunsTable() const { return all_; }
    const RunTable& CategoryRunsTable() const { return category_; }
    // For the race-log file reader, which fills AllRunsTable directly.
    RunTable& MutableAllRunsTable() { return all_; }

    const RunRecord& LastRun() const { return lastRun_; }
    bool PairWritten() const { return pairWritten_; }

    // Writes or rewrites the race's two rows in both tables; true when it wrote them.
    bool StoreRun(const RunRecord& record);
    // Both tables back to no rows; LastRun's Category, CarL and CarR become a text no
    // broadcast can carry, so the next race counts as new.
    void ResetRunTables();
    bool IsRunTableEmpty() const { return all_.IsEmpty(); }
    bool IsCategoryTableEmpty() const { return category_.IsEmpty(); }

    // The text ResetRunTables puts into LastRun: it holds a control character, which the
    // lane-entry filter never lets through.
    static QString ResetSentinel();

private:
    bool WriteRows(const RunRecord& record);

    Clock clock_;
    RunTable all_;
    RunTable category_;
    RunRecord lastRun_;
    bool pairWritten_ = true;
};

}  // namespace orvanrx
