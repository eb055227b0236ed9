#include <gtest/gtest.h>

#include <QRegularExpression>
#include <vector>

#include "support/Support.h"

namespace orvanrx {
namespace {

TEST(CharacterFilters, PassExactlyTheirBytes) {
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        const QString self(QChar(static_cast<char16_t>(b)));
        EXPECT_EQ(PrintableChar(byte), (b >= 20 && b <= 126) ? self : QString()) << b;
        const bool numeric = (b >= '0' && b <= '9') || b == '.' || b == '-';
        EXPECT_EQ(NumericChar(byte), numeric ? self : QString()) << b;
        EXPECT_EQ(WinChar(byte), (b == 'W' || b == 'w') ? QStringLiteral("W") : QString()) << b;
    }
}

TEST(LogFileStamp, FormatsMinuteOfLocalTime) {
    EXPECT_EQ(LogFileStamp(QDateTime(QDate(2026, 12, 4), QTime(18, 53, 59))),
              QStringLiteral("2026-12-04 1853"));
    EXPECT_EQ(LogFileStamp(QDateTime(QDate(2027, 1, 9), QTime(7, 5))),
              QStringLiteral("2027-01-09 0705"));
}

TEST(TextBefore, TakesTextBeforeFirstOccurrence) {
    struct Case {
        const char* text;
        const char* part;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\Logs\\a.csv", "a.csv", "C:\\Logs\\"},
        {"/home/r/logs/2026-12-04 1853.csv", "2026-12-04 1853.csv", "/home/r/logs/"},
        {"a.csv", "a.csv", ""},
        {"/x/a.csv/a.csv", "a.csv", "/x/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextBefore(QString::fromLatin1(c.text), QString::fromLatin1(c.part)),
                  QString::fromLatin1(c.expected))
            << c.text;
    }
}

TEST(BytesToText, StopsAtNulOrAckOrAfter256Characters) {
    const auto text = [](std::vector<std::uint8_t> bytes) { return BytesToText(bytes); };
    EXPECT_EQ(text({'O', 'R', 'V', 0, 'X'}), QStringLiteral("ORV"));
    EXPECT_EQ(text({'O', 'R', 0x06, 'V'}), QStringLiteral("OR"));
    EXPECT_EQ(text({0x06, 'A'}), QString());
    EXPECT_EQ(text({}), QString());
    EXPECT_EQ(text({0xE9, 'x'}), QString::fromLatin1("\xE9x"));

    std::vector<std::uint8_t> long_(300, 'a');
    EXPECT_EQ(text(long_).size(), 256);
    long_[255] = 0;
    EXPECT_EQ(text(long_).size(), 255);
}

TEST(AppVersionText, IsBlankVThenThreeNumbers) {
    const QRegularExpression form(QStringLiteral("^ v\\d+\\.\\d+\\.\\d+$"));
    EXPECT_TRUE(form.match(AppVersionText()).hasMatch()) << AppVersionText().toStdString();
}

}  // namespace
}  // namespace orvanrx
