#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFileDevice>
#include <QString>
#include <cstdint>
#include <span>

namespace orvanrx {

// --- Character filters for bytes taken from the receive mirror -------------------------
// Each returns the empty text or one character.

// Bytes 20..126 inclusive (decimal 20, not the blank 32) pass as themselves.
QString PrintableChar(std::uint8_t b);
// The digits, "." and "-" pass; everything else (blanks, letters, "+") drops out.
QString NumericChar(std::uint8_t b);
// "W" or "w" gives "W".
QString WinChar(std::uint8_t b);

inline constexpr bool IsPrintableByte(std::uint8_t b) {
    return b >= 20 && b <= 126;
}
inline constexpr bool IsNumericByte(std::uint8_t b) {
    return (b >= '0' && b <= '9') || b == '.' || b == '-';
}
inline constexpr bool IsWinByte(std::uint8_t b) {
    return b == 'W' || b == 'w';
}

// x rounded to the nearest integer, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2), whatever the floating-point environment's rounding mode.
double RoundHalfEven(double x);

// --- Texts ------------------------------------------------------------------------------

// "yyyy-MM-dd HHmm" of the given local time, e.g. "2026-12-04 1853": the stem of each
// race-log file name and of the default names in the file dialogs.
QString LogFileStamp(const QDateTime& now);

// The characters of `text` before the first occurrence of `part`; the whole text when
// `part` does not occur (callers always pass a part that does).
QString TextBefore(const QString& text, const QString& part);

// Receiver bytes to text: one Latin-1 character per byte, stopping at the first 0x00 or
// 0x06 byte, after 256 characters, or at the end of the bytes.
QString BytesToText(std::span<const std::uint8_t> bytes);

// " v<major>.<minor>.<revision>" of this build, with the leading blank.
QString AppVersionText();

// Writes all of `bytes` to `file` (opened Unbuffered) and flushes them; false when that fails,
// with the system's reason in file.errorString() ("No space left on device"). A write that
// stops part way (the disk filled up during it) is carried on, so that the call that fails
// names why: a buffered file would report a short write as "Unknown error".
bool WriteAllAndFlush(QFileDevice& file, const QByteArray& bytes);

}  // namespace orvanrx
