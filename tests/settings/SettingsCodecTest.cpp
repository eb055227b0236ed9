#include <gtest/gtest.h>

#include <QSet>
#include <limits>
#include <vector>

#include "settings/NumericText.h"
#include "settings/SettingsCodec.h"
#include "settings/SettingsKeys.h"
#include "settings/TestFiles.h"

namespace orvanrx {
namespace {

using testing::L1;
using testing::S;

TEST(SettingsKeyFor, MapsKeyPathAndNameToOneQSettingsKey) {
    struct Case {
        QString keyPath;
        const char* name;
        const char* expected;  // nullptr: not storable
    };
    const std::vector<Case> cases = {
        {kProgramKey, "Venue", "SOFTWARE/OrvanRX/Venue"},
        {kRamKey, "1000", "SOFTWARE/OrvanRX/RAM/1000"},
        {L1("SOFTWARE\\OrvanRX\\RAM\\"), "1000", "SOFTWARE/OrvanRX/RAM/1000"},
        {kMemoryDumpKey, "2", "SOFTWARE/OrvanRX/RaceLog/MemoryDump/2"},
        {kRaceLogFieldsKey, "1000' MPH", "SOFTWARE/OrvanRX/RaceLog/Fields/1000' MPH"},
        {kRaceLogFieldsKey, "Ovr/Und", "SOFTWARE/OrvanRX/RaceLog/Fields/Ovr%2FUnd"},
        {L1("A\\b.c\\"), "x.y", "A/b.c/x.y"},
        {L1("A\\"), "50%", "A/50%25"},
        {L1("A\\"), "a\\b", "A/a%5Cb"},
        {QString(), "x", "x"},
        {L1("A\\"), "", nullptr},
        {L1("\\A\\"), "x", nullptr},
        {L1("A\\\\B\\"), "x", nullptr},
        {L1("\\"), "x", nullptr},
    };
    for (const Case& c : cases) {
        const auto key = SettingsKeyFor(c.keyPath, L1(c.name));
        EXPECT_EQ(key ? S(*key) : "(not storable)", c.expected ? c.expected : "(not storable)")
            << S(c.keyPath) << " | " << c.name;
    }
}

TEST(SettingsKeyFor, NeverMapsTwoPairsToOneKey) {
    const std::vector<std::pair<const char*, const char*>> pairs = {
        {"SOFTWARE\\OrvanRX\\RAM", "1000"},
        {"SOFTWARE\\OrvanRX\\", "RAM1000"},
        {"SOFTWARE\\OrvanRX\\", "RAM/1000"},
        {"SOFTWARE\\OrvanRX\\", "RAM\\1000"},
        {"SOFTWARE\\OrvanRX\\RAM.", "1000"},
        {"SOFTWARE\\OrvanRX\\RAM%2F\\", "1000"},
        {"A\\Ovr\\", "Und"},
        {"A\\", "Ovr/Und"},
        {"A\\", "Ovr%2FUnd"},
        {"A\\", "Ovr\\Und"},
        {"A", "B"},
        {"", "A/B"},
    };
    QSet<QString> keys;
    for (const auto& [path, name] : pairs) {
        const auto key = SettingsKeyFor(L1(path), L1(name));
        ASSERT_TRUE(key.has_value()) << path << " | " << name;
        EXPECT_FALSE(keys.contains(*key)) << path << " | " << name << " -> " << S(*key);
        keys.insert(*key);
    }
}

TEST(SettingsValueEncoding, TextFileKeepsTypesApart) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::pair<QVariant, const char*> cases[] = {
        {L1(""), ""},
        {L1("1440"), "1440"},
        {L1("dword:000000ff"), "sz:dword:000000ff"},
        {L1("sz:"), "sz:sz:"},
        {L1("Dword:1"), "Dword:1"},
        {0, "dword:00000000"},
        {255, "dword:000000ff"},
        {-1, "dword:ffffffff"},
        {kMin, "dword:80000000"},
        {kMax, "dword:7fffffff"},
    };
    for (const auto& [value, text] : cases) {
        const bool number = value.typeId() == QMetaType::Int;
        const QVariant stored = number ? EncodeDwordValue(value.toInt(), false)
                                       : EncodeSzValue(value.toString(), false);
        EXPECT_EQ(S(stored.toString()), text);
        const QVariant back = DecodeStoredValue(stored, false);
        EXPECT_EQ(back.typeId(), value.typeId()) << text;
        EXPECT_EQ(back, value) << text;
    }
}

TEST(DwordNumber, RoundsHalfToEvenAndRefusesWhatDoesNotFit) {
    struct Case {
        QVariant value;
        std::optional<std::int32_t> expected;
    };
    const std::vector<Case> cases = {
        {2.5, 2},
        {3.5, 4},
        {-2.5, -2},
        {1.5, 2},
        {255, 255},
        {L1("255"), 255},
        {L1(" 12 "), 12},
        {L1("2.5"), 2},
        {L1("abc"), std::nullopt},
        {true, -1},
        {false, 0},
        {2147483647.4, std::numeric_limits<std::int32_t>::max()},
        {2147483648.0, std::nullopt},
        {QVariant(qlonglong(1) << 31), std::nullopt},
        {QVariant(4294967295u), std::nullopt},
        {QVariant(qlonglong(-2147483648LL)), std::numeric_limits<std::int32_t>::min()},
        {QVariant(), std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DwordNumber(c.value), c.expected) << S(c.value.toString());
    }
}

TEST(NumericTextValue, AcceptsPlainDecimalNumbersOnly) {
    struct Case {
        const char* text;
        std::optional<double> expected;
    };
    const std::vector<Case> cases = {
        {"12", 12},   {" 12 ", 12},  {"-5", -5},           {"+5", 5},   {"1.5", 1.5},
        {".5", 0.5},  {"5.", 5},     {"1e3", 1000},        {"", {}},    {"  ", {}},
        {"abc", {}},  {"12abc", {}}, {"1,000", {}},        {"inf", {}}, {"nan", {}},
        {"0x10", {}}, {"1e999", {}}, {"No Key Value", {}}, {"- 5", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NumericTextValue(L1(c.text)), c.expected) << c.text;
    }
}

}  // namespace
}  // namespace orvanrx
