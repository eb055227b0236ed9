#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <utility>

#include "settings/SettingsKeys.h"

namespace orvanrx {

// --- SettingsKey --------------------------------------------------------------------------

SettingsKey::SettingsKey(std::unique_ptr<QSettings> settings, QString keyPath, bool typedValues)
    : settings_(std::move(settings)), keyPath_(std::move(keyPath)), typedValues_(typedValues) {}

SettingsKey::SettingsKey(SettingsKey&&) noexcept = default;
SettingsKey& SettingsKey::operator=(SettingsKey&&) noexcept = default;
SettingsKey::~SettingsKey() = default;

SettingsStatus SettingsKey::Stage(const QString& valueName, ValueType type, const QVariant& value,
                                  std::vector<Staged>& staged) {
    const auto key = SettingsKeyFor(keyPath_, valueName);
    if (!key) {
        return kStatusNotFound;
    }
    QVariant stored;
    if (type == ValueType::RegSz) {
        stored = EncodeSzValue(SzText(value), typedValues_);
    } else {
        const auto number = DwordNumber(value);
        if (!number) {
            return kStatusInvalidData;
        }
        stored = EncodeDwordValue(*number, typedValues_);
    }
    staged.push_back({*key, settings_->contains(*key), settings_->value(*key)});
    settings_->setValue(*key, stored);
    return kStatusSuccess;
}

SettingsStatus SettingsKey::Commit(const std::vector<Staged>& staged) {
    if (staged.empty()) {
        return kStatusSuccess;
    }
    settings_->sync();
    // QSettings still writes a file it found format errors in; only an access error means
    // the values did not reach the file.
    if (settings_->status() != QSettings::AccessError) {
        return kStatusSuccess;
    }
    if (!typedValues_) {
        for (auto it = staged.rbegin(); it != staged.rend(); ++it) {
            TakeBack(it->key, it->existed, it->previous);
        }
    }
    return kStatusAccessDenied;
}

SettingsStatus SettingsKey::SetValueEx(const QString& valueName, ValueType type,
                                       const QVariant& value) {
    return SetValuesEx({{valueName, value}}, type);
}

SettingsStatus SettingsKey::SetValuesEx(const std::vector<std::pair<QString, QVariant>>& values,
                                        ValueType type) {
    if (type != ValueType::RegSz && type != ValueType::RegDword) {
        return kStatusSuccess;
    }
    if (!IsOpen()) {
        return kStatusAccessDenied;
    }
    // Checked before anything reaches QSettings: a change it holds is written out at the
    // latest when it goes away, room or not.
    if (!typedValues_ && !HasRoomFor(values, type)) {
        return kStatusAccessDenied;
    }
    std::vector<Staged> staged;
    SettingsStatus status = kStatusSuccess;
    for (const auto& [name, value] : values) {
        const SettingsStatus one = Stage(name, type, value, staged);
        if (status == kStatusSuccess) {
            status = one;
        }
    }
    const SettingsStatus written = Commit(staged);
    return status == kStatusSuccess ? written : status;
}

bool SettingsKey::HasRoomFor(const std::vector<std::pair<QString, QVariant>>& values,
                             ValueType type) const {
    // QSettings rewrites the whole file from what it parsed, escaping some characters: the new
    // file is the old one plus the new values, at most a few times over.
    const QString path = settings_->fileName();
    qint64 bound = 4 * QFileInfo(path).size() + 4096;
    for (const auto& [name, value] : values) {
        const qsizetype text = type == ValueType::RegSz ? SzText(value).size() : 16;
        bound += 8 * (keyPath_.size() + name.size() + text + 4);
    }
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        return false;
    }
    QFile room(path + QLatin1String(".room"));
    if (!room.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const QByteArray block(4096, '\0');
    bool written = true;
    for (qint64 left = bound; left > 0 && written; left -= block.size()) {
        const qint64 n = std::min<qint64>(left, block.size());
        written = room.write(block.constData(), n) == n;
    }
    written = written && room.flush();
    room.close();
    room.remove();
    return written;
}

void SettingsKey::TakeBack(const QString& key, bool existed, const QVariant& previous) {
    // QSettings keeps one in-memory copy of each INI file for the whole process, and a change
    // it could not write stays in it as pending: later reads would see the value and the next
    // successful write would store it after all. Put the copy back as the file has it.
    if (existed) {
        settings_->setValue(key, previous);
        return;
    }
    // remove() would also delete every value below the key, so only a leaf is removed.
    settings_->beginGroup(key);
    const bool hasChildren = !settings_->allKeys().isEmpty();
    settings_->endGroup();
    if (!hasChildren) {
        settings_->remove(key);
    }
}

SettingsStatus SettingsKey::QueryValueEx(const QString& valueName, QVariant& value) const {
    if (!IsOpen()) {
        return kStatusAccessDenied;
    }
    const auto key = SettingsKeyFor(keyPath_, valueName);
    if (!key) {
        return kStatusNotFound;
    }
    const QVariant stored = settings_->value(*key);
    if (!stored.isValid()) {
        return kStatusNotFound;
    }
    const QVariant decoded = DecodeStoredValue(stored, typedValues_);
    if (!decoded.isValid()) {
        return kStatusOtherType;
    }
    value = decoded;
    return kStatusSuccess;
}

// --- SettingsStore ------------------------------------------------------------------------

SettingsStore::SettingsStore(QString iniFilePath)
    : SettingsStore(std::move(iniFilePath), QSettings::IniFormat) {}

SettingsStore::SettingsStore(QString location, QSettings::Format format)
    : location_(std::move(location)), format_(format) {}

SettingsStore SettingsStore::ForCurrentUser() {
#ifdef Q_OS_WIN
    return SettingsStore(QStringLiteral("HKEY_CURRENT_USER"), QSettings::NativeFormat);
#else
    return SettingsStore(DefaultSettingsFilePath());
#endif
}

std::unique_ptr<QSettings> SettingsStore::OpenSettings() const {
    auto settings = std::make_unique<QSettings>(location_, format_);
    if (format_ != QSettings::IniFormat) {
        return settings;
    }
    // Parse the whole file now, so that a format error shows here, before anything is
    // written. QSettings reports such an error only to the first reader of the file's
    // current content, which is this store (a file changed on disk is read afresh).
    (void)settings->allKeys();
    if (settings->status() == QSettings::FormatError) {
        const QString copy = location_ + QLatin1String(".corrupt");
        QFile::remove(copy);
        QFile::copy(location_, copy);
        // A second instance shares the parsed content and starts with a clean status, so
        // that the status after a write reports that write only.
        settings = std::make_unique<QSettings>(location_, format_);
    }
    // An unreadable file reads as empty (QSettings treats it so), and QSettings writes only
    // to a file it can open for both reading and writing.
    return settings;
}

SettingsKey SettingsStore::OpenKey(const QString& keyPath, SettingsRoot root) const {
    const bool typed = format_ != QSettings::IniFormat;
    if (root != SettingsRoot::CurrentUser) {
        return SettingsKey(nullptr, keyPath, typed);
    }
    return SettingsKey(OpenSettings(), keyPath, typed);
}

void SettingsStore::SetKeyValue(const QString& keyPath, const QString& valueName,
                                const QVariant& value, ValueType type, SettingsRoot root) const {
    SettingsKey key = OpenKey(keyPath, root);
    (void)key.SetValueEx(valueName, type, value);
}

void SettingsStore::SetKeyValues(const QString& keyPath,
                                 const std::vector<std::pair<QString, QVariant>>& values,
                                 ValueType type, SettingsRoot root) const {
    SettingsKey key = OpenKey(keyPath, root);
    (void)key.SetValuesEx(values, type);
}

QString SettingsStore::QueryValue(const QString& keyPath, const QString& valueName,
                                  SettingsRoot root) const {
    const SettingsKey key = OpenKey(keyPath, root);
    QVariant value;
    if (key.QueryValueEx(valueName, value) != kStatusSuccess) {
        return kNoKeyValue;
    }
    const QString text =
        value.typeId() == QMetaType::Int ? QString::number(value.toInt()) : value.toString();
    return text.isEmpty() ? QString(kNoKeyValue) : text;
}

// --- Location -----------------------------------------------------------------------------

QString SettingsFilePath(const QString& xdgConfigHome, const QString& home) {
    const QString base =
        QDir::isAbsolutePath(xdgConfigHome) ? xdgConfigHome : home + QLatin1String("/.config");
    return QDir::cleanPath(base + QLatin1String("/OrvanRX/OrvanRX.ini"));
}

QString DefaultSettingsFilePath() {
    return SettingsFilePath(qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath());
}

}  // namespace orvanrx
