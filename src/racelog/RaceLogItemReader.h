#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace orvanrx {

// Reads a race-log file as a stream of items separated by commas or line ends, the way the
// race log has always been read back:
//   - blanks and tabs before an item are skipped;
//   - a quoted item is taken without its quotes and may hold commas; two quotes in a row
//     inside it stand for one quote (so "JOE ""BIG, RED"" DOE" reads as `JOE "BIG, RED" DOE`);
//     it ends at a single closing quote, and whatever follows up to the next comma or line
//     end is dropped (so "Bob "Bubba" Smith" reads as `Bob `);
//   - a bare item runs to the next comma or line end (its trailing blanks stay);
//   - a line end (CR LF, LF or CR) ends an item too, so items do not follow lines: a short
//     line leaves the rest of its row to the next line, a blank line is one empty item, and
//     a comma right before a line end gives an empty item. A quote left open ends at the line
//     end.
// The bytes are 8-bit text: each byte is one Latin-1 character.
class RaceLogItemReader {
public:
    explicit RaceLogItemReader(QByteArrayView data) : data_(data) {}

    // True when nothing but blanks, tabs and line ends is left, so a file that ends with a
    // blank line or a missing last line end still ends cleanly.
    bool AtEnd() const;

    // The next item, or nothing when the data has run out (reading past the end).
    std::optional<QString> NextItem();
    // The same, as the item's bytes: within the data (valid while the data lives), or, for an
    // item with doubled quotes, within the reader (valid until the next item is read).
    std::optional<QByteArrayView> NextItemBytes();

private:
    bool IsLineEnd(qsizetype i) const { return data_[i] == '\r' || data_[i] == '\n'; }
    // Steps over the comma or line end at pos_, if any.
    void SkipDelimiter();

    QByteArrayView data_;
    qsizetype pos_ = 0;
    QByteArray unquoted_;
};

}  // namespace orvanrx
