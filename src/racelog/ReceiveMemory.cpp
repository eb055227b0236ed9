#include "racelog/ReceiveMemory.h"

#include <array>
#include <limits>

#include "settings/NumericText.h"
#include "settings/SettingsKeys.h"

namespace orvanrx {

namespace {

enum class ByteText { Byte, Skip, Stop };

// Reads a stored byte: a numeric text rounded to 0..255, a skip for missing or non-numeric
// texts, a stop for numbers that do not fit a byte.
ByteText ReadByte(const SettingsStore& settings, const QString& keyPath, const QString& name,
                  std::uint8_t& byte) {
    const auto number = NumericTextValue(settings.QueryValue(keyPath, name));
    if (!number) {
        return ByteText::Skip;
    }
    const auto rounded = RoundedInRange(*number, 0, 255);
    if (!rounded) {
        return ByteText::Stop;
    }
    byte = static_cast<std::uint8_t>(*rounded);
    return ByteText::Byte;
}

constexpr std::array<QLatin1String, 2> kPointerValueNames{kRunBlockPointerHighValue,
                                                          kRunBlockPointerLowValue};

}  // namespace

void LoadVenue(const SettingsStore& settings, std::int16_t& currentVenue) {
    const auto number = NumericTextValue(settings.QueryValue(kProgramKey, kVenueValue));
    if (!number) {
        return;
    }
    const auto venue = RoundedInRange(*number, std::numeric_limits<std::int16_t>::min(),
                                      std::numeric_limits<std::int16_t>::max());
    if (venue) {
        currentVenue = static_cast<std::int16_t>(*venue);
    }
}

void SaveVenue(const SettingsStore& settings, std::int16_t currentVenue) {
    settings.SetKeyValue(kProgramKey, kVenueValue, QString::number(currentVenue), ValueType::RegSz);
}

void LoadRunBlockPointer(const SettingsStore& settings, ReceiveBuffer& buffer) {
    for (std::size_t i = 0; i < kPointerValueNames.size(); ++i) {
        std::uint8_t byte = 0;
        const ByteText result = ReadByte(settings, kMemoryDumpKey, kPointerValueNames[i], byte);
        if (result == ByteText::Stop) {
            return;
        }
        if (result == ByteText::Byte) {
            buffer.Set(ReceiveBuffer::kRunBlockPointerOffset + static_cast<int>(i), byte);
        }
    }
}

void SaveRunBlockPointer(const SettingsStore& settings, const ReceiveBuffer& buffer) {
    for (std::size_t i = 0; i < kPointerValueNames.size(); ++i) {
        const int offset = ReceiveBuffer::kRunBlockPointerOffset + static_cast<int>(i);
        settings.SetKeyValue(kMemoryDumpKey, kPointerValueNames[i],
                             static_cast<int>(buffer[offset]), ValueType::RegDword);
    }
}

void LoadRunBlock(const SettingsStore& settings, ReceiveBuffer& buffer) {
    const long long first = buffer.RunBlockPointer();
    for (long long offset = first; offset < first + kSavedRunBlockBytes; ++offset) {
        if (!ReceiveBuffer::Contains(offset)) {
            return;
        }
        std::uint8_t byte = 0;
        const ByteText result = ReadByte(settings, kRamKey, QString::number(offset), byte);
        if (result == ByteText::Stop) {
            return;
        }
        if (result == ByteText::Byte) {
            buffer.Set(offset, byte);
        }
    }
}

void SaveRunBlock(const SettingsStore& settings, const ReceiveBuffer& buffer) {
    // The bytes up to the first offset outside the mirror, written in one pass over the store.
    const long long first = buffer.RunBlockPointer();
    std::vector<std::pair<QString, QVariant>> values;
    for (long long offset = first; offset < first + kSavedRunBlockBytes; ++offset) {
        const auto byte = buffer.At(offset);
        if (!byte) {
            break;
        }
        values.emplace_back(QString::number(offset), static_cast<int>(*byte));
    }
    settings.SetKeyValues(kRamKey, values, ValueType::RegDword);
}

}  // namespace orvanrx
