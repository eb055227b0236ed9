#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>
#include <optional>

namespace orvanrx {

// The two value types the store keeps, with the platform's type codes. Any other code is
// accepted by the write routines and stores nothing.
enum class ValueType : std::uint32_t {
    RegSz = 1,     // text
    RegDword = 4,  // 32-bit signed integer
};

// --- Key mapping --------------------------------------------------------------------------
//
// A key path ("SOFTWARE\OrvanRX\RaceLog\Fields\") and a value name ("1000' MPH") become one
// QSettings key. The mapping is exact: two (key path, value name) pairs that name different
// registry values never share a QSettings key.
//   - Each part of the key path between backslashes becomes one QSettings group. A closing
//     backslash makes no difference, as in the registry, where "SOFTWARE\OrvanRX\RAM" (the
//     one key path written without it) and "SOFTWARE\OrvanRX\RAM\" open the same key:
//     both give "SOFTWARE/OrvanRX/RAM/1000".
//   - In parts and value names "%" is written "%25", "/" "%2F" and "\" "%5C", so a name such
//     as "Ovr/Und" stays one name.
// Nothing is answered for a value name that is empty or a key path with an empty part (a
// leading backslash or two in a row); the store neither reads nor writes such values. The
// empty key path stands for the root itself.
std::optional<QString> SettingsKeyFor(const QString& keyPath, const QString& valueName);

// --- Value encoding -----------------------------------------------------------------------
//
// Backends that keep types (the registry) store a REG_SZ value as a string and a REG_DWORD
// value as an int. A text file does not keep types, so there the value is always a string:
//   REG_DWORD n  ->  "dword:" and the 8 lowercase hex digits of n's 32 bits ("dword:000000ff",
//                    "dword:ffffffff" for -1), as in registry export files;
//   REG_SZ text  ->  the text itself, or "sz:" and the text when the text begins with
//                    "dword:" or "sz:" (so "dword:1" as text is stored "sz:dword:1").
// A stored string starting with "dword:" must have 1 to 8 hex digits after the prefix.

// The value to hand to QSettings for a REG_SZ text or a REG_DWORD number.
QVariant EncodeSzValue(const QString& text, bool typedBackend);
QVariant EncodeDwordValue(std::int32_t number, bool typedBackend);

// What QSettings handed back: a QString (REG_SZ) or an int (REG_DWORD), or an invalid
// QVariant when the stored value is of another kind or malformed.
QVariant DecodeStoredValue(const QVariant& stored, bool typedBackend);

// --- Conversions of a caller's value ------------------------------------------------------

// The text a REG_SZ write stores: Booleans as "True"/"False", numbers in plain decimal,
// texts unchanged, nothing (an invalid QVariant) as the empty text.
QString SzText(const QVariant& value);

// The number a REG_DWORD write stores: Booleans as -1 (true) and 0, numbers and numeric texts
// rounded half to even. Nothing when the value is not numeric or does not fit 32 bits.
std::optional<std::int32_t> DwordNumber(const QVariant& value);

}  // namespace orvanrx
