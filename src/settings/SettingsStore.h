#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>
#include <memory>
#include <utility>
#include <vector>

#include "settings/SettingsCodec.h"

namespace orvanrx {

// The root a key path is relative to, with the platform's code. The store knows only the
// current user's root; a call naming any other root reads nothing and writes nothing.
enum class SettingsRoot : std::uint32_t { CurrentUser = 0x80000001 };

// Status results of the lower routines, numbered like the platform's error codes.
using SettingsStatus = long;
inline constexpr SettingsStatus kStatusSuccess = 0;
inline constexpr SettingsStatus kStatusNotFound = 2;      // no such value (or unusable name)
inline constexpr SettingsStatus kStatusAccessDenied = 5;  // the store cannot be read/written
inline constexpr SettingsStatus kStatusInvalidData = 13;  // value not convertible for its type
inline constexpr SettingsStatus kStatusOtherType = -1;    // stored value of another type

// A key opened by the store for one call. Destroying it closes it; nothing stays open or
// cached between calls.
class SettingsKey {
public:
    SettingsKey(SettingsKey&&) noexcept;
    SettingsKey& operator=(SettingsKey&&) noexcept;
    ~SettingsKey();

    // False for a key under a root other than the current user's; every routine then fails.
    bool IsOpen() const { return settings_ != nullptr; }

    // Stores one value and writes it out at once. REG_SZ stores the value's text
    // (SzText), REG_DWORD its 32-bit number (DwordNumber; kStatusInvalidData when there is
    // none, nothing stored); any other type stores nothing and answers kStatusSuccess.
    SettingsStatus SetValueEx(const QString& valueName, ValueType type, const QVariant& value);
    // Stores several values of one type at once with one write of the store: the same as
    // SetValueEx for each, in order, but the file is rewritten once. The status is that of
    // the first value that failed, or kStatusSuccess.
    SettingsStatus SetValuesEx(const std::vector<std::pair<QString, QVariant>>& values,
                               ValueType type);

    // Reads one value: a QString for REG_SZ, an int for REG_DWORD. On any failure `value` is
    // left as it was.
    SettingsStatus QueryValueEx(const QString& valueName, QVariant& value) const;

private:
    friend class SettingsStore;
    SettingsKey(std::unique_ptr<QSettings> settings, QString keyPath, bool typedValues);
    // One value the caller asked for, encoded and put into QSettings' copy but not yet
    // written out.
    struct Staged {
        QString key;
        bool existed = false;
        QVariant previous;
    };
    // Encodes and stages one value; a status when it cannot be stored at all.
    SettingsStatus Stage(const QString& valueName, ValueType type, const QVariant& value,
                         std::vector<Staged>& staged);
    // Writes the staged values out; on failure takes them back, last first.
    SettingsStatus Commit(const std::vector<Staged>& staged);
    // Whether the INI file's folder has room for the file with these values added: a scratch
    // file "<file>.room" of a size the new file cannot exceed is written, flushed and removed.
    // QSettings writes the file through QSaveFile, whose commit() (Qt 6.4) misses a flush that
    // fails on a full disk and would put the short file in place of the good one; so a write
    // without room is not started at all.
    bool HasRoomFor(const std::vector<std::pair<QString, QVariant>>& values, ValueType type) const;
    // Undoes a change that could not be written.
    void TakeBack(const QString& key, bool existed, const QVariant& previous);

    std::unique_ptr<QSettings> settings_;
    QString keyPath_;
    bool typedValues_ = false;
};

// The program's settings: named values under key paths such as "SOFTWARE\OrvanRX\RAM", of
// type REG_SZ or REG_DWORD. On Windows they live in the registry under HKEY_CURRENT_USER; on
// other systems in one INI file (see DefaultSettingsFilePath), whose layout is described in
// SettingsCodec.h. The store holds nothing but its location: each call opens, reads or writes,
// and closes. Nothing is ever deleted.
//
// Failures never reach the caller: a write that cannot be done is dropped, and a read of a
// value that is missing, empty or unreadable answers "No Key Value" (kNoKeyValue). A settings
// file that cannot be read (no permission, a folder in its place) reads as empty and is never
// written. A file holding lines QSettings cannot parse is copied once to "<file>.corrupt";
// the values it could parse read as usual, and the next write rewrites the file without the
// lines it could not parse. A write that fails leaves no trace in what later calls read, and
// a write on a full disk leaves the file as it was (see SettingsKey::HasRoomFor).
class SettingsStore {
public:
    // A store in the INI file at iniFilePath; the file and its folders are created by the
    // first write.
    explicit SettingsStore(QString iniFilePath);
    // The current user's store: the registry on Windows, DefaultSettingsFilePath() elsewhere.
    static SettingsStore ForCurrentUser();

    // The INI file's path, or the registry root's name.
    const QString& Location() const { return location_; }

    // Writes one value, creating what it needs; failures are silent.
    void SetKeyValue(const QString& keyPath, const QString& valueName, const QVariant& value,
                     ValueType type, SettingsRoot root = SettingsRoot::CurrentUser) const;
    // Writes several values of one type under one key path with one write of the store (the
    // last race's 73 bytes at shut-down); failures are silent.
    void SetKeyValues(const QString& keyPath,
                      const std::vector<std::pair<QString, QVariant>>& values, ValueType type,
                      SettingsRoot root = SettingsRoot::CurrentUser) const;
    // The value as text (a REG_DWORD as decimal, e.g. "255", "-1"), or "No Key Value".
    QString QueryValue(const QString& keyPath, const QString& valueName,
                       SettingsRoot root = SettingsRoot::CurrentUser) const;

    // Opens a key for the lower routines. The INI file is read now.
    SettingsKey OpenKey(const QString& keyPath, SettingsRoot root) const;

private:
    SettingsStore(QString location, QSettings::Format format);
    std::unique_ptr<QSettings> OpenSettings() const;

    QString location_;
    QSettings::Format format_;
};

// The INI file of the settings: xdgConfigHome + "/OrvanRX/OrvanRX.ini" when xdgConfigHome is
// an absolute path, otherwise home + "/.config/OrvanRX/OrvanRX.ini".
QString SettingsFilePath(const QString& xdgConfigHome, const QString& home);
// SettingsFilePath of $XDG_CONFIG_HOME and the user's home folder.
QString DefaultSettingsFilePath();

}  // namespace orvanrx
