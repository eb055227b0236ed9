#include "pitview/PitViewKey.h"

#include <QRandomGenerator>
#include <array>

#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

namespace orvanrx {

QString NewPitViewKey() {
    std::array<quint32, kPitViewKeyBytes / 4> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    const QByteArray bytes(reinterpret_cast<const char*>(words.data()), kPitViewKeyBytes);
    return QString::fromLatin1(bytes.toHex());
}

bool IsPitViewKey(const QString& text) {
    if (text.size() < 2 * kPitViewKeyBytes || text.size() > 128) {
        return false;
    }
    for (const QChar c : text) {
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
        if (!hex) {
            return false;
        }
    }
    return true;
}

QString ReadPitViewKey(const SettingsStore& settings) {
    const QString stored = settings.QueryValue(kPitViewKey, kPitViewAccessKeyValue);
    if (IsPitViewKey(stored)) {
        return stored;
    }
    return RenewPitViewKey(settings);
}

QString RenewPitViewKey(const SettingsStore& settings) {
    const QString key = NewPitViewKey();
    settings.SetKeyValue(kPitViewKey, kPitViewAccessKeyValue, key, ValueType::RegSz);
    return key;
}

bool PitViewKeysEqual(QByteArrayView offered, QByteArrayView expected) {
    // Every byte of the right key is looked at whatever the offered one holds; a length
    // difference only sets a bit in the result.
    unsigned difference = offered.size() == expected.size() ? 0U : 1U;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const auto offeredByte = i < offered.size() ? static_cast<unsigned char>(offered[i]) : 0U;
        difference |= offeredByte ^ static_cast<unsigned char>(expected[i]);
    }
    return difference == 0;
}

quint16 ReadPitViewPort(const SettingsStore& settings) {
    quint16 port = 0;
    if (ParsePitViewPort(settings.QueryValue(kPitViewKey, kPitViewPortValue), port) && port != 0) {
        return port;
    }
    return kDefaultPitViewPort;
}

void SavePitViewPort(const SettingsStore& settings, quint16 port) {
    settings.SetKeyValue(kPitViewKey, kPitViewPortValue, QString::number(port), ValueType::RegSz);
}

bool ReadPitViewEnabled(const SettingsStore& settings) {
    return settings.QueryValue(kPitViewKey, kPitViewEnabledValue) == kTrueText;
}

void SavePitViewEnabled(const SettingsStore& settings, bool enabled) {
    settings.SetKeyValue(kPitViewKey, kPitViewEnabledValue,
                         enabled ? QString(kTrueText) : QString(kFalseText), ValueType::RegSz);
}

bool ReadPitViewNetworkAgreed(const SettingsStore& settings) {
    return settings.QueryValue(kPitViewKey, kPitViewNetworkAgreedValue) == kTrueText;
}

void SavePitViewNetworkAgreed(const SettingsStore& settings) {
    settings.SetKeyValue(kPitViewKey, kPitViewNetworkAgreedValue, QString(kTrueText),
                         ValueType::RegSz);
}

bool ParsePitViewPort(const QString& text, quint16& port) {
    bool ok = false;
    const uint value = text.trimmed().toUInt(&ok, 10);
    if (!ok || value > 65535) {
        return false;
    }
    port = static_cast<quint16>(value);
    return true;
}

}  // namespace orvanrx
